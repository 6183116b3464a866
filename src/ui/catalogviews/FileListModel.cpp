#include "FileListModel.h"

#include "CatalogDrag.h"
#include "LocaleText.h"
#include "support.h"

#include <algorithm>

namespace {

// Removing rows one range at a time costs the view work per range; beyond a few ranges the
// list is rebuilt in one step instead.
constexpr int MaxRemovedRanges = 16;

const QColor DigestingText(0, 0, 255);
const QColor MissingBackground(255, 0, 0);
const QColor MissingText(255, 255, 255);

} // namespace

TFileListModel::TFileListModel(TCatalog &catalog, QObject *parent)
    : QAbstractTableModel(parent), m_catalog(catalog)
{
    connectCatalog();
}

void TFileListModel::SetImages(const std::array<QPixmap, 4> &images)
{
    for (size_t i = 0; i < images.size(); ++i)
        m_images[i] = QIcon(images[i]);
}

void TFileListModel::SetDateColumnCaption(const QString &caption)
{
    m_dateCaption = caption;
    Q_EMIT headerDataChanged(Qt::Horizontal, colDateTime, colDateTime);
}

void TFileListModel::connectCatalog()
{
    connect(&m_catalog, &TCatalog::recordChanged, this, &TFileListModel::recordChanged);
    connect(&m_catalog, &TCatalog::recordsAboutToBeRemoved, this, &TFileListModel::recordsAboutToBeRemoved);
    connect(&m_catalog, &TCatalog::recordsAdded, this, &TFileListModel::recordsAdded);
    connect(&m_catalog, &TCatalog::folderAboutToBeRemoved, this, [this](TFolderNode *folder) {
        if (m_folder && m_folder->IsWithin(folder))
            Fill(nullptr);
    });
    connect(&m_catalog, &TCatalog::catalogAboutToBeCleared, this, [this] { Fill(nullptr); });
    connectRecordMoves();
}

void TFileListModel::connectRecordMoves()
{
    // The rows of moved records leave their old folder's list and join the new folder's, as if the
    // records had been removed there and added here; the records themselves live on.
    connect(&m_catalog, &TCatalog::recordsAboutToBeMoved, this,
            [this](TFolderNode *from, const QList<TFileDat *> &records, TFolderNode *) {
                recordsAboutToBeRemoved(from, records);
            });
    connect(&m_catalog, &TCatalog::recordsMoved, this,
            [this](TFolderNode *, TFolderNode *to, int first, int count) { recordsAdded(to, first, count); });
}

void TFileListModel::Fill(TFolderNode *folder)
{
    beginResetModel();
    m_folder = folder;
    m_rows.clear();
    if (folder) {
        m_rows.reserve(size_t(folder->RecordCount()));
        for (const auto &record : folder->Records())
            m_rows.push_back({record.get(), record->Md5, record->State});
    }
    m_rowOfValid = false;
    endResetModel();
}

TFileDat *TFileListModel::RecordAt(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)].Record : nullptr;
}

const QHash<const TFileDat *, int> &TFileListModel::rowIndex() const
{
    if (!m_rowOfValid) {
        m_rowOf.clear();
        m_rowOf.reserve(qsizetype(m_rows.size()));
        for (size_t row = m_rows.size(); row-- > 0;) // the first row wins for a record shown twice
            m_rowOf.insert(m_rows[row].Record, int(row));
        m_rowOfValid = true;
    }
    return m_rowOf;
}

int TFileListModel::FindRecordRow(const TFileDat *record) const
{
    if (!record || !m_folder || record->Folder != m_folder)
        return -1;
    return rowIndex().value(record, -1);
}

QString TFileListModel::Md5Text(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)].Md5Shown.Text() : QString();
}

qint64 TFileListModel::TotalSize() const
{
    qint64 total = 0;
    for (const TRow &row : m_rows)
        total += row.Record->Size;
    return total;
}

void TFileListModel::recordChanged(TFileDat *record)
{
    const int row = FindRecordRow(record);
    if (row < 0)
        return;
    TRow &shown = m_rows[size_t(row)];
    if (!record->Md5.isEmpty())
        shown.Md5Shown = record->Md5;
    else if (shown.LastState == fsDigesting && record->State != fsDigesting)
        shown.Md5Shown.clear(); // a running digest was stopped
    shown.LastState = record->State;
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void TFileListModel::recordsAdded(TFolderNode *folder, int first, int count)
{
    if (folder != m_folder || count <= 0)
        return;
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at + count - 1);
    for (int i = first; i < first + count; ++i) {
        TFileDat *record = folder->Record(i);
        m_rows.push_back({record, record->Md5, record->State});
    }
    m_rowOfValid = false;
    endInsertRows();
}

