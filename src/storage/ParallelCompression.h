#pragma once

// Compressing a large document on every core at once into one ordinary zlib stream.
//
// The document is cut into blocks of BlockSize bytes that are deflated side by side at zlib's
// maximum level. Each block after the first is primed with the 32 KiB before it, so matches reach
// back across a cut as they would in one stream, and each but the last ends on a byte boundary
// without ending the stream; written in order behind the header of the maximum level (0x78 0xDA)
// and followed by the Adler-32 of the whole document (combined from the blocks'), they make one
// zlib stream that any inflate reads in one pass, within a fraction of a per cent of the size of
// a single stream. A document of one block or less, or a machine with one core, gets the single
// stream of TZCompressionStream at level index 3: the same bytes as always.
//
// Blocks are compressed on a pool of worker threads; the calling thread writes the results to the
// device in order, so the device is used from that thread alone. At most a few blocks per worker
// are under way at a time: a writer that runs ahead waits, and memory stays at a few megabytes.

#include "ZStreams.h"

#include <QIODevice>
#include <deque>
#include <future>
#include <memory>

class QThreadPool;

class TParallelCompressionStream
{
public:
    static constexpr qint64 BlockSize = qint64(1) << 20;

    // Compresses into the device from its current position on `threads` workers; 0 means one per
    // core. The device must outlive the stream.
    explicit TParallelCompressionStream(QIODevice &device, int threads = 0);
    // Waits for the blocks under way and writes nothing more: an unfinished stream stays
    // incomplete.
    ~TParallelCompressionStream();
    TParallelCompressionStream(const TParallelCompressionStream &) = delete;
    TParallelCompressionStream &operator=(const TParallelCompressionStream &) = delete;

    void Write(const char *data, qint64 count);
    // Compresses what is left and writes the end of the stream. Throws EZCompressionError with
    // zlib's text, or EFileError when the device refuses a write; the stream takes no more data
    // afterwards, whatever happened.
    void Finish();

private:
    struct TBlock
    {
        QByteArray Packed;
        uLong Adler = 0;
        qint64 Length = 0;
    };

    void submit(bool last);
    void writeOldest();

    QIODevice &m_device;
    int m_threads;
    std::unique_ptr<TZCompressionStream> m_single; // one core: today's stream, as it goes
    QByteArray m_block;                            // the block being filled
    QByteArray m_dictionary;                       // the last 32 KiB of the block before it
    std::unique_ptr<QThreadPool> m_pool;
    std::deque<std::future<TBlock>> m_underWay; // in document order
    uLong m_adler;
    bool m_started = false; // the first block is under way, behind the header
    bool m_finished = false;
};
