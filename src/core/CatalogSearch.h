#pragma once

// A search of the catalog's records by name, in catalog order (a folder's records in list
// order, then its sub-folders, as a save writes them), that runs in steps: each step goes on
// where the last one stopped and ends at a deadline or after a number of finds, so a window can
// show the first results at once and drop a search the moment its pattern changes.
//
// The search holds plain pointers into the catalog: while it runs, no folder may be added,
// removed or moved and no record removed or moved (a modal window guarantees that). Records may
// change their fields meanwhile. One thread at a time.

#include "FolderNode.h"
#include "NameMatch.h"

#include <QDeadlineTimer>
#include <vector>

class TCatalog;

class TCatalogSearch
{
public:
    // The whole catalog, or only `topOrNone` and the folders below it.
    TCatalogSearch(const TCatalog &catalog, TNameMatcher matcher, const TFolderNode *topOrNone = nullptr);

    // Appends the records whose names match to `found`, walking on until the walk is done, the
    // step has added `maxFinds` records, or the deadline has passed (looked at every few hundred
    // records). Returns true when the walk is done.
    bool Continue(std::vector<TFileDat *> &found,
                  QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever),
                  size_t maxFinds = size_t(-1));
    bool Done() const { return m_folder == nullptr; }

private:
    void enter(const TFolderNode *folder);
    void nextFolder();

    TNameMatcher m_matcher;
    // The folders still to enter: sibling lists and the index of the next one to enter.
    std::vector<std::pair<const TFolderNode::FolderList *, size_t>> m_pending;
    const TFolderNode *m_folder = nullptr; // the folder whose records are being looked at
    int m_record = 0;                      // the next of its records
};
