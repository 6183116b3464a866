#include "DigestPool.h"

#include "Catalog.h"
#include "LaneDigester.h"

#include <QFile>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace {

// How far the readers may run ahead of the results taken, per reader: enough that a large file
// holding up the results does not leave the other readers idle for long, and that readers
// started early keep reading while the records are still being made.
constexpr size_t AheadPerJob = 4096;
// How many results the caller's thread lets gather before it is woken again. Within the files
// the readers may claim, so the last of a run is always read.
constexpr size_t DeliveryRun = 32;
static_assert(DeliveryRun <= AheadPerJob);
// Files a reader claims at once, per lane: enough that a lane whose file ends finds the next one
// in the same batch, few enough that the last batches spread over the readers.
constexpr size_t BatchPerLane = 8;

TDigestPoolHooks &poolHooks()
{
    static TDigestPoolHooks hooks;
    return hooks;
}

// FileSizeOf(path) >= 0, without working out the file's date.
bool isRegularFile(const QString &path)
{
    struct stat facts
    {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &facts) == 0 &&
           S_ISREG(facts.st_mode);
}

class TOrderedDigests
{
public:
    TOrderedDigests(std::vector<QString> paths, TDigestOptions options)
        : m_paths(std::move(paths)), m_level(options.Level), m_hooks(poolHooks()),
          m_slots(
              std::max<size_t>(1, std::min(m_paths.size(), AheadPerJob * size_t(std::max(options.Jobs, 1))))),
          m_batch(BatchPerLane * size_t(Md5LevelLanes(m_level))), m_readers(size_t(std::max(options.Jobs, 1)))
    {}

    const std::vector<QString> &Paths() const { return m_paths; }

    // Readers claim no more files; those reading finish their batch.
    void Stop()
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_slotFree.notify_all();
    }

    void Read()
    {
        TLaneDigester lanes(m_level);
        std::vector<QString> batch;  // the paths of the files claimed, in order
        std::vector<QString> toRead; // those of them that name a regular file
        if (m_hooks.BeforeOpen)
            lanes.SetOpenHook([&](size_t index) { m_hooks.BeforeOpen(toRead[index]); });
        if (m_hooks.BeforeRead) {
            lanes.SetReadHook([&](size_t index, qint64 offset, TDigestFileReader &file) {
                m_hooks.BeforeRead(toRead[index], offset, file);
            });
        }
        std::unique_lock lock(m_mutex);
        for (;;) {
            const auto mayClaim = [&] {
                return m_stopping || m_claimed == m_paths.size() || m_claimed < m_taken + m_slots.size();
            };
            if (!mayClaim()) {
                ++m_readersWaiting;
                m_slotFree.wait(lock, mayClaim);
                --m_readersWaiting;
            }
            if (m_stopping || m_claimed == m_paths.size())
                return;
            const size_t first = m_claimed;
            const size_t count =
                std::min({claimSize(), m_paths.size() - first, m_taken + m_slots.size() - first});
            m_claimed += count;
            lock.unlock();
            batch.assign(m_paths.begin() + ptrdiff_t(first), m_paths.begin() + ptrdiff_t(first + count));
            std::vector<TFileDigest> results = digest(lanes, batch, toRead);
            lock.lock();
            for (size_t i = 0; i < count; ++i) {
                TSlot &slot = m_slots[(first + i) % m_slots.size()];
                slot.Result = std::move(results[i]);
                slot.Filled = true;
            }
            // Woken only when waited for: a wake-up per batch would cost more than a small one.
            if (m_deliveryWaitsFor >= first && m_deliveryWaitsFor < first + count)
                m_resultReady.notify_one();
        }
    }

    // The results in order, each as soon as it is there.
    void Deliver(const std::function<void(size_t, TFileDigest &)> &ready)
    {
        for (size_t index = 0; index < m_paths.size(); ++index) {
            TFileDigest result;
            {
                std::unique_lock lock(m_mutex);
                TSlot &slot = m_slots[index % m_slots.size()];
                if (!slot.Filled) {
                    // Woken once for a run of files rather than for each: the readers then keep
                    // both cores without this thread taking turns with them.
                    const size_t last = std::min(index + DeliveryRun, m_paths.size()) - 1;
                    m_deliveryWaitsFor = last;
                    m_resultReady.wait(lock, [&] { return m_slots[last % m_slots.size()].Filled; });
                    if (!slot.Filled) {
                        m_deliveryWaitsFor = index;
                        m_resultReady.wait(lock, [&] { return slot.Filled; });
                    }
                    m_deliveryWaitsFor = NoIndex;
                }
                result = std::move(slot.Result);
                slot.Filled = false;
                m_taken = index + 1;
                if (m_readersWaiting > 0)
                    m_slotFree.notify_all();
            }
            ready(index, result);
        }
    }

