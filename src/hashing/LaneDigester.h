#pragma once

// Digests a batch of files on the calling thread, many at once in the lanes of the multi-lane
// MD5 engine (Md5Lanes): each lane reads its file block by block and takes the next file of the
// batch as soon as its own is done. A file larger than the lane limit is digested alone by the
// single-stream engine, so that one large file never holds a lane while the batch waits for it.
//
// Files are read as the worker reads them (CMd5Thread::DigestFile): blocks of 31,744 bytes from
// the start, at most the size the file had when it was opened; a file that shrinks meanwhile is
// digested as far as it reads. A file that cannot be opened or read to its end gets no digest,
// and the other lanes' digests are not touched by it.
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
    bool Read = false;                  // read to its end and digested
    std::array<std::uint8_t, 16> Md5{}; // the digest, when Read
    QString ReadError;                  // why not, in the system's words
};

struct TLaneSettings
{
    qint64 BlockSize = 31744; // bytes read at a time from one file
    // Files of more bytes go to the single-stream engine. With 16 lanes on a core a file in a
    // lane moves at a sixteenth of the lanes' speed while they are all busy, and at one lane's
    // speed (about the single-stream engine's) once it is the last one left; a file of up to
    // this size is over before it matters for a batch of small files.
    qint64 LaneLimit = qint64(4) << 20;
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

private:
    class TBatch;

    TMd5Lanes m_lanes;
    TLaneSettings m_settings;
    // One block for each lane and one for the file digested alone.
    std::unique_ptr<unsigned char[]> m_buffers;
    TReadHook m_readHook;
};
