#pragma once

// The two messages of the background hashing, as custom events.
//
//   WM_MD5NEXT      posted (QCoreApplication::postEvent) to the digest scheduler by itself and
//                   by whoever queues records; each one takes the next queued record.
//   WM_MD5PROGRESS  posted by the worker to its window, a TMd5ProgressEvent with the percent of
//                   the current file; the scheduler accepts it and does nothing with it.

#include "ThreadHandOver.h"

#include <QEvent>

extern const QEvent::Type WM_MD5NEXT;
extern const QEvent::Type WM_MD5PROGRESS;

// Made on the worker's thread and read on the window's, handed over by postEvent.
class TMd5ProgressEvent : public QEvent
{
public:
    explicit TMd5ProgressEvent(int percent, QEvent::Type type = WM_MD5PROGRESS)
        : QEvent(type), m_percent(percent)
    {
        HandOverRelease(this);
    }
    int Percent() const // 1 to 100
    {
        HandOverAcquire(this);
        return m_percent;
    }

private:
    int m_percent;
};
