// Times the file list on a folder of 100,000 records: showing it, sorting it by each of the
// first three columns, and removing 10,000 selected records. Each figure is the median of five
// rounds on a fresh window. Last line: show_ms <median>.

#include "BenchMedian.h"
#include "BenchPrompts.h"
#include "FileListModel.h"
#include "main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Records = 100'000;
constexpr int Removed = 10'000;
constexpr int Rounds = 5;

void fill(TCatalog &catalog, TFolderNode *folder)
{
    std::vector<std::unique_ptr<TFileDat>> records;
    records.reserve(Records);
    quint32 seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int i = 0; i < Records; ++i) {
        auto record = std::make_unique<TFileDat>();
        record->FileName = QStringLiteral("IMG_%1.JPG").arg(next() % 1000000, 6, 10, QLatin1Char('0'));
        record->Size = qint64(next() % 20'000'000);
        record->DateTime = 39000.0 + double(next() % 5000000) / 1000.0;
        record->RealPath = QStringLiteral("/home/user/Pictures/%1/").arg(i / 1000);
        record->Md5 = QStringLiteral("%1").arg(next(), 32, 16, QLatin1Char('0'));
        record->State = fsDigested;
        records.push_back(std::move(record));
    }
    catalog.AppendRecords(folder, std::move(records));
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TBenchPrompts prompts;
    TBenchShell shell;

    std::vector<double> show, sortName, sortSize, sortDate, removal;
    for (int round = 0; round < Rounds; ++round) {
        TDravikForm form(prompts, shell);
        form.show();
        QCoreApplication::processEvents();
        TFolderNode *folder = form.Catalog().AddFolder(nullptr, QStringLiteral("Pictures"));
        fill(form.Catalog(), folder);
        auto *list = form.findChild<QTreeView *>(QStringLiteral("FilesList"));

        QElapsedTimer timer;
        timer.start();
        form.SelectFolder(folder);
        list->viewport()->repaint();
        show.push_back(msSince(timer));

        for (auto [column, figures] :
             {std::pair{0, &sortName}, std::pair{1, &sortSize}, std::pair{2, &sortDate}}) {
            timer.restart();
            form.FilesListColumnClick(column);
            list->viewport()->repaint();
            figures->push_back(msSince(timer));
        }

        // Every tenth row selected, as a user picks rows across the list.
        QItemSelection rows;
        for (int row = 0; row < Removed * 10; row += 10)
            rows.select(list->model()->index(row, 0), list->model()->index(row, 0));
        list->selectionModel()->select(rows, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        timer.restart();
        form.RemoveFilesBtClick();
        list->viewport()->repaint();
        removal.push_back(msSince(timer));
        if (folder->RecordCount() != Records - Removed) {
            std::fprintf(stderr, "removal left %d records\n", folder->RecordCount());
            return 1;
        }
        form.SetModified(false);
        form.close();
    }

    std::printf("show %.1f ms\n", Median(show));
    std::printf("sort by name %.1f ms\n", Median(sortName));
    std::printf("sort by size %.1f ms\n", Median(sortSize));
    std::printf("sort by date %.1f ms\n", Median(sortDate));
    std::printf("remove %d of %d %.1f ms\n", Removed, Records, Median(removal));
    std::printf("show_ms %.1f\n", Median(show));
    return 0;
}
