#pragma once

// Digesting many files on every core at once, for the command-line program (the window keeps its
// one worker at a time).
//
// Threads: a TFileDigester is made, used and destroyed on one thread (the caller's), which also
// receives every result, in the order of the files given, while reader threads of their own claim
// the files in that same order and read them with the worker's block reading
// (CMd5Thread::DigestFile). The readers see only the paths handed to them, never a record or the
// catalog. They run at most a bounded number of files ahead of the results taken, so memory stays
// small on any number of files.

#include "Md5Text.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TCatalog;
struct TFileDat;

// What a reader found for one file.
struct TFileDigest
{
    bool Present = false;                    // a regular file was there when its turn came
    std::optional<TMd5Text::TDigest> Digest; // the engine's 16 bytes; none when absent or unreadable
    QString ReadError;                       // why a present file could not be read, in the system's words

    bool Digested() const { return Digest.has_value(); }
};

// The number of reader threads when none is asked for: one per core.
int DefaultDigestJobs();

using TDigestReady = std::function<void(size_t index, TFileDigest &result)>;

class TFileDigester
{
public:
    // Starts reading the files at once, on `jobs` threads (at least one).
    TFileDigester(std::vector<QString> paths, int jobs);
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
void DigestFilesInOrder(const std::vector<QString> &paths, int jobs, const TDigestReady &ready);

// Digests every record of the catalog's digest queue under the rules of the window's chain, with
// the files read on `jobs` threads at once (one for a program that wants one): each entry in
// queue order, a record turns fsDigesting, then fsDigested with its digest, or back to fsPending
// when its file cannot be read; a record whose file is gone turns fsMissing; an entry whose record
// is no longer fsPending is passed over. The record changes come on the calling thread, in queue
// order, and the queue is empty afterwards. Calling thread only; no scheduler may have a worker
// running.
//
// early: a digester started before the records were made (while "Add folders" built them, say)
// on what should be the paths of the queue's pending records in queue order; used when its paths
// are exactly those, otherwise dropped and the files read anew.
void DigestQueueOnThreads(TCatalog &catalog, int jobs, std::unique_ptr<TFileDigester> early = {});
