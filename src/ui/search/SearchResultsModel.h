#pragma once

// The records a name search found, as the rows of the search window's results: the columns of
// every list of records from anywhere in the catalog (RecordColumns.h). Rows come in catalog
// order as the search hands them over; a click on a column sorts them by it (letter case aside
// for texts), and rows that come later join in that order. A digest that arrives for a shown
// record shows at once.
//
// The rows hold records of a catalog that no command changes while the window is open (it is
// modal). User-interface thread only.

#include "RecordColumns.h"

#include <QAbstractTableModel>
#include <QHash>
#include <vector>

struct TFileDat;

class TSearchResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TSearchResultsModel(QObject *parent = nullptr);

    void SetDateColumnCaption(const QString &caption);

    // A last column "Result" with a text for each record (a verification's finding).
    void SetResultColumn(bool shown);
    void SetResult(const TFileDat *record, const QString &text);
    QString ResultOf(const TFileDat *record) const { return m_resultOf.value(record); }
    static constexpr int ResultColumn = RecordColumnCount;

    void Clear();
    // New results of the running search, in catalog order.
    void Append(const std::vector<TFileDat *> &records);
    TFileDat *RecordAt(int row) const;
    // A record's fields changed (its digest arrived): its cells are shown again.
    void RecordChanged();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A column below 0 is the catalog's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    // Puts the rows in the order of the sort column; persistent indexes follow their records.
    void reorder();

    std::vector<TFileDat *> m_rows;
    std::vector<TFileDat *> m_catalogOrder; // every row as the search found it
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QString m_dateCaption;
    bool m_resultColumn = false;
    QHash<const TFileDat *, QString> m_resultOf;
};
