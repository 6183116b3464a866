#include "DupListViews.h"

#include "DupFilesModel.h"
#include "GridDelegate.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int SetsColumnWidth = 70;
constexpr int PathColumnLeaves = 377;
constexpr int PathColumnLeast = 160;
constexpr int FilesColumnWidths[] = {160, 160, 90, 100, 250, 80, 80};
// The first four columns never get narrower than they start.
constexpr int FilesColumnsWithLeast = TDupFilesModel::colDateTime + 1;

// SetsListCustomDrawItem: the focused row on the focus colours, every other row plain.
class TSetRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem plain = option;
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QStyledItemDelegate::paint(painter, plain, index);
    }

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto *view = qobject_cast<const QAbstractItemView *>(option->widget);
        if (view && view->currentIndex() == index) {
            option->palette.setColor(QPalette::Text, TDupSetsView::FocusTextColour);
            option->backgroundBrush = QBrush(TDupSetsView::FocusColour);
        }
    }
};

void setUpReport(QTreeView &view)
{
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    view.setUniformRowHeights(true);
    view.setAllColumnsShowFocus(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.header()->setSectionsClickable(false);
    view.header()->setSortIndicatorShown(false);
    view.header()->setStretchLastSection(false);
    view.header()->setSectionsMovable(false);
}

} // namespace

TDupSetsView::TDupSetsView(QWidget *parent) : QTreeView(parent)
{
    setUpReport(*this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new TSetRowDelegate(this));
}

void TDupSetsView::SetUpColumns()
{
    setColumnWidth(0, SetsColumnWidth);
    header()->setMinimumSectionSize(SetsColumnWidth);
}

TDupFilesView::TDupFilesView(QWidget *parent) : QTreeView(parent)
{
    setUpReport(*this);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setMouseTracking(true);
    viewport()->setCursor(Qt::PointingHandCursor);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new TGridDelegate(this));
}

void TDupFilesView::SetUpColumns()
{
    for (int column = 0; column < TDupFilesModel::ColumnCount; ++column)
        setColumnWidth(column, FilesColumnWidths[column]);
    header()->setMinimumSectionSize(20);
    connect(header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column < FilesColumnsWithLeast && width < FilesColumnWidths[column])
            setColumnWidth(column, FilesColumnWidths[column]);
    });
    FilesListResize();
}

void TDupFilesView::FilesListResize()
{
    setColumnWidth(TDupFilesModel::colPath, qMax(PathColumnLeast, width() - PathColumnLeaves));
}

void TDupFilesView::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    FilesListResize();
}
