#pragma once

// How soon the user-interface thread takes an event while work goes on: another thread posts an
// event every millisecond, stamped with its time, and the probe keeps the longest wait between a
// post and its handling (a keystroke waits as long).

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

inline qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Events posted from another thread every millisecond; the receiver keeps the longest wait.
class TEventProbe : public QObject
{
public:
    static constexpr QEvent::Type Probe = QEvent::Type(QEvent::User + 778);

    void Start()
    {
        m_worstNs = 0;
        m_stop = false;
        m_poster = std::thread([this] {
            while (!m_stop) {
                QCoreApplication::postEvent(this, new TStamped(nowNs()));
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    // The worst wait since Start, in milliseconds.
    double Stop()
    {
        m_stop = true;
        m_poster.join();
        QCoreApplication::removePostedEvents(this, Probe);
        return double(m_worstNs) / 1e6;
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != Probe)
            return QObject::event(event);
        m_worstNs = std::max(m_worstNs, nowNs() - static_cast<TStamped *>(event)->PostedNs);
        return true;
    }

private:
    struct TStamped : QEvent
    {
        explicit TStamped(qint64 postedNs) : QEvent(Probe), PostedNs(postedNs) {}
        qint64 PostedNs;
    };
    std::atomic<bool> m_stop = false;
    std::thread m_poster;
    qint64 m_worstNs = 0;
};
