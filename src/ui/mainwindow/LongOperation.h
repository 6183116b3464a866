#pragma once

// TLongOperation: the one guard of every long command. While it lives, Busy is set, the
// commands are off and the command's kept ", please wait..." text (if it has one) is shown; on
// every way out, an exception included, the progress bar goes back to 0, the kept text is
// cleared (or the result text shown instead), the commands come back and Busy is cleared, so an
// error in the middle never leaves the window refusing every command.
//
// The lighter form sets and clears Busy only, for loops that leave the window's commands,
// status and progress alone. User-interface thread only.

#include <QString>

// What a long operation needs of the window it runs in.
class TLongOperationHost
{
public:
    virtual ~TLongOperationHost() = default;
    virtual void SetBusy(bool busy) = 0;
    virtual void EnableCommands(bool on) = 0;
    // keep: the text stays until the next call; otherwise it is cleared after 5 seconds.
    virtual void SetStatus(const QString &text, bool keep) = 0;
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

    // The text shown when the operation ends, cleared 5 seconds later.
    void SetResult(const QString &text);

private:
    TLongOperationHost &m_host;
    bool m_busyOnly = false;
    bool m_waitTextShown = false;
    bool m_hasResult = false;
    QString m_result;
};
