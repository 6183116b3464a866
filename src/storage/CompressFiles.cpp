#include "CompressFiles.h"

#include "DiskFiles.h"
#include "ParallelCompression.h"
#include "ZStreams.h"

#include <QFile>

namespace {

// The pieces the copies move; zlib and the disk exchange whole buffers of ZBufferSize.
constexpr qint64 CopyPieceSize = 61440;

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

void decompressOpened(QFile &source, QIODevice &target)
{
    // One pass: reading until the stream delivers nothing gives the same bytes as learning the
    // size first, without decompressing everything twice.
    TZDecompressionStream plain(source);
    std::unique_ptr<char[]> piece(new char[CopyPieceSize]);
    for (;;) {
        const qint64 got = plain.Read(piece.get(), CopyPieceSize);
        if (got == 0)
            break;
        WriteAll(target, piece.get(), got);
    }
}

} // namespace

void CompressFile(const QString &sourcePath, const QString &targetPath, int levelIndex)
{
    if (FileKindOf(sourcePath) == TFileKind::None)
        return;
    QFile source;
    OpenRegularForReading(source, sourcePath);
    QFile target(targetPath);
    createForWriting(target);
    CompressFile(source, target, levelIndex);
    closeWritten(target);
}

void CompressFile(QIODevice &source, QIODevice &target, int levelIndex)
{
    TFileCompressor compressed(target, levelIndex);
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

void DecompressFile(const QString &sourcePath, const QString &targetPath)
{
    if (FileKindOf(sourcePath) == TFileKind::None)
        return;
    QFile source;
    OpenRegularForReading(source, sourcePath);
    QFile target(targetPath);
    createForWriting(target);
    decompressOpened(source, target);
    closeWritten(target);
}

void DecompressFile(const QString &sourcePath, QIODevice &target)
{
    if (FileKindOf(sourcePath) == TFileKind::None)
        return;
    QFile source;
    OpenRegularForReading(source, sourcePath);
    decompressOpened(source, target);
}

// ---- TFileCompressor

TFileCompressor::TFileCompressor(QIODevice &target, int levelIndex)
{
    if (levelIndex == 3)
        m_parallel = std::make_unique<TParallelCompressionStream>(target);
    else
        m_single = std::make_unique<TZCompressionStream>(target, levelIndex);
}

TFileCompressor::~TFileCompressor() = default;

void TFileCompressor::Write(const char *data, qint64 count)
{
    if (m_parallel)
        m_parallel->Write(data, count);
    else
        m_single->Write(data, count);
}

void TFileCompressor::Finish()
{
    if (m_parallel)
        m_parallel->Finish();
    else
        m_single->Finish();
}
