#include "TitleButtons.h"

#include "ImageBt.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Size = 21;

// The colours of one look: the fill's top and bottom, the border and the glyph.
struct TLook
{
    QColor Top, Bottom, Border, Glyph;
};

TLook lookOf(TTitleButton kind, TTitleButtonLook look)
{
    // Exit turns red under the mouse: it ends the program.
    if (kind == tbExit && look == tlOver)
        return {{246, 150, 140}, {206, 64, 52}, {150, 36, 28}, {255, 255, 255}};
    if (kind == tbExit && look == tlPres)
        return {{170, 44, 36}, {214, 96, 86}, {110, 24, 18}, {255, 236, 232}};
    switch (look) {
    case tlOver:
        return {{250, 252, 255}, {208, 222, 250}, {58, 92, 178}, {20, 44, 120}};
    case tlPres:
        return {{168, 182, 216}, {206, 216, 240}, {52, 70, 126}, {22, 32, 70}};
    case tlNorm:
        break;
    }
    return {{232, 237, 248}, {190, 202, 230}, {98, 116, 164}, {38, 52, 96}};
}

QPainterPath roundedSquare(qreal inset, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5 + inset, 0.5 + inset, Size - 1 - 2 * inset, Size - 1 - 2 * inset), radius,
                        radius);
    return path;
}

void drawGlyph(QPainter &painter, TTitleButton kind, const QColor &colour)
{
    if (kind == tbMinimize) {
        painter.fillRect(QRectF(6, 13, 9, 2.5), colour);
        return;
    }
    painter.setPen(QPen(colour, 2.3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(6.5, 6.5), QPointF(14.5, 14.5));
    painter.drawLine(QPointF(14.5, 6.5), QPointF(6.5, 14.5));
}

} // namespace

QImage TitleButtonPicture(TTitleButton kind, TTitleButtonLook look, qreal ratio)
{
    QImage picture(QSize(Size, Size) * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    const TLook colours = lookOf(kind, look);

    // A rounded square with a one-pixel border, a soft vertical gradient and the glyph, which
    // moves down and right by a pixel while pressed.
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedSquare(0, 3.5), colours.Border);
    const QPainterPath inner = roundedSquare(1, 2.5);
    QLinearGradient fill(0, 1, 0, Size - 1);
    fill.setColorAt(0, colours.Top);
    fill.setColorAt(1, colours.Bottom);
    painter.fillPath(inner, fill);
    painter.setClipPath(inner);
    if (look == tlPres)
        painter.translate(1, 1);
    drawGlyph(painter, kind, colours.Glyph);
    return picture;
}

void ConfigureTitleBandButton(TImageBt &button, TTitleButton kind, qreal ratio)
{
    QString hint;
    switch (kind) {
    case tbMinimize:
        hint = QStringLiteral("Minimize");
        break;
    case tbExit:
        hint = QStringLiteral("Exit");
        break;
    case tbClose:
        hint = QStringLiteral("Close");
        break;
    }
    button.SetPictNorm(TitleButtonPicture(kind, tlNorm, ratio));
    button.SetPictOver(TitleButtonPicture(kind, tlOver, ratio));
    button.SetPictPres(TitleButtonPicture(kind, tlPres, ratio));
    button.SetTransparent(false);
    button.setFixedSize(21, 21);
    button.setCursor(Qt::PointingHandCursor);
    button.setToolTip(hint);
    // The button shows only a picture: screen readers say its hint.
    button.setAccessibleName(hint);
}
