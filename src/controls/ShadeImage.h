#pragma once

// The picture of every window's title band, shaded from the band's colour.

#include <QColor>
#include <QImage>
#include <QSize>

// The given colour shaded by the cosine towards a light top-left corner (red 240, green 245,
// blue 250), each channel rounded to the nearest whole number, halves to even.
QImage ShadeImage(const QColor &colour, const QSize &size);
