#include "CylinderShade.h"

#include "PCColorStyle.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

float channelFactor(int channel, const TPCColorStyle &style)
{
    const double c = channel;
    const double brightening = (c * style.IntensityFactor() + style.IntensityRGB()) / style.Intensity();
    return float((brightening + c) / style.RangeRGB());
}

// Trunc((rows) / lightAngle) for the starting offset of the light line; a huge quotient (a
// light angle near 0) is held to a range the shading arithmetic can carry.
int startOffset(int thickness, float lightAngle)
{
    const double offset = std::trunc(double(thickness) / double(lightAngle));
    if (!std::isfinite(offset))
        return 0;
    return int(std::clamp(offset, -1.0e6, 1.0e6));
}

void setPixel(uchar *row, int x, const QColor &colour)
{
    uchar *pixel = row + 3 * x;
    pixel[0] = uchar(colour.red());
    pixel[1] = uchar(colour.green());
    pixel[2] = uchar(colour.blue());
}

void shadeHorizontal(QImage &picture, const TCylinderShading &s)
{
    const int thickness = s.B - s.Inset;
    int dF = startOffset(thickness, s.ForeStyle->LightAngle());
    int dB = startOffset(thickness, s.BackStyle->LightAngle());
    const int foreEnd = std::min(s.BarEdge, s.R - 1);
    for (int y = s.Inset; y < s.B; ++y, ++dF, ++dB) {
        uchar *row = picture.scanLine(y);
        const QColor fore = ShadeColor(dF, s.ShadeStep, *s.ForeStyle, s.Fore);
        const QColor line = ShadeColor(dF, s.ShadeStep, *s.ForeStyle, s.ForeLine);
        const QColor back = ShadeColor(dB, s.ShadeStep, *s.BackStyle, s.Back);
        for (int x = s.Inset; x <= foreEnd; ++x)
            setPixel(row, x, fore);
        if (s.BarEdge >= s.Inset && s.BarEdge < s.R)
            setPixel(row, s.BarEdge, line);
        for (int x = std::max(s.BarEdge + 1, s.Inset); x < s.R; ++x)
            setPixel(row, x, back);
    }
}

void shadeVertical(QImage &picture, const TCylinderShading &s)
{
    const int thickness = s.R - s.Inset;
    const int dF = startOffset(thickness, s.ForeStyle->LightAngle());
    const int dB = startOffset(thickness, s.BackStyle->LightAngle());
    std::vector<QColor> fore, line, back;
    for (int x = s.Inset; x < s.R; ++x) {
        const int offset = x - s.Inset;
        fore.push_back(ShadeColor(dF + offset, s.ShadeStep, *s.ForeStyle, s.Fore));
        line.push_back(ShadeColor(dF + offset, s.ShadeStep, *s.ForeStyle, s.ForeLine));
        back.push_back(ShadeColor(dB + offset, s.ShadeStep, *s.BackStyle, s.Back));
    }
    auto fillRow = [&](int y, const std::vector<QColor> &colours) {
        uchar *row = picture.scanLine(y);
        for (int x = s.Inset; x < s.R; ++x)
            setPixel(row, x, colours[size_t(x - s.Inset)]);
    };
    for (int y = s.Inset; y < s.B; ++y) {
        if (y < s.BarEdge)
            fillRow(y, back);
        else if (y == s.BarEdge)
            fillRow(y, line);
        else
            fillRow(y, fore);
    }
}

} // namespace

TChannelFactors ChannelFactors(const QColor &colour, const TPCColorStyle &style)
{
    const QColor rgb = colour.toRgb();
    return {channelFactor(rgb.red(), style), channelFactor(rgb.green(), style),
            channelFactor(rgb.blue(), style)};
}

quint8 ShadeChannel(int d, float shadeStep, const TPCColorStyle &style, float factor)
{
    const double brightness = std::abs(double(d)) * shadeStep * style.ColorFactor() + style.ColorRGB();
    const double value = std::trunc(brightness * factor);
    if (!(value > 0.0)) // also NaN
        return 0;
    return value >= 255.0 ? 255 : quint8(value);
}

QColor ShadeColor(int d, float shadeStep, const TPCColorStyle &style, const TChannelFactors &factors)
{
    return QColor(ShadeChannel(d, shadeStep, style, factors.Red),
                  ShadeChannel(d, shadeStep, style, factors.Green),
                  ShadeChannel(d, shadeStep, style, factors.Blue));
}

void ShadeCylinder(QImage &picture, const TCylinderShading &shading)
{
    Q_ASSERT(picture.format() == QImage::Format_RGB888);
    Q_ASSERT(shading.ForeStyle && shading.BackStyle);
    const QRect area(QPoint(shading.Inset, shading.Inset), QPoint(shading.R - 1, shading.B - 1));
    if (area.isEmpty() || !picture.rect().contains(area))
        return;
    if (shading.Orientation == pbHorizontal)
        shadeHorizontal(picture, shading);
    else
        shadeVertical(picture, shading);
}

void FillPixels(QImage &picture, const QRect &rect, const QColor &colour)
{
    const QRect clipped = rect.intersected(picture.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        uchar *row = picture.scanLine(y);
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            setPixel(row, x, colour);
    }
}

void FramePixels(QImage &picture, const QRect &rect, const QColor &colour)
{
    if (rect.isEmpty())
        return;
    FillPixels(picture, QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    FillPixels(picture, QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    FillPixels(picture, QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    FillPixels(picture, QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

void Frame3DPixels(QImage &picture, QRect rect, int width, const QColor &topLeft, const QColor &bottomRight)
{
    for (int ring = 0; ring < width && !rect.isEmpty(); ++ring) {
        // Top line without its right end, left line without its bottom end.
        FillPixels(picture, QRect(rect.left(), rect.top(), rect.width() - 1, 1), topLeft);
        FillPixels(picture, QRect(rect.left(), rect.top(), 1, rect.height() - 1), topLeft);
        FillPixels(picture, QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
        FillPixels(picture, QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}
