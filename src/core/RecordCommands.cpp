#include "RecordCommands.h"

#include "CatalogWatch.h"
#include "support.h"

namespace {

// Records leave the catalog in slices, so the progress moves while thousands go.
constexpr size_t RemovalSlice = 500;

bool fileExists(const TFileDat &record)
{
    return FileSizeOf(record.FullPath()) >= 0;
}

} // namespace

TRecordOutcome CheckRecordsExistence(TCatalog &catalog, const std::vector<TFileDat *> &records)
{
    TRecordOutcome outcome;
    for (TFileDat *record : records) {
        if (record->State == fsDigesting) {
            outcome.LeftAlone.push_back(record);
        } else if (record->RealPath.isEmpty()) {
            ++outcome.NoRealPath;
            outcome.LeftAlone.push_back(record);
        } else if (!fileExists(*record)) {
            ++outcome.Missing;
            catalog.SetRecordState(record, fsMissing);
            outcome.LeftAlone.push_back(record);
            outcome.MissingRecords.push_back(record);
        } else {
            ++outcome.Done;
            catalog.SetRecordState(record, record->Md5.isEmpty() ? fsPending : fsDigested);
        }
    }
    return outcome;
}

TRecordOutcome RemoveRecordsFromCatalog(TCatalog &catalog, const std::vector<TFileDat *> &records,
                                        const TRecordProgress &progress)
{
    TRecordOutcome outcome;
    const TCatalogWatch watch(catalog, records);
    for (size_t done = 0; done < records.size(); done += RemovalSlice) {
        if (progress && done > 0)
            progress(int(done));
        const size_t end = qMin(records.size(), done + RemovalSlice);
        std::vector<TFileDat *> slice;
        for (size_t i = done; i < end; ++i) {
            TFileDat *record = records[i];
            if (!watch.Holds(record))
                continue;
            if (record->State == fsDigesting)
                outcome.LeftAlone.push_back(record);
            else
                slice.push_back(record);
        }
        outcome.Done += int(slice.size());
        catalog.RemoveRecords(slice);
    }
    std::erase_if(outcome.LeftAlone, [&watch](const TFileDat *record) { return !watch.Holds(record); });
    return outcome;
}

TRecordOutcome RemoveRecordsRealPath(TCatalog &catalog, const std::vector<TFileDat *> &records)
{
    TRecordOutcome outcome;
    for (TFileDat *record : records) {
        if (record->State == fsDigesting) {
            outcome.LeftAlone.push_back(record);
            continue;
        }
        catalog.SetRecordRealPath(record, QString());
        ++outcome.Done;
    }
    return outcome;
}

TRecordOutcome DeleteRecordFiles(TCatalog &catalog, const std::vector<TFileDat *> &records,
                                 const TFileRemover &remove, TMissingMark mark,
                                 const TRecordProgress &progress)
{
    TRecordOutcome outcome;
    const TCatalogWatch watch(catalog, records);
    int round = 0;
    for (TFileDat *record : records) {
        if (!watch.Holds(record)) {
            // gone while events ran; nothing left to do for it
        } else if (record->State == fsDigesting) {
            outcome.LeftAlone.push_back(record);
        } else if (record->RealPath.isEmpty()) {
            ++outcome.NoRealPath;
            outcome.LeftAlone.push_back(record);
        } else if (!fileExists(*record)) {
            ++outcome.Missing;
            if (mark == TMissingMark::MarkMissing)
                catalog.SetRecordState(record, fsMissing);
            outcome.LeftAlone.push_back(record);
            outcome.MissingRecords.push_back(record);
        } else if (!remove(record->FullPath())) {
            ++outcome.NotDeleted;
            outcome.LeftAlone.push_back(record);
        } else {
            ++outcome.Done;
            catalog.RemoveRecord(record);
        }
        if (progress)
            progress(round);
        ++round;
    }
    // Events ran after each record: drop what the catalog no longer holds from the report.
    std::erase_if(outcome.LeftAlone, [&watch](const TFileDat *record) { return !watch.Holds(record); });
    std::erase_if(outcome.MissingRecords, [&watch](const TFileDat *record) { return !watch.Holds(record); });
    return outcome;
}
