#pragma once

// The records of one folder as the rows of the file list: six columns, a picture and colours
// by digest state, ascending sorts by name, size or date. Rows keep their own order (a sort
// leaves the folder's record list as it is) and follow the catalog's notifications.
//
// The "MD5 code" column shows what the row was last told: the digest at filling, a digest
// handed over later, and nothing after a running digest was stopped. A record whose digest is
// emptied to be computed again keeps showing the old one until the new one arrives.

#include "Catalog.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <array>
#include <vector>

class TFileListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TColumn
    {
        colFileName,
        colSize,
        colDateTime,
        colComments,
        colMd5,
        colRealPath,
        ColumnCount
    };

    explicit TFileListModel(TCatalog &catalog, QObject *parent = nullptr);

    // Pictures by row look: 0 pending (or no record), 1 digested, 2 missing, 3 digesting.
    void SetImages(const std::array<QPixmap, 4> &images);
    void SetDateColumnCaption(const QString &caption);

    // Shows the records of the folder in their list order (none: no rows).
    void Fill(TFolderNode *folder);
    TFolderNode *Folder() const { return m_folder; }
    TFileDat *RecordAt(int row) const;
    // The row showing the record, or -1 when the list does not show it.
    int FindRecordRow(const TFileDat *record) const;
    // The "MD5 code" text of the row.
    QString Md5Text(int row) const;
    // Sum of the sizes of all rows.
    qint64 TotalSize() const;

    // Sorts every row ascending by name, size or date; other columns do not sort (false).
    bool SortByColumn(int column);

    // Picture index of a record's row in the list's pictures.
    static int ImageIndexOf(const TFileDat *record);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A drag of rows carries their records (TCatalogDragData), in list order, and nothing else.
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    struct TRow
    {
        TFileDat *Record = nullptr;
        TMd5Text Md5Shown;
        TFileState LastState = fsPending;
    };

    void connectCatalog();
    void connectRecordMoves();
    void recordChanged(TFileDat *record);
    void recordsAboutToBeRemoved(TFolderNode *folder, const QList<TFileDat *> &records);
    void recordsAdded(TFolderNode *folder, int first, int count);
    void reorder(std::vector<TRow> rows);
    const QHash<const TFileDat *, int> &rowIndex() const;

    TCatalog &m_catalog;
    TFolderNode *m_folder = nullptr;
    std::vector<TRow> m_rows;
    std::array<QIcon, 4> m_images;
    QString m_dateCaption;
    mutable QHash<const TFileDat *, int> m_rowOf; // rebuilt on demand after the rows change
    mutable bool m_rowOfValid = false;
};
