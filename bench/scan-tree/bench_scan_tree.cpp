// Builds a catalog of a generated tree with `dravik-cli scan` (walk, records, digests, save) and
// digests the same tree with `hashdeep -r -c md5` (which uses every core), both from the page
// cache. Each round times, one after another: the scan on one thread (--jobs 1) and on every core
// (the default), each also at every level of the MD5 engine the processor has (--md5-level),
// hashdeep, and `scan --update` of the unchanged tree, which reads no file's content. Then one
// large file alone: its scan on every core at the default level and at single, against md5sum.
// The digests of both programs are compared once before the timed rounds.
//
//   bench-scan-tree [files] [folders] [--big-mib N] [--reference-cli PATH]
//     (default 20000 200, a big file of 1024 MiB; --big-mib 0 leaves it out)
//
// --reference-cli runs another build of dravik-cli (the last release, say) in the same rounds,
// for the scan on every core and on one thread and for the big file, and prints the ratios to it.
//
// The tree is GeneratedTree.h's. Prints every round, the medians, "update_vs_scan <update/scan>",
// a ratio for each level and, last, "ratio <dravik/hashdeep>" for the scan on every core.

#include "BenchMedian.h"
#include "GeneratedTree.h"
#include "Md5Level.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>
#include <sys/resource.h>

