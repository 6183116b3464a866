#include "FilesListView.h"

#include "CatalogDrag.h"
#include "FileListModel.h"
#include "GridDelegate.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>

namespace {

constexpr int FirstColumnLeaves = 357;
constexpr int FirstColumnLeast = 160;

} // namespace

TFilesListView::TFilesListView(QWidget *parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setAcceptDrops(true);
    setMouseTracking(true);
    viewport()->setCursor(Qt::PointingHandCursor);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new TGridDelegate(this));
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
}

void TFilesListView::SetUpColumns()
{
    static constexpr int widths[] = {160, 90, 100, 250, 80, 80};
    for (int column = 0; column < TFileListModel::ColumnCount; ++column)
        setColumnWidth(column, widths[column]);
    header()->setMinimumSectionSize(20);
    // The first three columns never get narrower than they start.
    connect(header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column <= TFileListModel::colDateTime && width < widths[column])
            setColumnWidth(column, widths[column]);
    });
    FilesListResize();
}

void TFilesListView::FilesListResize()
{
    setColumnWidth(TFileListModel::colFileName, qMax(FirstColumnLeast, width() - FirstColumnLeaves));
}

void TFilesListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                 const QList<int> &roles)
{
    if (!topLeft.isValid() || topLeft.row() != bottomRight.row() ||
        topLeft.parent() != bottomRight.parent()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    const QRect first = visualRect(topLeft);
    const QRect last = visualRect(bottomRight);
    const QRect row(QPoint(0, first.top()), QPoint(viewport()->width(), qMax(first.bottom(), last.bottom())));
    if (row.intersects(viewport()->rect()))
        viewport()->update(row);
}

void TFilesListView::scrollContentsBy(int dx, int dy)
{
    if (dx != 0)
        QTreeView::scrollContentsBy(dx, 0);
    if (dy != 0)
        viewport()->update();
}

void TFilesListView::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    FilesListResize();
}

namespace {

// Rows and folders dragged inside the window: the list adds nothing from them, and its model,
// which knows their type, must not be asked to.
bool isCatalogDrag(const QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    return data && (data->hasFormat(TCatalogDragData::RecordsMimeType) ||
                    data->hasFormat(TCatalogDragData::FolderMimeType));
}

// The dropped files as full paths, taken whole, in the order given; addresses that are not local
// files are left out.
QStringList localFiles(const QDropEvent *event)
{
    QStringList paths;
    const QMimeData *data = event->mimeData();
    if (!data || isCatalogDrag(event) || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

// Offers to copy: the file manager must never remove what it dragged here.
void acceptFiles(QDropEvent *event)
{
    if (localFiles(event).isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

} // namespace

void TFilesListView::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFiles(event);
}

void TFilesListView::dragMoveEvent(QDragMoveEvent *event)
{
    acceptFiles(event);
}

void TFilesListView::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event);
    acceptFiles(event);
    if (!paths.isEmpty())
        Q_EMIT filesDropped(paths);
}
