// scan --update: the catalog brought up to date with disk folders scanned before, reading only
// the files that are new or changed.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliDiskWalk.h"
#include "CliJson.h"
#include "CliProgress.h"
#include "CliScan.h"
#include "FolderScan.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <cerrno>
#include <sys/stat.h>
#include <thread>
#include <unordered_set>

namespace {

QString directoryOf(const QString &fullPath)
{
    return fullPath.left(fullPath.lastIndexOf(QDir::separator()) + 1);
}

// The catalog folder path that "Add folders" gives a file below the disk folder: the folder's
// name below base, then the directories between the folder and the file.
QString addFoldersPath(const QString &base, const QString &diskFolder, const QString &file)
{
    QString name = diskFolder.mid(diskFolder.lastIndexOf(QDir::separator()) + 1);
    if (name.isEmpty()) // the file system's root names itself
        name = diskFolder;
    const QString prefix =
        diskFolder.endsWith(QDir::separator()) ? diskFolder : diskFolder + QDir::separator();
    QString relative = directoryOf(file).mid(prefix.size());
    relative.replace(QDir::separator(), u'\\');
    return base + name + u'\\' + relative;
}

// Size and date as the catalog keeps them: the date only to the minute, in its text form. The
// minutes are compared as numbers first; only where they differ are the texts made, which still
// match when the catalog's two-digit year put the date in another century.
bool sameFacts(const TFileDat &record, const TDiskFile &file)
{
    if (record.Size != file.Size)
        return false;
    const std::optional<qint64> stored = MinuteOfDayCount(record.DateTime);
    const std::optional<qint64> onDisk = LocalMinuteOf(file.ModifiedSeconds);
    if (stored && onDisk && *stored == *onDisk)
        return true;
    return DateText(record.DateTime) == DateText(FileDateOf(file.Path));
}

struct TUpdateCounts
{
    qint64 Unchanged = 0;
    qint64 Changed = 0;
    qint64 New = 0;
    qint64 Gone = 0;
};

class TCatalogUpdate
{
public:
    TCatalogUpdate(TCatalog &catalog, const QStringList &diskFolders, const QString &base)
        : m_catalog(catalog), m_folders(diskFolders), m_base(base)
    {
        indexRecordsBelowFolders();
    }

    // Goes through the files found below each folder: unchanged records keep their digests,
    // changed ones are queued with the facts on disk, new files become queued records.
    void Apply(const std::vector<std::vector<TDiskFile>> &listed)
    {
        QSet<QString> walked; // folders given twice, or one inside another, count once
        for (size_t i = 0; i < listed.size(); ++i) {
            for (const TDiskFile &file : listed[i]) {
                if (m_folders.size() > 1) {
                    if (walked.contains(file.Path))
                        continue;
                    walked.insert(file.Path);
                }
                ++m_walked;
                auto found = m_recordsAt.constFind(file.Path);
                if (found == m_recordsAt.constEnd()) {
                    addNewFile(m_folders[qsizetype(i)], file.Path);
                    continue;
                }
                for (; found != m_recordsAt.constEnd() && found.key() == file.Path; ++found)
                    updateRecord(found.value(), file);
            }
        }
    }

    // The records below the folders whose files are gone, in catalog order. A file that is still
    // there but was not met by the walk (reached through a link to a directory, say) is not gone,
    // and neither is one the walk could not see (in a folder it cannot read, or on a path too long
    // to name): --prune must not take what may still be there.
    std::vector<TFileDat *> GoneRecords()
    {
        std::vector<TFileDat *> gone;
        for (TFileDat *record : m_below) {
            if (!m_present.contains(record) && isGone(record->FullPath()))
                gone.push_back(record);
        }
        m_counts.Gone = qint64(gone.size());
        return gone;
    }

    const TUpdateCounts &Counts() const { return m_counts; }
    qint64 Walked() const { return m_walked; }

private:
    // Nothing of that name, or no regular file, is there; false when the disk cannot tell.
    static bool isGone(const QString &fullPath)
    {
        struct stat facts
        {};
        if (::stat(QFile::encodeName(fullPath).constData(), &facts) != 0)
            return errno == ENOENT || errno == ENOTDIR;
        return !S_ISREG(facts.st_mode);
    }

    bool isBelowFolders(const QString &fullPath) const
    {
        return std::any_of(m_folders.begin(), m_folders.end(), [&](const QString &folder) {
            return fullPath.size() > folder.size() && fullPath.startsWith(folder) &&
                   (folder.endsWith(QDir::separator()) || fullPath[folder.size()] == QDir::separator());
        });
    }

    void indexRecordsBelowFolders()
    {
        m_catalog.ForEachFolder([&](TFolderNode *folder) {
            for (const auto &record : folder->Records()) {
                const QString path = record->FullPath();
                if (path.isEmpty() || !isBelowFolders(path))
                    continue;
                m_below.push_back(record.get());
                m_recordsAt.insert(path, record.get());
                const QString directory = directoryOf(path);
                if (!m_folderOfDirectory.contains(directory))
                    m_folderOfDirectory.insert(directory, folder);
            }
        });
    }

    void updateRecord(TFileDat *record, const TDiskFile &file)
    {
        m_present.insert(record);
        if (!record->Md5.isEmpty() && sameFacts(*record, file)) {
            ++m_counts.Unchanged;
            return;
        }
        // Changed, or never digested: the facts on disk and a digest to come. No window shows
        // the record, so its facts are written directly.
        ++m_counts.Changed;
        record->Size = file.Size;
        record->DateTime = FileDateOf(file.Path);
        m_catalog.SetRecordMd5(record, QString());
        m_catalog.SetRecordState(record, fsPending);
        m_catalog.EnqueueForDigest(record);
    }

