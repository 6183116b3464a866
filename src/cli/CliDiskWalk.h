#pragma once

// The files below a disk folder with their size and modification time, for scan --update, which
// must look at every file but read none. The walk is the one "Add folders" makes (CollectFiles in
// FolderScan.h: directories breadth first, each directory's files in the order the file system
// gives them, hidden entries included, links to files counted as files, links to directories not
// followed), made in one pass per directory, each entry looked at relative to its directory.
// Touches nothing but the file system, so it may run on a thread of its own.

#include <QString>
#include <optional>
#include <vector>

struct TDiskFile
{
    QString Path;
    qint64 Size = 0;
    qint64 ModifiedSeconds = 0; // since 1970-01-01 00:00 UTC
};

// Every file below the folder (a path without final separator, or "/"), appended to files.
void WalkDiskFolder(const QString &folder, std::vector<TDiskFile> &files);

// The minute a date text (DateText in support.h) names, as one number: equal numbers give equal
// texts. From a day count, or from a file's modification time in local time; nullopt outside the
// range where the two agree (dates before 1970 and other oddities), which callers compare by
// their texts instead.
std::optional<qint64> MinuteOfDayCount(double dayCount);
std::optional<qint64> LocalMinuteOf(qint64 secondsSince1970);
