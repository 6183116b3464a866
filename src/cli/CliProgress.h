#pragma once

// Progress of a scan on the error stream: on a terminal one bar line redrawn in place (at most ten
// times a second), elsewhere (a log file, a pipe) a few plain lines: the listing, each quarter of
// the digests and the end. Main thread only.

#include "CliIo.h"

#include <QElapsedTimer>

class TCliProgress
{
public:
    explicit TCliProgress(const TCliIo &io) : m_io(io) {}

    // While disk folders are walked: files found so far.
    void Listing(qint64 files);
    void Listed(qint64 files, qint64 bytes);
    // Starts the clock of the digest rate.
    void DigestStarted();
    void Digesting(qint64 filesDone, qint64 files, qint64 bytesDone, qint64 bytes);
    void Digested(qint64 files, qint64 bytes);
    // A line of its own; a bar being drawn is ended first.
    void Line(const QString &text);

private:
    bool dueForRedraw();
    void drawBar(const QString &text);
    QString rateText(qint64 bytesDone) const;

    const TCliIo &m_io;
    QElapsedTimer m_sinceDraw;
    QElapsedTimer m_digestClock;
    bool m_barShown = false;
    int m_quartersReported = 0;
};
