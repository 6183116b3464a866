#pragma once

// Helpers of the hashing tests: files with known content and a window that records what the
// scheduler asks of it.

#include "Catalog.h"
#include "DigestCommands.h"
#include "DigestScheduler.h"
#include "DigestView.h"
#include "MD5ThUnit.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <random>

// Writes size bytes that differ from block to block, so a block read twice or skipped changes
// the digest. Returns the full path.
inline QString WriteFile(const QDir &dir, const QString &name, qint64 size)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::mt19937 random(quint32(size) ^ quint32(qHash(name)));
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random());
    file.write(bytes);
    return path;
}

inline QString Md5Of(const QString &path, qint64 length = -1)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(
        QCryptographicHash::hash(length < 0 ? file.readAll() : file.read(length), QCryptographicHash::Md5)
            .toHex());
}

// Lets events run until done() holds, without the 50 ms steps of QTRY_VERIFY; false after 20 s.
template <typename Condition>
bool WaitUntil(Condition done)
{
    const QDeadlineTimer deadline(20'000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        QThread::usleep(100); // pacing only
    }
    return true;
}

// A step hook that keeps the worker at the given step until released or told to stop.
class TWorkerGate
{
public:
    void Release() { m_released.storeRelease(1); }
    bool Reached() const { return m_reached.loadAcquire() != 0; }
    void HoldAt(CMd5Thread &worker, TWorkerStep step, qint64 block = -1)
    {
        worker.SetStepHook([this, step, block](CMd5Thread &w, TWorkerStep now, qint64 at) {
            if (now != step || at != block)
                return;
            m_reached.storeRelease(1);
            // Polling only decides when to go on; no test outcome depends on how long it waits.
            while (!m_released.loadAcquire() && !w.isInterruptionRequested())
                QThread::msleep(1);
        });
    }

private:
    QAtomicInt m_reached;
    QAtomicInt m_released;
};

// Records the scheduler's requests as lines; selecting a folder is refused while busy.
class TFakeDigestView : public TDigestView
{
public:
    explicit TFakeDigestView(TCatalog &catalog) : m_catalog(catalog) {}

    void BringFolderIntoView(TFolderNode *folder) override
    {
        log << QStringLiteral("folder ") + folder->Name();
        if (!m_busy)
            m_catalog.SetCurrentFolder(folder);
    }
    void ShowRecordRow(TFileDat *record) override { log << QStringLiteral("row ") + record->FileName; }
    void SetStatus(const QString &text, bool keep) override
    {
        log << QStringLiteral("status %1%2").arg(text, keep ? QStringLiteral(" (kept)") : QString());
    }
    void MarkModified() override { log << QStringLiteral("modified"); }
    void RunLongOperation(const std::function<void()> &work) override
    {
        m_busy = true;
        log << QStringLiteral("busy 1") << QStringLiteral("commands 0");
        work();
        log << QStringLiteral("commands 1") << QStringLiteral("busy 0");
        m_busy = false;
    }

    QStringList log;

private:
    TCatalog &m_catalog;
    bool m_busy = false;
};

// Does what the window does after showing a command's box: starts the queue when asked to.
inline TCommandMessage Started(TDigestScheduler &scheduler, TCommandMessage message)
{
    if (message.PostMd5Next)
        scheduler.PostMd5Next();
    return message;
}

// A catalog with one folder "Docs", its scheduler and a fake window. states logs every change of
// a record's state as "name state".
struct TDigestFixture
{
    TDigestFixture()
        : view(catalog), scheduler(catalog, view), docs(catalog.AddFolder(nullptr, QStringLiteral("Docs")))
    {
        QObject::connect(&catalog, &TCatalog::recordChanged, &catalog, [this](TFileDat *record) {
            const QString line = QStringLiteral("%1 %2").arg(record->FileName).arg(int(record->State));
            if (lastState.value(record) != line)
                states << line;
            lastState[record] = line;
        });
    }
    TFileDat *Add(const QString &name, qint64 size, TFolderNode *folder = nullptr)
    {
        const QString path = WriteFile(QDir(dir.path()), name, size);
        return catalog.AddRecord(folder ? folder : docs, NewRecordFromDisk(path));
    }
    bool Completed() const { return view.log.contains(QStringLiteral("status Operation completed")); }
    bool Idle() const { return !scheduler.Md5Running() && !scheduler.Md5Thread(); }

    QTemporaryDir dir;
    TCatalog catalog;
    TFakeDigestView view;
    TDigestScheduler scheduler;
    TFolderNode *docs;
    QStringList states;
    QHash<TFileDat *, QString> lastState;
};
