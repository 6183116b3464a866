// The cylinder progress bar: its pixel rules read back from the off-screen picture, its
// position arithmetic, the values it refuses, and when it repaints and reports completion.

#include "MainProgressBar.h"
#include "ProgressCyl.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

QColor at(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

QColor rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

// Shades only the bar area of a picture filled with a colour the bar never uses, so the
// shading can be read where the finished picture has frames on top of it.
QImage shadedOnly(const TProgressCyl &bar)
{
    QImage picture(bar.size(), QImage::Format_RGB888);
    picture.fill(Qt::magenta);
    ShadeCylinder(picture, bar.Shading());
    return picture;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int Paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

int inkRows(const QImage &a, const QImage &b, int fromRow, int toRow)
{
    int count = 0;
    for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

} // namespace

class TestProgressCyl : public QObject
{
    Q_OBJECT

private slots:
    void mainBarShadesAroundTheLightLine_data();
    void mainBarShadesAroundTheLightLine();
    void mainBarPictureHasFrameAndPanelColour();
    void flatEffectFillsEveryRowAlike();
    void scaledScreenGetsTheBarDrawnAtItsResolution();
    void positionGivesPercentAndEdge_data();
    void positionGivesPercentAndEdge();
    void percentRoundingTo100ShowsTextDone();
    void foreLineAtMinimum();
    void shadingStaysInsideTheBarArea();
    void refusedValuesKeepTheOldOnes();
    void minAndMaxStayInOrder();
    void bevelColours_data();
    void bevelColours();
    void samePositionTwiceReportsAndRepaintsOnce();
    void invertedTextFlipsOnlyPixelsUnderIt();
    void shadowFallsOnTheChosenSide();
    void rotatedTextRunsAlongTheBar();
    void mouseEnterAndLeaveAreReported();
};

void TestProgressCyl::mainBarShadesAroundTheLightLine_data()
{
    QTest::addColumn<TProgressBarOrientation>("orientation");
    QTest::addRow("horizontal rows") << pbHorizontal;
    QTest::addRow("vertical columns") << pbVertical;
}

void TestProgressCyl::mainBarShadesAroundTheLightLine()
{
    QFETCH(TProgressBarOrientation, orientation);
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetOrientation(orientation);
    if (orientation == pbVertical)
        bar.resize(20, 210);
    bar.SetPosition(100);
    const QImage picture = shadedOnly(bar);
    // The light line lies a third of the way across: offsets -5 ... 10 over the 16 pixels.
    auto across = [&](int offset) {
        return orientation == pbHorizontal ? at(picture, 50, offset) : at(picture, offset, 100);
    };
    QCOMPARE(across(2), rgb(52, 131, 210));
    QCOMPARE(across(7), rgb(63, 159, 255));
    QCOMPARE(across(17), rgb(41, 103, 165));
    QCOMPARE(across(1), QColor(Qt::magenta)); // outside the bar area
    QCOMPARE(across(18), QColor(Qt::magenta));
}

void TestProgressCyl::mainBarPictureHasFrameAndPanelColour()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetPosition(100);
    const QImage picture = bar.Render();
    QCOMPARE(picture.size(), QSize(210, 20));
    QCOMPARE(at(picture, 50, 0), rgb(220, 227, 241)); // Color, no bevels drawn
    QCOMPARE(at(picture, 50, 1), rgb(220, 227, 241));
    QCOMPARE(at(picture, 50, 2), QColor(Qt::black)); // the bar's own frame
    QCOMPARE(at(picture, 50, 7), rgb(63, 159, 255));
    QCOMPARE(at(picture, 50, 17), QColor(Qt::black));
}

void TestProgressCyl::flatEffectFillsEveryRowAlike()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetCylinderEffect(ceFlat);
    bar.SetPosition(100);
    const QImage picture = bar.Render();
    for (int y = 3; y <= 16; ++y)
        QCOMPARE(at(picture, 50, y), rgb(63, 159, 255)); // ColorRGB times the factors
}

