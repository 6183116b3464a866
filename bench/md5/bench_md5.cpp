// Throughput of the MD5 engine against OpenSSL's MD5 over the same bytes in memory, both fed
// in the blocks of 31,744 bytes that the digest worker reads from a file.
//
//   bench-md5 [MiB]   (default 512)
//
// Prints every round, both median throughputs (MB = 10^6 bytes) and, last, "ratio <engine/openssl>".

#include "BenchMedian.h"
#include "Md5Engine.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <openssl/evp.h>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kBlockSize = 31744;
constexpr int kRounds = 3;

using Digest = std::array<std::uint8_t, 16>;

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

// Runs one digest and returns its throughput in MB/s.
template <typename DigestFunction>
double Measure(DigestFunction digestFunction, const std::vector<std::uint8_t> &data, Digest &digest)
{
    const auto start = std::chrono::steady_clock::now();
    digest = digestFunction(data);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return double(data.size()) / 1e6 / elapsed.count();
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
    std::printf("ratio %.2f\n", engineMedian / opensslMedian);
    return 0;
}