void TFileListModel::recordsAboutToBeRemoved(TFolderNode *folder, const QList<TFileDat *> &records)
{
    if (folder != m_folder)
        return;
    std::vector<int> rows;
    rows.reserve(size_t(records.size()));
    const auto &rowOf = rowIndex();
    for (const TFileDat *record : records) {
        const int row = rowOf.value(record, -1);
        if (row >= 0)
            rows.push_back(row);
    }
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    // Contiguous ranges, last first, so earlier row numbers stay valid.
    std::vector<std::pair<int, int>> ranges;
    for (int row : rows) {
        if (!ranges.empty() && ranges.back().second + 1 == row)
            ranges.back().second = row;
        else
            ranges.emplace_back(row, row);
    }
    if (ranges.size() > MaxRemovedRanges) {
        beginResetModel();
        std::vector<TRow> kept;
        kept.reserve(m_rows.size() - rows.size());
        size_t next = 0;
        for (size_t row = 0; row < m_rows.size(); ++row) {
            if (next < rows.size() && size_t(rows[next]) == row)
                ++next;
            else
                kept.push_back(std::move(m_rows[row]));
        }
        m_rows = std::move(kept);
        m_rowOfValid = false;
        endResetModel();
        return;
    }
    for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
        beginRemoveRows({}, range->first, range->second);
        m_rows.erase(m_rows.begin() + range->first, m_rows.begin() + range->second + 1);
        m_rowOfValid = false;
        endRemoveRows();
    }
}

bool TFileListModel::SortByColumn(int column)
{
    std::vector<TRow> rows = m_rows;
    switch (column) {
    case colFileName: {
        std::vector<std::pair<QCollatorSortKey, size_t>> keys;
        keys.reserve(rows.size());
        for (size_t i = 0; i < rows.size(); ++i)
            keys.emplace_back(SortKeyLocale(rows[i].Record->FileName), i);
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
        std::vector<TRow> sorted;
        sorted.reserve(rows.size());
        for (const auto &key : keys)
            sorted.push_back(std::move(rows[key.second]));
        rows = std::move(sorted);
        break;
    }
    case colSize:
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TRow &a, const TRow &b) { return a.Record->Size < b.Record->Size; });
        break;
    case colDateTime:
        std::stable_sort(rows.begin(), rows.end(), [](const TRow &a, const TRow &b) {
            return a.Record->DateTime < b.Record->DateTime;
        });
        break;
    default:
        return false;
    }
    reorder(std::move(rows));
    return true;
}

void TFileListModel::reorder(std::vector<TRow> rows)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<TFileDat *> records;
    records.reserve(before.size());
    for (const QModelIndex &index : before)
        records << RecordAt(index.row());
    m_rows = std::move(rows);
    m_rowOfValid = false;
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(FindRecordRow(records[i]), before[i].column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TFileListModel::ImageIndexOf(const TFileDat *record)
{
    if (!record)
        return 0;
    switch (record->State) {
    case fsDigested:
        return 1;
    case fsDigesting:
        return 3;
    case fsMissing:
        return 2;
    case fsPending:
        break;
    }
    return 0;
}

int TFileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TFileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TFileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_rows.size())
        return {};
    const TRow &row = m_rows[size_t(index.row())];
    const TFileDat *record = row.Record;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case colFileName:
            return record->FileName;
        case colSize:
            return QString::number(record->Size);
        case colDateTime:
            return LocaleDateTimeText(record->DateTime);
        case colComments:
            return record->Comment;
        case colMd5:
            return row.Md5Shown.Text();
        case colRealPath:
            return record->RealPath;
        }
        return {};
    case Qt::DecorationRole:
        return index.column() == colFileName ? QVariant(m_images[size_t(ImageIndexOf(record))]) : QVariant();
    case Qt::ForegroundRole:
        if (record->State == fsDigesting)
            return DigestingText;
        if (record->State == fsMissing)
            return MissingText;
        return {};
    case Qt::BackgroundRole:
        return record->State == fsMissing ? QVariant(MissingBackground) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == colSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole)
        return section == colSize ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case colFileName:
        return QStringLiteral("Filename");
    case colSize:
        return QStringLiteral("Size");
    case colDateTime:
        return m_dateCaption;
    case colComments:
        return QStringLiteral("Comments");
    case colMd5:
        return QStringLiteral("MD5 code");
    case colRealPath:
        return QStringLiteral("Real filepath");
    }
    return {};
}

Qt::ItemFlags TFileListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList TFileListModel::mimeTypes() const
{
    return {TCatalogDragData::RecordsMimeType};
}

QMimeData *TFileListModel::mimeData(const QModelIndexList &indexes) const
{
    std::vector<int> rows;
    rows.reserve(size_t(indexes.size()));
    for (const QModelIndex &index : indexes)
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<TFileDat *> records;
    records.reserve(rows.size());
    for (int row : rows) {
        if (TFileDat *record = RecordAt(row))
            records.push_back(record);
    }
    return new TCatalogDragData(m_catalog, std::move(records));
}

Qt::DropActions TFileListModel::supportedDragActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}
