// The folder picker on folders made in a temporary directory: the count text and the state of
// Accept that the tree decides, returning the selected folders or the tree's own, selecting
// all, a double-click that does nothing, and its own remembered folder.

#include "FilesDialog.h"
#include "FoldersDialog.h"
#include "PickerFixture.h"
#include "QtPrompts.h"
#include "ScriptedPrompts.h"

#include <QTimer>
#include <QToolButton>

class TestFoldersDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        LastFoldersDialogPath.clear();
        LastFileDialogPath.clear();
    }

    void showsItsTitleAndHasNoCountButton()
    {
        TPickerDisk disk;
        QStringList result;
        TScriptedPrompts prompts;
        TFoldersDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        QCOMPARE(c.Widget<QLabel>("TitleLabel")->text(), QStringLiteral("Select folders"));
        QVERIFY(!c.Widget<QToolButton>("CountBt"));
        QCOMPARE(c.Widget<QWidget>("SelectAllBt")->toolTip(),
                 QStringLiteral("Select all files (or <Space> key)"));
    }

    void aFolderWithoutSubFoldersReturnsItself()
    {
        TPickerDisk disk;
        const QString leaf = disk.MakeFolder(QStringLiteral("leaf"));
        disk.MakeFile(QStringLiteral("leaf/file.txt")); // files are not listed
        LastFoldersDialogPath = leaf + u'/';
        QStringList result;
        TScriptedPrompts prompts;
        TFoldersDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        QCOMPARE(c.StateText(), QStringLiteral("0 folders"));
        // The tree's folder is what Accept returns, so Accept is enabled.
        QVERIFY(c.AcceptBt()->isEnabled());
        form.SelectAllBtClick();
        QCOMPARE(prompts.Texts(QStringLiteral("Information")), QStringList{"No files to select."});
        c.Key(c.ListView(), Qt::Key_Enter);
        QVERIFY(!form.isVisible());
        QCOMPARE(result, QStringList{leaf});
        QCOMPARE(LastFoldersDialogPath, leaf + u'/');
        QCOMPARE(LastFileDialogPath, QString());
    }

    void selectedFoldersAreReturnedInDisplayOrderNotTheTreesFolder()
    {
        TPickerDisk disk;
        for (const char *name : {"top/zeta", "top/Alpha", "top/.cache", "top/beta"})
            disk.MakeFolder(QString::fromLatin1(name));
        disk.MakeFile(QStringLiteral("top/notes.txt"));
        LastFoldersDialogPath = disk.Path("top") + u'/';
        QStringList result;
        TScriptedPrompts prompts;
        TFoldersDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        QCOMPARE(c.Names(), QStringList({".cache", "Alpha", "beta", "zeta"}));
        QCOMPARE(c.StateText(), QStringLiteral("4 folders"));
        c.SelectRows({1});
        QCOMPARE(c.StateText(), QStringLiteral("1 folders selected"));
        c.SelectRows({3, 1});
        QCOMPARE(c.StateText(), QStringLiteral("2 folders selected"));
        c.SelectRows({1, 3});
        form.AcceptBtClick();
        QCOMPARE(result, QStringList({disk.Path("top/Alpha"), disk.Path("top/zeta")}));
        QCOMPARE(LastFoldersDialogPath, disk.Path("top") + u'/');
    }

    void acceptFollowsTheTreesSelection()
    {
        TPickerDisk disk;
        disk.MakeFolder(QStringLiteral("sub"));
        QStringList result;
        TScriptedPrompts prompts;
        TFoldersDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        c.SelectRows({0});
        QVERIFY(c.AcceptBt()->isEnabled());
        // The last rule decides: no folder selected in the tree, no Accept, whatever the list holds.
        c.Tree()->selectionModel()->clearSelection();
        QCOMPARE(c.StateText(), QStringLiteral("1 folders selected"));
        QVERIFY(!c.AcceptBt()->isEnabled());
        c.Key(c.ListView(), Qt::Key_Return);
        QVERIFY(form.isVisible());
    }

    void spaceSelectsEveryFolder()
    {
        TPickerDisk disk;
        for (const char *name : {"one", "two", "three"})
            disk.MakeFolder(QString::fromLatin1(name));
        QStringList result;
        TScriptedPrompts prompts;
        TFoldersDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        c.ShowActive();
        c.Key(c.ListView(), Qt::Key_Space);
        QCOMPARE(c.StateText(), QStringLiteral("3 folders selected"));
        QCOMPARE(QApplication::focusWidget(), c.AcceptBt());
    }

    void aDoubleClickNeitherEntersNorAccepts()
    {
        TPickerDisk disk;
        disk.MakeFolder(QStringLiteral("inside/deeper"));
        QStringList result;
        TScriptedPrompts prompts;
        TFoldersDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        QAbstractItemView *view = c.ListView();
        const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(form.isVisible());
        QCOMPARE(form.ListFolder(), disk.Path());
        QCOMPARE(c.Names(), QStringList{"inside"});
        QCOMPARE(result, QStringList());
    }

    void theRealPromptsPickWithThePicker()
    {
        TPickerDisk disk;
        QTimer::singleShot(0, this, [] {
            if (auto *form = qobject_cast<TFoldersDialogForm *>(QApplication::activeModalWidget()))
                form->AcceptBtClick();
        });
        QTimer::singleShot(5000, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        TQtPrompts real;
        QCOMPARE(real.PickFolders(disk.Path()), QStringList{disk.Path()});
        QCOMPARE(LastFoldersDialogPath, disk.Path() + u'/');
    }
};

QTEST_MAIN(TestFoldersDialog)
#include "tst_foldersdialog.moc"
