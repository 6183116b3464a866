#pragma once

// Digesting many files on every core at once, for the command-line program (the window keeps its
// one worker at a time).
//
// Threads: a TFileDigester is made, used and destroyed on one thread (the caller's), which also
// receives every result, in the order of the files given, while reader threads of their own claim
// the files in that same order, a batch at a time, and digest each batch many files at once in
// the lanes of the multi-lane engine (TLaneDigester). The readers see only the paths handed to
// them, never a record or the catalog. They run at most a bounded number of files ahead of the
// results taken, so memory stays small on any number of files.

#include "Md5Level.h"
#include "Md5Text.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

class TCatalog;
class TDigestFileReader;
struct TFileDat;

// What a reader found for one file.
struct TFileDigest
{
    bool Present = false;                    // a regular file was there when its turn came
    std::optional<TMd5Text::TDigest> Digest; // the engine's 16 bytes; none when absent or unreadable
    QString ReadError;                       // why a present file has no digest: the system's words,
                                             // or ChangedWhileReadText
    bool ChangedWhileRead = false;           // it was read, but its size or time changed meanwhile

    bool Digested() const { return Digest.has_value(); }
};

// The number of reader threads when none is asked for: one per core.
int DefaultDigestJobs();

// How a digester reads: on how many threads, and with which level of the multi-lane engine.
struct TDigestOptions
{
    int Jobs = DefaultDigestJobs(); // at least one
    TMd5Level Level = Md5BestLevel();
};

// Test seam: every reader of a digester made afterwards calls these on its own thread, before it
// opens a file and before each read (TLaneDigester's hooks, with the file's path). Set them on
// the thread that makes the digesters, while none runs; empty ones are not called.
struct TDigestPoolHooks
{
    std::function<void(const QString &path)> BeforeOpen;
    std::function<void(const QString &path, qint64 offset, TDigestFileReader &file)> BeforeRead;
};
void SetDigestPoolHooks(TDigestPoolHooks hooks);

using TDigestReady = std::function<void(size_t index, TFileDigest &result)>;

class TFileDigester
{
public:
    // Starts reading the files at once, on options.Jobs threads. The level must be one the
    // processor has (Md5LevelSupported).
    TFileDigester(std::vector<QString> paths, TDigestOptions options);
    // Stops the readers (after the file each is reading) and waits for them.
    ~TFileDigester();
    TFileDigester(const TFileDigester &) = delete;
    TFileDigester &operator=(const TFileDigester &) = delete;

    const std::vector<QString> &Paths() const;
    // Calls ready(index, result) for index 0, 1, ... in turn as soon as each file and all before
    // it are done; returns after the last.
    void Deliver(const TDigestReady &ready);

private:
    class TRun;
    std::unique_ptr<TRun> m_run;
};

// The digester for the files, results delivered in their order, all in one call.
void DigestFilesInOrder(const std::vector<QString> &paths, TDigestOptions options, const TDigestReady &ready);

// Digests every record of the catalog's digest queue under the rules of the window's chain, with
// the files read on options.Jobs threads at once (one for a program that wants one): each entry
// in queue order, a record turns fsDigesting, then fsDigested with its digest, or back to
// fsPending when its file cannot be read or changed while read; a record whose file is gone turns
// fsMissing; an entry whose record is no longer fsPending is passed over. The record changes come
// on the calling thread, in queue order, and the queue is empty afterwards. Calling thread only;
// no scheduler may have a worker running. Gives the records left without digest because their
// files changed while read.
//
// early: a digester started before the records were made (while "Add folders" built them, say)
// on what should be the paths of the queue's pending records in queue order; used when its paths
// are exactly those, otherwise dropped and the files read anew.
std::unordered_set<const TFileDat *> DigestQueueOnThreads(TCatalog &catalog, TDigestOptions options,
                                                          std::unique_ptr<TFileDigester> early = {});
