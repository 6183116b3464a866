#include "DigestEvents.h"
#include "DigestFileReader.h"
#include "DigestTestKit.h"
#include "MD5ThUnit.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <cerrno>

namespace {

constexpr qint64 Block = CMd5Thread::BlockSize;

class ProgressLog : public QObject
{
public:
    QList<int> percents;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != WM_MD5PROGRESS)
            return QObject::event(event);
        percents << static_cast<TMd5ProgressEvent *>(event)->Percent();
        return true;
    }
};

// Runs one worker over the record's file to its end, the hand-over on this thread.
struct WorkerRun
{
    explicit WorkerRun(TFileDat *record) : worker(record, WM_MD5PROGRESS, &progress)
    {
        QObject::connect(
            &worker, &CMd5Thread::DigestComputed, &progress,
            [this] { handedOver << TMd5Text(worker.Digest()).Text(); }, Qt::BlockingQueuedConnection);
    }
    ~WorkerRun()
    {
        worker.requestInterruption(); // a failed test must not leave the thread running
        while (!worker.wait(QDeadlineTimer(5)))
            QCoreApplication::sendPostedEvents();
    }
    void Run()
    {
        worker.start(CMd5Thread::Priority);
        QTRY_VERIFY(worker.isFinished());
        QCoreApplication::sendPostedEvents(&progress);
    }

    ProgressLog progress;
    QStringList handedOver;
    CMd5Thread worker;
};

} // namespace

