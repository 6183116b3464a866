// dump, dups, find and export on catalogs saved by the test, and what every command does with a
// catalog it cannot read or words it does not know.

#include "CliTestKit.h"

#include <QTemporaryDir>
#include <cerrno>

namespace {

const QString DigestA = Md5Hex("A");
const QString DigestB = Md5Hex("B");
const QString DigestC = Md5Hex("C");
const QString DigestD = Md5Hex("D");

} // namespace

class TestCliCatalogs : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString save(const TCatalog &catalog, const QString &name)
    {
        const QString file = path(name);
        SaveCatalog(catalog, file);
        return file;
    }

    // Collected in the order A1 B1 A2 B2 a3 A3 C D1 D2, with a3 carrying A's digest in upper case.
    QString duplicatesCatalog()
    {
        TCatalog catalog;
        TFolderNode *r = catalog.AddFolder(nullptr, QStringLiteral("R"));
        TFolderNode *s = catalog.AddFolder(r, QStringLiteral("S"));
        TFolderNode *t = catalog.AddFolder(nullptr, QStringLiteral("T"));
        TFolderNode *u = catalog.AddFolder(nullptr, QStringLiteral("U"));
        AddTestRecord(catalog, r, QStringLiteral("A1"), 1, QStringLiteral("/r/"), DigestA);
        AddTestRecord(catalog, r, QStringLiteral("B1"), 2, QStringLiteral("/r/"), DigestB);
        AddTestRecord(catalog, s, QStringLiteral("A2"), 1, QString(), DigestA);
        AddTestRecord(catalog, s, QStringLiteral("B2"), 2, QStringLiteral("/s/"), DigestB);
        AddTestRecord(catalog, s, QStringLiteral("a3"), 1, QStringLiteral("/s/"), DigestA.toUpper());
        AddTestRecord(catalog, s, QStringLiteral("pending"), 1, QStringLiteral("/s/"), QString());
        AddTestRecord(catalog, t, QStringLiteral("A3"), 1, QStringLiteral("/t/"), DigestA);
        AddTestRecord(catalog, t, QStringLiteral("C"), 3, QStringLiteral("/t/"), DigestC);
        AddTestRecord(catalog, u, QStringLiteral("D1"), 4, QStringLiteral("/u/"), DigestD);
        AddTestRecord(catalog, u, QStringLiteral("D2"), 4, QStringLiteral("/u/"), DigestD);
        return save(catalog, QStringLiteral("dups.dat"));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void dumpListsFoldersInPreOrderWithTheirRecordsInUtf8()
    {
        // Latin-1 names go into the file as they are, the others as character references; both
        // must come out as the same UTF-8.
        TCatalog catalog;
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *fotos = catalog.AddFolder(home, QStringLiteral("Fotos Müller"));
        TFolderNode *photo = catalog.AddFolder(fotos, QStringLiteral("Фото"));
        catalog.AddFolder(home, QStringLiteral("Empty"));
        TFolderNode *kanji = catalog.AddFolder(nullptr, QStringLiteral("写真"));
        AddTestRecord(catalog, home, QStringLiteral("a.txt"), 12, QStringLiteral("/data/"), DigestA,
                      QStringLiteral("first"));
        AddTestRecord(catalog, home, QStringLiteral("b c.txt"), 0, QString(), QString(),
                      QStringLiteral("semi;colon"));
        AddTestRecord(catalog, fotos, QStringLiteral("Bild ä.jpg"), 5000000000, QStringLiteral("/mnt/fotos/"),
                      DigestB);
        AddTestRecord(catalog, photo, QStringLiteral("снимок.png"), 7, QStringLiteral("/фото/"), DigestC,
                      QStringLiteral("日本"));
        AddTestRecord(catalog, kanji, QStringLiteral("x"), -1, QStringLiteral("/gone/"), QString());
        const QString file = save(catalog, QStringLiteral("dump.dat"));

        const TCliResult run = RunCliProcess({QStringLiteral("dump"), file});
        CLI_EXPECT_STATUS(run, 0);
        const QString date = QLatin1String(TestDateText);
        const QString expected = QStringLiteral("D\tHome\\\n"
                                                "F\ta.txt\t12\t%1\t/data/\t%2\tfirst\n"
                                                "F\tb c.txt\t0\t%1\t\t\tsemi;colon\n"
                                                "D\tHome\\Fotos Müller\\\n"
                                                "F\tBild ä.jpg\t5000000000\t%1\t/mnt/fotos/\t%3\t\n"
                                                "D\tHome\\Fotos Müller\\Фото\\\n"
                                                "F\tснимок.png\t7\t%1\t/фото/\t%4\t日本\n"
                                                "D\tHome\\Empty\\\n"
                                                "D\t写真\\\n"
                                                "F\tx\t-1\t%1\t/gone/\t\t\n")
                                     .arg(date, DigestA, DigestB, DigestC);
        QCOMPARE(QString::fromUtf8(run.Out), expected);
        QVERIFY(run.Err.isEmpty());
    }

    // Scripts read one result a line: a name holding a line break must not split its record, and
    // with -0 the records come whole between NULs, as xargs -0 splits them.
    void namesWithLineBreaksStayOneResult()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Two\nlines"));
        AddTestRecord(catalog, folder, QStringLiteral("a\\b\r\nc.txt"), 1, QStringLiteral("/x/"), DigestA);
        const QString file = save(catalog, QStringLiteral("breaks.dat"));
        const QString date = QLatin1String(TestDateText);

        const TCliResult dump = RunCliProcess({QStringLiteral("dump"), file});
        CLI_EXPECT_STATUS(dump, 0);
        QCOMPARE(QString::fromUtf8(dump.Out), QStringLiteral("\\D\tTwo\\nlines\\\\\n"
                                                             "\\F\ta\\\\b\\r\\nc.txt\t1\t%1\t/x/\t%2\t\n")
                                                  .arg(date, DigestA));
        const TCliResult dumpNul = RunCliProcess({QStringLiteral("dump"), QStringLiteral("-0"), file});
        CLI_EXPECT_STATUS(dumpNul, 0);
        QCOMPARE(dumpNul.Out.split('\0'),
                 QList<QByteArray>(
                     {"D\tTwo\nlines\\",
                      QStringLiteral("F\ta\\b\r\nc.txt\t1\t%1\t/x/\t%2\t").arg(date, DigestA).toUtf8(), ""}));

        const TCliResult find = RunCliProcess({QStringLiteral("find"), file, DigestA});
        CLI_EXPECT_STATUS(find, 0);
        QCOMPARE(find.Out, QByteArray("\\Two\\nlines\\\\a\\\\b\\r\\nc.txt\n"));
        const TCliResult findNul =
            RunCliProcess({QStringLiteral("find"), QStringLiteral("--null"), file, DigestA});
        CLI_EXPECT_STATUS(findNul, 0);
        QCOMPARE(findNul.Out, QByteArray("Two\nlines\\a\\b\r\nc.txt") + '\0');
    }

    void dupsNumbersSetsAsTheDuplicatesWindow_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected");
        // Sets follow their first record; members keep collection order; a digest in upper case is
        // another digest.
        QTest::newRow("whole catalog") << QStringList()
                                       << QStringLiteral("Set 1\t{A}\n"
                                                         "\tR\\\tA1\t1\t/r/\n"
                                                         "\tR\\S\\\tA2\t1\t\n"
                                                         "\tT\\\tA3\t1\t/t/\n"
                                                         "Set 2\t{B}\n"
                                                         "\tR\\\tB1\t2\t/r/\n"
                                                         "\tR\\S\\\tB2\t2\t/s/\n"
                                                         "Set 3\t{D}\n"
                                                         "\tU\\\tD1\t4\t/u/\n"
                                                         "\tU\\\tD2\t4\t/u/\n");
        // One folder alone: its own records only, numbered from 1.
        QTest::newRow("folder with a set") << QStringList{QStringLiteral("--folder"), QStringLiteral("U\\")}
                                           << QStringLiteral("Set 1\t{D}\n"
                                                             "\tU\\\tD1\t4\t/u/\n"
                                                             "\tU\\\tD2\t4\t/u/\n");
        QTest::newRow("sets across folders only")
            << QStringList{QStringLiteral("--folder=R\\S")} << QStringLiteral("No duplicate files found.\n");
    }
    void dupsNumbersSetsAsTheDuplicatesWindow()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        const TCliResult run =
            RunCliProcess(QStringList{QStringLiteral("dups"), duplicatesCatalog()} + options);
        CLI_EXPECT_STATUS(run, 0);
        expected.replace(QStringLiteral("{A}"), DigestA).replace(QStringLiteral("{B}"), DigestB);
        QCOMPARE(QString::fromUtf8(run.Out), expected.replace(QStringLiteral("{D}"), DigestD));
    }

    void dupsRefusesAFolderThatIsNotThere()
    {
        // Names match exactly, as "Add folders" matches them: "r" is not "R".
        const TCliResult run =
            RunCliProcess({QStringLiteral("dups"), duplicatesCatalog(), QStringLiteral("--folder"), "r\\"});
        CLI_EXPECT_STATUS(run, 2);
        QVERIFY(run.Out.isEmpty());
        QCOMPARE(run.Err, QByteArray("dravik-cli: r\\: no such folder in the registry\n"));
    }

    void findPrintsTheFirstRecordWithTheCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QString spaced = DigestB.toUpper();
        for (int i = 28; i > 0; i -= 4)
            spaced.insert(i, u' ');
        QTest::newRow("upper case in groups") << spaced << 0 << QStringLiteral("R\\B1\n");
        // A3 and a3 come later in pre-order; the stored upper-case digest never matches.
        QTest::newRow("first of several") << DigestA.toUpper() << 0 << QStringLiteral("R\\A1\n");
        QTest::newRow("in a later folder") << QStringLiteral(" ") + DigestD << 0 << QStringLiteral("U\\D1\n");
        QTest::newRow("31 characters")
            << DigestA.left(31) << 1
            << QStringLiteral("The code you entered is not a MD5 valid code, please try again.\n");
        QTest::newRow("33 characters")
            << DigestA + u'0' << 1
            << QStringLiteral("The code you entered is not a MD5 valid code, please try again.\n");
        QTest::newRow("not in the catalog")
            << Md5Hex("E") << 1 << QStringLiteral("MD5 code not found in the registry.\n");
        QTest::newRow("32 characters, not hexadecimal")
            << QString(32, u'z') << 1 << QStringLiteral("MD5 code not found in the registry.\n");
    }
    void findPrintsTheFirstRecordWithTheCode()
    {
        QFETCH(QString, code);
        QFETCH(int, status);
        QFETCH(QString, output);
        const TCliResult run = RunCliProcess({QStringLiteral("find"), duplicatesCatalog(), code});
        CLI_EXPECT_STATUS(run, status);
        QCOMPARE(QString::fromUtf8(run.Out), output);
    }

    void exportWritesTheWindowsCsv()
    {
        TCatalog catalog;
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = catalog.AddFolder(home, QStringLiteral("Photos"));
        catalog.AddFolder(nullptr, QStringLiteral("Empty"));
        AddTestRecord(catalog, home, QStringLiteral("a.txt"), 12, QStringLiteral("/data/"), DigestA,
                      QStringLiteral("x;y"));
        AddTestRecord(catalog, photos, QStringLiteral("p.jpg"), 3, QString(), QString());
        const QString file = save(catalog, QStringLiteral("export.dat"));
        const QString csv = path(QStringLiteral("out.csv"));
        WriteTestFile(csv, "old content that must go");

        const TCliResult run = RunCliProcess({QStringLiteral("export"), file, csv});
        CLI_EXPECT_STATUS(run, 0);
        QVERIFY(run.Out.isEmpty());
        // The catalog file keeps the time to the minute.
        const QString date = LocaleDateTimeText(ParseDateText(QLatin1String(TestDateText)));
        const QString expected =
            QStringLiteral("MD5 code;Path;Filename;Size;File date/time;Comments;Real file path;\r\n"
                           "%1;Home\\;a.txt;12;%2;\"x;y\";/data/;\r\n"
                           ";Home\\Photos\\;p.jpg;3;%2;;;\r\n")
                .arg(DigestA, date);
        QCOMPARE(QString::fromLocal8Bit(ReadWholeFile(csv)), expected);
    }

    void exportOfACatalogWithoutRecordsIsTheHeaderAlone()
    {
        TCatalog catalog;
        catalog.AddFolder(nullptr, QStringLiteral("Empty"));
        const QString csv = path(QStringLiteral("header.csv"));
        const TCliResult run =
            RunCliProcess({QStringLiteral("export"), save(catalog, QStringLiteral("folders.dat")), csv});
        CLI_EXPECT_STATUS(run, 0);
        QCOMPARE(ReadWholeFile(csv), QByteArray(CsvHeaderLine));
    }

    void anUnreadableCatalogStopsEveryCommandWithTheWindowsErrorText_data()
    {
        // CATALOG stands for the damaged file.
        QTest::addColumn<QStringList>("words");
        const QString catalog = QStringLiteral("CATALOG");
        QTest::newRow("dump") << QStringList{QStringLiteral("dump"), catalog};
        QTest::newRow("dups") << QStringList{QStringLiteral("dups"), catalog};
        QTest::newRow("find") << QStringList{QStringLiteral("find"), catalog, DigestA};
        QTest::newRow("verify") << QStringList{QStringLiteral("verify"), catalog};
        QTest::newRow("export") << QStringList{QStringLiteral("export"), catalog,
                                               path(QStringLiteral("never.csv"))};
        QTest::newRow("scan --append") << QStringList{QStringLiteral("scan"), QStringLiteral("--append"),
                                                      QStringLiteral("-o"), catalog, m_dir.path()};
    }
    void anUnreadableCatalogStopsEveryCommandWithTheWindowsErrorText()
    {
        QFETCH(QStringList, words);
        // Not a zlib stream at all: the window shows "data error.".
        const QString damaged = WriteTestFile(path(QStringLiteral("damaged.dat")), "this is not a catalog\n");
        words.replaceInStrings(QStringLiteral("CATALOG"), damaged);
        const TCliResult run = RunCliProcess(words);
        CLI_EXPECT_STATUS(run, 2);
        QVERIFY(run.Out.isEmpty());
        QCOMPARE(QString::fromUtf8(run.Err), QStringLiteral("dravik-cli: %1: data error.\n").arg(damaged));
        QVERIFY(!QFile::exists(path(QStringLiteral("never.csv"))));
        QCOMPARE(ReadWholeFile(damaged), QByteArray("this is not a catalog\n")); // nothing saved over it
        QVERIFY(!QFile::exists(path(QStringLiteral("damaged.bak"))));
    }

    void aCatalogCutShortOrAbsentIsAnErrorToo()
    {
        TCatalog catalog;
        AddTestRecord(catalog, catalog.AddFolder(nullptr, QStringLiteral("F")), QStringLiteral("a"), 1,
                      QStringLiteral("/"), DigestA);
        const QString whole = save(catalog, QStringLiteral("whole.dat"));
        const QString cut = WriteTestFile(path(QStringLiteral("cut.dat")), ReadWholeFile(whole).left(20));
        const TCliResult truncated = RunCliProcess({QStringLiteral("dump"), cut});
        CLI_EXPECT_STATUS(truncated, 2);
        QVERIFY(truncated.Out.isEmpty());
        QVERIFY2(truncated.Err.startsWith(("dravik-cli: " + cut + ": ").toUtf8()), truncated.Err);
        QVERIFY2(truncated.Err.contains("XML error"), truncated.Err);

        const QString absent = path(QStringLiteral("absent.dat"));
        const TCliResult missing = RunCliProcess({QStringLiteral("dups"), absent});
        CLI_EXPECT_STATUS(missing, 2);
        QCOMPARE(QString::fromUtf8(missing.Err),
                 QStringLiteral("dravik-cli: %1: %2\n").arg(absent, qt_error_string(ENOENT)));
    }

    void wordsThatDoNotFitGiveTheUsage_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("stdoutStart");
        QTest::addColumn<QString>("stderrStart");
        const QString usage = QStringLiteral("usage: dravik-cli ");
        QTest::newRow("nothing") << QStringList() << 2 << QString()
                                 << QStringLiteral("dravik-cli: no command given\n");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("digest")} << 2 << QString()
                                         << QStringLiteral("dravik-cli: unknown command digest\n") + usage;
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("dump"), QStringLiteral("--all"), QStringLiteral("x.dat")} << 2
            << QString() << QStringLiteral("dravik-cli: unknown option --all\nusage: dravik-cli dump ");
        QTest::newRow("option of another command")
            << QStringList{QStringLiteral("dump"), QStringLiteral("x.dat"), QStringLiteral("--folder"),
                           QStringLiteral("A")}
            << 2 << QString() << QStringLiteral("dravik-cli: unknown option --folder\n");
        QTest::newRow("value missing")
            << QStringList{QStringLiteral("dups"), QStringLiteral("x.dat"), QStringLiteral("--folder")} << 2
            << QString() << QStringLiteral("dravik-cli: option --folder needs a value\n");
        QTest::newRow("too few") << QStringList{QStringLiteral("find"), QStringLiteral("x.dat")} << 2
                                 << QString()
                                 << QStringLiteral("dravik-cli: too few arguments\nusage: dravik-cli find ");
        QTest::newRow("too many") << QStringList{QStringLiteral("dump"), QStringLiteral("x.dat"),
                                                 QStringLiteral("y.dat")}
                                  << 2 << QString() << QStringLiteral("dravik-cli: too many arguments\n");
        QTest::newRow("scan without -o")
            << QStringList{QStringLiteral("scan"), QStringLiteral(".")} << 2 << QString()
            << QStringLiteral("dravik-cli: option -o is required\nusage: dravik-cli scan ");
        QTest::newRow("general help")
            << QStringList{QStringLiteral("--help")} << 0 << usage + QStringLiteral("COMMAND") << QString();
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                                 << QStringLiteral("dravik-cli 2.0.0\n") << QString();
        QTest::newRow("version, short")
            << QStringList{QStringLiteral("-V")} << 0 << QStringLiteral("dravik-cli 2.0.0\n") << QString();
        QTest::newRow("command help")
            << QStringList{QStringLiteral("verify"), QStringLiteral("--help")} << 0
            << usage + QStringLiteral("verify CATALOG.dat [--no-digest] [--only-present] [--jobs N] "
                                      "[--md5-level LEVEL] [--json]\n")
            << QString();
        // After "--" a word that looks like an option is a file name.
        QTest::newRow("operand after --")
            << QStringList{QStringLiteral("md5"), QStringLiteral("--"), QStringLiteral("--help")} << 1
            << QString() << QStringLiteral("dravik-cli: --help: ");
    }
    void wordsThatDoNotFitGiveTheUsage()
    {
        QFETCH(QStringList, words);
        QFETCH(int, status);
        QFETCH(QString, stdoutStart);
        QFETCH(QString, stderrStart);
        const TCliResult run = RunCliProcess(words, m_dir.path());
        CLI_EXPECT_STATUS(run, status);
        QVERIFY2(QString::fromUtf8(run.Out).startsWith(stdoutStart), run.Out);
        QVERIFY2(QString::fromUtf8(run.Err).startsWith(stderrStart), run.Err);
        QCOMPARE(run.Out.isEmpty(), stdoutStart.isEmpty());
        QCOMPARE(run.Err.isEmpty(), stderrStart.isEmpty());
    }

private:
    static constexpr char CsvHeaderLine[] =
        "MD5 code;Path;Filename;Size;File date/time;Comments;Real file path;\r\n";
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliCatalogs)
#include "tst_clicatalogs.moc"
