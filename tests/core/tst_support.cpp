#include "support.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

class TestSupport : public QObject
{
    Q_OBJECT

private:
    static double dayCountOf(int y, int m, int d, int h = 0, int n = 0, int s = 0)
    {
        return DayCountFromDateTime(QDateTime(QDate(y, m, d), QTime(h, n, s), Qt::LocalTime));
    }

private Q_SLOTS:
    void sizeText_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("withBytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << false << "0Bytes";
        QTest::newRow("negative") << qint64(-1) << true << "-1Bytes";
        QTest::newRow("999 never gets the suffix") << qint64(999) << true << "999Bytes";
        QTest::newRow("1000 is already KB") << qint64(1000) << false << "0.98KB";
        QTest::newRow("999999") << qint64(999999) << false << "976.56KB";
        QTest::newRow("1000000 is already MB") << qint64(1000000) << false << "0.95MB";
        QTest::newRow("1048576 with bytes") << qint64(1048576) << true << "1.00MB (1048576Bytes)";
        QTest::newRow("1268736 with bytes") << qint64(1268736) << true << "1.21MB (1268736Bytes)";
        QTest::newRow("1000000000 is already GB") << qint64(1000000000) << false << "0.93GB";
        QTest::newRow("beyond 32 bits") << qint64(5000000000) << false << "4.66GB";
        QTest::newRow("beyond 32 bits with bytes")
            << qint64(5000000000) << true << "4.66GB (5000000000Bytes)";
    }
    void sizeText()
    {
        QFETCH(qint64, size);
        QFETCH(bool, withBytes);
        QFETCH(QString, text);
        QCOMPARE(SizeText(size, withBytes), text);
    }

    void dateTextUsesItsOwnFixedForm()
    {
        QCOMPARE(DateText(0.0), QStringLiteral("12/30/99 00:00"));
        QCOMPARE(DateText(dayCountOf(2008, 3, 15, 14, 5, 59)), QStringLiteral("03/15/08 14:05"));
        QCOMPARE(DateText(-1.25), QStringLiteral("12/29/99 06:00")); // fraction counts forward
        QCOMPARE(DateText(dayCountOf(2001, 1, 1, 23, 59, 0)), QStringLiteral("01/01/01 23:59"));
        QCOMPARE(DateText(qQNaN()), QString());
        QCOMPARE(DateText(1e12), QString());
    }

    void isoDateTextKeepsTheSecondsAndFourDigitYears()
    {
        const auto iso = [](double dayCount) {
            char text[IsoDateTextLength];
            return QString::fromLatin1(text, WriteIsoDateText(dayCount, text));
        };
        QCOMPARE(iso(dayCountOf(2008, 3, 15, 14, 5, 59)), QStringLiteral("2008-03-15T14:05:59"));
        QCOMPARE(iso(0.0), QStringLiteral("1899-12-30T00:00:00"));
        QCOMPARE(iso(dayCountOf(9999, 12, 31, 23, 59, 59)), QStringLiteral("9999-12-31T23:59:59"));
        QCOMPARE(iso(qQNaN()), QString());
    }

    void dateTextReadsBackToTheMinute()
    {
        const double written = dayCountOf(2008, 3, 15, 14, 5, 59);
        QCOMPARE(ParseDateText(DateText(written), 2026), dayCountOf(2008, 3, 15, 14, 5));
        // Midnight of day zero comes back a century later, inside the window.
        QCOMPARE(ParseDateText(DateText(0.0), 2026), dayCountOf(1999, 12, 30));
    }

