#pragma once

// Helpers of the hashing tests: files with known content and a window that records what the
// scheduler asks of it.

#include "Catalog.h"
#include "DigestCommands.h"
#include "DigestScheduler.h"
#include "DigestView.h"
#include "MD5ThUnit.h"
#include "TestFiles.h"
#include "WorkerGate.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

// Writes size bytes that differ from block to block (TestFiles.h) as the file name in the
// folder; its full path.
inline QString WriteFile(const QDir &dir, const QString &name, qint64 size)
{
    return WriteTestFile(dir.filePath(name), NoiseBytes(size, quint32(size) ^ quint32(qHash(name))));
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

// Records the scheduler's requests as lines.
class TFakeDigestView : public TDigestView
{
public:
    explicit TFakeDigestView(TCatalog &catalog) : m_catalog(catalog) {}

    void BringFolderIntoView(TFolderNode *folder) override
    {
        log << QStringLiteral("folder ") + folder->Name();
        m_catalog.SetCurrentFolder(folder);
    }
    void ShowRecordRow(TFileDat *record) override { log << QStringLiteral("row ") + record->FileName; }
    void SetStatus(const QString &text, bool keep) override
    {
        log << QStringLiteral("status %1%2").arg(text, keep ? QStringLiteral(" (kept)") : QString());
    }
    void MarkModified() override { log << QStringLiteral("modified"); }

    QStringList log;

private:
    TCatalog &m_catalog;
};

// Does what the window does after showing a command's box: starts the queue when asked to.
inline TDigestCommandOutcome Started(TDigestScheduler &scheduler, TDigestCommandOutcome outcome)
{
    if (outcome.StartQueue)
        scheduler.PostMd5Next();
    return outcome;
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
