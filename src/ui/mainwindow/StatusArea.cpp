#include "StatusArea.h"

#include "MainProgressBar.h"
#include "ProgressCyl.h"
#include "WindowColours.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

namespace {

constexpr int StatusClearMilliseconds = 5000;
constexpr qint64 EventsInterval = 10; // milliseconds between two runs of SetProgress's messages

} // namespace

TStatusArea::TStatusArea(QWidget *panel) : QObject(panel), m_panel(panel)
{
    StatusPanel = new QLabel(panel);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel->setGeometry(3, 62, 480, 20);
    StatusPanel->setIndent(4);
    PaintBackground(StatusPanel, WindowColours::Status);
    QPalette statusPalette = StatusPanel->palette();
    statusPalette.setColor(QPalette::WindowText, WindowColours::StatusText);
    StatusPanel->setPalette(statusPalette);

    ProgressBar = new TProgressCyl(panel);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ConfigureMainProgressBar(*ProgressBar);
    placeProgressBar();

    CleTimer = new QTimer(this);
    CleTimer->setObjectName(QStringLiteral("CleTimer"));
    CleTimer->setInterval(StatusClearMilliseconds);
    connect(CleTimer, &QTimer::timeout, this, &TStatusArea::CleTimerTimer);

    panel->installEventFilter(this);
}

void TStatusArea::SetStatus(const QString &text, bool keep)
{
    CleTimer->stop();
    StatusPanel->setText(text);
    if (!keep)
        CleTimer->start();
}

QString TStatusArea::StatusText() const
{
    return StatusPanel->text();
}

void TStatusArea::CleTimerTimer()
{
    CleTimer->stop();
    StatusPanel->clear();
}

void TStatusArea::SetTotal(qint64 total)
{
    m_total = total;
}

void TStatusArea::SetProgress(qint64 done)
{
    if (m_total <= 0)
        return;
    ProgressBar->SetPosition(int(qMin<qint64>(100, done * 100 / m_total)));
    // Pending messages run about once a frame, no more: a walk calls this for each of a hundred
    // thousand files, and letting messages run costs more than looking at a file.
    if (m_eventsLetRun.isValid() && m_eventsLetRun.elapsed() < EventsInterval)
        return;
    QCoreApplication::processEvents();
    m_eventsLetRun.start();
}

void TStatusArea::ResetProgress()
{
    m_total = 0;
    ProgressBar->SetPosition(0);
}

bool TStatusArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel && event->type() == QEvent::Resize)
        placeProgressBar();
    return QObject::eventFilter(watched, event);
}

void TStatusArea::placeProgressBar()
{
    ProgressBar->setGeometry(485, 61, qMax(1, m_panel->width() - 490), 20);
}
