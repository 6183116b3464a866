#include "FolderTreeModel.h"
#include "FormFixture.h"

#include <QPushButton>

namespace {

QStringList names(const TCatalog &catalog, const TFolderNode *parent = nullptr)
{
    QStringList list;
    for (const auto &folder : catalog.SubFoldersOf(parent))
        list << folder->Name();
    return list;
}

} // namespace

class TestFolderCommands : public QObject
{
    Q_OBJECT

private:
    static TFolderTreeModel *treeModel(TFormFixture &f)
    {
        return static_cast<TFolderTreeModel *>(f.FoldersTree()->model());
    }

private Q_SLOTS:
    void creatingFoldersRefusesNamesTakenIgnoringCase()
    {
        TFormFixture f;
        f.Prompts.PlanInput(QStringLiteral("Photos"));
        f.Form->FolCreatenewrootClick();
        QCOMPARE(names(f.Catalog()), QStringList({"Photos"}));
        TFolderNode *photos = f.Catalog().RootFolders().front().get();
        QCOMPARE(f.Catalog().CurrentFolder(), photos);
        QVERIFY(f.Form->Modified());
        QCOMPARE(f.Widget<QPushButton>("CreateFolderBt")->toolTip(), QStringLiteral("Create new sub-folder"));

        f.Form->SetModified(false);
        f.Prompts.PlanInput(QStringLiteral("photos"));
        f.Form->FolCreatenewrootClick(); // also when a folder is current
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")),
                 QStringList({"Folder \"photos\" already exists, cannot continue."}));
        QCOMPARE(names(f.Catalog()), QStringList({"Photos"}));
        QVERIFY(!f.Form->Modified());

        // Cancel or an empty name: nothing at all.
        f.Prompts.PlanInput(std::nullopt);
        f.Form->CreateFolderBtClick();
        f.Prompts.PlanInput(QString());
        f.Form->CreateFolderBtClick();
        QVERIFY(photos->SubFolders().empty());

