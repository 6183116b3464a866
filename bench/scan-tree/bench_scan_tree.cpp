// Builds a catalog of a generated tree with `dravik-cli scan` (walk, records, one digest after
// another through the worker, save) and digests the same tree with `hashdeep -r -c md5` (which
// uses every core), both from the page cache. Rounds alternate between the two; the digests of
// both are compared once before the timed rounds.
//
//   bench-scan-tree [files] [folders]   (default 20000 200)
//
// The tree: folders in two levels, files of 1 to 64 KiB of pseudo-random bytes, about one in ten
// a copy of an earlier file. Prints every round, both medians and, last, "ratio <dravik/hashdeep>".

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

double timed(const QString &program, const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    run(program, arguments);
    return double(timer.nsecsElapsed()) / 1e9;
}

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
    const QStringList hashdeep{QStringLiteral("-r"), QStringLiteral("-c"), QStringLiteral("md5"), tree};
    std::vector<double> ours, theirs;
    for (int round = 1; round <= Rounds; ++round) {
        QFile::remove(catalog);
        QFile::remove(dir.filePath(QStringLiteral("bench.bak")));
        ours.push_back(timed(cli, scan));
        theirs.push_back(timed(QStringLiteral("hashdeep"), hashdeep));
        std::printf("round %d: dravik-cli scan %.3f s   hashdeep %.3f s\n", round, ours.back(),
                    theirs.back());
        std::fflush(stdout);
    }
    const double a = Median(ours), b = Median(theirs);
    std::printf("median: dravik-cli scan %.3f s (%.1f MB/s)   hashdeep %.3f s (%.1f MB/s)\n", a,
                double(bytes) / 1e6 / a, b, double(bytes) / 1e6 / b);
    std::printf("ratio %.2f\n", a / b);
    return 0;
}
