// Throughput of digesting one file through the real worker (thread, blocks, hand-over to the
// scheduler on this thread's event loop) against md5sum on the same file, both reading from the
// page cache. Rounds alternate between the two.
//
//   bench-digest-file [MiB]   (default 1024)
//
// Prints every round, both median throughputs (MB = 10^6 bytes) and, last, "ratio <worker/md5sum>".

#include "BenchMedian.h"
#include "Catalog.h"
#include "DigestScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 5;

// A window that only waits for the end of the queue.
class TQuietView : public TDigestView
{
public:
    explicit TQuietView(QEventLoop &loop) : m_loop(loop) {}
    void BringFolderIntoView(TFolderNode *) override {}
    void ShowRecordRow(TFileDat *) override {}
    void SetStatus(const QString &text, bool) override
    {
        if (text == QLatin1String("Operation completed"))
            m_loop.quit();
    }
    void MarkModified() override {}

private:
    QEventLoop &m_loop;
};

// splitmix64: pseudo-random bytes, so the file compresses nowhere and reads as real data.
bool WriteTestFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::vector<quint64> chunk(1 << 19); // 4 MiB
    quint64 seed = 0x243f6a8885a308d3ULL;
    for (qint64 left = size; left > 0;) {
        for (quint64 &word : chunk) {
            quint64 z = (seed += 0x9e3779b97f4a7c15ULL);
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
        const qint64 piece = std::min<qint64>(left, qint64(chunk.size() * sizeof(quint64)));
        if (file.write(reinterpret_cast<const char *>(chunk.data()), piece) != piece)
            return false;
        left -= piece;
    }
    return true;
}

// Reads the file once so that every round finds it in the page cache.
void WarmPageCache(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return;
    std::vector<char> buffer(1 << 20);
    while (file.read(buffer.data(), qint64(buffer.size())) > 0) {
    }
}

double WorkerRound(const QString &path, QString &digest)
{
    QEventLoop loop;
    TCatalog catalog;
    TQuietView view(loop);
    TDigestScheduler scheduler(catalog, view);
    TFileDat *record =
        catalog.AddRecord(catalog.AddFolder(nullptr, QStringLiteral("Bench")), NewRecordFromDisk(path));
    QElapsedTimer timer;
    timer.start();
    scheduler.PostMd5Next();
    loop.exec();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    digest = record->Md5.Text();
    return double(record->Size) / 1e6 / seconds;
}

double Md5sumRound(const QString &path, qint64 size, QString &digest)
{
    QProcess md5sum;
    QElapsedTimer timer;
    timer.start();
    md5sum.start(QStringLiteral("md5sum"), {path});
    if (!md5sum.waitForFinished(-1) || md5sum.exitCode() != 0) {
        std::fprintf(stderr, "md5sum failed\n");
        std::exit(1);
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    digest = QString::fromLatin1(md5sum.readAllStandardOutput().left(32));
    return double(size) / 1e6 / seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const long mebibytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1024;
    if (mebibytes <= 0) {
        std::fprintf(stderr, "usage: bench-digest-file [MiB]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.bin"));
    const qint64 size = qint64(mebibytes) << 20;
    if (!dir.isValid() || !WriteTestFile(path, size)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    WarmPageCache(path);
    std::printf("%lld bytes of pseudo-random data in %s\n", static_cast<long long>(size), qPrintable(path));

    std::vector<double> worker, md5sum;
    for (int round = 1; round <= kRounds; ++round) {
        QString ours, theirs;
        worker.push_back(WorkerRound(path, ours));
        md5sum.push_back(Md5sumRound(path, size, theirs));
        std::printf("round %d: worker %8.1f MB/s   md5sum %8.1f MB/s   %s\n", round, worker.back(),
                    md5sum.back(), qPrintable(ours));
        std::fflush(stdout);
        if (ours != theirs) {
            std::printf("digests differ: worker %s, md5sum %s\n", qPrintable(ours), qPrintable(theirs));
            return 1;
        }
    }
    const double workerMedian = Median(worker);
    const double md5sumMedian = Median(md5sum);
    std::printf("worker median %8.1f MB/s\n", workerMedian);
    std::printf("md5sum median %8.1f MB/s\n", md5sumMedian);
    std::printf("ratio %.2f\n", workerMedian / md5sumMedian);
    return 0;
}
