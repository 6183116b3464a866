// Fuzz target: the zlib stream classes on arbitrary bytes.
//
// The first byte chooses the sizes of the reads and whether the decompressing stream is rewound
// half way; the rest is read as a zlib stream. A rewound stream must deliver the same bytes
// again. The same bytes are then compressed at every level and must decompress to themselves.

#include "FuzzSupport.h"
#include "ZStreams.h"

#include <QBuffer>
#include <cstdint>

namespace {

// Everything the stream delivers, in reads of `piece` bytes, up to a limit that keeps a small
// input that inflates hugely from eating the run's memory.
QByteArray readAll(TZDecompressionStream &stream, qint64 piece, qint64 limit)
{
    QByteArray out;
    QByteArray buffer(int(piece), '\0');
    while (out.size() < limit) {
        const qint64 got = stream.Read(buffer.data(), piece);
        Fuzz::Require(got >= 0 && got <= piece, "a read delivers at most what was asked");
        if (got == 0)
            break;
        out.append(buffer.constData(), got);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t choice = data[0];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qint64 piece = qint64(1) << (choice & 0x0F); // 1 byte to 32 KiB
    const bool rewind = choice & 0x10;
    constexpr qint64 Limit = 16 << 20;

    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    try {
        TZDecompressionStream stream(source);
        const QByteArray first = readAll(stream, piece, Limit);
        Fuzz::Require(stream.Seek(0, soCurrent) == first.size() || first.size() >= Limit,
                      "the position is the number of bytes delivered");
        if (rewind) {
            Fuzz::Require(stream.Seek(0, soBeginning) == 0, "a rewound stream is at 0");
            Fuzz::Require(readAll(stream, piece, Limit) == first, "a rewound stream delivers the same bytes");
        }
    } catch (const EStorageError &) {
    }

    for (int levelIndex = 0; levelIndex <= 3; ++levelIndex) {
        QBuffer packed;
        packed.open(QIODevice::ReadWrite);
        {
            TZCompressionStream compressing(packed, levelIndex);
            compressing.Write(bytes.constData(), bytes.size());
            Fuzz::Require(compressing.Seek(0, soCurrent) == bytes.size(),
                          "the position is the bytes written");
            compressing.Finish();
        }
        packed.seek(0);
        TZDecompressionStream unpacking(packed);
        Fuzz::Require(readAll(unpacking, piece, Limit) == bytes, "compressed bytes come back unchanged");
    }
    return 0;
}
