#include "CompressFiles.h"

#include "ZStreams.h"

#include <QFile>

namespace {

// The pieces the copies move; zlib and the disk exchange whole buffers of ZBufferSize.
constexpr qint64 CopyPieceSize = 61440;

void openForReading(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open %1: %2").arg(DeviceName(file), file.errorString()));
}

void createForWriting(QFile &file)
{
    // Unbuffered: a refused write shows at the write that failed, not at some later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw EFileError(QStringLiteral("Cannot create %1: %2").arg(DeviceName(file), file.errorString()));
}

void closeWritten(QFile &file)
{
    file.close();
    if (file.error() != QFileDevice::NoError)
        ThrowWriteError(file);
}

} // namespace

void CompressFile(const QString &sourcePath, const QString &targetPath, int levelIndex)
{
    if (!QFile::exists(sourcePath))
        return;
    QFile source(sourcePath);
    openForReading(source);
    QFile target(targetPath);
    createForWriting(target);
    {
        TZCompressionStream compressed(target, levelIndex);
        std::unique_ptr<char[]> piece(new char[CopyPieceSize]);
        for (;;) {
            const qint64 got = source.read(piece.get(), CopyPieceSize);
            if (got < 0)
                ThrowReadError(source);
            if (got == 0)
                break;
            compressed.Write(piece.get(), got);
        }
        compressed.Finish();
    }
    closeWritten(target);
}

void DecompressFile(const QString &sourcePath, const QString &targetPath)
{
    if (!QFile::exists(sourcePath))
        return;
    QFile source(sourcePath);
    openForReading(source);
    QFile target(targetPath);
    createForWriting(target);
    {
        // One pass: reading until the stream delivers nothing gives the same bytes as learning
        // the size first, without decompressing everything twice.
        TZDecompressionStream plain(source);
        std::unique_ptr<char[]> piece(new char[CopyPieceSize]);
        for (;;) {
            const qint64 got = plain.Read(piece.get(), CopyPieceSize);
            if (got == 0)
                break;
            WriteAll(target, piece.get(), got);
        }
    }
    closeWritten(target);
}
