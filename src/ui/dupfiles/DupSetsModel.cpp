#include "DupSetsModel.h"

#include <algorithm>

TDupSetsModel::TDupSetsModel(QObject *parent) : QAbstractListModel(parent) {}

void TDupSetsModel::SetSets(std::vector<TDuplicateSet> sets)
{
    beginResetModel();
    m_sets = std::move(sets);
    m_numberOf.clear();
    m_numberOfBuilt = false;
    endResetModel();
}

void TDupSetsModel::FreeSets()
{
    SetSets({});
}

int TDupSetsModel::RowOfNumber(int number) const
{
    // Numbers ascend with the rows, and rows only go.
    const auto found = std::lower_bound(m_sets.begin(), m_sets.end(), number,
                                        [](const TDuplicateSet &set, int n) { return set.Number < n; });
    return found != m_sets.end() && found->Number == number ? int(found - m_sets.begin()) : -1;
}

void TDupSetsModel::SetRecords(int row, std::vector<TFileDat *> records)
{
    m_sets[size_t(row)].Records = std::move(records);
}

void TDupSetsModel::RemoveSet(int row)
{
    beginRemoveRows({}, row, row);
    m_sets.erase(m_sets.begin() + row);
    endRemoveRows();
}

const QHash<const TFileDat *, int> &TDupSetsModel::numberIndex()
{
    if (!m_numberOfBuilt) {
        qsizetype records = 0;
        for (const TDuplicateSet &set : m_sets)
            records += qsizetype(set.Records.size());
        m_numberOf.reserve(records);
        for (const TDuplicateSet &set : m_sets) {
            for (const TFileDat *record : set.Records)
                m_numberOf.insert(record, set.Number);
        }
        m_numberOfBuilt = true;
    }
    return m_numberOf;
}

void TDupSetsModel::DropRecords(const std::vector<const TFileDat *> &records)
{
    if (records.empty() || m_sets.empty())
        return;
    numberIndex();
    for (const TFileDat *record : records) {
        const auto entry = m_numberOf.constFind(record);
        if (entry == m_numberOf.constEnd())
            continue;
        const int row = RowOfNumber(entry.value());
        m_numberOf.erase(entry);
        if (row < 0)
            continue;
        std::vector<TFileDat *> &held = m_sets[size_t(row)].Records;
        const auto at = std::find(held.begin(), held.end(), record);
        if (at == held.end())
            continue;
        held.erase(at);
        if (held.empty())
            RemoveSet(row);
    }
}

int TDupSetsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sets.size());
}

QVariant TDupSetsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_sets.size())
        return {};
    const TDuplicateSet &set = m_sets[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return QString::number(set.Number);
    case Qt::DecorationRole:
        return m_image;
    case DigestRole:
        return set.Digest.Text();
    default:
        return {};
    }
}

QVariant TDupSetsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return QStringLiteral("Sets");
    return {};
}

Qt::ItemFlags TDupSetsModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
