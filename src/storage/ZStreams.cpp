#include "ZStreams.h"

#include <cstdlib>
#include <limits>

namespace {

const QString InvalidOperation = QStringLiteral("Invalid ZStream operation!");

// zlib asks for its memory through these, so a failed request comes back as "insufficient
// memory" instead of ending the program.
voidpf zAlloc(voidpf, uInt items, uInt size)
{
    if (size != 0 && items > std::numeric_limits<size_t>::max() / size)
        return Z_NULL;
    return std::malloc(size_t(items) * size);
}

void zFree(voidpf, voidpf address)
{
    std::free(address);
}

// zlib counts in unsigned ints; larger requests are served in several rounds.
constexpr qint64 MaxRound = std::numeric_limits<uInt>::max();

template <typename Error>
int checked(int result)
{
    if (result < 0)
        throw Error(ZErrorText(result));
    return result;
}

} // namespace

QString ZErrorText(int code)
{
    switch (code) {
    case Z_NEED_DICT:
        return QStringLiteral("need dictionary");
    case Z_STREAM_END:
        return QStringLiteral("stream end");
    case Z_OK:
        return QString();
    case Z_ERRNO:
        return QStringLiteral("file error");
    case Z_STREAM_ERROR:
        return QStringLiteral("stream error");
    case Z_DATA_ERROR:
        return QStringLiteral("data error");
    case Z_MEM_ERROR:
        return QStringLiteral("insufficient memory");
    case Z_BUF_ERROR:
        return QStringLiteral("buffer error");
    case Z_VERSION_ERROR:
        return QStringLiteral("incompatible version");
    default:
        return QStringLiteral("zlib error %1").arg(code);
    }
}

// ---- TCustomZStream

TCustomZStream::TCustomZStream(QIODevice &device)
    : m_device(device), m_position(device.pos()), m_buffer(new char[ZBufferSize])
{
    m_zstream.zalloc = zAlloc;
    m_zstream.zfree = zFree;
    m_zstream.opaque = Z_NULL;
}

TCustomZStream::~TCustomZStream() = default;

void TCustomZStream::restoreDevicePosition()
{
    if (m_device.pos() != m_position && !m_device.seek(m_position))
        throw EFileError(QStringLiteral("Cannot seek in %1").arg(DeviceName(m_device)));
}

void TCustomZStream::progress()
{
    if (m_onProgress)
        m_onProgress(*this);
}

// ---- TZCompressionStream

int TZCompressionStream::ZLibLevel(int levelIndex)
{
    switch (levelIndex) {
    case 0:
        return Z_NO_COMPRESSION;
    case 1:
        return Z_BEST_SPEED;
    case 3:
        return Z_BEST_COMPRESSION;
    default:
        return Z_DEFAULT_COMPRESSION;
    }
}

TZCompressionStream::TZCompressionStream(QIODevice &device, int levelIndex) : TCustomZStream(device)
{
    m_zstream.next_out = reinterpret_cast<Bytef *>(m_buffer.get());
    m_zstream.avail_out = ZBufferSize;
    checked<EZCompressionError>(
        deflateInit2(&m_zstream, ZLibLevel(levelIndex), Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY));
    m_initialised = true;
}

TZCompressionStream::~TZCompressionStream()
{
    release();
}

void TZCompressionStream::release()
{
    if (m_initialised) {
        deflateEnd(&m_zstream);
        m_initialised = false;
    }
}

qint64 TZCompressionStream::Read(char *, qint64)
{
    throw EZCompressionError(InvalidOperation);
}

qint64 TZCompressionStream::Seek(qint64 offset, TSeekOrigin origin)
{
    if (offset != 0 || origin != soCurrent)
        throw EZCompressionError(InvalidOperation);
    return qint64(m_zstream.total_in);
}

void TZCompressionStream::writeBuffer(qint64 count)
{
    WriteAll(m_device, m_buffer.get(), count);
    m_zstream.next_out = reinterpret_cast<Bytef *>(m_buffer.get());
    m_zstream.avail_out = ZBufferSize;
}

qint64 TZCompressionStream::Write(const char *buffer, qint64 count)
{
    if (!m_initialised)
        throw EZCompressionError(InvalidOperation);
    restoreDevicePosition();
    for (qint64 done = 0; done < count;) {
        const qint64 round = std::min(count - done, MaxRound);
        m_zstream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(buffer + done));
        m_zstream.avail_in = uInt(round);
        while (m_zstream.avail_in > 0) {
            checked<EZCompressionError>(deflate(&m_zstream, Z_NO_FLUSH));
            if (m_zstream.avail_out == 0) {
                writeBuffer(ZBufferSize);
                rememberDevicePosition();
                progress();
            }
        }
        done += round;
    }
    return count;
}

