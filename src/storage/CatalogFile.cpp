#include "CatalogFile.h"

#include "Catalog.h"
#include "CatalogReader.h"
#include "CatalogWriter.h"
#include "CompressFiles.h"
#include "DiskFiles.h"
#include "ReplaceFile.h"
#include "StorageErrors.h"
#include "TempFiles.h"

#include <QFileInfo>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// A save goes to a name that holds nothing or a file; anything else would be replaced blindly.
void refuseSaveTarget(const QString &path)
{
    if (!NameTaken(path))
        return;
    switch (FileKindOf(path)) {
    case TFileKind::Folder:
        throw EFileError(QStringLiteral("Cannot save the registry as \"%1\": it is a folder").arg(path));
    case TFileKind::Other:
        throw EFileError(
            QStringLiteral("Cannot save the registry as \"%1\": it is not a regular file").arg(path));
    case TFileKind::None: // a dangling link: the name is free to be replaced
    case TFileKind::Regular:
        break;
    }
}

// The document's memory, free now but scattered between the records made while it was read,
// goes back to the system instead of staying with the program.
void returnFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

QString BackupFileName(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    QString backup = path.left(path.size() - name.size()) + base + QStringLiteral(".bak");
    // A catalog saved under a ".bak" name must not take its own place as backup.
    if (backup == path)
        backup += QStringLiteral(".bak");
    return backup;
}

TCatalogTotals SaveCatalog(const TCatalog &catalog, const QString &path, const TProgressFn &progress,
                           const TReplaceStepFn &step)
{
    refuseSaveTarget(path);
    RemoveLeftoverReplacements(path);
    TCatalogTotals totals;
    if (!catalog.HasFolders()) {
        // Nothing to write: the previous file still becomes the backup, as with every save.
        if (NameTaken(path))
            MoveToBackup(path, BackupFileName(path));
        return totals;
    }

    // The document goes to its temporary file and, piece by piece as it is written, to the
    // compression: the workers deflate the first blocks while the rest is still being written.
    TScratchFile document;
    TReplacementFile next(path);
    TFileCompressor compressed(next.File(), CatalogLevelIndex);
    totals = WriteCatalogDocument(
        catalog,
        [&](const char *data, qint64 size) {
            WriteAll(document.File(), data, size);
            compressed.Write(data, size);
        },
        progress);
    compressed.Finish();
    next.Commit(BackupFileName(path), step);
    return totals;
}

std::optional<TCatalogTotals> LoadCatalog(TCatalog &catalog, const QString &path, const TProgressFn &progress)
{
    catalog.ClearCatalog();
    if (FileKindOf(path) == TFileKind::None)
        return std::nullopt;
    try {
        TScratchFile document;
        DecompressFile(path, document.File());
        if (!document.File().seek(0))
            ThrowReadError(document.File());
        const TCatalogTotals totals = ReadCatalogDocument(catalog, document.File(), progress);
        returnFreeMemory();
        return totals;
    } catch (...) {
        // Part of a catalog would look like all of it, and saving it would lose the rest.
        catalog.ClearCatalog();
        throw;
    }
}