private:
    struct TSlot
    {
        TFileDigest Result;
        bool Filled = false;
    };

    // A full batch, or the files still to claim shared out over the readers, so that the last
    // ones are not all read by one of them.
    size_t claimSize() const
    {
        const size_t unclaimed = m_paths.size() - m_claimed;
        return std::clamp(unclaimed / m_readers, size_t(1), m_batch);
    }

    // The files of the batch, the regular ones in the lanes.
    static std::vector<TFileDigest> digest(TLaneDigester &lanes, const std::vector<QString> &batch,
                                           std::vector<QString> &toRead)
    {
        std::vector<TFileDigest> results(batch.size());
        // The queue's own check (RecordFileExists): a path that names no regular file is a file
        // that is gone, and is never opened.
        toRead.clear();
        for (size_t i = 0; i < batch.size(); ++i) {
            results[i].Present = isRegularFile(batch[i]);
            if (results[i].Present)
                toRead.push_back(batch[i]);
        }
        std::vector<TLaneDigest> digests = lanes.Digest(toRead);
        auto digested = digests.begin();
        for (TFileDigest &result : results) {
            if (!result.Present)
                continue;
            if (digested->Read) {
                result.Digest = digested->Md5;
            } else {
                result.ReadError = std::move(digested->ReadError);
                result.ChangedWhileRead = digested->ChangedWhileRead;
            }
            ++digested;
        }
        return results;
    }

    const std::vector<QString> m_paths;
    const TMd5Level m_level;
    const TDigestPoolHooks m_hooks;
    std::vector<TSlot> m_slots; // a ring: file i waits in slot i % size until taken
    const size_t m_batch;       // files claimed at once at most
    const size_t m_readers;
    std::mutex m_mutex;
    std::condition_variable m_slotFree;
    std::condition_variable m_resultReady;
    static constexpr size_t NoIndex = SIZE_MAX;
    size_t m_claimed = 0;                // files claimed by readers, in order
    size_t m_taken = 0;                  // results delivered, in order
    size_t m_deliveryWaitsFor = NoIndex; // the result the caller's thread waits for
    int m_readersWaiting = 0;            // readers waiting for a free slot
    bool m_stopping = false;
};

} // namespace

int DefaultDigestJobs()
{
    return std::max(1, QThread::idealThreadCount());
}

class TFileDigester::TRun
{
public:
    TRun(std::vector<QString> paths, TDigestOptions options) : Digests(std::move(paths), options)
    {
        const size_t readers = std::clamp<size_t>(size_t(std::max(options.Jobs, 1)), 1,
                                                  std::max<size_t>(1, Digests.Paths().size()));
        Readers.reserve(readers);
        for (size_t i = 0; i < readers && !Digests.Paths().empty(); ++i)
            Readers.emplace_back([this] { Digests.Read(); });
    }
    ~TRun()
    {
        Digests.Stop();
        Readers.clear(); // joins
    }

    TOrderedDigests Digests;
    std::vector<std::jthread> Readers; // after Digests, so they end before it goes
};

TFileDigester::TFileDigester(std::vector<QString> paths, TDigestOptions options)
    : m_run(std::make_unique<TRun>(std::move(paths), options))
{}

TFileDigester::~TFileDigester() = default;

const std::vector<QString> &TFileDigester::Paths() const
{
    return m_run->Digests.Paths();
}

void TFileDigester::Deliver(const TDigestReady &ready)
{
    m_run->Digests.Deliver(ready);
}

void SetDigestPoolHooks(TDigestPoolHooks hooks)
{
    poolHooks() = std::move(hooks);
}

void DigestFilesInOrder(const std::vector<QString> &paths, TDigestOptions options, const TDigestReady &ready)
{
    if (paths.empty())
        return;
    TFileDigester(paths, options).Deliver(ready);
}

std::unordered_set<const TFileDat *> DigestQueueOnThreads(TCatalog &catalog, TDigestOptions options,
                                                          std::unique_ptr<TFileDigester> early)
{
    // Entries whose record is not pending now stay so until their turn (only this loop changes
    // states), so only the others need reading. A record queued twice is read twice, as in the
    // single-threaded chain, where the second entry digests it again if the first could not.
    const std::vector<TFileDat *> entries(catalog.Md5Queue().begin(), catalog.Md5Queue().end());
    std::vector<QString> paths;
    std::vector<size_t> entryOfPath;
    for (size_t entry = 0; entry < entries.size(); ++entry) {
        if (entries[entry]->State != fsPending)
            continue;
        entryOfPath.push_back(entry);
        paths.push_back(entries[entry]->FullPath());
    }

    std::unique_ptr<TFileDigester> digester =
        early && early->Paths() == paths ? std::move(early)
                                         : std::make_unique<TFileDigester>(std::move(paths), options);
    early.reset();
    std::unordered_set<const TFileDat *> changed;
    size_t taken = 0; // entries taken off the queue so far
    digester->Deliver([&](size_t index, TFileDigest &result) {
        const size_t entry = entryOfPath[index];
        for (; taken <= entry; ++taken) // with the entries before it, which need no reading
            catalog.DropMd5QueueHead();
        TFileDat *record = entries[entry];
        if (record->State != fsPending)
            return; // digested through an earlier entry
        if (!result.Present) {
            catalog.SetRecordState(record, fsMissing);
            return;
        }
        catalog.SetRecordState(record, fsDigesting);
        changed.erase(record); // read again through a later entry
        if (result.Digest) {
            catalog.SetRecordDigested(record, *result.Digest);
            return;
        }
        catalog.SetRecordState(record, fsPending);
        if (result.ChangedWhileRead)
            changed.insert(record);
    });
    for (; taken < entries.size(); ++taken)
        catalog.DropMd5QueueHead();
    return changed;
}
