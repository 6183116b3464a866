#include "FormFixture.h"
#include "ImageBt.h"
#include "LongOperation.h"
#include "ProgressCyl.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

class TestMainFrame : public QObject
{
    Q_OBJECT

private:
    static QPushButton *button(TFormFixture &f, const char *name) { return f.Widget<QPushButton>(name); }

private Q_SLOTS:
    void startsEmptyWithTheInitialButtonStates()
    {
        TFormFixture f;
        for (const char *name : {"CreateFolderBt", "AddFoldersBt", "LoadMdRegBt"})
            QVERIFY2(button(f, name)->isEnabled(), name);
        for (const char *name : {"RemoveFolderBt", "AddFilesBt", "CommentsBt", "RemoveFilesBt", "CheckDupBt",
                                 "SearchAllDupBt", "SaveMdBt"})
            QVERIFY2(!button(f, name)->isEnabled(), name);
        QCOMPARE(button(f, "CreateFolderBt")->toolTip(), QStringLiteral("Create new root folder"));
        QCOMPARE(button(f, "AddFilesBt")->toolTip(),
                 QStringLiteral("Add new file(s) to registry (key <Insert>)"));
        QCOMPARE(f.Widget<QLabel>("TitleLabel")->text(), QStringLiteral("Dravik"));
        QCOMPARE(f.Widget<TProgressCyl>("ProgressBar")->geometry(), QRect(485, 61, 210, 20));
        QVERIFY(!f.Form->Modified());
        QVERIFY(f.Form->minimumWidth() >= 700 && f.Form->minimumHeight() >= 450);
        // The client area between the sizing border is 700 x 450 at the least.
        QCOMPARE(f.Widget<QWidget>("BottomPanel")->width(), 700);
        f.Form->resize(200, 100);
        QVERIFY(f.Form->width() >= 700 && f.Form->height() >= 450);
    }

    void menusHoldTheirEntriesInOrder()
    {
        TFormFixture f;
        auto captions = [&](const char *menu) {
            QStringList texts;
            for (QAction *action : f.Widget<QMenu>(menu)->actions())
                texts << action->text();
            return texts;
        };
        QCOMPARE(captions("OptionsPopup"),
                 QStringList({"Search for specific MD5 code", "Restart all MD5 calculation",
                              "Recalculate MD5 for selected files", "Skip file being calculated",
                              "Stop all MD5 calculation", "Export registry (CSV format)",
                              "Verify MD5 for selected files", "Search file name"}));
        QCOMPARE(captions("FoldersMenu"),
                 QStringList({"Create new root folder", "Add new sub-folder", "Change folder name",
                              "Remove folder(s)", "Move sub-folder to root", "Count files and sizes",
                              "Real filepath", "Sort folders", "Expand folders", "Contract folders"}));
        QCOMPARE(
            captions("FilesMenu"),
            QStringList({"Select all files", "Count files and sizes", "Add or modify file comments",
                         "Real filepath", "Remove file(s) from registry", "Copy MD5 code to clipboard"}));
        QCOMPARE(captions("FilRealfilepath"),
                 QStringList({"Check file(s) existence", "Shell open", "Open container folder",
                              "Remove real filepath", "Delete file(s) from disk", QString(), "Tip"}));
    }

    // The clearing timer is watched, not raced: a kept text starts none, every other text
    // (re)starts the 5-second period, and its timeout empties the panel.
    void statusTextClearsAfterTheLastCall()
    {
        TFormFixture f;
        auto *timer = f.Widget<QTimer>("CleTimer");
        QCOMPARE(timer->interval(), 5000);
        f.Form->SetStatus(QStringLiteral("kept"), true);
        QVERIFY(!timer->isActive());
        QCOMPARE(f.Form->StatusText(), QStringLiteral("kept"));

        f.Form->SetStatus(QStringLiteral("first"), false);
        QVERIFY(timer->isActive());
        timer->stop(); // as if its period had run out unnoticed
        f.Form->SetStatus(QStringLiteral("second"), false);
        QVERIFY(timer->isActive()); // every text that is not kept starts a full period
        QCOMPARE(f.Form->StatusText(), QStringLiteral("second"));

        f.Form->CleTimerTimer();
        QVERIFY(!timer->isActive());
        QCOMPARE(f.Form->StatusText(), QString());

        f.Form->SetStatus(QStringLiteral("third"), false);
        f.Form->SetStatus(QStringLiteral("kept again"), true); // a kept text stops the clearing
        QVERIFY(!timer->isActive());
    }

