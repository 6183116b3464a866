#include "ImageBt.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

TImageBt::TImageBt(QWidget *parent) : QAbstractButton(parent)
{
    // A picture drawn on the window, clicked with the mouse only: it never takes the keyboard
    // focus, so Tab passes it by and Space or Enter never press it.
    setFocusPolicy(Qt::NoFocus);
    resize(23, 23);
    PictureChanged();
}

void TImageBt::SetPictNorm(const QImage &picture)
{
    m_pictNorm = picture;
    PictureChanged();
    updateGeometry();
}

void TImageBt::SetPictOver(const QImage &picture)
{
    m_pictOver = picture;
    PictureChanged();
}

void TImageBt::SetPictPres(const QImage &picture)
{
    m_pictPres = picture;
    PictureChanged();
}

void TImageBt::SetPictDisa(const QImage &picture)
{
    m_pictDisa = picture;
    PictureChanged();
}

void TImageBt::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    PictureChanged();
}

QImage TImageBt::Prepared(const QImage &picture) const
{
    if (!m_transparent || picture.isNull())
        return picture;
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] == key)
                row[x] = 0;
        }
    }
    return image;
}

void TImageBt::PictureChanged()
{
    m_drawnNorm = Prepared(m_pictNorm);
    m_drawnOver = Prepared(m_pictOver);
    m_drawnPres = Prepared(m_pictPres);
    m_drawnDisa = Prepared(m_pictDisa);
    update();
}

const QImage &TImageBt::ShownPicture() const
{
    if (!isEnabled())
        return m_drawnDisa.isNull() ? m_drawnNorm : m_drawnDisa;
    if (m_hover) {
        if (m_pressed && !m_drawnPres.isNull())
            return m_drawnPres;
        if (!m_drawnOver.isNull())
            return m_drawnOver;
    }
    return m_drawnNorm;
}

QSize TImageBt::sizeHint() const
{
    return m_pictNorm.isNull() ? QSize(23, 23) : m_pictNorm.deviceIndependentSize().toSize();
}

void TImageBt::paintEvent(QPaintEvent *)
{
    const QImage &picture = ShownPicture();
    if (picture.isNull())
        return;
    // Every state picture is stretched into PictNorm's rectangle, centred in the button. A picture
    // drawn at a device pixel ratio above 1 covers that many fewer window pixels, so it lands
    // pixel for pixel on a scaled screen.
    const QSize pictureSize = m_pictNorm.deviceIndependentSize().toSize();
    const QRect target((width() - pictureSize.width()) / 2, (height() - pictureSize.height()) / 2,
                       pictureSize.width(), pictureSize.height());
    QPainter painter(this);
    painter.drawImage(target, picture);
}

void TImageBt::MouseEntered()
{
    if (m_hover || !isEnabled())
        return;
    m_hover = true;
    repaint();
}

void TImageBt::MouseLeft()
{
    if (!m_hover)
        return;
    m_hover = false; // Pressed stays until the button is released
    repaint();
}

void TImageBt::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    MouseEntered();
}

void TImageBt::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    MouseLeft();
}

void TImageBt::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_hover) {
        m_pressed = true;
        repaint();
    }
    QAbstractButton::mousePressEvent(event);
}

void TImageBt::mouseMoveEvent(QMouseEvent *event)
{
    // While the button is held the toolkit keeps the mouse with this control and reports no
    // leaving, so dragging off and back on is followed here.
    if (event->buttons() & Qt::LeftButton) {
        if (rect().contains(event->position().toPoint()))
            MouseEntered();
        else
            MouseLeft();
    }
    QAbstractButton::mouseMoveEvent(event);
}

void TImageBt::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        repaint();
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void TImageBt::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_popupmenu) {
        m_popupmenu->popup(event->globalPos());
        event->accept();
        return;
    }
    QAbstractButton::contextMenuEvent(event);
}
