// Digesting on reader threads: the same outcome as the window's chain of one worker, results in
// the order of the files whatever order the readers finish in.

#include "DigestPool.h"
#include "DigestTestKit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(TMd5Level)

namespace {

// A queue with everything the chain must get right, built the same way in any fixture: files of
// sizes that make the readers finish out of order, an empty file, one of exactly one block, a
// file deleted after queueing, one that cannot be read, a record queued twice, a record without
// real path and one already digested standing in the queue.
void fillQueue(TDigestFixture &f)
{
    TFolderNode *sub = f.catalog.AddFolder(f.docs, QStringLiteral("Sub"));
    for (int i = 0; i < 40; ++i) {
        const qint64 size = i % 7 == 0 ? 20 * CMd5Thread::BlockSize + i : 97 * i;
        f.Add(QStringLiteral("f%1").arg(i), size, i % 2 ? sub : nullptr);
    }
    f.Add(QStringLiteral("empty"), 0);
    f.Add(QStringLiteral("block"), CMd5Thread::BlockSize);
    TFileDat *gone = f.Add(QStringLiteral("gone"), 10);
    QFile::remove(gone->FullPath());
    TFileDat *twice = f.Add(QStringLiteral("twice"), 5000);
    f.catalog.EnqueueForDigest(twice);
    TFileDat *noPath = f.Add(QStringLiteral("nopath"), 10);
    f.catalog.SetRecordRealPath(noPath, QString());
    TFileDat *done = f.Add(QStringLiteral("done"), 10);
    f.catalog.SetRecordMd5(done, TMd5Text(Md5OfFile(done->FullPath())));
    f.catalog.SetRecordState(done, fsDigested);
    // The superuser reads files whatever their permissions say, but not this one.
    TFileDat *locked = f.Add(QStringLiteral("locked"), 10);
    if (::geteuid() != 0) {
        QFile::setPermissions(locked->FullPath(), {});
    } else {
        const QFileInfo writeOnly(QStringLiteral("/proc/sys/vm/compact_memory"));
        f.catalog.SetRecordRealPath(locked, writeOnly.path() + u'/');
        locked->FileName = writeOnly.fileName();
    }
    f.Add(QStringLiteral("last"), 3);
    f.states.clear();
}

// The window's way: one worker takes the queue's records one after another.
void runChain(TDigestFixture &f)
{
    f.scheduler.PostMd5Next();
    QVERIFY(WaitUntil([&] { return f.Completed(); }));
}

// "Folder/name state md5" of every record, in catalog order.
QStringList outcome(const TCatalog &catalog)
{
    QStringList lines;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        for (const auto &record : folder->Records())
            lines << QStringLiteral("%1/%2 %3 %4")
                         .arg(folder->Name(), record->FileName)
                         .arg(int(record->State))
                         .arg(record->Md5.Text());
    });
    return lines;
}

} // namespace

