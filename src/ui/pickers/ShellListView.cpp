#include "ShellListView.h"

#include "ShellListModel.h"

#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>

namespace {

// Item cells of the picture styles: wide enough for a usual name, which is shortened with an
// ellipsis beyond.
const QSize LargeIconCell(96, 64);
const QSize SmallIconCell(140, 20);
const QSize ListCell(160, 20);

} // namespace

// Every item of a picture style takes one cell of the same size, whatever its name; asked once,
// since the items are of uniform size.
class TCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void SetCell(const QSize &cell) { m_cell = cell; }
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override { return m_cell; }

private:
    QSize m_cell;
};

namespace {

void setCommonBehaviour(QAbstractItemView &view)
{
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Whole rows, so that a selection made in any style holds every column of its rows.
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setDragEnabled(false);
    view.setContextMenuPolicy(Qt::NoContextMenu);
    view.setTextElideMode(Qt::ElideRight);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    view.setPalette(palette);
}

} // namespace

TShellListView::TShellListView(TShellListModel &model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("ShellListView"));

    m_icons = new QListView(this);
    m_icons->setObjectName(QStringLiteral("ShellListIcons"));
    m_icons->setModel(&model);
    setCommonBehaviour(*m_icons);
    m_icons->setUniformItemSizes(true);
    m_cells = new TCellDelegate(m_icons);
    m_icons->setItemDelegate(m_cells);

    m_report = new QTreeView(this);
    m_report->setObjectName(QStringLiteral("ShellListReport"));
    m_report->setModel(&model);
    QItemSelectionModel *unused = m_report->selectionModel();
    m_report->setSelectionModel(m_icons->selectionModel());
    delete unused;
    setCommonBehaviour(*m_report);
    m_report->setRootIsDecorated(false);
    m_report->setItemsExpandable(false);
    m_report->setUniformRowHeights(true);
    m_report->setAllColumnsShowFocus(true);
    m_report->setSortingEnabled(false);
    m_report->header()->setSectionsClickable(false);
    m_report->header()->setSectionsMovable(false);
    m_report->setColumnWidth(TShellListModel::NameColumn, 200);
    m_report->setColumnWidth(TShellListModel::SizeColumn, 80);
    m_report->setColumnWidth(TShellListModel::TypeColumn, 120);

    // Every double-click counts, not only one on an item: the window decides by the selection.
    m_icons->viewport()->installEventFilter(this);
    m_report->viewport()->installEventFilter(this);

    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_icons);
    m_stack->addWidget(m_report);
    SetViewStyle(vsList);
}

bool TShellListView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<const QMouseEvent *>(event)->button() == Qt::LeftButton &&
        (watched == m_icons->viewport() || watched == m_report->viewport()))
        Q_EMIT doubleClicked();
    return QWidget::eventFilter(watched, event);
}

void TShellListView::SetViewStyle(int style)
{
    if (style < vsLargeIcons || style > vsReport)
        return;
    m_style = style;
    if (style == vsReport) {
        m_stack->setCurrentWidget(m_report);
    } else {
        // A mode change resets the movement and the spacing, so those come after it.
        m_icons->setViewMode(style == vsLargeIcons ? QListView::IconMode : QListView::ListMode);
        m_icons->setFlow(style == vsList ? QListView::TopToBottom : QListView::LeftToRight);
        m_icons->setWrapping(true);
        m_icons->setResizeMode(QListView::Adjust);
        m_icons->setMovement(QListView::Static);
        m_icons->setDragEnabled(false);
        m_icons->setWordWrap(style == vsLargeIcons);
        const int iconSide = style == vsLargeIcons ? 32 : 16;
        m_icons->setIconSize(QSize(iconSide, iconSide));
        m_icons->setSpacing(style == vsLargeIcons ? 4 : 1);
        m_cells->SetCell(style == vsLargeIcons ? LargeIconCell
                                               : (style == vsSmallIcons ? SmallIconCell : ListCell));
        m_icons->doItemsLayout();
        m_stack->setCurrentWidget(m_icons);
    }
    setFocusProxy(CurrentView());
}

QAbstractItemView *TShellListView::CurrentView() const
{
    if (m_style == vsReport)
        return m_report;
    return m_icons;
}

QItemSelectionModel *TShellListView::Selection() const
{
    return m_icons->selectionModel();
}

QList<int> TShellListView::SelectedRows() const
{
    // Rows from the ranges, not a test of each row against every range: quick for a selection
    // of thousands of scattered rows.
    QList<int> rows;
    for (const QItemSelectionRange &range : Selection()->selection()) {
        if (range.left() != 0 || range.parent().isValid())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int TShellListView::SelectedCount() const
{
    return int(SelectedRows().size());
}

void TShellListView::SelectRows(const QList<int> &ascendingRows)
{
    QItemSelection runs;
    const int lastColumn = m_model.columnCount() - 1;
    for (qsizetype i = 0; i < ascendingRows.size();) {
        qsizetype end = i;
        while (end + 1 < ascendingRows.size() && ascendingRows[end + 1] == ascendingRows[end] + 1)
            ++end;
        runs.select(m_model.index(ascendingRows[i], 0), m_model.index(ascendingRows[end], lastColumn));
        i = end + 1;
    }
    if (!runs.isEmpty())
        Selection()->select(runs, QItemSelectionModel::Select);
}

bool TShellListView::IsListView(const QObject *object) const
{
    return object == m_icons || object == m_report;
}
