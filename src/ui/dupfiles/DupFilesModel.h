#pragma once

// The records of the selected duplicate set as the rows of the duplicates window's files list:
// seven columns (name, catalog path, size, date, comment, digest, real path), the file picture,
// or the missing picture on a row whose file the delete command did not find.
//
// Records leave the catalog while the window is open (its own commands, or anything else):
// Forget empties their rows at once, so no row ever reads a disposed record, and the rows go
// at the next Flush. The window's commands forget many records in one bracket and flush once at
// its end; everywhere else the window flushes at once. User-interface thread only.

#include "FileDat.h"
#include "RecordColumns.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>
#include <vector>

class TDupFilesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TColumn
    {
        colFileName = rcFileName,
        colPath = rcPath,
        colSize = rcSize,
        colDateTime = rcDateTime,
        colComments = rcComments,
        colMd5 = rcMd5,
        colRealPath = rcRealPath,
        ColumnCount = RecordColumnCount
    };

    explicit TDupFilesModel(QObject *parent = nullptr);

    // Pictures: 0 a file row, 1 a file found missing.
    void SetImages(const QPixmap &file, const QPixmap &missing);
    void SetDateColumnCaption(const QString &caption);

    // Shows the records of the set with this number, in their order; Clear shows none.
    void Show(int setNumber, const std::vector<TFileDat *> &records);
    void Clear() { Show(0, {}); }
    int ShownSetNumber() const { return m_setNumber; }

    TFileDat *RecordAt(int row) const;
    // The row showing the record, or -1.
    int RowOf(const TFileDat *record) const;
    // The records of the rows, in row order, without the forgotten ones.
    std::vector<TFileDat *> Records() const;

    // The row of the record shows the missing picture.
    void MarkMissing(const TFileDat *record);
    bool MarkedMissing(int row) const;

    // Empties the rows of the records; gives the records that no row shows.
    std::vector<const TFileDat *> Forget(const QList<TFileDat *> &records);
    // Takes the emptied rows out; true when there were any.
    bool Flush();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct TRow
    {
        TFileDat *Record = nullptr; // nullptr once forgotten
        bool Missing = false;
    };

    void indexRows();

    int m_setNumber = 0;
    std::vector<TRow> m_rows;
    QHash<const TFileDat *, int> m_rowOf;
    std::vector<int> m_forgotten;
    QIcon m_file;
    QIcon m_missing;
    QString m_dateCaption;
};
