#pragma once

// Copying folder structures from disk into the catalog: every file below a disk folder becomes
// a record of the catalog folder that mirrors its directory. Directories are walked breadth
// first with one growing list, hidden entries included. What this system adds to the walk:
// - only regular files count as files (a link to a file counts as that file), and only real
//   directories are entered: a link to a directory is not followed, so a cycle of links cannot
//   make the walk endless;
// - the kernel's pseudo file systems (/proc, /sys, /dev, /run and every mount of such a kind) are
//   not entered, so a walk from "/" finds the real files only;
// - a directory that cannot be read is passed over, and so is an entry whose name is not text in
//   the system's encoding or whose path is longer than the system opens (either could not be
//   opened again from the catalog); the report counts each kind.

#include "Catalog.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// Progress of a long walk: done out of total (total may grow while directories are found).
using TScanProgress = std::function<void(int done, int total)>;

// Entries of one kind that a walk passed over: how many, and the paths of the first few, as the
// disk names them (a name that is no text keeps its bytes; QFile::decodeName shows them as
// U+FFFD).
struct TPassedOver
{
    static constexpr size_t PathsKept = 5;

    int Count = 0;
    size_t Keep = PathsKept;
    std::vector<QByteArray> FirstPaths;

    void Add(const QByteArray &path)
    {
        ++Count;
        if (FirstPaths.size() < Keep)
            FirstPaths.push_back(path);
    }
};

// What a walk passed over.
struct TWalkReport
{
    TPassedOver UnreadableFolders; // paths end with the separator
    TPassedOver UnusableNames;
    TPassedOver LongPaths; // files and directories whose paths are PATH_MAX bytes or more

    // For a reader that wants every path, not the first few.
    void KeepEveryPath() { UnreadableFolders.Keep = UnusableNames.Keep = LongPaths.Keep = SIZE_MAX; }

    bool Empty() const
    {
        return UnreadableFolders.Count == 0 && UnusableNames.Count == 0 && LongPaths.Count == 0;
    }
};

// A file found by a walk, with the facts the walk read beside it.
struct TDiskFile
{
    QString Path;
    QString Directory; // the path's directory with its final separator, one text per directory
    qint64 Size = 0;
    qint64 ModifiedSeconds = 0; // since 1970-01-01 00:00 UTC
};

// Every file below the folder, appended to files: the folder's own files, then those of its
// sub-directories in breadth-first order (the directory list grows while it is read), each
// directory's files and sub-directories in name order (as "Sort folders" orders names, ties
// broken by the exact name). One pass per directory, each entry looked at relative to its
// directory, so a walk costs little more than listing and ordering the names. Touches nothing but
// the file system: it may run on a thread of its own. progress: directories walked out of those
// found so far. walkedDirectories, when given, receives every directory entered, in walk order.
void WalkDiskFolder(const QString &folder, std::vector<TDiskFile> &files, TWalkReport *report = nullptr,
                    const TScanProgress &progress = {}, std::vector<QString> *walkedDirectories = nullptr);

// Replaces the list's content with the paths of every file below the folder, as WalkDiskFolder
// finds them.
void CollectFiles(const QString &folder, QStringList &files, const TScanProgress &progress = {},
                  TWalkReport *report = nullptr);

// Finds or creates (exact names, letter case counts) the chain of folders named in order from the
// root level; nullptr for no names.
TFolderNode *FolderAtNames(TCatalog &catalog, const QStringList &names);

// Finds or creates the folders of a catalog path such as "Home\Photos\2008\" and adds the record
// to the last one, queued when it is fsPending.
TFileDat *AddRecordAtPath(TCatalog &catalog, const QString &catalogPath, std::unique_ptr<TFileDat> record);

// Adds the structure of one disk folder below the catalog path `base` (empty: as a root folder),
// named after the disk folder's last name. The catalog folders follow the disk's names one by one,
// so a name holding the catalog's separator "\" still names one folder. Records of one directory
// share one RealPath text. Gives the number of records added; a directory without files below it
// gives no catalog folder.
int AddFolderStructure(TCatalog &catalog, const QString &base, const QString &diskFolder,
                       const TScanProgress &progress = {}, TWalkReport *report = nullptr);
