#include "CliProgress.h"

#include "support.h"

#include <cmath>

namespace {

constexpr qint64 RedrawMilliseconds = 100;
// The rate of the first seconds says little (file system caches, the first large file), so the
// time left waits for this long.
constexpr qint64 TimeLeftAfterMilliseconds = 3000;
constexpr int BarWidth = 24;

void put(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QString DurationText(double seconds)
{
    const qint64 whole = std::max<qint64>(0, std::llround(seconds));
    if (whole < 60)
        return QStringLiteral("%1 s").arg(whole);
    if (whole < 3600)
        return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 h %2 min").arg(whole / 3600).arg(whole / 60 % 60, 2, 10, QLatin1Char('0'));
}

TCliProgress::TCliProgress(const TCliIo &io, const QString &command, TPlainLines plain, TClock clock)
    : m_io(io), m_command(command), m_plain(plain), m_clock(std::move(clock))
{
    m_ownClock.start();
}

qint64 TCliProgress::now() const
{
    return m_clock ? m_clock() : m_ownClock.elapsed();
}

bool TCliProgress::dueForRedraw()
{
    if (!m_io.ErrIsTerminal)
        return false;
    const qint64 at = now();
    if (m_lastDraw >= 0 && at - m_lastDraw < RedrawMilliseconds)
        return false;
    m_lastDraw = at;
    return true;
}

void TCliProgress::drawBar(const QString &text)
{
    // Carriage return, the text, then erase whatever a longer line left to the right.
    put(m_io.Err, u'\r' + text + QStringLiteral("\x1b[K"));
    m_barShown = true;
}

void TCliProgress::Clear()
{
    if (m_barShown)
        put(m_io.Err, QStringLiteral("\r\x1b[K"));
    m_barShown = false;
}

void TCliProgress::Line(const QString &text)
{
    Clear();
    put(m_io.Err, text + u'\n');
}

QString TCliProgress::rateText(qint64 bytesDone) const
{
    const double seconds = double(now() - m_digestStart) / 1e3;
    return seconds > 0 && bytesDone > 0
               ? SizeText(qint64(double(bytesDone) / seconds), false) + QStringLiteral("/s")
               : QString();
}

QString TCliProgress::timeLeftText(double done) const
{
    const qint64 elapsed = now() - m_digestStart;
    if (elapsed < TimeLeftAfterMilliseconds || done <= 0 || done >= 1)
        return {};
    const double left = double(elapsed) / 1e3 * (1 - done) / done;
    return QStringLiteral(", about %1 left").arg(DurationText(left));
}

void TCliProgress::Listing(qint64 files)
{
    if (dueForRedraw())
        drawBar(QStringLiteral("listing: %1 files").arg(files));
}

void TCliProgress::Listed(qint64 files, qint64 bytes)
{
    if (m_plain == plMilestones)
        Line(QStringLiteral("%1: %2 files listed, %3").arg(m_command).arg(files).arg(SizeText(bytes, false)));
}

void TCliProgress::DigestStarted()
{
    m_digestStart = now();
    m_quartersReported = 0;
}

void TCliProgress::Digesting(qint64 filesDone, qint64 files, qint64 bytesDone, qint64 bytes)
{
    // Empty files weigh nothing in bytes; a run of them still moves by the file count.
    const double done = bytes > 0   ? double(bytesDone) / double(bytes)
                        : files > 0 ? double(filesDone) / double(files)
                                    : 1;
    const QString rate = rateText(bytesDone);
    const QString figures = QStringLiteral("%1 of %2 files, %3 of %4%5")
                                .arg(filesDone)
                                .arg(files)
                                .arg(SizeText(bytesDone, false), SizeText(bytes, false),
                                     rate.isEmpty() ? QString() : QStringLiteral(", ") + rate);
    if (m_io.ErrIsTerminal) {
        if (!dueForRedraw())
            return;
        const int filled = int(done * BarWidth);
        drawBar(QStringLiteral("[%1%2] %3%  %4%5")
                    .arg(QString(filled, u'#'), QString(BarWidth - filled, u'.'))
                    .arg(int(done * 100), 3)
                    .arg(figures, timeLeftText(done)));
        return;
    }
    if (m_plain != plMilestones)
        return;
    // A line as each quarter of the work is passed, the last quarter left to Digested.
    const int quarter = int(done * 4);
    if (quarter > m_quartersReported && quarter < 4) {
        m_quartersReported = quarter;
        Line(QStringLiteral("%1: digested %2% (%3)").arg(m_command).arg(quarter * 25).arg(figures));
    }
}

void TCliProgress::Digested(qint64 files, qint64 bytes)
{
    if (m_plain != plMilestones) {
        Clear();
        return;
    }
    const double seconds = double(now() - m_digestStart) / 1e3;
    const QString rate = rateText(bytes);
    Line(QStringLiteral("%1: %2 files digested, %3 in %4 s%5")
             .arg(m_command)
             .arg(files)
             .arg(SizeText(bytes, false))
             .arg(seconds, 0, 'f', 2)
             .arg(rate.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(rate)));
}
