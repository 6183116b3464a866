#pragma once

// Whole files into and out of the zlib container (ZStreams.h). Both read and write as streams
// and never hold a file whole in memory. Errors are not caught: what was opened is closed and
// the exception (EZLibError, EFileError) reaches the caller; a target written part way stays
// as it is, and removing it is the caller's decision. A source that is a folder, a FIFO or a
// device is refused with EFileError before anything is read.

#include <QString>
#include <memory>

class QIODevice;
class TParallelCompressionStream;
class TZCompressionStream;

// Compresses the source file into the target (created, or truncated when it exists) at the level
// index of TZCompressionStream (3 for a catalog file: on every core, ParallelCompression.h). Does
// nothing when there is no source file.
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

// What CompressFile does, for data that arrives in pieces: compresses what is written to it into
// the target (from its current position) at the level index. The result is complete after
// Finish(); the target must outlive the compressor.
class TFileCompressor
{
public:
    TFileCompressor(QIODevice &target, int levelIndex);
    ~TFileCompressor();
    TFileCompressor(const TFileCompressor &) = delete;
    TFileCompressor &operator=(const TFileCompressor &) = delete;

    void Write(const char *data, qint64 count);
    void Finish();

private:
    std::unique_ptr<TParallelCompressionStream> m_parallel; // level index 3
    std::unique_ptr<TZCompressionStream> m_single;          // every other level
};
