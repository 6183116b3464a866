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
    window.setMinimumSize(least);
    window.resize(least);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
