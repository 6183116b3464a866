#include "ShadeImage.h"

#include <cmath>
#include <numbers>

QImage ShadeImage(const QColor &colour, const QSize &size)
{
    QImage image(size, QImage::Format_RGB888);
    if (image.isNull())
        return image;
    image.fill(colour);
    const QColor resolved = image.pixelColor(0, 0);
    const int r = resolved.red(), g = resolved.green(), b = resolved.blue();
    const double dR = 240 - r, dG = 245 - g, dB = 250 - b;

    const int w = image.width(), h = image.height();
    constexpr double quarterTurn = std::numbers::pi / 2;
    for (int y = 0; y < h; ++y) {
        const double fy = std::cos(y * quarterTurn / h);
        uchar *row = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const double f = std::cos(x * quarterTurn / w) * fy;
            // nearbyint rounds halves to even under the default rounding mode.
            row[3 * x + 0] = uchar(std::nearbyint(f * dR + r));
            row[3 * x + 1] = uchar(std::nearbyint(f * dG + g));
            row[3 * x + 2] = uchar(std::nearbyint(f * dB + b));
        }
    }
    return image;
}
