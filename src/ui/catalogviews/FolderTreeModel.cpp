#include "FolderTreeModel.h"

#include "CatalogDrag.h"

TFolderTreeModel::TFolderTreeModel(TCatalog &catalog, QObject *parent)
    : QAbstractItemModel(parent), m_catalog(catalog)
{
    connectCatalog();
}

void TFolderTreeModel::SetImages(const std::array<QPixmap, 4> &images)
{
    for (size_t pair = 0; pair < m_icons.size(); ++pair) {
        QIcon icon;
        icon.addPixmap(images[2 * pair], QIcon::Normal);
        icon.addPixmap(images[2 * pair + 1], QIcon::Selected);
        m_icons[pair] = icon;
    }
}

void TFolderTreeModel::SetCurrentColours(const QColor &background, const QColor &text)
{
    m_currentBackground = background;
    m_currentText = text;
}

void TFolderTreeModel::connectCatalog()
{
    connect(&m_catalog, &TCatalog::folderAboutToBeAdded, this,
            [this](TFolderNode *parent, int row) { beginInsertRows(IndexOf(parent), row, row); });
    connect(&m_catalog, &TCatalog::folderAdded, this, [this] { endInsertRows(); });
    connect(&m_catalog, &TCatalog::folderAboutToBeRemoved, this, [this](TFolderNode *folder) {
        beginRemoveRows(IndexOf(folder->Parent()), folder->Row(), folder->Row());
    });
    connect(&m_catalog, &TCatalog::folderRemoved, this, [this] { endRemoveRows(); });
    connect(&m_catalog, &TCatalog::folderAboutToBeMoved, this, &TFolderTreeModel::beginMove);
    connect(&m_catalog, &TCatalog::folderMoved, this, [this] { endMoveRows(); });
    connect(&m_catalog, &TCatalog::foldersAboutToBeSorted, this, &TFolderTreeModel::beginSort);
    connect(&m_catalog, &TCatalog::foldersSorted, this, &TFolderTreeModel::endSort);
    connect(&m_catalog, &TCatalog::folderChanged, this, [this](TFolderNode *folder) {
        const QModelIndex index = IndexOf(folder);
        Q_EMIT dataChanged(index, index);
    });
    connect(&m_catalog, &TCatalog::currentFolderChanged, this, [this](TFolderNode *folder) {
        for (TFolderNode *changed : {std::exchange(m_shownCurrent, folder), folder}) {
            if (changed) {
                const QModelIndex index = IndexOf(changed);
                Q_EMIT dataChanged(index, index, {Qt::BackgroundRole, Qt::ForegroundRole});
            }
        }
    });
    connect(&m_catalog, &TCatalog::catalogAboutToBeCleared, this, [this] {
        beginResetModel();
        m_shownCurrent = nullptr;
    });
    connect(&m_catalog, &TCatalog::catalogCleared, this, [this] { endResetModel(); });
}

void TFolderTreeModel::beginMove(TFolderNode *folder, TFolderNode *newParent, int newRow)
{
    // Within one parent the destination counts rows before the move.
    const bool sameParent = folder->Parent() == newParent;
    beginMoveRows(IndexOf(folder->Parent()), folder->Row(), folder->Row(), IndexOf(newParent),
                  sameParent ? newRow + 1 : newRow);
}

void TFolderTreeModel::beginSort()
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_sortedPersistent = persistentIndexList();
    m_sortedFolders.clear();
    for (const QModelIndex &index : std::as_const(m_sortedPersistent))
        m_sortedFolders << FolderAt(index);
}

void TFolderTreeModel::endSort()
{
    QModelIndexList moved;
    for (qsizetype i = 0; i < m_sortedPersistent.size(); ++i)
        moved << index(m_sortedFolders[i]->Row(), m_sortedPersistent[i].column(),
                       IndexOf(m_sortedFolders[i]->Parent()));
    changePersistentIndexList(m_sortedPersistent, moved);
    m_sortedPersistent.clear();
    m_sortedFolders.clear();
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

TFolderNode *TFolderTreeModel::FolderAt(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TFolderNode *>(index.internalPointer()) : nullptr;
}

QModelIndex TFolderTreeModel::IndexOf(const TFolderNode *folder) const
{
    return folder ? createIndex(folder->Row(), 0, const_cast<TFolderNode *>(folder)) : QModelIndex();
}

QModelIndex TFolderTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const auto &folders = m_catalog.SubFoldersOf(FolderAt(parent));
    if (column != 0 || row < 0 || size_t(row) >= folders.size())
        return {};
    return createIndex(row, 0, folders[size_t(row)].get());
}

QModelIndex TFolderTreeModel::parent(const QModelIndex &child) const
{
    const TFolderNode *folder = FolderAt(child);
    return folder ? IndexOf(folder->Parent()) : QModelIndex();
}

int TFolderTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(m_catalog.SubFoldersOf(FolderAt(parent)).size());
}

int TFolderTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant TFolderTreeModel::data(const QModelIndex &index, int role) const
{
    const TFolderNode *folder = FolderAt(index);
    if (!folder)
        return {};
    const bool current = folder == m_catalog.CurrentFolder();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return folder->Name();
    case Qt::DecorationRole:
        return m_icons[folder->ImageIndex() == TFolderNode::EmptyImage ? 0 : 1];
    case Qt::BackgroundRole:
        return current && m_currentBackground.isValid() ? QVariant(m_currentBackground) : QVariant();
    case Qt::ForegroundRole:
        return current && m_currentText.isValid() ? QVariant(m_currentText) : QVariant();
    default:
        return {};
    }
}

bool TFolderTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    TFolderNode *folder = FolderAt(index);
    if (!folder || role != Qt::EditRole || !m_renameRule)
        return false;
    m_renameRule(folder, value.toString());
    return true;
}

Qt::ItemFlags TFolderTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled;
}

QStringList TFolderTreeModel::mimeTypes() const
{
    return {TCatalogDragData::FolderMimeType, TCatalogDragData::RecordsMimeType};
}

QMimeData *TFolderTreeModel::mimeData(const QModelIndexList &indexes) const
{
    // One folder is dragged: the tree selects one at a time.
    for (const QModelIndex &index : indexes) {
        if (TFolderNode *folder = FolderAt(index))
            return new TCatalogDragData(m_catalog, folder);
    }
    return nullptr;
}

Qt::DropActions TFolderTreeModel::supportedDragActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions TFolderTreeModel::supportedDropActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}
