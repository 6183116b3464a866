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
        const TCommandMessage empty = RestartAllMd5Calculation(f.scheduler);
        QCOMPARE(empty.Kind, mkError);
        QCOMPARE(empty.Text, QStringLiteral("No files to proceed."));

        TFolderNode *folder = f.catalog.AddFolder(nullptr, QStringLiteral("Home"));
        for (const char *name : {"a", "b", "c"})
            f.Add(QString::fromLatin1(name), 10, f.catalog.AddFolder(folder, QString::fromLatin1(name)));
        f.scheduler.PostMd5Next();
        QTRY_VERIFY(f.Completed());
        const TCommandMessage done = RestartAllMd5Calculation(f.scheduler);
        QCOMPARE(done.Kind, mkInformation);
        QCOMPARE(done.Text, QStringLiteral("MD5 code already calculated for all files (3) in the registry."));
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

        QCOMPARE(RecalculateMd5(f.scheduler, {present}).Text,
                 QStringLiteral("Please select a folder and try again."));
        f.catalog.SetCurrentFolder(f.docs);
        QCOMPARE(RecalculateMd5(f.scheduler, {}).Text,
                 QStringLiteral("Please select the files(s) and try again."));

        // Hold "busy" in its digest: the command must leave it alone.
        TWorkerGate gate;
        f.scheduler.SetWorkerSetup([&](CMd5Thread &worker) { gate.HoldAt(worker, wsBlockDone, 0); });
        QCOMPARE(Started(f.scheduler, RecalculateMd5(f.scheduler, {busy})).Kind, mkNone);
        QTRY_VERIFY(gate.Reached());
        f.states.clear();
        const TCommandMessage result =
            Started(f.scheduler, RecalculateMd5(f.scheduler, {present, deleted, busy}));
        QCOMPARE(result.Kind, mkInformation);
        QCOMPARE(result.Text,
                 QStringLiteral("Results for 3 analyzed file(s):\r\n\r\n1 file(s) will not be processed "
                                "because doesn't exist, was marked in RED."));
        QCOMPARE(deleted->State, fsMissing);
        QCOMPARE(present->State, fsPending);
        QVERIFY(present->Md5.isEmpty());
        QCOMPARE(busy->State, fsDigesting);
        QCOMPARE(f.catalog.Md5Queue(), std::deque<TFileDat *>{present});

        gate.Release();
        f.scheduler.SetWorkerSetup(nullptr);
        QTRY_VERIFY(f.Completed());
        QCOMPARE(present->Md5.Text(), Md5Of(present->FullPath()));
        QCOMPARE(busy->Md5.Text(), Md5Of(busy->FullPath()));
        QVERIFY(!f.view.log.contains(QStringLiteral("folder Docs"))); // already the current folder
    }

    void searchFindsTheFirstRecordInTreeOrder()
    {
        TDigestFixture f;
        const QString code = QStringLiteral("0123456789abcdef0123456789abcdef");
        auto ask = [](const char *answer) {
            return [answer] {
                return answer ? std::optional<QString>(QString::fromLatin1(answer)) : std::nullopt;
            };
        };
        f.catalog.RemoveFolder(f.docs);
        QCOMPARE(SearchMd5Code(f.scheduler, ask(code.toLatin1())).Message.Kind, mkError);

        // Tree order visits Home, Home\Sub, Other; level by level would reach Other first.
        TFolderNode *home = f.catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *other = f.catalog.AddFolder(nullptr, QStringLiteral("Other"));
        TFolderNode *sub = f.catalog.AddFolder(home, QStringLiteral("Sub"));
        std::vector<std::unique_ptr<TFileDat>> records;
        for (TFolderNode *folder : {other, sub, home}) {
            auto record = std::make_unique<TFileDat>();
            record->FileName = folder->Name();
            record->Md5 = folder == home ? QString(32, u'0') : code;
            record->State = fsDigested;
            std::vector<std::unique_ptr<TFileDat>> one;
            one.push_back(std::move(record));
            f.catalog.AppendRecords(folder, std::move(one));
        }

        const TSearchOutcome found = SearchMd5Code(f.scheduler, ask(" 01234567 89ABCDEF 01234567 89ABCDEF "));
        QCOMPARE(found.Message.Kind, mkNone);
        QVERIFY(found.Found);
        QCOMPARE(found.Found->Folder, sub);
        QCOMPARE(f.view.log, QStringList({"busy 1", "commands 0", "commands 1", "busy 0"}));

        const TSearchOutcome shortCode = SearchMd5Code(f.scheduler, ask("0123456789abcdef0123456789abcde"));
        QCOMPARE(shortCode.Message.Text,
                 QStringLiteral("The code you entered is not a MD5 valid code, please try again."));
        const TSearchOutcome notHex = SearchMd5Code(f.scheduler, ask("zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz"));
        QCOMPARE(notHex.Message.Text, QStringLiteral("MD5 code not found in the registry."));
        QCOMPARE(notHex.Found, nullptr);
        const TSearchOutcome cancelled = SearchMd5Code(f.scheduler, ask(nullptr));
        QCOMPARE(cancelled.Message.Kind, mkNone);
        QCOMPARE(cancelled.Found, nullptr);
    }
};

QTEST_GUILESS_MAIN(TestDigestCommands)
#include "tst_digestcommands.moc"
