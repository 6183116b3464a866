// The file picker on folders made in a temporary directory: the count text, selecting all,
// accepting in display order, counting sizes, the remembered folder, going up, the keys the
// window takes before its controls, the view styles, and the modal entry point.

#include "FilesDialog.h"
#include "PickerFixture.h"
#include "QtPrompts.h"
#include "ScriptedPrompts.h"
#include "SizingBorder.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

class TestFilesDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { LastFileDialogPath.clear(); }

    void showsTheFrameTitleHintsAndStartState()
    {
        TPickerDisk disk;
        QStringList result{QStringLiteral("left over from before")};
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        // 600 x 420 inside the sizing border, and never smaller.
        QCOMPARE(c.Widget<QWidget>("TopPanel")->width(), 600);
        form.resize(100, 100);
        QCOMPARE(c.Widget<QWidget>("TopPanel")->width(), 600);
        QCOMPARE(form.palette().color(QPalette::Window), QColor(220, 227, 241));
        QCOMPARE(c.Widget<QLabel>("TitleLabel")->text(), QStringLiteral("Select files"));
        QCOMPARE(c.Tree()->width(), 298);
        QCOMPARE(result, QStringList()); // emptied when shown
        QVERIFY(!c.AcceptBt()->isEnabled());
        QVERIFY(c.Widget<QToolButton>("ListBt")->isChecked());
        QCOMPARE(c.List()->ViewStyle(), int(TShellListView::vsList));
        QStringList hints;
        for (const char *name : {"AcceptBt", "CancelBt", "PrevBt", "SelectAllBt", "CountBt", "LargeIconsBt",
                                 "SmallIconsBt", "ListBt", "ReportBt"})
            hints << c.Widget<QWidget>(name)->toolTip();
        QCOMPARE(hints,
                 QStringList({"or press <Enter> key", "or press <Escape> key",
                              "Previous folder (or <Backspace> key)", "Select all files (or <Space> key)",
                              "Count files and sizes", "Large icons", "Small icons", "List", "Report"}));

        QSignalSpy moves(&form, &TPickerForm::moveRequested);
        for (const char *name : {"TopPanel", "TopImage", "TitleLabel"})
            QTest::mousePress(c.Widget<QWidget>(name), Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mousePress(c.Widget<QWidget>("TopImage"), Qt::RightButton, {}, QPoint(3, 3));
        QCOMPARE(moves.size(), 3);
    }

    void theSizingBorderGrabsEdgesAndCorners()
    {
        const QSize window(608, 428);
        QCOMPARE(SizingEdgesAt(window, QPoint(1, 1), 4), Qt::LeftEdge | Qt::TopEdge);
        QCOMPARE(SizingEdgesAt(window, QPoint(607, 200), 4), Qt::Edges(Qt::RightEdge));
        QCOMPARE(SizingEdgesAt(window, QPoint(604, 424), 4), Qt::RightEdge | Qt::BottomEdge);
        QCOMPARE(SizingEdgesAt(window, QPoint(4, 4), 4), Qt::Edges());
        QCOMPARE(SizingCursor(Qt::LeftEdge | Qt::TopEdge), Qt::SizeFDiagCursor);
        QCOMPARE(SizingCursor(Qt::LeftEdge | Qt::BottomEdge), Qt::SizeBDiagCursor);
        QCOMPARE(SizingCursor(Qt::BottomEdge), Qt::SizeVerCursor);
        QCOMPARE(SizingCursor(Qt::Edges()), Qt::ArrowCursor);
    }

    void countTextFollowsTheItemsAndTheSelection()
    {
        TPickerDisk disk;
        disk.MakeFolder(QStringLiteral("empty"));
        disk.MakeFile(QStringLiteral("one/only.txt"));
        for (const char *name : {"three/a.txt", "three/b.txt", "three/c.txt"})
            disk.MakeFile(QString::fromLatin1(name));
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();

        QVERIFY(c.Tree()->GoToFolder(disk.Path("empty")));
        QCOMPARE(c.StateText(), QStringLiteral("0 files"));
        QVERIFY(!c.AcceptBt()->isEnabled());
        c.Key(c.ListView(), Qt::Key_Return);
        QVERIFY(form.isVisible());

        QVERIFY(c.Tree()->GoToFolder(disk.Path("one")));
        QCOMPARE(c.StateText(), QStringLiteral("1 file"));

        QVERIFY(c.Tree()->GoToFolder(disk.Path("three")));
        QCOMPARE(c.StateText(), QStringLiteral("3 files"));
        c.SelectRows({1});
        QCOMPARE(c.StateText(), QStringLiteral("1 file selected"));
        QVERIFY(c.AcceptBt()->isEnabled());
        c.SelectRows({0, 1, 2});
        QCOMPARE(c.StateText(), QStringLiteral("3 files selected"));
        c.List()->Selection()->clearSelection();
        QCOMPARE(c.StateText(), QStringLiteral("3 files"));
        QVERIFY(!c.AcceptBt()->isEnabled());
    }

    void spaceSelectsAllAndEnterReturnsThemInDisplayOrder()
    {
        TPickerDisk disk;
        const QString b = disk.MakeFile(QStringLiteral("pics/b.jpg"));
        const QString a = disk.MakeFile(QStringLiteral("pics/A.jpg"));
        const QString hidden = disk.MakeFile(QStringLiteral("pics/.thumbs"));
        const QString c10 = disk.MakeFile(QStringLiteral("pics/c10.jpg"));
        disk.MakeFolder(QStringLiteral("pics/sub")); // not a file: not listed
        LastFileDialogPath = disk.Path("pics") + u'/';
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        c.ShowActive();
        QCOMPARE(c.Names(), QStringList({".thumbs", "A.jpg", "b.jpg", "c10.jpg"}));

        // Space in the list selects every file instead of toggling the current one.
        c.ListView()->setFocus();
        c.ListView()->setCurrentIndex(c.ListView()->model()->index(0, 0));
        c.SelectRows({2});
        c.Key(c.ListView(), Qt::Key_Space);
        QCOMPARE(c.StateText(), QStringLiteral("4 files selected"));
        QCOMPARE(QApplication::focusWidget(), c.AcceptBt());
        // On the focused Accept button, Space still selects all rather than clicking it.
        c.Key(c.AcceptBt(), Qt::Key_Space);
        QVERIFY(form.isVisible());
        QCOMPARE(c.StateText(), QStringLiteral("4 files selected"));

        c.Key(c.AcceptBt(), Qt::Key_Return);
        QVERIFY(!form.isVisible());
        QCOMPARE(result, QStringList({hidden, a, b, c10}));
        QCOMPARE(LastFileDialogPath, disk.Path("pics") + u'/');
    }

    void enterOnTheFocusedCancelButtonAccepts()
    {
        TPickerDisk disk;
        const QString file = disk.MakeFile(QStringLiteral("only.txt"));
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        c.ShowActive();
        c.SelectRows({0});
        auto *cancel = c.Widget<QPushButton>("CancelBt");
        cancel->setFocus();
        c.Key(cancel, Qt::Key_Enter);
        QCOMPARE(result, QStringList{file});
    }

    void selectedFilesGoneFromDiskAreLeftOut()
    {
        TPickerDisk disk;
        const QString kept = disk.MakeFile(QStringLiteral("kept.txt"));
        const QString gone = disk.MakeFile(QStringLiteral("gone.txt"));
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        // The list shows the folder as it was read: nothing refreshes it behind the user's back.
        QVERIFY(QFile::remove(gone));
        QCOMPARE(c.Names(), QStringList({"gone.txt", "kept.txt"}));
        form.SelectAllBtClick();
        QCOMPARE(c.StateText(), QStringLiteral("1 file selected"));
        c.SelectRows({0, 1});
        form.AcceptBtClick();
        QCOMPARE(result, QStringList{kept});

        // An Accept that found nothing leaves the remembered folder alone.
        LastFileDialogPath.clear();
        QStringList again;
        TFileDialogForm second(again, disk.Path(), &prompts);
        TPickerControls c2{second};
        second.show();
        QVERIFY(QFile::remove(kept));
        c2.SelectRows({0});
        second.AcceptBtClick();
        QVERIFY(!second.isVisible());
        QCOMPARE(again, QStringList());
        QCOMPARE(LastFileDialogPath, QString());
    }

    void countMeasuresTheSelectedFilesOrAllOfThem()
    {
        TPickerDisk disk;
        disk.MakeFile(QStringLiteral("a.bin"), 10);
        disk.MakeFile(QStringLiteral("b.bin"), 20);
        // Beyond 4 GiB: the sizes only add up in 64 bits.
        disk.MakeFile(QStringLiteral("big.iso"), (qint64(5) << 30) + 30);
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();

        form.CountBtClick();
        QCOMPARE(prompts.LastText(),
                 QStringLiteral("Measured 3 file(s), totalizing 5.00GB (5368709180Bytes)"));
        c.SelectRows({0, 2});
        form.CountBtClick();
        QCOMPARE(prompts.LastText(),
                 QStringLiteral("Measured 2 file(s), totalizing 5.00GB (5368709160Bytes)"));
        QCOMPARE(c.List()->SelectedRows(), QList<int>({0, 2}));
        // A selected file deleted since the folder was read is not counted.
        QVERIFY(QFile::remove(disk.Path("a.bin")));
        form.CountBtClick();
        QCOMPARE(prompts.LastText(),
                 QStringLiteral("Measured 1 file(s), totalizing 5.00GB (5368709150Bytes)"));
        QCOMPARE(prompts.Texts(QStringLiteral("Information")).size(), 3);
    }

    void anEmptyFolderHasNothingToSelectOrCount()
    {
        TPickerDisk disk;
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        form.show();
        form.SelectAllBtClick();
        form.CountBtClick();
        QCOMPARE(prompts.Texts(QStringLiteral("Information")),
                 QStringList({"No files to select.", "No files to count."}));
    }

    void theNextShowOpensWhereTheLastAcceptWas()
    {
        TPickerDisk disk;
        disk.MakeFile(QStringLiteral("photos/p1.jpg"));
        disk.MakeFile(QStringLiteral("music/m1.mp3"));
        TScriptedPrompts prompts;
        auto acceptFirstIn = [&](const QString &folder) {
            QStringList result;
            TFileDialogForm form(result, disk.Path(), &prompts);
            TPickerControls c{form};
            form.show();
            c.Tree()->GoToFolder(folder);
            c.SelectRows({0});
            form.AcceptBtClick();
            return result;
        };
        auto opensAt = [&] {
            QStringList result;
            TFileDialogForm form(result, disk.Path(), &prompts);
            form.show();
            // The tree shows the folder whose files the list holds.
            const QString folder = form.TreeFolder() == form.ListFolder() ? form.ListFolder() : QString();
            form.CancelBtClick();
            return folder;
        };

        // A named root with nothing remembered opens at the root.
        QCOMPARE(opensAt(), disk.Path());
        QCOMPARE(acceptFirstIn(disk.Path("photos")), QStringList{disk.Path("photos/p1.jpg")});
        QCOMPARE(LastFileDialogPath, disk.Path("photos") + u'/');
        QCOMPARE(opensAt(), disk.Path("photos"));

        // Cancelled elsewhere: the remembered folder stays.
        {
            QStringList result;
            TFileDialogForm form(result, disk.Path(), &prompts);
            TPickerControls c{form};
            form.show();
            c.Tree()->GoToFolder(disk.Path("music"));
            c.SelectRows({0});
            c.Key(c.ListView(), Qt::Key_Escape);
            QVERIFY(!form.isVisible());
            QCOMPARE(result, QStringList());
        }
        QCOMPARE(opensAt(), disk.Path("photos"));

        // Deleted meanwhile: ignored.
        QVERIFY(QDir(disk.Path("photos")).removeRecursively());
        QCOMPARE(opensAt(), disk.Path());
    }

    void theWholeFileSystemOpensAtHomeAndStopsAtItsTop()
    {
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, QString(), &prompts);
        TPickerControls c{form};
        form.show();
        QCOMPARE(c.Tree()->Root(), QStringLiteral("/"));
        QCOMPARE(form.ListFolder(), QDir::cleanPath(QDir::homePath()));
        QVERIFY(c.Tree()->GoToFolder(QStringLiteral("/")));
        QCOMPARE(form.ListFolder(), QStringLiteral("/"));
        form.PrevBtClick();
        QCOMPARE(form.ListFolder(), QStringLiteral("/"));
        QCOMPARE(form.TreeFolder(), QStringLiteral("/"));
    }

    void backspaceGoesUpFromTheListOnlyAndTheTreeIgnoresTyping()
    {
        TPickerDisk disk;
        disk.MakeFolder(QStringLiteral("a/b/c/d"));
        disk.MakeFolder(QStringLiteral("a/bb"));
        LastFileDialogPath = disk.Path("a/b") + u'/';
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        QCOMPARE(form.TreeFolder(), disk.Path("a/b"));
        TShellTreeView *tree = c.Tree();
        // Persistent: folders read in the background are sorted as they arrive.
        const QPersistentModelIndex b = tree->currentIndex();
        tree->expand(b);
        QTRY_COMPARE(tree->model()->rowCount(b), 1);
        const QPersistentModelIndex cIndex = tree->model()->index(0, 0, b);
        tree->expand(cIndex);
        QVERIFY(tree->isExpanded(b) && tree->isExpanded(cIndex));

        c.Key(tree, Qt::Key_Backspace);
        QCOMPARE(form.TreeFolder(), disk.Path("a/b"));
        // Without the tree's own search, typing "b" would select "bb" or "b".
        tree->GoToFolder(disk.Path("a"));
        c.Key(tree, Qt::Key_B);
        QCOMPARE(form.TreeFolder(), disk.Path("a"));
        tree->GoToFolder(disk.Path("a/b"));

        c.Key(c.ListView(), Qt::Key_Backspace);
        QCOMPARE(form.TreeFolder(), disk.Path("a"));
        QCOMPARE(form.ListFolder(), disk.Path("a"));
        // The folder left is closed together with the open folder below it.
        QVERIFY(!tree->isExpanded(b));
        QVERIFY(!tree->isExpanded(cIndex));

        c.Key(c.ListView(), Qt::Key_Backspace);
        QCOMPARE(form.ListFolder(), disk.Path());
        // The tree's root is as far up as it goes.
        c.Key(c.ListView(), Qt::Key_Backspace);
        QCOMPARE(form.ListFolder(), disk.Path());
    }

    void aRightPressInTheTreeSelectsThatFolder()
    {
        TPickerDisk disk;
        disk.MakeFolder(QStringLiteral(".secret")); // hidden folders are in the tree too
        disk.MakeFolder(QStringLiteral("left"));
        disk.MakeFile(QStringLiteral("right/r.txt"));
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        TShellTreeView *tree = c.Tree();
        const QPersistentModelIndex root = tree->currentIndex();
        // Read and sorted in the background.
        QTRY_COMPARE(tree->model()->index(2, 0, root).data().toString(), QStringLiteral("right"));
        QCOMPARE(tree->model()->index(0, 0, root).data().toString(), QStringLiteral(".secret"));
        const QModelIndex right = tree->model()->index(2, 0, root);
        QTest::mousePress(tree->viewport(), Qt::RightButton, {}, tree->visualRect(right).center());
        QCOMPARE(form.TreeFolder(), disk.Path("right"));
        QCOMPARE(c.Names(), QStringList{"r.txt"});
    }

    void everyViewStyleShowsTheSameItemsAndSelection()
    {
        TPickerDisk disk;
        for (const char *name : {"one.txt", "two.txt", "three.txt"})
            disk.MakeFile(QString::fromLatin1(name));
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        c.ShowActive();
        c.SelectRows({0, 2});
        const QStringList names{"one.txt", "three.txt", "two.txt"};
        for (const char *button : {"LargeIconsBt", "SmallIconsBt", "ReportBt", "ListBt"}) {
            c.Widget<QToolButton>(button)->click();
            QVERIFY2(c.Widget<QToolButton>(button)->isChecked(), button);
            QAbstractItemView *view = c.ListView();
            QVERIFY2(view->isVisible(), button);
            QCOMPARE(QApplication::focusWidget(), view);
            QCOMPARE(c.Names(), names);
            QCOMPARE(c.List()->SelectedRows(), QList<int>({0, 2}));
            for (int row = 0; row < 3; ++row)
                QCOMPARE(view->selectionModel()->isSelected(view->model()->index(row, 0)), row != 1);
        }
        // The report shows four columns whose headers do not sort.
        form.ListModeBtClick(TShellListView::vsReport);
        auto *report = qobject_cast<QTreeView *>(c.ListView());
        QVERIFY(report);
        QCOMPARE(report->model()->columnCount(), 4);
        QVERIFY(!report->header()->sectionsClickable());
        QCOMPARE(report->model()->index(0, TShellListModel::SizeColumn).data().toString(),
                 QStringLiteral("10Bytes"));
        // A selection made in the report is the one the other styles show.
        c.SelectRows({1});
        form.ListModeBtClick(TShellListView::vsLargeIcons);
        QCOMPARE(c.List()->SelectedRows(), QList<int>{1});
        QCOMPARE(c.StateText(), QStringLiteral("1 file selected"));
    }

    void doubleClickOnAFileAcceptsIt()
    {
        TPickerDisk disk;
        disk.MakeFile(QStringLiteral("first.txt"));
        const QString second = disk.MakeFile(QStringLiteral("second.txt"));
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        QAbstractItemView *view = c.ListView();
        const QPoint at = view->visualRect(view->model()->index(1, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(!form.isVisible());
        QCOMPARE(result, QStringList{second});
    }

    // Beside the items too: the selection decides, not where the second click lands.
    void doubleClickBesideTheItemsAcceptsTheSelection()
    {
        TPickerDisk disk;
        const QString only = disk.MakeFile(QStringLiteral("only.txt"));
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        c.List()->SelectRows({0});
        QWidget *viewport = c.ListView()->viewport();
        const QPointF empty(viewport->width() - 5, viewport->height() - 5);
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, empty, viewport->mapToGlobal(empty),
                                Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &doubleClick);
        QCOMPARE(result, QStringList{only});
    }

    // Left to right: Accept, Cancel, the count, the small buttons, the view styles.
    void theBottomControlsStandInOrder()
    {
        TPickerDisk disk;
        QStringList result;
        TScriptedPrompts prompts;
        TFileDialogForm form(result, disk.Path(), &prompts);
        TPickerControls c{form};
        form.show();
        int left = -1;
        for (const char *name : {"AcceptBt", "CancelBt", "StateLabel", "PrevBt", "SelectAllBt", "CountBt",
                                 "LargeIconsBt", "SmallIconsBt", "ListBt", "ReportBt"}) {
            const int x = c.Widget<QWidget>(name)->mapTo(&form, QPoint(0, 0)).x();
            QVERIFY2(x > left, name);
            left = x;
        }
    }

    void showFileDialogRunsModallyAndTheWindowGoes()
    {
        TPickerDisk disk;
        const QString file = disk.MakeFile(QStringLiteral("chosen.txt"));
        TScriptedPrompts prompts;
        QPointer<TFileDialogForm> shown;
        bool wasModal = false;
        QTimer::singleShot(0, this, [&] {
            shown = qobject_cast<TFileDialogForm *>(QApplication::activeModalWidget());
            if (!shown)
                return;
            wasModal = shown->isModal();
            shown->SelectAllBtClick();
            shown->AcceptBtClick();
        });
        // Whatever happens above, no modal window outlives the test.
        QTimer::singleShot(5000, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        QStringList result{QStringLiteral("stale")};
        ShowFileDialog(result, disk.Path(), nullptr, &prompts);
        QVERIFY(wasModal);
        QCOMPARE(result, QStringList{file});
        QTRY_VERIFY(shown.isNull());
    }

    void theRealPromptsPickWithThePicker()
    {
        TPickerDisk disk;
        const QString file = disk.MakeFile(QStringLiteral("picked.txt"));
        QTimer::singleShot(0, this, [] {
            if (auto *form = qobject_cast<TFileDialogForm *>(QApplication::activeModalWidget())) {
                form->SelectAllBtClick();
                form->AcceptBtClick();
            }
        });
        QTimer::singleShot(5000, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        TQtPrompts real;
        QCOMPARE(real.PickFiles(disk.Path()), QStringList{file});
    }
};

QTEST_MAIN(TestFilesDialog)
#include "tst_filesdialog.moc"
