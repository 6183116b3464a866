#pragma once

// The pixel arithmetic of the cylinder bar: channel factors, the shade of one pixel row or
// column, the shading of the whole bar area and the one-pixel frames, all written straight
// into a 24-bit picture (QImage::Format_RGB888). Pure functions of their arguments.

#include <QColor>
#include <QImage>
#include <QRect>

class TPCColorStyle;

enum TProgressBarOrientation
{
    pbHorizontal,
    pbVertical
};

// Red, green and blue factors of a colour under a style.
struct TChannelFactors
{
    float Red = 0.0f;
    float Green = 0.0f;
    float Blue = 0.0f;
};

// ((c * IntensityFactor + IntensityRGB) / Intensity + c) / RangeRGB for each channel c.
TChannelFactors ChannelFactors(const QColor &colour, const TPCColorStyle &style);

// One byte of a shaded pixel at distance d from the light line:
// Trunc((|d| * shadeStep * ColorFactor + ColorRGB) * factor), held to 0..255.
quint8 ShadeChannel(int d, float shadeStep, const TPCColorStyle &style, float factor);
QColor ShadeColor(int d, float shadeStep, const TPCColorStyle &style, const TChannelFactors &factors);

// Everything the bar area is shaded from. The bar area is the rectangle from (Inset, Inset)
// to (R, B), right and bottom exclusive.
struct TCylinderShading
{
    TProgressBarOrientation Orientation = pbHorizontal;
    int Inset = 0;
    int R = 0;
    int B = 0;
    int BarEdge = 0;
    float ShadeStep = 0.0f; // per row when horizontal, per column when vertical
    const TPCColorStyle *ForeStyle = nullptr;
    const TPCColorStyle *BackStyle = nullptr;
    TChannelFactors Fore;
    TChannelFactors ForeLine;
    TChannelFactors Back;
};

// Shades the bar area of an RGB888 picture: horizontally the filled part grows from the left
// with the fore line at column BarEdge; vertically it grows from the bottom with the fore line
// at row BarEdge. Nothing outside the bar area is touched, even when BarEdge lies on its border.
void ShadeCylinder(QImage &picture, const TCylinderShading &shading);

// Fills a rectangle of an RGB888 picture, clipped to the picture.
void FillPixels(QImage &picture, const QRect &rect, const QColor &colour);

// The outline of a rectangle, one pixel wide, in one colour.
void FramePixels(QImage &picture, const QRect &rect, const QColor &colour);

// A raised or lowered frame of the given width: that many nested rings, each one pixel inside
// the previous; the top and left lines in topLeft, the right and bottom lines (with the
// top-right and bottom-left corners) in bottomRight.
void Frame3DPixels(QImage &picture, QRect rect, int width, const QColor &topLeft, const QColor &bottomRight);
