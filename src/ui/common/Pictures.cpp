#include "Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor Ink(40, 52, 80);
const QColor FolderYellow(240, 200, 90);
const QColor FolderEdge(176, 132, 40);
const QColor Paper(255, 255, 255);
const QColor PaperEdge(110, 120, 140);
const QColor Green(40, 150, 60);
const QColor Red(205, 45, 40);
const QColor Blue(40, 100, 210);

// A transparent square of size device-independent pixels at the ratio: painters on it draw in
// device-independent coordinates, so every drawing below is sharp at any ratio.
QPixmap blank(qreal ratio, int size = 16)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawFolder(QPainter &p, bool open, const QColor &body = FolderYellow)
{
    p.setPen(QPen(FolderEdge, 1));
    p.setBrush(body.darker(115));
    p.drawRoundedRect(QRectF(1.5, 3.5, 6, 3), 1, 1); // tab
    p.drawRect(QRectF(1.5, 4.5, 13, 9.5));
    p.setBrush(body);
    if (open) {
        QPainterPath flap;
        flap.moveTo(1.5, 14);
        flap.lineTo(4, 7.5);
        flap.lineTo(15, 7.5);
        flap.lineTo(12.5, 14);
        flap.closeSubpath();
        p.drawPath(flap);
    } else {
        p.drawRect(QRectF(1.5, 6.5, 13, 7.5));
    }
}

void drawPaper(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(PaperEdge, 1));
    p.setBrush(Paper);
    p.drawRect(r);
    p.setPen(QPen(QColor(170, 180, 200), 1));
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void drawBadge(QPainter &p, const QColor &colour, bool plus)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    p.setPen(QPen(Qt::white, 1.6));
    p.drawLine(QPointF(10.2, 12), QPointF(13.8, 12));
    if (plus)
        p.drawLine(QPointF(12, 10.2), QPointF(12, 13.8));
}

void drawCross(QPainter &p, const QRectF &r, const QColor &colour, qreal width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void drawMagnifier(QPainter &p, const QPointF &centre, qreal radius)
{
    p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(200, 225, 255, 200));
    p.drawEllipse(centre, radius, radius);
    const QPointF handle = centre + QPointF(radius * 0.7, radius * 0.7);
    p.setPen(QPen(Ink, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(handle, handle + QPointF(3, 3));
}

} // namespace

QPixmap CommandPicture(TCommandPicture picture, qreal ratio)
{
    QPixmap pixmap = blank(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case TCommandPicture::NewFolder:
        drawFolder(p, false);
        drawBadge(p, Green, true);
        break;
    case TCommandPicture::RemoveFolder:
        drawFolder(p, false);
        drawBadge(p, Red, false);
        break;
    case TCommandPicture::AddFiles:
        drawPaper(p, QRectF(2.5, 1.5, 9, 12));
        drawBadge(p, Green, true);
        break;
    case TCommandPicture::AddFolders:
        p.translate(-1, -1);
        drawFolder(p, false, FolderYellow.lighter(110));
        p.translate(1, 1);
        drawBadge(p, Green, true);
        break;
    case TCommandPicture::Comments: {
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(255, 250, 205));
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(1.5, 2.5, 13, 9), 2.5, 2.5);
        bubble.moveTo(4, 11.5);
        bubble.lineTo(4, 15);
        bubble.lineTo(8, 11.5);
        p.drawPath(bubble.simplified());
        p.setPen(QPen(Ink, 1));
        p.drawLine(QPointF(4, 5.5), QPointF(12, 5.5));
        p.drawLine(QPointF(4, 8.5), QPointF(10, 8.5));
        break;
    }
    case TCommandPicture::RemoveFiles:
        drawPaper(p, QRectF(2.5, 1.5, 9, 12));
        drawBadge(p, Red, false);
        break;
    case TCommandPicture::CheckFolder:
        drawPaper(p, QRectF(1.5, 1.5, 8, 11));
        drawMagnifier(p, QPointF(9.5, 9), 3.5);
        break;
    case TCommandPicture::CheckAll:
        drawPaper(p, QRectF(0.5, 0.5, 7, 9));
        drawPaper(p, QRectF(3.5, 3.5, 7, 9));
        drawMagnifier(p, QPointF(10, 9.5), 3.5);
        break;
    case TCommandPicture::LoadRegistry:
        drawFolder(p, true);
        p.setPen(QPen(Blue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(11, 1.5), QPointF(11, 6.5));
        p.drawPolyline(QPolygonF({QPointF(8.5, 4), QPointF(11, 6.5), QPointF(13.5, 4)}));
        break;
    case TCommandPicture::SaveRegistry:
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(70, 110, 190));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        p.setBrush(Paper);
        p.drawRect(QRectF(4, 2, 8, 5));
        p.setBrush(QColor(200, 205, 215));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
        break;
    case TCommandPicture::Options:
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(3.5 + 4.5 * i, 8), 1.8, 1.8);
        break;
    case TCommandPicture::About: {
        p.setPen(QPen(Blue.darker(120), 1));
        p.setBrush(Blue);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(QPointF(8, 4.8));
        p.drawLine(QPointF(8, 7.5), QPointF(8, 11.5));
        break;
    }
    case TCommandPicture::Close:
        p.setPen(QPen(PaperEdge, 1));
        p.setBrush(QColor(248, 248, 250));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
        drawCross(p, QRectF(5, 5, 6, 6), Ink, 2);
        break;
    }
    return pixmap;
}