void TZCompressionStream::Finish()
{
    if (!m_initialised)
        throw EZCompressionError(InvalidOperation);
    try {
        m_zstream.next_in = Z_NULL;
        m_zstream.avail_in = 0;
        restoreDevicePosition();
        while (checked<EZCompressionError>(deflate(&m_zstream, Z_FINISH)) != Z_STREAM_END)
            writeBuffer(ZBufferSize - m_zstream.avail_out);
        writeBuffer(ZBufferSize - m_zstream.avail_out);
        rememberDevicePosition();
    } catch (...) {
        release();
        throw;
    }
    release();
}

// ---- TZDecompressionStream

TZDecompressionStream::TZDecompressionStream(QIODevice &device) : TCustomZStream(device), m_start(m_position)
{
    m_zstream.next_in = reinterpret_cast<Bytef *>(m_buffer.get());
    m_zstream.avail_in = 0;
    checked<EZDecompressionError>(inflateInit2(&m_zstream, MAX_WBITS));
}

TZDecompressionStream::~TZDecompressionStream()
{
    inflateEnd(&m_zstream);
}

qint64 TZDecompressionStream::Write(const char *, qint64)
{
    throw EZDecompressionError(InvalidOperation);
}

qint64 TZDecompressionStream::Read(char *buffer, qint64 count)
{
    restoreDevicePosition();
    qint64 delivered = 0;
    while (delivered < count && m_lastResult != Z_STREAM_END) {
        const qint64 round = std::min(count - delivered, MaxRound);
        m_zstream.next_out = reinterpret_cast<Bytef *>(buffer + delivered);
        m_zstream.avail_out = uInt(round);
        while (m_zstream.avail_out > 0 && m_lastResult != Z_STREAM_END) {
            if (m_zstream.avail_in == 0) {
                const qint64 got = m_device.read(m_buffer.get(), ZBufferSize);
                if (got < 0)
                    ThrowReadError(m_device);
                if (got == 0)
                    return delivered + (round - m_zstream.avail_out);
                m_zstream.next_in = reinterpret_cast<Bytef *>(m_buffer.get());
                m_zstream.avail_in = uInt(got);
                rememberDevicePosition();
                progress();
            }
            m_lastResult = checked<EZDecompressionError>(inflate(&m_zstream, Z_NO_FLUSH));
            // A stream that wants a preset dictionary makes no progress without one, and we
            // never have one.
            if (m_lastResult == Z_NEED_DICT)
                throw EZDecompressionError(ZErrorText(Z_NEED_DICT));
        }
        delivered += round - m_zstream.avail_out;
    }
    if (m_lastResult == Z_STREAM_END && m_zstream.avail_in > 0) {
        // Leave whatever follows the zlib stream unread in the device.
        if (!m_device.seek(m_device.pos() - m_zstream.avail_in))
            throw EFileError(QStringLiteral("Cannot seek in %1").arg(DeviceName(m_device)));
        rememberDevicePosition();
        m_zstream.avail_in = 0;
    }
    return delivered;
}

void TZDecompressionStream::discard(qint64 count)
{
    char piece[8192];
    while (count > 0) {
        const qint64 size = std::min<qint64>(count, sizeof piece);
        if (Read(piece, size) != size)
            throw EFileError(QStringLiteral("Stream read error"));
        count -= size;
    }
}

qint64 TZDecompressionStream::Seek(qint64 offset, TSeekOrigin origin)
{
    const qint64 delivered = qint64(m_zstream.total_out);
    if (origin == soBeginning && offset == 0) {
        checked<EZDecompressionError>(inflateReset(&m_zstream));
        m_zstream.next_in = reinterpret_cast<Bytef *>(m_buffer.get());
        m_zstream.avail_in = 0;
        m_lastResult = Z_OK;
        if (!m_device.seek(m_start))
            throw EFileError(QStringLiteral("Cannot seek in %1").arg(DeviceName(m_device)));
        rememberDevicePosition();
    } else if (origin == soCurrent && offset >= 0) {
        discard(offset);
    } else if (origin == soBeginning && offset > delivered) {
        discard(offset - delivered);
    } else if (origin == soEnd && offset == 0) {
        char piece[8192];
        while (Read(piece, sizeof piece) > 0) {
        }
    } else {
        throw EZDecompressionError(InvalidOperation);
    }
    return qint64(m_zstream.total_out);
}
