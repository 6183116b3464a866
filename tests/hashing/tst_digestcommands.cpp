#include "DigestCommands.h"
#include "DigestTestKit.h"

class TestDigestCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void restartWithNothingToDo()
    {
        TDigestFixture f;
        f.catalog.RemoveFolder(f.docs);
        QCOMPARE(RestartAllMd5Calculation(f.scheduler).Result, drNoRecords);

        TFolderNode *folder = f.catalog.AddFolder(nullptr, QStringLiteral("Home"));
        for (const char *name : {"a", "b", "c"})
            f.Add(QString::fromLatin1(name), 10, f.catalog.AddFolder(folder, QString::fromLatin1(name)));
        f.scheduler.PostMd5Next();
        QTRY_VERIFY(f.Completed());
        const TDigestCommandOutcome done = RestartAllMd5Calculation(f.scheduler);
        QCOMPARE(done.Result, drAllDigested);
        QCOMPARE(done.Analysed, qsizetype(3));
        QVERIFY(!done.StartQueue);
    }

    void recalculateQueuesPresentFilesAndReportsMissingOnes()
    {
        TDigestFixture f;
        TFileDat *present = f.Add(QStringLiteral("present"), 100);
        TFileDat *deleted = f.Add(QStringLiteral("deleted"), 100);
        TFileDat *busy = f.Add(QStringLiteral("busy"), 3 * CMd5Thread::BlockSize);
        f.scheduler.PostMd5Next();
        QTRY_VERIFY(f.Completed());
        f.view.log.clear();
        QVERIFY(QFile::remove(deleted->FullPath()));
        f.catalog.SetCurrentFolder(nullptr);

        QCOMPARE(RecalculateMd5(f.scheduler, {present}).Result, drNoCurrentFolder);
        f.catalog.SetCurrentFolder(f.docs);
        QCOMPARE(RecalculateMd5(f.scheduler, {}).Result, drNoSelection);

        // Hold "busy" in its digest: the command must leave it alone.
        TWorkerGate gate;
        f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) { gate.HoldAt(worker, wsBlockDone, 0); });
        QCOMPARE(Started(f.scheduler, RecalculateMd5(f.scheduler, {busy})).Result, drDone);
        QTRY_VERIFY(gate.Reached());
        f.states.clear();
        const TDigestCommandOutcome result =
            Started(f.scheduler, RecalculateMd5(f.scheduler, {present, deleted, busy}));
        QCOMPARE(result.Result, drSomeLeftOut);
        QCOMPARE(result.Analysed, qsizetype(3));
        QCOMPARE(result.WithoutRealPath, 0);
        QCOMPARE(result.Missing, 1);
        QCOMPARE(deleted->State, fsMissing);
        QCOMPARE(present->State, fsPending);
        QVERIFY(present->Md5.isEmpty());
        QCOMPARE(busy->State, fsDigesting);
        QCOMPARE(f.catalog.Md5Queue(), std::deque<TFileDat *>{present});

        gate.Release();
        f.scheduler.SetWorkerSetup(nullptr);
        QTRY_VERIFY(f.Completed());
        QCOMPARE(present->Md5.Text(), Md5OfFile(present->FullPath()));
        QCOMPARE(busy->Md5.Text(), Md5OfFile(busy->FullPath()));
        QVERIFY(!f.view.log.contains(QStringLiteral("folder Docs"))); // already the current folder
    }
};

QTEST_GUILESS_MAIN(TestDigestCommands)
#include "tst_digestcommands.moc"
