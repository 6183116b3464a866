#include "CodeCript.h"
#include "ScrambledTexts.h"

#include <QTest>

class TestCodeCript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedTextsDecodeToTheirPlainForms_data()
    {
        QTest::addColumn<QString>("scrambled");
        QTest::addColumn<QString>("plain");
        using namespace ScrambledTexts;
        QTest::newRow("temporary-name characters") << TempNameChars << "abcdefghijklmnopqrstuvwxyz0123456789";
        QTest::newRow("title") << Title << "Dravik";
        QTest::newRow("about line 1") << AboutLine1 << "Files and their MD5 digests";
        QTest::newRow("about line 2") << AboutLine2 << "Copyright (c) Dravik developers";
        QTest::newRow("web page") << WebTarget << "https://www.dravik.example/";
        QTest::newRow("mail") << MailTarget << "mailto:feedback@dravik.example";
        QTest::newRow("donation page") << DonateTarget << "https://www.dravik.example/donate";
    }
    void storedTextsDecodeToTheirPlainForms()
    {
        QFETCH(QString, scrambled);
        QFETCH(QString, plain);
        QCOMPARE(DecodeText(scrambled), plain);
        QCOMPARE(EncodeText(plain), scrambled);
    }

    void paddingGivesOneOrTwoBytes_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::newRow("one byte, two fillers") << "a";
        QTest::newRow("two bytes, one filler") << "ab";
        QTest::newRow("whole group") << "abc";
        QTest::newRow("four bytes") << "abcd";
        QTest::newRow("beyond ASCII") << QString::fromUtf8("Zoë – ✓");
        QTest::newRow("all bits") << QString::fromLatin1("\xff\xfe\x01");
    }
    void paddingGivesOneOrTwoBytes()
    {
        QFETCH(QString, plain);
        const QString scrambled = EncodeText(plain);
        QCOMPARE(scrambled.size() % 4, 0);
        QCOMPARE(DecodeText(scrambled), plain);
    }

    void textsShorterThanAGroupAreEmpty()
    {
        QCOMPARE(DecodeText(QString()), QString());
        QCOMPARE(DecodeText(QStringLiteral("cm0")), QString());
        QVERIFY(!DecodeText(QStringLiteral("cm08")).isEmpty());
    }

    void theAlphabetIsOurOwn()
    {
        // Plain Base64 of "Dravik" is "RHJhdmlr"; ours must differ, or the texts lie open.
        QVERIFY(EncodeText(QStringLiteral("Dravik")) != QStringLiteral("RHJhdmlr"));
    }
};

QTEST_GUILESS_MAIN(TestCodeCript)
#include "tst_codecript.moc"
