#include "ShadeImage.h"

#include <QTest>

class TestShadeImage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shadeImage()
    {
        const QImage image = ShadeImage(QColor(176, 190, 223), QSize(200, 28));
        QCOMPARE(image.size(), QSize(200, 28));
        QCOMPARE(image.pixelColor(0, 0), QColor(240, 245, 250));
        // Column 0, row 14 of 28: f = cos(pi/4); red 0.7071 * 64 + 176 = 221.25, green
        // 0.7071 * 55 + 190 = 228.89, blue 0.7071 * 27 + 223 = 242.09.
        QCOMPARE(image.pixelColor(0, 14), QColor(221, 229, 242));
        // Near the far corner the shade nears the band's own colour.
        const QColor corner = image.pixelColor(199, 27);
        QVERIFY(qAbs(corner.red() - 176) <= 1 && qAbs(corner.blue() - 223) <= 1);
    }
};

QTEST_GUILESS_MAIN(TestShadeImage)
#include "tst_shadeimage.moc"
