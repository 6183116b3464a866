// Verification in the window against the digest worker: one file of 1 GiB (sparse, so both read
// it from memory at once), verified through "Verify MD5 for selected files" in the real window
// (offscreen), and digested by the worker's own reading (CMd5Thread::DigestFile) on this thread.
// Rounds alternate; medians. While the window verifies, an event posted every millisecond tells
// how soon the window takes a key (the worst wait of each round; the median of those).
//
//   bench-verify [MiB]   (default 1024)
//
// Last line: "window_vs_worker <ratio>".

#include "BenchMedian.h"
#include "BenchPrompts.h"
#include "EventProbe.h"
#include "MD5ThUnit.h"
#include "SearchFilesForm.h"
#include "main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

namespace {

constexpr int Rounds = 5;

double secondsOf(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const qint64 mebibytes = argc > 1 ? std::atoll(argv[1]) : 1024;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.bin"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(mebibytes << 20)) {
            std::fprintf(stderr, "bench-verify: cannot make %s\n", qPrintable(path));
            return 1;
        }
    }

    TBenchPrompts prompts;
    TBenchShell shell;
    TDravikForm form(prompts, shell);
    form.show();
    TFolderNode *folder = form.Catalog().AddFolder(nullptr, QStringLiteral("Large"));
    std::vector<std::unique_ptr<TFileDat>> records;
    auto record = NewRecordFromDisk(path);
    record->Md5 = TMd5Text(QStringLiteral("0123456789abcdef0123456789abcdef")); // not its digest: corrupt
    record->State = fsDigested;
    records.push_back(std::move(record));
    form.Catalog().AppendRecords(folder, std::move(records));
    form.SelectFolder(folder);
    form.SetSearchFilesShower([](TSearchFilesForm &results) { results.close(); });
    auto *list = form.findChild<QTreeView *>(QStringLiteral("FilesList"));

    TEventProbe probe;
    std::vector<double> window, worker, waits;
    for (int round = 0; round < Rounds; ++round) {
        worker.push_back(secondsOf([&] {
            CMd5Thread reader;
            if (!reader.DigestFile(path))
                std::exit(1);
        }));
        list->selectAll();
        probe.Start();
        window.push_back(secondsOf([&] { form.MorVerifymd5Click(); }));
        waits.push_back(probe.Stop());
        std::printf("round %d: window %.3f s, worker %.3f s, worst wait %.1f ms\n", round + 1, window.back(),
                    worker.back(), waits.back());
    }
    const double mb = double(mebibytes << 20) / 1e6;
    std::printf("window %.0f MB/s, worker %.0f MB/s (medians)\n", mb / Median(window), mb / Median(worker));
    std::printf("worst_wait_ms %.1f\n", Median(waits));
    std::printf("window_vs_worker %.2f\n", Median(window) / Median(worker));
    form.SetModified(false);
    return 0;
}
