// The lane digester (TLaneDigester) on one thread over files in the page cache, at every level
// this processor has, against the worker's reading of one file after another on the same thread
// (CMd5Thread::DigestFile, what the window's worker does). Then, at the widest level (or the one
// DRAVIK_MD5_LEVEL forces), the block size read at a time, and the lane limit: a batch of small
// files with one large file in its middle, the large file digested in a lane against alone, and
// files of every size with limits from 256 KiB to 64 MiB.
//
//   bench-lane-digester [files]   (default 4000)
//
// Times are the processor time of this thread (reading from the page cache included), so other
// processes on the machine move the figures little. Files: `files` of 1 to 64 KiB, 600 of 1 KiB
// to 1 MiB and 16 of 4 to 32 MiB (sizes even on a logarithmic scale), large files of 1, 4 and 16
// MiB; batches of 256 files.
// Prints every figure as a median of five rounds and, last, "ratio <lanes/worker>" for the small
// files at the widest level.

#include "BenchMedian.h"
#include "DigestFileReader.h"
#include "LaneDigester.h"
#include "MD5ThUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>

namespace {

constexpr int Rounds = 5;
constexpr std::size_t BatchSize = 256;

[[noreturn]] void Fail(const QString &text)
{
    std::fprintf(stderr, "bench-lane-digester: %s\n", qPrintable(text));
    std::exit(1);
}

double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

struct TFiles
{
    std::vector<QString> Paths;
    qint64 Bytes = 0;
};

// Writes the files, which stay in the page cache for the rounds.
TFiles WriteFiles(const QString &dir, const QString &prefix, const std::vector<qint64> &sizes)
{
    QRandomGenerator random(quint32(qHash(prefix)));
    TFiles files;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const QString path = QStringLiteral("%1/%2%3").arg(dir, prefix).arg(i);
        QByteArray content(sizes[i], Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            Fail(QStringLiteral("cannot write %1").arg(path));
        files.Paths.push_back(path);
        files.Bytes += sizes[i];
    }
    return files;
}

std::vector<qint64> SmallSizes(int count)
{
    QRandomGenerator random(20080315);
    std::vector<qint64> sizes;
    for (int i = 0; i < count; ++i)
        sizes.push_back(1024 + random.bounded(63 * 1024 + 1));
    return sizes;
}

std::vector<qint64> MixedSizes(int count)
{
    QRandomGenerator random(1024);
    std::vector<qint64> sizes;
    for (int i = 0; i < count; ++i)
        sizes.push_back(qint64(1024.0 * std::pow(1024.0, random.generateDouble())));
    return sizes;
}

std::vector<qint64> LargeSizes(int count)
{
    QRandomGenerator random(32);
    std::vector<qint64> sizes;
    for (int i = 0; i < count; ++i)
        sizes.push_back(qint64(double(4 << 20) * std::pow(8.0, random.generateDouble())));
    return sizes;
}

// The worker's reading, one file after another.
std::vector<QString> WorkerDigests(const std::vector<QString> &paths)
{
    CMd5Thread reader;
    std::vector<QString> digests;
    for (const QString &path : paths) {
        const auto digest = reader.DigestFile(path);
        digests.push_back(digest ? QString::fromLatin1(
                                       QByteArray(reinterpret_cast<const char *>(digest->data()), 16).toHex())
                                 : QString());
    }
    return digests;
}

std::vector<QString> LaneDigests(TLaneDigester &digester, const std::vector<QString> &paths)
{
    std::vector<QString> digests;
    for (std::size_t first = 0; first < paths.size(); first += BatchSize) {
        const std::vector<QString> batch(paths.begin() + qsizetype(first),
                                         paths.begin() +
                                             qsizetype(std::min(paths.size(), first + BatchSize)));
        for (const TLaneDigest &result : digester.Digest(batch))
            digests.push_back(QString::fromLatin1(
                QByteArray(reinterpret_cast<const char *>(result.Md5.data()), 16).toHex()));
    }
    return digests;
}

// Seconds of this thread's time for one call.
double Time(const std::function<void()> &work)
{
    const double start = ThreadSeconds();
    work();
    return ThreadSeconds() - start;
}

// Small files: the worker's reading against the lanes at every level; returns the widest level's
// ratio.
double CompareWithWorker(const TFiles &files)
{
    const std::vector<QString> expected = WorkerDigests(files.Paths);
    const std::vector<TMd5Level> levels = Md5SupportedLevels();
    std::vector<std::unique_ptr<TLaneDigester>> digesters;
    for (TMd5Level level : levels) {
        digesters.push_back(std::make_unique<TLaneDigester>(level));
        if (LaneDigests(*digesters.back(), files.Paths) != expected)
            Fail(QStringLiteral("digests at level %1 differ from the worker's").arg(Md5LevelName(level)));
    }
    std::vector<double> worker;
    std::vector<std::vector<double>> lanes(levels.size());
    for (int round = 0; round < Rounds; ++round) {
        worker.push_back(double(files.Bytes) / 1e6 / Time([&] { WorkerDigests(files.Paths); }));
        for (std::size_t i = 0; i < levels.size(); ++i)
            lanes[i].push_back(double(files.Bytes) / 1e6 /
                               Time([&] { LaneDigests(*digesters[i], files.Paths); }));
    }
    const double workerMedian = Median(worker);
    std::printf("%zu files of 1 to 64 KiB, worker's reading      median %8.1f MB/s\n", files.Paths.size(),
                workerMedian);
    double ratio = 1;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const double median = Median(lanes[i]);
        ratio = median / workerMedian;
        std::printf("%zu files of 1 to 64 KiB, lanes %-6s           median %8.1f MB/s   x%.2f worker\n",
                    files.Paths.size(), Md5LevelName(levels[i]), median, ratio);
    }
    return ratio;
}

