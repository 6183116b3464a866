#include "CatalogDrag.h"
#include "FileListModel.h"
#include "FolderTreeModel.h"
#include "FormFixture.h"
#include "MD5ThUnit.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDropEvent>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

namespace {

QStringList names(const TCatalog &catalog, const TFolderNode *parent = nullptr)
{
    QStringList list;
    for (const auto &folder : catalog.SubFoldersOf(parent))
        list << folder->Name();
    return list;
}

QStringList fileNames(const TFolderNode *folder)
{
    QStringList list;
    for (const auto &record : folder->Records())
        list << record->FileName;
    return list;
}

QStringList rowNames(QTreeView *list)
{
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        names << list->model()->index(row, 0).data().toString();
    return names;
}

struct TDropAnswer
{
    bool OverAccepted = false;
    bool Accepted = false;
    Qt::DropAction Action = Qt::IgnoreAction;
};

// Drags the data into the view, over the point and drops it there, proposing a move as the views'
// own drags do. The data stays the caller's.
TDropAnswer dragAndDrop(QAbstractItemView *view, const QMimeData *data, QPoint at)
{
    const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, {});
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, {});
    move.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(view->viewport(), &move);
    QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, {});
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(view->viewport(), &drop);
    return {move.isAccepted(), drop.isAccepted(), drop.dropAction()};
}

} // namespace

