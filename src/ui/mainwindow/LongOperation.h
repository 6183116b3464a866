#pragma once

// TLongOperation: the one guard of every long command. While it lives, Busy is set, the
// commands are off and the command's kept ", please wait..." text (if it has one) is shown; the
// command reports its progress and any later wait text through it. On every way out, an
// exception included, the progress bar goes back to 0, the wait text is cleared (or the result
// text shown instead), the commands come back and Busy is cleared, so an error in the middle
// never leaves the window refusing every command or saying it is still working.
//
// Guards do not nest: one made while Busy is already set (a long command reached from inside
// another) changes nothing, then or when it ends, so it can never clear Busy under the command
// that set it. The command gate keeps entry points from getting there.
//
// The lighter form sets and clears Busy only, for loops that leave the window's commands,
// status and progress alone. User-interface thread only.

#include <QString>

// What a long operation needs of the window it runs in.
class TLongOperationHost
{
public:
    virtual ~TLongOperationHost() = default;
    virtual bool Busy() const = 0;
    virtual void SetBusy(bool busy) = 0;
    virtual void EnableCommands(bool on) = 0;
    // keep: the text stays until the next call; otherwise it is cleared after 5 seconds.
    virtual void SetStatus(const QString &text, bool keep) = 0;
    // The total of the running command, and how much of it is done.
    virtual void SetProgressTotal(qint64 total) = 0;
    virtual void SetProgress(qint64 done) = 0;
    virtual void ResetProgress() = 0;
};

class TLongOperation
{
public:
    struct TBusyOnly
    {};
    static constexpr TBusyOnly BusyOnly{};

    // Busy, commands off, and the wait text kept in the status panel when there is one; pending
    // window messages then run, so the window shows it.
    explicit TLongOperation(TLongOperationHost &host, const QString &waitText = QString());
    TLongOperation(TLongOperationHost &host, TBusyOnly);
    ~TLongOperation();
    TLongOperation(const TLongOperation &) = delete;
    TLongOperation &operator=(const TLongOperation &) = delete;

    // A kept ", please wait..." text for the next stage, shown at once and cleared at the end
    // (an empty one clears the status at once).
    void ShowWaitText(const QString &text);
    // The total of the stage that follows; Progress moves the bar to done of it.
    void SetTotal(qint64 total);
    void Progress(qint64 done);
    void ResetProgress();
    // The text shown when the operation ends, cleared 5 seconds later.
    void SetResult(const QString &text);
    // The command went through: its wait text stays after it, until the next status replaces it.
    void LeaveWaitText() { m_waitTextShown = false; }

private:
    TLongOperationHost &m_host;
    bool m_nested = false;
    bool m_busyOnly = false;
    bool m_waitTextShown = false;
    bool m_hasResult = false;
    QString m_result;
};
