#include "MD5ThUnit.h"

#include "DigestEvents.h"
#include "FileDat.h"
#include "Md5Engine.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor on every way out of DigestFile.
class TFileHandle
{
public:
    explicit TFileHandle(int fd) : m_fd(fd) {}
    ~TFileHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TFileHandle(const TFileHandle &) = delete;
    TFileHandle &operator=(const TFileHandle &) = delete;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

// Reads until count bytes are in or the file ends; -1 on a read error.
qint64 ReadUpTo(int fd, unsigned char *buffer, qint64 count)
{
    qint64 done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, buffer + done, size_t(count - done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

QString UpperHex(const std::uint8_t (&digest)[16])
{
    static const char digits[] = "0123456789ABCDEF";
    QString text(32, Qt::Uninitialized);
    for (int i = 0; i < 16; ++i) {
        text[2 * i] = QLatin1Char(digits[digest[i] >> 4]);
        text[2 * i + 1] = QLatin1Char(digits[digest[i] & 15]);
    }
    return text;
}

} // namespace

int ProgressPercent(qint64 block, qint64 blockCount)
{
    const qint64 scaled = block * 100;
    qint64 percent = scaled / blockCount;
    const qint64 twiceRest = 2 * (scaled % blockCount);
    if (twiceRest > blockCount || (twiceRest == blockCount && percent % 2 != 0))
        ++percent;
    return int(percent);
}

CMd5Thread::CMd5Thread(TFileDat *record, QEvent::Type messageNumber, QObject *window, QObject *parent)
    : QThread(parent), m_record(record), m_messageNumber(messageNumber), m_window(window),
      m_fullPath(record->FullPath())
{}

CMd5Thread::CMd5Thread(QObject *parent)
    : QThread(parent), m_record(nullptr), m_messageNumber(QEvent::None), m_window(nullptr)
{}

void CMd5Thread::failRead(const QString &reason)
{
    m_readFailed = true;
    m_readError = reason;
}

void CMd5Thread::run()
{
    while (!isInterruptionRequested()) {
        digestRecord();
        if (!m_followOn || isInterruptionRequested())
            return;
        if (takeGivenRecord())
            continue;
        Q_EMIT RecordDone(m_readFailed);
        if (!waitForNextRecord())
            return;
    }
}

void CMd5Thread::digestRecord()
{
    m_lastPercent = 0;
    m_digestText = DigestFile(m_fullPath);
    if (isInterruptionRequested() || m_digestText.isEmpty())
        return;
    step(wsBeforeHandOver);
    Q_EMIT DigestComputed(m_digestText.toLower().left(Md5TextLength));
    step(wsAfterHandOver);
}

bool CMd5Thread::takeGivenRecord()
{
    QMutexLocker locker(&m_mutex);
    if (!m_hasNext || m_finishing)
        return false;
    m_hasNext = false;
    m_fullPath = m_nextPath;
    return true;
}

bool CMd5Thread::waitForNextRecord()
{
    QMutexLocker locker(&m_mutex);
    while (!m_hasNext && !m_finishing && !isInterruptionRequested())
        m_wake.wait(&m_mutex);
    if (m_finishing || isInterruptionRequested())
        return false;
    m_hasNext = false;
    m_fullPath = m_nextPath;
    return true;
}

void CMd5Thread::NextRecord(TFileDat *record)
{
    QMutexLocker locker(&m_mutex);
    m_record = record;
    m_nextPath = record->FullPath();
}

void CMd5Thread::Continue()
{
    QMutexLocker locker(&m_mutex);
    m_hasNext = true;
    m_wake.wakeOne();
}

void CMd5Thread::Finish()
{
    QMutexLocker locker(&m_mutex);
    m_finishing = true;
    m_wake.wakeOne();
}

void CMd5Thread::Stop()
{
    requestInterruption();
    QMutexLocker locker(&m_mutex);
    m_wake.wakeOne();
}

QString CMd5Thread::DigestFile(const QString &path)
{
    m_readFailed = false;
    m_readError.clear();
    step(wsBeforeOpen);
    if (path.isEmpty()) {
        failRead(qt_error_string(ENOENT));
        return {};
    }
    // Other programs should not write the file while it is read, but Linux has no share modes:
    // it is opened read-only, and a file that shrinks meanwhile is digested as far as it reads.
    const TFileHandle file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    struct stat facts
    {};
    if (file.Fd() < 0 || ::fstat(file.Fd(), &facts) != 0) {
        failRead(qt_error_string(errno));
        return {};
    }
    if (!S_ISREG(facts.st_mode)) {
        failRead(S_ISDIR(facts.st_mode) ? qt_error_string(EISDIR) : QStringLiteral("Not a regular file"));
        return {};
    }
    ::posix_fadvise(file.Fd(), 0, 0, POSIX_FADV_SEQUENTIAL);

    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(size_t(BlockSize));
    TMd5Context context;
    Md5Init(context);
    const qint64 blockCount = qint64(facts.st_size) / BlockSize;
    const qint64 rest = qint64(facts.st_size) % BlockSize;
    bool shortRead = false;
    for (qint64 block = 0; block < blockCount; ++block) {
        const qint64 got = ReadUpTo(file.Fd(), buffer.get(), BlockSize);
        if (got < 0) {
            failRead(qt_error_string(errno));
            return {};
        }
        Md5Update(context, buffer.get(), size_t(got));
        if (got < BlockSize) {
            shortRead = true;
            break;
        }
        postProgress(block, blockCount);
        step(wsBlockDone, block);
        if (isInterruptionRequested())
            break;
    }
    if (!shortRead && rest > 0 && !isInterruptionRequested()) {
        const qint64 got = ReadUpTo(file.Fd(), buffer.get(), rest);
        if (got < 0) {
            failRead(qt_error_string(errno));
            return {};
        }
        Md5Update(context, buffer.get(), size_t(got));
    }
    if (isInterruptionRequested())
        return {};
    std::uint8_t digest[16];
    Md5Final(context, digest);
    return UpperHex(digest);
}

void CMd5Thread::postProgress(qint64 block, qint64 blockCount)
{
    if (m_messageNumber == QEvent::None || !m_window)
        return;
    const int percent = ProgressPercent(block, blockCount);
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    QCoreApplication::postEvent(m_window, new TMd5ProgressEvent(percent, m_messageNumber));
}
