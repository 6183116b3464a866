#pragma once

// Digesting files for the commands: the --jobs and --md5-level options and the reader threads with
// the progress line. Main thread only; the readers run on threads of their own (DigestPool.h).

#include "CliArguments.h"
#include "CliIo.h"
#include "CliProgress.h"
#include "DigestPool.h"

#include <optional>

// The number of reader threads: the value of --jobs (a whole number from 1 to MaxJobs), one per
// core when it is not given; nullopt when the value is wrong (reported, with the usage status).
std::optional<int> JobsOption(const TArguments &arguments, const TCliIo &io);
inline constexpr int MaxJobs = 256;

// The level of the multi-lane engine: --md5-level, else DRAVIK_MD5_LEVEL, else the widest the
// processor has; nullopt when the name is unknown or the processor lacks the level (reported,
// with the usage status).
std::optional<TMd5Level> Md5LevelOption(const TArguments &arguments, const TCliIo &io);

// JobsOption and Md5LevelOption together.
std::optional<TDigestOptions> DigestOptionsOf(const TArguments &arguments, const TCliIo &io);

// The --jobs and --md5-level entries of a command's options.
TKnownOption JobsOptionEntry();
TKnownOption Md5LevelOptionEntry();

// Digests the files (sizes: as listed, for the progress line) as the options say and hands each
// result to ready(index, result) in the order of the files, while the progress line moves.
void DigestFilesWithProgress(const std::vector<QString> &paths, const std::vector<qint64> &sizes,
                             const TDigestOptions &options, TCliProgress &progress,
                             const std::function<void(size_t index, TFileDigest &result)> &ready);
