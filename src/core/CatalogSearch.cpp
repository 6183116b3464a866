#include "CatalogSearch.h"

#include "Catalog.h"

namespace {

// Records (and folders) between two looks at the clock: a look costs about as much as matching
// one name, and a few hundred names take well under a millisecond.
constexpr int ClockInterval = 256;

} // namespace

TCatalogSearch::TCatalogSearch(const TCatalog &catalog, TNameMatcher matcher, const TFolderNode *topOrNone)
    : m_matcher(std::move(matcher))
{
    if (m_matcher.PicksNothing())
        return;
    if (topOrNone) {
        enter(topOrNone);
    } else {
        m_pending.emplace_back(&catalog.RootFolders(), 0);
        nextFolder();
    }
}

void TCatalogSearch::enter(const TFolderNode *folder)
{
    m_folder = folder;
    m_record = 0;
    // Its sub-folders come next, after its own records: the order of a save.
    if (!folder->SubFolders().empty())
        m_pending.emplace_back(&folder->SubFolders(), 0);
}

void TCatalogSearch::nextFolder()
{
    m_folder = nullptr;
    while (!m_pending.empty()) {
        auto &[siblings, next] = m_pending.back();
        if (next == siblings->size()) {
            m_pending.pop_back();
            continue;
        }
        enter((*siblings)[next++].get());
        return;
    }
}

bool TCatalogSearch::Continue(std::vector<TFileDat *> &found, QDeadlineTimer deadline, size_t maxFinds)
{
    size_t finds = 0;
    int untilClock = ClockInterval;
    while (m_folder) {
        const int count = m_folder->RecordCount();
        while (m_record < count) {
            TFileDat *record = m_folder->Record(m_record++);
            if (m_matcher.Matches(record->FileName)) {
                found.push_back(record);
                if (++finds >= maxFinds)
                    return false;
            }
            if (--untilClock == 0) {
                untilClock = ClockInterval;
                if (deadline.hasExpired())
                    return false;
            }
        }
        nextFolder();
        if (--untilClock <= 0) {
            untilClock = ClockInterval;
            if (deadline.hasExpired())
                return Done();
        }
    }
    return true;
}