QPixmap PickerPicture(TPickerPicture picture, qreal ratio)
{
    QPixmap pixmap = blank(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A small square item picture at the given place, with a name line beside it when wide.
    auto item = [&p](const QRectF &square, qreal nameLength) {
        p.setPen(QPen(Blue.darker(130), 1));
        p.setBrush(QColor(150, 185, 240));
        p.drawRect(square);
        if (nameLength > 0) {
            p.setPen(QPen(Ink, 1));
            const qreal y = square.center().y();
            p.drawLine(QPointF(square.right() + 2, y), QPointF(square.right() + 2 + nameLength, y));
        }
    };
    switch (picture) {
    case TPickerPicture::PreviousFolder:
        drawFolder(p, false);
        p.setPen(QPen(Green.darker(110), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(8, 12.5), QPointF(8, 7));
        p.drawPolyline(QPolygonF({QPointF(5.2, 9.5), QPointF(8, 6.5), QPointF(10.8, 9.5)}));
        break;
    case TPickerPicture::SelectAll:
        for (int i = 0; i < 3; ++i) {
            const qreal y = 1.5 + i * 5;
            p.setPen(QPen(PaperEdge, 1));
            p.setBrush(Paper);
            p.drawRect(QRectF(1.5, y, 4, 4));
            p.setPen(QPen(Green, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(2.3, y + 2), QPointF(3.4, y + 3.2), QPointF(5.6, y + 0.4)}));
            p.setPen(QPen(Ink, 1));
            p.drawLine(QPointF(8, y + 2), QPointF(14.5, y + 2));
        }
        break;
    case TPickerPicture::Count:
        drawPaper(p, QRectF(1.5, 1.5, 9, 12));
        p.setPen(QPen(Ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        // A sum sign over the corner of the page.
        p.drawPolyline(QPolygonF({QPointF(15, 8), QPointF(15, 7), QPointF(9.5, 7), QPointF(12.5, 11),
                                  QPointF(9.5, 15), QPointF(15, 15), QPointF(15, 14)}));
        break;
    case TPickerPicture::LargeIcons:
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column)
                item(QRectF(1.5 + column * 7.5, 1.5 + row * 7.5, 5.5, 5.5), 0);
        break;
    case TPickerPicture::SmallIcons:
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 2; ++column)
                item(QRectF(0.5 + column * 8, 2.5 + row * 4.5, 2.5, 2.5), 3.5);
        break;
    case TPickerPicture::List:
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 2; ++column)
                item(QRectF(0.5 + column * 8, 1.5 + row * 3.5, 2, 2), 3.5);
        break;
    case TPickerPicture::Report:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 208, 220));
        p.drawRect(QRectF(0.5, 1, 15, 3));
        for (int row = 0; row < 3; ++row)
            item(QRectF(0.5, 6 + row * 3.5, 2, 2), 10.5);
        break;
    }
    return pixmap;
}

