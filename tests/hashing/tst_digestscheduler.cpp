#include "DigestCommands.h"
#include "DigestTestKit.h"
#include "Md5Engine.h"

#include <QSignalSpy>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 Block = CMd5Thread::BlockSize;

} // namespace

class TestDigestScheduler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void digestsQueuedFilesOneAfterAnotherInTheOrderAdded()
    {
        TDigestFixture f;
        TFolderNode *other = f.catalog.AddFolder(nullptr, QStringLiteral("Other"));
        f.catalog.SetCurrentFolder(other);
        const QList<TFileDat *> records = {f.Add(QStringLiteral("a"), 3 * Block),
                                           f.Add(QStringLiteral("b"), 10), f.Add(QStringLiteral("c"), 0)};
        f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) {
            QCOMPARE(worker.Record()->State, fsDigesting);
            QCOMPARE(f.catalog.DigestingRecord(), worker.Record());
        });
        f.scheduler.PostMd5Next();
        QTRY_VERIFY(f.Completed());

        // One at a time: each is digesting before it is digested, and the next starts only then.
        QCOMPARE(f.states, QStringList({"a 1", "a 0", "b 1", "b 0", "c 1", "c 0"}));
        for (TFileDat *record : records)
            QCOMPARE(record->Md5.Text(), Md5OfFile(record->FullPath()));
        QCOMPARE(f.view.log.count(QStringLiteral("folder Docs")), 1);
        QCOMPARE(f.catalog.CurrentFolder(), f.docs);
        QVERIFY(f.view.log.contains(QStringLiteral("row c")));
        QCOMPARE(f.view.log.mid(f.view.log.size() - 2),
                 QStringList({"modified", "status Operation completed"}));
        QVERIFY(f.Idle());
    }

    // The worker reads the next queued file ahead while a digest is handed over, in the folder on
    // show and across folders; the catalog still sees one record digested at a time.
    void readingAheadKeepsOneRecordAtATimeAndEveryDigestRight()
    {
        TDigestFixture f;
        TFolderNode *other = f.catalog.AddFolder(nullptr, QStringLiteral("Other"));
        QList<TFileDat *> records;
        QStringList expectedStates;
        for (int i = 0; i < 40; ++i) {
            const QString name = QStringLiteral("f%1").arg(i);
            records << f.Add(name, 10 * i, i % 20 < 10 ? f.docs : other);
            expectedStates << name + QStringLiteral(" 1") << name + QStringLiteral(" 0");
        }
        f.scheduler.PostMd5Next();
        QVERIFY(WaitUntil([&] { return f.Completed(); }));
        QCOMPARE(f.states, expectedStates);
        for (TFileDat *record : records)
            QCOMPARE(record->Md5.Text(), Md5OfFile(record->FullPath()));
        QVERIFY(f.Idle());
    }

    void missingFilesAreMarkedSilentlyAndTheQueueGoesOn()
    {
        TDigestFixture f;
        TFileDat *a = f.Add(QStringLiteral("a"), 100);
        TFileDat *gone = f.Add(QStringLiteral("gone"), 100);
        TFileDat *noPath = f.Add(QStringLiteral("nopath"), 100);
        TFileDat *d = f.Add(QStringLiteral("d"), 100);
        QVERIFY(QFile::remove(gone->FullPath()));
        f.catalog.SetRecordRealPath(noPath, QString());
        f.scheduler.PostMd5Next();
        QTRY_VERIFY(f.Completed());
        QCOMPARE(gone->State, fsMissing);
        QCOMPARE(noPath->State, fsMissing);
        QCOMPARE(a->State, fsDigested);
        QCOMPARE(d->State, fsDigested);
        QCOMPARE(f.view.log.filter(QStringLiteral("status")).size(), 1);
    }

    void aFileThatCannotBeOpenedGoesBackToPending()
    {
        TDigestFixture f;
        TFileDat *locked = f.Add(QStringLiteral("locked"), 100);
        TFileDat *next = f.Add(QStringLiteral("next"), 100);
        // It vanishes between the existence check and the opening, which fails for root as well
        // (root reads files whatever their permissions say).
        f.scheduler.SetWorkerSetup([](CMd5Thread &worker) {
            if (worker.Record()->FileName == QLatin1String("locked"))
                worker.SetStepHook([path = worker.FullPath()](CMd5Thread &, TWorkerStep step, qint64) {
                    if (step == wsBeforeOpen)
                        QFile::remove(path);
                });
        });
        f.scheduler.PostMd5Next();
        QTRY_VERIFY(f.Completed());
        QCOMPARE(locked->State, fsPending);
        QVERIFY(locked->Md5.isEmpty());
        QCOMPARE(next->State, fsDigested);
        QVERIFY(f.catalog.Md5Queue().empty());
    }

    // A digest of a file that changed while it was read is of no content the file ever had: the
    // record goes back to pending as for a file that could not be read, and the queue goes on.
    void filesChangedWhileReadGoBackToPendingAndTheQueueGoesOn()
    {
        TDigestFixture f;
        TFileDat *truncated = f.Add(QStringLiteral("truncated"), 3 * Block);
        TFileDat *untouched = f.Add(QStringLiteral("untouched"), 3 * Block);
        TFileDat *appended = f.Add(QStringLiteral("appended"), 3 * Block);
        const QString expected = Md5OfFile(untouched->FullPath());
        const QHash<TFileDat *, qint64> newSizes{{truncated, Block + 1}, {appended, 4 * Block}};
        f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) {
            const qint64 newSize = newSizes.value(worker.Record(), -1);
            worker.SetStepHook(
                [path = worker.FullPath(), newSize](CMd5Thread &, TWorkerStep step, qint64 block) {
                    if (newSize >= 0 && step == wsBlockDone && block == 0)
                        QFile::resize(path, newSize);
                });
        });
        f.scheduler.PostMd5Next();
        QVERIFY(WaitUntil([&] { return f.Completed(); }));
        for (TFileDat *changed : {truncated, appended}) {
            QCOMPARE(changed->State, fsPending);
            QVERIFY(changed->Md5.isEmpty());
        }
        QCOMPARE(untouched->State, fsDigested);
        QCOMPARE(untouched->Md5.Text(), expected);
        QVERIFY(f.Idle());
    }

    // A FIFO put in the file's place after the queue looked at it: opening it must not wait for a
    // writer, or the worker, and Skip and Stop all with it, would wait for ever.
    void aFifoInTheFilesPlaceHoldsNeitherTheWorkerNorSkipAndStop()
    {
        TDigestFixture f;
        TFileDat *a = f.Add(QStringLiteral("a"), 100);
        TFileDat *b = f.Add(QStringLiteral("b"), 100);
        TFileDat *c = f.Add(QStringLiteral("c"), 100);
        TFileDat *d = f.Add(QStringLiteral("d"), 100);
        QAtomicInt held; // records whose worker waits to be stopped before it opens the FIFO
        f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) {
            const bool hold = worker.Record() != a; // a goes on by itself
            worker.SetStepHook([&held, hold, path = QFile::encodeName(worker.FullPath())](
                                   CMd5Thread &w, TWorkerStep step, qint64) {
                if (step != wsBeforeOpen)
                    return;
                ::unlink(path.constData());
                ::mkfifo(path.constData(), 0600);
                if (!hold)
                    return;
                held.fetchAndAddRelease(1);
                while (!w.isInterruptionRequested())
                    QThread::msleep(1); // pacing only
            });
        });
        f.scheduler.PostMd5Next();
        QVERIFY(WaitUntil([&] { return held.loadAcquire() == 1; }));
        QCOMPARE(a->State, fsPending);
        QCOMPARE(SkipFileBeingCalculated(f.scheduler).Result, drDone);
        QCOMPARE(b->State, fsPending);
        QVERIFY(WaitUntil([&] { return held.loadAcquire() == 2; }));
        QCOMPARE(StopAllMd5Calculation(f.scheduler).Result, drDone);
        QVERIFY(f.Idle());
        for (TFileDat *record : {a, b, c, d})
            QCOMPARE(record->State, fsPending);
    }

    // The record keeps the engine's own bytes: no text on the way, which an upper-case form, a cut
    // or a parse back could have changed.
    void theRecordKeepsTheBytesTheEngineMade()
    {
        TDigestFixture f;
        TFileDat *a = f.Add(QStringLiteral("a"), Block + 5);
        const QByteArray content = ReadWholeFile(a->FullPath());
        TMd5Context context;
        Md5Init(context);
        Md5Update(context, content.constData(), size_t(content.size()));
        TMd5Text::TDigest engine;
        Md5Final(context, engine.data());

        f.scheduler.PostMd5Next();
        QVERIFY(WaitUntil([&] { return f.Completed(); }));
        QVERIFY(a->Md5.Digest());
        QCOMPARE(*a->Md5.Digest(), engine);
    }

    // The next record is given while the worker waits in the hand-over of the one before: from
    // then on the worker names the next one, and the user-interface thread reads that while the
    // worker goes on (ThreadSanitizer watches the reads).
    void theWorkerNamesTheFileItDigestsAcrossFollowOnRecords()
    {
        TDigestFixture f;
        f.catalog.SetCurrentFolder(f.docs); // every record follows on within the hand-over
        for (int i = 0; i < 30; ++i)
            f.Add(QStringLiteral("f%1").arg(i), 100 + i);
        QStringList named;
        f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) {
            if (worker.FullPath() != worker.Record()->FullPath())
                named << worker.Record()->FileName + QStringLiteral(" named ") + worker.FullPath();
        });
        f.scheduler.PostMd5Next();
        QVERIFY(WaitUntil([&] {
            if (const CMd5Thread *worker = f.scheduler.Md5Thread())
                named << QStringLiteral("read ") + QFileInfo(worker->FullPath()).fileName();
            return f.Completed();
        }));
        QCOMPARE(named.filter(QStringLiteral(" named ")), QStringList());
        QVERIFY(named.size() > 1); // read while the worker ran
        QCOMPARE(f.states.size(), 60);
    }

    void skipStopAllAndRestartAll()
    {
        TDigestFixture f;
        QCOMPARE(SkipFileBeingCalculated(f.scheduler).Result, drNoDigestRunning);
        QCOMPARE(StopAllMd5Calculation(f.scheduler).Result, drNoDigestRunning);
        TFileDat *a = f.Add(QStringLiteral("a"), 3 * Block);
        TFileDat *b = f.Add(QStringLiteral("b"), 3 * Block);
        TFileDat *c = f.Add(QStringLiteral("c"), 100);
        TWorkerGate gate;
        f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) { gate.HoldAt(worker, wsBlockDone, 0); });

        // Skip: the held record loses its place, the next one starts.
        f.scheduler.PostMd5Next();
        QTRY_VERIFY(gate.Reached());
        QCOMPARE(SkipFileBeingCalculated(f.scheduler).Result, drDone);
        QCOMPARE(a->State, fsPending);
        QVERIFY(a->Md5.isEmpty());
        QTRY_COMPARE(b->State, fsDigesting);

        // Stop all: nothing digested, nothing left to do.
        QCOMPARE(StopAllMd5Calculation(f.scheduler).Result, drDone);
        QVERIFY(f.Idle());
        QVERIFY(f.catalog.Md5Queue().empty());
        QCoreApplication::processEvents();
        QVERIFY(f.Idle());
        for (TFileDat *record : {a, b, c})
            QCOMPARE(record->State, fsPending);

        // Restart all: queues them again and counts what it cannot digest.
        auto noPath = NewRecordFromDisk(f.dir.filePath(QStringLiteral("nopath")));
        noPath->RealPath.clear();
        std::vector<std::unique_ptr<TFileDat>> loaded;
        loaded.push_back(std::move(noPath));
        loaded.push_back(NewRecordFromDisk(f.dir.filePath(QStringLiteral("gone"))));
        TFileDat *gone = loaded.back().get();
        f.catalog.AppendRecords(f.catalog.AddFolder(f.docs, QStringLiteral("Sub")), std::move(loaded));
        f.scheduler.SetWorkerSetup(nullptr);
        const TDigestCommandOutcome restart = Started(f.scheduler, RestartAllMd5Calculation(f.scheduler));
        QCOMPARE(restart.Result, drSomeLeftOut);
        QCOMPARE(restart.Analysed, qsizetype(5));
        QCOMPARE(restart.WithoutRealPath, 1);
        QCOMPARE(restart.Missing, 1);
        QCOMPARE(gone->State, fsMissing);
        QTRY_VERIFY(f.Completed());
        for (TFileDat *record : {a, b, c})
            QCOMPARE(record->Md5.Text(), Md5OfFile(record->FullPath()));
    }

    // The hand-over is requested while a skip, a clearing or the removal of the record's folder is
    // under way: the stop must run it rather than wait for a worker that waits for it.
    void stoppingWhileTheHandOverIsPendingNeitherHangsNorUsesFreedRecords()
    {
        for (int round = 0; round < 200; ++round) {
            TDigestFixture f;
            TFolderNode *sub = f.catalog.AddFolder(f.docs, QStringLiteral("Sub"));
            TFileDat *a = f.Add(QStringLiteral("a"), Block + 7, sub);
            TFileDat *b = f.Add(QStringLiteral("b"), 5);
            const QString expected = Md5OfFile(a->FullPath());
            TWorkerGate gate;
            f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) {
                if (worker.Record() == a)
                    gate.HoldAt(worker, wsBeforeHandOver);
            });
            const bool requestedDuringTheStop = round % 2 == 0;
            if (requestedDuringTheStop) {
                // The stop makes the record pending first; only then may the worker go on.
                QObject::connect(&f.catalog, &TCatalog::recordChanged, &f.catalog, [&](TFileDat *record) {
                    if (record == a && a->State == fsPending)
                        gate.Release();
                });
            }
            f.scheduler.PostMd5Next();
            QVERIFY(WaitUntil([&] { return gate.Reached(); }));
            if (!requestedDuringTheStop)
                gate.Release(); // this thread handles no events until the stop, so it waits

            switch (round / 2 % 3) {
            case 0:
                SkipFileBeingCalculated(f.scheduler);
                QCOMPARE(a->State, fsDigested);
                QCOMPARE(a->Md5.Text(), expected);
                QVERIFY(WaitUntil([&] { return f.Completed(); }));
                QCOMPARE(b->State, fsDigested);
                break;
            case 1:
                f.catalog.ClearCatalog();
                QVERIFY(!f.catalog.HasFolders());
                break;
            case 2:
                f.catalog.RemoveFolder(sub);
                QVERIFY(WaitUntil([&] { return f.Completed(); }));
                QCOMPARE(b->State, fsDigested);
                break;
            }
            QVERIFY(f.Idle());
        }
    }

    void stoppingAfterTheHandOverLeavesTheRecordAlone()
    {
        TDigestFixture f;
        TFileDat *a = f.Add(QStringLiteral("a"), 10);
        TWorkerGate gate;
        f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) { gate.HoldAt(worker, wsAfterHandOver); });
        f.scheduler.PostMd5Next();
        QTRY_VERIFY(gate.Reached());
        QCOMPARE(a->State, fsDigested);
        f.catalog.RemoveRecord(a); // no longer being digested, so nothing stops the worker
        QVERIFY(f.scheduler.Md5Running());
        QSignalSpy changes(&f.catalog, &TCatalog::recordChanged);
        SkipFileBeingCalculated(f.scheduler);
        QCOMPARE(changes.count(), 0);
        QVERIFY(f.Idle());
    }
};

QTEST_GUILESS_MAIN(TestDigestScheduler)
#include "tst_digestscheduler.moc"
