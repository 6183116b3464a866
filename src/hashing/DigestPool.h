#pragma once

// Digesting many files on every core at once, for the command-line program (the window keeps its
// one worker at a time).
//
// Threads: the functions below are called on one thread (the caller's), which also receives every
// result, in the order of the files given, while reader threads of their own claim the files in
// that same order and read them with the worker's block reading (CMd5Thread::DigestFile). The
// readers see only the paths handed to them, never a record or the catalog. Readers run at most a
// bounded number of files ahead of the results taken, so memory stays small on any number of files.

#include <QString>
#include <functional>
#include <vector>

class TCatalog;
struct TFileDat;

// What a reader found for one file.
struct TFileDigest
{
    bool Present = false; // a regular file was there when its turn came
    QString Md5;          // 32 lower-case hexadecimal digits; empty when absent or unreadable
    QString ReadError;    // why a present file could not be read, in the system's words

    bool Digested() const { return !Md5.isEmpty(); }
};

// The number of reader threads when none is asked for: one per core.
int DefaultDigestJobs();

// Digests the files on `jobs` reader threads (at least one), calling ready(index, result) on the
// calling thread for index 0, 1, ... in turn as soon as each file and all before it are done.
void DigestFilesInOrder(const std::vector<QString> &paths, int jobs,
                        const std::function<void(size_t index, TFileDigest &result)> &ready);

// Digests every record of the catalog's digest queue as TDigestScheduler::DigestQueueHere does,
// with the same records, digests and states in the end and the same record changes in the same
// order (a record turns fsDigesting, then fsDigested with its digest, or back to fsPending when
// its file cannot be read; a record whose file is gone turns fsMissing; an entry whose record is
// no longer fsPending is passed over), but with the files read on `jobs` threads at once. The
// queue is empty afterwards. Calling thread only; no scheduler may have a worker running.
void DigestQueueOnThreads(TCatalog &catalog, int jobs);
