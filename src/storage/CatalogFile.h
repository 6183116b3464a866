#pragma once

// Saving the catalog to its file and loading it back: the catalog document (CatalogWriter.h,
// CatalogReader.h) in the zlib container (ZStreams.h), through a temporary file. The window
// calls these with its commands disabled and shows what they throw in its standard error box.
// User-interface thread only; the progress callback may let pending events run.

#include "Progress.h"

#include <QString>
#include <optional>

class TCatalog;

// The level index at which catalog files are compressed (zlib's maximum).
inline constexpr int CatalogLevelIndex = 3;

// The name that the previous catalog file is kept under: the extension changed to ".bak" (or
// ".bak" added when the name has none, or already ends in ".bak").
QString BackupFileName(const QString &path);

// Saves the catalog to the path. A file already there is first moved to BackupFileName(path),
// replacing an older backup. A catalog without folders writes no file (the previous one is
// still moved to the backup). Calls progress(position, folder count) at every tenth folder.
// Returns the number of records saved and the sum of their sizes.
//
// Throws EFileError when the previous file cannot be moved to the backup (nothing was deleted
// then), or when a file cannot be written; EZCompressionError from zlib. After a failure no
// catalog file is left under the path (the previous one is under the backup name) and no
// temporary file is left behind; the catalog must count as not saved.
TCatalogTotals SaveCatalog(const TCatalog &catalog, const QString &path, const TProgressFn &progress = {});

// Replaces the catalog with the one saved in the file: clears it (stopping any digest), then
// reads the file. nullopt when there is no file at the path: the catalog is left empty and
// nothing else happens. Otherwise calls progress(step, Total of the document) at every fifth step
// and returns the number of records loaded and the sum of their sizes; records are not queued.
//
// Throws EZDecompressionError ("data error" for a damaged or foreign file), ECatalogError for a
// document that cannot be read, EFileError when a file cannot be read or written. After a failure
// the catalog is empty and no temporary file is left behind.
std::optional<TCatalogTotals> LoadCatalog(TCatalog &catalog, const QString &path,
                                          const TProgressFn &progress = {});
