#pragma once

// Copying folder structures from disk into the catalog: every file below a disk folder becomes
// a record of the catalog folder that mirrors its directory. Directories are walked breadth
// first with one growing list, hidden entries included. Only regular files count as files, and
// only real directories are entered: a link to a directory is not followed, so a cycle of
// links cannot make the walk endless.

#include "Catalog.h"

#include <QStringList>
#include <functional>

// Progress of a long walk: done out of total (total may grow while directories are found).
using TScanProgress = std::function<void(int done, int total)>;

enum class TListKind
{
    Folders,
    Files
};

// Appends the directory's sub-directories (Folders) or files (Files) as full paths, in the
// order the file system gives them. The directory gets a trailing separator first.
void ListDirectory(const QString &directory, TListKind kind, QStringList &out);

// Replaces the list's content with every file below the folder: the folder's own files, then
// those of its sub-directories in breadth-first order.
void CollectFiles(const QString &folder, QStringList &files, const TScanProgress &progress = {});

// Finds or creates (exact names, letter case counts) the folders of a catalog path such as
// "Home\Photos\2008\" and adds the record to the last one, queued when it is fsPending.
TFileDat *AddRecordAtPath(TCatalog &catalog, const QString &catalogPath, std::unique_ptr<TFileDat> record);

// Adds the structure of one disk folder below the catalog path `base` (empty: as a root
// folder), named after the disk folder's last name. Gives the number of records added; a
// directory without files below it gives no catalog folder.
int AddFolderStructure(TCatalog &catalog, const QString &base, const QString &diskFolder,
                       const TScanProgress &progress = {});
