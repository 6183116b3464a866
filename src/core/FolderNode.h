#pragma once

// A virtual folder of the catalog: a name, its sub-folders and, while it holds records, its
// record list. Folders are created, changed and freed only by TCatalog, which tells the views.
// A folder owns its sub-folders; freeing one frees its whole subtree without recursion, so a
// catalog nested hundreds of thousands of levels deep goes as safely as a flat one.

#include "FileDat.h"

#include <QString>
#include <memory>
#include <vector>

class TFolderNode
{
public:
    using FolderList = std::vector<std::unique_ptr<TFolderNode>>;
    using RecordList = std::vector<std::unique_ptr<TFileDat>>;

    // Pictures of the folder tree: a folder without records shows 0 (1 when selected), a
    // folder with records 2 (3 when selected).
    static constexpr int EmptyImage = 0;
    static constexpr int FilledImage = 2;

    TFolderNode() = default;
    ~TFolderNode();
    TFolderNode(const TFolderNode &) = delete;
    TFolderNode &operator=(const TFolderNode &) = delete;

    const QString &Name() const { return m_name; }
    TFolderNode *Parent() const { return m_parent; } // nullptr for a root folder
    int Row() const { return m_row; }                // position among its siblings
    const FolderList &SubFolders() const { return m_subFolders; }

    // The record list exists only while the folder holds records.
    bool HasRecordList() const { return m_records != nullptr; }
    const RecordList &Records() const;
    int RecordCount() const { return m_records ? int(m_records->size()) : 0; }
    TFileDat *Record(int index) const { return (*m_records)[size_t(index)].get(); }

    int ImageIndex() const { return m_imageIndex; }
    int SelectedIndex() const { return m_imageIndex + 1; }

    // True when this folder is the given folder or lies below it.
    bool IsWithin(const TFolderNode *ancestor) const;

private:
    friend class TCatalog;

    QString m_name;
    TFolderNode *m_parent = nullptr;
    int m_row = 0;
    int m_imageIndex = EmptyImage;
    FolderList m_subFolders;
    std::unique_ptr<RecordList> m_records;
};