// At a device pixel ratio of 2 the bar is drawn with twice the pixels each way: frames as thick as
// before, the same shades where the small picture has them, and finer steps between them (a
// picture blown up from the small one would repeat every row twice).
void TestProgressCyl::scaledScreenGetsTheBarDrawnAtItsResolution()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetPosition(45);
    const QImage single = bar.Render(1);
    const QImage twice = bar.Render(2);
    QCOMPARE(twice.size(), single.size() * 2);
    QCOMPARE(twice.devicePixelRatio(), 2.0);
    QCOMPARE(twice.deviceIndependentSize(), QSizeF(single.size()));

    QCOMPARE(at(twice, 100, 3), rgb(220, 227, 241));
    QCOMPARE(at(twice, 100, 4), QColor(Qt::black));
    QCOMPARE(at(twice, 100, 5), QColor(Qt::black));
    QVERIFY(at(twice, 100, 6) != QColor(Qt::black));
    QCOMPARE(at(twice, 100, 14), rgb(63, 159, 255)); // the light line, a third of the way down

    auto close = [](const QColor &a, const QColor &b) {
        return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) <= 24;
    };
    QSet<QRgb> singleShades, twiceShades;
    for (int y = 3; y <= 16; ++y) {
        for (int x : {40, 150}) // the filled part and the empty part
            QVERIFY2(close(at(single, x, y), at(twice, 2 * x, 2 * y)),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        singleShades.insert(single.pixel(40, y));
    }
    for (int y = 6; y <= 33; ++y)
        twiceShades.insert(twice.pixel(80, y));
    QVERIFY(twiceShades.size() > singleShades.size());
}

void TestProgressCyl::positionGivesPercentAndEdge_data()
{
    QTest::addColumn<TProgressBarOrientation>("orientation");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("barEdge");
    const QSize wide(210, 20);
    const QSize tall(20, 210);
    QTest::addRow("at Min the edge still leaves one column") << pbHorizontal << wide << 100 << 0 << 0 << 3;
    QTest::addRow("half way") << pbHorizontal << wide << 100 << 50 << 50 << 105;
    QTest::addRow("at Max") << pbHorizontal << wide << 100 << 100 << 100 << 208;
    QTest::addRow("above Max is held at Max") << pbHorizontal << wide << 100 << 150 << 100 << 208;
    QTest::addRow("below Min is held at Min") << pbHorizontal << wide << 100 << -5 << 0 << 3;
    // 192 * 1 / 128 = 1.5 and 192 * 3 / 128 = 4.5 exactly: halves go to the even neighbour.
    QTest::addRow("edge 1.5 rounds to 2") << pbHorizontal << QSize(192, 20) << 128 << 1 << 1 << 4;
    QTest::addRow("edge 4.5 rounds to 4") << pbHorizontal << QSize(192, 20) << 128 << 3 << 2 << 6;
    QTest::addRow("percent 2.5 rounds to 2") << pbHorizontal << wide << 200 << 5 << 2 << 7;
    QTest::addRow("percent 1.5 rounds to 2") << pbHorizontal << wide << 200 << 3 << 2 << 5;
    QTest::addRow("vertical at Min lies below the bar") << pbVertical << tall << 100 << 0 << 0 << 208;
    QTest::addRow("vertical half way") << pbVertical << tall << 100 << 50 << 50 << 105;
    QTest::addRow("vertical at Max is the top row") << pbVertical << tall << 100 << 100 << 100 << 2;
}

void TestProgressCyl::positionGivesPercentAndEdge()
{
    QFETCH(TProgressBarOrientation, orientation);
    QFETCH(QSize, size);
    QFETCH(int, max);
    QFETCH(int, position);
    QFETCH(int, percent);
    QFETCH(int, barEdge);
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetOrientation(orientation);
    bar.resize(size);
    bar.SetMax(max);
    bar.SetPosition(position);
    QCOMPARE(bar.Percent(), percent);
    QCOMPARE(bar.BarEdge(), barEdge);
    QCOMPARE(bar.Position(), std::clamp(position, 0, max));
}

void TestProgressCyl::percentRoundingTo100ShowsTextDone()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetShowText(true);
    bar.SetMax(1000);
    bar.SetPosition(999);
    QCOMPARE(bar.Percent(), 100);
    QCOMPARE(bar.DisplayedText(), QStringLiteral("complete"));
    const QImage almost = bar.Render();
    bar.SetPosition(1000);
    QCOMPARE(bar.Render(), almost);
    bar.SetTextDone(QString());
    QCOMPARE(bar.DisplayedText(), QStringLiteral("100%"));
    QVERIFY(bar.Render() != almost);
    bar.SetPosition(450);
    QCOMPARE(bar.DisplayedText(), QStringLiteral("45%"));
}