class TestMd5Thread : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void digestsWholeFilesAndPostsProgressOnPercentChanges_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QList<int>>("progress");
        QTest::newRow("empty") << qint64(0) << QList<int>{};
        QTest::newRow("one byte short of a block") << Block - 1 << QList<int>{};
        QTest::newRow("one block") << Block << QList<int>{};
        QTest::newRow("one block and a byte") << Block + 1 << QList<int>{};
        QTest::newRow("three blocks") << 3 * Block << QList<int>{33, 67};
        // 12.5, 37.5, 62.5 and 87.5 tell rounding halves to even from rounding them up.
        QTest::newRow("eight blocks and a rest") << 8 * Block + 100 << QList<int>{12, 25, 38, 50, 62, 75, 88};
    }
    void digestsWholeFilesAndPostsProgressOnPercentChanges()
    {
        QFETCH(qint64, size);
        QFETCH(QList<int>, progress);
        const QString path = WriteFile(QDir(m_dir.path()), QStringLiteral("f%1.bin").arg(size), size);
        const auto record = NewRecordFromDisk(path);
        WorkerRun run(record.get());
        run.Run();
        const QString expected = Md5OfFile(path);
        QCOMPARE(run.handedOver, QStringList{expected});
        QCOMPARE(run.progress.percents, progress);
        QVERIFY(record->Md5.isEmpty()); // the worker leaves the record to the hand-over
    }

    void percentOfTheLastBlockOfLongFiles()
    {
        QCOMPARE(ProgressPercent(999, 1000), 100);
        QCOMPARE(ProgressPercent(1, 200), 0);
        QCOMPARE(ProgressPercent(3, 200), 2);
    }

    void stopDuringTheLastBlockHandsNothingOver()
    {
        const QString path = WriteFile(QDir(m_dir.path()), QStringLiteral("two.bin"), 2 * Block);
        const auto record = NewRecordFromDisk(path);
        WorkerRun run(record.get());
        run.worker.SetStepHook([](CMd5Thread &worker, TWorkerStep step, qint64 block) {
            if (step == wsBlockDone && block == 1)
                worker.requestInterruption();
        });
        run.Run();
        QVERIFY(run.handedOver.isEmpty());
        QVERIFY(!run.worker.ReadFailed());
    }

    // The digest of a file that changes under the reader is of no content the file ever had:
    // neither the bytes before the change nor those after.
    void aFileChangedWhileReadGivesNoDigest_data()
    {
        QTest::addColumn<qint64>("newSize");
        QTest::newRow("truncated") << Block + Block / 2;
        QTest::newRow("appended to") << 4 * Block;
    }
    void aFileChangedWhileReadGivesNoDigest()
    {
        QFETCH(qint64, newSize);
        const QString path = WriteFile(QDir(m_dir.path()), QStringLiteral("changes.bin"), 3 * Block + 10);
        const auto record = NewRecordFromDisk(path);
        WorkerRun run(record.get());
        run.worker.SetStepHook([&path, newSize](CMd5Thread &, TWorkerStep step, qint64 block) {
            if (step == wsBlockDone && block == 0)
                QFile::resize(path, newSize);
        });
        run.Run();
        QVERIFY(run.handedOver.isEmpty());
        QVERIFY(run.worker.ReadFailed());
        QCOMPARE(run.worker.ReadError(), QString::fromLatin1(ChangedWhileReadText));
    }

    void unreadableFilesEndWithoutDigest()
    {
        // A directory opens read-only on Linux but cannot be read, even by root.
        TFileDat directory;
        directory.RealPath = QDir::tempPath() + u'/';
        TFileDat gone;
        gone.RealPath = m_dir.path() + u'/';
        gone.FileName = QStringLiteral("never-written.bin");
        for (TFileDat *record : {&directory, &gone}) {
            WorkerRun run(record);
            run.Run();
            QVERIFY(run.handedOver.isEmpty());
            QVERIFY(run.worker.ReadFailed());
            QCOMPARE(run.worker.ReadError(), qt_error_string(record == &gone ? ENOENT : EISDIR));
        }
    }

    // A worker that follows on reads the foreseen file around its hand-over. The digest it
    // keeps is used, by the worker given that record or by the window taking it along, only for a
    // file still as it was read: one rewritten meanwhile is read again.
    void aFileReadAheadIsUsedOnlyWhileItStaysAsItWasRead_data()
    {
        QTest::addColumn<bool>("takenByTheWindow");
        QTest::addColumn<bool>("rewrittenAfterTheReadAhead");
        QTest::newRow("given to the worker, left alone") << false << false;
        QTest::newRow("given to the worker, rewritten") << false << true;
        QTest::newRow("taken by the window, left alone") << true << false;
        QTest::newRow("taken by the window, rewritten") << true << true;
    }
    void aFileReadAheadIsUsedOnlyWhileItStaysAsItWasRead()
    {
        QFETCH(bool, takenByTheWindow);
        QFETCH(bool, rewrittenAfterTheReadAhead);
        const QDir dir(m_dir.path());
        const auto first = NewRecordFromDisk(WriteFile(dir, QStringLiteral("first.bin"), Block + 3));
        const auto next = NewRecordFromDisk(WriteFile(dir, QStringLiteral("next.bin"), 2 * Block + 5));
        const QString nextPath = next->FullPath();

        CMd5Thread worker(first.get(), QEvent::None, nullptr);
        worker.FollowOn();
        worker.Foresee({nextPath});
        QAtomicInt opens;
        worker.SetStepHook([&](CMd5Thread &, TWorkerStep step, qint64) {
            if (step == wsBeforeOpen)
                opens.fetchAndAddRelaxed(1);
            if (step == wsReadAhead && rewrittenAfterTheReadAhead)
                WriteTestFile(nextPath, NoiseBytes(Block, 7));
        });
        QStringList handedOver;
        std::optional<TMd5Text::TDigest> takenAlong;
        QObject receiver;
        QObject::connect(
            &worker, &CMd5Thread::DigestComputed, &receiver,
            [&] {
                handedOver << TMd5Text(worker.Digest()).Text();
                if (handedOver.size() == 1 && takenByTheWindow) {
                    takenAlong = worker.TakeReadAhead(nextPath, *FileIdentityOf(nextPath));
                } else if (handedOver.size() == 1) {
                    worker.NextRecord(next.get());
                    worker.Continue();
                }
                worker.HandOverTaken();
            },
            Qt::QueuedConnection);
        QSignalSpy done(&worker, &CMd5Thread::RecordDone);
        worker.start();
        QVERIFY(done.wait());
        worker.Finish();
        QVERIFY(worker.wait());

        QCOMPARE(done.first().first().toBool(), false);
        if (takenByTheWindow) {
            QCOMPARE(handedOver, QStringList{Md5OfFile(first->FullPath())});
            QCOMPARE(takenAlong.has_value(), !rewrittenAfterTheReadAhead);
            if (takenAlong)
                QCOMPARE(TMd5Text(*takenAlong).Text(), Md5OfFile(nextPath));
            return;
        }
        QCOMPARE(handedOver, QStringList({Md5OfFile(first->FullPath()), Md5OfFile(nextPath)}));
        QCOMPARE(opens.loadRelaxed(), rewrittenAfterTheReadAhead ? 3 : 2);
    }

    void aReaderDigestsOneFileAfterAnotherOnItsOwnersThread()
    {
        // One reader for several files: a failure must not stick to the next file, and block
        // boundaries must be handled as in the worker.
        CMd5Thread reader;
        const QDir dir(m_dir.path());
        const QString files[] = {WriteFile(dir, QStringLiteral("r0.bin"), 0),
                                 WriteFile(dir, QStringLiteral("r1.bin"), Block + 1)};
        QVERIFY(!reader.DigestFile(dir.filePath(QStringLiteral("absent.bin"))));
        QVERIFY(reader.ReadFailed());
        for (const QString &path : files) {
            const std::optional<TMd5Text::TDigest> digest = reader.DigestFile(path);
            QVERIFY(digest);
            QCOMPARE(TMd5Text(*digest).Text(), Md5OfFile(path));
            QVERIFY(!reader.ReadFailed());
            QVERIFY(reader.ReadError().isEmpty());
        }
        QVERIFY(!reader.isRunning());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestMd5Thread)
#include "tst_md5thread.moc"
