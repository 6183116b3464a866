// A screen smaller than the windows' start sizes (ctest runs this at scale 2 on a screen of
// 1200 x 800 pixels, 600 x 400 at that scale): every window opens inside the screen's available
// area, and a popup menu stays on it.

#include "DupFixture.h"
#include "FilesDialog.h"
#include "FoldersDialog.h"
#include "ScriptedPrompts.h"

#include <QMenu>
#include <QPushButton>
#include <QScreen>

namespace {

QRect available()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

class TestScreenFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(available().size(), QSize(600, 400)); }

    void everyWindowOpensInsideTheScreen()
    {
        TDupFixture f;
        QVERIFY2(available().contains(f.Form->frameGeometry()), "main window");
        TDupFilesForm dup(*f.Form, f.Form.get());
        dup.show();
        QVERIFY2(available().contains(dup.frameGeometry()), "duplicates window");
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm files(result, QString(), &prompts);
        files.show();
        QVERIFY2(available().contains(files.frameGeometry()), "file picker");
        TFoldersDialogForm folders(result, QString(), &prompts);
        folders.show();
        QVERIFY2(available().contains(folders.frameGeometry()), "folder picker");
    }

    void theOptionsMenuStaysOnTheScreen()
    {
        TFormFixture f;
        f.Widget<QPushButton>("OptionsBt")->click();
        auto *menu = f.Widget<QMenu>("OptionsPopup");
        QTRY_VERIFY(menu->isVisible());
        QVERIFY2(available().contains(menu->geometry()), qPrintable(QStringLiteral("menu at %1,%2 %3x%4")
                                                                        .arg(menu->x())
                                                                        .arg(menu->y())
                                                                        .arg(menu->width())
                                                                        .arg(menu->height())));
        menu->hide();
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
