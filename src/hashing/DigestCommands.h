#pragma once

// The digest commands of the "More options..." menu that act on the queue, without their boxes:
// each does its work on the catalog and the scheduler and says what came of it; the window words
// the box it shows. User-interface thread only.

#include <QList>

class TDigestScheduler;
struct TFileDat;

enum TDigestCommandResult
{
    drDone,            // nothing to tell
    drNoDigestRunning, // Skip or Stop all without a digest in progress: nothing changed
    drNoRecords,       // Restart all on a catalog without records
    drAllDigested,     // Restart all found every record digested (Analysed of them)
    drNoCurrentFolder, // Recalculate without a current folder
    drNoSelection,     // Recalculate without a selected record
    drSomeLeftOut,     // of Analysed records, WithoutRealPath and Missing ones were not queued
};

struct TDigestCommandOutcome
{
    TDigestCommandResult Result = drDone;
    qsizetype Analysed = 0; // records looked at: all the catalog's, or the selected ones
    int WithoutRealPath = 0;
    int Missing = 0; // turned fsMissing
    // The queue is to start: WM_MD5NEXT is posted once the box (if any) is closed, so the queue
    // does not switch folders under an open box.
    bool StartQueue = false;
};

// "Skip file being calculated": stops the digest in progress; the queue goes on with the next.
TDigestCommandOutcome SkipFileBeingCalculated(TDigestScheduler &scheduler);
// "Stop all MD5 calculation": empties the queue and stops the digest in progress.
TDigestCommandOutcome StopAllMd5Calculation(TDigestScheduler &scheduler);
// "Restart all MD5 calculation": queues every record without digest whose file is present.
TDigestCommandOutcome RestartAllMd5Calculation(TDigestScheduler &scheduler);
// "Recalculate MD5 for selected files": selected holds the records of the selected rows of the
// current folder's list, taken before anything can change them. The window clears the selection.
TDigestCommandOutcome RecalculateMd5(TDigestScheduler &scheduler, const QList<TFileDat *> &selected);
