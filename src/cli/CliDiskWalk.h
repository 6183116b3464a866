#pragma once

// Dates compared as the catalog keeps them, for scan --update, which must look at every file but
// read none: the files and their facts come from WalkDiskFolder (FolderScan.h), the walk "Add
// folders" makes.

#include "FolderScan.h"

#include <QString>
#include <optional>

// The minute a date text (DateText in support.h) names, as one number: equal numbers give equal
// texts. From a day count, or from a file's modification time in local time; nullopt outside the
// range where the two agree (dates before 1970 and other oddities), which callers compare by
// their texts instead.
std::optional<qint64> MinuteOfDayCount(double dayCount);
std::optional<qint64> LocalMinuteOf(qint64 secondsSince1970);
