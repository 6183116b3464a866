#include "MD5ThUnit.h"

#include "DigestEvents.h"
#include "DigestFileReader.h"
#include "FileDat.h"
#include "Md5Engine.h"
#include "ThreadHandOver.h"

#include <QCoreApplication>
#include <algorithm>

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
    : QThread(parent), m_messageNumber(messageNumber), m_window(window), m_record(record),
      m_fullPath(record->FullPath())
{}

CMd5Thread::CMd5Thread(QObject *parent)
    : QThread(parent), m_messageNumber(QEvent::None), m_window(nullptr), m_record(nullptr)
{}

CMd5Thread::~CMd5Thread()
{
    // The thread has ended (whoever destroys a started worker has waited for it first): what it
    // wrote last is this thread's now.
    HandOverAcquire(this);
}

TFileDat *CMd5Thread::Record() const
{
    const std::lock_guard lock(m_mutex);
    return m_record;
}

QString CMd5Thread::FullPath() const
{
    const std::lock_guard lock(m_mutex);
    return m_fullPath;
}

CMd5Thread::TDigest CMd5Thread::Digest() const
{
    const std::lock_guard lock(m_mutex);
    return m_digest;
}

bool CMd5Thread::ReadFailed() const
{
    const std::lock_guard lock(m_mutex);
    return m_readFailed;
}

QString CMd5Thread::ReadError() const
{
    const std::lock_guard lock(m_mutex);
    return m_readError;
}

void CMd5Thread::setReadResult(bool failed, const QString &reason)
{
    const std::lock_guard lock(m_mutex);
    m_readFailed = failed;
    m_readError = reason;
}

void CMd5Thread::run()
{
    digestRecords();
    HandOverRelease(this); // to the owner, through QThread::wait
}

void CMd5Thread::digestRecords()
{
    QString path = FullPath();
    while (!isInterruptionRequested()) {
        digestRecord(path);
        if (!m_followOn || isInterruptionRequested())
            return;
        std::optional<QString> next = takeNextRecord(false);
        if (!next) {
            Q_EMIT RecordDone(ReadFailed());
            next = takeNextRecord(true);
            if (!next)
                return;
        }
        path = std::move(*next);
    }
}

void CMd5Thread::digestRecord(const QString &path)
{
    m_lastPercent = 0;
    std::optional<TReadAhead> read;
    {
        const std::lock_guard lock(m_mutex);
        read = takeReadAhead(path);
    }
    std::optional<TDigest> digest;
    if (read && read->Digest)
        digest = read->DigestIfStill(FileIdentityOf(path));
    if (digest)
        setReadResult(false);
    else
        digest = DigestFile(path);
    if (isInterruptionRequested() || !digest)
        return;
    if (m_followOn) {
        // The window takes the files read ahead with the hand-over, so a few read first make
        // one message carry several small files.
        for (int read = 1; read < HandOverBatch && readAheadOne(); ++read) {
        }
        if (isInterruptionRequested())
            return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_digest = *digest;
        m_handOverTaken = false;
    }
    step(wsBeforeHandOver);
    HandOverRelease(this);
    Q_EMIT DigestComputed();
    if (m_followOn) {
        while (!handOverTaken() && readAheadOne()) {
        }
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [&] { return m_handOverTaken || isInterruptionRequested(); });
    }
    HandOverAcquire(this);
    step(wsAfterHandOver);
}

bool CMd5Thread::handOverTaken() const
{
    const std::lock_guard lock(m_mutex);
    return m_handOverTaken || isInterruptionRequested();
}

bool CMd5Thread::readAheadOne()
{
    TReadAhead read;
    {
        const std::lock_guard lock(m_mutex);
        const auto unread = std::find_if(m_foreseen.cbegin(), m_foreseen.cend(), [&](const QString &path) {
            return std::none_of(m_readAhead.cbegin(), m_readAhead.cend(),
                                [&](const TReadAhead &done) { return done.Path == path; });
        });
        if (unread == m_foreseen.cend() || isInterruptionRequested())
            return false;
        read.Path = *unread;
    }
    m_lastPercent = 0;
    read.Digest = readDigest(read.Path, ReadAheadLimit, &read.Identity);
    setReadResult(false); // what RecordDone reports is about the record's own file
    step(wsReadAhead);
    const std::lock_guard lock(m_mutex);
    if (m_readAhead.size() >= size_t(ReadAheadDepth))
        m_readAhead.pop_front();
    m_readAhead.push_back(std::move(read));
    return true;
}

