// scan on several threads, and scan --update over a tree scanned before.

#include "CliTestKit.h"
#include "LongPathChain.h"
#include "Md5Level.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

namespace {

// "FolderPath|FileName|Size|Md5" of every record, in catalog order.
QStringList recordsOf(const QString &catalogFile)
{
    return RecordLines(catalogFile, {rfFolderPath, rfName, rfSize, rfMd5});
}

bool setModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace

class TestCliScan : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    TCliResult scan(const QStringList &words)
    {
        return RunCliProcess(QStringList{QStringLiteral("scan")} + words);
    }

    // scan of a one-file tree into a catalog file that is not there, from the test's folder.
    TCliResult scanIntoAbsent(const QStringList &words, const QStringList &variables = {})
    {
        WriteTestFile(path(QStringLiteral("plain/a.txt")), "a");
        return RunCliProcess(QStringList{QStringLiteral("scan"), QStringLiteral("-o"),
                                         QStringLiteral("absent.dat"), QStringLiteral("plain")} +
                                 words,
                             m_dir.path(), variables);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void scanOnSeveralThreadsGivesTheSameCatalogAsOnOne()
    {
        // Large files early and small ones after them, so readers finish far out of order; empty
        // files and files of exactly one block among them.
        for (int i = 0; i < 120; ++i) {
            const qsizetype size = i % 17 == 0 ? 2'000'000 + i : i % 5 == 0 ? 31744 * (i % 3) : 37 * i;
            WriteTestFile(path(QStringLiteral("tree/d%1/s%2/f%3.bin").arg(i % 4).arg(i % 3).arg(i)),
                          NoiseBytes(size, quint32(i)));
        }
        const QString tree = path(QStringLiteral("tree"));
        const QString one = path(QStringLiteral("one.dat")), two = path(QStringLiteral("two.dat")),
                      four = path(QStringLiteral("four.dat"));
        CLI_EXPECT_STATUS(
            scan({QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("-o"), one, tree}), 0);
        CLI_EXPECT_STATUS(scan({QStringLiteral("--jobs=2"), QStringLiteral("-o"), two, tree}), 0);
        CLI_EXPECT_STATUS(scan({QStringLiteral("--jobs=4"), QStringLiteral("-o"), four, tree}), 0);

        const QStringList records = recordsOf(one);
        QCOMPARE(records.size(), 120);
        QVERIFY(
            std::none_of(records.begin(), records.end(), [](const QString &r) { return r.endsWith(u'|'); }));
        QCOMPARE(recordsOf(four), records);
        // The same records in the same order make the same file, byte for byte.
        QCOMPARE(ReadWholeFile(two), ReadWholeFile(one));
        QCOMPARE(ReadWholeFile(four), ReadWholeFile(one));
        // And the digests are the files' own.
        const QString sample = path(QStringLiteral("tree/d0/s0/f0.bin"));
        QVERIFY(records.contains(QStringLiteral("tree\\d0\\s0\\|f0.bin|2000000|") +
                                 Md5Hex(ReadWholeFile(sample))));
    }

    // Made neither sorted nor reversed, so no file system lists them in name order by chance.
    void scanCataloguesInNameOrder()
    {
        for (const char *name :
             {"order/m.bin", "order/B.bin", "order/a.bin", "order/A.bin", "order/Zeta/f", "order/beta/f"})
            WriteTestFile(path(QString::fromLatin1(name)), "x");
        const QString catalog = path(QStringLiteral("order.dat"));
        CLI_EXPECT_STATUS(scan({QStringLiteral("-o"), catalog, path(QStringLiteral("order"))}), 0);
        QStringList names;
        for (const QString &record : recordsOf(catalog))
            names << record.section(u'|', 0, 1);
        QCOMPARE(names, QStringList({"order\\|A.bin", "order\\|a.bin", "order\\|B.bin", "order\\|m.bin",
                                     "order\\beta\\|f", "order\\Zeta\\|f"}));
    }

    void jobsMustBeAWholeNumberOfThreads_data()
    {
        QTest::addColumn<QString>("jobs");
        QTest::newRow("zero") << QStringLiteral("0");
        QTest::newRow("not a number") << QStringLiteral("two");
        QTest::newRow("too many") << QStringLiteral("100000");
    }
    void jobsMustBeAWholeNumberOfThreads()
    {
        QFETCH(QString, jobs);
        WriteTestFile(path(QStringLiteral("jobs/a.txt")), "a");
        const QString catalog = path(QStringLiteral("jobs.dat"));
        const TCliResult run = scan(
            {QStringLiteral("--jobs"), jobs, QStringLiteral("-o"), catalog, path(QStringLiteral("jobs"))});
        CLI_EXPECT_STATUS(run, 2);
        QVERIFY2(run.Err.startsWith("dravik-cli: --jobs " + jobs.toUtf8() + ": not a number of threads"),
                 run.Err);
        QVERIFY(!QFile::exists(catalog));
    }

    void updateDigestsOnlyWhatChangedAndReportsWhatIsGone()
    {
        const QString tree = path(QStringLiteral("u"));
        const QByteArray keep = "keep", changedBefore = "change before", untouched = "untouched";
        WriteTestFile(tree + QStringLiteral("/keep.txt"), keep);
        const QString changed = WriteTestFile(tree + QStringLiteral("/sub/change.txt"), changedBefore);
        const QString gone = WriteTestFile(tree + QStringLiteral("/sub/gone.txt"), "gone");
        const QString locked = WriteTestFile(tree + QStringLiteral("/sub/locked.txt"), untouched);
        const QString catalog = path(QStringLiteral("update.dat"));
        CLI_EXPECT_STATUS(scan({QStringLiteral("-o"), catalog, tree}), 0);
        const QStringList scanned = recordsOf(catalog);

        // One file changed (same size, a later date), one new, one deleted. The untouched one
        // cannot be read any more, and gets other bytes under its old date: only a digest taken
        // over from the catalog survives both.
        const QByteArray changedAfter = "change after!";
        QCOMPARE(changedAfter.size(), changedBefore.size());
        WriteTestFile(changed, changedAfter);
        QVERIFY(setModified(changed, QFileInfo(changed).lastModified().addSecs(120)));
        const QByteArray added = NoiseBytes(100'000, 7);
        WriteTestFile(tree + QStringLiteral("/sub/new.bin"), added);
        QVERIFY(QFile::remove(gone));
        const QDateTime lockedDate = QFileInfo(locked).lastModified();
        WriteTestFile(locked, "UNTOUCHED");
        QVERIFY(setModified(locked, lockedDate));
        QVERIFY(QFile::setPermissions(locked, {}));

        const TCliResult update = scan({QStringLiteral("--update"), QStringLiteral("-o"), catalog, tree});
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
        CLI_EXPECT_STATUS(update, 0);
        QCOMPARE(QString::fromUtf8(update.Out), QStringLiteral("gone\tu\\sub\\gone.txt\t%1\n"
                                                               "unchanged 2, changed 1, new 1, gone 1\n")
                                                    .arg(gone));
        QStringList expected = scanned;
        expected.replaceInStrings(Md5Hex(changedBefore), Md5Hex(changedAfter));
        expected << QStringLiteral("u\\sub\\|new.bin|100000|") + Md5Hex(added);
        QCOMPARE(recordsOf(catalog), expected);
        QVERIFY(recordsOf(catalog).contains(QStringLiteral("u\\sub\\|locked.txt|9|") + Md5Hex(untouched)));
        QCOMPARE(recordsOf(BackupFileName(catalog)), scanned);

        // --prune takes the record of the deleted file out; the rest is as it was.
        const TCliResult prune = scan(
            {QStringLiteral("--update"), QStringLiteral("--prune"), QStringLiteral("-o"), catalog, tree});
        CLI_EXPECT_STATUS(prune, 0);
        QCOMPARE(QString::fromUtf8(prune.Out),
                 QStringLiteral("gone\tu\\sub\\gone.txt\t%1\n"
                                "unchanged 4, changed 0, new 0, gone 1, removed 1\n")
                     .arg(gone));
        expected.removeIf([](const QString &r) { return r.contains(QStringLiteral("|gone.txt|")); });
        QCOMPARE(recordsOf(catalog), expected);

        // Nothing changed: the catalog and its backup stay as they are.
        const QByteArray saved = ReadWholeFile(catalog), backup = ReadWholeFile(BackupFileName(catalog));
        const TCliResult again = scan({QStringLiteral("--update"), QStringLiteral("-o"), catalog, tree});
        CLI_EXPECT_STATUS(again, 0);
        QCOMPARE(again.Out, QByteArray("unchanged 4, changed 0, new 0, gone 0\n"));
        QVERIFY2(again.Err.endsWith("scan: nothing changed, " + catalog.toUtf8() + " not written\n"),
                 again.Err);
        QCOMPARE(ReadWholeFile(catalog), saved);
        QCOMPARE(ReadWholeFile(BackupFileName(catalog)), backup);
    }

    void updatePutsNewFilesBesideTheirDirectorysRecords()
    {
        // The records of D/x live in a folder of the user's own; D/y has none in the catalog.
        const QString disk = path(QStringLiteral("place/D"));
        const QString old = WriteTestFile(disk + QStringLiteral("/x/old.txt"), "old");
        WriteTestFile(disk + QStringLiteral("/x/new.txt"), "new");
        WriteTestFile(disk + QStringLiteral("/y/other.txt"), "other");
        TCatalog catalog;
        TFolderNode *mine =
            catalog.AddFolder(catalog.AddFolder(nullptr, QStringLiteral("Mine")), QStringLiteral("Sorted"));
        AddTestRecord(catalog, mine, QStringLiteral("old.txt"), 3, QFileInfo(old).absolutePath() + u'/',
                      Md5Hex("old"));
        const QString file = path(QStringLiteral("place.dat"));
        SaveCatalog(catalog, file);

        const TCliResult run = scan({QStringLiteral("--update"), QStringLiteral("--into"),
                                     QStringLiteral("Base"), QStringLiteral("-o"), file, disk});
        CLI_EXPECT_STATUS(run, 0);
        // The record's date is not the file's, so it counts as changed and is digested again.
        QCOMPARE(run.Out, QByteArray("unchanged 0, changed 1, new 2, gone 0\n"));
        QCOMPARE(recordsOf(file), QStringList({"Mine\\Sorted\\|old.txt|3|" + Md5Hex("old"),
                                               "Mine\\Sorted\\|new.txt|3|" + Md5Hex("new"),
                                               "Base\\D\\y\\|other.txt|5|" + Md5Hex("other")}));
    }

    void updateOfNewFilesGivesWhatAPlainScanGives()
    {
        // Files where none is catalogued go where "Add folders" puts them, in the order its walk
        // meets them: hidden files, links to files and nested directories included, a link to a
        // directory not followed.
        const QString disk = path(QStringLiteral("fresh/Data"));
        for (int i = 0; i < 30; ++i)
            WriteTestFile(disk + QStringLiteral("/d%1/e%2/f%3.txt").arg(i % 3).arg(i % 2).arg(i),
                          QByteArray::number(i));
        WriteTestFile(disk + QStringLiteral("/.hidden/.file"), "hidden");
        QVERIFY(QFile::link(disk + QStringLiteral("/d0/e0/f0.txt"), disk + QStringLiteral("/link.txt")));
        QVERIFY(QFile::link(disk + QStringLiteral("/d1"), disk + QStringLiteral("/d2/back")));
        TCatalog catalog;
        AddTestRecord(catalog, catalog.AddFolder(nullptr, QStringLiteral("Other")), QStringLiteral("o.txt"),
                      1, QStringLiteral("/elsewhere/"), Md5Hex("o"));
        const QString updated = path(QStringLiteral("fresh-update.dat")),
                      scanned = path(QStringLiteral("fresh-scan.dat"));
        SaveCatalog(catalog, updated);
        SaveCatalog(catalog, scanned);

        const QStringList into{QStringLiteral("--into"), QStringLiteral("Home\\Disk")};
        const TCliResult update =
            scan(QStringList{QStringLiteral("--update"), QStringLiteral("-o"), updated, disk} + into);
        const TCliResult append =
            scan(QStringList{QStringLiteral("--append"), QStringLiteral("-o"), scanned, disk} + into);
        CLI_EXPECT_STATUS(update, 0);
        CLI_EXPECT_STATUS(append, 0);
        QCOMPARE(update.Out, QByteArray("unchanged 0, changed 0, new 32, gone 0\n"));
        QCOMPARE(recordsOf(updated).size(), 33);
        QCOMPARE(recordsOf(updated), recordsOf(scanned));
    }

    void updateNeedsTheCatalogAndNoAppend_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("error");
        QTest::newRow("no catalog file") << QStringList{QStringLiteral("--update")}
                                         << QStringLiteral("absent.dat: No such file or directory");
        QTest::newRow("with --append")
            << QStringList{QStringLiteral("--update"), QStringLiteral("--append")}
            << QStringLiteral("--update reads the catalog itself; --append does not go with it");
        QTest::newRow("--prune alone")
            << QStringList{QStringLiteral("--prune")} << QStringLiteral("--prune goes only with --update");
    }
    void updateNeedsTheCatalogAndNoAppend()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, error);
        const TCliResult run = scanIntoAbsent(words);
        CLI_EXPECT_STATUS(run, 2);
        QCOMPARE(QString::fromUtf8(run.Err), QStringLiteral("dravik-cli: %1\n").arg(error));
        QVERIFY(!QFile::exists(path(QStringLiteral("absent.dat"))));
    }

    void everyLevelWritesTheSameCatalog()
    {
        // Every length up to 300 bytes and some of several blocks, more files than the lanes
        // hold, so lanes end and take new files at every point of a block.
        QRandomGenerator random(32);
        for (int i = 0; i < 400; ++i) {
            const qsizetype size = i <= 300 ? i : random.bounded(300'000);
            WriteTestFile(path(QStringLiteral("levels/d%1/f%2.bin").arg(i % 3).arg(i)),
                          NoiseBytes(size, quint32(i)));
        }
        const QString tree = path(QStringLiteral("levels"));
        QByteArray first;
        for (TMd5Level level : Md5SupportedLevels()) {
            const QString name = QString::fromLatin1(Md5LevelName(level));
            const QString catalog = path(name + QStringLiteral(".dat"));
            CLI_EXPECT_STATUS(
                scan({QStringLiteral("--md5-level"), name, QStringLiteral("-o"), catalog, tree}), 0);
            if (first.isEmpty())
                first = ReadWholeFile(catalog);
            QVERIFY2(ReadWholeFile(catalog) == first, qPrintable(name));
        }
        // The variable forces a level as the option does.
        const QString byVariable = path(QStringLiteral("variable.dat"));
        CLI_EXPECT_STATUS(RunCliProcess({QStringLiteral("scan"), QStringLiteral("-o"), byVariable, tree}, {},
                                        {QStringLiteral("DRAVIK_MD5_LEVEL=single")}),
                          0);
        QCOMPARE(ReadWholeFile(byVariable), first);

        // And the digests are the files' own, as md5sum itself checks them.
        const QString list = path(QStringLiteral("levels.md5"));
        CLI_EXPECT_STATUS(
            RunCliProcess({QStringLiteral("export"), QStringLiteral("--md5sum"), byVariable, list}), 0);
        QProcess md5sum;
        md5sum.start(QStringLiteral("md5sum"), {QStringLiteral("-c"), QStringLiteral("--quiet"), list});
        QVERIFY(md5sum.waitForFinished(60'000));
        QCOMPARE(md5sum.exitCode(), 0);
        QCOMPARE(md5sum.readAllStandardOutput(), QByteArray());
    }

    void unknownLevelsAreRefused_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QString>("error");
        QTest::newRow("option") << QStringList{QStringLiteral("--md5-level"), QStringLiteral("fast")}
                                << QStringList()
                                << QStringLiteral(
                                       "--md5-level: unknown MD5 level \"fast\" (single, avx2 or avx512)");
        QTest::newRow("empty option")
            << QStringList{QStringLiteral("--md5-level=")} << QStringList()
            << QStringLiteral("--md5-level: unknown MD5 level \"\" (single, avx2 or avx512)");
        QTest::newRow("variable")
            << QStringList() << QStringList{QStringLiteral("DRAVIK_MD5_LEVEL=AVX2")}
            << QStringLiteral("DRAVIK_MD5_LEVEL: unknown MD5 level \"AVX2\" (single, avx2 or avx512)");
    }
    void unknownLevelsAreRefused()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, variables);
        QFETCH(QString, error);
        const TCliResult run = scanIntoAbsent(words, variables);
        CLI_EXPECT_STATUS(run, 2);
        QCOMPARE(QString::fromUtf8(run.Err), QStringLiteral("dravik-cli: %1\n").arg(error));
        QVERIFY(!QFile::exists(path(QStringLiteral("absent.dat"))));
    }

    // A catalog that looks complete but is not would be trusted: what the walk cannot catalogue is
    // named, counted and makes the status 1, while the rest is still saved; and an update does not
    // take a record for gone because its folder cannot be read.
    void scanSaysWhatItLeftOut()
    {
        const QString tree = path(QStringLiteral("left"));
        WriteTestFile(tree + QStringLiteral("/kept.txt"), "kept");
        const QString locked = tree + QStringLiteral("/locked");
        WriteTestFile(locked + QStringLiteral("/inside.txt"), "inside");
        const QByteArray odd = QFile::encodeName(tree) + "/odd\xff.txt";
        QVERIFY(::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        const TLongPathChain deep(tree);
        QVERIFY(deep.Complete());
        const QString catalog = path(QStringLiteral("left.dat"));
        const auto scanLocked = [&](const QStringList &words) {
            QFile::setPermissions(locked, {});
            const TCliResult run =
                RunCliProcess(QStringList{QStringLiteral("scan"), QStringLiteral("-o"), catalog} + words +
                                  QStringList{tree},
                              {}, {}, WithoutReadingEveryFolder);
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            return run;
        };
        const QByteArray counts = "dravik-cli: left out: 1 folder(s) that cannot be read, 1 name(s) that are "
                                  "not valid text, 1 path(s) too long\n";

        const TCliResult run = scanLocked({});
        CLI_EXPECT_STATUS(run, 1);
        const QString named =
            QStringLiteral("dravik-cli: %1/: folder cannot be read; its files were left out\n"
                           "dravik-cli: %2: name is not valid text; left out\n"
                           "dravik-cli: %3: path too long; left out\n")
                .arg(locked, tree + QStringLiteral("/odd\uFFFD.txt"), deep.FirstTooLong());
        QVERIFY2(run.Err.contains(named.toUtf8() + counts), run.Err);
        QCOMPARE(recordsOf(catalog), QStringList{QStringLiteral("left\\|kept.txt|4|") + Md5Hex("kept")});

        const TCliResult quiet = scanLocked({QStringLiteral("--quiet")});
        CLI_EXPECT_STATUS(quiet, 1);
        QVERIFY2(quiet.Err.startsWith(counts), quiet.Err);
        QVERIFY2(!quiet.Err.contains(QFile::encodeName(tree) + '/'), quiet.Err);

        // Read as a whole once, then updated while the folder is locked again: its record stays.
        CLI_EXPECT_STATUS(scan({QStringLiteral("-o"), catalog, tree}), 1);
        const TCliResult update = scanLocked({QStringLiteral("--update"), QStringLiteral("--prune")});
        CLI_EXPECT_STATUS(update, 1);
        QCOMPARE(update.Out, QByteArray("unchanged 1, changed 0, new 0, gone 0, removed 0\n"));
        QVERIFY2(update.Err.contains(counts), update.Err);
        QCOMPARE(recordsOf(catalog).size(), 2);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliScan)
#include "tst_cliscan.moc"
