#include "Md5Text.h"

#include <QTest>

namespace {

const QString Digest = QStringLiteral("d41d8cd98f00b204e9800998ecf8427e");

QString viewed(const TMd5Text &value)
{
    TMd5Text::TTextBuffer buffer;
    return value.View(buffer).toString();
}

} // namespace

// How QCOMPARE shows a value (found by argument-dependent lookup).
static char *toString(const TMd5Text &value)
{
    return QTest::toString(value.Text());
}

class TestMd5Text : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void digestTextIsKeptAsItsBytes()
    {
        const TMd5Text value(Digest);
        QVERIFY(value.Digest());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(value.Digest()->data()), 16),
                 QByteArray::fromHex(Digest.toLatin1()));
        QCOMPARE(value.Text(), Digest);
        QCOMPARE(viewed(value), Digest);
        TMd5Text::TDigitsBuffer digits;
        QCOMPARE(QString::fromLatin1(value.Digits(digits)), Digest);
        QCOMPARE(value.size(), qsizetype(32));
        QVERIFY(value == Digest && value == QStringView(Digest));
        QVERIFY(value != QString(Digest).replace(31, 1, u'f'));
        QCOMPARE(TMd5Text(QStringView(Digest)), value);
        QCOMPARE(TMd5Text(*TMd5Text::ParseDigits(Digest.toStdString())), value);
        // A longer text is cut to its first 32 characters, here a digest.
        QCOMPARE(TMd5Text(Digest + QStringLiteral("EXTRA")), value);
    }

    void otherTextsStayAsTheyWere_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("upper case") << Digest.toUpper();
        QTest::newRow("one upper-case letter") << QString(Digest).replace(2, 1, u'D');
        QTest::newRow("31 digits") << Digest.left(31);
        QTest::newRow("not a digit") << QString(Digest).replace(31, 1, u'g');
        QTest::newRow("blank inside") << QString(Digest).replace(16, 1, u' ');
        QTest::newRow("beyond Latin-1") << QStringLiteral("d41d8cd98f00b204e9800998ecf8427\u00e9");
        QTest::newRow("markup") << QStringLiteral("<&\"'>");
    }
    void otherTextsStayAsTheyWere()
    {
        QFETCH(QString, text);
        const TMd5Text value(text);
        QVERIFY(!value.Digest());
        QCOMPARE(value.Text(), text);
        QCOMPARE(viewed(value), text);
        QCOMPARE(value.size(), text.size());
        TMd5Text::TDigitsBuffer digits;
        QVERIFY(value.Digits(digits).empty());
        QVERIFY(value == text);
        QVERIFY(value != Digest && value != TMd5Text(Digest));
        QCOMPARE(TMd5Text(value.Text()), value);
        QCOMPARE(TMd5Text(QStringView(text)), value);
        QVERIFY(!TMd5Text::ParseDigits(text.toStdString()));
    }

    void emptyValues()
    {
        for (const TMd5Text &value :
             {TMd5Text(), TMd5Text(QString()), TMd5Text(QStringLiteral("")), TMd5Text(QStringView())}) {
            QVERIFY(value.isEmpty());
            QVERIFY(value.Text().isEmpty());
            QCOMPARE(value.size(), qsizetype(0));
            QVERIFY(value == QString() && value == TMd5Text());
            QVERIFY(value != Digest);
        }
        TMd5Text value(Digest);
        value.clear();
        QVERIFY(value.isEmpty() && !value.Digest());
    }

    void copiesAndMovesBetweenKinds()
    {
        const QList<TMd5Text> values = {TMd5Text(Digest), TMd5Text(Digest.toUpper()), TMd5Text()};
        for (const TMd5Text &value : values) {
            for (const TMd5Text &before : values) {
                TMd5Text copied(before);
                copied = value;
                QCOMPARE(copied, value);
                TMd5Text moved(before);
                TMd5Text source(copied);
                moved = std::move(source);
                QCOMPARE(moved, value);
                QVERIFY(source.isEmpty() || source == value);
                const TMd5Text constructed(std::move(moved));
                QCOMPARE(constructed.Text(), value.Text());
            }
        }
    }

    void comparisonsAgreeWithTheTexts()
    {
        const QStringList texts = {
            QString(),
            Digest,
            QString(Digest).replace(0, 1, u'0'),
            QString(Digest).replace(31, 1, u'0'),
            QString(32, u'f'),
            QString(32, u'0'),
            Digest.toUpper(),
            Digest.left(10),
            Digest + u'x', // cut: equal to Digest
            QStringLiteral("g"),
            QStringLiteral("\u00e9"),
        };
        for (const QString &first : texts) {
            for (const QString &second : texts) {
                const TMd5Text a(first), b(second);
                const int expected = first.left(32).compare(second.left(32));
                const auto order = a <=> b;
                QVERIFY2((order < 0) == (expected < 0) && (order == 0) == (expected == 0),
                         qPrintable(first + u'|' + second));
                QCOMPARE(a == b, expected == 0);
                if (a == b)
                    QCOMPARE(qHash(a, 17), qHash(b, 17));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestMd5Text)
#include "tst_md5text.moc"
