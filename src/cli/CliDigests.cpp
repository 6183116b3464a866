#include "CliDigests.h"

#include <numeric>

std::optional<int> JobsOption(const TArguments &arguments, const TCliIo &io)
{
    if (!arguments.Has(QStringLiteral("--jobs")))
        return DefaultDigestJobs();
    bool ok = false;
    const QString given = arguments.Value(QStringLiteral("--jobs"));
    const int jobs = given.toInt(&ok);
    if (!ok || jobs < 1 || jobs > MaxJobs) {
        ReportError(
            io, QStringLiteral("--jobs %1: not a number of threads from 1 to %2").arg(given).arg(MaxJobs));
        return std::nullopt;
    }
    return jobs;
}

TKnownOption JobsOptionEntry()
{
    return {QStringLiteral("--jobs"), true};
}

void DigestFilesWithProgress(const std::vector<QString> &paths, const std::vector<qint64> &sizes, int jobs,
                             TCliProgress &progress,
                             const std::function<void(size_t index, TFileDigest &result)> &ready)
{
    const qint64 bytes = std::accumulate(sizes.begin(), sizes.end(), qint64(0), [](qint64 sum, qint64 size) {
        return sum + std::max<qint64>(size, 0);
    });
    qint64 bytesDone = 0;
    progress.DigestStarted();
    DigestFilesInOrder(paths, jobs, [&](size_t index, TFileDigest &result) {
        bytesDone += std::max<qint64>(sizes[index], 0);
        ready(index, result);
        progress.Digesting(qint64(index) + 1, qint64(paths.size()), bytesDone, bytes);
    });
    progress.Digested(qint64(paths.size()), bytesDone);
}
