// The windows from the keyboard and to screen readers: every button that shows only a picture
// has a name and its hint; Tab walks the file list and the command panel in reading order and
// never reaches the folder tree; the Menu key and Shift+F10 open the views' menus.

#include "DupFixture.h"
#include "FilesDialog.h"
#include "FoldersDialog.h"
#include "FoldersTreeView.h"
#include "PickerFixture.h"
#include "QtPrompts.h"
#include "about.h"

#include <QAccessible>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

namespace {

// "name=what a screen reader says|hint" for every button of the window that shows no text.
QStringList pictureButtons(QWidget *window)
{
    QStringList buttons;
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!button->text().isEmpty())
            continue;
        QAccessibleInterface *access = QAccessible::queryAccessibleInterface(button);
        buttons << button->objectName() + u'=' + (access ? access->text(QAccessible::Name) : QString()) +
                       u'|' + button->toolTip();
    }
    buttons.sort();
    return buttons;
}

// The names of the widgets Tab (or Shift+Tab) reaches from the widget until it comes back.
QStringList tabWalk(QWidget *from, Qt::Key key = Qt::Key_Tab)
{
    QStringList visited;
    from->setFocus();
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(QApplication::focusWidget(), key);
        if (QApplication::focusWidget() == from)
            break;
        visited << QApplication::focusWidget()->objectName();
    }
    return visited;
}

void activate(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pictureButtonsHaveNamesAndHints()
    {
        TDupFixture f;
        QCOMPARE(pictureButtons(f.Form.get()),
                 QStringList({"AboutBt=About...|About...", "ExitBt=Exit|Exit", "MinimizeBt=Minimize|Minimize",
                              "OptionsBt=More options...|More options..."}));

        TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(docs, QStringLiteral("a.txt"), 10, true, f.Digest('a'));
        f.AddRecord(docs, QStringLiteral("b.txt"), 10, true, f.Digest('a'));
        QVERIFY(f.CheckAll());
        QCOMPARE(pictureButtons(f.Dup), QStringList({"CloseBt=Close|Close"}));

        TAboutForm about(f.Shell);
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(pictureButtons(&about), QStringList({"CloseBt=Close|Close"}));

        TPickerDisk disk;
        QStringList result;
        TScriptedPrompts prompts;
        const QStringList pickerButtons{"LargeIconsBt=Large icons|Large icons",
                                        "ListBt=List|List",
                                        "PrevBt=Previous folder|Previous folder (or <Backspace> key)",
                                        "ReportBt=Report|Report",
                                        "SelectAllBt=Select all files|Select all files (or <Space> key)",
                                        "SmallIconsBt=Small icons|Small icons"};
        TFoldersDialogForm folders(result, disk.Path(), &prompts);
        QCOMPARE(pictureButtons(&folders), pickerButtons);
        TFileDialogForm files(result, disk.Path(), &prompts);
        QStringList fileButtons = pickerButtons;
        fileButtons << "CountBt=Count files and sizes|Count files and sizes";
        fileButtons.sort();
        QCOMPARE(pictureButtons(&files), fileButtons);
    }

    // The panel holds two rows of buttons in column pairs; a person reads the top row first.
    void tabWalksTheListAndTheCommandsInReadingOrder()
    {
        TFormFixture f;
        activate(f.Form.get());
        // At start only some commands are enabled; Tab passes the others.
        QCOMPARE(tabWalk(f.FilesList()),
                 QStringList({"CreateFolderBt", "LoadMdRegBt", "OptionsBt", "AddFoldersBt", "AboutBt"}));

        TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(docs, QStringLiteral("a.txt"));
        f.AddRecord(docs, QStringLiteral("b.txt"));
        f.Form->SelectFolder(docs);
        f.SelectRows({1});
        f.Form->EnableCommands(true);
        f.Form->SetModified(true);
        const QStringList readingOrder{"CreateFolderBt", "AddFilesBt",     "CommentsBt",     "CheckDupBt",
                                       "LoadMdRegBt",    "OptionsBt",      "RemoveFolderBt", "AddFoldersBt",
                                       "RemoveFilesBt",  "SearchAllDupBt", "SaveMdBt",       "AboutBt"};
        QCOMPARE(tabWalk(f.FilesList()), readingOrder);
        QStringList backwards = readingOrder;
        std::reverse(backwards.begin(), backwards.end());
        QCOMPARE(tabWalk(f.FilesList(), Qt::Key_Backtab), backwards);
        // The walk never passed the tree, and the folder stayed current.
        QCOMPARE(f.Catalog().CurrentFolder(), docs);
    }

    void menuKeyAndShiftF10OpenTheViewsMenus()
    {
        TFormFixture f;
        activate(f.Form.get());
        TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            f.AddRecord(docs, QString::fromLatin1(name));
        f.Form->SelectFolder(docs);
        f.SelectRows({2});
        f.FilesList()->setCurrentIndex(f.FilesList()->model()->index(2, 0));

        const std::pair<QAbstractItemView *, const char *> views[] = {{f.FoldersTree(), "FoldersMenu"},
                                                                      {f.FilesList(), "FilesMenu"}};
        for (const auto &[view, menuName] : views) {
            auto *menu = f.Widget<QMenu>(menuName);
            QSignalSpy shown(menu, &QMenu::aboutToShow);
            // The menu opens beside the current item, whose row it must not hide.
            const QRect item = view->visualRect(view->currentIndex());
            const QRect row(view->viewport()->mapToGlobal(QPoint(0, item.top())),
                            QSize(view->viewport()->width(), item.height()));
            for (const auto &[key, modifiers] :
                 {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
                view->setFocus();
                QTest::keyClick(view, key, modifiers);
                QTRY_VERIFY(menu->isVisible());
                QVERIFY2(row.contains(menu->pos()), menuName);
                menu->hide();
            }
            QTest::keyClick(view, Qt::Key_F10); // F10 alone is not the menu's key
            // A request the window system makes for the Menu key is answered once, at the item.
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                      view->mapToGlobal(QPoint(1, 1)));
            QCoreApplication::sendEvent(view, &request);
            QTRY_VERIFY(menu->isVisible());
            QVERIFY2(row.contains(menu->pos()), menuName);
            menu->hide();
            QCOMPARE(shown.count(), 3);
        }
        // The folder menu acts on the folder the keyboard reached it from.
        QCOMPARE(f.Catalog().CurrentFolder(), docs);
    }

    // A real box takes the activation with it; when it closes, and when a rename ends, the keys
    // must act where they did before. Each key goes where the application sends keys.
    void keysActAfterABoxAndARename()
    {
        TQtPrompts prompts;
        TRecordingShell shell;
        TDravikForm form(prompts, shell);
        prompts.SetOwner(&form);
        activate(&form);
        form.Catalog().AddFolder(nullptr, QStringLiteral("Alpha"));
        TFolderNode *beta = form.Catalog().AddFolder(nullptr, QStringLiteral("Beta"));
        auto *tree = form.findChild<TFoldersTreeView *>(QStringLiteral("FoldersTree"));
        tree->setFocus();
        const auto press = [](Qt::Key key) {
            QVERIFY(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), key);
            QCoreApplication::processEvents();
        };
        press(Qt::Key_Down);
        QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
        press(Qt::Key_Delete); // "Folder "Alpha" will be removed...", answered with Escape
        press(Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Gamma"));
        press(Qt::Key_Return);
        QCOMPARE(form.Catalog().RootFolders().front()->Name(), QStringLiteral("Gamma"));
        press(Qt::Key_Down);
        QCOMPARE(form.Catalog().CurrentFolder(), beta);
        form.SetModified(false);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
