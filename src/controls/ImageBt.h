#pragma once

// TImageBt: a button drawn only from pictures: PictNorm normally, PictOver while the mouse is
// over it, PictPres while it is pressed with the mouse over it, PictDisa when disabled. Every
// picture is drawn centred at PictNorm's size in device-independent pixels (a picture made for a
// device pixel ratio of 2 has twice the pixels and the same place); where no picture covers the
// control, what lies behind it shows. A click comes through the ordinary clicked signal; the button is clicked with
// the mouse only and never takes the keyboard focus.
//
// User-interface thread only. The button keeps its own copies of all twelve pictures.

#include <QAbstractButton>
#include <QImage>
#include <QMenu>
#include <QPointer>

class TImageBt : public QAbstractButton
{
    Q_OBJECT

public:
    // A button made without a size is 23 x 23.
    explicit TImageBt(QWidget *parent = nullptr);

    const QImage &PictNorm() const { return m_pictNorm; }
    void SetPictNorm(const QImage &picture);
    const QImage &PictOver() const { return m_pictOver; }
    void SetPictOver(const QImage &picture);
    const QImage &PictPres() const { return m_pictPres; }
    void SetPictPres(const QImage &picture);
    const QImage &PictDisa() const { return m_pictDisa; }
    void SetPictDisa(const QImage &picture);

    // Spare pictures stored with the button; never drawn by it.
    const QImage &ImgAux1() const { return m_aux[0]; }
    void SetImgAux1(const QImage &picture) { m_aux[0] = picture; }
    const QImage &ImgAux2() const { return m_aux[1]; }
    void SetImgAux2(const QImage &picture) { m_aux[1] = picture; }
    const QImage &ImgAux3() const { return m_aux[2]; }
    void SetImgAux3(const QImage &picture) { m_aux[2] = picture; }
    const QImage &ImgAux4() const { return m_aux[3]; }
    void SetImgAux4(const QImage &picture) { m_aux[3] = picture; }
    const QImage &ImgAux5() const { return m_aux[4]; }
    void SetImgAux5(const QImage &picture) { m_aux[4] = picture; }
    const QImage &ImgAux6() const { return m_aux[5]; }
    void SetImgAux6(const QImage &picture) { m_aux[5] = picture; }
    const QImage &ImgAux7() const { return m_aux[6]; }
    void SetImgAux7(const QImage &picture) { m_aux[6] = picture; }
    const QImage &ImgAux8() const { return m_aux[7]; }
    void SetImgAux8(const QImage &picture) { m_aux[7] = picture; }

    // Transparent pictures leave out every pixel of the colour of their bottom-left pixel.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);

    // Context menu shown on a right click; not owned.
    QMenu *Popupmenu() const { return m_popupmenu; }
    void SetPopupmenu(QMenu *menu) { m_popupmenu = menu; }

    bool Hover() const { return m_hover; }
    bool Pressed() const { return m_pressed; }

    // The picture the button shows in its present state (empty when it shows none).
    const QImage &ShownPicture() const;

    // Re-applies the transparency to the four state pictures and repaints.
    void PictureChanged();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void MouseEntered();
    void MouseLeft();
    QImage Prepared(const QImage &picture) const;

    QImage m_pictNorm, m_pictOver, m_pictPres, m_pictDisa;
    QImage m_drawnNorm, m_drawnOver, m_drawnPres, m_drawnDisa; // with the transparency applied
    QImage m_aux[8];
    QPointer<QMenu> m_popupmenu;
    bool m_transparent = false;
    bool m_hover = false;
    bool m_pressed = false;
};