        f.Prompts.PlanInput(QStringLiteral("2008"));
        f.Form->FolAddnewsubClick();
        QCOMPARE(names(f.Catalog(), photos), QStringList({"2008"}));
        QVERIFY(f.FoldersTree()->isExpanded(treeModel(f)->IndexOf(photos)));
        QCOMPARE(f.Catalog().CurrentFolder()->Name(), QStringLiteral("2008"));
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Input")).last(),
                 QStringLiteral("Create new folder|Enter new sub-folder name|"));
    }

    void renamingKeepsNamesUniqueAmongSiblings()
    {
        TFormFixture f;
        TFolderNode *photos = f.Catalog().AddFolder(nullptr, QStringLiteral("photos"));
        f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));

        f.Form->FoldersTreeEdited(photos, QStringLiteral("Photos")); // the folder itself is compared
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Folder \"Photos\" already exists, cannot continue."));
        f.Form->FoldersTreeEdited(photos, QStringLiteral("DOCS"));
        QCOMPARE(photos->Name(), QStringLiteral("photos"));
        QVERIFY(!f.Form->Modified());

        f.Prompts.Clear();
        f.Form->FoldersTreeEdited(photos, QString());
        f.Form->FoldersTreeEdited(photos, QStringLiteral("photos"));
        QVERIFY(f.Prompts.Shown.isEmpty());
        QVERIFY(!f.Form->Modified());

        // Typed into the tree, the name goes through the same rule.
        QVERIFY(f.FoldersTree()->model()->setData(treeModel(f)->IndexOf(photos), QStringLiteral("Pictures")));
        QCOMPARE(photos->Name(), QStringLiteral("Pictures"));
        QVERIFY(f.Form->Modified());

        f.Form->FoldersTreeEdited(nullptr, QStringLiteral("x"));
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a folder and try again."));
    }

    void removingAFolderAsksWithTheCountOfItsRange()
    {
        TFormFixture f;
        TFolderNode *before = f.Catalog().AddFolder(nullptr, QStringLiteral("Before"));
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *a = f.Catalog().AddFolder(home, QStringLiteral("a"));
        f.Catalog().AddFolder(a, QStringLiteral("a1"));
        f.Catalog().AddFolder(home, QStringLiteral("b"));
        f.AddRecord(a, QStringLiteral("x.txt"));
        f.Form->SelectFolder(home);

        f.Prompts.PlanNo();
        f.Form->RemoveFolderBtClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("4 folders will be removed from this list, continue?"));
        QCOMPARE(f.Catalog().FolderCount(), 5);

        f.Prompts.PlanYes();
        f.Form->RemoveFolderBtClick();
        QCOMPARE(f.Catalog().FolderCount(), 1);
        // A root folder is followed by its previous sibling.
        QCOMPARE(f.Catalog().CurrentFolder(), before);
        QVERIFY(f.Form->Modified());
        QVERIFY(!f.Form->Busy());
    }

    void removingTheOnlyFolderLeavesTheModifiedStateAlone()
    {
        TFormFixture f;
        TFolderNode *only = f.Catalog().AddFolder(nullptr, QStringLiteral("Only"));
        f.Form->SelectFolder(only);
        QVERIFY(f.Widget<QPushButton>("RemoveFolderBt")->isEnabled());

        f.Prompts.PlanYes();
        f.Form->RemoveFolderBtClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Folder \"Only\" will be removed from this list, continue?"));
        QVERIFY(!f.Catalog().HasFolders());
        QCOMPARE(f.Catalog().CurrentFolder(), nullptr);
        QVERIFY(!f.Widget<QPushButton>("RemoveFolderBt")->isEnabled());
        QVERIFY(!f.Widget<QPushButton>("AddFilesBt")->isEnabled());
        QCOMPARE(f.Widget<QPushButton>("CreateFolderBt")->toolTip(),
                 QStringLiteral("Create new root folder"));
        QVERIFY(!f.Form->Modified());

        f.Form->RemoveFolderBtClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a folder and try again."));
    }

    void removingASubFolderSelectsItsParent()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *sub = f.Catalog().AddFolder(home, QStringLiteral("Sub"));
        f.Form->SelectFolder(sub);
        f.Prompts.PlanYes();
        f.Form->RemoveFolderBtClick();
        QCOMPARE(f.Catalog().CurrentFolder(), home);
    }

    void countingCoversTheRangeOrEverything()
    {
        TFormFixture f;
        f.Form->FolCountfilesClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("No files to count."));

        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *sub = f.Catalog().AddFolder(home, QStringLiteral("Sub"));
        TFolderNode *empty = f.Catalog().AddFolder(nullptr, QStringLiteral("Empty"));
        f.AddRecord(home, QStringLiteral("a"), 1000);
        f.AddRecord(sub, QStringLiteral("b"), 48576);
        f.Form->FolCountfilesClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("3 folder(s) containing 2 file(s), totalizing 48.41KB (49576Bytes)"));
        f.Form->SelectFolder(empty);
        f.Form->FolCountfilesClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("1 folder(s) containing 0 file(s), totalizing 0Bytes"));
    }

    void sortingTouchesOneLevel()
    {
        TFormFixture f;
        TFolderNode *top = f.Catalog().AddFolder(nullptr, QStringLiteral("top"));
        TFolderNode *zeta = f.Catalog().AddFolder(top, QStringLiteral("zeta"));
        f.Catalog().AddFolder(top, QStringLiteral("Alpha"));
        f.Catalog().AddFolder(zeta, QStringLiteral("z2"));
        f.Catalog().AddFolder(zeta, QStringLiteral("z1"));
        f.Form->SelectFolder(top);
        f.Form->FolSortfoldersClick();
        QCOMPARE(names(f.Catalog(), top), QStringList({"Alpha", "zeta"}));
        QCOMPARE(names(f.Catalog(), zeta), QStringList({"z2", "z1"}));
        QVERIFY(f.Form->Modified());
        QCOMPARE(f.Catalog().CurrentFolder(), top);
    }

    void expandingAndContractingTheRange()
    {
        TFormFixture f;
        TFolderNode *a = f.Catalog().AddFolder(nullptr, QStringLiteral("A"));
        TFolderNode *a1 = f.Catalog().AddFolder(a, QStringLiteral("A1"));
        f.Catalog().AddFolder(a1, QStringLiteral("A1x"));
        TFolderNode *b = f.Catalog().AddFolder(nullptr, QStringLiteral("B"));
        f.Catalog().AddFolder(b, QStringLiteral("B1"));
        auto expanded = [&](TFolderNode *folder) {
            return f.FoldersTree()->isExpanded(treeModel(f)->IndexOf(folder));
        };

        f.Form->FolExpandfoldersClick();
        QVERIFY(expanded(a) && expanded(a1) && expanded(b));
        f.Form->SelectFolder(a);
        f.Form->FolContractfoldersClick();
        QVERIFY(!expanded(a) && !expanded(a1) && expanded(b));
    }

    void removingRealPathsBelowAFolder()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *sub = f.Catalog().AddFolder(home, QStringLiteral("Sub"));
        TFileDat *a = f.AddRecord(home, QStringLiteral("a"));
        TFileDat *digesting = f.AddRecord(sub, QStringLiteral("b"));
        f.Catalog().SetRecordState(digesting, fsDigesting);

        f.Form->FolRemoverealpathClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a folder and try again."));
        f.Form->SelectFolder(sub);
        f.Prompts.PlanNo();
        f.Form->FolRemoverealpathClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Real path for all files in folder \"Sub\" will be removed, continue?"));

        f.Form->SelectFolder(home);
        f.Prompts.PlanYes();
        f.Form->FolRemoverealpathClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("Real path for all files in 2 folders will be removed, continue?"));
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Operation completed."));
        QVERIFY(a->RealPath.isEmpty());
        QVERIFY(!digesting->RealPath.isEmpty()); // the worker's record is left alone
        QVERIFY(f.Form->Modified());
        f.Catalog().SetRecordState(digesting, fsPending);
    }

    void commandsThatNeedAFolderSaySo()
    {
        TFormFixture f;
        f.Form->FolAddnewsubClick();
        f.Form->FolChangenameClick();
        QCOMPARE(
            f.Prompts.Texts(QStringLiteral("Information")),
            QStringList({"Please select a folder and try again.", "Please select a folder and try again."}));
    }

    void mousePressesSelectOrClear()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        f.Catalog().AddFolder(home, QStringLiteral("Sub"));
        TFoldersTreeView *tree = f.FoldersTree();
        const QRect homeLabel = tree->LabelRect(treeModel(f)->IndexOf(home));
        const QRect otherLabel = tree->LabelRect(treeModel(f)->IndexOf(other));
        QVERIFY(!homeLabel.isEmpty());

        // The right button selects before the menu opens.
        QTest::mousePress(tree->viewport(), Qt::RightButton, {}, otherLabel.center());
        QCOMPARE(f.Catalog().CurrentFolder(), other);
        QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, otherLabel.center());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, homeLabel.center());
        QCOMPARE(f.Catalog().CurrentFolder(), home);

        // Right of a label, on the empty area, or on the branch button: no folder.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(homeLabel.right() + 20, homeLabel.center().y()));
        QCOMPARE(f.Catalog().CurrentFolder(), nullptr);
        f.Form->SelectFolder(home);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(5, tree->viewport()->height() - 5));
        QCOMPARE(f.Catalog().CurrentFolder(), nullptr);
        f.Form->SelectFolder(home);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(homeLabel.left() - 8, homeLabel.center().y()));
        QCOMPARE(f.Catalog().CurrentFolder(), nullptr);
        QVERIFY(tree->isExpanded(treeModel(f)->IndexOf(home)));

        // While busy the selection stays.
        f.Form->SelectFolder(home);
        f.Form->SetBusy(true);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, otherLabel.center());
        QTest::mousePress(tree->viewport(), Qt::RightButton, {}, otherLabel.center());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(5, tree->viewport()->height() - 5));
        f.Form->SelectFolder(other);
        QCOMPARE(f.Catalog().CurrentFolder(), home);
        f.Form->SetBusy(false);
    }

    void theTreeGettingTheFocusChoosesNoFolder()
    {
        TFormFixture f;
        f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        QApplication::setActiveWindow(f.Form.get());
        for (Qt::FocusReason reason :
             {Qt::ActiveWindowFocusReason, Qt::OtherFocusReason, Qt::MouseFocusReason}) {
            f.FilesList()->setFocus();
            f.FoldersTree()->setFocus(reason);
            QCOMPARE(f.Catalog().CurrentFolder(), nullptr);
        }
    }

    void currentFolderIsDrawnInItsColours()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        f.Form->SelectFolder(home);
        const QModelIndex index = treeModel(f)->IndexOf(home);
        QCOMPARE(index.data(Qt::BackgroundRole).value<QColor>(), QColor(128, 128, 255));
        QCOMPARE(index.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
    }
};

QTEST_MAIN(TestFolderCommands)
#include "tst_foldercommands.moc"
