#include "AddCandidates.h"

#include "LocaleText.h"
#include "support.h"

#include <QDir>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

QString namePart(const QString &path)
{
    return path.mid(path.lastIndexOf(QDir::separator()) + 1);
}

} // namespace

int DropCandidatesInFolder(const TFolderNode &folder, QStringList &candidates)
{
    if (candidates.isEmpty() || folder.RecordCount() == 0)
        return 0;
    // The folder's names in the locale's order, each with its record's size: a candidate finds
    // every record of its name with one search, whatever the folder's size.
    std::vector<std::pair<QCollatorSortKey, qint64>> records;
    records.reserve(size_t(folder.RecordCount()));
    for (const auto &record : folder.Records())
        records.emplace_back(SortKeyLocale(record->FileName), record->Size);
    std::sort(records.begin(), records.end(),
              [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });

    const qsizetype before = candidates.size();
    candidates.removeIf([&records](const QString &candidate) {
        const QCollatorSortKey key = SortKeyLocale(namePart(candidate));
        auto first = std::lower_bound(
            records.begin(), records.end(), key,
            [](const auto &entry, const QCollatorSortKey &k) { return entry.first.compare(k) < 0; });
        if (first == records.end() || first->first.compare(key) != 0)
            return false;
        const qint64 size = FileSizeOf(candidate);
        for (auto it = first; it != records.end() && it->first.compare(key) == 0; ++it) {
            if (it->second == size)
                return true;
        }
        return false;
    });
    return int(before - candidates.size());
}

int DropMissingCandidates(QStringList &candidates)
{
    return int(candidates.removeIf([](const QString &candidate) { return FileSizeOf(candidate) < 0; }));
}
