#pragma once

// The work of the record commands, without their boxes, for every window that shows records:
// check that files exist, take records out of the catalog, forget real paths, delete files from
// disk. Each takes the records the user confirmed (see CatalogWatch.h for the rule), leaves alone
// those the catalog no longer holds and those being digested, and tells what happened; the
// windows only ask and report.
//
// User-interface thread only. A progress callback may let events run: the commands check every
// record again after each call, so a record the digest queue takes up meanwhile is left alone.

#include "Catalog.h"

#include <functional>
#include <vector>

struct TRecordOutcome
{
    int Done = 0;       // found present, removed, path cleared, or deleted
    int NoRealPath = 0; // the record has no real path
    int Missing = 0;    // its file is not on disk
    int NotDeleted = 0; // its file could not be removed from disk
    // Records still in the catalog that were not acted on (being digested, no real path, missing,
    // not deleted), in the order given.
    std::vector<TFileDat *> LeftAlone;
    // Of those, the ones whose file was missing.
    std::vector<TFileDat *> MissingRecords;
};

// Called with the number of records dealt with so far.
using TRecordProgress = std::function<void(int done)>;
// Removes the file at the full path from disk; true when it is gone.
using TFileRemover = std::function<bool(const QString &path)>;

// Marks each record whose file is missing fsMissing, and each found again fsDigested (digest
// known) or fsPending (not queued).
TRecordOutcome CheckRecordsExistence(TCatalog &catalog, const std::vector<TFileDat *> &records);

// Takes the records out of the digest queue and the catalog and disposes of them, in slices, with
// progress between the slices.
TRecordOutcome RemoveRecordsFromCatalog(TCatalog &catalog, const std::vector<TFileDat *> &records,
                                        const TRecordProgress &progress = {});

// Empties the real path of each record.
TRecordOutcome RemoveRecordsRealPath(TCatalog &catalog, const std::vector<TFileDat *> &records);

// How a record whose file is gone is marked by a deletion.
enum class TMissingMark
{
    MarkMissing, // the record becomes fsMissing (the main list draws it red)
    KeepState,   // the record keeps its state (the window marks its row itself)
};

// Deletes each record's file from disk and removes the record from the catalog; a file that
// stays on disk keeps its record. Progress after each record.
TRecordOutcome DeleteRecordFiles(TCatalog &catalog, const std::vector<TFileDat *> &records,
                                 const TFileRemover &remove, TMissingMark mark,
                                 const TRecordProgress &progress = {});