void TestProgressCyl::foreLineAtMinimum()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetForeLineColor(rgb(255, 0, 0));
    QImage picture = bar.Render();
    // Fore line at Inset + 1 (d = 0 on row 7: 255 * factors 1, 0.25, 0.25), empty part after it.
    QCOMPARE(at(picture, 3, 7), rgb(255, 63, 63));
    QCOMPARE(at(picture, 4, 7), rgb(229, 236, 242));
    QCOMPARE(at(picture, 2, 7), QColor(Qt::black));

    bar.SetOrientation(pbVertical);
    bar.resize(20, 210);
    bar.SetPosition(0);
    picture = bar.Render();
    for (int y = 3; y <= 206; ++y)
        QCOMPARE(at(picture, 7, y), at(picture, 7, 3)); // nothing but the empty part
}

void TestProgressCyl::shadingStaysInsideTheBarArea()
{
    // At Max the edge falls on column R, just outside the bar area; with no bevels that column
    // would show a stray fore line beside the frame.
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetForeLineColor(rgb(255, 0, 0));
    bar.SetPosition(100);
    QCOMPARE(bar.BarEdge(), 208);
    const QImage picture = bar.Render();
    for (int y = 0; y < 20; ++y)
        QCOMPARE(at(picture, 208, y), rgb(220, 227, 241));
    QCOMPARE(at(picture, 206, 7), rgb(63, 159, 255)); // filled right up to the frame
}

void TestProgressCyl::refusedValuesKeepTheOldOnes()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetPosition(50);
    const QImage before = bar.Render();

    bar.ForeStyle().SetLightAngle(0);
    bar.ForeStyle().SetRangeRGB(0);
    bar.BackStyle().SetIntensity(0);
    bar.SetBorderWidth(9); // inset 11 on a bar 20 high leaves no bar
    bar.SetBevelWidth(0);
    bar.SetBorderWidth(-1);

    QCOMPARE(bar.ForeStyle().LightAngle(), -3.0f);
    QCOMPARE(bar.ForeStyle().RangeRGB(), 255);
    QCOMPARE(bar.BackStyle().Intensity(), 4.0f);
    QCOMPARE(bar.BorderWidth(), 0);
    QCOMPARE(bar.BevelWidth(), 1);
    QVERIFY(bar.GeometryUsable());
    QCOMPARE(bar.Render(), before);

    // An accepted style value takes effect: a steeper fall-off darkens the rows off the line.
    bar.ForeStyle().SetColorFactor(-2.0f);
    QVERIFY(bar.Render() != before);
}

void TestProgressCyl::minAndMaxStayInOrder()
{
    TProgressCyl bar;
    bar.SetPosition(10);
    bar.SetMin(20); // pulls the position along
    QCOMPARE(bar.Position(), 20);
    bar.SetMin(100); // equal to Max: one below it
    QCOMPARE(bar.Min(), 99);
    bar.SetMax(50); // not above Min: refused
    QCOMPARE(bar.Max(), 100);
    bar.SetMax(99); // equal to Min: one above it, which is the old Max
    QCOMPARE(bar.Max(), 100);
    bar.SetMin(0);
    bar.SetMax(0);
    QCOMPARE(bar.Max(), 1);
    bar.SetPosition(1);
    QCOMPARE(bar.Percent(), 100);
}

void TestProgressCyl::bevelColours_data()
{
    QTest::addColumn<TBevelCut>("inner");
    QTest::addColumn<TBevelCut>("outer");
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("innerLeft");
    QTest::addColumn<int>("innerRight");
    QTest::addColumn<int>("outerLeft");
    QTest::addColumn<int>("outerRight");
    // Base grey 100: light and second light 164, shadow and dark shadow 36.
    QTest::addRow("raised in lowered (default)") << bvRaised << bvLowered << 2 << 164 << 36 << 36 << 164;
    QTest::addRow("raised in raised, no border") << bvRaised << bvRaised << 0 << 164 << 36 << 164 << 36;
    QTest::addRow("lowered in lowered, no border") << bvLowered << bvLowered << 0 << 36 << 164 << 36 << 164;
}

void TestProgressCyl::bevelColours()
{
    QFETCH(TBevelCut, inner);
    QFETCH(TBevelCut, outer);
    QFETCH(int, border);
    QFETCH(int, innerLeft);
    QFETCH(int, innerRight);
    QFETCH(int, outerLeft);
    QFETCH(int, outerRight);
    TProgressCyl bar;
    bar.SetBevelColor(rgb(100, 100, 100));
    bar.SetColor(rgb(1, 2, 3));
    bar.SetBorderWidth(border);
    bar.SetBevelOuter(outer);
    bar.SetBevelInner(inner);
    const QImage picture = bar.Render();
    const int innerRing = 1 + border;
    auto grey = [](int level) { return rgb(level, level, level); };
    QCOMPARE(at(picture, 0, 10), grey(outerLeft));
    QCOMPARE(at(picture, 149, 10), grey(outerRight));
    QCOMPARE(at(picture, innerRing, 10), grey(innerLeft));
    QCOMPARE(at(picture, 149 - innerRing, 10), grey(innerRight));
    if (border > 0)
        QCOMPARE(at(picture, 1, 10), rgb(1, 2, 3));
}

