// md5, scan and verify: the commands that read files on disk.

#include "CliTestKit.h"

#include <QTemporaryDir>
#include <cerrno>
#include <unistd.h>

namespace {

// "FolderPath|FileName|Size|RealPath|Md5" of every record, sorted: the order of files in a
// directory is the file system's.
QStringList recordsOf(const QString &catalogFile)
{
    QStringList records = RecordLines(catalogFile, {rfFolderPath, rfName, rfSize, rfRealPath, rfMd5});
    records.sort();
    return records;
}

} // namespace

class TestCliDisk : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The record line recordsOf gives for a file written with the content.
    QString recordLine(const QString &folderPath, const QString &file, const QByteArray &content) const
    {
        const QFileInfo info(path(file));
        return QStringLiteral("%1|%2|%3|%4/|%5")
            .arg(folderPath, info.fileName())
            .arg(content.size())
            .arg(info.absolutePath(), Md5Hex(content));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void md5PrintsAsMd5sumDoes()
    {
        // Sizes around the worker's block size; names that md5sum escapes.
        const QByteArray block = NoiseBytes(31744, 1), blockAndOne = NoiseBytes(31745, 2);
        WriteTestFile(path(QStringLiteral("m/empty")), {});
        WriteTestFile(path(QStringLiteral("m/block")), block);
        WriteTestFile(path(QStringLiteral("m/block+1")), blockAndOne);
        WriteTestFile(path(QStringLiteral("m/back\\slash")), "b");
        WriteTestFile(path(QStringLiteral("m/line\nbreak")), "n");
        const TCliResult run = RunCliProcess({QStringLiteral("md5"), QStringLiteral("m/empty"),
                                              QStringLiteral("m/block"), QStringLiteral("m/absent"),
                                              QStringLiteral("m/block+1"), QStringLiteral("m/back\\slash"),
                                              QStringLiteral("m/line\nbreak"), QStringLiteral("m")},
                                             m_dir.path());
        CLI_EXPECT_STATUS(run, 1);
        const QString expected =
            QStringLiteral("%1  m/empty\n"
                           "%2  m/block\n"
                           "%3  m/block+1\n"
                           "\\%4  m/back\\\\slash\n"
                           "\\%5  m/line\\nbreak\n")
                .arg(Md5Hex({}), Md5Hex(block), Md5Hex(blockAndOne), Md5Hex("b"), Md5Hex("n"));
        QCOMPARE(QString::fromUtf8(run.Out), expected);
        QCOMPARE(QString::fromUtf8(run.Err), QStringLiteral("dravik-cli: m/absent: %1\n"
                                                            "dravik-cli: m: %2\n")
                                                 .arg(qt_error_string(ENOENT), qt_error_string(EISDIR)));
    }

    void md5OfReadableFilesOnlySucceeds()
    {
        WriteTestFile(path(QStringLiteral("ok.txt")), "ok");
        const TCliResult run = RunCliProcess({QStringLiteral("md5"), path(QStringLiteral("ok.txt"))});
        CLI_EXPECT_STATUS(run, 0);
        QCOMPARE(QString::fromUtf8(run.Out),
                 Md5Hex("ok") + QStringLiteral("  ") + path(QStringLiteral("ok.txt")) + u'\n');
    }

    void scanAddsFolderStructuresDigestsAndSaves()
    {
        const QByteArray top = "top file", hidden = "hidden file", many = NoiseBytes(100000, 3);
        WriteTestFile(path(QStringLiteral("disk/Data/top.txt")), top);
        WriteTestFile(path(QStringLiteral("disk/Data/.hidden")), hidden);
        WriteTestFile(path(QStringLiteral("disk/Data/x/many.bin")), many);
        WriteTestFile(path(QStringLiteral("disk/Data/x/y/copy.txt")), top);
        QDir().mkpath(path(QStringLiteral("disk/Data/empty/deeper")));
        const QString catalog = path(QStringLiteral("scan.dat"));

        const TCliResult first =
            RunCliProcess({QStringLiteral("scan"), QStringLiteral("-o"), catalog, QStringLiteral("--into"),
                           QStringLiteral("Home"), QStringLiteral("disk/Data/")},
                          m_dir.path());
        CLI_EXPECT_STATUS(first, 0);
        QVERIFY(first.Out.isEmpty());
        // Not a terminal: plain lines, no carriage returns.
        QVERIFY2(first.Err.startsWith("scan: 4 files listed, "), first.Err);
        QVERIFY2(first.Err.contains("\nscan: 4 files digested, "), first.Err);
        QVERIFY2(first.Err.endsWith("scan: saved " + catalog.toUtf8() + ", 4 records\n"), first.Err);
        QVERIFY(!first.Err.contains('\r'));
        // Breadth first; a directory without files below it gives no folder.
        QCOMPARE(FolderPathsOf(catalog),
                 QStringList({"Home\\", "Home\\Data\\", "Home\\Data\\x\\", "Home\\Data\\x\\y\\"}));
        QStringList expected{
            recordLine(QStringLiteral("Home\\Data\\"), QStringLiteral("disk/Data/top.txt"), top),
            recordLine(QStringLiteral("Home\\Data\\"), QStringLiteral("disk/Data/.hidden"), hidden),
            recordLine(QStringLiteral("Home\\Data\\x\\"), QStringLiteral("disk/Data/x/many.bin"), many),
            recordLine(QStringLiteral("Home\\Data\\x\\y\\"), QStringLiteral("disk/Data/x/y/copy.txt"), top)};
        expected.sort();
        QCOMPARE(recordsOf(catalog), expected);

        // --append: the catalog is read first. Folders are reused only when their names match
        // exactly: another disk folder Data joins Home\Data\, one named data gets a folder of its own.
        WriteTestFile(path(QStringLiteral("disk2/Data/more.txt")), "more");
        WriteTestFile(path(QStringLiteral("disk2/data/lower.txt")), "lower");
        const TCliResult second =
            RunCliProcess({QStringLiteral("scan"), QStringLiteral("--append"),
                           QStringLiteral("--into=Home\\"), QStringLiteral("-o"), catalog,
                           path(QStringLiteral("disk2/Data")), path(QStringLiteral("disk2/data"))});
        CLI_EXPECT_STATUS(second, 0);
        QStringList appended = expected;
        appended << recordLine(QStringLiteral("Home\\Data\\"), QStringLiteral("disk2/Data/more.txt"), "more")
                 << recordLine(QStringLiteral("Home\\data\\"), QStringLiteral("disk2/data/lower.txt"),
                               "lower");
        appended.sort();
        QCOMPARE(recordsOf(catalog), appended);
        QCOMPARE(FolderPathsOf(catalog), QStringList({"Home\\", "Home\\Data\\", "Home\\Data\\x\\",
                                                      "Home\\Data\\x\\y\\", "Home\\data\\"}));
        QCOMPARE(recordsOf(path(QStringLiteral("scan.bak"))), expected);

        // Without --append the catalog starts empty and the folder becomes a root folder; the one
        // before is kept as the backup.
        const TCliResult third = RunCliProcess(
            {QStringLiteral("scan"), QStringLiteral("-o"), catalog, path(QStringLiteral("disk2/data"))});
        CLI_EXPECT_STATUS(third, 0);
        QCOMPARE(recordsOf(catalog),
                 QStringList{
                     recordLine(QStringLiteral("data\\"), QStringLiteral("disk2/data/lower.txt"), "lower")});
        QCOMPARE(recordsOf(path(QStringLiteral("scan.bak"))), appended);
    }

    void scanRefusesBadFoldersBeforeTouchingTheCatalog_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::newRow("absent folder") << QStringList{QStringLiteral("absent")} << 2
                                       << QStringLiteral("absent: ") + qt_error_string(ENOENT);
        QTest::newRow("a file") << QStringList{QStringLiteral("plain.txt")} << 2
                                << QStringLiteral("plain.txt: ") + qt_error_string(ENOTDIR);
        QTest::newRow("empty name in --into")
            << QStringList{QStringLiteral("--into"), QStringLiteral("Home\\\\x"), QStringLiteral("nothing")}
            << 2 << QStringLiteral("Home\\\\x: not a catalog folder path such as Home\\Photos\\");
        // Saving a catalog without folders would only move the previous file away.
        QTest::newRow("no files below") << QStringList{QStringLiteral("nothing")} << 1
                                        << QStringLiteral("keep.dat: no files found, nothing saved");
    }
    void scanRefusesBadFoldersBeforeTouchingTheCatalog()
    {
        QFETCH(QStringList, words);
        QFETCH(int, status);
        QFETCH(QString, error);
        QDir().mkpath(path(QStringLiteral("nothing/below")));
        WriteTestFile(path(QStringLiteral("plain.txt")), "plain");
        const QByteArray kept = "previous catalog file";
        WriteTestFile(path(QStringLiteral("keep.dat")), kept);
        const TCliResult run = RunCliProcess(
            QStringList{QStringLiteral("scan"), QStringLiteral("-o"), QStringLiteral("keep.dat")} + words,
            m_dir.path());
        CLI_EXPECT_STATUS(run, status);
        QVERIFY2(QString::fromUtf8(run.Err).endsWith(QStringLiteral("dravik-cli: %1\n").arg(error)), run.Err);
        QCOMPARE(ReadWholeFile(path(QStringLiteral("keep.dat"))), kept);
        QVERIFY(!QFile::exists(path(QStringLiteral("keep.bak"))));
    }

    void filesThatCannotBeReadAreReported()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser reads every file");
        const QString locked = WriteTestFile(path(QStringLiteral("locked/secret.txt")), "secret");
        WriteTestFile(path(QStringLiteral("locked/open.txt")), "open");
        QVERIFY(QFile::setPermissions(locked, {}));
        const QString catalog = path(QStringLiteral("locked.dat"));
        const TCliResult run = RunCliProcess(
            {QStringLiteral("scan"), QStringLiteral("-o"), catalog, path(QStringLiteral("locked"))});
        // verify cannot tell whether such a file changed: an error of its own, and status 1.
        TCatalog digested;
        AddTestRecord(digested, digested.AddFolder(nullptr, QStringLiteral("L")),
                      QStringLiteral("secret.txt"), 6, path(QStringLiteral("locked/")), Md5Hex("secret"));
        SaveCatalog(digested, path(QStringLiteral("digested.dat")));
        const TCliResult check =
            RunCliProcess({QStringLiteral("verify"), path(QStringLiteral("digested.dat"))});
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
        CLI_EXPECT_STATUS(check, 1);
        QCOMPARE(QString::fromUtf8(check.Out),
                 QStringLiteral("unreadable\tL\\secret.txt\t%1\nchecked 1, corrupt 0, edited 0, missing 0, "
                                "offline 0, unreadable 1, without digest 0, without real path 0\n")
                     .arg(locked));
        QCOMPARE(QString::fromUtf8(check.Err),
                 QStringLiteral("dravik-cli: %1: %2\n").arg(locked, qt_error_string(EACCES)));
        CLI_EXPECT_STATUS(run, 1);
        QVERIFY2(
            run.Err.contains("dravik-cli: " + locked.toUtf8() + ": cannot be read; saved without digest\n"),
            run.Err);
        QStringList expected{
            recordLine(QStringLiteral("locked\\"), QStringLiteral("locked/open.txt"), "open"),
            recordLine(QStringLiteral("locked\\"), QStringLiteral("locked/secret.txt"), "secret")};
        expected[1].replace(Md5Hex("secret"), QString());
        QCOMPARE(recordsOf(catalog), expected);
    }

    void verifyReportsMissingEditedAndUndigestedFiles()
    {
        const QString dir = path(QStringLiteral("v"));
        WriteTestFile(dir + QStringLiteral("/keep.txt"), "keep");
        const QString gone = WriteTestFile(dir + QStringLiteral("/gone.txt"), "gone");
        const QString changed = WriteTestFile(dir + QStringLiteral("/changed.txt"), "before");
        WriteTestFile(dir + QStringLiteral("/upper.txt"), "upper");
        WriteTestFile(dir + QStringLiteral("/nodigest.txt"), "none");
        const QString real = dir + u'/';
        TCatalog catalog;
        TFolderNode *v = catalog.AddFolder(nullptr, QStringLiteral("V"));
        TFolderNode *w = catalog.AddFolder(v, QStringLiteral("W"));
        AddTestRecord(catalog, v, QStringLiteral("keep.txt"), 4, real, Md5Hex("keep"));
        AddTestRecord(catalog, v, QStringLiteral("gone.txt"), 4, real, Md5Hex("gone"));
        AddTestRecord(catalog, v, QStringLiteral("changed.txt"), 6, real, Md5Hex("before"));
        AddTestRecord(catalog, v, QStringLiteral("nowhere.txt"), 1, QString(), Md5Hex("x"));
        // A digest in upper case names the same content.
        AddTestRecord(catalog, w, QStringLiteral("upper.txt"), 5, real, Md5Hex("upper").toUpper());
        AddTestRecord(catalog, w, QStringLiteral("nodigest.txt"), 4, real, QString());
        AddTestRecord(catalog, w, QStringLiteral("gone too.txt"), 4, real, QString());
        const QString file = path(QStringLiteral("verify.dat"));
        SaveCatalog(catalog, file);
        const QByteArray saved = ReadWholeFile(file);
        QVERIFY(QFile::remove(gone));
        WriteTestFile(changed, "after!"); // same size, other content

        const TCliResult run = RunCliProcess({QStringLiteral("verify"), file});
        CLI_EXPECT_STATUS(run, 1);
        QCOMPARE(QString::fromUtf8(run.Out),
                 QStringLiteral("edited\tV\\changed.txt\t%1changed.txt\n"
                                "missing\tV\\gone.txt\t%1gone.txt\n"
                                "missing\tV\\W\\gone too.txt\t%1gone too.txt\n"
                                "nodigest\tV\\W\\nodigest.txt\t%1nodigest.txt\n"
                                "checked 6, corrupt 0, edited 1, missing 2, offline 0, unreadable 0, "
                                "without digest 1, without real path 1\n")
                     .arg(real));
        QVERIFY(run.Err.isEmpty());

        const TCliResult quick =
            RunCliProcess({QStringLiteral("verify"), QStringLiteral("--no-digest"), file});
        CLI_EXPECT_STATUS(quick, 1);
        QCOMPARE(QString::fromUtf8(quick.Out),
                 QStringLiteral("missing\tV\\gone.txt\t%1gone.txt\n"
                                "missing\tV\\W\\gone too.txt\t%1gone too.txt\n"
                                "nodigest\tV\\W\\nodigest.txt\t%1nodigest.txt\n"
                                "checked 6, corrupt 0, edited 0, missing 2, offline 0, unreadable 0, "
                                "without digest 1, without real path 1\n")
                     .arg(real));

        // Verifying never writes the catalog.
        QCOMPARE(ReadWholeFile(file), saved);
        QVERIFY(!QFile::exists(path(QStringLiteral("verify.bak"))));
    }

    void verifyOfAnIntactCatalogSucceeds()
    {
        const QString file = WriteTestFile(path(QStringLiteral("intact/a.txt")), "a");
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("I"));
        AddTestRecord(catalog, folder, QStringLiteral("a.txt"), 1, QFileInfo(file).absolutePath() + u'/',
                      Md5Hex("a"));
        AddTestRecord(catalog, folder, QStringLiteral("b.txt"), 1, QString(), QString());
        SaveCatalog(catalog, path(QStringLiteral("intact.dat")));
        const TCliResult run = RunCliProcess({QStringLiteral("verify"), path(QStringLiteral("intact.dat"))});
        CLI_EXPECT_STATUS(run, 0);
        QCOMPARE(run.Out, QByteArray("checked 1, corrupt 0, edited 0, missing 0, offline 0, unreadable 0, "
                                     "without digest 0, without real path 1\n"));
    }

    void verifyTellsCorruptionFromEditsAndNamesEachClassInItsOrder()
    {
        const QString dir = path(QStringLiteral("classes"));
        const QDateTime catalogued(QDate(2008, 3, 15), QTime(14, 5, 59)); // AddTestRecord's date
        const auto writeDated = [&](const QString &name, const QByteArray &content) {
            QFile file(WriteTestFile(dir + u'/' + name, content));
            QVERIFY(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(catalogued, QFileDevice::FileModificationTime));
        };
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("C"));
        const QString real = dir + u'/';
        // In catalog order other than the order of the findings.
        for (const char *name : {"unreadable.jpg", "ok.jpg", "deleted.jpg", "edited.jpg", "corrupt.jpg"}) {
            writeDated(QLatin1String(name), name);
            AddTestRecord(catalog, folder, QLatin1String(name), qint64(qstrlen(name)), real, Md5Hex(name));
        }
        // Below a removable drive that is not plugged in: media/USER is there, the volume is not.
        QDir().mkpath(dir + QStringLiteral("/root/media/ann"));
        AddTestRecord(catalog, folder, QStringLiteral("away.jpg"), 8,
                      dir + QStringLiteral("/root/media/ann/usb/"), Md5Hex("away.jpg"));
        const QString file = path(QStringLiteral("classes.dat"));
        SaveCatalog(catalog, file);

        WriteTestFile(real + QStringLiteral("edited.jpg"), "edited.jpg, retouched"); // dated now
        writeDated(QStringLiteral("corrupt.jpg"), "corrupt.jpG");                    // one byte flipped
        QVERIFY(QFile::remove(real + QStringLiteral("deleted.jpg")));
        QVERIFY(QFile::setPermissions(real + QStringLiteral("unreadable.jpg"), {}));

        const TCliResult run =
            RunCliProcess({QStringLiteral("verify"), file}, {},
                          {QStringLiteral("DRAVIK_TEST_VOLUME_ROOT=") + dir + QStringLiteral("/root")},
                          WithoutReadingEveryFolder);
        CLI_EXPECT_STATUS(run, 1);
        QCOMPARE(QString::fromUtf8(run.Out),
                 QStringLiteral("corrupt\tC\\corrupt.jpg\t%1corrupt.jpg\n"
                                "edited\tC\\edited.jpg\t%1edited.jpg\n"
                                "missing\tC\\deleted.jpg\t%1deleted.jpg\n"
                                "offline\tC\\away.jpg\t%1root/media/ann/usb/away.jpg\n"
                                "unreadable\tC\\unreadable.jpg\t%1unreadable.jpg\n"
                                "checked 5, corrupt 1, edited 1, missing 1, offline 1, unreadable 1, "
                                "without digest 0, without real path 0\n")
                     .arg(real));
        QCOMPARE(QString::fromUtf8(run.Err),
                 QStringLiteral("dravik-cli: %1unreadable.jpg: %2\n").arg(real, qt_error_string(EACCES)));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliDisk)
#include "tst_clidisk.moc"
