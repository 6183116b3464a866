#pragma once

// The MD5 message digest (RFC 1321) over a stream of bytes fed in pieces. Its user is the
// digest worker, which feeds one file block by block; the result must agree bit for bit with
// every other MD5 program, because users compare and search digests made elsewhere.
//
// A context is a plain value owned by its caller and holds nothing shared, so digests on
// different contexts may run on different threads at once. One context serves one digest:
// Md5Init, any number of Md5Update, one Md5Final; the next digest starts with Md5Init again.

#include <cstddef>
#include <cstdint>

// The running state of one digest.
struct TMd5Context
{
    std::uint32_t state[4];  // chaining values A, B, C, D
    std::uint32_t count[2];  // message bits fed so far, modulo 2^64; low word first
    std::uint8_t buffer[64]; // bytes of the current, not yet complete 64-byte block
};

// Zeroes the whole context, then sets A, B, C, D to their initial values.
void Md5Init(TMd5Context &context);

// Feeds count bytes; a count of 0 changes nothing. Takes the bytes in pieces of at most
// 16,384 through a scratch buffer on the stack that is gone when the call returns; nothing
// is allocated. Whole 64-byte blocks are digested at once, the rest waits in the context.
void Md5Update(TMd5Context &context, const void *bytes, std::size_t count);

// Pads the message, writes the 16 digest bytes (A, B, C, D, least significant byte first) to
// digest, then zeroes the whole context so that it keeps nothing of the message.
void Md5Final(TMd5Context &context, std::uint8_t digest[16]);
