// Times "Check all" through the window on a catalog of 1,000,000 digested records in 1,000
// folders that hold 100,000 duplicate sets (one of 10,000 records, the others of two): from the
// click until the duplicates window is filled and shown, then selecting the set of 10,000 until
// its rows are laid out and painted. The reference is the same search without a window (the
// core's collecting and grouping alone), timed in the same rounds.
//
//   bench-dup-window [rounds]   (default 5)
//
// Last line: check_all_seconds <median>.

#include "BenchMedian.h"
#include "BenchPrompts.h"
#include "DupFiles.h"
#include "DuplicateSets.h"
#include "main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTreeView>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int Records = 1'000'000;
constexpr int Folders = 1'000;
constexpr int Sets = 100'000;
constexpr int LargeSet = 10'000;

QString randomDigest(QRandomGenerator &random)
{
    static const char digits[] = "0123456789abcdef";
    QString text(32, Qt::Uninitialized);
    for (int i = 0; i < 32; i += 8) {
        quint32 bits = random.generate();
        for (int j = 0; j < 8; ++j, bits >>= 4)
            text[i + j] = QLatin1Char(digits[bits & 15]);
    }
    return text;
}

// The set of 10,000 comes first; every other set has two records; the rest are unique. Records
// are shuffled over the folders.
void generate(TCatalog &catalog)
{
    QRandomGenerator random(20080315);
    std::vector<QString> digests;
    digests.reserve(Records);
    const QString large = randomDigest(random);
    for (int i = 0; i < LargeSet; ++i)
        digests.push_back(large);
    for (int set = 1; set < Sets; ++set) {
        digests.push_back(randomDigest(random));
        digests.push_back(digests.back());
    }
    while (digests.size() < size_t(Records))
        digests.push_back(randomDigest(random));
    std::shuffle(digests.begin() + 1, digests.end(), random); // the large set stays the first met

    std::vector<TFolderNode *> folders;
    for (int f = 0; f < Folders; ++f)
        folders.push_back(catalog.AddFolder(f < 10 ? nullptr : folders[size_t(random.bounded(f))],
                                            QStringLiteral("Folder %1").arg(f)));
    size_t next = 0;
    for (int f = 0; f < Folders; ++f) {
        const QString realPath = QStringLiteral("/data/folder %1/").arg(f);
        std::vector<std::unique_ptr<TFileDat>> list;
        for (int r = 0; r < Records / Folders; ++r) {
            auto record = std::make_unique<TFileDat>();
            record->FileName = QStringLiteral("file %1.bin").arg(next);
            record->Size = random.bounded(1 << 24);
            record->DateTime = 40000.0 + random.bounded(5000);
            record->RealPath = realPath;
            record->Md5 = digests[next++];
            record->State = fsDigested;
            list.push_back(std::move(record));
        }
        catalog.AppendRecords(folders[size_t(f)], std::move(list));
    }
}

double secondsSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TBenchPrompts prompts;
    TBenchShell shell;
    TDravikForm form(prompts, shell);
    form.show();
    generate(form.Catalog());
    std::printf("%d digested records in %d folders, %d duplicate sets, the largest of %d\n", Records, Folders,
                Sets, LargeSet);

    QElapsedTimer timer;
    std::vector<double> window, reference, largeSet;
    TDupFilesForm *shown = nullptr;
    form.SetDupFilesShower([&](TDupFilesForm &dup) {
        dup.show();
        QCoreApplication::processEvents();
        window.push_back(secondsSince(timer));
        shown = &dup;
    });
    auto searchWithoutWindow = [&] {
        timer.start();
        const std::vector<TDuplicateSet> found =
            FindDuplicateSets(CollectAllDuplicateCandidates(form.Catalog()));
        reference.push_back(secondsSince(timer));
        return found.size(); // disposed of after the timing, as the window's sets are
    };
    for (int round = 1; round <= rounds; ++round) {
        // The two searches take turns at going first, so neither always meets a warm cache.
        const size_t withoutWindow = round % 2 ? 0 : searchWithoutWindow();
        shown = nullptr;
        timer.start();
        form.SearchAllDupBtClick();
        const size_t sets = round % 2 ? searchWithoutWindow() : withoutWindow;
        if (!shown || shown->SetCount() != Sets || sets != size_t(Sets)) {
            std::printf("wrong sets: %d in the window, %zu without\n", shown ? shown->SetCount() : 0, sets);
            return 1;
        }

        auto *setsList = shown->findChild<QTreeView *>(QStringLiteral("SetsList"));
        auto *filesList = shown->findChild<QTreeView *>(QStringLiteral("FilesList"));
        timer.start();
        setsList->selectionModel()->setCurrentIndex(
            setsList->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        filesList->viewport()->repaint();
        QCoreApplication::processEvents();
        largeSet.push_back(secondsSince(timer) * 1000);
        if (filesList->model()->rowCount() != LargeSet) {
            std::printf("wrong rows: %d\n", filesList->model()->rowCount());
            return 1;
        }
        std::printf("round %d: check all %.3f s (without window %.3f s), set of %d shown in %.1f ms\n", round,
                    window.back(), reference.back(), LargeSet, largeSet.back());
        std::fflush(stdout);
        shown->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("without_window_seconds %.3f\n", Median(reference));
    std::printf("large_set_ms %.1f\n", Median(largeSet));
    std::printf("ratio %.2f\n", Median(window) / Median(reference));
    std::printf("check_all_seconds %.3f\n", Median(window));
    return 0;
}
