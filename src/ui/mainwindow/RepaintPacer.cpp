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
    // Input reaches the window's children, not the window: the application tells of all of it.
    QCoreApplication::instance()->installEventFilter(this);
}

bool TRepaintPacer::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        m_sinceInput.start();
        if (m_frameMilliseconds != FrameMilliseconds) {
            // The user answers what the window shows: a frame held back for long comes sooner.
            m_frameMilliseconds = FrameMilliseconds;
            if (m_nextFrame.isActive())
                m_nextFrame.start(int(qMax<qint64>(0, FrameMilliseconds - m_sinceLastFrame.elapsed())));
        }
        return false;
    default:
        break;
    }
    if (watched != m_window || event->type() != QEvent::UpdateRequest)
        return false;
    if (!m_sinceLastFrame.isValid() || m_sinceLastFrame.elapsed() >= m_frameMilliseconds) {
        // Paints now, timed.
        m_sinceLastFrame.start();
        static_cast<QObject *>(m_window)->event(event);
        const bool userAtWork = m_sinceInput.isValid() && m_sinceInput.elapsed() < InputPaceMilliseconds;
        const qint64 stretched = PaintShare * m_sinceLastFrame.nsecsElapsed() / 1'000'000;
        m_frameMilliseconds =
            userAtWork ? FrameMilliseconds : qBound(FrameMilliseconds, stretched, LongestFrameMilliseconds);
        return true;
    }
    // Held back: the window asks for no other request until this one is answered, so the
    // changes of the rest of the frame wait for the request made when it is over.
    if (!m_nextFrame.isActive())
        m_nextFrame.start(int(m_frameMilliseconds - m_sinceLastFrame.elapsed()));
    return true;
}

void TRepaintPacer::Flush()
{
    m_nextFrame.stop();
    m_sinceLastFrame.invalidate();
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_sinceLastFrame.invalidate();
}

void TRepaintPacer::requestFrame()
{
    QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
