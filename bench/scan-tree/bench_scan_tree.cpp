// Builds a catalog of a generated tree with `dravik-cli scan` (walk, records, digests, save) and
// digests the same tree with `hashdeep -r -c md5` (which uses every core), both from the page
// cache. Each round times, one after another: the scan on one thread (--jobs 1, the digest queue
// on the main thread), the scan on every core (the default), hashdeep, and `scan --update` of the
// unchanged tree, which reads no file's content. The digests of both programs are compared once
// before the timed rounds.
//
//   bench-scan-tree [files] [folders]   (default 20000 200)
//
// The tree: folders in two levels, files of 1 to 64 KiB of pseudo-random bytes, about one in ten
// a copy of an earlier file. Prints every round, the medians, "update_vs_scan <update/scan>",
// "one_thread_vs_hashdeep <ratio>" and, last, "ratio <dravik/hashdeep>" for the scan on every core.

#include "BenchMedian.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int Rounds = 5;

[[noreturn]] void fail(const QString &text)
{
    std::fprintf(stderr, "bench-scan-tree: %s\n", qPrintable(text));
    std::exit(1);
}

// Returns the total size written.
qint64 generateTree(const QString &root, int files, int folders)
{
    QRandomGenerator random(20080315);
    // A tenth of the folders at the top, the rest spread below them.
    const int top = std::max(1, folders / 10);
    QStringList directories;
    for (int f = 0; f < folders; ++f) {
        const QString path =
            f < top ? QStringLiteral("%1/d%2").arg(root).arg(f, 3, 10, QLatin1Char('0'))
                    : QStringLiteral("%1/s%2").arg(directories[f % top]).arg(f, 3, 10, QLatin1Char('0'));
        if (!QDir().mkpath(path))
            fail(QStringLiteral("cannot create %1").arg(path));
        directories << path;
    }
    std::vector<QByteArray> contents;
    qint64 total = 0;
    for (int i = 0; i < files; ++i) {
        QByteArray content;
        if (!contents.empty() && random.bounded(10) == 0) {
            content = contents[size_t(random.bounded(int(contents.size())))];
        } else {
            content.resize(1024 + random.bounded(63 * 1024 + 1));
            random.fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
            contents.push_back(content);
        }
        QFile file(
            QStringLiteral("%1/f%2.bin").arg(directories[i % folders]).arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            fail(QStringLiteral("cannot write %1").arg(file.fileName()));
        total += content.size();
    }
    return total;
}

QByteArray run(const QString &program, const QStringList &arguments, bool keepOutput = false)
{
    QProcess process;
    if (!keepOutput)
        process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        fail(QStringLiteral("%1 failed").arg(program));
    return keepOutput ? process.readAllStandardOutput() : QByteArray();
}

// Seconds of processor time (user and system) that the children of this process used so far.
double childProcessorSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A run's wall-clock seconds, and the processor seconds it took, which another engineer's load on
// the machine changes less.
struct TTiming
{
    double Wall = 0;
    double Processor = 0;
};

TTiming timed(const QString &program, const QStringList &arguments)
{
    const double processorBefore = childProcessorSeconds();
    QElapsedTimer timer;
    timer.start();
    run(program, arguments);
    return {double(timer.nsecsElapsed()) / 1e9, childProcessorSeconds() - processorBefore};
}

struct TSeries
{
    std::vector<double> Wall, Processor;
    void Add(const TTiming &timing)
    {
        Wall.push_back(timing.Wall);
        Processor.push_back(timing.Processor);
    }
};

// The digests of both programs, sorted, must be the same list.
void compareDigests(const QString &cli, const QString &tree, const QString &catalog)
{
    QStringList ours, theirs;
    run(cli, {QStringLiteral("scan"), QStringLiteral("-o"), catalog, tree});
    for (const QByteArray &line : run(cli, {QStringLiteral("dump"), catalog}, true).split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 7 && fields[0] == "F")
            ours << QString::fromLatin1(fields[5]);
    }
    for (const QByteArray &line :
         run(QStringLiteral("hashdeep"),
             {QStringLiteral("-r"), QStringLiteral("-c"), QStringLiteral("md5"), tree}, true)
             .split('\n')) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() >= 3 && !line.startsWith('%') && !line.startsWith('#'))
            theirs << QString::fromLatin1(fields[1]);
    }
    ours.sort();
    theirs.sort();
    if (ours.isEmpty() || ours != theirs)
        fail(QStringLiteral("the digests differ: %1 from dravik-cli, %2 from hashdeep")
                 .arg(ours.size())
                 .arg(theirs.size()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 200;
    if (files <= 0 || folders <= 0) {
        std::fprintf(stderr, "usage: bench-scan-tree [files] [folders]\n");
        return 2;
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        fail(QStringLiteral("no temporary folder"));
    const QString tree = dir.filePath(QStringLiteral("tree"));
    const QString catalog = dir.filePath(QStringLiteral("bench.dat"));
    const QString cli = QStringLiteral(DRAVIK_CLI_PATH);
    const qint64 bytes = generateTree(tree, files, folders);
    std::printf("%d files, %lld bytes, in %d folders under %s\n", files, static_cast<long long>(bytes),
                folders, qPrintable(tree));
    std::fflush(stdout);
    compareDigests(cli, tree, catalog); // also brings the tree into the page cache

    const QStringList scan{QStringLiteral("scan"), QStringLiteral("-o"), catalog, tree};
    const QStringList scanOneThread{QStringLiteral("scan"), QStringLiteral("--jobs=1"), QStringLiteral("-o"),
                                    catalog, tree};
    const QStringList update{QStringLiteral("scan"), QStringLiteral("--update"), QStringLiteral("-o"),
                             catalog, tree};
    const QStringList hashdeep{QStringLiteral("-r"), QStringLiteral("-c"), QStringLiteral("md5"), tree};
    auto removeCatalog = [&] {
        QFile::remove(catalog);
        QFile::remove(dir.filePath(QStringLiteral("bench.bak")));
    };
    TSeries oneThread, ours, theirs, updates;
    for (int round = 1; round <= Rounds; ++round) {
        removeCatalog();
        oneThread.Add(timed(cli, scanOneThread));
        removeCatalog();
        ours.Add(timed(cli, scan));
        theirs.Add(timed(QStringLiteral("hashdeep"), hashdeep));
        updates.Add(timed(cli, update));
        std::printf("round %d: scan --jobs=1 %.3f s   scan %.3f s   hashdeep %.3f s   scan --update %.3f s\n",
                    round, oneThread.Wall.back(), ours.Wall.back(), theirs.Wall.back(), updates.Wall.back());
        std::fflush(stdout);
    }
    if (QFile::exists(dir.filePath(QStringLiteral("bench.bak"))))
        fail(QStringLiteral("scan --update rewrote the catalog of an unchanged tree"));
    const double one = Median(oneThread.Wall), a = Median(ours.Wall), b = Median(theirs.Wall),
                 u = Median(updates.Wall);
    std::printf(
        "median: scan --jobs=1 %.3f s (%.1f MB/s)   scan %.3f s (%.1f MB/s)   hashdeep %.3f s (%.1f MB/s)   "
        "scan --update %.3f s\n",
        one, double(bytes) / 1e6 / one, a, double(bytes) / 1e6 / a, b, double(bytes) / 1e6 / b, u);
    std::printf(
        "median processor seconds: scan --jobs=1 %.3f   scan %.3f   hashdeep %.3f   scan --update %.3f\n",
        Median(oneThread.Processor), Median(ours.Processor), Median(theirs.Processor),
        Median(updates.Processor));
    std::printf("update_vs_scan %.3f\n", u / a);
    std::printf("one_thread_vs_hashdeep %.2f\n", one / b);
    std::printf("ratio %.2f\n", a / b);
    return 0;
}
