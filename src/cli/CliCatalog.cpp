#include "CliCatalog.h"

#include "Catalog.h"
#include "CatalogFile.h"
#include "StorageErrors.h"

#include <cerrno>

bool LoadCatalogFile(TCatalog &catalog, const QString &path, const TCliIo &io)
{
    try {
        // The window quietly starts an empty catalog for a name without file; a command given a
        // catalog to read must say that it is not there.
        if (LoadCatalog(catalog, path))
            return true;
        ReportError(io, path, qt_error_string(ENOENT));
    } catch (const EStorageError &error) {
        ReportError(io, path, StandardErrorText(error.Message()));
    }
    return false;
}

QString NormalisedCatalogPath(const QString &path)
{
    QString normalised = path;
    if (!normalised.endsWith(u'\\'))
        normalised += u'\\';
    const QStringList names = normalised.split(u'\\');
    // The last piece is the empty one after the final separator.
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        if (names[i].isEmpty())
            return {};
    }
    return normalised;
}

TFolderNode *FindFolderAtPath(const TCatalog &catalog, const QString &normalisedPath)
{
    const QStringList names = normalisedPath.split(u'\\');
    TFolderNode *folder = nullptr;
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        folder = catalog.FindChildFolder(folder, names[i]);
        if (!folder)
            return nullptr;
    }
    return folder;
}