void CompareBlockSizes(TMd5Level level, const TFiles &files, const char *title)
{
    const std::vector<qint64> blockSizes{16384, 31744, 65536, 131072, 262144};
    std::vector<std::vector<double>> rates(blockSizes.size());
    for (int round = 0; round < Rounds; ++round) {
        for (std::size_t i = 0; i < blockSizes.size(); ++i) {
            TLaneSettings settings;
            settings.BlockSize = blockSizes[i];
            TLaneDigester digester(level, settings);
            rates[i].push_back(double(files.Bytes) / 1e6 / Time([&] { LaneDigests(digester, files.Paths); }));
        }
    }
    for (std::size_t i = 0; i < blockSizes.size(); ++i)
        std::printf("%zu files of %s, blocks of %6lld bytes  median %8.1f MB/s\n", files.Paths.size(), title,
                    static_cast<long long>(blockSizes[i]), Median(rates[i]));
}

// A batch of small files with one large file in its middle: the large file in a lane (the lane
// limit above it) against alone (below it).
void CompareOneLargeFile(TMd5Level level, const TFiles &small, const TFiles &large)
{
    for (const QString &path : large.Paths) {
        std::vector<QString> batch(small.Paths.begin(), small.Paths.begin() + BatchSize - 1);
        batch.insert(batch.begin() + BatchSize / 2, path);
        const qint64 size = QFileInfo(path).size();
        TLaneSettings inLane, alone;
        inLane.LaneLimit = size;
        alone.LaneLimit = size - 1;
        TLaneDigester laneDigester(level, inLane), aloneDigester(level, alone);
        std::vector<double> lane, single;
        for (int round = 0; round < Rounds; ++round) {
            lane.push_back(Time([&] { laneDigester.Digest(batch); }));
            single.push_back(Time([&] { aloneDigester.Digest(batch); }));
        }
        std::printf("batch of %zu with one file of %5.1f MiB: in a lane %7.1f ms, alone %7.1f ms, "
                    "lane/alone %.2f\n",
                    BatchSize, double(size) / double(1 << 20), 1e3 * Median(lane), 1e3 * Median(single),
                    Median(lane) / Median(single));
    }
}

// Files of every size at once, with lane limits from 256 KiB to 64 MiB.
void CompareLaneLimits(TMd5Level level, const TFiles &files)
{
    const std::vector<qint64> limits{256 << 10, 1 << 20, 4 << 20, 16 << 20, 64 << 20};
    std::vector<std::vector<double>> rates(limits.size());
    for (int round = 0; round < Rounds; ++round) {
        for (std::size_t i = 0; i < limits.size(); ++i) {
            TLaneSettings settings;
            settings.LaneLimit = limits[i];
            TLaneDigester digester(level, settings);
            rates[i].push_back(double(files.Bytes) / 1e6 / Time([&] { LaneDigests(digester, files.Paths); }));
        }
    }
    for (std::size_t i = 0; i < limits.size(); ++i)
        std::printf("%zu files of 1 KiB to 32 MiB, lane limit %5.2f MiB  median %8.1f MB/s\n",
                    files.Paths.size(), double(limits[i]) / double(1 << 20), Median(rates[i]));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const TMd5LevelChoice chosen = Md5LevelFromEnvironment();
    if (!chosen.Ok())
        Fail(QString::fromStdString(chosen.Error));
    const int count = argc > 1 ? std::atoi(argv[1]) : 4000;
    if (count < int(BatchSize)) {
        std::fprintf(stderr, "usage: bench-lane-digester [files, at least %zu]\n", BatchSize);
        return 2;
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        Fail(QStringLiteral("no temporary folder"));
    const TFiles small = WriteFiles(dir.path(), QStringLiteral("s"), SmallSizes(count));
    const TFiles mixed = WriteFiles(dir.path(), QStringLiteral("m"), MixedSizes(600));
    const TFiles large = WriteFiles(dir.path(), QStringLiteral("l"), {1 << 20, 4 << 20, 16 << 20});
    // The mixed files and 16 files of 4 to 32 MiB, shuffled.
    TFiles everySize = WriteFiles(dir.path(), QStringLiteral("x"), LargeSizes(16));
    everySize.Paths.insert(everySize.Paths.end(), mixed.Paths.begin(), mixed.Paths.end());
    everySize.Bytes += mixed.Bytes;
    std::shuffle(everySize.Paths.begin(), everySize.Paths.end(), std::mt19937(5));
    std::printf("levels:");
    for (TMd5Level level : Md5SupportedLevels())
        std::printf(" %s", Md5LevelName(level));
    std::printf("; block sizes and lane limits at %s", Md5LevelName(chosen.Level));
    std::printf("; %lld MB of small files, %lld MB of mixed ones\n",
                static_cast<long long>(small.Bytes / 1000000), static_cast<long long>(mixed.Bytes / 1000000));

    const double ratio = CompareWithWorker(small);
    CompareBlockSizes(chosen.Level, small, "1 to 64 KiB");
    CompareBlockSizes(chosen.Level, mixed, "1 KiB to 1 MiB");
    CompareOneLargeFile(chosen.Level, small, large);
    CompareLaneLimits(chosen.Level, everySize);
    std::printf("ratio %.2f\n", ratio);
    return 0;
}
