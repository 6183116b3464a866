#pragma once

// How the borderless windows are framed and where they open.

#include <QSize>

class QWidget;

// Lays the window out inside its sizing border: the title band on top, the body taking the rest,
// the bottom panel (if any) below; gives the window its sizing border and places it (below) at
// the client size plus the border.
void FrameWindow(QWidget &window, const QSize &client, QWidget *band, QWidget *body,
                 QWidget *bottom = nullptr);

// Makes the size the window's least and first size and centres the window in the screen's
// available area; where the area is smaller, the window takes the area's size instead.
void PlaceCentred(QWidget &window, const QSize &least);
