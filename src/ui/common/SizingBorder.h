#pragma once

// The sizing border of the borderless windows: a band of a few pixels inside the window's edge
// where a left press starts the window system's own resizing and the cursor shows the direction.
// The window keeps its controls out of the band (layout margins of the border's width) and
// turns on mouse tracking so that it sees the pointer cross the band.

#include <QPoint>
#include <QSize>
#include <Qt>

class QMouseEvent;
class QWidget;

// The edges of a window of the given size that lie within border pixels of the point.
Qt::Edges SizingEdgesAt(const QSize &size, const QPoint &point, int border);

// The cursor that shows sizing along those edges; the arrow for none.
Qt::CursorShape SizingCursor(Qt::Edges edges);

// A press on the window itself: starts resizing when it is a left press on the border. True
// when the press was taken.
bool StartSizingAt(QWidget &window, const QMouseEvent &event, int border);

// The pointer moved over the window itself: the sizing cursor on the border, the usual elsewhere.
void UpdateSizingCursor(QWidget &window, const QPoint &point, int border);
