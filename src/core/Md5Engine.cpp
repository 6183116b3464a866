#include "Md5Engine.h"

#include "Md5LaneKernels.h"

#include <bit>
#include <cstring>

namespace {

// Md5Update stages the caller's bytes through a stack buffer of this size.
constexpr std::size_t kPieceSize = 16384;

using u32 = std::uint32_t;

inline u32 LoadLittle(const std::uint8_t *p)
{
    if constexpr (std::endian::native == std::endian::little) {
        u32 word;
        std::memcpy(&word, p, sizeof word);
        return word;
    } else {
        return u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16 | u32(p[3]) << 24;
    }
}

inline void StoreLittle(std::uint8_t *p, u32 word)
{
    p[0] = std::uint8_t(word);
    p[1] = std::uint8_t(word >> 8);
    p[2] = std::uint8_t(word >> 16);
    p[3] = std::uint8_t(word >> 24);
}

// The four step kinds. Each step ends with a = b + rotl(a + f(b, c, d) + x + t, s); b is the
// result of the step just before, so everything that does not need b is added to a first and
// only the last operations of f wait for b. That chain of dependent steps sets the speed.

// F = (b & c) | (~b & d), written as a select of c and d by b.
template <int S>
inline void StepF(u32 &a, u32 b, u32 c, u32 d, u32 x, u32 t)
{
    a += x + t;
    a += d ^ (b & (c ^ d));
    a = std::rotl(a, S) + b;
}

// G = (b & d) | (c & ~d): the two halves never share a set bit, so they can be added one by
// one, and the half without b goes in early.
template <int S>
inline void StepG(u32 &a, u32 b, u32 c, u32 d, u32 x, u32 t)
{
    a += x + t + (c & ~d);
    a += b & d;
    a = std::rotl(a, S) + b;
}

// H = b ^ c ^ d.
template <int S>
inline void StepH(u32 &a, u32 b, u32 c, u32 d, u32 x, u32 t)
{
    a += x + t;
    a += b ^ (c ^ d);
    a = std::rotl(a, S) + b;
}

// I = c ^ (b | ~d).
template <int S>
inline void StepI(u32 &a, u32 b, u32 c, u32 d, u32 x, u32 t)
{
    a += x + t;
    a += c ^ (b | ~d);
    a = std::rotl(a, S) + b;
}

// Digests blockCount whole 64-byte blocks read straight from data (any alignment) into state.
void TransformBlocks(u32 state[4], const std::uint8_t *data, std::size_t blockCount)
{
    u32 a = state[0];
    u32 b = state[1];
    u32 c = state[2];
    u32 d = state[3];

    for (; blockCount > 0; --blockCount, data += 64) {
        u32 x[16];
        for (int i = 0; i < 16; ++i) {
            x[i] = LoadLittle(data + 4 * i);
        }
        const u32 aa = a, bb = b, cc = c, dd = d;

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

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }

    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

// One piece of at most kPieceSize bytes, already in the scratch buffer. Only a block begun
// by an earlier piece is completed in the context's buffer; whole blocks are digested where
// they lie, all in one TransformBlocks call so that A to D stay in registers between them.
void UpdatePiece(TMd5Context &context, const std::uint8_t *piece, std::size_t n)
{
    const std::size_t index = (context.count[0] >> 3) & 63;

    const u32 oldLow = context.count[0];
    context.count[0] += u32(n) << 3;
    if (context.count[0] < oldLow) {
        ++context.count[1];
    }
    context.count[1] += u32(n >> 29);

    if (index > 0 && n < 64 - index) {
        std::memcpy(context.buffer + index, piece, n);
        return;
    }

    std::size_t done = 0;
    if (index > 0) {
        done = 64 - index;
        std::memcpy(context.buffer + index, piece, done);
        TransformBlocks(context.state, context.buffer, 1);
    }
    const std::size_t wholeBlocks = (n - done) / 64;
    TransformBlocks(context.state, piece + done, wholeBlocks);
    done += wholeBlocks * 64;
    std::memcpy(context.buffer, piece + done, n - done);
}

} // namespace

void Md5Blocks1(std::uint32_t *state, const std::uint8_t **next, std::uint32_t moving, std::size_t blocks)
{
    if ((moving & 1) == 0)
        return;
    TransformBlocks(state, next[0], blocks);
    next[0] += 64 * blocks;
}

void Md5Init(TMd5Context &context)
{
    std::memset(&context, 0, sizeof context);
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
}

void Md5Update(TMd5Context &context, const void *bytes, std::size_t count)
{
    std::uint8_t scratch[kPieceSize];
    const auto *source = static_cast<const std::uint8_t *>(bytes);
    while (count > 0) {
        const std::size_t n = count < kPieceSize ? count : kPieceSize;
        std::memcpy(scratch, source, n);
        UpdatePiece(context, scratch, n);
        source += n;
        count -= n;
    }
}

void Md5Final(TMd5Context &context, std::uint8_t digest[16])
{
    const std::size_t index = (context.count[0] >> 3) & 63;
    context.buffer[index] = 0x80;
    const std::size_t rest = 63 - index;
    if (rest >= 8) {
        std::memset(context.buffer + index + 1, 0, rest - 8);
    } else {
        // No room for the bit count: pad this block out and put the count in one more.
        std::memset(context.buffer + index + 1, 0, rest);
        TransformBlocks(context.state, context.buffer, 1);
        std::memset(context.buffer, 0, 56);
    }
    StoreLittle(context.buffer + 56, context.count[0]);
    StoreLittle(context.buffer + 60, context.count[1]);
    TransformBlocks(context.state, context.buffer, 1);

    for (int i = 0; i < 4; ++i) {
        StoreLittle(digest + 4 * i, context.state[i]);
    }

    // Through a volatile pointer, so the wipe survives even where the context is never read
    // again and an optimiser would drop a plain memset as a dead store.
    auto *wipe = reinterpret_cast<volatile std::uint8_t *>(&context);
    for (std::size_t i = 0; i < sizeof context; ++i) {
        wipe[i] = 0;
    }
}
