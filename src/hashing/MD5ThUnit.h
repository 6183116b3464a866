#pragma once

// CMd5Thread: the worker that digests a record's file while the user goes on working.
//
// Threads and ownership:
// - Created on the user-interface thread, not started, for one record; the creator (the digest
//   scheduler) owns the object, starts it with Priority and disposes of it after it has ended.
// - A worker made to follow on (FollowOn, before start) does not end after its record: it says
//   RecordDone and waits for the next record (NextRecord) or the end (Finish). The queue then
//   costs no thread per file; one record at a time is still all it digests. A next record
//   given during the hand-over (NextRecord and Continue while the worker waits in it) is taken
//   at once, without RecordDone.
// - The record and its full path are given together on the user-interface thread (in the
//   constructor, or in NextRecord) and read together under the worker's lock.
//   The worker thread itself never reads or writes the record or anything else of the catalog:
//   it reads the file, posts WM_MD5PROGRESS to its window, keeps the digest's 16 bytes with the
//   record under its lock and emits DigestComputed: the hand-over. The receiver takes Digest() and
//   stores it in Record() on the user-interface thread. A worker that does not follow on ends
//   after the signal, so connect it with Qt::BlockingQueuedConnection.
// - A worker that follows on waits after the signal until the receiver says HandOverTaken
//   (having given the next record, or not), so the catalog still sees one record digested at a
//   time, each handed over before the next is taken. Meanwhile, and for a few files before the
//   signal, it reads ahead the small files that Foresee named, those the queue will likely give
//   next. A record whose file was read ahead and is still as it was read (FileIdentityOf) has its
//   digest at once: the worker takes it when the record is given, or the receiver takes it
//   (TakeReadAhead) and hands that record over in the same call. Reading ahead touches no record.
//   Two threads taking turns to wake each other once a file cost more than digesting a small file;
//   this way one message carries several, and the worker goes on while the window is slow to
//   answer for a moment. QThread::finished is the end notification.
// - requestInterruption() stops it: the flag is read after every block, so a stop costs at most
//   one more block. A worker that sees the stop before its digest is complete (or while it reads
//   ahead before the signal) emits nothing; one that sees it later still hands its digest over,
//   so whoever waits for it must let the hand-over run meanwhile. Stop() also wakes a worker
//   waiting for its next record or for its hand-over to be taken; a stopped worker ends.

#include "DigestFileReader.h"
#include "Md5Text.h"

#include <QEvent>
#include <QString>
#include <QStringList>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QObject;
struct TFileDat;

// Where the worker is, for the test hook.
enum TWorkerStep
{
    wsBeforeOpen,     // about to open the file
    wsBlockDone,      // a whole block was digested (and its progress posted)
    wsBeforeHandOver, // digest done and not stopped; the hand-over is next
    wsAfterHandOver,  // the hand-over has run
    wsReadAhead,      // a foreseen file was read ahead (or found too large for it)
};

class CMd5Thread : public QThread
{
    Q_OBJECT

public:
    using TDigest = TMd5Text::TDigest;

    // Bytes read and digested at a time, through one buffer.
    static constexpr qint64 BlockSize = 31744;
    // Larger files are not read ahead: for them the hand-over's cost is lost in the reading, and
    // reading ahead would keep the worker from its next record for longer than a blink.
    static constexpr qint64 ReadAheadLimit = 8 * BlockSize;
    // Files read ahead at most, and so foreseen at most.
    static constexpr int ReadAheadDepth = 8;
    // Files read before a hand-over is made: the record's own and those read ahead with it.
    static constexpr int HandOverBatch = 3;
    // One step below normal, so a long digest never makes the window sluggish. (Linux's default
    // scheduling policy has no levels for Qt to choose from, so there it changes nothing.)
    static constexpr QThread::Priority Priority = QThread::LowPriority;

    // messageNumber QEvent::None posts no progress; the window must outlive the worker.
    CMd5Thread(TFileDat *record, QEvent::Type messageNumber, QObject *window, QObject *parent = nullptr);
    // A reader without record or window, never started: its owner calls DigestFile on its own
    // thread for one file after another (checks and digests that need no scheduler).
    explicit CMd5Thread(QObject *parent = nullptr);
    ~CMd5Thread() override;

    // User-interface thread, before start: after each record wait for the next one.
    void FollowOn() { m_followOn = true; }
    // User-interface thread, after RecordDone or during the hand-over: this record is the next
    // (Record() and FullPath() name it from now on), and the worker starts on it at Continue().
    void NextRecord(TFileDat *record);
    void Continue();
    // User-interface thread, after NextRecord or during the hand-over: the files of the records
    // likely to be given after the one the worker has now, in order (ReadAheadDepth of them at
    // most); a worker that follows on may read them during its hand-overs.
    void Foresee(QStringList paths);
    // User-interface thread, during the hand-over: the digest of a file the worker read ahead,
    // when it is still as it was read (identity: FileIdentityOf the file now), so the record
    // being handed over may be followed by this one without the worker. Whatever it read ahead
    // before this file is dropped.
    std::optional<TDigest> TakeReadAhead(const QString &path, const TFileIdentity &identity);
    // User-interface thread, at the end of the hand-over of a worker that follows on: the digest
    // is taken, and the next record given if there is one; the worker goes on.
    void HandOverTaken();
    // User-interface thread: a worker waiting for its next record ends.
    void Finish();
    // requestInterruption(), and a worker waiting for its next record or its hand-over wakes up
    // to end.
    void Stop();

