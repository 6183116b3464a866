#include "Md5Lanes.h"

#include "Md5Engine.h"
#include "Md5LaneKernels.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <stdexcept>

namespace {

// What a lane that is not working reads: the block functions read every lane.
alignas(64) const std::uint8_t ZeroBlock[64] = {};

constexpr std::uint32_t InitialState[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

} // namespace

TMd5Lanes::TMd5Lanes(TMd5Level level)
    : m_level(level), m_laneCount(Md5LevelLanes(level)), m_kernel(Md5Blocks1)
{
    const TMd5LevelChoice choice = Md5LevelChosen(Md5LevelName(level));
    if (!choice.Ok())
        throw std::invalid_argument(choice.Error);
    switch (level) {
    case TMd5Level::Single:
        break;
#if defined(__x86_64__) // the vector block functions are built for x86-64 only
    case TMd5Level::Avx2:
        m_kernel = Md5Blocks8;
        break;
    case TMd5Level::Avx512:
        m_kernel = Md5Blocks16;
        break;
#else
    default:
        break;
#endif
    }
    std::fill(std::begin(m_state), std::end(m_state), 0);
    std::fill(std::begin(m_next), std::end(m_next), ZeroBlock);
}

void TMd5Lanes::Begin(int lane)
{
    assert(m_lanes[lane].State == TLaneState::Idle);
    TLane &state = m_lanes[lane];
    state.State = TLaneState::Hungry;
    state.Length = 0;
    state.First = 0;
    state.Count = 0;
    state.KeptCount = 0;
    state.Ended = false;
    for (int word = 0; word < 4; ++word)
        m_state[word * m_laneCount + lane] = InitialState[word];
    m_waiting |= 1u << lane;
}

void TMd5Lanes::Feed(int lane, const void *bytes, std::size_t count)
{
    assert(m_lanes[lane].State == TLaneState::Hungry);
    take(lane, static_cast<const std::uint8_t *>(bytes), count);
    if (m_lanes[lane].Count > 0)
        startWork(lane);
}

void TMd5Lanes::FeedLast(int lane, const void *bytes, std::size_t count)
{
    assert(m_lanes[lane].State == TLaneState::Hungry);
    take(lane, static_cast<const std::uint8_t *>(bytes), count);
    pad(m_lanes[lane]);
    startWork(lane);
}

void TMd5Lanes::Drop(int lane)
{
    m_working &= ~(1u << lane);
    m_waiting &= ~(1u << lane);
    m_next[lane] = ZeroBlock;
    m_lanes[lane].State = TLaneState::Idle;
}

void TMd5Lanes::TakeDigest(int lane, std::uint8_t digest[16])
{
    assert(m_lanes[lane].State == TLaneState::Finished);
    for (int word = 0; word < 4; ++word) {
        const std::uint32_t value = m_state[word * m_laneCount + lane];
        for (int byte = 0; byte < 4; ++byte)
            digest[4 * word + byte] = std::uint8_t(value >> (8 * byte));
    }
    m_waiting &= ~(1u << lane);
    m_lanes[lane].State = TLaneState::Idle;
}

void TMd5Lanes::HandOver(int lane, TMd5Context &context)
{
    assert(m_lanes[lane].State == TLaneState::Hungry);
    const TLane &state = m_lanes[lane];
    Md5Init(context);
    for (int word = 0; word < 4; ++word)
        context.state[word] = m_state[word * m_laneCount + lane];
    const std::uint64_t bits = state.Length << 3;
    context.count[0] = std::uint32_t(bits);
    context.count[1] = std::uint32_t(bits >> 32);
    std::memcpy(context.buffer, state.Kept, state.KeptCount);
    m_waiting &= ~(1u << lane);
    m_lanes[lane].State = TLaneState::Idle;
}

std::uint32_t TMd5Lanes::Run()
{
    // Only while no lane waits: every lane that does not work is then idle, with no state to keep
    // from the block functions.
    while (m_waiting == 0 && m_working != 0) {
        std::size_t blocks = SIZE_MAX;
        for (int lane = 0; lane < m_laneCount; ++lane) {
            if (m_working >> lane & 1) {
                const TLane &state = m_lanes[lane];
                blocks = std::min(blocks, state.Segments[state.First].Blocks);
            }
        }
        m_kernel(m_state, m_next, m_working, blocks);
        advance(blocks);
    }
    return m_waiting;
}

void TMd5Lanes::advance(std::size_t blocks)
{
    for (int lane = 0; lane < m_laneCount; ++lane) {
        if ((m_working >> lane & 1) == 0)
            continue;
        TLane &state = m_lanes[lane];
        TSegment &segment = state.Segments[state.First];
        segment.Blocks -= blocks;
        if (segment.Blocks > 0)
            continue;
        ++state.First;
        --state.Count;
        if (state.Count > 0)
            m_next[lane] = state.Segments[state.First].Bytes;
        else
            stopWork(lane, state.Ended ? TLaneState::Finished : TLaneState::Hungry);
    }
}

void TMd5Lanes::take(int lane, const std::uint8_t *bytes, std::size_t count)
{
    TLane &state = m_lanes[lane];
    state.First = 0;
    state.Count = 0;
    if (count == 0)
        return;
    state.Length += count;
    if (state.KeptCount > 0) {
        const std::size_t joined = std::min(64 - state.KeptCount, count);
        std::memcpy(state.Kept + state.KeptCount, bytes, joined);
        state.KeptCount += joined;
        bytes += joined;
        count -= joined;
        if (state.KeptCount < 64)
            return;
        std::memcpy(state.Joined, state.Kept, 64);
        state.KeptCount = 0;
        push(state, state.Joined, 1);
    }
    const std::size_t whole = count / 64;
    if (whole > 0)
        push(state, bytes, whole);
    state.KeptCount = count % 64;
    std::memcpy(state.Kept, bytes + 64 * whole, state.KeptCount);
}

void TMd5Lanes::push(TLane &lane, const std::uint8_t *bytes, std::size_t blocks)
{
    lane.Segments[lane.First + lane.Count] = {bytes, blocks};
    ++lane.Count;
}

void TMd5Lanes::pad(TLane &lane)
{
    // The kept bytes, a one bit, zeros, and the message's length in bits in the last eight bytes:
    // one block when that fits after the kept bytes, else two.
    const std::size_t kept = lane.KeptCount;
    const std::size_t size = kept < 56 ? 64 : 128;
    std::memcpy(lane.End, lane.Kept, kept);
    lane.End[kept] = 0x80;
    std::memset(lane.End + kept + 1, 0, size - 8 - kept - 1);
    const std::uint64_t bits = lane.Length << 3;
    for (int byte = 0; byte < 8; ++byte)
        lane.End[size - 8 + byte] = std::uint8_t(bits >> (8 * byte));
    lane.KeptCount = 0;
    lane.Ended = true;
    push(lane, lane.End, size / 64);
}

void TMd5Lanes::startWork(int lane)
{
    TLane &state = m_lanes[lane];
    state.State = TLaneState::Working;
    m_next[lane] = state.Segments[state.First].Bytes;
    m_working |= 1u << lane;
    m_waiting &= ~(1u << lane);
}

void TMd5Lanes::stopWork(int lane, TLaneState state)
{
    m_lanes[lane].State = state;
    m_next[lane] = ZeroBlock;
    m_working &= ~(1u << lane);
    m_waiting |= 1u << lane;
}
