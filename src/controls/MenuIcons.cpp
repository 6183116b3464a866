#include "MenuIcons.h"

#include "ColorHelpers.h"

namespace {

template <typename Convert>
QImage convertPixels(const QImage &icon, Convert convert)
{
    QImage image = icon.convertToFormat(QImage::Format_ARGB32);
    QRgb lastIn = 0;
    QRgb lastOut = 0;
    bool haveLast = false;
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb in = row[x];
            if (!haveLast || in != lastIn) {
                const QColor out = convert(QColor::fromRgb(in));
                lastIn = in;
                lastOut = qRgba(out.red(), out.green(), out.blue(), qAlpha(in));
                haveLast = true;
            }
            row[x] = lastOut;
        }
    }
    return image;
}

// Fully transparent pixels are alike whatever colour they carry.
bool samePixel(QRgb a, QRgb b)
{
    return a == b || (qAlpha(a) == 0 && qAlpha(b) == 0);
}

} // namespace

QImage GreyIcon(const QImage &icon)
{
    return convertPixels(icon, [](const QColor &c) { return GreyColor(c, 90); });
}

QImage FadedIcon(const QImage &icon)
{
    return convertPixels(icon, [](const QColor &c) { return LightenColor(c, 30); });
}

QImage IconShadow(const QImage &icon, const QColor &shadow)
{
    QImage image = icon.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const QRgb background = image.pixel(0, image.height() - 1);
    const QRgb ink = shadow.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = samePixel(row[x], background) ? 0 : (ink & 0x00FFFFFF) | (QRgb(qAlpha(row[x])) << 24);
    }
    return image;
}
