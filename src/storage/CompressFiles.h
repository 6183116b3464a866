#pragma once

// Whole files into and out of the zlib container (ZStreams.h). Both read and write as streams
// and never hold a file whole in memory. Errors are not caught: what was opened is closed and
// the exception (EZLibError, EFileError) reaches the caller; a target written part way stays
// as it is, and removing it is the caller's decision. A source that is a folder, a FIFO or a
// device is refused with EFileError before anything is read.

#include <QString>

class QIODevice;

// Compresses the source file into the target (created, or truncated when it exists) at the level
// index of TZCompressionStream (3 for a catalog file). Does nothing when there is no source file.
void CompressFile(const QString &sourcePath, const QString &targetPath, int levelIndex);
// The same from an open device (read from its current position to its end) into an open device
// (written from its current position); both stay open. How the data is compressed lives here
// alone: the catalog save only decides where it comes from and where the result goes.
void CompressFile(QIODevice &source, QIODevice &target, int levelIndex);

// Restores the plain content of a compressed source file into the target (created, or truncated).
// Does nothing when there is no source file. Bytes after the end of the zlib stream are ignored;
// a source cut short gives a shorter target without an error.
void DecompressFile(const QString &sourcePath, const QString &targetPath);
// The same into an open device, written from its current position; it stays open.
void DecompressFile(const QString &sourcePath, QIODevice &target);
