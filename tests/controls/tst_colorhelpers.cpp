// The colour helpers on colours worked out by hand, including exact halves and the limits.

#include "ColorHelpers.h"

#include <QTest>

class TestColorHelpers : public QObject
{
    Q_OBJECT

private slots:
    void lightenColor_data();
    void lightenColor();
    void darkenColor_data();
    void darkenColor();
    void greyColor_data();
    void greyColor();
    void bgrNumbersPutRedInTheLowByte();
    void systemColoursFollowThePalette();
};

void TestColorHelpers::lightenColor_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QColor>("expected");
    QTest::addRow("silver by 3") << QColor(192, 192, 192) << 3 << QColor(194, 194, 194);   // 193.89
    QTest::addRow("silver by 88") << QColor(192, 192, 192) << 88 << QColor(247, 247, 247); // 247.44
    QTest::addRow("black halfway") << QColor(0, 0, 0) << 50 << QColor(128, 128, 128);      // 127.5 to even
    QTest::addRow("7.5 goes to the even 8") << QColor(5, 7, 0) << 1 << QColor(8, 9, 3);    // 7.5, 9.48, 2.55
    QTest::addRow("x.5 goes to the even below")
        << QColor(200, 40, 0) << 30 << QColor(216, 104, 76); // 216.5, 104.5, 76.5
    QTest::addRow("beyond 100 is 100") << QColor(10, 20, 30) << 150 << QColor(255, 255, 255);
    QTest::addRow("0 changes nothing") << QColor(10, 20, 30) << 0 << QColor(10, 20, 30);
}

void TestColorHelpers::lightenColor()
{
    QFETCH(QColor, colour);
    QFETCH(int, percent);
    QFETCH(QColor, expected);
    QCOMPARE(LightenColor(colour, percent), expected);
}

void TestColorHelpers::darkenColor_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("amount");
    QTest::addColumn<QColor>("expected");
    QTest::addRow("green loses two less") << QColor(100, 100, 100) << 50 << QColor(50, 52, 50);
    QTest::addRow("held at 0") << QColor(30, 30, 30) << 40 << QColor(0, 0, 0);
    QTest::addRow("selection grey by 50") << QColor(200, 200, 200) << 50 << QColor(150, 152, 150);
    QTest::addRow("small amount keeps green in range") << QColor(10, 255, 10) << 1 << QColor(9, 255, 9);
}

void TestColorHelpers::darkenColor()
{
    QFETCH(QColor, colour);
    QFETCH(int, amount);
    QFETCH(QColor, expected);
    QCOMPARE(DarkenColor(colour, amount), expected);
}

void TestColorHelpers::greyColor_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QColor>("expected");
    QTest::addRow("mean plus 90") << QColor(30, 60, 90) << 90 << QColor(150, 150, 150);
    QTest::addRow("mean cut toward zero") << QColor(200, 40, 41) << 90 << QColor(183, 183, 183); // 93.67
    QTest::addRow("at most 240") << QColor(255, 255, 255) << 90 << QColor(240, 240, 240);
}

void TestColorHelpers::greyColor()
{
    QFETCH(QColor, colour);
    QFETCH(int, delta);
    QFETCH(QColor, expected);
    QCOMPARE(GreyColor(colour, delta), expected);
}

void TestColorHelpers::bgrNumbersPutRedInTheLowByte()
{
    QCOMPARE(ColorFromBGR(16744448), QColor(0, 128, 255));
    QCOMPARE(ColorFromBGR(12112849), QColor(209, 211, 184));
    QCOMPARE(ColorFromBGR(15852508), QColor(220, 227, 241));
}

void TestColorHelpers::systemColoursFollowThePalette()
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    QCOMPARE(SysColor::ButtonFace().Resolve(palette), QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    QCOMPARE(SysColor::ButtonFace().Resolve(palette), QColor(4, 5, 6));
    QVERIFY(SysColor::ButtonFace() == SysColor::ButtonFace());
    QVERIFY(!(TColor(QColor(4, 5, 6)) == SysColor::ButtonFace())); // same pixels, not the system colour
}

QTEST_MAIN(TestColorHelpers)
#include "tst_colorhelpers.moc"
