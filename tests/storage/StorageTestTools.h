#pragma once

// Helpers shared by the storage tests: foreign zlib streams and a device that fails.

#include <QByteArray>
#include <QIODevice>
#include <zlib.h>

namespace StorageTest {

// The data compressed by zlib itself: windowBits 9..15 for the zlib format, -15 for raw deflate,
// 31 for gzip; a dictionary makes the stream ask for it.
inline QByteArray ZlibCompress(const QByteArray &data, int level = 9, int windowBits = 15,
                               const QByteArray &dictionary = {})
{
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        qFatal("deflateInit2 failed");
    if (!dictionary.isEmpty())
        deflateSetDictionary(&z, reinterpret_cast<const Bytef *>(dictionary.constData()),
                             uInt(dictionary.size()));
    QByteArray out(int(deflateBound(&z, uLong(data.size()))) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        qFatal("deflate did not finish");
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

inline quint32 Adler32(const QByteArray &data)
{
    return quint32(adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef *>(data.constData()),
                           uInt(data.size())));
}

// Text that compresses, long enough to need several zlib buffers.
inline QByteArray SampleText(int lines)
{
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text +=
            "line " + QByteArray::number(i) + " of the sample, " + QByteArray::number(i * 7919 % 1000) + "\n";
    return text;
}

// Accepts `room` bytes, then refuses every write as a full disk would.
class TFailingDevice : public QIODevice
{
public:
    explicit TFailingDevice(qint64 room = 0) : m_room(room) { open(QIODevice::WriteOnly); }
    QByteArray Written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 taken = std::min(size, m_room);
        Written.append(data, taken);
        m_room -= taken;
        return taken;
    }

private:
    qint64 m_room;
};

} // namespace StorageTest
