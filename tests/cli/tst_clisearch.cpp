// search on a catalog saved by the test: the lines, the order, every option and the exit statuses.

#include "CliTestKit.h"

#include <QTemporaryDir>

class TestCliSearch : public QObject
{
    Q_OBJECT

private:
    QString m_catalog;

    TCliResult search(const QStringList &words)
    {
        return RunCliProcess(QStringList{"search", m_catalog} + words);
    }

    // The first column of each line: the catalog path and name.
    static QStringList places(const QByteArray &out)
    {
        QStringList list;
        for (const QString &line : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts))
            list << line.section(u'\t', 0, 0);
        return list;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        TCatalog catalog;
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = catalog.AddFolder(home, QStringLiteral("Photos"));
        TFolderNode *old = catalog.AddFolder(photos, QStringLiteral("Old"));
        TFolderNode *work = catalog.AddFolder(nullptr, QStringLiteral("Work"));
        const QString digest = Md5Hex("x");
        // Added sub-folders first: the order of the output is the catalog's, not the adding.
        AddTestRecord(catalog, old, QStringLiteral("HOLIDAY.bmp"), 3000, QStringLiteral("/old/"), digest);
        AddTestRecord(catalog, home, QStringLiteral("Holiday 2001.jpg"), 1024, QStringLiteral("/home/"),
                      digest);
        AddTestRecord(catalog, home, QStringLiteral("notes.txt"), 10, QStringLiteral("/home/"), QString());
        TFileDat *beach = AddTestRecord(catalog, photos, QStringLiteral("holiday_beach.JPG"), 2 << 20,
                                        QStringLiteral("/photos/"), digest);
        beach->DateTime = DayCountFromDateTime(QDateTime(QDate(2021, 7, 1), QTime(9, 30)));
        AddTestRecord(catalog, photos, QStringLiteral("Ölfarbe.png"), 500, QStringLiteral("/photos/"),
                      digest);
        AddTestRecord(catalog, work, QStringLiteral("report.pdf"), 4096, QString(), digest);
        AddTestRecord(catalog, work, QStringLiteral("holiday plan.doc"), -1, QStringLiteral("/gone/"),
                      QString());
        m_catalog = m_dir.filePath(QStringLiteral("search.dat"));
        SaveCatalog(catalog, m_catalog);
    }

    void printsPlaceSizeDateAndRealPathInCatalogOrder()
    {
        const TCliResult run = search({QStringLiteral("holiday")});
        CLI_EXPECT_STATUS(run, 0);
        const QString date = QLatin1String(TestDateText);
        QCOMPARE(QString::fromUtf8(run.Out),
                 QStringLiteral("Home\\Holiday 2001.jpg\t1024\t%1\t/home/\n"
                                "Home\\Photos\\holiday_beach.JPG\t2097152\t07/01/21 "
                                "09:30\t/photos/\n"
                                "Home\\Photos\\Old\\HOLIDAY.bmp\t3000\t%1\t/old/\n"
                                "Work\\holiday plan.doc\t-1\t%1\t/gone/\n")
                     .arg(date));
        QVERIFY(run.Err.isEmpty());
    }

    void optionsNarrowTheRecords_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("expected");
        const QString beach = QStringLiteral("Home\\Photos\\holiday_beach.JPG");
        const QString old = QStringLiteral("Home\\Photos\\Old\\HOLIDAY.bmp");
        const QString home = QStringLiteral("Home\\Holiday 2001.jpg");
        const QString plan = QStringLiteral("Work\\holiday plan.doc");
        QTest::newRow("wildcard: the whole name") << QStringList{"holiday*.jpg"} << QStringList{home, beach};
        QTest::newRow("operands are words") << QStringList{"holiday", "2001"} << QStringList{home};
        QTest::newRow("words within an operand") << QStringList{"HOLIDAY PLAN"} << QStringList{plan};
        QTest::newRow("case beyond ASCII")
            << QStringList{"ölFARBE"} << QStringList{"Home\\Photos\\Ölfarbe.png"};
        QTest::newRow("--in: a folder and below")
            << QStringList{"--in", "Home\\Photos\\", "holiday"} << QStringList{beach, old};
        QTest::newRow("--in: the final separator may go")
            << QStringList{"--in=Home\\Photos\\Old", "holiday"} << QStringList{old};
        QTest::newRow("--min-size, bytes")
            << QStringList{"--min-size", "3000", "holiday"} << QStringList{beach, old};
        QTest::newRow("--max-size, KiB; no unknown size")
            << QStringList{"--max-size", "1k", "holiday"} << QStringList{home};
        QTest::newRow("--min-size, MiB") << QStringList{"--min-size=2M", "*"} << QStringList{beach};
        QTest::newRow("--newer, a day")
            << QStringList{"--newer", "2021-01-01", "holiday"} << QStringList{beach};
        QTest::newRow("--older, the catalog's form")
            << QStringList{"--older", "01/01/21", "holiday"} << QStringList{home, old, plan};
        // Every other record is dated 2008-03-15 14:05:59: its minute is 14:05.
        QTest::newRow("--newer: the same minute counts")
            << QStringList{"--newer", "2008-03-15 14:05", "--older", "2008-03-15T14:06", "o"}
            << QStringList{home, "Home\\notes.txt", old, "Work\\report.pdf", plan};
        QTest::newRow("--older: the same minute does not")
            << QStringList{"--older", "2008-03-15 14:05", "holiday"} << QStringList();
        QTest::newRow("--regex") << QStringList{"--regex", "^holiday[ _]"} << QStringList{home, beach, plan};
        QTest::newRow("--regex: operands joined by a blank")
            << QStringList{"--regex", "^holiday", "2001"} << QStringList{home};
    }
    void optionsNarrowTheRecords()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, expected);
        const TCliResult run = search(words);
        CLI_EXPECT_STATUS(run, expected.isEmpty() ? 1 : 0);
        QCOMPARE(places(run.Out), expected);
    }

    void countTellsHowManyAndTheStatusWhetherAny()
    {
        const TCliResult some = search({QStringLiteral("--count"), QStringLiteral("*.jpg")});
        CLI_EXPECT_STATUS(some, 0);
        QCOMPARE(some.Out, QByteArray("2\n"));
        const TCliResult none = search({QStringLiteral("--count"), QStringLiteral("*.gif")});
        CLI_EXPECT_STATUS(none, 1);
        QCOMPARE(none.Out, QByteArray("0\n"));
        const TCliResult nothing = search({QStringLiteral("")});
        CLI_EXPECT_STATUS(nothing, 1);
        QVERIFY(nothing.Out.isEmpty());
        QVERIFY(nothing.Err.isEmpty());
    }

    void valuesThatAreNoneStopBeforeTheCatalogIsRead_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("error");
        QTest::newRow("size")
            << QStringList{"--min-size", "12 MB", "a"}
            << "dravik-cli: --min-size 12 MB: not a size (bytes, or a number with K, M or G)\n";
        QTest::newRow("date") << QStringList{"--newer", "2024-02-30", "a"}
                              << "dravik-cli: --newer 2024-02-30: not a date (YYYY-MM-DD [HH:MM] or mm/dd/yy "
                                 "[hh:nn])\n";
        QTest::newRow("expression")
            << QStringList{"--regex", "(a"}
            << "dravik-cli: (a: not a regular expression: missing closing parenthesis\n";
    }
    void valuesThatAreNoneStopBeforeTheCatalogIsRead()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, error);
        const TCliResult run =
            RunCliProcess(QStringList{"search", m_dir.filePath(QStringLiteral("absent.dat"))} + words);
        CLI_EXPECT_STATUS(run, 2);
        QVERIFY(run.Out.isEmpty());
        QCOMPARE(QString::fromUtf8(run.Err), error);
    }

    void aFolderThatIsNotThereIsAnError()
    {
        // Folder names match exactly, as for dups --folder.
        const TCliResult run =
            search({QStringLiteral("--in"), QStringLiteral("home\\"), QStringLiteral("a")});
        CLI_EXPECT_STATUS(run, 2);
        QVERIFY(run.Out.isEmpty());
        QCOMPARE(run.Err, QByteArray("dravik-cli: home\\: no such folder in the registry\n"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliSearch)
#include "tst_clisearch.moc"
