#pragma once

// The block functions of the multi-lane MD5 engine (Md5Lanes), one for each level. The vector
// ones live in translation units of their own, compiled for their instruction set alone: call
// one only where Md5LevelSupported says the processor has it.
//
// Each digests `blocks` 64-byte blocks in each moving lane at once:
// - state holds the chaining values A, B, C, D of every lane, word-major: state[w * lanes + lane];
// - next[lane] is where the lane's next block lies; a moving lane (its bit set in `moving`)
//   reads its blocks one after another from there and ends with next[lane] past the last;
// - a lane not moving (an idle one) must still name 64 readable bytes in next[lane], which the
//   vector code reads for every block; its next stays, its state afterwards means nothing.

#include <cstddef>
#include <cstdint>

void Md5Blocks1(std::uint32_t *state, const std::uint8_t **next, std::uint32_t moving, std::size_t blocks);
void Md5Blocks8(std::uint32_t *state, const std::uint8_t **next, std::uint32_t moving, std::size_t blocks);
void Md5Blocks16(std::uint32_t *state, const std::uint8_t **next, std::uint32_t moving, std::size_t blocks);
