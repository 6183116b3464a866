// scan: "Add folders" over disk folders, the digest queue run to its end, then "Save registry".

#include "Catalog.h"
#include "CatalogFile.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliDigests.h"
#include "CliJson.h"
#include "CliScan.h"
#include "DigestFileReader.h"
#include "DigestPool.h"
#include "FolderScan.h"
#include "StorageErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>

namespace {

// Follows the digests through the catalog's record changes and tells the progress display how far
// they are.
class TDigestTracker : public QObject
{
public:
    TDigestTracker(TCatalog &catalog, TCliProgress &progress, qint64 files, qint64 bytes)
        : m_progress(progress), m_files(files), m_bytes(bytes)
    {
        connect(&catalog, &TCatalog::recordChanged, this, &TDigestTracker::recordChanged);
    }

    qint64 FilesDone() const { return m_filesDone; }
    qint64 BytesDone() const { return m_bytesDone; }

private:
    void recordChanged(TFileDat *record)
    {
        if (record->State == fsDigesting) {
            m_current = record;
            return;
        }
        // The record being digested leaves fsDigesting with its digest, or back to fsPending when
        // its file could not be read; a queued record whose file is gone turns fsMissing.
        if (record == m_current)
            m_current = nullptr;
        else if (record->State != fsMissing)
            return;
        ++m_filesDone;
        m_bytesDone += std::max<qint64>(record->Size, 0);
        m_progress.Digesting(m_filesDone, m_files, m_bytesDone, m_bytes);
    }

    TCliProgress &m_progress;
    const qint64 m_files;
    const qint64 m_bytes;
    const TFileDat *m_current = nullptr;
    qint64 m_filesDone = 0;
    qint64 m_bytesDone = 0;
};

} // namespace

bool CheckDiskFolders(const QStringList &folders, const TCliIo &io)
{
    for (const QString &folder : folders) {
        const QFileInfo info(folder);
        if (!info.exists()) {
            ReportError(io, folder, qt_error_string(ENOENT));
            return false;
        }
        if (!info.isDir()) {
            ReportError(io, folder, qt_error_string(ENOTDIR));
            return false;
        }
    }
    return true;
}

