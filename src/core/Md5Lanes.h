#pragma once

// Many MD5 digests at once on one core: up to 16 messages side by side, one in each lane of the
// vector unit (Md5Level says how many lanes a level has). MD5 is one chain of dependent steps
// per message, so one message cannot go faster than that chain; messages in lanes share each
// instruction instead. The digests are those of Md5Engine, bit for bit.
//
// Each lane goes at its own pace. A lane's life:
//   idle --Begin--> hungry --Feed--> working --Run--> hungry --Feed--> ...
//        --FeedLast--> working --Run--> finished --TakeDigest--> idle
// Run digests in every working lane at once until some lane needs its caller: it is hungry (all
// its bytes so far are digested and its message has not ended) or finished (its message padded
// and its digest ready). So a lane whose message ends is finished on its own and begins the next
// message while the other lanes go on with theirs.
//
// The lanes read fed bytes where they lie: the caller keeps them unchanged until the lane is
// hungry, finished or idle again. A piece of any length may be fed; a block it leaves unfinished
// is kept in the lane until the next piece completes it.
//
// An object is a plain value of its owner and is used on one thread at a time.

#include "Md5Level.h"

#include <cstddef>
#include <cstdint>

struct TMd5Context;

class TMd5Lanes
{
public:
    static constexpr int MaxLanes = 16;

    enum class TLaneState
    {
        Idle,
        Hungry,
        Working,
        Finished,
    };

    // Throws std::invalid_argument, with a text for the user, when the processor lacks the level.
    explicit TMd5Lanes(TMd5Level level);

    TMd5Level Level() const { return m_level; }
    int LaneCount() const { return m_laneCount; }
    TLaneState State(int lane) const { return m_lanes[lane].State; }

    // An idle lane begins a message: it is hungry.
    void Begin(int lane);
    // A hungry lane takes the next count bytes of its message.
    void Feed(int lane, const void *bytes, std::size_t count);
    // A hungry lane takes the last count bytes of its message (count may be 0).
    void FeedLast(int lane, const void *bytes, std::size_t count);
    // Any lane goes back to idle and forgets its message (its file could not be read, say).
    void Drop(int lane);

    // Digests in the working lanes until some lane needs its caller, and returns those lanes (bit
    // i for lane i): hungry or finished ones. Returns at once while such a lane is left waiting,
    // or when no lane works.
    std::uint32_t Run();

    // A finished lane's digest (16 bytes, as Md5Final writes them); the lane is idle again.
    void TakeDigest(int lane, std::uint8_t digest[16]);
    // A hungry lane's message goes on in the single-stream engine: context becomes what Md5Init
    // and Md5Update of the bytes fed so far would have made it. The lane is idle again. For the
    // last lane left working, which one stream digests faster than a lane of an empty vector.
    void HandOver(int lane, TMd5Context &context);

private:
    // Whole blocks that lie together: the caller's, or a block staged in the lane.
    struct TSegment
    {
        const std::uint8_t *Bytes = nullptr;
        std::size_t Blocks = 0;
    };

    struct TLane
    {
        TLaneState State = TLaneState::Idle;
        std::uint64_t Length = 0; // bytes of the message so far
        bool Ended = false;       // its last piece is fed and padded
        // Blocks still to digest, in order: at most a joined block, a piece's whole blocks and
        // the padded end.
        TSegment Segments[3];
        int First = 0;
        int Count = 0;
        std::uint8_t Joined[64];   // the kept bytes completed by the next piece's first ones
        std::uint8_t Kept[64];     // the start of a block that no piece has completed yet
        std::size_t KeptCount = 0; // below 64
        std::uint8_t End[128];     // the last bytes of the message, its padding and bit count
    };

    using TKernel = void (*)(std::uint32_t *state, const std::uint8_t **next, std::uint32_t moving,
                             std::size_t blocks);

    void take(int lane, const std::uint8_t *bytes, std::size_t count);
    void push(TLane &lane, const std::uint8_t *bytes, std::size_t blocks);
    void pad(TLane &lane);
    void startWork(int lane);
    void stopWork(int lane, TLaneState state);
    // The blocks of the working lanes' first segments digested: next segments, or stops.
    void advance(std::size_t blocks);

    TMd5Level m_level;
    int m_laneCount;
    TKernel m_kernel;
    // The chaining values of every lane, word-major as the block functions take them.
    alignas(64) std::uint32_t m_state[4 * MaxLanes];
    // Each working lane's next block; every other lane's is a block of zeros.
    const std::uint8_t *m_next[MaxLanes];
    std::uint32_t m_working = 0; // lanes working
    std::uint32_t m_waiting = 0; // lanes hungry or finished
    TLane m_lanes[MaxLanes];
};
