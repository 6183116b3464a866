#include "NameMatch.h"

#include <QRandomGenerator>
#include <QTest>

class TestNameMatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wordsPickNames_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("picked");
        QTest::newRow("substring anywhere") << "liday"
                                            << "holiday_2001.jpg" << true;
        QTest::newRow("substring absent") << "holidays"
                                          << "holiday_2001.jpg" << false;
        QTest::newRow("case of the word") << "HOLIDAY"
                                          << "holiday.jpg" << true;
        QTest::newRow("case of the name") << "holiday"
                                          << "HoLiDaY.JPG" << true;
        QTest::newRow("word as long as the name") << "a.txt"
                                                  << "A.TXT" << true;
        QTest::newRow("word longer than the name") << "a.txt2"
                                                   << "a.txt" << false;
        QTest::newRow("star: the whole name") << "*.jpg"
                                              << "photo.JPG" << true;
        QTest::newRow("star: not a substring") << "*.jpg"
                                               << "photo.jpg.bak" << false;
        QTest::newRow("star in the middle") << "ho*day"
                                            << "holiday" << true;
        QTest::newRow("head must start the name") << "ho*"
                                                  << "photo" << false;
        QTest::newRow("star matches nothing too") << "photo*.jpg"
                                                  << "photo.jpg" << true;
        QTest::newRow("question: one character") << "img_?.png"
                                                 << "IMG_7.png" << true;
        QTest::newRow("question: not none") << "img_?.png"
                                            << "img_.png" << false;
        QTest::newRow("question: not two") << "img_?.png"
                                           << "img_12.png" << false;
        QTest::newRow("star backtracks") << "*ab*abc"
                                         << "xabyabzabc" << true;
        QTest::newRow("repeated tail") << "*a*a"
                                       << "a" << false;
        QTest::newRow("star alone") << "*"
                                    << "anything at all" << true;
        QTest::newRow("two words, both") << "holiday 2001"
                                         << "2001 Holiday.jpg" << true;
        QTest::newRow("two words, one missing") << "holiday 2002"
                                                << "holiday 2001.jpg" << false;
        QTest::newRow("blanks around and between") << "  song \t mp3 "
                                                   << "song.mp3" << true;
        QTest::newRow("word and wildcard") << "beach *.jpg"
                                           << "Beach Day.jpg" << true;
        QTest::newRow("name with spaces, word without") << "day"
                                                        << "Beach Day.jpg" << true;
        QTest::newRow("a blank parts words") << "beach day"
                                             << "beachday.jpg" << true;
        QTest::newRow("accents, case folded") << "ÖLFARBE"
                                              << "ölfarbe.png" << true;
        QTest::newRow("accent is not the plain letter") << "olfarbe"
                                                        << "ölfarbe.png" << false;
        QTest::newRow("final sigma folds as sigma") << "ΚΟΣΜΟΣ"
                                                    << "κοσμος.txt" << true;
        QTest::newRow("Cyrillic") << "ФОТО"
                                  << "фото_2020.jpg" << true;
        QTest::newRow("Kelvin sign is a k") << "kelvin" << QStringLiteral("\u212Aelvin.txt") << true;
        QTest::newRow("beyond the BMP")
            << QStringLiteral("\U00010400") << QStringLiteral("x\U00010428y") << true;
        QTest::newRow("question takes a whole pair") << "x?y" << QStringLiteral("x\U00010428y") << true;
        QTest::newRow("CJK, no case") << "写真"
                                      << "旅行の写真.jpg" << true;
        QTest::newRow("empty pattern") << ""
                                       << "anything" << false;
        QTest::newRow("blank pattern") << "   "
                                       << "a b" << false;
    }
    void wordsPickNames()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, picked);
        TNameMatcher matcher = TNameMatcher::Words(pattern);
        QCOMPARE(matcher.Matches(name), picked);
    }

    void foldingAgreesWithQtForEveryScript()
    {
        // Random text drawn from the ranges where case lives, pairs of surrogates included.
        const std::pair<char32_t, char32_t> ranges[] = {
            {0x20, 0x7e},     {0xa0, 0x24f},    {0x370, 0x52f},     {0x1e00, 0x1fff},  {0x2100, 0x218f},
            {0x2c00, 0x2c7f}, {0xff00, 0xff5e}, {0x10400, 0x1044f}, {0x1e900, 0x1e94b}};
        QRandomGenerator random(7);
        std::u16string folded;
        for (int round = 0; round < 2000; ++round) {
            QString text;
            const int length = random.bounded(1, 12);
            for (int i = 0; i < length; ++i) {
                const auto &[low, high] = ranges[random.bounded(int(std::size(ranges)))];
                const char32_t c = char32_t(random.bounded(quint32(low), quint32(high) + 1));
                if (QChar::requiresSurrogates(c))
                    text += QString::fromUcs4(&c, 1);
                else
                    text += QChar(char16_t(c));
            }
            FoldCase(text, folded);
            QCOMPARE(QStringView(folded), QStringView(text.toCaseFolded()));
        }
    }

    void wildcardsAgreeWithARegularExpression()
    {
        // Short words and names over a tiny alphabet meet every way a star can backtrack; the
        // checks made before the full match must never turn a match away.
        QRandomGenerator random(11);
        for (int round = 0; round < 20000; ++round) {
            QString word, name;
            for (int i = random.bounded(1, 7); i > 0; --i)
                word += QLatin1Char("ab*?"[random.bounded(4)]);
            for (int i = random.bounded(0, 8); i > 0; --i)
                name += QLatin1Char("abAB"[random.bounded(4)]);
            if (!word.contains(u'*') && !word.contains(u'?'))
                continue;
            QString expression = word;
            expression.replace(u'*', QStringLiteral(".*")).replace(u'?', u'.');
            const QRegularExpression reference(QRegularExpression::anchoredPattern(expression),
                                               QRegularExpression::CaseInsensitiveOption);
            TNameMatcher matcher = TNameMatcher::Words(word);
            QVERIFY2(matcher.Matches(name) == reference.match(name).hasMatch(),
                     qPrintable(word + QStringLiteral(" against ") + name));
        }
    }

    void regularExpressionsMatchAnywhereIgnoringCase_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("picked");
        QTest::newRow("anywhere") << "day_\\d{4}"
                                  << "holiday_2001.jpg" << true;
        QTest::newRow("anchored") << "^day"
                                  << "holiday" << false;
        QTest::newRow("case") << "^IMG_\\d+\\.JPE?G$"
                              << "img_0042.jpeg" << true;
        QTest::newRow("case beyond ASCII") << "ÉTÉ"
                                           << "été 2020" << true;
        QTest::newRow("letters of any script") << "^\\w+$"
                                               << "фото" << true;
        QTest::newRow("blanks are part of it") << "a b"
                                               << "ab" << false;
        QTest::newRow("empty picks nothing") << ""
                                             << "anything" << false;
    }
    void regularExpressionsMatchAnywhereIgnoringCase()
    {
        QFETCH(QString, expression);
        QFETCH(QString, name);
        QFETCH(bool, picked);
        TNameMatcher matcher = TNameMatcher::RegularExpression(expression);
        QVERIFY(matcher.IsValid());
        QCOMPARE(matcher.Matches(name), picked);
    }

    void aBrokenExpressionSaysWhyAndPicksNothing()
    {
        TNameMatcher matcher = TNameMatcher::RegularExpression(QStringLiteral("(holiday"));
        QVERIFY(!matcher.IsValid());
        QVERIFY(!matcher.ErrorText().isEmpty());
        QVERIFY(matcher.PicksNothing());
        QVERIFY(!matcher.Matches(u"(holiday"));
    }
};

QTEST_GUILESS_MAIN(TestNameMatch)
#include "tst_namematch.moc"
