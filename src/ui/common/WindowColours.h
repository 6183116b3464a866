#pragma once

// The colours every window of the program shares, in one place: the title band, the panes that
// hold lists and the folder tree, and the panels and backgrounds around them.

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace WindowColours {

inline const QColor TitleBand(176, 190, 223);
inline const QColor Pane(233, 241, 248);
inline const QColor Panel(220, 227, 241);
inline const QColor Status(205, 215, 235);
inline const QColor StatusText(0, 64, 128);
inline const QColor CurrentFolder(128, 128, 255);
inline const QColor Hint(208, 221, 221);
inline const QColor AboutBackground(235, 235, 235);

} // namespace WindowColours

// Fills the widget's background (and the base of a view) with the colour.
inline void PaintBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
