// The 8-lane block function: one message in each 32-bit lane of a 256-bit register.
//
// Compiled with -mavx2, so nothing here may be shared with the rest of the program: no header
// with inline or template code of its own (a copy of it compiled here could be the one the
// linker keeps for every caller, and crash on a processor without AVX2).

#include "Md5LaneKernels.h"

#include <immintrin.h>

namespace {

using u32 = std::uint32_t;
using V = __m256i;

inline V Add(V a, V b)
{
    return _mm256_add_epi32(a, b);
}

// AVX2 has no rotation: two shifts and an or.
template <int S>
inline V Rotl(V a)
{
    return _mm256_or_si256(_mm256_slli_epi32(a, S), _mm256_srli_epi32(a, 32 - S));
}

// As in the single-stream engine, everything that does not need b is added to a first, so only
// the last operations of f, the rotation and one addition wait for the step before.

// F = d ^ (b & (c ^ d)).
template <int S>
inline void StepF(V &a, V b, V c, V d, V x, u32 t)
{
    a = Add(a, Add(x, _mm256_set1_epi32(int(t))));
    a = Add(a, _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d))));
    a = Add(Rotl<S>(a), b);
}

// G = (b & d) | (c & ~d): the halves share no bit, so they are added one by one.
template <int S>
inline void StepG(V &a, V b, V c, V d, V x, u32 t)
{
    a = Add(a, Add(Add(x, _mm256_set1_epi32(int(t))), _mm256_andnot_si256(d, c)));
    a = Add(a, _mm256_and_si256(b, d));
    a = Add(Rotl<S>(a), b);
}

// H = b ^ c ^ d.
template <int S>
inline void StepH(V &a, V b, V c, V d, V x, u32 t)
{
    a = Add(a, Add(x, _mm256_set1_epi32(int(t))));
    a = Add(a, _mm256_xor_si256(b, _mm256_xor_si256(c, d)));
    a = Add(Rotl<S>(a), b);
}

// I = c ^ (b | ~d).
template <int S>
inline void StepI(V &a, V b, V c, V d, V x, u32 t)
{
    a = Add(a, Add(x, _mm256_set1_epi32(int(t))));
    a = Add(a, _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1)))));
    a = Add(Rotl<S>(a), b);
}

// Eight rows (half a block of each lane) into eight columns (one word of every lane). Loads and
// shuffles digest more here than gathering each word with vpgatherdd.
inline void Transpose(V r[8])
{
    V t[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
        t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
    }
    V u[8];
    for (int i = 0; i < 8; i += 4) {
        u[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
        u[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
        u[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
        u[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
    // Now 128-bit half h of u[4g + j] holds word 4h + j of rows 4g to 4g + 3.
    for (int j = 0; j < 4; ++j) {
        r[j] = _mm256_permute2x128_si256(u[j], u[j + 4], 0x20);
        r[j + 4] = _mm256_permute2x128_si256(u[j], u[j + 4], 0x31);
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

    a = Add(a, aa);
    b = Add(b, bb);
    c = Add(c, cc);
    d = Add(d, dd);
}

} // namespace

void Md5Blocks8(std::uint32_t *state, const std::uint8_t **next, std::uint32_t moving, std::size_t blocks)
{
    auto *words = reinterpret_cast<V *>(state);
    V a = _mm256_loadu_si256(words);
    V b = _mm256_loadu_si256(words + 1);
    V c = _mm256_loadu_si256(words + 2);
    V d = _mm256_loadu_si256(words + 3);

    const std::uint8_t *from[8];
    std::size_t step[8];
    for (int lane = 0; lane < 8; ++lane) {
        from[lane] = next[lane];
        step[lane] = (moving >> lane & 1) ? 64 : 0;
    }
    for (std::size_t block = 0; block < blocks; ++block) {
        V x[16];
        for (int lane = 0; lane < 8; ++lane) {
            x[lane] = _mm256_loadu_si256(reinterpret_cast<const V *>(from[lane]));
            x[lane + 8] = _mm256_loadu_si256(reinterpret_cast<const V *>(from[lane] + 32));
            from[lane] += step[lane];
        }
        Transpose(x);
        Transpose(x + 8);
        Block(a, b, c, d, x);
    }

    _mm256_storeu_si256(words, a);
    _mm256_storeu_si256(words + 1, b);
    _mm256_storeu_si256(words + 2, c);
    _mm256_storeu_si256(words + 3, d);
    for (int lane = 0; lane < 8; ++lane)
        next[lane] = from[lane];
}