namespace {

constexpr int Rounds = 5;
constexpr int BigFileRounds = 3;

[[noreturn]] void fail(const QString &text)
{
    std::fprintf(stderr, "bench-scan-tree: %s\n", qPrintable(text));
    std::exit(1);
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

// Timings by label, in the order the labels were first used.
class TSeriesTable
{
public:
    TSeries &operator[](const QString &label)
    {
        if (!m_series.count(label))
            m_order << label;
        return m_series[label];
    }
    double Wall(const QString &label) { return Median((*this)[label].Wall); }

    void PrintRound(int round) const
    {
        std::printf("round %d:", round);
        for (const QString &label : m_order)
            std::printf("   %s %.3f s", qPrintable(label), m_series.at(label).Wall.back());
        std::printf("\n");
        std::fflush(stdout);
    }
    // The medians, each with its rate over `bytes` and its processor seconds.
    void PrintMedians(qint64 bytes) const
    {
        for (const QString &label : m_order) {
            const TSeries &series = m_series.at(label);
            const double wall = Median(series.Wall);
            std::printf("median %-36s %8.3f s %9.1f MB/s %8.3f processor s\n", qPrintable(label), wall,
                        double(bytes) / 1e6 / wall, Median(series.Processor));
        }
    }

private:
    QStringList m_order;
    std::map<QString, TSeries> m_series;
};

struct TArgs
{
    int Files = 20000;
    int Folders = 200;
    qint64 BigMib = 1024;
    QString ReferenceCli;
};

TArgs parseArguments(const QStringList &words)
{
    TArgs args;
    QStringList positional;
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (words[i] == QLatin1String("--big-mib") && i + 1 < words.size())
            args.BigMib = words[++i].toLongLong();
        else if (words[i] == QLatin1String("--reference-cli") && i + 1 < words.size())
            args.ReferenceCli = words[++i];
        else
            positional << words[i];
    }
    if (!positional.isEmpty())
        args.Files = positional[0].toInt();
    if (positional.size() > 1)
        args.Folders = positional[1].toInt();
    if (args.Files <= 0 || args.Folders <= 0 || args.BigMib < 0 || positional.size() > 2) {
        std::fprintf(stderr,
                     "usage: bench-scan-tree [files] [folders] [--big-mib N] [--reference-cli PATH]\n");
        std::exit(2);
    }
    return args;
}

// One file of pseudo-random bytes, written a MiB at a time.
void writeBigFile(const QString &path, qint64 mib)
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write %1").arg(path));
    QRandomGenerator random(1024);
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 i = 0; i < mib; ++i) {
        random.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        if (file.write(block) != block.size())
            fail(QStringLiteral("cannot write %1").arg(path));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const TArgs args = parseArguments(app.arguments());
    QTemporaryDir dir;
    if (!dir.isValid())
        fail(QStringLiteral("no temporary folder"));
    const QString tree = dir.filePath(QStringLiteral("tree"));
    const QString catalog = dir.filePath(QStringLiteral("bench.dat"));
    const QString cli = QStringLiteral(DRAVIK_CLI_PATH);
    const qint64 bytes = GenerateTree(tree, args.Files, args.Folders);
    std::printf("%d files, %lld bytes, in %d folders under %s\n", args.Files, static_cast<long long>(bytes),
                args.Folders, qPrintable(tree));
    std::fflush(stdout);
    compareDigests(cli, tree, catalog); // also brings the tree into the page cache

    const std::vector<TMd5Level> levels = Md5SupportedLevels();
    auto scanWords = [&](const QStringList &options) {
        return QStringList{QStringLiteral("scan")} + options +
               QStringList{QStringLiteral("-o"), catalog, tree};
    };
    auto removeCatalog = [&] {
        QFile::remove(catalog);
        QFile::remove(dir.filePath(QStringLiteral("bench.bak")));
    };
    auto timedScan = [&](const QString &program, const QStringList &options) {
        removeCatalog();
        return timed(program, scanWords(options));
    };
    const QString oneThread = QStringLiteral("--jobs=1");
    TSeriesTable table;
    for (int round = 1; round <= Rounds; ++round) {
        table[QStringLiteral("scan --jobs=1")].Add(timedScan(cli, {oneThread}));
        table[QStringLiteral("scan")].Add(timedScan(cli, {}));
        if (!args.ReferenceCli.isEmpty()) {
            table[QStringLiteral("reference scan --jobs=1")].Add(timedScan(args.ReferenceCli, {oneThread}));
            table[QStringLiteral("reference scan")].Add(timedScan(args.ReferenceCli, {}));
        }
        for (TMd5Level level : levels) {
            const QString option = QStringLiteral("--md5-level=") + QLatin1String(Md5LevelName(level));
            table[QStringLiteral("scan --jobs=1 ") + option].Add(timedScan(cli, {oneThread, option}));
            table[QStringLiteral("scan ") + option].Add(timedScan(cli, {option}));
        }
        table[QStringLiteral("hashdeep")].Add(
            timed(QStringLiteral("hashdeep"),
                  {QStringLiteral("-r"), QStringLiteral("-c"), QStringLiteral("md5"), tree}));
        table[QStringLiteral("scan --update")].Add(timed(cli, scanWords({QStringLiteral("--update")})));
        table.PrintRound(round);
    }
    if (QFile::exists(dir.filePath(QStringLiteral("bench.bak"))))
        fail(QStringLiteral("scan --update rewrote the catalog of an unchanged tree"));
    table.PrintMedians(bytes);

    // One large file: the lanes must not make it slower than one stream.
    TSeriesTable big;
    if (args.BigMib > 0) {
        const QString bigTree = dir.filePath(QStringLiteral("big"));
        const QString bigFile = bigTree + QStringLiteral("/big.bin");
        writeBigFile(bigFile, args.BigMib);
        auto bigScan = [&](const QString &program, const QStringList &options) {
            QFile::remove(catalog);
            QFile::remove(dir.filePath(QStringLiteral("bench.bak")));
            return timed(program, QStringList{QStringLiteral("scan")} + options +
                                      QStringList{QStringLiteral("-o"), catalog, bigTree});
        };
        run(QStringLiteral("md5sum"), {bigFile}); // into the page cache
        for (int round = 1; round <= BigFileRounds; ++round) {
            big[QStringLiteral("big file: scan")].Add(bigScan(cli, {}));
            big[QStringLiteral("big file: scan --md5-level=single")].Add(
                bigScan(cli, {QStringLiteral("--md5-level=single")}));
            if (!args.ReferenceCli.isEmpty())
                big[QStringLiteral("big file: reference scan")].Add(bigScan(args.ReferenceCli, {}));
            big[QStringLiteral("big file: md5sum")].Add(timed(QStringLiteral("md5sum"), {bigFile}));
            big.PrintRound(round);
        }
        big.PrintMedians(args.BigMib << 20);
    }

    const double scan = table.Wall(QStringLiteral("scan")), hashdeep = table.Wall(QStringLiteral("hashdeep"));
    const double scanOneThread = table.Wall(QStringLiteral("scan --jobs=1"));
    for (TMd5Level level : levels) {
        const QString option = QStringLiteral("--md5-level=") + QLatin1String(Md5LevelName(level));
        std::printf("level_%s_vs_hashdeep %.2f   one_thread %.2f\n", Md5LevelName(level),
                    table.Wall(QStringLiteral("scan ") + option) / hashdeep,
                    table.Wall(QStringLiteral("scan --jobs=1 ") + option) / hashdeep);
    }
    if (!args.ReferenceCli.isEmpty()) {
        const double referenceOneThread = table.Wall(QStringLiteral("reference scan --jobs=1"));
        std::printf("reference_vs_hashdeep %.2f   one_thread %.2f\n",
                    table.Wall(QStringLiteral("reference scan")) / hashdeep, referenceOneThread / hashdeep);
        std::printf("scan_vs_reference %.2f\n", scan / table.Wall(QStringLiteral("reference scan")));
        std::printf("one_thread_vs_reference_one_thread %.2f\n", scanOneThread / referenceOneThread);
        std::printf("scan_vs_reference_one_thread %.2f\n", scan / referenceOneThread);
    }
    if (args.BigMib > 0) {
        const double bigScan = big.Wall(QStringLiteral("big file: scan"));
        std::printf("big_file_vs_md5sum %.2f\n", bigScan / big.Wall(QStringLiteral("big file: md5sum")));
        if (!args.ReferenceCli.isEmpty())
            std::printf("big_file_vs_reference %.2f\n",
                        bigScan / big.Wall(QStringLiteral("big file: reference scan")));
    }
    std::printf("update_vs_scan %.3f\n", table.Wall(QStringLiteral("scan --update")) / scan);
    std::printf("one_thread_vs_hashdeep %.2f\n", scanOneThread / hashdeep);
    std::printf("ratio %.2f\n", scan / hashdeep);
    return 0;
}
