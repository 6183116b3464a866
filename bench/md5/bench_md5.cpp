// Throughput of the MD5 engine against OpenSSL's MD5 over the same bytes in memory, both fed
// in the blocks of 31,744 bytes that the digest worker reads from a file; then the multi-lane
// engine on one core at every level this processor has: 16 and 8 messages of equal length, and
// messages of mixed lengths (1 KiB to 1 MiB), each message fed in the same blocks.
//
//   bench-md5 [MiB]   (default 512)
//
// Times are the processor time of this thread, so other processes on the machine move the
// figures little. Prints every round, the median throughputs (MB = 10^6 bytes), each multi-lane
// figure as a ratio to the single-stream engine and to OpenSSL, and, last,
// "ratio <engine/openssl>".

#include "BenchMedian.h"
#include "Md5Engine.h"
#include "Md5Lanes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <openssl/evp.h>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kBlockSize = 31744;
constexpr int kRounds = 3;

using Digest = std::array<std::uint8_t, 16>;
using Message = std::span<const std::uint8_t>;

std::string Hex(const Digest &digest)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// splitmix64: fast, and its output gives MD5 no easy pattern to profit from.
void FillPseudoRandom(std::vector<std::uint8_t> &data)
{
    std::uint64_t seed = 0x243f6a8885a308d3ULL;
    for (std::size_t i = 0; i + 8 <= data.size(); i += 8) {
        std::uint64_t z = (seed += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        z ^= z >> 31;
        for (int k = 0; k < 8; ++k) {
            data[i + k] = std::uint8_t(z >> (8 * k));
        }
    }
}

Digest DigestWithEngine(const std::vector<std::uint8_t> &data)
{
    TMd5Context context;
    Md5Init(context);
    for (std::size_t offset = 0; offset < data.size(); offset += kBlockSize) {
        Md5Update(context, data.data() + offset, std::min(kBlockSize, data.size() - offset));
    }
    Digest digest;
    Md5Final(context, digest.data());
    return digest;
}

Digest DigestWithOpenSsl(const std::vector<std::uint8_t> &data)
{
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    bool ok = context != nullptr && EVP_DigestInit_ex(context, EVP_md5(), nullptr) == 1;
    for (std::size_t offset = 0; ok && offset < data.size(); offset += kBlockSize) {
        ok = EVP_DigestUpdate(context, data.data() + offset, std::min(kBlockSize, data.size() - offset)) == 1;
    }
    Digest digest{};
    unsigned int length = 0;
    ok = ok && EVP_DigestFinal_ex(context, digest.data(), &length) == 1 && length == digest.size();
    EVP_MD_CTX_free(context);
    if (!ok) {
        std::fprintf(stderr, "OpenSSL MD5 failed\n");
        std::exit(1);
    }
    return digest;
}

// Processor time of this thread: one core's work, whatever else runs on the machine.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Runs one digest and returns its throughput in MB/s.
template <typename DigestFunction>
double Measure(DigestFunction digestFunction, const std::vector<std::uint8_t> &data, Digest &digest)
{
    const double start = ThreadSeconds();
    digest = digestFunction(data);
    return double(data.size()) / 1e6 / (ThreadSeconds() - start);
}

Digest DigestMessage(Message message)
{
    TMd5Context context;
    Md5Init(context);
    for (std::size_t offset = 0; offset < message.size(); offset += kBlockSize) {
        Md5Update(context, message.data() + offset, std::min(kBlockSize, message.size() - offset));
    }
    Digest digest;
    Md5Final(context, digest.data());
    return digest;
}

// The messages through the lanes as the batch digester feeds them: each lane takes the next
// message when its own is done, and every piece is one block (the last one shorter).
std::vector<Digest> DigestInLanes(TMd5Level level, const std::vector<Message> &messages)
{
    TMd5Lanes lanes(level);
    std::vector<Digest> digests(messages.size());
    std::vector<std::size_t> current(std::size_t(lanes.LaneCount())), offset(current.size());
    std::size_t next = 0;
    const auto feed = [&](int lane) {
        const Message message = messages[current[lane]];
        const std::size_t piece = std::min(kBlockSize, message.size() - offset[lane]);
        const std::uint8_t *from = message.data() + offset[lane];
        offset[lane] += piece;
        if (offset[lane] == message.size())
            lanes.FeedLast(lane, from, piece);
        else
            lanes.Feed(lane, from, piece);
    };
    const auto beginNext = [&](int lane) {
        if (next == messages.size())
            return;
        current[lane] = next++;
        offset[lane] = 0;
        lanes.Begin(lane);
        feed(lane);
    };
    for (int lane = 0; lane < lanes.LaneCount(); ++lane)
        beginNext(lane);
    while (const std::uint32_t waiting = lanes.Run()) {
        for (int lane = 0; lane < lanes.LaneCount(); ++lane) {
            if ((waiting >> lane & 1) == 0)
                continue;
            if (lanes.State(lane) == TMd5Lanes::TLaneState::Finished) {
                lanes.TakeDigest(lane, digests[current[lane]].data());
                beginNext(lane);
            } else {
                feed(lane);
            }
        }
    }
    return digests;
}

std::size_t TotalSize(const std::vector<Message> &messages)
{
    std::size_t total = 0;
    for (const Message &message : messages)
        total += message.size();
    return total;
}

// One set of messages at every level, rounds alternating between the levels; returns false when
// a digest differs from the single-stream engine's.
bool CompareLevels(const char *title, const std::vector<Message> &messages, double engineMedian,
                   double opensslMedian)
{
    std::vector<Digest> expected;
    for (const Message &message : messages)
        expected.push_back(DigestMessage(message));
    const std::vector<TMd5Level> levels = Md5SupportedLevels();
    std::vector<std::vector<double>> rates(levels.size());
    for (int round = 1; round <= kRounds; ++round) {
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const double start = ThreadSeconds();
            const std::vector<Digest> digests = DigestInLanes(levels[i], messages);
            const double elapsed = ThreadSeconds() - start;
            if (digests != expected) {
                std::printf("%s: digests at level %s differ from the engine's\n", title,
                            Md5LevelName(levels[i]));
                return false;
            }
            rates[i].push_back(double(TotalSize(messages)) / 1e6 / elapsed);
        }
    }
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const double median = Median(rates[i]);
        std::printf("%-34s %-6s median %8.1f MB/s   x%.2f engine   x%.2f openssl\n", title,
                    Md5LevelName(levels[i]), median, median / engineMedian, median / opensslMedian);
    }
    return true;
}

