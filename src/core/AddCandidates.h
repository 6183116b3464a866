#pragma once

// The two passes that sift a list of files (full paths) before they are added to a folder:
// first the files the folder already holds, then the files that are not there. Both keep the
// order of the candidates that stay. User-interface thread only (the locale's collator is
// shared).

#include "FolderNode.h"

#include <QStringList>

// Removes every candidate whose name part equals the FileName of a record of the folder, letter
// case ignored in the user's locale, and whose size on disk equals that record's Size; gives how
// many went. Candidates are not compared with each other. The result is that of comparing every
// record with every candidate, but the records are looked up by the sort key of their names, and
// a candidate's size is asked of the disk only when its name matches.
int DropCandidatesInFolder(const TFolderNode &folder, QStringList &candidates);

// Removes every candidate that is not an existing regular file (a directory does not count);
// gives how many went.
int DropMissingCandidates(QStringList &candidates);
