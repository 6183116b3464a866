#include "WindowMover.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

TWindowMover::TWindowMover(QWidget *window) : QObject(window), m_window(window) {}

void TWindowMover::Watch(QWidget *widget)
{
    widget->installEventFilter(this);
}

void TWindowMover::MouseDown(const QMouseEvent &event)
{
    if (event.button() != Qt::LeftButton)
        return;
    Q_EMIT moveRequested();
    if (QWindow *handle = m_window->window()->windowHandle())
        handle->startSystemMove();
}

bool TWindowMover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        MouseDown(static_cast<const QMouseEvent &>(*event));
        return true;
    }
    return QObject::eventFilter(watched, event);
}
