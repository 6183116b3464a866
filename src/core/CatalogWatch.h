#pragma once

// TCatalogWatch: which of some records and folders the catalog still holds.
//
// A command that asks a question first names its records (or folders), then lets a box run its
// event loop, and may let events run again while it works. Meanwhile the digest queue may switch
// the current folder and refill the file list, and anything that removes records may run. The
// rule of every such command:
//   1. take the records (not row numbers) before the box, and watch them;
//   2. after the box, drop those the catalog no longer holds and those now fsDigesting;
//   3. work through that list only; never read the live selection inside a loop that lets
//      events run.
// The watch follows the catalog's removal notifications, so it never reads a disposed record:
// a pointer it no longer holds is only compared, never followed.
//
// User-interface thread only; the catalog must outlive the watch.

#include "Catalog.h"

#include <QObject>
#include <unordered_set>
#include <vector>

class TCatalogWatch : public QObject
{
    Q_OBJECT

public:
    TCatalogWatch(TCatalog &catalog, std::vector<TFileDat *> records,
                  std::vector<TFolderNode *> folders = {});

    bool Holds(const TFileDat *record) const { return m_records.count(record) != 0; }
    bool Holds(const TFolderNode *folder) const { return m_folders.count(folder) != 0; }

    // The watched records the catalog still holds, in the order given.
    std::vector<TFileDat *> Held() const;
    // The same without those being digested now.
    std::vector<TFileDat *> Confirmed() const;
    // The watched folders the catalog still holds, in the order given.
    std::vector<TFolderNode *> Folders() const;

private:
    void forgetRecords(const QList<TFileDat *> &records);
    void forgetSubtree(TFolderNode *top);

    TCatalog &m_catalog;
    std::vector<TFileDat *> m_order;
    std::vector<TFolderNode *> m_folderOrder;
    std::unordered_set<const TFileDat *> m_records;
    std::unordered_set<const TFolderNode *> m_folders;
};