// count messages of equal length that share the data between them. Each starts one cache line
// further into its sixteenth than the one before: at a power of two apart, the lanes' blocks
// would all fall into the same few cache sets and evict each other, which no reader's buffers do.
std::vector<Message> EqualMessages(const std::vector<std::uint8_t> &data, std::size_t count)
{
    std::vector<Message> messages;
    const std::size_t sixteenth = data.size() / 16;
    const std::size_t length = sixteenth - 16 * 64;
    for (std::size_t i = 0; i < count; ++i)
        messages.emplace_back(data.data() + i * (sixteenth + 64), length);
    return messages;
}

// Lengths from 1 KiB to 1 MiB, spread evenly on a logarithmic scale, that together cover the
// data once; each message starts at an odd place of it.
std::vector<Message> MixedMessages(const std::vector<std::uint8_t> &data)
{
    std::vector<Message> messages;
    std::uint64_t random = 0x9e3779b97f4a7c15ULL;
    for (std::size_t offset = 0;;) {
        random = random * 6364136223846793005ULL + 1442695040888963407ULL;
        const double share = double(random >> 11) / double(1ULL << 53);
        const auto length = std::size_t(1024.0 * std::pow(1024.0, share));
        if (offset + length > data.size())
            break;
        messages.emplace_back(data.data() + offset, length);
        offset += length;
    }
    return messages;
}

} // namespace

int main(int argc, char **argv)
{
    const long mebibytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 512;
    if (mebibytes <= 0) {
        std::fprintf(stderr, "usage: bench-md5 [MiB]\n");
        return 2;
    }
    std::vector<std::uint8_t> data(std::size_t(mebibytes) << 20);
    FillPseudoRandom(data);
    std::printf("%zu bytes of pseudo-random data, fed in blocks of %zu bytes\n", data.size(), kBlockSize);

    std::vector<double> engine, openssl;
    for (int round = 1; round <= kRounds; ++round) {
        Digest ours, theirs;
        engine.push_back(Measure(DigestWithEngine, data, ours));
        openssl.push_back(Measure(DigestWithOpenSsl, data, theirs));
        std::printf("round %d: engine %8.1f MB/s   openssl %8.1f MB/s   %s\n", round, engine.back(),
                    openssl.back(), Hex(ours).c_str());
        if (ours != theirs) {
            std::printf("digests differ: engine %s, openssl %s\n", Hex(ours).c_str(), Hex(theirs).c_str());
            return 1;
        }
    }

    const double engineMedian = Median(engine);
    const double opensslMedian = Median(openssl);
    std::printf("engine  median %8.1f MB/s\n", engineMedian);
    std::printf("openssl median %8.1f MB/s\n", opensslMedian);

    std::printf("multi-lane engine on one core, levels:");
    for (TMd5Level level : Md5SupportedLevels())
        std::printf(" %s", Md5LevelName(level));
    std::printf("\n");
    const std::vector<Message> mixed = MixedMessages(data);
    char mixedTitle[64];
    std::snprintf(mixedTitle, sizeof mixedTitle, "%zu messages of 1 KiB to 1 MiB", mixed.size());
    if (!CompareLevels("16 messages", EqualMessages(data, 16), engineMedian, opensslMedian) ||
        !CompareLevels("8 messages", EqualMessages(data, 8), engineMedian, opensslMedian) ||
        !CompareLevels(mixedTitle, mixed, engineMedian, opensslMedian))
        return 1;

    std::printf("ratio %.2f\n", engineMedian / opensslMedian);
    return 0;
}
