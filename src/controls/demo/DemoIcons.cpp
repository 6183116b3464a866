#include "DemoIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

QIcon drawnIcon(const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

} // namespace

QIcon DemoSearchIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(30, 60, 120), 2));
        p.setBrush(QColor(190, 220, 250));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        p.setPen(QPen(QColor(120, 70, 20), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 10), QPointF(14, 14));
    });
}

QIcon DemoDocumentIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(70, 80, 100), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 1.5, 10, 13));
        p.setPen(QPen(QColor(60, 110, 190), 1));
        for (int y = 5; y <= 11; y += 2)
            p.drawLine(QPointF(5.5, y + 0.5), QPointF(11.5, y + 0.5));
    });
}

QIcon DemoDiskIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(20, 40, 90), 1));
        p.setBrush(QColor(50, 90, 180));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
    });
}

QIcon DemoTrashIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(90, 40, 30), 1));
        p.setBrush(QColor(210, 90, 70));
        QPainterPath bin;
        bin.moveTo(3.5, 4.5);
        bin.lineTo(12.5, 4.5);
        bin.lineTo(11.5, 14.5);
        bin.lineTo(4.5, 14.5);
        bin.closeSubpath();
        p.drawPath(bin);
        p.drawRect(QRectF(2.5, 2.5, 11, 2));
    });
}
