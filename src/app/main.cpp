#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The application title is the caption of the standard error box and the taskbar entry.
    QApplication::setApplicationName(QStringLiteral("Dravik"));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Dravik"));
    window.resize(700, 450);
    window.show();
    return app.exec();
}
