// The windows on a screen scaled by 2 (ctest runs this with QT_SCALE_FACTOR=2): every picture is
// drawn with twice the pixels each way, not blown up from the small one. The title band's
// buttons, the command pictures, the image lists, the about picture and the cylinder bar.

#include "DupFixture.h"
#include "ImageBt.h"
#include "ProgressCyl.h"
#include "about.h"

#include <QLabel>
#include <QPushButton>

namespace {

// An icon holds a drawing of 32 pixels for a 16-pixel place, and hands it out at ratio 2.
void checkDrawnTwice(const QIcon &icon, const QString &what)
{
    QVERIFY2(icon.availableSizes().contains(QSize(32, 32)), qPrintable(what));
    const QPixmap shown = icon.pixmap(QSize(16, 16), 2.0);
    QVERIFY2(shown.size() == QSize(32, 32), qPrintable(what));
    QCOMPARE(shown.devicePixelRatio(), 2.0);
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    void mainWindowPicturesHaveTwiceThePixels()
    {
        TFormFixture f;
        QVERIFY(QTest::qWaitForWindowExposed(f.Form.get()));
        for (const char *name : {"MinimizeBt", "ExitBt"}) {
            auto *button = f.Widget<TImageBt>(name);
            QCOMPARE(button->PictNorm().size(), QSize(42, 42));
            // The button puts its picture on the screen pixel for pixel (where the picture is
            // opaque; the band shows through its rounded corners).
            const QImage shown = button->grab().toImage().convertToFormat(QImage::Format_ARGB32);
            const QImage picture = button->PictNorm().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(shown.size(), picture.size());
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    if (qAlpha(picture.pixel(x, y)) == 255)
                        QCOMPARE(shown.pixel(x, y), picture.pixel(x, y));
        }
        const auto buttons = f.Form->findChildren<QPushButton *>();
        QCOMPARE(buttons.size(), 12);
        for (QPushButton *button : buttons)
            checkDrawnTwice(button->icon(), button->objectName());

        TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(docs, QStringLiteral("a.txt"));
        f.Form->SelectFolder(docs);
        const QAbstractItemModel *folders = f.FoldersTree()->model();
        checkDrawnTwice(folders->index(0, 0).data(Qt::DecorationRole).value<QIcon>(),
                        QStringLiteral("folder"));
        const QAbstractItemModel *files = f.FilesList()->model();
        checkDrawnTwice(files->index(0, 0).data(Qt::DecorationRole).value<QIcon>(), QStringLiteral("file"));

        auto *bar = f.Widget<TProgressCyl>("ProgressBar");
        bar->SetPosition(40);
        const QImage drawn = bar->grab().toImage().convertToFormat(QImage::Format_RGB888);
        QCOMPARE(drawn.size(), bar->size() * 2);
        QCOMPARE(drawn, bar->Render(2).convertToFormat(QImage::Format_RGB888));
    }

    void secondaryWindowPicturesHaveTwiceThePixels()
    {
        TDupFixture f;
        TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(docs, QStringLiteral("a.txt"), 10, true, f.Digest('a'));
        f.AddRecord(docs, QStringLiteral("b.txt"), 10, true, f.Digest('a'));
        QVERIFY(f.CheckAll());
        QCOMPARE(f.Dup->findChild<TImageBt *>(QStringLiteral("CloseBt"))->PictNorm().size(), QSize(42, 42));
        checkDrawnTwice(f.Sets()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>(),
                        QStringLiteral("set"));
        f.SelectSet(0);
        checkDrawnTwice(f.Files()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>(),
                        QStringLiteral("duplicate file"));

        TAboutForm about(f.Shell);
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        const QPixmap picture = about.findChild<QLabel *>(QStringLiteral("IconImage"))->pixmap();
        QCOMPARE(picture.size(), QSize(160, 160));
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        checkDrawnTwice(about.findChild<QPushButton *>(QStringLiteral("CloseBt"))->icon(),
                        QStringLiteral("close"));
    }
};

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