    // Into the folder that holds the records of the file's directory, or where "Add folders"
    // would put it.
    void addNewFile(const QString &diskFolder, const QString &file)
    {
        ++m_counts.New;
        const QString directory = directoryOf(file);
        if (TFolderNode *folder = m_folderOfDirectory.value(directory)) {
            m_catalog.AddRecord(folder, NewRecordFromDisk(file));
            return;
        }
        const TFileDat *record =
            AddRecordAtPath(m_catalog, addFoldersPath(m_base, diskFolder, file), NewRecordFromDisk(file));
        m_folderOfDirectory.insert(directory, record->Folder);
    }

    TCatalog &m_catalog;
    const QStringList m_folders;
    const QString m_base;
    std::vector<TFileDat *> m_below;                   // records below the folders, catalog order
    QMultiHash<QString, TFileDat *> m_recordsAt;       // by full path
    QHash<QString, TFolderNode *> m_folderOfDirectory; // the first folder with records of it
    std::unordered_set<const TFileDat *> m_present;
    TUpdateCounts m_counts;
    qint64 m_walked = 0;
};

} // namespace

int RunScanUpdate(const TArguments &arguments, const TCliIo &io, const QString &base,
                  const TDigestOptions &options)
{
    const QString output = arguments.Value(QStringLiteral("-o"));
    const bool prune = arguments.Has(QStringLiteral("--prune"));
    QStringList folders;
    for (const QString &folder : arguments.Operands)
        folders << AbsoluteDiskFolder(folder);

    // The disk is walked on a thread of its own while the catalog is read and its records below
    // the folders are looked up.
    std::vector<std::vector<TDiskFile>> listed(size_t(folders.size()));
    const bool json = WantsJson(arguments);
    TWalkReport leftOut;
    if (json)
        leftOut.KeepEveryPath();
    TCatalog catalog;
    std::optional<TCatalogUpdate> update;
    {
        const std::jthread walker([&] {
            for (qsizetype i = 0; i < folders.size(); ++i)
                WalkDiskFolder(folders[i], listed[size_t(i)], &leftOut);
        });
        if (!LoadCatalogFile(catalog, output, io))
            return esFailure;
        update.emplace(catalog, folders, base);
    }
    update->Apply(listed);
    listed.clear();

    const bool quiet = arguments.Has(QStringLiteral("--quiet"));
    TCliProgress progress(io, QStringLiteral("scan"),
                          quiet ? TCliProgress::plQuiet : TCliProgress::plMilestones);
    std::vector<TFileDat *> gone = update->GoneRecords();

    TLineWriter out(io.Out);
    for (const TFileDat *record : gone) {
        if (json) {
            TJsonObject object("gone");
            WriteJson(out, object.Record(*record, TCatalog::FolderPath(record->Folder))
                               .DiskPath("path", record->FullPath()));
        } else {
            out.Line(QStringLiteral("gone\t") + TCatalog::FolderPath(record->Folder) + record->FileName +
                     u'\t' + record->FullPath());
        }
    }
    if (prune)
        catalog.RemoveRecords(gone);

    const std::vector<TFileDat *> queued(catalog.Md5Queue().begin(), catalog.Md5Queue().end());
    progress.Line(QStringLiteral("scan: %1 files listed, %2 to digest (%3)")
                      .arg(update->Walked())
                      .arg(queued.size())
                      .arg(SizeText(SizeOfRecords(queued), false)));
    TQueuedDigests digests{queued, {}};
    if (!queued.empty())
        digests = DigestQueuedRecords(catalog, progress, options);
    TLineWriter *jsonOut = json ? &out : nullptr;
    const int status =
        std::max(ReportUndigested(digests, io, jsonOut), ReportLeftOut(leftOut, io, quiet, jsonOut));

    const TUpdateCounts &counts = update->Counts();
    const bool unchanged = counts.Changed + counts.New == 0 && (!prune || counts.Gone == 0);
    if (json) {
        // The summary says whether the catalog was written, so it comes after the save.
        int saved = status;
        if (unchanged)
            progress.Line(QStringLiteral("scan: nothing changed, %1 not written").arg(output));
        else
            saved = SaveScannedCatalog(catalog, output, progress, io, status);
        TJsonObject summary("summary");
        summary.Text("command", u"scan").DiskPath("catalog", output);
        AddScanCounts(summary, digests, leftOut);
        summary.Number("unchanged", counts.Unchanged)
            .Number("changed", counts.Changed)
            .Number("new", counts.New)
            .Number("gone", counts.Gone)
            .Number("removed", prune ? counts.Gone : 0)
            .Boolean("saved", !unchanged && catalog.HasFolders() && saved != esFailure);
        WriteJson(out, summary);
        return FinishOutput(out, io, saved);
    }
    out.Line(QStringLiteral("unchanged %1, changed %2, new %3, gone %4%5")
                 .arg(counts.Unchanged)
                 .arg(counts.Changed)
                 .arg(counts.New)
                 .arg(counts.Gone)
                 .arg(prune ? QStringLiteral(", removed %1").arg(counts.Gone) : QString()));
    if (FinishOutput(out, io, esSuccess) != esSuccess)
        return esFailure;
    // An update that changes nothing leaves the file, and the backup of the last real change, alone.
    if (unchanged) {
        progress.Line(QStringLiteral("scan: nothing changed, %1 not written").arg(output));
        return status;
    }
    return SaveScannedCatalog(catalog, output, progress, io, status);
}