std::array<QPixmap, 4> FolderPictures(qreal ratio)
{
    std::array<QPixmap, 4> pictures;
    for (int i = 0; i < 4; ++i) {
        pictures[size_t(i)] = blank(ratio);
        QPainter p(&pictures[size_t(i)]);
        p.setRenderHint(QPainter::Antialiasing);
        const bool withRecords = i >= 2;
        const bool selected = i % 2 == 1;
        if (withRecords) {
            // Papers peek out of a folder that holds records.
            p.setPen(QPen(PaperEdge, 1));
            p.setBrush(Paper);
            p.drawRect(QRectF(4.5, 2.5, 8, 8));
        }
        drawFolder(p, selected, withRecords ? FolderYellow : QColor(225, 215, 180));
    }
    return pictures;
}

std::array<QPixmap, 4> FileStatePictures(qreal ratio)
{
    std::array<QPixmap, 4> pictures;
    for (int i = 0; i < 4; ++i) {
        pictures[size_t(i)] = blank(ratio);
        QPainter p(&pictures[size_t(i)]);
        p.setRenderHint(QPainter::Antialiasing);
        drawPaper(p, QRectF(1.5, 0.5, 10, 13));
        switch (i) {
        case 0: // waiting: a small clock
            p.setPen(QPen(Ink, 1));
            p.setBrush(QColor(250, 235, 160));
            p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
            p.drawLine(QPointF(12, 12), QPointF(12, 9.8));
            p.drawLine(QPointF(12, 12), QPointF(13.8, 12));
            break;
        case 1: // digested: a tick
            p.setPen(QPen(Green, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(8, 11.5), QPointF(10.5, 14), QPointF(15, 8.5)}));
            break;
        case 2: // missing: a cross
            drawCross(p, QRectF(9, 9, 5.5, 5.5), Red, 2.2);
            break;
        case 3: // being digested: a turning arrow
            p.setPen(QPen(Blue, 1.8, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(8.5, 8.5, 6.5, 6.5), 30 * 16, 280 * 16);
            p.setBrush(Blue);
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF({QPointF(13.5, 7.5), QPointF(16, 10.5), QPointF(12, 11)}));
            break;
        }
    }
    return pictures;
}

QPixmap ApplicationPicture(int size, qreal ratio)
{
    QPixmap pixmap = blank(ratio, size);
    QPainter painter(&pixmap);
    DrawApplicationPicture(painter, size);
    return pixmap;
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ApplicationPicture(size, 1));
    return icon;
}

void DrawApplicationPicture(QPainter &p, int size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    // A catalog drawer holding cards, and a magnifier over a digest.
    QLinearGradient body(0, 20, 0, 120);
    body.setColorAt(0, QColor(120, 150, 215));
    body.setColorAt(1, QColor(50, 80, 150));
    p.setPen(QPen(QColor(30, 45, 90), 3));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(10, 40, 92, 76), 10, 10);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(110, 120, 140), 2));
        p.setBrush(QColor(255, 255, 255));
        p.drawRoundedRect(QRectF(20 + i * 8, 16 + i * 8, 64, 40), 4, 4);
    }
    p.setPen(QPen(QColor(120, 130, 150), 3, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 3; ++line)
        p.drawLine(QPointF(44, 42 + line * 8), QPointF(92, 42 + line * 8));
    p.setPen(QPen(QColor(30, 45, 90), 3));
    p.setBrush(QColor(220, 228, 245));
    p.drawRoundedRect(QRectF(42, 82, 28, 12), 5, 5);
    p.setPen(QPen(QColor(30, 45, 90), 6));
    p.setBrush(QColor(210, 235, 255, 210));
    p.drawEllipse(QPointF(90, 80), 20, 20);
    p.setPen(QPen(QColor(30, 45, 90), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(104, 94), QPointF(118, 108));
    p.setPen(QPen(Green, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(80, 80), QPointF(87, 87), QPointF(100, 72)}));
    p.restore();
}

