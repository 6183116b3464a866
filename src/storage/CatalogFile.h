#pragma once

// Saving the catalog to its file and loading it back: the catalog document (CatalogWriter.h,
// CatalogReader.h) in the zlib container (ZStreams.h), through a temporary file. The window
// calls these with its commands disabled and shows what they throw in its standard error box.
// User-interface thread only; the progress callback may let pending events run.

#include "Progress.h"
#include "ReplaceFile.h"

#include <QString>
#include <optional>

class TCatalog;

// The level index at which catalog files are compressed (zlib's maximum).
inline constexpr int CatalogLevelIndex = 3;

// The name that the previous catalog file is kept under: the extension changed to ".bak" (or
// ".bak" added when the name has none, or already ends in ".bak").
QString BackupFileName(const QString &path);

// Saves the catalog to the path, safe against a crash or a power loss at any moment: the document
// goes to a temporary file and, as it is written, is compressed into a second one beside the
// target and synced to disk, and only then does a file already under the path become BackupFileName(path),
// replacing an older backup, while the new file takes the path (ReplaceFile.h gives the order of renames).
// Afterwards the path holds the new catalog and the backup name the previous one, and nothing
// else is left: temporary files of an earlier save that was cut short are removed first. A
// catalog without folders writes no file (the previous one is still moved to the backup). Calls
// progress(position, folder count) at every tenth folder, and step at each moment of putting the
// file in place. Returns the number of records saved and the sum of their sizes.
//
// Throws EFileError when the path is a folder or not a regular file, when a file cannot be
// written (a full disk, a folder without write permission, a read-only drive), or when the
// previous file cannot be kept as the backup; EZCompressionError from zlib. After a failure the
// previous catalog is still under the path (or, on a drive without hard links whose last rename
// failed, under the backup name), the older backup is as it was unless the new file was already
// complete, no temporary file is left behind, and the catalog must count as not saved.
TCatalogTotals SaveCatalog(const TCatalog &catalog, const QString &path, const TProgressFn &progress = {},
                           const TReplaceStepFn &step = {});

// Replaces the catalog with the one saved in the file: clears it (stopping any digest), then
// reads the file. nullopt when there is no file at the path: the catalog is left empty and
// nothing else happens. Otherwise calls progress(step, Total of the document) at every fifth step
// and returns the number of records loaded and the sum of their sizes; records are not queued.
//
// Throws EZDecompressionError ("data error" for a damaged or foreign file), ECatalogError for a
// document that cannot be read, EFileError when a file cannot be read or written, when the path
// is a folder, a FIFO or a device (refused at once, without blocking), or when the decompressed
// document does not fit in the temporary folder. After a failure
// the catalog is empty and no temporary file is left behind.
std::optional<TCatalogTotals> LoadCatalog(TCatalog &catalog, const QString &path,
                                          const TProgressFn &progress = {});