QString AbsoluteDiskFolder(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

TQueuedDigests DigestQueuedRecords(TCatalog &catalog, TCliProgress &progress, const TDigestOptions &options,
                                   std::unique_ptr<TFileDigester> early)
{
    TQueuedDigests digests;
    digests.Records.assign(catalog.Md5Queue().begin(), catalog.Md5Queue().end());
    const qint64 bytes = SizeOfRecords(digests.Records);
    TDigestTracker tracker(catalog, progress, qint64(digests.Records.size()), bytes);
    progress.DigestStarted();
    digests.Changed = DigestQueueOnThreads(catalog, options, std::move(early));
    progress.Digested(tracker.FilesDone(), tracker.BytesDone());
    return digests;
}

qint64 SizeOfRecords(const std::vector<TFileDat *> &records)
{
    qint64 bytes = 0;
    for (const TFileDat *record : records)
        bytes += std::max<qint64>(record->Size, 0);
    return bytes;
}

int ReportUndigested(const TQueuedDigests &digests, const TCliIo &io, TLineWriter *json)
{
    int status = esSuccess;
    for (const TFileDat *record : digests.Records) {
        if (record->State == fsDigested)
            continue;
        const bool missing = record->State == fsMissing;
        const bool changed = !missing && digests.Changed.contains(record);
        const QString reason = missing   ? qt_error_string(ENOENT)
                               : changed ? QString::fromLatin1(ChangedWhileReadText)
                                         : QStringLiteral("cannot be read");
        ReportError(io, record->FullPath(), reason + QStringLiteral("; saved without digest"));
        if (json) {
            TJsonObject object("undigested");
            object.Record(*record, TCatalog::FolderPath(record->Folder))
                .DiskPath("path", record->FullPath())
                .Text("reason", missing   ? u"missing"
                                : changed ? u"changed_while_read"
                                          : u"unreadable");
            WriteJson(*json, object);
        }
        status = esFindings;
    }
    return status;
}

void AddScanCounts(TJsonObject &summary, const TQueuedDigests &digests, const TWalkReport &leftOut)
{
    const auto digested = std::count_if(digests.Records.begin(), digests.Records.end(),
                                        [](const TFileDat *record) { return record->State == fsDigested; });
    summary.Number("queued", qint64(digests.Records.size()))
        .Number("digested", qint64(digested))
        .Number("undigested", qint64(digests.Records.size()) - qint64(digested));
    AddLeftOutCounts(summary, leftOut);
}

void AddLeftOutCounts(TJsonObject &summary, const TWalkReport &leftOut)
{
    summary.Number("unreadable_folders", leftOut.UnreadableFolders.Count)
        .Number("invalid_names", leftOut.UnusableNames.Count)
        .Number("long_paths", leftOut.LongPaths.Count);
}

void WriteLeftOutJson(TLineWriter &json, const TWalkReport &report)
{
    const auto list = [&](const TPassedOver &kind, const char16_t *name) {
        for (const QByteArray &path : kind.FirstPaths) {
            TJsonObject object("leftout");
            WriteJson(json, object.Text("kind", name).DiskBytes("path", path));
        }
    };
    list(report.UnreadableFolders, u"unreadable_folder");
    list(report.UnusableNames, u"invalid_name");
    list(report.LongPaths, u"long_path");
}

int ReportLeftOut(const TWalkReport &report, const TCliIo &io, bool quiet, TLineWriter *json)
{
    if (report.Empty())
        return esSuccess;
    if (json)
        WriteLeftOutJson(*json, report);
    if (!quiet) {
        const auto list = [&](const TPassedOver &kind, const QString &why) {
            size_t named = 0;
            for (const QByteArray &path : kind.FirstPaths) {
                if (named++ == TPassedOver::PathsKept)
                    break;
                ReportError(io, QFile::decodeName(path), why);
            }
            if (kind.Count > int(named))
                ReportError(io, QStringLiteral("... and %1 more of these").arg(kind.Count - int(named)));
        };
        list(report.UnreadableFolders, QStringLiteral("folder cannot be read; its files were left out"));
        list(report.UnusableNames, QStringLiteral("name is not valid text; left out"));
        list(report.LongPaths, QStringLiteral("path too long; left out"));
    }
    ReportError(io, QStringLiteral("left out: %1 folder(s) that cannot be read, %2 name(s) that are not "
                                   "valid text, %3 path(s) too long")
                        .arg(report.UnreadableFolders.Count)
                        .arg(report.UnusableNames.Count)
                        .arg(report.LongPaths.Count));
    return esFindings;
}

int SaveScannedCatalog(const TCatalog &catalog, const QString &output, TCliProgress &progress,
                       const TCliIo &io, int status)
{
    if (!catalog.HasFolders()) {
        // Saving a catalog without folders writes no file but still moves the previous one away.
        ReportError(io, output, QStringLiteral("no files found, nothing saved"));
        return esFindings;
    }
    try {
        const TCatalogTotals totals = SaveCatalog(catalog, output);
        progress.Line(QStringLiteral("scan: saved %1, %2 records").arg(output).arg(totals.Files));
    } catch (const EStorageError &error) {
        ReportError(io, output, StandardErrorText(error.Message()));
        return esFailure;
    }
    return status;
}

int RunScan(const TArguments &arguments, const TCliIo &io)
{
    const QString output = arguments.Value(QStringLiteral("-o"));
    QString base;
    if (arguments.Has(QStringLiteral("--into"))) {
        const QString given = arguments.Value(QStringLiteral("--into"));
        base = NormalisedCatalogPath(given);
        if (base.isEmpty()) {
            ReportError(io, given, QStringLiteral("not a catalog folder path such as Home\\Photos\\"));
            return esFailure;
        }
    }
    const std::optional<TDigestOptions> reading = DigestOptionsOf(arguments, io);
    if (!reading)
        return esFailure;
    const bool update = arguments.Has(QStringLiteral("--update"));
    if (update && arguments.Has(QStringLiteral("--append"))) {
        ReportError(io, QStringLiteral("--update reads the catalog itself; --append does not go with it"));
        return esFailure;
    }
    if (!update && arguments.Has(QStringLiteral("--prune"))) {
        ReportError(io, QStringLiteral("--prune goes only with --update"));
        return esFailure;
    }
    if (!CheckDiskFolders(arguments.Operands, io))
        return esFailure;
    if (update)
        return RunScanUpdate(arguments, io, base, *reading);

    TCatalog catalog;
    if (arguments.Has(QStringLiteral("--append")) && QFileInfo::exists(output) &&
        !LoadCatalogFile(catalog, output, io))
        return esFailure;

    QStringList folders;
    for (const QString &folder : arguments.Operands)
        folders << AbsoluteDiskFolder(folder);
    // On several threads the files are read while their records are made: the walk's list of
    // files is the order the records will stand in the queue.
    std::unique_ptr<TFileDigester> early;
    if (reading->Jobs > 1) {
        std::vector<QString> files;
        for (const QString &folder : std::as_const(folders)) {
            QStringList below;
            CollectFiles(folder, below);
            files.insert(files.end(), below.begin(), below.end());
        }
        early = std::make_unique<TFileDigester>(std::move(files), *reading);
    }

    const bool quiet = arguments.Has(QStringLiteral("--quiet"));
    TCliProgress progress(io, QStringLiteral("scan"),
                          quiet ? TCliProgress::plQuiet : TCliProgress::plMilestones);
    qint64 listed = 0;
    QObject::connect(&catalog, &TCatalog::recordsAdded,
                     [&](TFolderNode *, int, int count) { listed += count; });
    const bool json = WantsJson(arguments);
    TWalkReport leftOut;
    if (json)
        leftOut.KeepEveryPath();
    for (const QString &folder : std::as_const(folders))
        AddFolderStructure(
            catalog, base, folder, [&](int, int) { progress.Listing(listed); }, &leftOut);

    // A loaded catalog queues nothing, so the queue holds exactly the new records.
    const std::vector<TFileDat *> queued(catalog.Md5Queue().begin(), catalog.Md5Queue().end());
    progress.Listed(qint64(queued.size()), SizeOfRecords(queued));
    const TQueuedDigests added = DigestQueuedRecords(catalog, progress, *reading, std::move(early));
    TLineWriter out(io.Out);
    TLineWriter *jsonOut = json ? &out : nullptr;
    const int undigested = ReportUndigested(added, io, jsonOut);
    const int status = std::max(undigested, ReportLeftOut(leftOut, io, quiet, jsonOut));
    const int saved = SaveScannedCatalog(catalog, output, progress, io, status);
    if (!json)
        return saved;
    TJsonObject summary("summary");
    summary.Text("command", u"scan").DiskPath("catalog", output);
    AddScanCounts(summary, added, leftOut);
    WriteJson(out, summary.Boolean("saved", catalog.HasFolders() && saved != esFailure));
    return FinishOutput(out, io, saved);
}
