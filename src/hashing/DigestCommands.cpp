#include "DigestCommands.h"

#include "Catalog.h"
#include "DigestScheduler.h"

namespace {

TCommandMessage Information(const QString &text)
{
    return {mkInformation, text};
}

TCommandMessage NoDigestRunning()
{
    return Information(QStringLiteral("No MD5 calculation in process."));
}

// Why some of the analysed records were not queued; nothing when all were.
TCommandMessage NotQueuedReport(qsizetype analysed, int withoutRealPath, int missing)
{
    if (withoutRealPath == 0 && missing == 0)
        return {};
    QString text = QStringLiteral("Results for %1 analyzed file(s):\r\n\r\n").arg(analysed);
    if (withoutRealPath > 0)
        text += QStringLiteral("%1 file(s) will not be processed because doesn't have real filepath.")
                    .arg(withoutRealPath);
    if (withoutRealPath > 0 && missing > 0)
        text += QStringLiteral("\r\n");
    if (missing > 0)
        text += QStringLiteral("%1 file(s) will not be processed because doesn't exist, was marked in RED.")
                    .arg(missing);
    return Information(text);
}

// Sorts one record without digest for the restart commands: queued when its file is present.
void QueueIfPresent(TCatalog &catalog, TFileDat *record, int &withoutRealPath, int &missing)
{
    if (record->RealPath.isEmpty()) {
        ++withoutRealPath;
    } else if (RecordFileExists(*record)) {
        catalog.SetRecordMd5(record, QString());
        catalog.SetRecordState(record, fsPending);
        catalog.EnqueueForDigest(record);
    } else {
        catalog.SetRecordState(record, fsMissing);
        ++missing;
    }
}

} // namespace

TCommandMessage SkipFileBeingCalculated(TDigestScheduler &scheduler)
{
    if (!scheduler.Md5Running())
        return NoDigestRunning();
    scheduler.StopDigest();
    scheduler.PostMd5Next();
    return {};
}

TCommandMessage StopAllMd5Calculation(TDigestScheduler &scheduler)
{
    if (!scheduler.Md5Running())
        return NoDigestRunning();
    scheduler.Catalog().ClearMd5Queue();
    scheduler.StopDigest();
    return {};
}

TCommandMessage RestartAllMd5Calculation(TDigestScheduler &scheduler)
{
    TCatalog &catalog = scheduler.Catalog();
    qsizetype total = 0;
    int withoutRealPath = 0;
    int missing = 0;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        total += folder->RecordCount();
        for (const auto &record : folder->Records()) {
            if (record->Md5.isEmpty() && record->State != fsDigesting)
                QueueIfPresent(catalog, record.get(), withoutRealPath, missing);
        }
    });
    if (total == 0)
        return {mkError, QStringLiteral("No files to proceed.")};
    if (catalog.Md5Queue().empty())
        return Information(
            QStringLiteral("MD5 code already calculated for all files (%1) in the registry.").arg(total));
    TCommandMessage report = NotQueuedReport(total, withoutRealPath, missing);
    report.PostMd5Next = true;
    return report;
}

TCommandMessage RecalculateMd5(TDigestScheduler &scheduler, const QList<TFileDat *> &selected)
{
    TCatalog &catalog = scheduler.Catalog();
    if (!catalog.CurrentFolder())
        return Information(QStringLiteral("Please select a folder and try again."));
    if (selected.isEmpty())
        return Information(QStringLiteral("Please select the files(s) and try again."));
    int withoutRealPath = 0;
    int missing = 0;
    for (TFileDat *record : selected) {
        if (record->State != fsDigesting)
            QueueIfPresent(catalog, record, withoutRealPath, missing);
    }
    TCommandMessage report = NotQueuedReport(selected.size(), withoutRealPath, missing);
    report.PostMd5Next = true;
    return report;
}

QString NormalisedMd5Code(const QString &typed)
{
    QString code = typed;
    code.remove(u' ');
    return code.toLower();
}

TSearchOutcome SearchMd5Code(TDigestScheduler &scheduler, const std::function<std::optional<QString>()> &ask)
{
    TCatalog &catalog = scheduler.Catalog();
    if (!catalog.HasFolders())
        return {{mkError, QStringLiteral("No files to proceed.")}, nullptr};
    const std::optional<QString> typed = ask();
    if (!typed)
        return {};
    const QString code = NormalisedMd5Code(*typed);
    if (code.size() != Md5TextLength)
        return {
            Information(QStringLiteral("The code you entered is not a MD5 valid code, please try again.")),
            nullptr};

    const TMd5Text wanted(code);
    TFileDat *found = nullptr;
    scheduler.View().RunLongOperation([&] {
        catalog.ForEachFolder([&](TFolderNode *folder) {
            for (const auto &record : folder->Records()) {
                if (record->Md5 == wanted) {
                    found = record.get();
                    return false;
                }
            }
            return true;
        });
    });
    if (!found)
        return {Information(QStringLiteral("MD5 code not found in the registry.")), nullptr};
    return {{}, found};
}
