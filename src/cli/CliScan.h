#pragma once

// The steps that scan and scan --update share. Main thread only.

#include "CliArguments.h"
#include "CliIo.h"
#include "DigestPool.h"

#include <QStringList>
#include <memory>
#include <unordered_set>
#include <vector>

class TCatalog;
class TCliProgress;
class TJsonObject;
struct TFileDat;
struct TWalkReport;

// The disk folders must all be directories; checked before anything is read or written.
bool CheckDiskFolders(const QStringList &folders, const TCliIo &io);
// The folder as an absolute, cleaned path: real paths must lead to the files from anywhere.
QString AbsoluteDiskFolder(const QString &folder);

struct TQueuedDigests
{
    std::vector<TFileDat *> Records;              // those that stood in the queue, in queue order
    std::unordered_set<const TFileDat *> Changed; // left without digest: changed while read
};

// Digests every queued record with the progress line, as the options say (early: readers started
// on the files before their records were made, DigestQueueOnThreads); the catalog ends the same
// for any number of readers and any level.
TQueuedDigests DigestQueuedRecords(TCatalog &catalog, TCliProgress &progress, const TDigestOptions &options,
                                   std::unique_ptr<TFileDigester> early = {});

// The sum of the records' sizes (unknown sizes count 0).
qint64 SizeOfRecords(const std::vector<TFileDat *> &records);

// Reports the records that were left without digest (their files vanished, cannot be read or
// changed while read), one line each, and under --json one object "undigested" each on json;
// esFindings when there are any, else esSuccess.
int ReportUndigested(const TQueuedDigests &digests, const TCliIo &io, TLineWriter *json = nullptr);

// Reports on the error stream what the walks of the disk folders left out: the first few paths of
// each kind (unless quiet), then the count of each kind; under --json also one object "leftout"
// for each path the report kept on json. esFindings when anything was left out, else esSuccess.
int ReportLeftOut(const TWalkReport &report, const TCliIo &io, bool quiet, TLineWriter *json = nullptr);

// One object "leftout" (keys "kind" and "path") for each path the report kept.
void WriteLeftOutJson(TLineWriter &json, const TWalkReport &report);
// The summary's keys "unreadable_folders", "invalid_names" and "long_paths".
void AddLeftOutCounts(TJsonObject &summary, const TWalkReport &leftOut);

// The summary's keys of a scan: how many records were queued, digested and left without digest,
// and the counts of what the walks left out.
void AddScanCounts(TJsonObject &summary, const TQueuedDigests &digests, const TWalkReport &leftOut);

// Saves the catalog as "Save registry" does (the previous file becomes the backup) and tells so
// on the progress stream; gives status, or esFailure when the catalog has no folders or cannot be
// saved (reported).
int SaveScannedCatalog(const TCatalog &catalog, const QString &output, TCliProgress &progress,
                       const TCliIo &io, int status);

// scan --update: the catalog file brought up to date with the disk folders.
int RunScanUpdate(const TArguments &arguments, const TCliIo &io, const QString &base,
                  const TDigestOptions &options);
