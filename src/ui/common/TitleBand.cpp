#include "TitleBand.h"

#include "ImageBt.h"
#include "ShadeImage.h"
#include "WindowColours.h"
#include "WindowMover.h"

#include <QLabel>

TTitleBand::TTitleBand(const QString &title, int height, const QRect &imageRect, QWidget *window)
    : QFrame(window), m_mover(new TWindowMover(window))
{
    setObjectName(QStringLiteral("TopPanel"));
    setFixedHeight(height);
    PaintBackground(this, WindowColours::TitleBand);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("TopImage"));
    m_image->setGeometry(imageRect);
    m_image->setPixmap(QPixmap::fromImage(ShadeImage(WindowColours::TitleBand, imageRect.size())));

    m_title = new QLabel(title, this);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setAttribute(Qt::WA_TranslucentBackground);
    m_title->move(8, 9);
    m_title->adjustSize();

    for (QWidget *handle :
         {static_cast<QWidget *>(this), static_cast<QWidget *>(m_image), static_cast<QWidget *>(m_title)})
        m_mover->Watch(handle);
    connect(m_mover, &TWindowMover::moveRequested, this, &TTitleBand::moveRequested);
}

void TTitleBand::SetTitle(const QString &title)
{
    m_title->setText(title);
    m_title->adjustSize();
}

TImageBt *TTitleBand::AddButton(const QString &name, TTitleButton kind, int fromRight)
{
    auto *button = new TImageBt(this);
    button->setObjectName(name);
    ConfigureTitleBandButton(*button, kind);
    m_buttons.push_back({button, fromRight, 5});
    placeButtons();
    return button;
}

void TTitleBand::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    placeButtons();
}

void TTitleBand::placeButtons()
{
    for (const TAnchored &anchored : m_buttons)
        anchored.Button->move(width() - anchored.FromRight, anchored.Top);
}
