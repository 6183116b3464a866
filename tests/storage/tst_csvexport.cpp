#include "Catalog.h"
#include "CsvExport.h"
#include "StorageErrors.h"
#include "StorageTestTools.h"
#include "TestRecords.h"
#include "support.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace StorageTest;

namespace {

double dayCountOf(int y, int m, int d, int h = 0, int n = 0, int s = 0)
{
    return DayCountFromDateTime(QDateTime(QDate(y, m, d), QTime(h, n, s), Qt::LocalTime));
}

void addRecord(TCatalog &catalog, TFolderNode *folder, const QString &name, qint64 size, const QString &md5,
               const QString &realPath, const QString &comment, double date)
{
    AppendTestRecord(catalog, folder,
                     MakeTestRecord({.Name = name,
                                     .Size = size,
                                     .RealPath = realPath,
                                     .Md5 = md5,
                                     .Comment = comment,
                                     .DateTime = date}));
}

QByteArray exported(const TCatalog &catalog, qint64 *lines = nullptr)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const qint64 count = ExportCatalogCsv(catalog, buffer);
    if (lines)
        *lines = count;
    return buffer.data();
}

const QByteArray Header = "MD5 code;Path;Filename;Size;File date/time;Comments;Real file path;\r\n";

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesInTreeOrder()
    {
        TCatalog catalog;
        const double noon = dayCountOf(2020, 5, 6, 12, 30, 15);
        const double midnight = dayCountOf(2020, 5, 7);
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = catalog.AddFolder(home, QStringLiteral("Photos"));
        TFolderNode *work = catalog.AddFolder(nullptr, QStringLiteral("Work"));
        catalog.AddFolder(work, QStringLiteral("Empty"));
        addRecord(catalog, photos, "p.jpg", 2048, "0123456789abcdef0123456789abcdef", "/pics/", "", noon);
        addRecord(catalog, home, "a.txt", 1, "", "/docs/", "has;semicolon", midnight);
        addRecord(catalog, work, "w.doc", 0, "ffffffffffffffffffffffffffffffff", "", "", noon);

        qint64 lines = 0;
        const QStringList got =
            QString::fromLocal8Bit(exported(catalog, &lines)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines, 3);
        const QString noonText = LocaleDateTimeText(noon), midnightText = LocaleDateTimeText(midnight);
        QCOMPARE(midnightText, QLocale::system().toString(QDate(2020, 5, 7), QLocale::ShortFormat));
        QCOMPARE(got,
                 (QStringList{
                     QString::fromLatin1(CsvHeader),
                     // No digest: the line starts with the separator; the comment's ";" is
                     // quoted, so the real path stays in its own column.
                     ";Home\\;a.txt;1;" + midnightText + ";\"has;semicolon\";/docs/;",
                     "0123456789abcdef0123456789abcdef;Home\\Photos\\;p.jpg;2048;" + noonText + ";;/pics/;",
                     // No real path: the line ends in ";;".
                     "ffffffffffffffffffffffffffffffff;Work\\;w.doc;0;" + noonText + ";;;",
                     QString(),
                 }));
    }

    // Spreadsheets split a line at every ";" and at line breaks outside quotation marks.
    void fieldsWithSeparatorsQuotesOrLineBreaksAreQuoted()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("F"));
        addRecord(catalog, folder, "plain.txt", 7, "", "/r/", "keep, sort later", 0);
        addRecord(catalog, folder, "s.txt", 7, "", "/r/", "keep; sort later", 0);
        addRecord(catalog, folder, "q.txt", 7, "", "/r/", "the \"best\" one", 0);
        addRecord(catalog, folder, "b.txt", 7, "", "/r/", "two\r\nlines", 0);
        const QByteArray date = LocaleDateTimeText(0).toLocal8Bit();
        QCOMPARE(exported(catalog), Header + ";F\\;plain.txt;7;" + date + ";keep, sort later;/r/;\r\n" +
                                        ";F\\;s.txt;7;" + date + ";\"keep; sort later\";/r/;\r\n" +
                                        ";F\\;q.txt;7;" + date + ";\"the \"\"best\"\" one\";/r/;\r\n" +
                                        ";F\\;b.txt;7;" + date + ";\"two\r\nlines\";/r/;\r\n");
    }

    void foldersWithoutRecordsGiveTheHeaderOnly()
    {
        TCatalog catalog;
        catalog.AddFolder(catalog.AddFolder(nullptr, QStringLiteral("A")), QStringLiteral("B"));
        qint64 lines = -1;
        QCOMPARE(exported(catalog, &lines), Header);
        QCOMPARE(lines, 0);
    }

    void progressAfterEveryFolder()
    {
        TCatalog catalog;
        TFolderNode *a = catalog.AddFolder(nullptr, QStringLiteral("A"));
        catalog.AddFolder(a, QStringLiteral("B"));
        catalog.AddFolder(nullptr, QStringLiteral("C"));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QList<qint64> calls;
        ExportCatalogCsv(catalog, buffer, [&](qint64 done, qint64 total) {
            QCOMPARE(total, 3);
            calls << done;
        });
        QCOMPARE(calls, (QList<qint64>{0, 1, 2}));
    }

    void refusedWriteIsAnError()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("F"));
        for (int i = 0; i < 5000; ++i)
            addRecord(catalog, folder, QStringLiteral("file%1").arg(i), i, "", "/x/", "", 0);
        TFailingDevice device(1000);
        try {
            ExportCatalogCsv(catalog, device);
            QFAIL("a refused write went unnoticed");
        } catch (const EFileError &error) {
            QVERIFY2(error.Message().contains(QStringLiteral("No space left on device")),
                     qPrintable(error.Message()));
        }
    }

    void exportToFile()
    {
        QTemporaryDir dir;
        TCatalog catalog;
        addRecord(catalog, catalog.AddFolder(nullptr, QStringLiteral("F")), "x", 5, "", "/r/", "", 0);
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        QCOMPARE(ExportCatalogCsvFile(catalog, path), 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(Header + ";F\\;x;5;"));
        QVERIFY_THROWS_EXCEPTION(EFileError,
                                 ExportCatalogCsvFile(catalog, dir.filePath("no/such/folder.csv")));
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
