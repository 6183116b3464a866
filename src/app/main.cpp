#include "main.h"

#include "QtPrompts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The application title is the caption of the standard error box and the taskbar entry.
    QApplication::setApplicationName(QStringLiteral("Dravik"));

    TQtPrompts prompts;
    TQtShell shell;
    TDravikForm form(prompts, shell);
    prompts.SetOwner(&form);
    form.show();
    return app.exec();
}
