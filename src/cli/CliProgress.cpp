#include "CliProgress.h"

#include "support.h"

namespace {

constexpr qint64 RedrawMilliseconds = 100;
constexpr int BarWidth = 24;

void put(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

bool TCliProgress::dueForRedraw()
{
    if (!m_io.ErrIsTerminal)
        return false;
    if (m_sinceDraw.isValid() && m_sinceDraw.elapsed() < RedrawMilliseconds)
        return false;
    m_sinceDraw.start();
    return true;
}

void TCliProgress::drawBar(const QString &text)
{
    // Carriage return, the text, then erase whatever a longer line left to the right.
    put(m_io.Err, u'\r' + text + QStringLiteral("\x1b[K"));
    m_barShown = true;
}

void TCliProgress::Line(const QString &text)
{
    put(m_io.Err, (m_barShown ? QStringLiteral("\r\x1b[K") : QString()) + text + u'\n');
    m_barShown = false;
}

QString TCliProgress::rateText(qint64 bytesDone) const
{
    const double seconds = double(m_digestClock.nsecsElapsed()) / 1e9;
    return seconds > 0 ? SizeText(qint64(double(bytesDone) / seconds), false) + QStringLiteral("/s")
                       : QString();
}

void TCliProgress::Listing(qint64 files)
{
    if (dueForRedraw())
        drawBar(QStringLiteral("listing: %1 files").arg(files));
}

void TCliProgress::Listed(qint64 files, qint64 bytes)
{
    Line(QStringLiteral("scan: %1 files listed, %2").arg(files).arg(SizeText(bytes, false)));
}

void TCliProgress::DigestStarted()
{
    m_digestClock.start();
    m_quartersReported = 0;
}

void TCliProgress::Digesting(qint64 filesDone, qint64 files, qint64 bytesDone, qint64 bytes)
{
    // Empty files weigh nothing in bytes; a catalog of them still moves by the file count.
    const double done = bytes > 0   ? double(bytesDone) / double(bytes)
                        : files > 0 ? double(filesDone) / double(files)
                                    : 1;
    const QString figures = QStringLiteral("%1 of %2 files, %3 of %4, %5")
                                .arg(filesDone)
                                .arg(files)
                                .arg(SizeText(bytesDone, false), SizeText(bytes, false), rateText(bytesDone));
    if (m_io.ErrIsTerminal) {
        if (!dueForRedraw())
            return;
        const int filled = int(done * BarWidth);
        drawBar(QStringLiteral("[%1%2] %3%  %4")
                    .arg(QString(filled, u'#'), QString(BarWidth - filled, u'.'))
                    .arg(int(done * 100), 3)
                    .arg(figures));
        return;
    }
    // Plain output: a line as each quarter of the work is passed, the last quarter left to
    // Digested.
    const int quarter = int(done * 4);
    if (quarter > m_quartersReported && quarter < 4) {
        m_quartersReported = quarter;
        Line(QStringLiteral("scan: digested %1% (%2)").arg(quarter * 25).arg(figures));
    }
}

void TCliProgress::Digested(qint64 files, qint64 bytes)
{
    const double seconds = double(m_digestClock.nsecsElapsed()) / 1e9;
    Line(QStringLiteral("scan: %1 files digested, %2 in %3 s (%4)")
             .arg(files)
             .arg(SizeText(bytes, false))
             .arg(seconds, 0, 'f', 2)
             .arg(rateText(bytes)));
}
