#pragma once

// Progress of a long command on the error stream. On a terminal: one bar line redrawn in place
// (at most ten times a second) with the digest rate and, once a few seconds have passed, the time
// left. Elsewhere (a log file, a pipe) a command either stays quiet or, like scan, writes a few
// plain lines: the listing, each quarter of the digests and the end; never a rate estimate that
// would be stale the moment it is read. Main thread only.

#include "CliIo.h"

#include <QElapsedTimer>
#include <functional>

class TCliProgress
{
public:
    // Milliseconds from any fixed start; a test gives its own.
    using TClock = std::function<qint64()>;

    enum TPlainLines
    {
        plQuiet,     // only the bar on a terminal, cleared at the end
        plMilestones // also the listing, each quarter and the end as lines of their own
    };

    // command: the word the plain lines start with ("scan").
    TCliProgress(const TCliIo &io, const QString &command, TPlainLines plain, TClock clock = {});

    // While disk folders are walked: files found so far.
    void Listing(qint64 files);
    void Listed(qint64 files, qint64 bytes);
    // Starts the clock of the digest rate and of the time left.
    void DigestStarted();
    void Digesting(qint64 filesDone, qint64 files, qint64 bytesDone, qint64 bytes);
    void Digested(qint64 files, qint64 bytes);
    // A line of its own; a bar being drawn is ended first.
    void Line(const QString &text);
    // Ends a bar being drawn, before other output to the error stream.
    void Clear();

private:
    qint64 now() const;
    bool dueForRedraw();
    void drawBar(const QString &text);
    QString rateText(qint64 bytesDone) const;
    QString timeLeftText(double done) const;

    const TCliIo &m_io;
    const QString m_command;
    const TPlainLines m_plain;
    TClock m_clock;
    QElapsedTimer m_ownClock;
    qint64 m_lastDraw = -1;
    qint64 m_digestStart = 0;
    bool m_barShown = false;
    int m_quartersReported = 0;
};

// "12 s", "4 min 05 s", "2 h 07 min": a duration as the progress line shows it.
QString DurationText(double seconds);
