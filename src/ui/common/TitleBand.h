#pragma once

// The title band of the secondary windows (TopPanel): a band of one colour, the picture shaded
// from that colour in its top-left corner (TopImage) and a bold title (TitleLabel). A left
// press on the band, the picture or the title asks the window system to move the window.

#include <QFrame>

class QLabel;

class TTitleBand : public QFrame
{
    Q_OBJECT

public:
    // The band is height pixels high; the picture has the given size and sits one pixel in.
    TTitleBand(const QString &title, const QColor &colour, int height, const QSize &imageSize,
               QWidget *parent = nullptr);

    QLabel *TopImage() const { return m_image; }
    QLabel *TitleLabel() const { return m_title; }

Q_SIGNALS:
    // A left press on the band has asked the window system to move the window.
    void moveRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void TopPanelMouseDown(QMouseEvent *event);

    QLabel *m_image = nullptr;
    QLabel *m_title = nullptr;
};