    void progressFollowsTheTotal()
    {
        TFormFixture f;
        auto *bar = f.Widget<TProgressCyl>("ProgressBar");
        f.Form->SetProgressTotal(0);
        f.Form->SetProgress(50);
        QCOMPARE(bar->Position(), 0);
        f.Form->SetProgressTotal(200);
        f.Form->SetProgress(50);
        QCOMPARE(bar->Position(), 25);
        f.Form->SetProgress(5000);
        QCOMPARE(bar->Position(), 100);
        f.Form->SetProgressTotal(3);
        f.Form->SetProgress(2); // integer division
        QCOMPARE(bar->Position(), 66);
        f.Form->ResetProgress();
        f.Form->SetProgress(3); // no total left behind by the last command
        QCOMPARE(bar->Position(), 0);
    }

    void enablingCommandsNeverDisables()
    {
        TFormFixture f;
        TFolderNode *only = f.Catalog().AddFolder(nullptr, QStringLiteral("Only"));
        f.Form->SelectFolder(only);
        f.Form->EnableCommands(true);
        f.Catalog().RemoveFolder(only);
        f.Form->EnableCommands(true);
        QVERIFY(button(f, "SearchAllDupBt")->isEnabled());
        QVERIFY(!button(f, "RemoveFolderBt")->isEnabled());

        f.Form->EnableCommands(false);
        for (const char *name : {"LoadMdRegBt", "AddFoldersBt", "AddFilesBt", "CheckDupBt", "RemoveFilesBt",
                                 "CommentsBt", "SearchAllDupBt", "RemoveFolderBt"})
            QVERIFY2(!button(f, name)->isEnabled(), name);
        QVERIFY(button(f, "CreateFolderBt")->isEnabled()); // never touched

        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("a.txt"));
        f.Form->SelectFolder(folder);
        f.Form->EnableCommands(false);
        f.Form->EnableCommands(true);
        for (const char *name : {"AddFilesBt", "CheckDupBt", "SearchAllDupBt", "RemoveFolderBt"})
            QVERIFY2(button(f, name)->isEnabled(), name);
        QVERIFY(!button(f, "RemoveFilesBt")->isEnabled()); // no row selected
        QCOMPARE(button(f, "CreateFolderBt")->toolTip(), QStringLiteral("Create new sub-folder"));
    }

    void closingAsksAboutUnsavedWork()
    {
        TFormFixture f;
        f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.Form->MarkModified();

        f.Prompts.PlanAnswer(TPrompts::TAnswer::Cancel);
        QVERIFY(!f.Form->close());
        QVERIFY(f.Form->isVisible());
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")),
                 QStringList({"The registry was not saved, save now?"}));
        QVERIFY(f.Catalog().HasFolders());

        f.Prompts.PlanNo();
        QVERIFY(f.Form->close());
        QVERIFY(!f.Catalog().HasFolders()); // the catalog is disposed of on closing
    }

    void closingWithoutChangesAsksNothing()
    {
        TFormFixture f;
        QVERIFY(f.Form->close());
        QVERIFY(f.Prompts.Shown.isEmpty());
    }

    void keysActByFocusedControl()
    {
        TFormFixture f;
        // Insert in the tree with no current folder: a root folder.
        f.Prompts.PlanInput(QStringLiteral("Root"));
        QTest::keyClick(f.FoldersTree(), Qt::Key_Insert);
        QCOMPARE(f.Catalog().RootFolders().size(), size_t(1));
        TFolderNode *root = f.Catalog().RootFolders().front().get();
        QCOMPARE(f.Catalog().CurrentFolder(), root);

        // With a current folder: a sub-folder.
        f.Prompts.PlanInput(QStringLiteral("Sub"));
        QTest::keyClick(f.FoldersTree(), Qt::Key_Insert);
        QCOMPARE(root->SubFolders().size(), size_t(1));
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Input")).last(),
                 QStringLiteral("Create new folder|Enter new sub-folder name|"));

        // F2 on the list does nothing; on the tree it starts editing the current folder's name.
        QTest::keyClick(f.FilesList(), Qt::Key_F2);
        QVERIFY(!f.FoldersTree()->IsEditing());
        QTest::keyClick(f.FoldersTree(), Qt::Key_F2);
        QVERIFY(f.FoldersTree()->IsEditing());
        // While a name is typed, Insert belongs to the editor.
        const int asked = int(f.Prompts.Shown.size());
        QTest::keyClick(f.FoldersTree(), Qt::Key_Insert);
        QCOMPARE(int(f.Prompts.Shown.size()), asked);
        QTest::keyClick(f.FoldersTree()->focusWidget(), Qt::Key_Escape);

        // Delete in the tree removes the current folder after the question.
        f.Prompts.PlanYes();
        QTest::keyClick(f.FoldersTree(), Qt::Key_Delete);
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("Folder \"Sub\" will be removed from this list, continue?"));
        QVERIFY(root->SubFolders().empty());

        // Delete in the list removes the selected rows; with none selected the button is off.
        f.AddRecord(root, QStringLiteral("a.txt"));
        f.Form->FillFileList(root);
        QTest::keyClick(f.FilesList(), Qt::Key_Delete);
        QCOMPARE(root->RecordCount(), 1);
        f.SelectRows({0});
        f.Prompts.PlanYes();
        QTest::keyClick(f.FilesList(), Qt::Key_Delete);
        QCOMPARE(root->RecordCount(), 0);
        QVERIFY(f.Prompts.AllAnswersUsed());
        QVERIFY(f.Prompts.Unplanned.isEmpty());
    }

    // Every way into a command asks the gate: with Busy set none runs, and none shows a box.
    void everyEntryPointWaitsWhileBusy()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        f.AddRecord(home, QStringLiteral("a.txt"));
        f.Form->SelectFolder(home);
        f.SelectRows({0});
        f.Form->MarkModified(); // "Save registry" enabled
        f.Form->SetBusy(true);

        for (const char *name : {"CreateFolderBt", "SaveMdBt", "AboutBt"})
            button(f, name)->click();
        for (const char *menu :
             {"FoldersMenu", "FilesMenu", "OptionsPopup", "FolRealpaths", "FilRealfilepath"}) {
            for (QAction *action : f.Widget<QMenu>(menu)->actions())
                action->trigger();
        }
        for (Qt::Key key : {Qt::Key_Insert, Qt::Key_Delete, Qt::Key_F2}) {
            QTest::keyClick(f.FoldersTree(), key);
            QTest::keyClick(f.FilesList(), key);
        }
        QVERIFY(!f.FoldersTree()->IsEditing());
        // A click on the selected folder's name would start editing it.
        const QRect label = f.FoldersTree()->LabelRect(f.FoldersTree()->currentIndex());
        QTest::mouseClick(f.FoldersTree()->viewport(), Qt::LeftButton, {}, label.center());
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(!f.FoldersTree()->IsEditing());
        f.Form->FoldersTreeEdited(home, QStringLiteral("Renamed"));
        f.Form->HandleDroppedFiles({f.MakeFile(QStringLiteral("dropped.txt"))});
        f.Form->DropFolderOnFolder(other, home);
        f.Form->DropRecordsOnFolder({home->Record(0)}, other);
        QCoreApplication::processEvents();

        QVERIFY2(f.Prompts.Shown.isEmpty(), qPrintable(f.Prompts.LastText()));
        QVERIFY(f.Shell.Opened.isEmpty());
        QCOMPARE(home->Name(), QStringLiteral("Home"));
        QCOMPARE(home->RecordCount(), 1);
        QVERIFY(home->SubFolders().empty() && other->Parent() == nullptr);
        f.Form->SetBusy(false);

        f.Widget<QAction>("FolCountfiles")->trigger();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")).size(), 1);
    }

    // A guard made inside another changes nothing: only the outer one clears Busy.
    void longOperationsDoNotNest()
    {
        TFormFixture f;
        {
            TLongOperation outer(*f.Form, QStringLiteral("outer, please wait..."));
            {
                TLongOperation inner(*f.Form, QStringLiteral("inner, please wait..."));
                inner.SetResult(QStringLiteral("inner done"));
            }
            QVERIFY(f.Form->Busy());
            QVERIFY(!button(f, "LoadMdRegBt")->isEnabled());
            QCOMPARE(f.Form->StatusText(), QStringLiteral("outer, please wait..."));
        }
        QVERIFY(!f.Form->Busy());
        QVERIFY(button(f, "LoadMdRegBt")->isEnabled());
        QCOMPARE(f.Form->StatusText(), QString());
    }

    // The title band's buttons are pictures clicked with the mouse: the keyboard never reaches
    // them, and a click leaves the focus where it was.
    void pictureButtonsStayOutOfTheKeyboardsWay()
    {
        TFormFixture f;
        QApplication::setActiveWindow(f.Form.get());
        QVERIFY(QTest::qWaitForWindowActive(f.Form.get()));
        auto *exit = f.Widget<TImageBt>("ExitBt");
        auto *minimize = f.Widget<TImageBt>("MinimizeBt");
        QSignalSpy exitClicks(exit, &QAbstractButton::clicked);
        QSignalSpy minimizeClicks(minimize, &QAbstractButton::clicked);

        f.FilesList()->setFocus();
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(!qobject_cast<TImageBt *>(QApplication::focusWidget()));
            QVERIFY(QApplication::focusWidget() != f.FoldersTree());
        }
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(f.Form.get(), key);
        QCOMPARE(exitClicks.count() + minimizeClicks.count(), 0);
        QVERIFY(f.Form->isVisible());
    }

    void standardErrorBoxAppendsAFullStop()
    {
        QCOMPARE(TPrompts::StandardErrorText(QStringLiteral("data error")), QStringLiteral("data error."));
        QCOMPARE(TPrompts::StandardErrorText(QStringLiteral("Done.")), QStringLiteral("Done."));
        QCOMPARE(TPrompts::StandardErrorText(QStringLiteral("what?!")),
                 QStringLiteral("what?!")); // '!' sorts before '.'
        QCOMPARE(TPrompts::StandardErrorText(QString()), QString());
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