class TestMoveCommands : public QObject
{
    Q_OBJECT

private:
    static TFolderTreeModel *treeModel(TFormFixture &f)
    {
        return static_cast<TFolderTreeModel *>(f.FoldersTree()->model());
    }
    static QPoint pointOn(TFormFixture &f, TFolderNode *folder)
    {
        return f.FoldersTree()->visualRect(treeModel(f)->IndexOf(folder)).center();
    }
    static bool expanded(TFormFixture &f, TFolderNode *folder)
    {
        return f.FoldersTree()->isExpanded(treeModel(f)->IndexOf(folder));
    }
    // The drag data the tree makes for a folder, and the file list for its selected rows.
    static std::unique_ptr<QMimeData> folderDrag(TFormFixture &f, TFolderNode *folder)
    {
        return std::unique_ptr<QMimeData>(treeModel(f)->mimeData({treeModel(f)->IndexOf(folder)}));
    }
    static std::unique_ptr<QMimeData> rowsDrag(TFormFixture &f)
    {
        return std::unique_ptr<QMimeData>(
            f.FilesList()->model()->mimeData(f.FilesList()->selectionModel()->selectedIndexes()));
    }

private Q_SLOTS:
    void moveToRootAsksFirstAndRefusesRootFoldersAndTakenNames()
    {
        TFormFixture f;
        f.Form->FolMovesubfoldertorootClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a folder and try again."));

        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = f.Catalog().AddFolder(home, QStringLiteral("Photos"));
        f.Catalog().AddFolder(nullptr, QStringLiteral("PHOTOS"));
        f.Form->SelectFolder(home);
        f.Prompts.Clear();
        f.Prompts.PlanYes();
        f.Form->FolMovesubfoldertorootClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")),
                 QStringList({"Folder \"Home\" will be moved to root, continue?"}));
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Folder \"Home\" is already located in the root."));

        f.Form->SelectFolder(photos);
        f.Prompts.PlanNo();
        f.Form->FolMovesubfoldertorootClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Folder \"Photos\" will be moved to root, continue?"));
        f.Prompts.PlanYes();
        f.Form->FolMovesubfoldertorootClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Folder \"Photos\" already exists, cannot continue."));
        QCOMPARE(photos->Parent(), home);
        QVERIFY(!f.Form->Modified());

        // While a long command runs the menu entry does nothing.
        f.Prompts.Clear();
        f.Form->SetBusy(true);
        f.Form->findChild<QAction *>(QStringLiteral("FolMovesubfoldertoroot"))->trigger();
        QVERIFY(f.Prompts.Shown.isEmpty());
        f.Form->SetBusy(false);
        QVERIFY(f.Prompts.AllAnswersUsed());
    }

    // The copy is not selected: the selection leaves the moved folder as it leaves a deleted one,
    // to the next sibling, else the previous one, else the parent.
    void afterAMoveToRootTheTreeSelectsAsForADeletedFolder()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *a = f.Catalog().AddFolder(home, QStringLiteral("a"));
        TFolderNode *b = f.Catalog().AddFolder(home, QStringLiteral("b"));
        TFolderNode *c = f.Catalog().AddFolder(home, QStringLiteral("c"));
        TFolderNode *only = f.Catalog().AddFolder(c, QStringLiteral("only"));
        f.AddRecord(c, QStringLiteral("in-c.txt"));
        TFileDat *moved = f.AddRecord(b, QStringLiteral("in-b.txt"));

        f.Form->SelectFolder(b);
        f.Prompts.PlanYes();
        f.Form->FolMovesubfoldertorootClick();
        QCOMPARE(names(f.Catalog()), QStringList({"Home", "b"}));
        QCOMPARE(names(f.Catalog(), home), QStringList({"a", "c"}));
        QCOMPARE(moved->Folder, b);
        QCOMPARE(f.Catalog().CurrentFolder(), c);
        QCOMPARE(rowNames(f.FilesList()), QStringList({"in-c.txt"}));
        QCOMPARE(f.FoldersTree()->currentIndex(), treeModel(f)->IndexOf(c));
        QVERIFY(f.Form->Modified());

        f.Prompts.PlanYes();
        f.Form->FolMovesubfoldertorootClick(); // c, the last child: the previous one
        QCOMPARE(f.Catalog().CurrentFolder(), a);
        QCOMPARE(names(f.Catalog()), QStringList({"Home", "b", "c"}));

        f.Form->SelectFolder(only);
        f.Prompts.PlanYes();
        f.Form->FolMovesubfoldertorootClick(); // no siblings: the parent
        QCOMPARE(f.Catalog().CurrentFolder(), c);
        QCOMPARE(names(f.Catalog()), QStringList({"Home", "b", "c", "only"}));
        QVERIFY(f.Prompts.AllAnswersUsed());
    }

    void aFolderDroppedOnAnotherArrivesWholeAndCollapsedAsItsLastChild()
    {
        TFormFixture f;
        TFolderNode *trip = f.Catalog().AddFolder(nullptr, QStringLiteral("Trip"));
        TFolderNode *day1 = f.Catalog().AddFolder(trip, QStringLiteral("Day 1"));
        TFolderNode *morning = f.Catalog().AddFolder(day1, QStringLiteral("Morning"));
        TFolderNode *beach = f.Catalog().AddFolder(morning, QStringLiteral("Beach"));
        f.Catalog().AddFolder(trip, QStringLiteral("Day 2"));
        TFolderNode *archive = f.Catalog().AddFolder(nullptr, QStringLiteral("Archive"));
        f.Catalog().AddFolder(archive, QStringLiteral("2019"));
        TFileDat *onTrip = f.AddRecord(trip, QStringLiteral("map.pdf"));
        TFileDat *onBeach = f.AddRecord(beach, QStringLiteral("sea.jpg"));
        TFileDat *onBeach2 = f.AddRecord(beach, QStringLiteral("sand.jpg"));
        f.Form->FolExpandfoldersClick();
        f.Form->SelectFolder(trip);

        f.Prompts.PlanYes();
        f.Form->DropFolderOnFolder(trip, archive);
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Folder \"Trip\" will be moved into folder \"Archive\", continue?"));
        QCOMPARE(names(f.Catalog()), QStringList({"Archive"}));
        QCOMPARE(names(f.Catalog(), archive), QStringList({"2019", "Trip"}));
        QCOMPARE(names(f.Catalog(), trip), QStringList({"Day 1", "Day 2"}));
        QCOMPARE(names(f.Catalog(), day1), QStringList({"Morning"}));
        QCOMPARE(names(f.Catalog(), morning), QStringList({"Beach"}));
        QCOMPARE(fileNames(beach), QStringList({"sea.jpg", "sand.jpg"}));
        QCOMPARE(onTrip->Folder, trip);
        QCOMPARE(onBeach->Folder, beach);
        QCOMPARE(onBeach2->Folder, beach);
        QCOMPARE(TCatalog::FolderPath(beach), QStringLiteral("Archive\\Trip\\Day 1\\Morning\\Beach\\"));
        QCOMPARE(trip->ImageIndex(), TFolderNode::FilledImage);
        QCOMPARE(day1->ImageIndex(), TFolderNode::EmptyImage);
        for (TFolderNode *folder : {trip, day1, morning})
            QVERIFY2(!expanded(f, folder), qPrintable(folder->Name()));
        QVERIFY(expanded(f, archive));
        // The selection went to the folder after Trip, which happens to be the target.
        QCOMPARE(f.Catalog().CurrentFolder(), archive);
        QCOMPARE(f.FilesList()->model()->rowCount(), 0);
        QVERIFY(f.Form->Modified());
    }

    void foldersDroppedOnThemselvesTheirDescendantsOrParentStay()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *child = f.Catalog().AddFolder(home, QStringLiteral("Child"));
        TFolderNode *grandchild = f.Catalog().AddFolder(child, QStringLiteral("Grandchild"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        f.Catalog().AddFolder(other, QStringLiteral("child"));

        f.Form->DropFolderOnFolder(home, home);
        f.Form->DropFolderOnFolder(home, grandchild);
        f.Form->SetBusy(true);
        f.Form->DropFolderOnFolder(grandchild, other);
        f.Form->SetBusy(false);
        QVERIFY(f.Prompts.Shown.isEmpty());

        // On its own parent, or beside a name that differs in letter case only.
        f.Prompts.PlanYes();
        f.Form->DropFolderOnFolder(child, home);
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Folder \"Child\" already exists, cannot continue."));
        f.Prompts.PlanYes();
        f.Form->DropFolderOnFolder(child, other);
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Folder \"Child\" already exists, cannot continue."));
        f.Prompts.PlanNo();
        f.Form->DropFolderOnFolder(grandchild, other);
        QCOMPARE(names(f.Catalog()), QStringList({"Home", "Other"}));
        QCOMPARE(grandchild->Parent(), child);
        QCOMPARE(child->Parent(), home);
        QVERIFY(!f.Form->Modified());
        QVERIFY(f.Prompts.AllAnswersUsed());
    }

    void droppedRowsMoveInListOrderAndEmptyTheirFolder()
    {
        TFormFixture f;
        TFolderNode *source = f.Catalog().AddFolder(nullptr, QStringLiteral("Source"));
        TFolderNode *target = f.Catalog().AddFolder(nullptr, QStringLiteral("Target"));
        TFileDat *big = f.AddRecord(source, QStringLiteral("big"), 300);
        TFileDat *small = f.AddRecord(source, QStringLiteral("small"), 10);
        f.AddRecord(source, QStringLiteral("middle"), 100);
        TFileDat *missing = f.AddRecord(source, QStringLiteral("gone"), 50, false);
        f.Catalog().SetRecordState(missing, fsMissing);
        f.Catalog().EnqueueForDigest(small);
        const std::deque<TFileDat *> queue = f.Catalog().Md5Queue();
        f.Form->SelectFolder(source);
        f.Form->FilesListColumnClick(TFileListModel::colSize); // rows: small, gone, middle, big
        f.Form->SetModified(false);

        // Picked bottom up; they arrive as the rows stand.
        f.SelectRows({3, 1, 0});
        std::unique_ptr<QMimeData> drag = rowsDrag(f);
        f.Prompts.PlanYes();
        f.Form->DropRecordsOnFolder(TCatalogDragData::Of(drag.get(), f.Catalog())->Records(), target);
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("3 file(s) will be moved into folder \"Target\", continue?"));
        QCOMPARE(fileNames(target), QStringList({"small", "gone", "big"}));
        QCOMPARE(fileNames(source), QStringList({"middle"}));
        QCOMPARE(rowNames(f.FilesList()), QStringList({"middle"}));
        QCOMPARE(big->Folder, target);
        QCOMPARE(missing->State, fsMissing);
        QVERIFY(f.Catalog().Md5Queue() == queue);
        QCOMPARE(target->ImageIndex(), TFolderNode::FilledImage);
        QCOMPARE(target->SelectedIndex(), 3);
        QVERIFY(!f.Widget<QPushButton>("RemoveFilesBt")->isEnabled());
        QVERIFY(f.Form->Modified());

        // No duplicate check in the target; the last record leaves its folder without files.
        f.AddRecord(target, QStringLiteral("middle"), 100);
        f.SelectRows({0});
        drag = rowsDrag(f);
        f.Prompts.PlanYes();
        f.Form->DropRecordsOnFolder(TCatalogDragData::Of(drag.get(), f.Catalog())->Records(), target);
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("1 file(s) will be moved into folder \"Target\", continue?"));
        QCOMPARE(fileNames(target), QStringList({"small", "gone", "big", "middle", "middle"}));
        QVERIFY(!source->HasRecordList());
        QCOMPARE(source->ImageIndex(), TFolderNode::EmptyImage);
        QCOMPARE(source->SelectedIndex(), 1);
        QCOMPARE(f.FilesList()->model()->rowCount(), 0);
        QVERIFY(!f.Widget<QPushButton>("CheckDupBt")->isEnabled());
    }

    void rowDropsOnTheCurrentFolderWithoutRowsOrWhileBusyChangeNothing()
    {
        TFormFixture f;
        TFolderNode *source = f.Catalog().AddFolder(nullptr, QStringLiteral("Source"));
        TFolderNode *target = f.Catalog().AddFolder(nullptr, QStringLiteral("Target"));
        TFolderNode *third = f.Catalog().AddFolder(nullptr, QStringLiteral("Third"));
        TFileDat *record = f.AddRecord(source, QStringLiteral("a"));
        f.Form->SelectFolder(source);

        f.Form->DropRecordsOnFolder({record}, source);
        f.Form->DropRecordsOnFolder({}, target);
        f.Form->SetBusy(true);
        f.Form->DropRecordsOnFolder({record}, target);
        f.Form->SetBusy(false);
        // The queue showed the target meanwhile: the rows' own folder is the drop's target.
        f.Form->SelectFolder(target);
        f.Form->DropRecordsOnFolder({record}, source);
        QVERIFY(f.Prompts.Shown.isEmpty());

        f.Prompts.PlanNo();
        f.Form->DropRecordsOnFolder({record}, third);
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("1 file(s) will be moved into folder \"Third\", continue?"));
        QCOMPARE(record->Folder, source);
        QVERIFY(!f.Form->Modified());
    }

    // While the question is open the digest queue may show another folder, and a record may go.
    void aRowDropMovesTheRecordsItNamedWhateverTheListShowsAfterTheBox()
    {
        TFormFixture f;
        TFolderNode *source = f.Catalog().AddFolder(nullptr, QStringLiteral("Source"));
        TFolderNode *target = f.Catalog().AddFolder(nullptr, QStringLiteral("Target"));
        TFolderNode *elsewhere = f.Catalog().AddFolder(nullptr, QStringLiteral("Elsewhere"));
        TFileDat *kept = f.AddRecord(source, QStringLiteral("kept"));
        TFileDat *removed = f.AddRecord(source, QStringLiteral("removed"));
        TFileDat *unselected = f.AddRecord(source, QStringLiteral("unselected"));
        f.AddRecord(elsewhere, QStringLiteral("shown later"));
        f.Form->SelectFolder(source);
        f.SelectRows({0, 1});

        std::unique_ptr<QMimeData> drag = rowsDrag(f);
        f.Prompts.DuringNextBox([&] {
            f.Catalog().RemoveRecord(removed);
            f.Form->SelectFolder(elsewhere);
            f.SelectRows({0});
        });
        f.Prompts.PlanYes();
        f.Form->DropRecordsOnFolder(TCatalogDragData::Of(drag.get(), f.Catalog())->Records(), target);
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("2 file(s) will be moved into folder \"Target\", continue?"));
        QCOMPARE(fileNames(target), QStringList({"kept"}));
        QCOMPARE(kept->Folder, target);
        QCOMPARE(unselected->Folder, source);
        QCOMPARE(fileNames(elsewhere), QStringList({"shown later"}));
        // The drag data follows the catalog too: the removed record is no longer offered.
        QCOMPARE(TCatalogDragData::Of(drag.get(), f.Catalog())->Records(), std::vector<TFileDat *>({kept}));
    }

    void realDropsOnTheTreeMoveAndAnswerAsACopy()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = f.Catalog().AddFolder(home, QStringLiteral("Photos"));
        TFolderNode *archive = f.Catalog().AddFolder(nullptr, QStringLiteral("Archive"));
        TFileDat *record = f.AddRecord(photos, QStringLiteral("a.jpg"));
        f.AddRecord(photos, QStringLiteral("b.jpg"));
        f.Form->FolExpandfoldersClick();

        // A folder of the tree onto another folder.
        f.Form->SelectFolder(photos);
        std::unique_ptr<QMimeData> folder = folderDrag(f, photos);
        f.Prompts.PlanYes();
        const TDropAnswer folderDrop = dragAndDrop(f.FoldersTree(), folder.get(), pointOn(f, archive));
        QVERIFY(folderDrop.OverAccepted);
        QVERIFY(folderDrop.Accepted);
        QCOMPARE(folderDrop.Action, Qt::CopyAction); // the view removes nothing by itself
        QTRY_COMPARE(photos->Parent(), archive);
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Folder \"Photos\" will be moved into folder \"Archive\", continue?"));
        QCOMPARE(f.Catalog().CurrentFolder(), home); // Photos had no siblings
        QCOMPARE(names(f.Catalog(), home), QStringList());

        // Rows of the file list onto a folder.
        f.Form->SelectFolder(photos);
        f.SelectRows({0});
        std::unique_ptr<QMimeData> rows = rowsDrag(f);
        QCOMPARE(rows->formats(),
                 QStringList({TCatalogDragData::RecordsMimeType})); // no file names for others
        QVERIFY(!rows->hasUrls());
        f.Prompts.PlanYes();
        const TDropAnswer rowsDrop = dragAndDrop(f.FoldersTree(), rows.get(), pointOn(f, home));
        QVERIFY(rowsDrop.Accepted);
        QCOMPARE(rowsDrop.Action, Qt::CopyAction);
        QTRY_COMPARE(record->Folder, home);
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("1 file(s) will be moved into folder \"Home\", continue?"));
        QCOMPARE(rowNames(f.FilesList()), QStringList({"b.jpg"}));
        QCOMPARE(f.Catalog().CurrentFolder(), photos);
        QVERIFY(f.Prompts.AllAnswersUsed());
    }

    void dropsTheTreeOrTheListDoNotTakeChangeNothing()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        f.AddRecord(home, QStringLiteral("a.jpg"));
        f.Form->SelectFolder(home);
        f.SelectRows({0});
        std::unique_ptr<QMimeData> rows = rowsDrag(f);

        // Files from a file manager: welcome while dragging, refused on the drop.
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(f.MakeFile(QStringLiteral("x.txt")))});
        const TDropAnswer external = dragAndDrop(f.FoldersTree(), &files, pointOn(f, other));
        QVERIFY(external.OverAccepted);
        QVERIFY(!external.Accepted);

        // Rows onto the list itself, onto the current folder, onto no folder, and anything while busy.
        QVERIFY(!dragAndDrop(f.FilesList(), rows.get(), QPoint(10, 10)).Accepted);
        dragAndDrop(f.FoldersTree(), rows.get(), pointOn(f, home));
        dragAndDrop(f.FoldersTree(), rows.get(), QPoint(5, f.FoldersTree()->viewport()->height() - 5));
        f.Form->SetBusy(true);
        std::unique_ptr<QMimeData> folder = folderDrag(f, home);
        dragAndDrop(f.FoldersTree(), rows.get(), pointOn(f, other));
        dragAndDrop(f.FoldersTree(), folder.get(), pointOn(f, other));
        QCoreApplication::processEvents();
        f.Form->SetBusy(false);
        QCoreApplication::processEvents();

        QVERIFY(f.Prompts.Shown.isEmpty());
        QCOMPARE(rowNames(f.FilesList()), QStringList({"a.jpg"}));
        QCOMPARE(names(f.Catalog()), QStringList({"Home", "Other"}));
        QVERIFY(!f.Form->Modified());
    }

    // The worker keeps digesting a record whose row was dropped onto another folder; the digest
    // arrives in the record in its new folder, and the queue goes on.
    void aRecordBeingDigestedMovesAndGetsItsDigestThere()
    {
        TFormFixture f;
        TFolderNode *source = f.Catalog().AddFolder(nullptr, QStringLiteral("Source"));
        TFolderNode *target = f.Catalog().AddFolder(nullptr, QStringLiteral("Target"));
        const QString path = f.MakeFile(QStringLiteral("big.bin"), 100000);
        QAtomicInt reached, released;
        f.Form->Scheduler().SetWorkerSetup([&](CMd5Thread &worker) {
            worker.SetStepHook([&](CMd5Thread &w, TWorkerStep step, qint64) {
                if (step != wsBlockDone || reached.loadAcquire())
                    return;
                reached.storeRelease(1);
                while (!released.loadAcquire() && !w.isInterruptionRequested())
                    QThread::msleep(1);
            });
        });
        TFileDat *digesting = f.Catalog().AddRecord(source, NewRecordFromDisk(path));
        TFileDat *queued =
            f.Catalog().AddRecord(source, NewRecordFromDisk(f.MakeFile(QStringLiteral("small.bin"), 10)));
        f.Form->Scheduler().PostMd5Next();
        QTRY_VERIFY(reached.loadAcquire());
        QCOMPARE(f.Catalog().CurrentFolder(), source);
        QCOMPARE(digesting->State, fsDigesting);

        f.SelectRows({0, 1});
        std::unique_ptr<QMimeData> rows = rowsDrag(f);
        f.Prompts.PlanYes();
        dragAndDrop(f.FoldersTree(), rows.get(), pointOn(f, target));
        QTRY_COMPARE(digesting->Folder, target);
        QCOMPARE(fileNames(target), QStringList({"big.bin", "small.bin"}));
        QCOMPARE(digesting->State, fsDigesting);

        released.storeRelease(1);
        QTRY_COMPARE(queued->State, fsDigested);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString expected =
            QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
        QCOMPARE(digesting->State, fsDigested);
        QCOMPARE(digesting->Md5.Text(), expected);
        QCOMPARE(digesting->Folder, target);
        // The queue showed the target for the record queued behind; its row shows the digest.
        QCOMPARE(f.Catalog().CurrentFolder(), target);
        QCOMPARE(
            f.FilesList()->model()->index(f.Form->FindRecordRow(digesting), TFileListModel::colMd5).data(),
            QVariant(expected));
    }
};

QTEST_MAIN(TestMoveCommands)
#include "tst_movecommands.moc"
