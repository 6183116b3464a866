#include "SearchResultsModel.h"

#include "Catalog.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace {

// What a column sorts by, worked out once for each row.
struct TSortKey
{
    QString Text;
    double Number = 0;
};

TSortKey sortKeyOf(const TFileDat &record, int column, QHash<const TFolderNode *, QString> &paths,
                   const QHash<const TFileDat *, QString> &results)
{
    switch (column) {
    case TSearchResultsModel::ResultColumn:
        return {results.value(&record), 0};
    case rcSize:
        return {QString(), double(record.Size)};
    case rcDateTime:
        return {QString(), record.DateTime};
    case rcPath: {
        auto path = paths.find(record.Folder);
        if (path == paths.end())
            path = paths.insert(record.Folder, TCatalog::FolderPath(record.Folder));
        return {*path, 0};
    }
    default:
        return {RecordColumnText(record, column), 0};
    }
}

} // namespace

TSearchResultsModel::TSearchResultsModel(QObject *parent) : QAbstractTableModel(parent) {}

void TSearchResultsModel::SetDateColumnCaption(const QString &caption)
{
    m_dateCaption = caption;
    Q_EMIT headerDataChanged(Qt::Horizontal, rcDateTime, rcDateTime);
}

void TSearchResultsModel::SetResultColumn(bool shown)
{
    beginResetModel();
    m_resultColumn = shown;
    endResetModel();
}

void TSearchResultsModel::SetResult(const TFileDat *record, const QString &text)
{
    m_resultOf.insert(record, text);
    const auto row = std::find(m_rows.begin(), m_rows.end(), record);
    if (row != m_rows.end()) {
        const QModelIndex cell = index(int(row - m_rows.begin()), ResultColumn);
        Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
    }
}

void TSearchResultsModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    m_catalogOrder.clear();
    endResetModel();
}

void TSearchResultsModel::Append(const std::vector<TFileDat *> &records)
{
    if (records.empty())
        return;
    m_catalogOrder.insert(m_catalogOrder.end(), records.begin(), records.end());
    if (m_sortColumn < 0) {
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + records.size()) - 1);
        m_rows.insert(m_rows.end(), records.begin(), records.end());
        endInsertRows();
        return;
    }
    reorder();
}

TFileDat *TSearchResultsModel::RecordAt(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)] : nullptr;
}

void TSearchResultsModel::RecordChanged()
{
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, RecordColumnCount - 1), {Qt::DisplayRole});
}

void TSearchResultsModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column < columnCount() ? column : -1;
    m_sortOrder = order;
    reorder();
}

void TSearchResultsModel::reorder()
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    std::vector<TFileDat *> persistentRecords;
    for (const QModelIndex &index : persistent)
        persistentRecords.push_back(RecordAt(index.row()));

    m_rows = m_catalogOrder;
    if (m_sortColumn >= 0) {
        QHash<const TFolderNode *, QString> paths;
        std::vector<TSortKey> keys;
        keys.reserve(m_rows.size());
        for (const TFileDat *record : m_rows)
            keys.push_back(sortKeyOf(*record, m_sortColumn, paths, m_resultOf));
        std::vector<size_t> order(m_rows.size());
        std::iota(order.begin(), order.end(), size_t(0));
        const bool numeric = m_sortColumn == rcSize || m_sortColumn == rcDateTime;
        // Stable, so rows that compare equal keep the catalog's order.
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            const TSortKey &first = keys[m_sortOrder == Qt::AscendingOrder ? a : b];
            const TSortKey &second = keys[m_sortOrder == Qt::AscendingOrder ? b : a];
            return numeric ? first.Number < second.Number
                           : QString::compare(first.Text, second.Text, Qt::CaseInsensitive) < 0;
        });
        std::vector<TFileDat *> sorted;
        sorted.reserve(m_rows.size());
        for (size_t index : order)
            sorted.push_back(m_rows[index]);
        m_rows = std::move(sorted);
    }

    if (!persistent.isEmpty()) {
        QHash<const TFileDat *, int> rowOf;
        for (int row = 0; row < int(m_rows.size()); ++row)
            rowOf.insert(m_rows[size_t(row)], row);
        QModelIndexList moved;
        for (qsizetype i = 0; i < persistent.size(); ++i) {
            const int row = rowOf.value(persistentRecords[size_t(i)], -1);
            moved << (row < 0 ? QModelIndex() : index(row, persistent[i].column()));
        }
        changePersistentIndexList(persistent, moved);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TSearchResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TSearchResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RecordColumnCount + (m_resultColumn ? 1 : 0);
}

QVariant TSearchResultsModel::data(const QModelIndex &index, int role) const
{
    const TFileDat *record = index.isValid() ? RecordAt(index.row()) : nullptr;
    if (!record)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == ResultColumn ? m_resultOf.value(record)
                                              : RecordColumnText(*record, index.column());
    case Qt::TextAlignmentRole:
        return RecordColumnAlignment(index.column());
    default:
        return {};
    }
}

QVariant TSearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == ResultColumn && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("Result");
    return RecordColumnHeader(section, orientation, role, m_dateCaption);
}

Qt::ItemFlags TSearchResultsModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
