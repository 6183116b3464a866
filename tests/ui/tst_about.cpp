// The about window: its texts, its links through the shell, moving it, and closing it.

#include "FormFixture.h"
#include "about.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

class TestAbout : public QObject
{
    Q_OBJECT

    template <typename T>
    static T *child(QWidget *about, const char *name)
    {
        return about->findChild<T *>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void showsTitleVersionAndHints()
    {
        TRecordingShell shell;
        TAboutForm about(shell);
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        about.show();
        QCOMPARE(about.size(), QSize(365, 175));
        QVERIFY(about.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(child<QLabel>(&about, "ProdNameLabel")->text(), QStringLiteral("Dravik"));
        QCOMPARE(child<QLabel>(&about, "InfoLabel")->text(),
                 QStringLiteral("version 2.0 (build 020000)\n\nFiles and their MD5 digests\n"
                                "Copyright (c) Dravik developers"));
        QCOMPARE(child<QPushButton>(&about, "DonateBt")->toolTip(), QStringLiteral("Support Dravik today!"));
        QCOMPARE(child<QPushButton>(&about, "WebBt")->toolTip(), QStringLiteral("Visit our home page"));
        QCOMPARE(child<QPushButton>(&about, "EmailBt")->toolTip(),
                 QStringLiteral("Send us your comments or suggestions"));
    }

    // Nothing of the picture inside the title's frame: there, beside the title, is background.
    void thePictureKeepsOutOfTheTitlesFrame()
    {
        TRecordingShell shell;
        TAboutForm about(shell);
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        about.show();
        const QImage window = about.grab().toImage();
        const QRect frame = child<QWidget>(&about, "Bevel2")->geometry().adjusted(2, 2, -2, -2);
        const QRect title = child<QWidget>(&about, "ProdNameLabel")->geometry();
        const qreal ratio = window.devicePixelRatio();
        const QColor background = window.pixelColor(int(frame.left() * ratio), int(frame.top() * ratio));
        for (int y = frame.top(); y <= frame.bottom(); ++y) {
            for (int x = frame.left(); x < title.left(); ++x)
                QCOMPARE(window.pixelColor(int(x * ratio), int(y * ratio)), background);
        }
    }

    void linksGoToTheShellAndLeaveTheWindowOpen()
    {
        TRecordingShell shell;
        TAboutForm about(shell);
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        about.show();
        for (const char *name : {"WebBt", "DonateBt", "EmailBt"})
            child<QPushButton>(&about, name)->click();
        QCOMPARE(shell.Opened, (QStringList{QStringLiteral("https://www.dravik.example/"),
                                            QStringLiteral("https://www.dravik.example/donate"),
                                            QStringLiteral("mailto:feedback@dravik.example")}));
        QVERIFY(about.isVisible());
    }

    void pressOnBackgroundPictureOrLabelsMovesTheWindow()
    {
        TRecordingShell shell;
        TAboutForm about(shell);
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        about.show();
        QSignalSpy moves(&about, &TAboutForm::moveRequested);
        for (const char *name : {"BakPanel", "IconImage", "ProdNameLabel", "InfoLabel"})
            QTest::mousePress(child<QWidget>(&about, name), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(moves.size(), 4);
        // The title's frame lets a press through to the background.
        QCOMPARE(about.childAt(300, 55), child<QWidget>(&about, "BakPanel"));
        QTest::mousePress(child<QWidget>(&about, "IconImage"), Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseClick(child<QWidget>(&about, "WebBt"), Qt::LeftButton);
        QCOMPARE(moves.size(), 4);
    }

    void aboutButtonShowsItModallyAndClosingReturns()
    {
        TFormFixture f;
        QPointer<TAboutForm> shown;
        bool wasModal = false;
        QTimer::singleShot(0, f.Form.get(), [&] {
            shown = f.Form->findChild<TAboutForm *>();
            if (!shown)
                return;
            wasModal = shown->isModal() && shown->isVisible();
            child<QPushButton>(shown, "CloseBt")->click();
        });
        // Should the window not be found above, nothing may stay blocked in its loop.
        QTimer::singleShot(10000, f.Form.get(), [&f] {
            for (TAboutForm *left : f.Form->findChildren<TAboutForm *>())
                left->close();
        });
        f.Widget<QPushButton>("AboutBt")->click();
        QVERIFY(wasModal);
        QTRY_VERIFY(shown.isNull()); // deleted on closing
        QVERIFY(f.Form->isVisible());
        QVERIFY(f.Prompts.Shown.isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
