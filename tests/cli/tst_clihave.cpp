// have: files looked up in the catalog by digest; verify: drives that are not plugged in.

#include "CliTestKit.h"

#include <QTemporaryDir>

class TestCliHave : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void haveTellsWhereFilesAreCataloguedAndWhichAreNew()
    {
        // One file of the card is catalogued twice, under other names; the other two are new.
        WriteTestFile(path(QStringLiteral("card/DCIM/one.jpg")), "first picture");
        WriteTestFile(path(QStringLiteral("card/DCIM/two.jpg")), "second picture");
        WriteTestFile(path(QStringLiteral("card/three.jpg")), "third picture");
        TCatalog catalog;
        TFolderNode *holiday = catalog.AddFolder(nullptr, QStringLiteral("Holiday"));
        TFolderNode *backup = catalog.AddFolder(nullptr, QStringLiteral("Backup"));
        AddTestRecord(catalog, holiday, QStringLiteral("IMG_0001.jpg"), 13, QStringLiteral("/old/"),
                      Md5Hex("first picture").toUpper());
        AddTestRecord(catalog, holiday, QStringLiteral("other.jpg"), 5, QStringLiteral("/old/"),
                      Md5Hex("other"));
        AddTestRecord(catalog, backup, QStringLiteral("copy.jpg"), 13, QString(), Md5Hex("first picture"));
        const QString file = path(QStringLiteral("have.dat"));
        SaveCatalog(catalog, file);

        const TCliResult run =
            RunCliProcess({QStringLiteral("have"), file, QStringLiteral("card")}, m_dir.path());
        CLI_EXPECT_STATUS(run, 1);
        // Files in the order the walk meets them: the folder's own, then its sub-folders'.
        const QList<QByteArray> lines = run.Out.split('\n');
        QCOMPARE(lines.first(), QByteArray("new\tcard/three.jpg"));
        QCOMPARE(SortedLines(run.Out), QList<QByteArray>({"have\tcard/DCIM/one.jpg\tBackup\\copy.jpg",
                                                          "have\tcard/DCIM/one.jpg\tHoliday\\IMG_0001.jpg",
                                                          "new\tcard/DCIM/two.jpg", "new\tcard/three.jpg"}));
        QVERIFY(run.Out.contains("have\tcard/DCIM/one.jpg\tHoliday\\IMG_0001.jpg\n"
                                 "have\tcard/DCIM/one.jpg\tBackup\\copy.jpg\n"));
        QVERIFY(run.Err.isEmpty());

        const TCliResult newOnly = RunCliProcess(
            {QStringLiteral("have"), QStringLiteral("--new-only"), file, QStringLiteral("card")},
            m_dir.path());
        CLI_EXPECT_STATUS(newOnly, 1);
        QCOMPARE(SortedLines(newOnly.Out), QList<QByteArray>({"card/DCIM/two.jpg", "card/three.jpg"}));

        // Every file catalogued: status 0. A path that is not there is said so, and counts.
        const TCliResult known =
            RunCliProcess({QStringLiteral("have"), file, path(QStringLiteral("card/DCIM/one.jpg"))});
        CLI_EXPECT_STATUS(known, 0);
        const TCliResult absent =
            RunCliProcess({QStringLiteral("have"), QStringLiteral("--new-only"), file,
                           QStringLiteral("card/DCIM/one.jpg"), QStringLiteral("card/none.jpg")},
                          m_dir.path());
        CLI_EXPECT_STATUS(absent, 1);
        QVERIFY(absent.Out.isEmpty());
        QCOMPARE(absent.Err, QByteArray("dravik-cli: card/none.jpg: No such file or directory\n"));
    }

    // The README's recipe copies the new files of a card with xargs: a name with a line break
    // must stay one path, escaped on its one line, whole between NULs with -0.
    void newPathsWithLineBreaksStayWhole()
    {
        WriteTestFile(path(QStringLiteral("breaks/two\nlines.jpg")), "new picture");
        WriteTestFile(path(QStringLiteral("breaks/plain.jpg")), "another new picture");
        const QString file = path(QStringLiteral("breaks.dat"));
        TCatalog catalog;
        AddTestRecord(catalog, catalog.AddFolder(nullptr, QStringLiteral("Old")), QStringLiteral("old.jpg"),
                      3, QString(), Md5Hex("old"));
        SaveCatalog(catalog, file);

        const QStringList words{QStringLiteral("have"), QStringLiteral("--new-only"), file,
                                QStringLiteral("breaks")};
        const TCliResult lines = RunCliProcess(words, m_dir.path());
        CLI_EXPECT_STATUS(lines, 1);
        QCOMPARE(lines.Out, QByteArray("breaks/plain.jpg\n\\breaks/two\\nlines.jpg\n"));
        const TCliResult nul = RunCliProcess(words + QStringList{QStringLiteral("-0")}, m_dir.path());
        CLI_EXPECT_STATUS(nul, 1);
        QCOMPARE(nul.Out.split('\0'), QList<QByteArray>({"breaks/plain.jpg", "breaks/two\nlines.jpg", ""}));
    }

    void verifyTellsOfflineDrivesFromMissingFiles()
    {
        // A temporary folder stands in for the root that holds mnt, media and run/media.
        const QString root = path(QStringLiteral("root"));
        QDir().mkpath(root + QStringLiteral("/mnt/empty"));
        WriteTestFile(root + QStringLiteral("/mnt/plain/kept.txt"), "kept");
        WriteTestFile(root + QStringLiteral("/run/media/ann/stick/here.txt"), "here");
        WriteTestFile(path(QStringLiteral("elsewhere/kept.txt")), "kept");
        TCatalog catalog;
        TFolderNode *drives = catalog.AddFolder(nullptr, QStringLiteral("Drives"));
        auto add = [&](const QString &name, const QString &realPath, const QByteArray &content) {
            AddTestRecord(catalog, drives, name, content.size(), realPath + u'/', Md5Hex(content));
        };
        add(QStringLiteral("photo.jpg"), root + QStringLiteral("/mnt/usb/DCIM"), "photo"); // not there
        add(QStringLiteral("x.txt"), root + QStringLiteral("/mnt/empty"), "x");            // empty, no mount
        add(QStringLiteral("gone.txt"), root + QStringLiteral("/mnt/plain"), "gone");      // a plain folder
        add(QStringLiteral("a.txt"), root + QStringLiteral("/media/ann/disk"), "a");       // not there
        add(QStringLiteral("here.txt"), root + QStringLiteral("/run/media/ann/stick"), "here"); // plugged in
        add(QStringLiteral("lost.txt"), root + QStringLiteral("/run/media/ann/stick"),
            "lost");                                                                  // gone from it
        add(QStringLiteral("nowhere.txt"), root + QStringLiteral("/mnt"), "nowhere"); // no volume name
        add(QStringLiteral("kept.txt"), path(QStringLiteral("elsewhere")), "kept");
        const QString file = path(QStringLiteral("drives.dat"));
        SaveCatalog(catalog, file);
        const QStringList standIn{QStringLiteral("DRAVIK_TEST_VOLUME_ROOT=") + root};

        const TCliResult run = RunCliProcess({QStringLiteral("verify"), file}, {}, standIn);
        CLI_EXPECT_STATUS(run, 1);
        QCOMPARE(QString::fromUtf8(run.Out),
                 QStringLiteral("missing\tDrives\\gone.txt\t%1/mnt/plain/gone.txt\n"
                                "missing\tDrives\\lost.txt\t%1/run/media/ann/stick/lost.txt\n"
                                "missing\tDrives\\nowhere.txt\t%1/mnt/nowhere.txt\n"
                                "offline\tDrives\\photo.jpg\t%1/mnt/usb/DCIM/photo.jpg\n"
                                "offline\tDrives\\x.txt\t%1/mnt/empty/x.txt\n"
                                "offline\tDrives\\a.txt\t%1/media/ann/disk/a.txt\n"
                                "checked 5, corrupt 0, edited 0, missing 3, offline 3, unreadable 0, "
                                "without digest 0, without real path 0\n")
                     .arg(root));

        // Offline records alone make no finding; --only-present leaves them out altogether.
        TCatalog offlineOnly;
        TFolderNode *usb = offlineOnly.AddFolder(nullptr, QStringLiteral("USB"));
        AddTestRecord(offlineOnly, usb, QStringLiteral("photo.jpg"), 5, root + QStringLiteral("/mnt/usb/"),
                      Md5Hex("photo"));
        AddTestRecord(offlineOnly, usb, QStringLiteral("kept.txt"), 4, path(QStringLiteral("elsewhere/")),
                      Md5Hex("kept"));
        SaveCatalog(offlineOnly, path(QStringLiteral("usb.dat")));
        const TCliResult quiet =
            RunCliProcess({QStringLiteral("verify"), path(QStringLiteral("usb.dat"))}, {}, standIn);
        CLI_EXPECT_STATUS(quiet, 0);
        QCOMPARE(QString::fromUtf8(quiet.Out),
                 QStringLiteral("offline\tUSB\\photo.jpg\t%1/mnt/usb/photo.jpg\n"
                                "checked 1, corrupt 0, edited 0, missing 0, offline 1, unreadable 0, "
                                "without digest 0, without real path 0\n")
                     .arg(root));
        const TCliResult present = RunCliProcess(
            {QStringLiteral("verify"), QStringLiteral("--only-present"), path(QStringLiteral("usb.dat"))}, {},
            standIn);
        CLI_EXPECT_STATUS(present, 0);
        QCOMPARE(present.Out, QByteArray("checked 1, corrupt 0, edited 0, missing 0, unreadable 0, "
                                         "without digest 0, without real path 0\n"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliHave)
#include "tst_clihave.moc"
