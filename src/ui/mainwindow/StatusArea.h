#pragma once

// TStatusArea: the status text (StatusPanel) and the cylinder progress bar (ProgressBar) of the
// command panel, the services every long command reports through. A text that is not kept is
// cleared 5 seconds after the last call (CleTimer); a kept one stays until the next. The bar
// shows done of the running command's total and lets pending window messages run, about once a
// frame, so a long command keeps the window alive.
//
// User-interface thread only. The panel is the command panel the two live in; the bar keeps its
// left edge and stretches with the panel's width.

#include <QElapsedTimer>
#include <QObject>

class QLabel;
class QTimer;
class TProgressCyl;

class TStatusArea : public QObject
{
    Q_OBJECT

public:
    explicit TStatusArea(QWidget *panel);

    // keep: the text stays until the next call; otherwise it is cleared 5 seconds after it.
    void SetStatus(const QString &text, bool keep);
    QString StatusText() const;
    void CleTimerTimer();

    // The total of the running command; while it is 0 or less the bar does not move.
    void SetTotal(qint64 total);
    // Moves the bar to done of the total (at most all of it) and lets pending window messages run.
    void SetProgress(qint64 done);
    // The bar back to 0, and no total.
    void ResetProgress();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeProgressBar();

    QWidget *m_panel;
    qint64 m_total = 0;
    QElapsedTimer m_eventsLetRun; // when SetProgress last let messages run

    QLabel *StatusPanel = nullptr;
    TProgressCyl *ProgressBar = nullptr;
    QTimer *CleTimer = nullptr;
};
