#include "DupFilesModel.h"

#include "RecordColumns.h"

#include <algorithm>

namespace {

// Removing rows one range at a time costs the view work per range; beyond a few ranges the
// rows are set anew in one step instead.
constexpr size_t MaxRemovedRanges = 16;

} // namespace

TDupFilesModel::TDupFilesModel(QObject *parent) : QAbstractTableModel(parent) {}

void TDupFilesModel::SetImages(const QPixmap &file, const QPixmap &missing)
{
    m_file = QIcon(file);
    m_missing = QIcon(missing);
}

void TDupFilesModel::SetDateColumnCaption(const QString &caption)
{
    m_dateCaption = caption;
    Q_EMIT headerDataChanged(Qt::Horizontal, colDateTime, colDateTime);
}

void TDupFilesModel::Show(int setNumber, const std::vector<TFileDat *> &records)
{
    beginResetModel();
    m_setNumber = setNumber;
    m_rows.clear();
    m_rows.reserve(records.size());
    for (TFileDat *record : records)
        m_rows.push_back({record, false});
    m_forgotten.clear();
    indexRows();
    endResetModel();
}

void TDupFilesModel::indexRows()
{
    m_rowOf.clear();
    m_rowOf.reserve(qsizetype(m_rows.size()));
    for (size_t row = 0; row < m_rows.size(); ++row)
        m_rowOf.insert(m_rows[row].Record, int(row));
}

TFileDat *TDupFilesModel::RecordAt(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)].Record : nullptr;
}

int TDupFilesModel::RowOf(const TFileDat *record) const
{
    return record ? m_rowOf.value(record, -1) : -1;
}

std::vector<TFileDat *> TDupFilesModel::Records() const
{
    std::vector<TFileDat *> records;
    records.reserve(m_rows.size());
    for (const TRow &row : m_rows) {
        if (row.Record)
            records.push_back(row.Record);
    }
    return records;
}

void TDupFilesModel::MarkMissing(const TFileDat *record)
{
    const int row = RowOf(record);
    if (row < 0)
        return;
    m_rows[size_t(row)].Missing = true;
    Q_EMIT dataChanged(index(row, colFileName), index(row, colFileName), {Qt::DecorationRole});
}

bool TDupFilesModel::MarkedMissing(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() && m_rows[size_t(row)].Missing;
}

std::vector<const TFileDat *> TDupFilesModel::Forget(const QList<TFileDat *> &records)
{
    std::vector<const TFileDat *> notShown;
    for (const TFileDat *record : records) {
        const auto entry = m_rowOf.constFind(record);
        if (entry == m_rowOf.constEnd()) {
            notShown.push_back(record);
            continue;
        }
        m_rows[size_t(entry.value())].Record = nullptr;
        m_forgotten.push_back(entry.value());
        m_rowOf.erase(entry);
    }
    return notShown;
}

bool TDupFilesModel::Flush()
{
    if (m_forgotten.empty())
        return false;
    std::sort(m_forgotten.begin(), m_forgotten.end());
    std::vector<std::pair<int, int>> ranges;
    for (int row : m_forgotten) {
        if (!ranges.empty() && ranges.back().second + 1 == row)
            ranges.back().second = row;
        else
            ranges.emplace_back(row, row);
    }
    m_forgotten.clear();
    if (ranges.size() > MaxRemovedRanges) {
        beginResetModel();
        std::erase_if(m_rows, [](const TRow &row) { return !row.Record; });
        indexRows();
        endResetModel();
        return true;
    }
    // Last range first, so the earlier rows keep their numbers.
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        beginRemoveRows({}, range->first, range->second);
        m_rows.erase(m_rows.begin() + range->first, m_rows.begin() + range->second + 1);
        endRemoveRows();
    }
    indexRows();
    return true;
}

int TDupFilesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TDupFilesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TDupFilesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_rows.size())
        return {};
    const TRow &row = m_rows[size_t(index.row())];
    const TFileDat *record = row.Record;
    if (!record)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return RecordColumnText(*record, index.column());
    case Qt::DecorationRole:
        if (index.column() != colFileName)
            return {};
        return row.Missing ? m_missing : m_file;
    case Qt::TextAlignmentRole:
        return RecordColumnAlignment(index.column());
    default:
        return {};
    }
}

QVariant TDupFilesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return RecordColumnHeader(section, orientation, role, m_dateCaption);
}

Qt::ItemFlags TDupFilesModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
