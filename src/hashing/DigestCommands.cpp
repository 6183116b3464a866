#include "DigestCommands.h"

#include "Catalog.h"
#include "DigestScheduler.h"

namespace {

// Sorts one record without digest for the restart commands: queued when its file is present.
void QueueIfPresent(TCatalog &catalog, TFileDat *record, TDigestCommandOutcome &outcome)
{
    if (record->RealPath.isEmpty()) {
        ++outcome.WithoutRealPath;
    } else if (RecordFileExists(*record)) {
        catalog.SetRecordMd5(record, TMd5Text());
        catalog.SetRecordState(record, fsPending);
        catalog.EnqueueForDigest(record);
    } else {
        catalog.SetRecordState(record, fsMissing);
        ++outcome.Missing;
    }
}

// The queue starts, and the records left out are told.
TDigestCommandOutcome Queued(TDigestCommandOutcome outcome)
{
    if (outcome.WithoutRealPath > 0 || outcome.Missing > 0)
        outcome.Result = drSomeLeftOut;
    outcome.StartQueue = true;
    return outcome;
}

} // namespace

TDigestCommandOutcome SkipFileBeingCalculated(TDigestScheduler &scheduler)
{
    if (!scheduler.Md5Running())
        return {drNoDigestRunning};
    scheduler.StopDigest();
    scheduler.PostMd5Next();
    return {};
}

TDigestCommandOutcome StopAllMd5Calculation(TDigestScheduler &scheduler)
{
    if (!scheduler.Md5Running())
        return {drNoDigestRunning};
    scheduler.Catalog().ClearMd5Queue();
    scheduler.StopDigest();
    return {};
}

TDigestCommandOutcome RestartAllMd5Calculation(TDigestScheduler &scheduler)
{
    TCatalog &catalog = scheduler.Catalog();
    TDigestCommandOutcome outcome;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        outcome.Analysed += folder->RecordCount();
        for (const auto &record : folder->Records()) {
            if (record->Md5.isEmpty() && record->State != fsDigesting)
                QueueIfPresent(catalog, record.get(), outcome);
        }
    });
    if (outcome.Analysed == 0)
        return {drNoRecords};
    if (catalog.Md5Queue().empty()) {
        outcome.Result = drAllDigested;
        return outcome;
    }
    return Queued(outcome);
}

TDigestCommandOutcome RecalculateMd5(TDigestScheduler &scheduler, const QList<TFileDat *> &selected)
{
    TCatalog &catalog = scheduler.Catalog();
    if (!catalog.CurrentFolder())
        return {drNoCurrentFolder};
    if (selected.isEmpty())
        return {drNoSelection};
    TDigestCommandOutcome outcome;
    outcome.Analysed = selected.size();
    for (TFileDat *record : selected) {
        if (record->State != fsDigesting)
            QueueIfPresent(catalog, record, outcome);
    }
    return Queued(outcome);
}
