// Drawing of TProgressCyl: the off-screen picture, its frames and its text.

#include "ProgressCyl.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Where the text starts and how it is turned, for text of width tw and height th in a control
// of w x h pixels. Halves are rounded toward zero.
struct TextPlacement
{
    int X = 0;
    int Y = 0;
    qreal Angle = 0; // clockwise, in degrees
};

TextPlacement placeText(TFontOrientation orientation, int w, int h, int tw, int th)
{
    switch (orientation) {
    case foTopToBottom:
        return {th + (w - th) / 2 - 1, (h - tw) / 2, 90};
    case foBottomToTop:
        return {(w - th) / 2 + 1, tw + (h - tw) / 2, -90};
    case foLeftToRight:
        break;
    }
    return {(w - tw) / 2, (h - th) / 2 + 1, 0};
}

// Draws the text with the top-left corner of its cell at the placement's point.
void drawTextAt(QPainter &painter, const TextPlacement &at, int dx, int dy, const QString &text,
                const QColor &colour)
{
    painter.save();
    painter.translate(at.X + dx, at.Y + dy);
    painter.rotate(at.Angle);
    painter.setPen(colour);
    painter.drawText(QPoint(0, painter.fontMetrics().ascent()), text);
    painter.restore();
}

void xorInto(QImage &target, const QImage &mask)
{
    const int bytes = target.width() * 3;
    for (int y = 0; y < target.height(); ++y) {
        uchar *row = target.scanLine(y);
        const uchar *maskRow = mask.constScanLine(y);
        for (int i = 0; i < bytes; ++i)
            row[i] ^= maskRow[i];
    }
}

} // namespace

QString TProgressCyl::DisplayedText() const
{
    if (!m_textDone.isEmpty() && m_percent == 100)
        return m_textDone;
    return QString::number(m_percent) + m_text;
}

QImage TProgressCyl::Render(qreal ratio)
{
    if (!m_ready || !GeometryUsable())
        return QImage();
    if (m_geometrySize != size()) {
        UpdateGeometryValues();
        UpdatePosition(m_position); // being drawn now, so no repaint
    }
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_offscreenBitmap.size() != pixels)
        m_offscreenBitmap = QImage(pixels, QImage::Format_RGB888);
    // The pixel work counts device pixels; the text below is placed in the control's own.
    m_offscreenBitmap.setDevicePixelRatio(1);
    const QPalette pal = palette();
    m_offscreenBitmap.fill(m_color.Resolve(pal));

    // Every length in device pixels; at ratio 1 these are the control's own values. On a scaled
    // screen the shade runs over more rows in smaller steps, so the cylinder keeps its look and
    // gains smoothness instead of being blown up from the small picture.
    const auto device = [ratio](int length) { return int(std::lround(length * ratio)); };
    TCylinderShading shading = Shading();
    if (ratio != 1) {
        shading.Inset = device(m_inset);
        shading.R = pixels.width() - shading.Inset;
        shading.B = pixels.height() - shading.Inset;
        shading.BarEdge = device(m_barEdge);
        shading.ShadeStep = float(shading.ShadeStep / ratio);
    }
    ShadeCylinder(m_offscreenBitmap, shading);

    const QRect whole(QPoint(0, 0), pixels);
    const QRect barArea(QPoint(shading.Inset, shading.Inset), QPoint(shading.R - 1, shading.B - 1));
    for (int ring = 0; ring < std::max(1, device(1)); ++ring)
        FramePixels(m_offscreenBitmap, barArea.adjusted(ring, ring, -ring, -ring),
                    m_backBorderColor.Resolve(pal));
    if (m_bevelInner != bvNone) {
        const int a = device(m_bevelWidth + m_borderWidth);
        Frame3DPixels(m_offscreenBitmap, whole.adjusted(a, a, -a, -a), device(m_bevelWidth), m_innerTopLeft,
                      m_innerBottomRight);
    }
    if (m_bevelOuter != bvNone)
        Frame3DPixels(m_offscreenBitmap, whole, device(m_bevelWidth), m_outerTopLeft, m_outerBottomRight);

    m_offscreenBitmap.setDevicePixelRatio(ratio);
    if (m_showText)
        DrawText();
    return m_offscreenBitmap;
}

void TProgressCyl::DrawText()
{
    const QString text = DisplayedText();
    const QPalette pal = palette();

    if (m_fontEffect == feInvert) {
        if (m_maskBitmap.size() != m_offscreenBitmap.size())
            m_maskBitmap = QImage(m_offscreenBitmap.size(), QImage::Format_RGB888);
        m_maskBitmap.setDevicePixelRatio(m_offscreenBitmap.devicePixelRatio());
        m_maskBitmap.fill(Qt::black);
        // Plain pixels only: every mask pixel is black or white, so the text shows exactly the
        // inverse of what lies beneath it.
        QFont maskFont = font();
        maskFont.setStyleStrategy(QFont::NoAntialias);
        QPainter painter(&m_maskBitmap);
        painter.setFont(maskFont);
        const QFontMetrics metrics = painter.fontMetrics();
        const TextPlacement at = placeText(m_fontOrientation, width(), height(),
                                           metrics.horizontalAdvance(text), metrics.height());
        drawTextAt(painter, at, 0, 0, text, Qt::white);
        painter.end();
        xorInto(m_offscreenBitmap, m_maskBitmap);
        return;
    }

    QPainter painter(&m_offscreenBitmap);
    painter.setFont(font());
    painter.setClipRect(rect());
    const QFontMetrics metrics = painter.fontMetrics();
    const TextPlacement at =
        placeText(m_fontOrientation, width(), height(), metrics.horizontalAdvance(text), metrics.height());
    if (m_fontEffect != feNone)
        drawTextAt(painter, at, m_shadowOffset, m_shadowOffset, text, m_fontShadowColor.Resolve(pal));
    drawTextAt(painter, at, 0, 0, text, m_fontColor.Resolve(pal));
}

void TProgressCyl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QImage picture = Render(devicePixelRatioF());
    if (picture.isNull()) {
        // No bar fits; the control still covers its own pixels.
        painter.fillRect(rect(), m_color.Resolve(palette()));
        return;
    }
    painter.drawImage(0, 0, picture);
}
