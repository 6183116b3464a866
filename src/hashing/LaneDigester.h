#pragma once

// Digests a batch of files on the calling thread, many at once in the lanes of the multi-lane
// MD5 engine (Md5Lanes): each lane reads its file block by block and takes the next file of the
// batch as soon as its own is done. A file larger than the lane limit is digested alone by the
// single-stream engine, and so is the rest of the last file left in the lanes, where one lane of
// an otherwise empty vector would be slower than one stream.
//
// Files are opened as TDigestFileReader opens them (never waiting on a FIFO) and read in blocks
// from the start, as many bytes as the file had when it was opened. A file that cannot be opened
// or read to its end, or that changed while it was read (its size or modification time, or
// fewer bytes than its size), gets no digest, and the other lanes' digests are not touched by it.
// At the single level there are no lanes to fill: every file goes to the single-stream engine.
//
// An object keeps its buffers from batch to batch; one thread uses it at a time.

#include "Md5Lanes.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TDigestFileReader;

// What the batch found for one file.
struct TLaneDigest
{
    bool Read = false;                  // read to its end, unchanged, and digested
    std::array<std::uint8_t, 16> Md5{}; // the digest, when Read
    QString ReadError;                  // why not: the system's words, or ChangedWhileReadText
    bool ChangedWhileRead = false;      // the file was read, but changed meanwhile
};

struct TLaneSettings
{
    // Bytes read at a time from one file. Twice the worker's block: a file of up to 64 KiB is
    // read in one call. In the lanes (bench lane-digester) it was as fast as 31,744 bytes or
    // faster in every run, by up to 8% on files of 1 to 64 KiB; smaller blocks were slower, and
    // larger ones no faster on those files.
    qint64 BlockSize = 65536;
    // Files of more bytes go to the single-stream engine. A file in a lane moves at a sixteenth of
    // the lanes' speed while they are all busy, and the last file left in the lanes goes on in the
    // single-stream engine, so no file is slower in a lane than alone. Measured (bench
    // lane-digester), files of 1 KiB to 32 MiB digested 1.67 GB/s with this limit, 1.25 with
    // 16 MiB and 0.74 with 256 KiB; a larger file gains at most the part of it digested beside
    // the rest of its batch, and is better read alone, in one sequential stream.
    qint64 LaneLimit = qint64(64) << 20;
};

class TLaneDigester
{
public:
    // Throws std::invalid_argument, with a text for the user, when the processor lacks the level.
    explicit TLaneDigester(TMd5Level level, TLaneSettings settings = {});
    ~TLaneDigester();
    TLaneDigester(const TLaneDigester &) = delete;
    TLaneDigester &operator=(const TLaneDigester &) = delete;

    TMd5Level Level() const { return m_lanes.Level(); }

    // Digests the files; result i belongs to paths[i].
    std::vector<TLaneDigest> Digest(const std::vector<QString> &paths);

    // Test seam: called before each read of paths[index] at offset, with the file; a hook that
    // calls file.FailWith(error) makes that read fail.
    using TReadHook = std::function<void(std::size_t index, qint64 offset, TDigestFileReader &file)>;
    void SetReadHook(TReadHook hook) { m_readHook = std::move(hook); }
    // Test seam: called before paths[index] is opened.
    using TOpenHook = std::function<void(std::size_t index)>;
    void SetOpenHook(TOpenHook hook) { m_openHook = std::move(hook); }

private:
    class TBatch;

    TMd5Lanes m_lanes;
    TLaneSettings m_settings;
    // One block for each lane and one for the file digested alone.
    std::unique_ptr<unsigned char[]> m_buffers;
    TReadHook m_readHook;
    TOpenHook m_openHook;
};
