// scan: "Add folders" over disk folders, the digest queue run to its end, then "Save registry".

#include "Catalog.h"
#include "CatalogFile.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliDigestView.h"
#include "CliProgress.h"
#include "DigestScheduler.h"
#include "FolderScan.h"
#include "StorageErrors.h"

#include <QDir>
#include <QFileInfo>
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

// The disk folders, checked before anything is read or written.
bool checkFolders(const QStringList &folders, const TCliIo &io)
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

// Digests the queued records one after another. The scheduler reads them on this thread: a
// program that shows no window gains nothing from a worker thread per file, whose start and
// hand-over cost more than reading and digesting a small file.
void digestQueue(TCatalog &catalog, TCliProgress &progress, qint64 files, qint64 bytes)
{
    TCliDigestView view;
    TDigestScheduler scheduler(catalog, view);
    TDigestTracker tracker(catalog, progress, files, bytes);
    progress.DigestStarted();
    scheduler.DigestQueueHere();
    progress.Digested(tracker.FilesDone(), tracker.BytesDone());
}

} // namespace

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
    if (!checkFolders(arguments.Operands, io))
        return esFailure;

    TCatalog catalog;
    if (arguments.Has(QStringLiteral("--append")) && QFileInfo::exists(output) &&
        !LoadCatalogFile(catalog, output, io))
        return esFailure;

    TCliProgress progress(io);
    qint64 listed = 0;
    QObject::connect(&catalog, &TCatalog::recordsAdded,
                     [&](TFolderNode *, int, int count) { listed += count; });
    for (const QString &folder : arguments.Operands) {
        // Real paths must lead to the files from anywhere, so the walk starts from an absolute path.
        const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
        AddFolderStructure(catalog, base, absolute, [&](int, int) { progress.Listing(listed); });
    }

    // A loaded catalog queues nothing, so the queue holds exactly the new records.
    const std::vector<TFileDat *> added(catalog.Md5Queue().begin(), catalog.Md5Queue().end());
    qint64 bytes = 0;
    for (const TFileDat *record : added)
        bytes += std::max<qint64>(record->Size, 0);
    progress.Listed(qint64(added.size()), bytes);
    digestQueue(catalog, progress, qint64(added.size()), bytes);

    int status = esSuccess;
    for (const TFileDat *record : added) {
        if (record->State == fsDigested)
            continue;
        ReportError(
            io, record->FullPath(),
            (record->State == fsMissing ? qt_error_string(ENOENT) : QStringLiteral("cannot be read")) +
                QStringLiteral("; saved without digest"));
        status = esFindings;
    }

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
