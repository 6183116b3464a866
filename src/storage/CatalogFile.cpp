#include "CatalogFile.h"

#include "Catalog.h"
#include "CatalogReader.h"
#include "CatalogWriter.h"
#include "CompressFiles.h"
#include "StorageErrors.h"
#include "TempFiles.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Removes the file when it exists and the scope ends, however it ends.
class TRemoveOnExit
{
public:
    explicit TRemoveOnExit(QString path) : m_path(std::move(path)) {}
    ~TRemoveOnExit()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    TRemoveOnExit(const TRemoveOnExit &) = delete;
    TRemoveOnExit &operator=(const TRemoveOnExit &) = delete;
    void Keep() { m_path.clear(); }

private:
    QString m_path;
};

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void moveToBackup(const QString &path)
{
    const QString backup = BackupFileName(path);
    if (fileExists(backup) && !QFile::remove(backup))
        throw EFileError(QStringLiteral("Cannot remove the old backup \"%1\"; \"%2\" was left as it was")
                             .arg(backup, path));
    QFile previous(path);
    if (!previous.rename(backup))
        throw EFileError(
            QStringLiteral("Cannot move \"%1\" to \"%2\": %3").arg(path, backup, previous.errorString()));
}

void writeDocumentFile(const TCatalog &catalog, const QString &path, const TProgressFn &progress,
                       TCatalogTotals &totals)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw EFileError(QStringLiteral("Cannot create %1: %2").arg(DeviceName(file), file.errorString()));
    totals = WriteCatalogDocument(catalog, file, progress);
    file.close();
    if (file.error() != QFileDevice::NoError)
        ThrowWriteError(file);
}

TCatalogTotals readDocumentFile(TCatalog &catalog, const QString &path, const TProgressFn &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open %1: %2").arg(DeviceName(file), file.errorString()));
    return ReadCatalogDocument(catalog, file, progress);
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

TCatalogTotals SaveCatalog(const TCatalog &catalog, const QString &path, const TProgressFn &progress)
{
    if (QFileInfo(path).isDir())
        throw EFileError(QStringLiteral("Cannot save the registry as \"%1\": it is a folder").arg(path));
    if (fileExists(path))
        moveToBackup(path);
    TCatalogTotals totals;
    if (!catalog.HasFolders())
        return totals;

    const QString tempPath = NewTempFileName();
    TRemoveOnExit tempFile(tempPath);
    writeDocumentFile(catalog, tempPath, progress, totals);
    TRemoveOnExit catalogFile(path); // a catalog file written part way must not look complete
    CompressFile(tempPath, path, CatalogLevelIndex);
    catalogFile.Keep();
    return totals;
}

std::optional<TCatalogTotals> LoadCatalog(TCatalog &catalog, const QString &path, const TProgressFn &progress)
{
    catalog.ClearCatalog();
    if (!QFileInfo::exists(path))
        return std::nullopt;
    try {
        const QString tempPath = NewTempFileName();
        TRemoveOnExit tempFile(tempPath);
        DecompressFile(path, tempPath);
        return readDocumentFile(catalog, tempPath, progress);
    } catch (...) {
        // Part of a catalog would look like all of it, and saving it would lose the rest.
        catalog.ClearCatalog();
        throw;
    }
}
