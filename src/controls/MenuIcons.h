#pragma once

// The looks a menu icon takes: grey for disabled items, faded for items at rest, and the
// shadow under the icon of the selected item. Each keeps the icon's alpha; a colour is worked
// out again only where a pixel differs from the one before it.

#include <QColor>
#include <QImage>

// Every pixel becomes GreyColor(pixel, 90).
QImage GreyIcon(const QImage &icon);

// Every pixel becomes LightenColor(pixel, 30).
QImage FadedIcon(const QImage &icon);

// The icon's outline: every pixel that differs from the bottom-left pixel (the icon's
// background) in the shadow colour, the rest transparent.
QImage IconShadow(const QImage &icon, const QColor &shadow);
