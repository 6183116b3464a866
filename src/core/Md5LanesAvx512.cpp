// The 16-lane block function: one message in each 32-bit lane of a 512-bit register.
//
// Compiled with the AVX-512 flags, so nothing here may be shared with the rest of the program:
// no header with inline or template code of its own (a copy of it compiled here could be the one
// the linker keeps for every caller, and crash on a processor without AVX-512).

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

template <int S>
inline void StepF(V &a, V b, V c, V d, V x, u32 t)
{
    Step<TableF, S>(a, b, c, d, x, t);
}
template <int S>
inline void StepG(V &a, V b, V c, V d, V x, u32 t)
{
    Step<TableG, S>(a, b, c, d, x, t);
}
template <int S>
inline void StepH(V &a, V b, V c, V d, V x, u32 t)
{
    Step<TableH, S>(a, b, c, d, x, t);
}
template <int S>
inline void StepI(V &a, V b, V c, V d, V x, u32 t)
{
    Step<TableI, S>(a, b, c, d, x, t);
}

// Sixteen rows (one lane's block each) into sixteen columns (word w of every lane): four rounds
// of shuffles within registers. Measured against gathering each word from the sixteen blocks
// (vpgatherdd), the loads and shuffles digest 1.7 times as much here.
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

void Block(V &a, V &b, V &c, V &d, const V x[16])
{
    const V aa = a, bb = b, cc = c, dd = d;

    StepF<7>(a, b, c, d, x[0], 0xd76aa478);
    StepF<12>(d, a, b, c, x[1], 0xe8c7b756);
    StepF<17>(c, d, a, b, x[2], 0x242070db);
    StepF<22>(b, c, d, a, x[3], 0xc1bdceee);
    StepF<7>(a, b, c, d, x[4], 0xf57c0faf);
    StepF<12>(d, a, b, c, x[5], 0x4787c62a);
    StepF<17>(c, d, a, b, x[6], 0xa8304613);
    StepF<22>(b, c, d, a, x[7], 0xfd469501);
    StepF<7>(a, b, c, d, x[8], 0x698098d8);
    StepF<12>(d, a, b, c, x[9], 0x8b44f7af);
    StepF<17>(c, d, a, b, x[10], 0xffff5bb1);
    StepF<22>(b, c, d, a, x[11], 0x895cd7be);
    StepF<7>(a, b, c, d, x[12], 0x6b901122);
    StepF<12>(d, a, b, c, x[13], 0xfd987193);
    StepF<17>(c, d, a, b, x[14], 0xa679438e);
    StepF<22>(b, c, d, a, x[15], 0x49b40821);

    StepG<5>(a, b, c, d, x[1], 0xf61e2562);
    StepG<9>(d, a, b, c, x[6], 0xc040b340);
    StepG<14>(c, d, a, b, x[11], 0x265e5a51);
    StepG<20>(b, c, d, a, x[0], 0xe9b6c7aa);
    StepG<5>(a, b, c, d, x[5], 0xd62f105d);
    StepG<9>(d, a, b, c, x[10], 0x02441453);
    StepG<14>(c, d, a, b, x[15], 0xd8a1e681);
    StepG<20>(b, c, d, a, x[4], 0xe7d3fbc8);
    StepG<5>(a, b, c, d, x[9], 0x21e1cde6);
    StepG<9>(d, a, b, c, x[14], 0xc33707d6);
    StepG<14>(c, d, a, b, x[3], 0xf4d50d87);
    StepG<20>(b, c, d, a, x[8], 0x455a14ed);
    StepG<5>(a, b, c, d, x[13], 0xa9e3e905);
    StepG<9>(d, a, b, c, x[2], 0xfcefa3f8);
    StepG<14>(c, d, a, b, x[7], 0x676f02d9);
    StepG<20>(b, c, d, a, x[12], 0x8d2a4c8a);

    StepH<4>(a, b, c, d, x[5], 0xfffa3942);
    StepH<11>(d, a, b, c, x[8], 0x8771f681);
    StepH<16>(c, d, a, b, x[11], 0x6d9d6122);
    StepH<23>(b, c, d, a, x[14], 0xfde5380c);
    StepH<4>(a, b, c, d, x[1], 0xa4beea44);
    StepH<11>(d, a, b, c, x[4], 0x4bdecfa9);
    StepH<16>(c, d, a, b, x[7], 0xf6bb4b60);
    StepH<23>(b, c, d, a, x[10], 0xbebfbc70);
    StepH<4>(a, b, c, d, x[13], 0x289b7ec6);
    StepH<11>(d, a, b, c, x[0], 0xeaa127fa);
    StepH<16>(c, d, a, b, x[3], 0xd4ef3085);
    StepH<23>(b, c, d, a, x[6], 0x04881d05);
    StepH<4>(a, b, c, d, x[9], 0xd9d4d039);
    StepH<11>(d, a, b, c, x[12], 0xe6db99e5);
    StepH<16>(c, d, a, b, x[15], 0x1fa27cf8);
    StepH<23>(b, c, d, a, x[2], 0xc4ac5665);

    StepI<6>(a, b, c, d, x[0], 0xf4292244);
    StepI<10>(d, a, b, c, x[7], 0x432aff97);
    StepI<15>(c, d, a, b, x[14], 0xab9423a7);
    StepI<21>(b, c, d, a, x[5], 0xfc93a039);
    StepI<6>(a, b, c, d, x[12], 0x655b59c3);
    StepI<10>(d, a, b, c, x[3], 0x8f0ccc92);
    StepI<15>(c, d, a, b, x[10], 0xffeff47d);
    StepI<21>(b, c, d, a, x[1], 0x85845dd1);
    StepI<6>(a, b, c, d, x[8], 0x6fa87e4f);
    StepI<10>(d, a, b, c, x[15], 0xfe2ce6e0);
    StepI<15>(c, d, a, b, x[6], 0xa3014314);
    StepI<21>(b, c, d, a, x[13], 0x4e0811a1);
    StepI<6>(a, b, c, d, x[4], 0xf7537e82);
    StepI<10>(d, a, b, c, x[11], 0xbd3af235);
    StepI<15>(c, d, a, b, x[2], 0x2ad7d2bb);
    StepI<21>(b, c, d, a, x[9], 0xeb86d391);

    a = _mm512_add_epi32(a, aa);
    b = _mm512_add_epi32(b, bb);
    c = _mm512_add_epi32(c, cc);
    d = _mm512_add_epi32(d, dd);
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
        Block(a, b, c, d, x);
    }

    _mm512_storeu_si512(state, a);
    _mm512_storeu_si512(state + 16, b);
    _mm512_storeu_si512(state + 32, c);
    _mm512_storeu_si512(state + 48, d);
    for (int lane = 0; lane < 16; ++lane)
        next[lane] = from[lane];
}