void TestProgressCyl::samePositionTwiceReportsAndRepaintsOnce()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetMax(1000);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    PaintCounter counter;
    bar.installEventFilter(&counter);
    QSignalSpy done(&bar, &TProgressCyl::OnProgressDone);

    bar.SetPosition(500);
    QCOMPARE(counter.Paints, 1);
    bar.SetPosition(500);
    bar.SetPosition(501); // neither the edge nor the percentage moves
    QCOMPARE(counter.Paints, 1);
    QCOMPARE(bar.Position(), 501);

    bar.SetPosition(1000);
    bar.SetPosition(1000);
    QCOMPARE(counter.Paints, 2);
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.first().first().value<TProgressCyl *>(), &bar);
}

void TestProgressCyl::invertedTextFlipsOnlyPixelsUnderIt()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    bar.SetPosition(45);
    const QImage plain = bar.Render();
    bar.SetShowText(true);
    bar.SetFontEffect(feInvert);
    const QImage inverted = bar.Render();

    int flipped = 0;
    QRect flippedArea;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb before = plain.pixel(x, y) & 0xFFFFFF;
            const QRgb after = inverted.pixel(x, y) & 0xFFFFFF;
            if (after == before)
                continue;
            QCOMPARE(after, before ^ 0xFFFFFF);
            ++flipped;
            flippedArea |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY(flipped > 10);
    QVERIFY(flippedArea.left() > 60 && flippedArea.right() < 150); // "45%", centred
}

void TestProgressCyl::shadowFallsOnTheChosenSide()
{
    TProgressCyl bar;
    ConfigureMainProgressBar(bar);
    QFont font = bar.font();
    font.setStyleStrategy(QFont::NoAntialias); // pure text and shadow colours only
    bar.setFont(font);
    bar.SetFontColor(rgb(255, 0, 0));
    bar.SetFontShadowColor(rgb(0, 255, 0));
    bar.SetShowText(true);
    bar.SetPosition(45);

    auto firstInkRow = [](const QImage &picture) -> QColor {
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) == rgb(255, 0, 0) || picture.pixelColor(x, y) == rgb(0, 255, 0))
                    return picture.pixelColor(x, y);
        return QColor();
    };
    QCOMPARE(firstInkRow(bar.Render()), rgb(255, 0, 0)); // bottom-right shadow lies below
    bar.SetFontEffect(feShadowTopLeft);
    QCOMPARE(firstInkRow(bar.Render()), rgb(0, 255, 0));
}

void TestProgressCyl::rotatedTextRunsAlongTheBar()
{
    TProgressCyl bar;
    bar.SetOrientation(pbVertical);
    QCOMPARE(bar.FontOrientation(), foBottomToTop);
    bar.resize(30, 200);
    bar.SetText(QStringLiteral("MMMM"));
    bar.SetFontEffect(feNone);
    bar.SetPosition(1); // "1MMMM": a slim first character before heavy ones
    bar.SetShowText(false);
    const QImage blank = bar.Render();
    bar.SetShowText(true);

    const QImage upward = bar.Render();
    QVERIFY(inkRows(blank, upward, 0, 100) > inkRows(blank, upward, 100, 200)); // "1" at the bottom
    bar.SetFontOrientation(foTopToBottom);
    const QImage downward = bar.Render();
    QVERIFY(inkRows(blank, downward, 0, 100) < inkRows(blank, downward, 100, 200)); // "1" at the top

    bar.SetOrientation(pbHorizontal);
    QCOMPARE(bar.FontOrientation(), foLeftToRight);
}

void TestProgressCyl::mouseEnterAndLeaveAreReported()
{
    TProgressCyl bar;
    QSignalSpy entered(&bar, &TProgressCyl::OnMouseEnter);
    QSignalSpy left(&bar, &TProgressCyl::OnMouseLeave);
    const QImage before = bar.Render();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&bar, &enter);
    QVERIFY(bar.Hovered());
    QCOMPARE(bar.Render(), before); // hovering does not change the picture
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&bar, &leave);
    QVERIFY(!bar.Hovered());
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 1);
}

QTEST_MAIN(TestProgressCyl)
#include "tst_progresscyl.moc"
