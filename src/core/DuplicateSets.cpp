#include "DuplicateSets.h"

#include <unordered_map>

std::vector<TFileDat *> CollectDuplicateCandidates(const TFolderNode *folder)
{
    std::vector<TFileDat *> candidates;
    if (!folder)
        return candidates;
    for (const auto &record : folder->Records()) {
        if (!record->Md5.isEmpty())
            candidates.push_back(record.get());
    }
    return candidates;
}

std::vector<TFileDat *> CollectAllDuplicateCandidates(const TCatalog &catalog,
                                                      const std::function<void(int position)> &progress)
{
    std::vector<TFileDat *> candidates;
    int position = 0;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        if (progress && position % 5 == 0)
            progress(position);
        ++position;
        for (const auto &record : folder->Records()) {
            if (!record->Md5.isEmpty())
                candidates.push_back(record.get());
        }
    });
    return candidates;
}

std::vector<TDuplicateSet> FindDuplicateSets(const std::vector<TFileDat *> &candidates,
                                             const std::function<void(int position)> &progress)
{
    // Buckets by the digest's hash, and within a bucket by the digest, so equal hashes of
    // different digests stay apart. Group numbers follow the first record of each digest.
    std::unordered_map<size_t, int> firstGroupOfHash;
    firstGroupOfHash.reserve(candidates.size());
    std::vector<int> nextGroupOfHash; // chains groups whose digests share a hash
    std::vector<size_t> firstCandidate;
    std::vector<int> memberCount;
    std::vector<int> groupOf(candidates.size());

    for (size_t i = 0; i < candidates.size(); ++i) {
        const TMd5Text &digest = candidates[i]->Md5;
        auto [slot, isNewHash] = firstGroupOfHash.try_emplace(digest.Hash(), int(firstCandidate.size()));
        int group = isNewHash ? -1 : slot->second;
        int last = -1;
        while (group >= 0 && candidates[firstCandidate[size_t(group)]]->Md5 != digest) {
            last = group;
            group = nextGroupOfHash[size_t(group)];
        }
        if (group < 0) {
            group = int(firstCandidate.size());
            firstCandidate.push_back(i);
            memberCount.push_back(0);
            nextGroupOfHash.push_back(-1);
            if (last >= 0)
                nextGroupOfHash[size_t(last)] = group;
        }
        ++memberCount[size_t(group)];
        groupOf[i] = group;
        if (progress && i % 5 == 0)
            progress(int(i));
    }

    std::vector<TDuplicateSet> sets;
    std::vector<int> setOfGroup(firstCandidate.size(), -1);
    for (size_t group = 0; group < firstCandidate.size(); ++group) {
        if (memberCount[group] < 2)
            continue;
        setOfGroup[group] = int(sets.size());
        TDuplicateSet set;
        set.Number = int(sets.size()) + 1;
        set.Digest = candidates[firstCandidate[group]]->Md5;
        set.Records.reserve(size_t(memberCount[group]));
        sets.push_back(std::move(set));
    }
    for (size_t i = 0; i < candidates.size(); ++i) {
        const int set = setOfGroup[size_t(groupOf[i])];
        if (set >= 0)
            sets[size_t(set)].Records.push_back(candidates[i]);
    }
    return sets;
}
