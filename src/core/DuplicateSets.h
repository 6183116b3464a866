#pragma once

// Finding records with equal digests. "Check" looks at one folder, "Check all" at the whole
// catalog; both collect the records that carry a digest and group them into numbered sets.

#include "Catalog.h"

#include <functional>
#include <vector>

struct TDuplicateSet
{
    int Number = 0;                  // 1, 2, ... in the order the sets are met
    TMd5Text Digest;                 // the Md5 of the set's records
    std::vector<TFileDat *> Records; // at least two, in collection order
};

// Records of the folder's list that carry a digest, in list order.
std::vector<TFileDat *> CollectDuplicateCandidates(const TFolderNode *folder);

// Records of every folder that carry a digest, folders in pre-order. The callback hears the
// pre-order position of every fifth folder, for progress.
std::vector<TFileDat *> CollectAllDuplicateCandidates(const TCatalog &catalog,
                                                      const std::function<void(int position)> &progress = {});

// Groups candidates whose digests are equal as texts (exactly, letter case counts). Sets come
// in the order of their first record, records in candidate order: the result of comparing
// every pair in order, found by grouping on the digest instead. The callback hears the position
// of every fifth candidate as the grouping passes it, for progress; it may let events run, but
// nothing it runs may take a candidate out of the catalog.
std::vector<TDuplicateSet> FindDuplicateSets(const std::vector<TFileDat *> &candidates,
                                             const std::function<void(int position)> &progress = {});
