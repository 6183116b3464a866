#include "ShellTreeView.h"

#include "ShellIcons.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScrollBar>
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
    // The folders opened on the way to a folder gone to are read and sorted in the background;
    // their items arriving push the folder out of sight, so the tree keeps it in view until the
    // user scrolls, clicks or types.
    auto follow = [this] {
        if (m_following)
            scrollTo(currentIndex());
    };
    connect(m_disk, &QFileSystemModel::directoryLoaded, this, follow, Qt::QueuedConnection);
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, follow, Qt::QueuedConnection);
    connect(m_filter, &QAbstractItemModel::layoutChanged, this, follow, Qt::QueuedConnection);
    connect(verticalScrollBar(), &QScrollBar::sliderPressed, this, [this] { m_following = false; });
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
    m_following = true;
    return true;
}

void TShellTreeView::mousePressEvent(QMouseEvent *event)
{
    m_following = false;
    QTreeView::mousePressEvent(event);
}

void TShellTreeView::wheelEvent(QWheelEvent *event)
{
    m_following = false;
    QTreeView::wheelEvent(event);
}

void TShellTreeView::keyPressEvent(QKeyEvent *event)
{
    m_following = false;
    QTreeView::keyPressEvent(event);
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
