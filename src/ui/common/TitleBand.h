#pragma once

// TTitleBand (TopPanel): the band at the top of every borderless window. It is painted in the
// title band's colour, holds the picture shaded from that colour in its top-left corner
// (TopImage) and the bold title (TitleLabel), and keeps its buttons (minimise, exit, close)
// anchored to its right edge. A left press on the band, the picture or the title moves the
// window.

#include "TitleButtons.h"

#include <QFrame>
#include <vector>

class QLabel;
class TImageBt;
class TWindowMover;

class TTitleBand : public QFrame
{
    Q_OBJECT

public:
    // The band is height pixels high; the picture covers imageRect.
    TTitleBand(const QString &title, int height, const QRect &imageRect, QWidget *window);

    QLabel *TopImage() const { return m_image; }
    QLabel *TitleLabel() const { return m_title; }
    void SetTitle(const QString &title);
    // A picture button of the band (named name), fromRight pixels left of the band's right edge.
    TImageBt *AddButton(const QString &name, TTitleButton kind, int fromRight);

Q_SIGNALS:
    // A left press on the band has asked the window system to move the window.
    void moveRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct TAnchored
    {
        QWidget *Button;
        int FromRight;
        int Top;
    };
    void placeButtons();

    TWindowMover *m_mover = nullptr;
    QLabel *m_image = nullptr;
    QLabel *m_title = nullptr;
    std::vector<TAnchored> m_buttons;
};
