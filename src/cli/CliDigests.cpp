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

std::optional<TMd5Level> Md5LevelOption(const TArguments &arguments, const TCliIo &io)
{
    if (!arguments.Has(QStringLiteral("--md5-level"))) {
        const TMd5LevelChoice choice = Md5LevelFromEnvironment();
        if (!choice.Ok()) {
            ReportError(io, QString::fromStdString(choice.Error));
            return std::nullopt;
        }
        return choice.Level;
    }
    const QString given = arguments.Value(QStringLiteral("--md5-level"));
    // An empty name would choose the widest level: given as an option, it is a mistake.
    const TMd5LevelChoice choice =
        given.isEmpty()
            ? TMd5LevelChoice{TMd5Level::Single, "unknown MD5 level \"\" (single, avx2 or avx512)"}
            : Md5LevelChosen(given.toStdString());
    if (!choice.Ok()) {
        ReportError(io, QStringLiteral("--md5-level"), QString::fromStdString(choice.Error));
        return std::nullopt;
    }
    return choice.Level;
}

std::optional<TDigestOptions> DigestOptionsOf(const TArguments &arguments, const TCliIo &io)
{
    const std::optional<int> jobs = JobsOption(arguments, io);
    if (!jobs)
        return std::nullopt;
    const std::optional<TMd5Level> level = Md5LevelOption(arguments, io);
    if (!level)
        return std::nullopt;
    return TDigestOptions{*jobs, *level};
}

TKnownOption JobsOptionEntry()
{
    return {QStringLiteral("--jobs"), true};
}

TKnownOption Md5LevelOptionEntry()
{
    return {QStringLiteral("--md5-level"), true};
}

void DigestFilesWithProgress(const std::vector<QString> &paths, const std::vector<qint64> &sizes,
                             const TDigestOptions &options, TCliProgress &progress,
                             const std::function<void(size_t index, TFileDigest &result)> &ready)
{
    const qint64 bytes = std::accumulate(sizes.begin(), sizes.end(), qint64(0), [](qint64 sum, qint64 size) {
        return sum + std::max<qint64>(size, 0);
    });
    qint64 bytesDone = 0;
    progress.DigestStarted();
    DigestFilesInOrder(paths, options, [&](size_t index, TFileDigest &result) {
        bytesDone += std::max<qint64>(sizes[index], 0);
        ready(index, result);
        progress.Digesting(qint64(index) + 1, qint64(paths.size()), bytesDone, bytes);
    });
    progress.Digested(qint64(paths.size()), bytesDone);
}
