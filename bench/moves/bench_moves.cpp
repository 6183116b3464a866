// Times the moves through the window, offscreen, with drop events sent to the folder tree as a
// drag of the user's would send them:
// - a folder of 100,000 records with three levels of sub-folders (10 x 10 x 10, 10 records each),
//   all expanded and current, dropped onto another root folder;
// - 10,000 of 100,000 rows (every tenth) dropped onto another folder: making the drag data when
//   the drag starts, then the drop until the list is painted again. For reference, the same rows
//   removed from the catalog with "Remove file(s) from registry", which does the same work on the
//   list.
// Each figure is the median of five rounds on a fresh window. Prints the figures, the ratio of
// the drop to the removal and, last, "rows_drop_ms <median>".

#include "BenchMedian.h"
#include "BenchPrompts.h"
#include "CatalogDrag.h"
#include "FolderTreeModel.h"
#include "main.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QTreeView>
#include <cstdio>
#include <vector>

namespace {

constexpr int Records = 100'000;
constexpr int Dropped = 10'000;
constexpr int Fanout = 10; // sub-folders on each of the three levels
constexpr int RecordsPerSubFolder = 10;
constexpr int Rounds = 5;

void fill(TCatalog &catalog, TFolderNode *folder, int count, int &serial)
{
    std::vector<std::unique_ptr<TFileDat>> records;
    records.reserve(size_t(count));
    for (int i = 0; i < count; ++i, ++serial) {
        auto record = std::make_unique<TFileDat>();
        record->FileName = QStringLiteral("IMG_%1.JPG").arg(serial, 6, 10, QLatin1Char('0'));
        record->Size = qint64(serial) * 997 % 20'000'000;
        record->DateTime = 39000.0 + double(serial) / 100.0;
        record->RealPath = QStringLiteral("/home/user/Pictures/%1/").arg(serial / 1000);
        record->Md5 = QStringLiteral("%1").arg(quint32(serial) * 2654435761u, 32, 16, QLatin1Char('0'));
        record->State = fsDigested;
        records.push_back(std::move(record));
    }
    catalog.AppendRecords(folder, std::move(records));
}

void addLevels(TCatalog &catalog, TFolderNode *parent, int levels, int &serial)
{
    if (levels == 0)
        return;
    for (int i = 0; i < Fanout; ++i) {
        TFolderNode *folder =
            catalog.AddFolder(parent, QStringLiteral("Level %1 #%2").arg(4 - levels).arg(i));
        fill(catalog, folder, RecordsPerSubFolder, serial);
        addLevels(catalog, folder, levels - 1, serial);
    }
}

// A drop of the data on the folder, as the tree receives it at the end of a drag, and the
// move it leads to once the drag has ended.
void dropOn(QTreeView *tree, const QMimeData *data, TFolderNode *target)
{
    auto *model = static_cast<TFolderTreeModel *>(tree->model());
    tree->scrollTo(model->IndexOf(target));
    const QPoint at = tree->visualRect(model->IndexOf(target)).center();
    const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, {});
    QApplication::sendEvent(tree->viewport(), &enter);
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, {});
    QApplication::sendEvent(tree->viewport(), &move);
    QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, {});
    QApplication::sendEvent(tree->viewport(), &drop);
    QCoreApplication::processEvents();
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

int check(bool condition, const char *what)
{
    if (!condition)
        std::fprintf(stderr, "failed: %s\n", what);
    return condition ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TBenchPrompts prompts;
    TBenchShell shell;

    std::vector<double> folderMove, dragData, rowsDrop, removal;
    for (int round = 0; round < Rounds; ++round) {
        TDravikForm form(prompts, shell);
        form.show();
        QCoreApplication::processEvents();
        TCatalog &catalog = form.Catalog();
        auto *tree = form.findChild<QTreeView *>(QStringLiteral("FoldersTree"));
        auto *list = form.findChild<QTreeView *>(QStringLiteral("FilesList"));
        auto *treeModel = static_cast<TFolderTreeModel *>(tree->model());

        // ---- The folder
        int serial = 0;
        TFolderNode *big = catalog.AddFolder(nullptr, QStringLiteral("Pictures"));
        TFolderNode *archive = catalog.AddFolder(nullptr, QStringLiteral("Archive"));
        fill(catalog, big, Records, serial);
        addLevels(catalog, big, 3, serial);
        tree->expandAll();
        form.SelectFolder(big);
        tree->viewport()->repaint();
        list->viewport()->repaint();
        {
            std::unique_ptr<QMimeData> data(treeModel->mimeData({treeModel->IndexOf(big)}));
            QElapsedTimer timer;
            timer.start();
            dropOn(tree, data.get(), archive);
            tree->viewport()->repaint();
            list->viewport()->repaint();
            folderMove.push_back(msSince(timer));
        }
        if (int failed = check(big->Parent() == archive && !tree->isExpanded(treeModel->IndexOf(big)) &&
                                   catalog.SubtreeFolderCount(big) ==
                                       1 + Fanout + Fanout * Fanout + Fanout * Fanout * Fanout,
                               "folder move"))
            return failed;

        // ---- The rows
        TFolderNode *target = catalog.AddFolder(nullptr, QStringLiteral("Target"));
        form.SelectFolder(big);
        list->viewport()->repaint();
        QItemSelection rows;
        for (int row = 0; row < Dropped * 10; row += 10)
            rows.select(list->model()->index(row, 0), list->model()->index(row, 0));
        list->selectionModel()->select(rows, QItemSelectionModel::Select | QItemSelectionModel::Rows);

        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<QMimeData> data(list->model()->mimeData(list->selectionModel()->selectedIndexes()));
        dragData.push_back(msSince(timer));
        timer.restart();
        dropOn(tree, data.get(), target);
        list->viewport()->repaint();
        rowsDrop.push_back(msSince(timer));
        if (int failed = check(target->RecordCount() == Dropped && big->RecordCount() == Records - Dropped &&
                                   list->model()->rowCount() == Records - Dropped,
                               "rows drop"))
            return failed;

        // ---- The reference: as many rows removed from the catalog
        list->clearSelection();
        QItemSelection again;
        for (int row = 0; row < Dropped * 9; row += 9)
            again.select(list->model()->index(row, 0), list->model()->index(row, 0));
        list->selectionModel()->select(again, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        timer.restart();
        form.RemoveFilesBtClick();
        list->viewport()->repaint();
        removal.push_back(msSince(timer));
        if (int failed = check(big->RecordCount() == Records - 2 * Dropped, "removal"))
            return failed;

        form.SetModified(false);
        form.close();
    }

    std::printf("folder move (%d records, %d sub-folders) %.1f ms\n", Records,
                Fanout + Fanout * Fanout + Fanout * Fanout * Fanout, Median(folderMove));
    std::printf("drag data of %d rows %.1f ms\n", Dropped, Median(dragData));
    std::printf("drop of %d of %d rows %.1f ms\n", Dropped, Records, Median(rowsDrop));
    std::printf("removal of %d rows (reference) %.1f ms\n", Dropped, Median(removal));
    std::printf("drop_vs_remove %.2f\n", Median(rowsDrop) / Median(removal));
    std::printf("rows_drop_ms %.1f\n", Median(rowsDrop));
    return 0;
}
