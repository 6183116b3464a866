#include "WindowFrame.h"

#include "SizingBorder.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

void FrameWindow(QWidget &window, const QSize &client, QWidget *band, QWidget *body, QWidget *bottom)
{
    auto *layout = new QVBoxLayout(&window);
    const int border = TSizingBorder::Width;
    layout->setContentsMargins(border, border, border, border);
    layout->setSpacing(0);
    layout->addWidget(band);
    layout->addWidget(body, 1);
    if (bottom)
        layout->addWidget(bottom);
    new TSizingBorder(&window);
    PlaceCentred(window, client + QSize(2 * border, 2 * border));
}

void PlaceCentred(QWidget &window, const QSize &least)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // Where the screen is smaller than the window's least size (a small or highly scaled screen),
    // the screen wins: a window cut off at both edges cannot be used.
    const QSize size = area.isValid() ? least.boundedTo(area.size()) : least;
    window.setMinimumSize(size);
    window.resize(size);
    if (area.isValid())
        window.move(area.topLeft() +
                    QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2));
}
