#pragma once

// TSizingBorder: the sizing border of a borderless window, a band of Width pixels inside the
// window's edge where a left press starts the window system's own resizing and the cursor shows
// the direction. The window keeps its controls out of the band (layout margins of Width); the
// border watches the window's own mouse events and turns on its mouse tracking.

#include <QObject>
#include <QPoint>
#include <QSize>
#include <Qt>

class QWidget;

class TSizingBorder : public QObject
{
    Q_OBJECT

public:
    static constexpr int Width = 4;

    explicit TSizingBorder(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
};

// The edges of a window of the given size that lie within border pixels of the point.
Qt::Edges SizingEdgesAt(const QSize &size, const QPoint &point, int border);

// The cursor that shows sizing along those edges; the arrow for none.
Qt::CursorShape SizingCursor(Qt::Edges edges);
