// The 8-lane block function: one message in each 32-bit lane of a 256-bit register.
//
// Compiled with -mavx2, so nothing here may be shared with the rest of the program: what
// it includes of ours (Md5LaneBlock.h) has internal linkage, and no header with inline code of
// its own is included (a copy of that code compiled here could be the one the linker keeps for
// every caller, and crash on a processor without AVX2).

#include "Md5LaneBlock.h"
#include "Md5LaneKernels.h"

#include <immintrin.h>

namespace {

using u32 = std::uint32_t;
using V = __m256i;

struct TSteps
{
    static V Add(V a, V b) { return _mm256_add_epi32(a, b); }

    // AVX2 has no rotation: two shifts and an or.
    template <int S>
    static V Rotl(V a)
    {
        return _mm256_or_si256(_mm256_slli_epi32(a, S), _mm256_srli_epi32(a, 32 - S));
    }

    // As in the single-stream engine, everything that does not need b is added to a first, so only
    // the last operations of f, the rotation and one addition wait for the step before.

    // F = d ^ (b & (c ^ d)).
    template <int S>
    static void F(V &a, V b, V c, V d, V x, u32 t)
    {
        a = Add(a, Add(x, _mm256_set1_epi32(int(t))));
        a = Add(a, _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d))));
        a = Add(Rotl<S>(a), b);
    }

    // G = (b & d) | (c & ~d): the halves share no bit, so they are added one by one.
    template <int S>
    static void G(V &a, V b, V c, V d, V x, u32 t)
    {
        a = Add(a, Add(Add(x, _mm256_set1_epi32(int(t))), _mm256_andnot_si256(d, c)));
        a = Add(a, _mm256_and_si256(b, d));
        a = Add(Rotl<S>(a), b);
    }

    // H = b ^ c ^ d.
    template <int S>
    static void H(V &a, V b, V c, V d, V x, u32 t)
    {
        a = Add(a, Add(x, _mm256_set1_epi32(int(t))));
        a = Add(a, _mm256_xor_si256(b, _mm256_xor_si256(c, d)));
        a = Add(Rotl<S>(a), b);
    }

    // I = c ^ (b | ~d).
    template <int S>
    static void I(V &a, V b, V c, V d, V x, u32 t)
    {
        a = Add(a, Add(x, _mm256_set1_epi32(int(t))));
        a = Add(a, _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1)))));
        a = Add(Rotl<S>(a), b);
    }
};

// Eight rows (half a block of each lane) into eight columns (one word of every lane). Loads and
// shuffles digest 1.6 times as much as gathering each word with vpgatherdd.
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
        Md5LaneBlock<TSteps>(a, b, c, d, x);
    }

    _mm256_storeu_si256(words, a);
    _mm256_storeu_si256(words + 1, b);
    _mm256_storeu_si256(words + 2, c);
    _mm256_storeu_si256(words + 3, d);
    for (int lane = 0; lane < 8; ++lane)
        next[lane] = from[lane];
}
