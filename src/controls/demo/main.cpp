// dravik-controls-demo: shows the custom controls together.
//   dravik-controls-demo                  opens the window
//   dravik-controls-demo --screenshot F   opens the window with its menu, saves the screen to F
//                                         (a PNG) and quits

#include "DemoWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TDemoWindow window;
    window.move(20, 20);
    window.show();

    const QStringList arguments = app.arguments();
    const qsizetype option = arguments.indexOf(QStringLiteral("--screenshot"));
    if (option >= 0 && option + 1 < arguments.size()) {
        const QString file = arguments.at(option + 1);
        QTimer::singleShot(300, &window, [&window] {
            QMenu *menu = window.PopupMenu();
            menu->popup(window.mapToGlobal(QPoint(400, 120)));
            menu->setActiveAction(menu->actions().constFirst());
        });
        QTimer::singleShot(900, &window, [&window, file] {
            const QRect area = window.frameGeometry().adjusted(-10, -10, 240, 120);
            QScreen *screen = QGuiApplication::primaryScreen();
            screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(file);
            QApplication::quit();
        });
    }
    return app.exec();
}
