#include "main.h"

#include "Pictures.h"
#include "QtPrompts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The application title is the caption of the standard error box and the taskbar entry.
    QApplication::setApplicationName(QStringLiteral("Dravik"));
    QApplication::setApplicationVersion(QStringLiteral(DRAVIK_VERSION));
    // Task bars group the windows with the installed menu entry of this name, and show its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(DRAVIK_APP_ID));
    QApplication::setWindowIcon(ApplicationIcon());

    TQtPrompts prompts;
    TQtShell shell;
    TDravikForm form(prompts, shell);
    prompts.SetOwner(&form);
    form.show();
    return app.exec();
}
