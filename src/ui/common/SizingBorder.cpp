#include "SizingBorder.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

TSizingBorder::TSizingBorder(QWidget *window) : QObject(window), m_window(window)
{
    window->setMouseTracking(true);
    window->installEventFilter(this);
}

bool TSizingBorder::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        const auto &press = static_cast<const QMouseEvent &>(*event);
        const Qt::Edges edges = SizingEdgesAt(m_window->size(), press.position().toPoint(), Width);
        if (press.button() == Qt::LeftButton && edges && m_window->windowHandle()) {
            m_window->windowHandle()->startSystemResize(edges);
            return true;
        }
    } else if (event->type() == QEvent::MouseMove) {
        const auto &move = static_cast<const QMouseEvent &>(*event);
        const Qt::Edges edges = SizingEdgesAt(m_window->size(), move.position().toPoint(), Width);
        if (edges)
            m_window->setCursor(SizingCursor(edges));
        else
            m_window->unsetCursor();
    }
    return QObject::eventFilter(watched, event);
}

Qt::Edges SizingEdgesAt(const QSize &size, const QPoint &point, int border)
{
    Qt::Edges edges;
    if (point.x() < border)
        edges |= Qt::LeftEdge;
    if (point.x() >= size.width() - border)
        edges |= Qt::RightEdge;
    if (point.y() < border)
        edges |= Qt::TopEdge;
    if (point.y() >= size.height() - border)
        edges |= Qt::BottomEdge;
    return edges;
}

Qt::CursorShape SizingCursor(Qt::Edges edges)
{
    const bool left = edges & Qt::LeftEdge, right = edges & Qt::RightEdge;
    const bool top = edges & Qt::TopEdge, bottom = edges & Qt::BottomEdge;
    if ((left && top) || (right && bottom))
        return Qt::SizeFDiagCursor;
    if ((right && top) || (left && bottom))
        return Qt::SizeBDiagCursor;
    if (left || right)
        return Qt::SizeHorCursor;
    if (top || bottom)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}
