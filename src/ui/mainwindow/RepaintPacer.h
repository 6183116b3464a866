#pragma once

// TRepaintPacer: the window paints at most once a frame. Every change of a widget asks the
// window for an update request; when changes come faster than a screen can show them (a digest
// handed over every few dozen microseconds, each changing one row and scrolling the list), the
// window would paint for every one of them. The pacer lets one update request through per frame
// and holds the others back until the frame is over, when one request paints everything changed
// meanwhile. Input and the window's own expose events are never held back.
//
// While the user is not working the window (no input for a moment) and the changes come by
// themselves, a frame also lasts at least PaintShare times as long as its painting took: a list
// scrolled on by a fast digest queue repaints whole every frame, and each paint holds up the
// hand-over the worker waits for. While the user works the window, frames keep their pace.
//
// User-interface thread only; install it on a top-level window.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

class TRepaintPacer : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 FrameMilliseconds = 16;
    static constexpr qint64 PaintShare = 16;
    static constexpr qint64 LongestFrameMilliseconds = 100;
    static constexpr qint64 InputPaceMilliseconds = 250; // after the last input, frames keep their pace

    explicit TRepaintPacer(QWidget *window);

    // Paints now whatever is waiting for the next frame, and lets the next change paint at once:
    // afterwards nothing held back can paint later (for a test that counts what a change paints).
    void Flush();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void requestFrame();

    QWidget *m_window;
    QElapsedTimer m_sinceLastFrame;
    QElapsedTimer m_sinceInput;
    qint64 m_frameMilliseconds = FrameMilliseconds; // the frame that began last
    QTimer m_nextFrame;
};
