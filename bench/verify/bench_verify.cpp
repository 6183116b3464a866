// Verification from the command line and in the window, each against the reading it must keep
// up with.
//
// Command line: `dravik-cli verify` of a catalog of the generated tree (GeneratedTree.h, in the
// page cache) against `dravik-cli scan` of the same tree, both on every core, at each tree size
// given; rounds alternate; medians, the cost per file and "cli_verify_vs_scan <ratio>" per size.
//
// Window: one file (sparse, so both read it from memory at once), verified through "Verify MD5
// for selected files" in the real window (offscreen), and digested by the worker's own reading
// (CMd5Thread::DigestFile) on this thread. Rounds alternate; medians. While the window verifies,
// an event posted every millisecond tells how soon the window takes a key (the worst wait of each
// round; the median of those).
//
//   bench-verify [MiB] [--files N,N...]   (default 1024, and trees of 5000 and 20000 files, a
//                                         hundred to a folder; MiB 0 or --files 0 leaves a half out)
//
// Last line: "window_vs_worker <ratio>" (with the window half).

#include "BenchMedian.h"
#include "BenchProcess.h"
#include "BenchPrompts.h"
#include "EventProbe.h"
#include "GeneratedTree.h"
#include "MD5ThUnit.h"
#include "SearchFilesForm.h"
#include "main.h"

#include <QApplication>
#include <QDir>
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

// `dravik-cli verify` of an unchanged tree (which must find nothing) against `dravik-cli scan`.
void benchCommandLine(const QString &dir, int files)
{
    const QString tree = dir + QStringLiteral("/tree%1").arg(files);
    const qint64 bytes = GenerateTree(tree, files, std::max(1, files / 100));
    const QString cli = QStringLiteral(DRAVIK_CLI_PATH);
    const QString verified = dir + QStringLiteral("/verified.dat");
    const QString scanned = dir + QStringLiteral("/scanned.dat");
    SecondsOfRun(cli, {QStringLiteral("scan"), QStringLiteral("-o"), verified, tree}); // also the page cache
    std::vector<double> verify, scan;
    for (int round = 0; round < Rounds; ++round) {
        QFile::remove(scanned);
        QFile::remove(dir + QStringLiteral("/scanned.bak"));
        scan.push_back(SecondsOfRun(cli, {QStringLiteral("scan"), QStringLiteral("-o"), scanned, tree}));
        verify.push_back(SecondsOfRun(cli, {QStringLiteral("verify"), verified}));
        std::printf("%d files, round %d: verify %.3f s, scan %.3f s\n", files, round + 1, verify.back(),
                    scan.back());
        std::fflush(stdout);
    }
    const double verifySeconds = Median(verify), scanSeconds = Median(scan);
    std::printf(
        "%d files, %.0f MB: verify %.3f s (%.1f us a file, %.0f MB/s), scan %.3f s (%.1f us a file)\n", files,
        double(bytes) / 1e6, verifySeconds, verifySeconds / files * 1e6, double(bytes) / 1e6 / verifySeconds,
        scanSeconds, scanSeconds / files * 1e6);
    std::printf("cli_verify_vs_scan %d files %.2f\n", files, verifySeconds / scanSeconds);
    std::fflush(stdout);
    QDir(tree).removeRecursively();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    qint64 mebibytes = 1024;
    QList<int> treeSizes{5000, 20000};
    const QStringList words = application.arguments();
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (words[i] == QLatin1String("--files") && i + 1 < words.size()) {
            treeSizes.clear();
            for (const QString &size : words[++i].split(u','))
                if (size.toInt() > 0)
                    treeSizes << size.toInt();
        } else {
            mebibytes = words[i].toLongLong();
        }
    }
    QTemporaryDir dir;
    for (int files : treeSizes)
        benchCommandLine(dir.path(), files);
    if (mebibytes <= 0)
        return 0;
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
