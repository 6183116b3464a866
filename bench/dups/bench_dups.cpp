// Times "Check all" without its window: collecting the candidates of a whole catalog and grouping
// them into duplicate sets, on a generated catalog of digested records of which a tenth repeat an
// earlier digest (in another folder or the same one, at random).
//
//   bench-dups [records] [folders]   (default 1000000 1000)
//
// Prints every round and, last, "seconds <median of the rounds>".

#include "BenchMedian.h"
#include "DuplicateSets.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int Rounds = 5;

QString randomDigest(QRandomGenerator &random)
{
    static const char digits[] = "0123456789abcdef";
    QString text(32, Qt::Uninitialized);
    for (int i = 0; i < 32; i += 8) {
        quint32 bits = random.generate();
        for (int j = 0; j < 8; ++j, bits >>= 4)
            text[i + j] = QLatin1Char(digits[bits & 15]);
    }
    return text;
}

// Returns the number of records that repeat an earlier digest.
qint64 generate(TCatalog &catalog, int records, int folders, quint32 seed)
{
    QRandomGenerator random(seed);
    std::vector<QString> digests;
    digests.reserve(size_t(records));
    qint64 repeats = 0;
    for (int i = 0; i < records; ++i) {
        if (!digests.empty() && random.bounded(10) == 0) {
            digests.push_back(digests[size_t(random.bounded(int(digests.size())))]);
            ++repeats;
        } else {
            digests.push_back(randomDigest(random));
        }
    }
    std::vector<TFolderNode *> made;
    for (int f = 0; f < folders; ++f) {
        TFolderNode *parent = f < 10 ? nullptr : made[size_t(random.bounded(f))];
        made.push_back(catalog.AddFolder(parent, QStringLiteral("Folder %1").arg(f)));
    }
    size_t next = 0;
    for (int f = 0; f < folders; ++f) {
        const int count = records / folders + (f < records % folders ? 1 : 0);
        std::vector<std::unique_ptr<TFileDat>> list;
        list.reserve(size_t(count));
        for (int r = 0; r < count; ++r) {
            auto record = std::make_unique<TFileDat>();
            record->FileName = QStringLiteral("file %1.bin").arg(next);
            record->Size = random.bounded(1 << 20);
            record->RealPath = QStringLiteral("/data/%1/").arg(f);
            record->Md5 = digests[next++];
            record->State = fsDigested;
            list.push_back(std::move(record));
        }
        catalog.AppendRecords(made[size_t(f)], std::move(list));
    }
    return repeats;
}

} // namespace

int main(int argc, char **argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (records <= 0 || folders <= 0) {
        std::fprintf(stderr, "usage: bench-dups [records] [folders]\n");
        return 2;
    }
    TCatalog catalog;
    const qint64 repeats = generate(catalog, records, folders, 20080315);
    std::printf("%d digested records in %d folders, %lld repeating an earlier digest\n", records, folders,
                static_cast<long long>(repeats));

    std::vector<double> seconds;
    for (int round = 1; round <= Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const std::vector<TFileDat *> candidates = CollectAllDuplicateCandidates(catalog);
        const std::vector<TDuplicateSet> sets = FindDuplicateSets(candidates);
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        qint64 inSets = 0;
        for (const TDuplicateSet &set : sets)
            inSets += qint64(set.Records.size());
        std::printf("round %d: %.3f s, %zu candidates, %zu sets holding %lld records\n", round,
                    seconds.back(), candidates.size(), sets.size(), static_cast<long long>(inSets));
        std::fflush(stdout);
        // Every repeat joins a set, and every set has exactly one record that is no repeat.
        if (inSets - qint64(sets.size()) != repeats) {
            std::printf("wrong sets: %lld records in %zu sets for %lld repeats\n",
                        static_cast<long long>(inSets), sets.size(), static_cast<long long>(repeats));
            return 1;
        }
    }
    std::printf("seconds %.3f\n", Median(seconds));
    return 0;
}
