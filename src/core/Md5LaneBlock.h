#pragma once

// The 64 steps of one MD5 block in every lane at once, for the lane block functions: Steps
// gives the step of each round over their vector type V, as static member templates F, G, H and
// I<s>(a, b, c, d, x, t) (a = b + rotl(a + f(b, c, d) + x + t, s)), and Add(V, V).
//
// Included only by the block functions, each compiled for its own instruction set. Everything
// here has internal linkage, so a copy compiled for one set never stands in for another's.

#include <cstdint>

namespace {

template <class Steps, class V>
inline void Md5LaneBlock(V &a, V &b, V &c, V &d, const V x[16])
{
    const V aa = a, bb = b, cc = c, dd = d;

    Steps::template F<7>(a, b, c, d, x[0], 0xd76aa478);
    Steps::template F<12>(d, a, b, c, x[1], 0xe8c7b756);
    Steps::template F<17>(c, d, a, b, x[2], 0x242070db);
    Steps::template F<22>(b, c, d, a, x[3], 0xc1bdceee);
    Steps::template F<7>(a, b, c, d, x[4], 0xf57c0faf);
    Steps::template F<12>(d, a, b, c, x[5], 0x4787c62a);
    Steps::template F<17>(c, d, a, b, x[6], 0xa8304613);
    Steps::template F<22>(b, c, d, a, x[7], 0xfd469501);
    Steps::template F<7>(a, b, c, d, x[8], 0x698098d8);
    Steps::template F<12>(d, a, b, c, x[9], 0x8b44f7af);
    Steps::template F<17>(c, d, a, b, x[10], 0xffff5bb1);
    Steps::template F<22>(b, c, d, a, x[11], 0x895cd7be);
    Steps::template F<7>(a, b, c, d, x[12], 0x6b901122);
    Steps::template F<12>(d, a, b, c, x[13], 0xfd987193);
    Steps::template F<17>(c, d, a, b, x[14], 0xa679438e);
    Steps::template F<22>(b, c, d, a, x[15], 0x49b40821);

    Steps::template G<5>(a, b, c, d, x[1], 0xf61e2562);
    Steps::template G<9>(d, a, b, c, x[6], 0xc040b340);
    Steps::template G<14>(c, d, a, b, x[11], 0x265e5a51);
    Steps::template G<20>(b, c, d, a, x[0], 0xe9b6c7aa);
    Steps::template G<5>(a, b, c, d, x[5], 0xd62f105d);
    Steps::template G<9>(d, a, b, c, x[10], 0x02441453);
    Steps::template G<14>(c, d, a, b, x[15], 0xd8a1e681);
    Steps::template G<20>(b, c, d, a, x[4], 0xe7d3fbc8);
    Steps::template G<5>(a, b, c, d, x[9], 0x21e1cde6);
    Steps::template G<9>(d, a, b, c, x[14], 0xc33707d6);
    Steps::template G<14>(c, d, a, b, x[3], 0xf4d50d87);
    Steps::template G<20>(b, c, d, a, x[8], 0x455a14ed);
    Steps::template G<5>(a, b, c, d, x[13], 0xa9e3e905);
    Steps::template G<9>(d, a, b, c, x[2], 0xfcefa3f8);
    Steps::template G<14>(c, d, a, b, x[7], 0x676f02d9);
    Steps::template G<20>(b, c, d, a, x[12], 0x8d2a4c8a);

    Steps::template H<4>(a, b, c, d, x[5], 0xfffa3942);
    Steps::template H<11>(d, a, b, c, x[8], 0x8771f681);
    Steps::template H<16>(c, d, a, b, x[11], 0x6d9d6122);
    Steps::template H<23>(b, c, d, a, x[14], 0xfde5380c);
    Steps::template H<4>(a, b, c, d, x[1], 0xa4beea44);
    Steps::template H<11>(d, a, b, c, x[4], 0x4bdecfa9);
    Steps::template H<16>(c, d, a, b, x[7], 0xf6bb4b60);
    Steps::template H<23>(b, c, d, a, x[10], 0xbebfbc70);
    Steps::template H<4>(a, b, c, d, x[13], 0x289b7ec6);
    Steps::template H<11>(d, a, b, c, x[0], 0xeaa127fa);
    Steps::template H<16>(c, d, a, b, x[3], 0xd4ef3085);
    Steps::template H<23>(b, c, d, a, x[6], 0x04881d05);
    Steps::template H<4>(a, b, c, d, x[9], 0xd9d4d039);
    Steps::template H<11>(d, a, b, c, x[12], 0xe6db99e5);
    Steps::template H<16>(c, d, a, b, x[15], 0x1fa27cf8);
    Steps::template H<23>(b, c, d, a, x[2], 0xc4ac5665);

    Steps::template I<6>(a, b, c, d, x[0], 0xf4292244);
    Steps::template I<10>(d, a, b, c, x[7], 0x432aff97);
    Steps::template I<15>(c, d, a, b, x[14], 0xab9423a7);
    Steps::template I<21>(b, c, d, a, x[5], 0xfc93a039);
    Steps::template I<6>(a, b, c, d, x[12], 0x655b59c3);
    Steps::template I<10>(d, a, b, c, x[3], 0x8f0ccc92);
    Steps::template I<15>(c, d, a, b, x[10], 0xffeff47d);
    Steps::template I<21>(b, c, d, a, x[1], 0x85845dd1);
    Steps::template I<6>(a, b, c, d, x[8], 0x6fa87e4f);
    Steps::template I<10>(d, a, b, c, x[15], 0xfe2ce6e0);
    Steps::template I<15>(c, d, a, b, x[6], 0xa3014314);
    Steps::template I<21>(b, c, d, a, x[13], 0x4e0811a1);
    Steps::template I<6>(a, b, c, d, x[4], 0xf7537e82);
    Steps::template I<10>(d, a, b, c, x[11], 0xbd3af235);
    Steps::template I<15>(c, d, a, b, x[2], 0x2ad7d2bb);
    Steps::template I<21>(b, c, d, a, x[9], 0xeb86d391);

    a = Steps::Add(a, aa);
    b = Steps::Add(b, bb);
    c = Steps::Add(c, cc);
    d = Steps::Add(d, dd);
}

} // namespace
