#include "SizingBorder.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

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

bool StartSizingAt(QWidget &window, const QMouseEvent &event, int border)
{
    const Qt::Edges edges = SizingEdgesAt(window.size(), event.position().toPoint(), border);
    if (event.button() != Qt::LeftButton || !edges || !window.windowHandle())
        return false;
    window.windowHandle()->startSystemResize(edges);
    return true;
}

void UpdateSizingCursor(QWidget &window, const QPoint &point, int border)
{
    const Qt::Edges edges = SizingEdgesAt(window.size(), point, border);
    if (edges)
        window.setCursor(SizingCursor(edges));
    else
        window.unsetCursor();
}
