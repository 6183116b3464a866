// The 16-lane block function: one message in each 32-bit lane of a 512-bit register.
//
// Compiled with the AVX-512 flags, so nothing here may be shared with the rest of the program: what
// it includes of ours (Md5LaneBlock.h) has internal linkage, and no header with inline code of
// its own is included (a copy of that code compiled here could be the one the linker keeps for
// every caller, and crash on a processor without AVX-512).

#include "Md5LaneBlock.h"
#include "Md5LaneKernels.h"

// g++ 12 warns inside its own AVX-512 intrinsics, which start some results from a deliberately
// undefined register (_mm512_undefined_epi32); nothing of ours is uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

namespace {

using u32 = std::uint32_t;
using V = __m512i;

// The round functions as vpternlogd truth tables: the table of f(b, c, d) is f applied to
// 0xF0, 0xCC and 0xAA bit by bit, so each function is one instruction.
constexpr int TableF = (0xF0 & 0xCC) | (~0xF0 & 0xAA);        // (b & c) | (~b & d)
constexpr int TableG = (0xF0 & 0xAA) | (0xCC & ~0xAA & 0xFF); // (b & d) | (c & ~d)
constexpr int TableH = 0xF0 ^ 0xCC ^ 0xAA;                    // b ^ c ^ d
constexpr int TableI = (0xCC ^ (0xF0 | ~0xAA)) & 0xFF;        // c ^ (b | ~d)

// a = b + rotl(a + f(b, c, d) + x + t, s). Only f, the last two additions and the rotation
// (vprold) wait for b; a + x + t is summed before b is there.
template <int Table, int S>
inline void Step(V &a, V b, V c, V d, V x, u32 t)
{
    a = _mm512_add_epi32(a, _mm512_add_epi32(x, _mm512_set1_epi32(int(t))));
    a = _mm512_add_epi32(a, _mm512_ternarylogic_epi32(b, c, d, Table));
    a = _mm512_add_epi32(_mm512_rol_epi32(a, S), b);
}

struct TSteps
{
    static V Add(V a, V b) { return _mm512_add_epi32(a, b); }
    template <int S>
    static void F(V &a, V b, V c, V d, V x, u32 t)
    {
        Step<TableF, S>(a, b, c, d, x, t);
    }
    template <int S>
    static void G(V &a, V b, V c, V d, V x, u32 t)
    {
        Step<TableG, S>(a, b, c, d, x, t);
    }
    template <int S>
    static void H(V &a, V b, V c, V d, V x, u32 t)
    {
        Step<TableH, S>(a, b, c, d, x, t);
    }
    template <int S>
    static void I(V &a, V b, V c, V d, V x, u32 t)
    {
        Step<TableI, S>(a, b, c, d, x, t);
    }
};

// Sixteen rows (one lane's block each) into sixteen columns (word w of every lane): four rounds
// of shuffles within registers. Measured against gathering each word from the sixteen blocks
// (vpgatherdd), the loads and shuffles digest 1.9 times as much on this machine's cores.
inline void Transpose(V r[16])
{
    V t[16];
    for (int i = 0; i < 16; i += 2) {
        t[i] = _mm512_unpacklo_epi32(r[i], r[i + 1]);
        t[i + 1] = _mm512_unpackhi_epi32(r[i], r[i + 1]);
    }
    for (int i = 0; i < 16; i += 4) {
        r[i] = _mm512_unpacklo_epi64(t[i], t[i + 2]);
        r[i + 1] = _mm512_unpackhi_epi64(t[i], t[i + 2]);
        r[i + 2] = _mm512_unpacklo_epi64(t[i + 1], t[i + 3]);
        r[i + 3] = _mm512_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
    // Now 128-bit part q of r[4g + j] holds word 4q + j of rows 4g to 4g + 3.
    for (int j = 0; j < 4; ++j) {
        t[j] = _mm512_shuffle_i32x4(r[j], r[j + 4], 0x88);
        t[j + 4] = _mm512_shuffle_i32x4(r[j], r[j + 4], 0xDD);
        t[j + 8] = _mm512_shuffle_i32x4(r[j + 8], r[j + 12], 0x88);
        t[j + 12] = _mm512_shuffle_i32x4(r[j + 8], r[j + 12], 0xDD);
    }
    for (int j = 0; j < 4; ++j) {
        r[j] = _mm512_shuffle_i32x4(t[j], t[j + 8], 0x88);
        r[j + 8] = _mm512_shuffle_i32x4(t[j], t[j + 8], 0xDD);
        r[j + 4] = _mm512_shuffle_i32x4(t[j + 4], t[j + 12], 0x88);
        r[j + 12] = _mm512_shuffle_i32x4(t[j + 4], t[j + 12], 0xDD);
    }
}

} // namespace

void Md5Blocks16(std::uint32_t *state, const std::uint8_t **next, std::uint32_t moving, std::size_t blocks)
{
    V a = _mm512_loadu_si512(state);
    V b = _mm512_loadu_si512(state + 16);
    V c = _mm512_loadu_si512(state + 32);
    V d = _mm512_loadu_si512(state + 48);

    const std::uint8_t *from[16];
    std::size_t step[16];
    for (int lane = 0; lane < 16; ++lane) {
        from[lane] = next[lane];
        step[lane] = (moving >> lane & 1) ? 64 : 0;
    }
    for (std::size_t block = 0; block < blocks; ++block) {
        V x[16];
        for (int lane = 0; lane < 16; ++lane) {
            x[lane] = _mm512_loadu_si512(from[lane]);
            from[lane] += step[lane];
        }
        Transpose(x);
        Md5LaneBlock<TSteps>(a, b, c, d, x);
    }

    _mm512_storeu_si512(state, a);
    _mm512_storeu_si512(state + 16, b);
    _mm512_storeu_si512(state + 32, c);
    _mm512_storeu_si512(state + 48, d);
    for (int lane = 0; lane < 16; ++lane)
        next[lane] = from[lane];
}
