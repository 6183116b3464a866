#include "ShellTreeView.h"

#include "ShellIcons.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QSortFilterProxyModel>

// Keeps the root folder and the folders on the way to it, and drops everything beside them, so
// that a tree rooted below "/" shows its root as the one top item.
class TShellRootFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetRoot(const QString &root)
    {
        m_root = root;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override
    {
        if (m_root == TShellTreeView::DesktopRoot())
            return true;
        const auto *disk = static_cast<const QFileSystemModel *>(sourceModel());
        const QString path = disk->filePath(disk->index(sourceRow, 0, sourceParent));
        return isAtOrBelow(path, m_root) || isAtOrBelow(m_root, path);
    }

private:
    static bool isAtOrBelow(const QString &path, const QString &folder)
    {
        if (path == folder)
            return true;
        const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
        return path.startsWith(prefix);
    }

    QString m_root = TShellTreeView::DesktopRoot();
};

namespace {

QString cleanFolder(const QString &folder)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

} // namespace

TShellTreeView::TShellTreeView(TShellIcons &icons, const QString &root, QWidget *parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("ShellTreeView"));
    m_disk = new QFileSystemModel(this);
    // No automatic refresh: what was read stays as it was read.
    m_disk->setOption(QFileSystemModel::DontWatchForChanges);
    m_disk->setIconProvider(&icons);
    m_disk->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    m_disk->setReadOnly(true);
    m_filter = new TShellRootFilter(this);
    m_filter->setSourceModel(m_disk);
    setModel(m_filter);

    for (int column = 1; column < m_disk->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setUniformRowHeights(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(palette);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TShellTreeView::folderChanged);
    // A folder opened on the way to the selected one is read in the background; when its
    // items arrive they may push the selected folder out of sight.
    connect(m_disk, &QFileSystemModel::directoryLoaded, this, [this](const QString &loaded) {
        const QString selected = SelectedFolder();
        const QString below = loaded.endsWith(u'/') ? loaded : loaded + u'/';
        if (!selected.isEmpty() && (selected == loaded || selected.startsWith(below)))
            scrollTo(currentIndex());
    });
    SetRoot(root);
}

TShellTreeView::~TShellTreeView() = default;

void TShellTreeView::SetRoot(const QString &folder)
{
    const QString root = cleanFolder(folder);
    m_root = root.isEmpty() || !QFileInfo(root).isDir() ? DesktopRoot() : root;
    m_disk->setRootPath(m_root);
    m_filter->SetRoot(m_root);
    if (m_root == DesktopRoot())
        setRootIndex(QModelIndex());
    else
        setRootIndex(m_filter->mapFromSource(m_disk->index(QFileInfo(m_root).path())));
}

bool TShellTreeView::Contains(const QString &folder) const
{
    const QString path = cleanFolder(folder);
    if (path.isEmpty())
        return false;
    if (m_root == DesktopRoot() || path == m_root)
        return path.startsWith(u'/');
    return path.startsWith(m_root + u'/');
}

QString TShellTreeView::pathOf(const QModelIndex &index) const
{
    return m_disk->filePath(m_filter->mapToSource(index));
}

QModelIndex TShellTreeView::indexOf(const QString &folder) const
{
    return m_filter->mapFromSource(m_disk->index(folder));
}

QString TShellTreeView::SelectedFolder() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : pathOf(selected.first());
}

bool TShellTreeView::GoToFolder(const QString &folder)
{
    const QString path = cleanFolder(folder);
    if (!Contains(path) || !QFileInfo(path).isDir())
        return false;
    const QModelIndex target = indexOf(path);
    if (!target.isValid())
        return false;
    for (QModelIndex above = target.parent(); above.isValid() && above != rootIndex(); above = above.parent())
        expand(above);
    // The top item has no expand mark, so it is always open.
    expand(indexOf(m_root));
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
    return true;
}

void TShellTreeView::CollapseSelectedSubtree()
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    // A closed folder remembers which of its folders were open, so the walk goes below closed
    // folders too; only folders read so far can be open, and rowCount asks the disk for nothing.
    QList<QModelIndex> pending{selected.first()};
    while (!pending.isEmpty()) {
        const QModelIndex folder = pending.takeLast();
        for (int row = 0; row < model()->rowCount(folder); ++row)
            pending << model()->index(row, 0, folder);
        if (isExpanded(folder))
            collapse(folder);
    }
}