class TestDigestPool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void queueOnThreadsEndsAsTheWindowsChain_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<TMd5Level>("level");
        QTest::newRow("one reader") << 1 << Md5BestLevel();
        QTest::newRow("three readers") << 3 << Md5BestLevel();
        QTest::newRow("more readers than files") << 100 << Md5BestLevel();
        for (TMd5Level level : Md5SupportedLevels())
            QTest::addRow("two readers, %s", Md5LevelName(level)) << 2 << level;
    }
    void queueOnThreadsEndsAsTheWindowsChain()
    {
        QFETCH(int, jobs);
        QFETCH(TMd5Level, level);
        TDigestFixture single, pooled;
        fillQueue(single);
        fillQueue(pooled);

        runChain(single);
        QVERIFY(DigestQueueOnThreads(pooled.catalog, {.Jobs = jobs, .Level = level}).empty());

        // The same record changes in the same order, hence the same end.
        QCOMPARE(pooled.states, single.states);
        QCOMPARE(outcome(pooled.catalog), outcome(single.catalog));
        QVERIFY(pooled.catalog.Md5Queue().empty());
        QCOMPARE(pooled.catalog.DigestingRecord(), nullptr);
        // And the end is right in itself, not only equal.
        QVERIFY(outcome(single.catalog).contains(QStringLiteral("Docs/gone 2 ")));
        QVERIFY(outcome(single.catalog).contains(QStringLiteral("Docs/nopath 2 ")));
        QCOMPARE(single.states.filter(QRegularExpression(QStringLiteral("^twice "))),
                 QStringList({"twice 1", "twice 0"}));
    }

    void readersStartedEarlyServeTheQueueOnlyOnItsOwnPaths_data()
    {
        QTest::addColumn<bool>("samePaths");
        QTest::newRow("the queue's paths") << true;
        QTest::newRow("a list that no longer fits") << false;
    }
    void readersStartedEarlyServeTheQueueOnlyOnItsOwnPaths()
    {
        QFETCH(bool, samePaths);
        TDigestFixture single, pooled;
        fillQueue(single);
        fillQueue(pooled);
        std::vector<QString> paths;
        for (const TFileDat *record : pooled.catalog.Md5Queue()) {
            if (record->State == fsPending)
                paths.push_back(record->FullPath());
        }
        if (!samePaths) // a file added to the tree between the walk and the records
            paths.insert(paths.begin() + 5, pooled.dir.filePath(QStringLiteral("f7")));
        auto early = std::make_unique<TFileDigester>(paths, TDigestOptions{.Jobs = 2});

        runChain(single);
        DigestQueueOnThreads(pooled.catalog, {.Jobs = 2}, std::move(early));
        QCOMPARE(pooled.states, single.states);
        QCOMPARE(outcome(pooled.catalog), outcome(single.catalog));
    }

    void resultsComeInTheOrderOfTheFiles()
    {
        // More files than the readers may run ahead of the results, so the ring of results wraps
        // several times; a large file early holds the results up while the others are read.
        QTemporaryDir dir;
        std::vector<QString> paths;
        QStringList expected;
        for (int i = 0; i < 1500; ++i) {
            const qint64 size = i == 3 ? 300 * CMd5Thread::BlockSize : i % 50;
            paths.push_back(WriteFile(QDir(dir.path()), QStringLiteral("f%1").arg(i), size));
            expected << Md5OfFile(paths.back());
        }
        paths.push_back(dir.filePath(QStringLiteral("absent")));
        expected << QString();
        paths.push_back(dir.path());
        expected << QString();

        QStringList got;
        std::vector<size_t> order;
        QThread *const self = QThread::currentThread();
        bool onCaller = true;
        DigestFilesInOrder(paths, {.Jobs = 2}, [&](size_t index, TFileDigest &result) {
            order.push_back(index);
            got << (result.Digest ? TMd5Text(*result.Digest).Text() : QString());
            onCaller = onCaller && QThread::currentThread() == self;
            // The reader's own check: a directory is no file, so nothing was read and nothing failed.
            if (index >= 1500) {
                QVERIFY(!result.Present);
                QVERIFY(result.ReadError.isEmpty());
            }
        });
        QVERIFY(onCaller);
        QCOMPARE(order.size(), paths.size());
        QVERIFY(std::is_sorted(order.begin(), order.end()));
        QCOMPARE(got, expected);
    }

    void filesChangedWhileReadStayPendingAndTheRestIsDigested()
    {
        // Readers on two threads meet, after the first block of their file, one that is
        // truncated and one that is appended to, and before the open a path that the queue's
        // check saw as a file but that is now a FIFO.
        TDigestFixture f;
        std::vector<TFileDat *> records;
        for (int i = 0; i < 40; ++i)
            records.push_back(f.Add(QStringLiteral("f%1").arg(i), 70000 + 1000 * i));
        const QString shrinks = records[3]->FullPath(), grows = records[17]->FullPath(),
                      fifo = records[30]->FullPath();
        TDigestPoolHooks hooks;
        hooks.BeforeOpen = [&](const QString &path) {
            if (path != fifo)
                return;
            const QByteArray name = QFile::encodeName(path);
            QVERIFY(::unlink(name.constData()) == 0 && ::mkfifo(name.constData(), 0600) == 0);
        };
        hooks.BeforeRead = [&](const QString &path, qint64 offset, TDigestFileReader &) {
            if (offset > 0 && path == shrinks)
                QVERIFY(::truncate(QFile::encodeName(path).constData(), 100) == 0);
            if (offset > 0 && path == grows) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::Append) && file.write("more") == 4);
            }
        };
        SetDigestPoolHooks(hooks);
        const auto changed = DigestQueueOnThreads(f.catalog, {.Jobs = 2});
        SetDigestPoolHooks({});

        QVERIFY(changed == (std::unordered_set<const TFileDat *>{records[3], records[17]}));
        for (const TFileDat *record : records) {
            if (record == records[3] || record == records[17] || record == records[30]) {
                QCOMPARE(record->State, fsPending);
                QVERIFY(record->Md5.isEmpty());
            } else {
                QCOMPARE(record->State, fsDigested);
                QCOMPARE(record->Md5.Text(), Md5OfFile(record->FullPath()));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestDigestPool)
#include "tst_digestpool.moc"
