#include "ParallelCompression.h"

#include "ThreadHandOver.h"

#include <QRunnable>
#include <QThread>
#include <QThreadPool>
#include <functional>

namespace {

// Matches reach back this far: what a block is primed with.
constexpr qsizetype WindowSize = qsizetype(1) << MAX_WBITS;

// Blocks under way per worker: one being compressed, one waiting, so no worker idles while the
// caller writes a result or fills the next block.
constexpr size_t BlocksPerWorker = 2;

// The level index of zlib's maximum level, and the zlib header of a stream compressed at it with a
// 32 KiB window.
constexpr int MaximumLevelIndex = 3;
constexpr char MaximumLevelHeader[] = {char(0x78), char(0xDA)};

struct TDeflated
{
    QByteArray Packed;
    int Result = Z_OK;
};

// Raw deflate of one block at the maximum level, primed with the dictionary. A block that is not
// the last ends with a sync flush: on a byte boundary, the stream left open for the next block.
TDeflated deflateBlock(const QByteArray &block, const QByteArray &dictionary, bool last)
{
    TDeflated out;
    z_stream z{};
    out.Result = deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (out.Result != Z_OK)
        return out;
    if (!dictionary.isEmpty())
        out.Result = deflateSetDictionary(&z, reinterpret_cast<const Bytef *>(dictionary.constData()),
                                          uInt(dictionary.size()));
    if (out.Result == Z_OK) {
        // Room for incompressible data and the flush markers; grown if zlib ever wants more.
        out.Packed.resize(qsizetype(deflateBound(&z, uLong(block.size()))) + 64);
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(block.constData()));
        z.avail_in = uInt(block.size());
        const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
        for (;;) {
            z.next_out = reinterpret_cast<Bytef *>(out.Packed.data() + z.total_out);
            z.avail_out = uInt(out.Packed.size() - qsizetype(z.total_out));
            out.Result = deflate(&z, flush);
            if (out.Result < 0 && out.Result != Z_BUF_ERROR)
                break;
            const bool done = last ? out.Result == Z_STREAM_END : z.avail_in == 0 && z.avail_out > 0;
            if (done) {
                out.Result = Z_OK;
                break;
            }
            out.Packed.resize(out.Packed.size() * 2);
        }
        out.Packed.resize(qsizetype(z.total_out));
    }
    deflateEnd(&z);
    return out;
}

// One block's work on its way to a thread of the pool. The pool hands it over under Qt's own lock,
// which a thread sanitizer does not see; the runnable says so itself, so that the work it carries
// is the pool thread's once it runs.
class TBlockRunnable : public QRunnable
{
public:
    explicit TBlockRunnable(std::function<void()> work) : m_work(std::move(work)) { HandOverRelease(this); }
    void run() override
    {
        HandOverAcquire(this);
        m_work();
    }

private:
    std::function<void()> m_work;
};

} // namespace

TParallelCompressionStream::TParallelCompressionStream(QIODevice &device, int threads)
    : m_device(device), m_threads(threads > 0 ? threads : QThread::idealThreadCount()),
      m_adler(adler32(0, nullptr, 0))
{
    if (m_threads <= 1) {
        m_single = std::make_unique<TZCompressionStream>(device, MaximumLevelIndex);
        return;
    }
    m_block.reserve(BlockSize);
    m_pool = std::make_unique<QThreadPool>();
    m_pool->setMaxThreadCount(m_threads);
}

TParallelCompressionStream::~TParallelCompressionStream()
{
    if (m_pool) {
        m_pool->clear(); // blocks not started are not needed any more
        m_pool->waitForDone();
    }
}

void TParallelCompressionStream::Write(const char *data, qint64 count)
{
    if (m_finished)
        throw EZCompressionError(QStringLiteral("Invalid ZStream operation!"));
    if (m_single) {
        m_single->Write(data, count);
        return;
    }
    while (count > 0) {
        // A full block goes only once more data follows: the last block must be marked as last.
        if (m_block.size() == BlockSize)
            submit(false);
        const qint64 room = std::min(count, BlockSize - m_block.size());
        m_block.append(data, qsizetype(room));
        data += room;
        count -= room;
    }
}

void TParallelCompressionStream::submit(bool last)
{
    if (!m_started) {
        WriteAll(m_device, MaximumLevelHeader, sizeof MaximumLevelHeader);
        m_started = true;
    }
    QByteArray block = std::exchange(m_block, QByteArray());
    QByteArray dictionary = std::exchange(m_dictionary, block.right(WindowSize));
    if (!last)
        m_block.reserve(BlockSize);
    auto task = std::make_shared<std::packaged_task<TBlock()>>([block = std::move(block),
                                                                dictionary = std::move(dictionary), last] {
        TDeflated deflated = deflateBlock(block, dictionary, last);
        if (deflated.Result != Z_OK)
            throw EZCompressionError(ZErrorText(deflated.Result));
        const uLong adler = adler32_z(
            adler32(0, nullptr, 0), reinterpret_cast<const Bytef *>(block.constData()), size_t(block.size()));
        return TBlock{std::move(deflated.Packed), adler, qint64(block.size())};
    });
    m_underWay.push_back(task->get_future());
    m_pool->start(new TBlockRunnable([task] { (*task)(); }));
    // Results go out as soon as they are in, and the caller waits once it is too far ahead.
    while (!m_underWay.empty() &&
           (m_underWay.size() > BlocksPerWorker * size_t(m_threads) ||
            m_underWay.front().wait_for(std::chrono::seconds(0)) == std::future_status::ready))
        writeOldest();
}

void TParallelCompressionStream::writeOldest()
{
    const TBlock block = m_underWay.front().get();
    m_underWay.pop_front();
    WriteAll(m_device, block.Packed.constData(), block.Packed.size());
    m_adler = adler32_combine(m_adler, block.Adler, z_off_t(block.Length));
}

void TParallelCompressionStream::Finish()
{
    if (m_finished)
        throw EZCompressionError(QStringLiteral("Invalid ZStream operation!"));
    m_finished = true;
    if (m_single) {
        m_single->Finish();
        return;
    }
    if (!m_started) {
        // One block at most: nothing to share between workers, the single stream as always.
        TZCompressionStream single(m_device, MaximumLevelIndex);
        single.Write(m_block.constData(), m_block.size());
        single.Finish();
        return;
    }
    submit(true);
    while (!m_underWay.empty())
        writeOldest();
    const char trailer[] = {char(m_adler >> 24), char(m_adler >> 16), char(m_adler >> 8), char(m_adler)};
    WriteAll(m_device, trailer, sizeof trailer);
}
