// The picture button: which picture it shows through hover, press, leave and release, for
// enabled and disabled buttons, and where the pictures are drawn.

#include "ImageBt.h"
#include "TitleButtons.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

QImage solid(const QSize &size, const QColor &colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

const QColor Norm(200, 0, 0);
const QColor Over(0, 200, 0);
const QColor Pres(0, 0, 200);
const QColor Disa(120, 120, 120);

void enter(TImageBt &button)
{
    QEnterEvent event(QPointF(10, 10), QPointF(10, 10), button.mapToGlobal(QPointF(10, 10)));
    QCoreApplication::sendEvent(&button, &event);
}

void leave(TImageBt &button)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &event);
}

QColor shown(TImageBt &button, const QPoint &at = QPoint(10, 10))
{
    return button.grab().toImage().pixelColor(at);
}

} // namespace

class TestImageBt : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void madeWithoutSizeIs23Square();
    void hoverWithoutPictOverShowsPictNorm();
    void pressLeaveReleaseReturnsToNormal();
    void draggingOffWhileHeldReturnsToNormal();
    void clickInsideIsReported();
    void disabledButtonNeverHovers();
    void largerPictOverIsDrawnAtPictNormSize();
    void transparentLeavesOutTheBottomLeftColour();
    void titleBandButtonsComeReady();
    void titleBandPicturesAreDrawnAtTheRatio();
    void aClickLeavesTheFocusWhereItWas();

private:
    QWidget *m_host = nullptr;
    TImageBt *m_button = nullptr;
};

void TestImageBt::init()
{
    // A host larger than the button, so the mouse can be released beside it.
    m_host = new QWidget;
    m_host->resize(100, 100);
    m_button = new TImageBt(m_host);
    m_button->setGeometry(10, 10, 21, 21);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host));
}

void TestImageBt::cleanup()
{
    delete m_host;
    m_host = nullptr;
}

void TestImageBt::madeWithoutSizeIs23Square()
{
    TImageBt button;
    QCOMPARE(button.size(), QSize(23, 23));
}

void TestImageBt::hoverWithoutPictOverShowsPictNorm()
{
    m_button->SetPictNorm(solid(QSize(21, 21), Norm));
    m_button->SetPictPres(solid(QSize(21, 21), Pres));
    enter(*m_button);
    QVERIFY(m_button->Hover());
    QCOMPARE(shown(*m_button), Norm);
}

void TestImageBt::pressLeaveReleaseReturnsToNormal()
{
    m_button->SetPictNorm(solid(QSize(21, 21), Norm));
    m_button->SetPictOver(solid(QSize(21, 21), Over));
    m_button->SetPictPres(solid(QSize(21, 21), Pres));
    QSignalSpy clicked(m_button, &TImageBt::clicked);
    QCOMPARE(shown(*m_button), Norm);
    enter(*m_button);
    QCOMPARE(shown(*m_button), Over);
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(m_button->Pressed());
    QCOMPARE(shown(*m_button), Pres);

    leave(*m_button);
    QVERIFY(!m_button->Hover());
    QVERIFY(m_button->Pressed()); // still held
    QCOMPARE(shown(*m_button), Norm);

    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(60, 60));
    QVERIFY(!m_button->Pressed());
    QCOMPARE(shown(*m_button), Norm);
    QCOMPARE(clicked.count(), 0);
}

void TestImageBt::draggingOffWhileHeldReturnsToNormal()
{
    m_button->SetPictNorm(solid(QSize(21, 21), Norm));
    m_button->SetPictPres(solid(QSize(21, 21), Pres));
    enter(*m_button);
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(shown(*m_button), Pres);
    QTest::mouseMove(m_button, QPoint(60, 60));
    QCOMPARE(shown(*m_button), Norm);
    QTest::mouseMove(m_button, QPoint(12, 12)); // back on while still held
    QCOMPARE(shown(*m_button), Pres);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(12, 12));
    QVERIFY(!m_button->Pressed());
}

void TestImageBt::clickInsideIsReported()
{
    m_button->SetPictNorm(solid(QSize(21, 21), Norm));
    QSignalSpy clicked(m_button, &TImageBt::clicked);
    enter(*m_button);
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!m_button->Pressed());
}

void TestImageBt::disabledButtonNeverHovers()
{
    m_button->SetPictNorm(solid(QSize(21, 21), Norm));
    m_button->SetPictOver(solid(QSize(21, 21), Over));
    m_button->setEnabled(false);
    enter(*m_button);
    QVERIFY(!m_button->Hover());
    QCOMPARE(shown(*m_button), Norm); // no PictDisa: the normal picture
    m_button->SetPictDisa(solid(QSize(21, 21), Disa));
    QCOMPARE(shown(*m_button), Disa);
}