std::array<QPixmap, 3> DupListPictures(qreal ratio)
{
    std::array<QPixmap, 3> pictures;
    for (QPixmap &picture : pictures)
        picture = blank(ratio);
    {
        // A set: two equal papers, tied by an equals sign.
        QPainter p(&pictures[0]);
        p.setRenderHint(QPainter::Antialiasing);
        drawPaper(p, QRectF(0.5, 0.5, 8, 10));
        drawPaper(p, QRectF(5.5, 4.5, 8, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawRoundedRect(QRectF(9, 10, 6.5, 5.5), 1.5, 1.5);
        p.setPen(QPen(Qt::white, 1.2));
        p.drawLine(QPointF(10.3, 11.9), QPointF(14.2, 11.9));
        p.drawLine(QPointF(10.3, 13.7), QPointF(14.2, 13.7));
    }
    {
        // A file: a paper with its digest as a blue band.
        QPainter p(&pictures[1]);
        p.setRenderHint(QPainter::Antialiasing);
        drawPaper(p, QRectF(2.5, 0.5, 10, 14));
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawRect(QRectF(4, 10.5, 7, 2.5));
    }
    {
        // A file found missing: a faint paper, crossed out.
        QPainter p(&pictures[2]);
        p.setRenderHint(QPainter::Antialiasing);
        p.setOpacity(0.45);
        drawPaper(p, QRectF(2.5, 0.5, 10, 14));
        p.setOpacity(1);
        drawCross(p, QRectF(7.5, 8.5, 6.5, 6.5), Red, 2.2);
    }
    return pictures;
}

QPixmap DupMenuPicture(TDupMenuPicture picture, qreal ratio)
{
    QPixmap pixmap = blank(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case TDupMenuPicture::ShellOpen:
        // A paper and an arrow leaving it for its program.
        drawPaper(p, QRectF(1.5, 3.5, 9, 11));
        p.setPen(QPen(Green, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(8, 8.5), QPointF(14, 2.5));
        p.drawPolyline(QPolygonF({QPointF(9.5, 2.5), QPointF(14, 2.5), QPointF(14, 7)}));
        break;
    case TDupMenuPicture::SelectAll:
        // Rows, every one ticked.
        for (int row = 0; row < 3; ++row) {
            const qreal y = 2.5 + row * 4.5;
            p.setPen(QPen(PaperEdge, 1));
            p.setBrush(Paper);
            p.drawRect(QRectF(5.5, y, 9, 3));
            p.setPen(QPen(Green, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(1, y + 1.5), QPointF(2.3, y + 2.8), QPointF(4.2, y)}));
        }
        break;
    case TDupMenuPicture::RemoveFromList:
        // Rows of a list, one taken out.
        p.setPen(QPen(PaperEdge, 1));
        p.setBrush(Paper);
        p.drawRect(QRectF(1.5, 1.5, 10, 12));
        p.setPen(QPen(QColor(170, 180, 200), 1));
        for (qreal y = 4.5; y < 12; y += 3)
            p.drawLine(QPointF(3, y), QPointF(10, y));
        drawBadge(p, Red, false);
        break;
    case TDupMenuPicture::DeleteFromDisk: {
        // A waste bin.
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(200, 208, 222));
        QPainterPath bin;
        bin.moveTo(3.5, 4.5);
        bin.lineTo(12.5, 4.5);
        bin.lineTo(11.5, 15);
        bin.lineTo(4.5, 15);
        bin.closeSubpath();
        p.drawPath(bin);
        p.drawRoundedRect(QRectF(2, 2.5, 12, 2), 0.8, 0.8);
        p.drawLine(QPointF(6.5, 1), QPointF(9.5, 1));
        p.setPen(QPen(Ink, 1));
        for (qreal x : {6.2, 8.0, 9.8})
            p.drawLine(QPointF(x, 6.5), QPointF(x, 13));
        break;
    }
    }
    return pixmap;
}
