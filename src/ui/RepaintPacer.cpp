#include "RepaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

TRepaintPacer::TRepaintPacer(QWidget *window) : QObject(window), m_window(window)
{
    m_nextFrame.setSingleShot(true);
    m_nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&m_nextFrame, &QTimer::timeout, this, &TRepaintPacer::requestFrame);
    m_window->installEventFilter(this);
}

bool TRepaintPacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::UpdateRequest)
        return false;
    if (!m_sinceLastFrame.isValid() || m_sinceLastFrame.elapsed() >= m_frameMilliseconds) {
        // Paints now, timed.
        m_sinceLastFrame.start();
        static_cast<QObject *>(m_window)->event(event);
        m_frameMilliseconds =
            qBound(FrameMilliseconds, PaintShare * m_sinceLastFrame.elapsed(), LongestFrameMilliseconds);
        return true;
    }
    // Held back: the window asks for no other request until this one is answered, so the
    // changes of the rest of the frame wait for the request made when it is over.
    if (!m_nextFrame.isActive())
        m_nextFrame.start(int(m_frameMilliseconds - m_sinceLastFrame.elapsed()));
    return true;
}

void TRepaintPacer::requestFrame()
{
    QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