std::optional<CMd5Thread::TReadAhead> CMd5Thread::takeReadAhead(const QString &path)
{
    // Records given out of the order foreseen leave the files read ahead for them behind.
    while (!m_readAhead.empty() && m_readAhead.front().Path != path)
        m_readAhead.pop_front();
    if (m_readAhead.empty())
        return std::nullopt;
    TReadAhead read = std::move(m_readAhead.front());
    m_readAhead.pop_front();
    m_foreseen.removeOne(path);
    return read;
}

std::optional<CMd5Thread::TDigest> CMd5Thread::TakeReadAhead(const QString &path,
                                                             const TFileIdentity &identity)
{
    const std::lock_guard lock(m_mutex);
    const std::optional<TReadAhead> read = takeReadAhead(path);
    return read ? read->DigestIfStill(identity) : std::nullopt;
}

std::optional<QString> CMd5Thread::takeNextRecord(bool wait)
{
    std::unique_lock lock(m_mutex);
    if (wait)
        m_wake.wait(lock, [&] { return m_hasNext || m_finishing || isInterruptionRequested(); });
    if (!m_hasNext || m_finishing || isInterruptionRequested())
        return std::nullopt;
    m_hasNext = false;
    return m_fullPath;
}

void CMd5Thread::NextRecord(TFileDat *record)
{
    QString path = record->FullPath(); // the record is read on this thread, outside the lock
    const std::lock_guard lock(m_mutex);
    m_record = record;
    m_fullPath = std::move(path);
}

void CMd5Thread::Foresee(QStringList paths)
{
    const std::lock_guard lock(m_mutex);
    m_foreseen = std::move(paths);
}

void CMd5Thread::HandOverTaken()
{
    const std::lock_guard lock(m_mutex);
    m_handOverTaken = true;
    m_wake.notify_one();
}

void CMd5Thread::Continue()
{
    const std::lock_guard lock(m_mutex);
    m_hasNext = true;
    m_wake.notify_one();
}

void CMd5Thread::Finish()
{
    const std::lock_guard lock(m_mutex);
    m_finishing = true;
    m_wake.notify_one();
}

void CMd5Thread::Stop()
{
    requestInterruption();
    const std::lock_guard lock(m_mutex);
    m_wake.notify_one();
}

std::optional<CMd5Thread::TDigest> CMd5Thread::DigestFile(const QString &path)
{
    return readDigest(path, -1, nullptr);
}

std::optional<CMd5Thread::TDigest> CMd5Thread::readDigest(const QString &path, qint64 sizeLimit,
                                                          TFileIdentity *identity)
{
    step(wsBeforeOpen);
    TDigestFileReader file(path);
    if (!file.IsOpen()) {
        setReadResult(true, file.Error());
        return std::nullopt;
    }
    const qint64 size = file.Size();
    if (sizeLimit >= 0 && size > sizeLimit)
        return std::nullopt;
    const qint64 blockCount = size / BlockSize;
    const qint64 rest = size % BlockSize;
    if (!m_buffer)
        m_buffer = std::make_unique_for_overwrite<unsigned char[]>(size_t(BlockSize));
    unsigned char *const buffer = m_buffer.get();

    TMd5Context context;
    Md5Init(context);
    qint64 bytesRead = 0;
    for (qint64 block = 0; block < blockCount; ++block) {
        const qint64 got = file.Read(buffer, BlockSize);
        if (got < 0) {
            setReadResult(true, file.Error());
            return std::nullopt;
        }
        Md5Update(context, buffer, size_t(got));
        bytesRead += got;
        if (got < BlockSize)
            break; // shrunk: told by the size below
        postProgress(block, blockCount);
        step(wsBlockDone, block);
        if (isInterruptionRequested()) {
            setReadResult(false);
            return std::nullopt;
        }
    }
    if (bytesRead == blockCount * BlockSize && rest > 0) {
        const qint64 got = file.Read(buffer, rest);
        if (got < 0) {
            setReadResult(true, file.Error());
            return std::nullopt;
        }
        Md5Update(context, buffer, size_t(got));
        bytesRead += got;
    }
    // Linux has no share modes: another program may write the file while it is read. A digest
    // of bytes from before and after such a change belongs to no content the file ever had.
    if (!file.EndsAsOpened(bytesRead)) {
        setReadResult(true, file.Error());
        return std::nullopt;
    }
    setReadResult(false);
    if (isInterruptionRequested())
        return std::nullopt;
    if (identity)
        *identity = file.Identity();
    TDigest digest;
    Md5Final(context, digest.data());
    return digest;
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