    void parseDateText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("currentYear");
        QTest::addColumn<double>("dayCount");
        QTest::newRow("70 is ahead in 2026") << "01/02/70 10:30" << 2026 << dayCountOf(2070, 1, 2, 10, 30);
        QTest::newRow("80 is behind in 2026") << "01/02/80" << 2026 << dayCountOf(1980, 1, 2);
        QTest::newRow("99 in 2026") << "12/31/99 23:59" << 2026 << dayCountOf(1999, 12, 31, 23, 59);
        QTest::newRow("window start itself") << "06/01/76" << 2026 << dayCountOf(1976, 6, 1);
        QTest::newRow("window moves with the year") << "06/01/76" << 2030 << dayCountOf(2076, 6, 1);
        QTest::newRow("four-digit year as written")
            << "3/15/2008 14:05:59" << 2026 << dayCountOf(2008, 3, 15, 14, 5, 59);
        QTest::newRow("one-digit parts") << "3/5/8 4:05" << 2026 << dayCountOf(2008, 3, 5, 4, 5);
        QTest::newRow("blanks around") << "  03/15/08 14:05  " << 2026 << dayCountOf(2008, 3, 15, 14, 5);
        QTest::newRow("leap day") << "02/29/08" << 2026 << dayCountOf(2008, 2, 29);
        QTest::newRow("empty") << "" << 2026 << 0.0;
        QTest::newRow("month 13") << "13/01/08 10:00" << 2026 << 0.0;
        QTest::newRow("day 45") << "01/45/08 10:00" << 2026 << 0.0;
        QTest::newRow("no leap day") << "02/29/07" << 2026 << 0.0;
        QTest::newRow("no digits") << "yesterday" << 2026 << 0.0;
        QTest::newRow("two parts") << "03/15" << 2026 << 0.0;
        QTest::newRow("hour 24") << "03/15/08 24:00" << 2026 << 0.0;
        QTest::newRow("minute 60") << "03/15/08 10:60" << 2026 << 0.0;
        QTest::newRow("trailing junk") << "03/15/08 10:00 x" << 2026 << 0.0;
        QTest::newRow("locale separators") << "15.03.2008 10:00" << 2026 << 0.0;
        QTest::newRow("five-digit year") << "03/15/20080" << 2026 << 0.0;
    }
    void parseDateText()
    {
        QFETCH(QString, text);
        QFETCH(int, currentYear);
        QFETCH(double, dayCount);
        QCOMPARE(ParseDateText(text, currentYear), dayCount);
    }

    void parseDateTextUsesTheCurrentYear()
    {
        const int year = QDate::currentDate().year();
        const int windowStart = year - 50;
        // The first two-digit year of the window is the window's start; the one before it
        // belongs to the next century.
        const int startDigits = windowStart % 100;
        const QString atStart = QStringLiteral("01/01/%1").arg(startDigits, 2, 10, QLatin1Char('0'));
        QCOMPARE(ParseDateText(atStart), dayCountOf(windowStart, 1, 1));
        const int beforeDigits = (startDigits + 99) % 100;
        const QString beforeStart = QStringLiteral("01/01/%1").arg(beforeDigits, 2, 10, QLatin1Char('0'));
        QCOMPARE(ParseDateText(beforeStart), dayCountOf(windowStart - 1 + 100, 1, 1));
    }

    void dateFunctionsLeaveTheLocaleAlone()
    {
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString dateFormat = QLocale().dateFormat(QLocale::ShortFormat);
        const QString decimalPoint = QLocale().decimalPoint();

        QCOMPARE(ParseDateText(QStringLiteral("not a date"), 2026), 0.0);
        QCOMPARE(ParseDateText(QStringLiteral("03/15/08 14:05"), 2026), dayCountOf(2008, 3, 15, 14, 5));
        QCOMPARE(DateText(dayCountOf(2008, 3, 15, 14, 5)), QStringLiteral("03/15/08 14:05"));

        QCOMPARE(QLocale().dateFormat(QLocale::ShortFormat), dateFormat);
        QCOMPARE(QLocale().decimalPoint(), decimalPoint);
        QCOMPARE(QLocale().language(), QLocale::German);
        QLocale::setDefault(previous);
    }

    void localeDateTimeText()
    {
        const QLocale locale = QLocale::system();
        const QDate date(2008, 3, 15);
        QCOMPARE(LocaleDateTimeText(dayCountOf(2008, 3, 15)), locale.toString(date, QLocale::ShortFormat));
        const QString withTime = LocaleDateTimeText(dayCountOf(2008, 3, 15, 14, 5, 9));
        QVERIFY(withTime.startsWith(locale.toString(date, QLocale::ShortFormat) + u' '));
        QVERIFY(withTime.contains(QStringLiteral("05")));
        QVERIFY(withTime.contains(QStringLiteral("09"))); // the long form keeps the seconds
        QVERIFY(!LocaleLongTimeFormat().contains(u't'));
        QCOMPARE(LocaleDateTimeText(qQNaN()), QString());
    }

    void fileFactsOfFilesAndNonFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(FileSizeOf(dir.path()), qint64(-1));
        QCOMPARE(FileDateOf(dir.path()), -1.0);
        QCOMPARE(FileSizeOf(dir.filePath(QStringLiteral("missing"))), qint64(-1));
        QCOMPARE(FileDateOf(dir.filePath(QStringLiteral("missing"))), -1.0);
        QCOMPARE(FileSizeOf(QString()), qint64(-1));

        QFile hidden(dir.filePath(QStringLiteral(".hidden")));
        QVERIFY(hidden.open(QIODevice::WriteOnly));
        hidden.write("12345");
        hidden.close();
        QCOMPARE(FileSizeOf(hidden.fileName()), qint64(5));
    }

    void fileSizeBeyondFourGigabytes()
    {
        QTemporaryDir dir;
        QFile sparse(dir.filePath(QStringLiteral("sparse.bin")));
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        // Grows the file without writing its bytes.
        QVERIFY(sparse.resize(qint64(3) * 1024 * 1024 * 1024));
        sparse.close();
        QCOMPARE(FileSizeOf(sparse.fileName()), qint64(3221225472));
    }

    void fileDateHasTwoSecondResolution()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("dated.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(QDateTime(QDate(2008, 3, 15), QTime(14, 5, 59, 700), Qt::LocalTime),
                                 QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(FileDateOf(file.fileName()), dayCountOf(2008, 3, 15, 14, 5, 58));
    }

    void elfHash()
    {
        QCOMPARE(ElfHash(u""), 0u);
        // By hand: ('a' << 4 + 'b') << 4 + 'c' = (97 * 16 + 98) * 16 + 99.
        QCOMPARE(ElfHash(u"abc"), 26499u);
        // Long enough to fold the top bits back in; computed independently of this code.
        QCOMPARE(ElfHash(u"d41d8cd98f00b204e9800998ecf8427e"), 67366533u);
    }
};

QTEST_GUILESS_MAIN(TestSupport)
#include "tst_support.moc"
