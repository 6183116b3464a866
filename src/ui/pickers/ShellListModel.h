#pragma once

// The items of one disk folder as the rows of a picker's list: its files, or its folders,
// hidden ones included, sorted by name in the user's locale without regard to case. Four
// columns: name (with the item's picture), size, type and date.
//
// The folder is read when it is set and not watched afterwards: the rows show the disk as it
// was then. Reading it at once keeps the rows complete when SetFolder returns, so the count
// text and "Select all" never see half a folder; ten thousand items take a few tens of
// milliseconds. User-interface thread only.

#include <QAbstractTableModel>
#include <QFileInfo>
#include <vector>

class TShellIcons;

enum class TShellItems
{
    Files,
    Folders
};

class TShellListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TColumn
    {
        NameColumn,
        SizeColumn,
        TypeColumn,
        DateColumn,
        ColumnCount
    };

    TShellListModel(TShellItems items, const TShellIcons &icons, QObject *parent = nullptr);

    TShellItems Items() const { return m_items; }

    // Shows the items of the folder; an empty path or a folder that cannot be read shows none.
    void SetFolder(const QString &folder);
    QString Folder() const { return m_folder; }

    // The row's full path on disk, and whether the item was a folder when it was read.
    QString FilePath(int row) const;
    bool IsFolder(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    TShellItems m_items;
    const TShellIcons &m_icons;
    QString m_folder;
    std::vector<QFileInfo> m_rows;
};