void TestImageBt::largerPictOverIsDrawnAtPictNormSize()
{
    m_button->SetPictNorm(solid(QSize(11, 11), Norm));
    m_button->SetPictOver(solid(QSize(21, 21), Over));
    enter(*m_button);
    const QImage picture = m_button->grab().toImage();
    QRect drawn;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) == Over)
                drawn |= QRect(x, y, 1, 1);
    QCOMPARE(drawn, QRect(5, 5, 11, 11)); // centred, at PictNorm's size
}

void TestImageBt::transparentLeavesOutTheBottomLeftColour()
{
    QImage picture = solid(QSize(21, 21), Norm);
    for (int x = 0; x < 21; ++x)
        picture.setPixelColor(x, 20, Pres); // the bottom row, bottom-left pixel included
    picture.setPixelColor(10, 10, Pres);
    m_button->SetPictNorm(picture);
    QCOMPARE(shown(*m_button, QPoint(10, 10)), Pres);
    m_button->SetTransparent(true);
    QVERIFY(shown(*m_button, QPoint(10, 10)) != Pres);
    QVERIFY(shown(*m_button, QPoint(5, 20)) != Pres);
    QCOMPARE(shown(*m_button, QPoint(5, 5)), Norm);
}

void TestImageBt::titleBandButtonsComeReady()
{
    const std::pair<TTitleButton, QString> kinds[] = {{tbMinimize, QStringLiteral("Minimize")},
                                                      {tbExit, QStringLiteral("Exit")},
                                                      {tbClose, QStringLiteral("Close")}};
    for (const auto &[kind, hint] : kinds) {
        TImageBt button;
        ConfigureTitleBandButton(button, kind);
        QCOMPARE(button.size(), QSize(21, 21));
        QCOMPARE(button.toolTip(), hint);
        QCOMPARE(button.accessibleName(), hint);
        QCOMPARE(button.PictNorm().deviceIndependentSize(), QSizeF(21, 21));
        QVERIFY(!button.PictOver().isNull());
        QVERIFY(!button.PictPres().isNull());
        QVERIFY(button.PictOver() != button.PictNorm());
        QVERIFY(!button.Transparent());
    }
}

// On a screen scaled by 2 a picture of 21 x 21 pixels blown up would look blurred: the pictures
// are drawn with twice the pixels, and the button puts them on the screen pixel for pixel.
void TestImageBt::titleBandPicturesAreDrawnAtTheRatio()
{
    for (TTitleButton kind : {tbMinimize, tbExit, tbClose}) {
        for (TTitleButtonLook look : {tlNorm, tlOver, tlPres}) {
            const QImage single = TitleButtonPicture(kind, look, 1);
            const QImage twice = TitleButtonPicture(kind, look, 2);
            QCOMPARE(single.size(), QSize(21, 21));
            QCOMPARE(twice.size(), QSize(42, 42));
            QCOMPARE(twice.deviceIndependentSize(), single.deviceIndependentSize());
            // The same drawing: brought down to 21 x 21 it matches the small one closely (a
            // drawing that ignored the ratio would fill only a quarter of the large picture).
            const QImage reduced = twice.scaled(21, 21, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            for (const QPoint at :
                 {QPoint(10, 10), QPoint(4, 4), QPoint(16, 16), QPoint(10, 14), QPoint(1, 10)}) {
                const QColor a = single.pixelColor(at);
                const QColor b = reduced.pixelColor(at);
                QVERIFY2(qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) <
                             90,
                         qPrintable(QStringLiteral("kind %1 look %2 at %3,%4")
                                        .arg(kind)
                                        .arg(look)
                                        .arg(at.x())
                                        .arg(at.y())));
            }
        }
    }

    TImageBt button;
    ConfigureTitleBandButton(button, tbExit, 2);
    QCOMPARE(button.size(), QSize(21, 21));
    QImage screen(QSize(42, 42), QImage::Format_ARGB32_Premultiplied);
    screen.setDevicePixelRatio(2);
    screen.fill(Qt::transparent);
    button.render(&screen, QPoint(), QRegion(), QWidget::RenderFlags()); // the picture alone
    QCOMPARE(screen.convertToFormat(QImage::Format_ARGB32),
             button.PictNorm().convertToFormat(QImage::Format_ARGB32));
}

void TestImageBt::aClickLeavesTheFocusWhereItWas()
{
    QWidget window;
    auto *edit = new QLineEdit(&window);
    auto *button = new TImageBt(&window);
    button->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
}

QTEST_MAIN(TestImageBt)
#include "tst_imagebt.moc"