    // Any thread: the record given last (for the hand-over; never dereferenced here) and the full
    // path of its file, which the worker digests or is about to digest.
    TFileDat *Record() const;
    QString FullPath() const;
    // Any thread, during the hand-over: the digest of Record()'s file.
    TDigest Digest() const;
    // Any thread, about the last record's file DigestFile read: it could not be opened or read,
    // and why, in the system's words ("No such file or directory"), or ChangedWhileReadText
    // (DigestFileReader.h); empty otherwise.
    bool ReadFailed() const;
    QString ReadError() const;

    // The worker's thread (or the owner's, for a reader that is never started): the digest of the
    // file, or nothing when told to stop before the end, when the file cannot be opened or read,
    // or when it changed while it was read (ReadFailed then tells which). Only a regular file is
    // read, opened without waiting (a FIFO in its place fails at once); its size and modification
    // time from the open descriptor must be the same after the last block as before the first.
    std::optional<TDigest> DigestFile(const QString &path);

    // Test seam: called on the worker thread at each step; block is the index of the block just
    // digested for wsBlockDone, else -1. Set it before start().
    using TStepHook = std::function<void(CMd5Thread &worker, TWorkerStep step, qint64 block)>;
    void SetStepHook(TStepHook hook) { m_stepHook = std::move(hook); }

Q_SIGNALS:
    // Worker thread, once a record, when the digest is complete (Digest()) and no stop was asked
    // for before. It carries nothing itself: a blocking connection would hand the receiver the
    // worker's own stack, which the worker reuses as soon as it goes on. A receiver on another
    // thread that touches more than the worker's locked state takes the hand-over with
    // HandOverAcquire(worker) first and gives it back with HandOverRelease(worker) last
    // (ThreadHandOver.h).
    void DigestComputed();
    // Worker thread, for a worker that follows on: done with the record (digested, or not
    // readable: readFailed), not stopped; it now waits for NextRecord or Finish.
    void RecordDone(bool readFailed);

protected:
    void run() override;

private:
    void step(TWorkerStep step, qint64 block = -1)
    {
        if (m_stepHook)
            m_stepHook(*this, step, block);
    }
    void digestRecords();
    void postProgress(qint64 block, qint64 blockCount);
    void setReadResult(bool failed, const QString &reason = {});
    void digestRecord(const QString &path);
    std::optional<TDigest> readDigest(const QString &path, qint64 sizeLimit, TFileIdentity *identity);
    // Reads the first foreseen file not yet read ahead and keeps its digest; false when there is
    // none (or a stop).
    bool readAheadOne();
    bool handOverTaken() const; // or the worker was told to stop
    struct TReadAhead
    {
        QString Path;
        TFileIdentity Identity;
        std::optional<TDigest> Digest; // none: too large, or it could not be read

        // The digest, when the file is still as it was read (identity: FileIdentityOf it now).
        std::optional<TDigest> DigestIfStill(const std::optional<TFileIdentity> &now) const
        {
            return now == Identity ? Digest : std::nullopt;
        }
    };
    // With m_mutex held: what was read ahead of the file, taken out, and whatever was read ahead
    // before it dropped.
    std::optional<TReadAhead> takeReadAhead(const QString &path);
    // The path of the next record once it is given: at once when it already was (during the
    // hand-over), else after waiting for it (wait); nothing when the worker is to end.
    std::optional<QString> takeNextRecord(bool wait);

    // Set before start, then read by the worker only.
    const QEvent::Type m_messageNumber;
    QObject *const m_window;
    TStepHook m_stepHook;
    bool m_followOn = false;
    // The worker thread's own (or the owner's, for a reader never started).
    int m_lastPercent = 0;
    std::unique_ptr<unsigned char[]> m_buffer; // one block, taken at the first file

    // The standard library's lock, not Qt's: a thread sanitizer sees its waits, and so sees the
    // lock given up while the worker waits for its next record.
    mutable std::mutex m_mutex;
    // Guarded by m_mutex: what the two threads share.
    TFileDat *m_record;                 // the record given last
    QString m_fullPath;                 // its file
    TDigest m_digest{};                 // its digest, once complete
    QStringList m_foreseen;             // given by Foresee
    std::deque<TReadAhead> m_readAhead; // in the order foreseen
    bool m_handOverTaken = false;
    bool m_hasNext = false;    // given by NextRecord and Continue, not yet taken by the worker
    bool m_finishing = false;  // Finish was called
    bool m_readFailed = false; // about the last file read
    QString m_readError;
    std::condition_variable m_wake; // waited on with m_mutex
};

// k * 100 / n rounded to the nearest whole number, halves to even: the percent posted after
// block k (counted from 0) of a file of n whole blocks.
int ProgressPercent(qint64 block, qint64 blockCount);
