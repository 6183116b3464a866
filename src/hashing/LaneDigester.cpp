#include "LaneDigester.h"

#include "DigestFileReader.h"
#include "Md5Engine.h"

#include <algorithm>

// One batch: which file each lane reads, and where the next file of the batch is.
class TLaneDigester::TBatch
{
public:
    TBatch(TLaneDigester &owner, const std::vector<QString> &paths)
        : m_owner(owner), m_lanes(owner.m_lanes), m_paths(paths), m_results(paths.size()),
          m_files(std::size_t(m_lanes.LaneCount()))
    {}

    std::vector<TLaneDigest> Run()
    {
        for (int lane = 0; lane < m_lanes.LaneCount(); ++lane)
            beginNextFile(lane);
        while (const std::uint32_t waiting = m_lanes.Run()) {
            for (int lane = 0; lane < m_lanes.LaneCount(); ++lane) {
                if ((waiting >> lane & 1) == 0)
                    continue;
                if (m_lanes.State(lane) == TMd5Lanes::TLaneState::Finished) {
                    TLaneDigest &result = m_results[m_files[lane].Index];
                    m_lanes.TakeDigest(lane, result.Md5.data());
                    result.Read = true;
                    m_files[lane].File = {};
                    beginNextFile(lane);
                } else if (lastOneLeft(lane)) {
                    TLaneFile &current = m_files[lane];
                    TMd5Context context;
                    m_lanes.HandOver(lane, context);
                    digestAlone(current.Index, current.File, context, current.Offset);
                    current.File = {};
                } else if (!feed(lane)) {
                    beginNextFile(lane);
                }
            }
        }
        return std::move(m_results);
    }

private:
    struct TLaneFile
    {
        TDigestFileReader File;
        std::size_t Index = 0;
        qint64 Offset = 0;
    };

    unsigned char *buffer(int slot) const
    {
        return m_owner.m_buffers.get() + slot * m_owner.m_settings.BlockSize;
    }

    // Reads up to one block of the file; -1 when that fails, with the error in the result.
    qint64 readBlock(TDigestFileReader &file, std::size_t index, qint64 offset, unsigned char *into)
    {
        if (m_owner.m_readHook)
            m_owner.m_readHook(index, offset, file);
        const qint64 got = file.Read(into, std::min(m_owner.m_settings.BlockSize, file.Size() - offset));
        if (got < 0)
            failed(index, file);
        return got;
    }

    void failed(std::size_t index, const TDigestFileReader &file)
    {
        m_results[index].ReadError = file.Error();
        m_results[index].ChangedWhileRead = file.ChangedWhileRead();
    }

    // After a file's last read (offset: the bytes read in all): false, with the reason in its
    // result, when the file is not as it was opened.
    bool endsAsOpened(std::size_t index, TDigestFileReader &file, qint64 offset)
    {
        if (file.EndsAsOpened(offset))
            return true;
        failed(index, file);
        return false;
    }

    TDigestFileReader open(std::size_t index) const
    {
        if (m_owner.m_openHook)
            m_owner.m_openHook(index);
        return TDigestFileReader(m_paths[index]);
    }

    // The lane begins the next file of the batch that opens and is small enough for a lane; the
    // others on the way are dealt with here. The lane stays idle when the batch has no more.
    void beginNextFile(int lane)
    {
        while (m_next < m_paths.size()) {
            const std::size_t index = m_next++;
            TDigestFileReader file = open(index);
            if (!file.IsOpen()) {
                failed(index, file);
                continue;
            }
            if (m_lanes.LaneCount() == 1 || file.Size() > m_owner.m_settings.LaneLimit) {
                digestAlone(index, file);
                continue;
            }
            m_files[lane] = {std::move(file), index, 0};
            m_lanes.Begin(lane);
            if (feed(lane))
                return;
        }
    }

    // Gives the lane its file's next block, the last one at the end of the file. False when the
    // read failed, or the file ended short of its size or changed: the lane is idle again.
    bool feed(int lane)
    {
        TLaneFile &current = m_files[lane];
        const qint64 wanted = std::min(m_owner.m_settings.BlockSize, current.File.Size() - current.Offset);
        const qint64 got = readBlock(current.File, current.Index, current.Offset, buffer(lane));
        if (got >= 0)
            current.Offset += got;
        const bool last = got >= 0 && (got < wanted || current.Offset == current.File.Size());
        if (got < 0 || (last && !endsAsOpened(current.Index, current.File, current.Offset))) {
            m_lanes.Drop(lane);
            current.File = {};
            return false;
        }
        if (last)
            m_lanes.FeedLast(lane, buffer(lane), std::size_t(got));
        else
            m_lanes.Feed(lane, buffer(lane), std::size_t(got));
        return true;
    }

    // The batch has no file left to begin and every other lane is idle.
    bool lastOneLeft(int lane) const
    {
        if (m_next < m_paths.size())
            return false;
        for (int other = 0; other < m_lanes.LaneCount(); ++other) {
            if (other != lane && m_lanes.State(other) != TMd5Lanes::TLaneState::Idle)
                return false;
        }
        return true;
    }

    void digestAlone(std::size_t index, TDigestFileReader &file)
    {
        TMd5Context context;
        Md5Init(context);
        digestAlone(index, file, context, 0);
    }

    // The rest of the file from offset on, in the single-stream engine.
    void digestAlone(std::size_t index, TDigestFileReader &file, TMd5Context &context, qint64 offset)
    {
        unsigned char *block = buffer(m_lanes.LaneCount());
        while (offset < file.Size()) {
            const qint64 wanted = std::min(m_owner.m_settings.BlockSize, file.Size() - offset);
            const qint64 got = readBlock(file, index, offset, block);
            if (got < 0)
                return;
            Md5Update(context, block, std::size_t(got));
            offset += got;
            if (got < wanted)
                break;
        }
        if (!endsAsOpened(index, file, offset))
            return;
        Md5Final(context, m_results[index].Md5.data());
        m_results[index].Read = true;
    }

    TLaneDigester &m_owner;
    TMd5Lanes &m_lanes;
    const std::vector<QString> &m_paths;
    std::vector<TLaneDigest> m_results;
    std::vector<TLaneFile> m_files; // the file each lane reads
    std::size_t m_next = 0;         // the next file of the batch to begin
};

TLaneDigester::TLaneDigester(TMd5Level level, TLaneSettings settings)
    : m_lanes(level), m_settings(settings),
      m_buffers(std::make_unique_for_overwrite<unsigned char[]>(std::size_t(m_lanes.LaneCount() + 1) *
                                                                std::size_t(settings.BlockSize)))
{}

TLaneDigester::~TLaneDigester() = default;

std::vector<TLaneDigest> TLaneDigester::Digest(const std::vector<QString> &paths)
{
    return TBatch(*this, paths).Run();
}
