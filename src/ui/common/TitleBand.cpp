#include "TitleBand.h"

#include "ShadeImage.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

TTitleBand::TTitleBand(const QString &title, const QColor &colour, int height, const QSize &imageSize,
                       QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("TopPanel"));
    setFixedHeight(height);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
    setAutoFillBackground(true);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("TopImage"));
    m_image->setGeometry(QRect(QPoint(1, 1), imageSize));
    m_image->setPixmap(QPixmap::fromImage(ShadeImage(colour, imageSize)));
    m_image->installEventFilter(this);

    m_title = new QLabel(title, this);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setAttribute(Qt::WA_TranslucentBackground);
    m_title->adjustSize();
    m_title->move(8, (height - m_title->height()) / 2);
    m_title->installEventFilter(this);
}

bool TTitleBand::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        TopPanelMouseDown(static_cast<QMouseEvent *>(event));
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void TTitleBand::mousePressEvent(QMouseEvent *event)
{
    TopPanelMouseDown(event);
}

void TTitleBand::TopPanelMouseDown(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Q_EMIT moveRequested();
    // The window system runs its own move loop from here.
    if (QWindow *window = this->window()->windowHandle())
        window->startSystemMove();
}
