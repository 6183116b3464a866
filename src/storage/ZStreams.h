#pragma once

// The zlib container of the catalog file: byte streams that compress what is written to them into
// an underlying device, or decompress from one. The zlib format (RFC 1950) only: a two-byte
// header, raw deflate data, the big-endian Adler-32 of the plain bytes.
//
// The streams never own their device; it must outlive them, and a compressed file is complete
// only after Finish(). Each stream keeps the position it left the device at and goes back to it
// before the next exchange, so the device may be shared. Use from one thread at a time.
//
// Every zlib failure throws EZCompressionError or EZDecompressionError with the message of
// ZErrorText() ("data error" for any damaged or foreign data); wrong use throws them with
// "Invalid ZStream operation!". A device that refuses a read or a write throws EFileError.

#include "StorageErrors.h"

#include <QIODevice>
#include <functional>
#include <memory>
#include <zlib.h>

class EZLibError : public EStorageError
{
public:
    using EStorageError::EStorageError;
};

class EZCompressionError : public EZLibError
{
public:
    using EZLibError::EZLibError;
};

class EZDecompressionError : public EZLibError
{
public:
    using EZLibError::EZLibError;
};

// The message for a zlib result code: "need dictionary", "stream end", "", "file error",
// "stream error", "data error", "insufficient memory", "buffer error", "incompatible version".
QString ZErrorText(int code);

inline constexpr int ZBufferSize = 65536;

enum TSeekOrigin
{
    soBeginning,
    soCurrent,
    soEnd,
};

class TCustomZStream
{
public:
    using TProgressEvent = std::function<void(TCustomZStream &)>;

    TCustomZStream(const TCustomZStream &) = delete;
    TCustomZStream &operator=(const TCustomZStream &) = delete;
    virtual ~TCustomZStream();

    virtual qint64 Read(char *buffer, qint64 count) = 0;
    virtual qint64 Write(const char *buffer, qint64 count) = 0;
    virtual qint64 Seek(qint64 offset, TSeekOrigin origin) = 0;

    // Called after each exchange of a whole buffer with the device.
    void SetOnProgress(TProgressEvent onProgress) { m_onProgress = std::move(onProgress); }

protected:
    explicit TCustomZStream(QIODevice &device);

    // Puts the device back where this stream left it, in case someone else moved it.
    void restoreDevicePosition();
    void rememberDevicePosition() { m_position = m_device.pos(); }
    void progress();

    QIODevice &m_device;
    qint64 m_position;
    TProgressEvent m_onProgress;
    z_stream m_zstream{};
    std::unique_ptr<char[]> m_buffer; // ZBufferSize bytes: zlib's output, or its input
};

class TZCompressionStream final : public TCustomZStream
{
public:
    // Level index: 0 none, 1 fastest, 2 zlib's default, 3 maximum; any other index counts as 2.
    TZCompressionStream(QIODevice &device, int levelIndex);
    // Releases zlib's state; writes nothing, so an unfinished stream stays incomplete.
    ~TZCompressionStream() override;

    qint64 Read(char *buffer, qint64 count) override; // always throws
    qint64 Write(const char *buffer, qint64 count) override;
    // Only Seek(0, soCurrent) is allowed: it tells the number of bytes written so far.
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;

    // Ends the zlib stream and writes what is left. zlib's state is released even when this
    // throws; the stream takes no more data afterwards.
    void Finish();

    static int ZLibLevel(int levelIndex);

private:
    void writeBuffer(qint64 count);
    void release();

    bool m_initialised = false;
};

class TZDecompressionStream final : public TCustomZStream
{
public:
    // Starts at the device's current position: that is where the zlib stream begins.
    explicit TZDecompressionStream(QIODevice &device);
    ~TZDecompressionStream() override;

    // Delivers up to count plain bytes. Fewer mean the zlib stream ended, or the device ran out
    // of data first (a file cut short reads as a shorter text, without an error). Bytes after
    // the end of the zlib stream are left unread in the device.
    qint64 Read(char *buffer, qint64 count) override;
    qint64 Write(const char *buffer, qint64 count) override; // always throws
    // Returns the number of plain bytes delivered so far. Allowed moves: to 0 from the
    // beginning (starts over where the zlib stream began), forward from the current position
    // or from the beginning (reads and discards), and 0 from the end (reads to the end).
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;

private:
    void discard(qint64 count);

    qint64 m_start;          // where the zlib stream begins in the device
    int m_lastResult = Z_OK; // Z_STREAM_END once the whole stream was read
};
