#include "FoldersTreeView.h"

#include <QApplication>
#include <QDropEvent>
#include <QMouseEvent>

TFoldersTreeView::TFoldersTreeView(QWidget *parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    // A drop always lands on the folder under the point: the frame marks that folder.
    setDragDropOverwriteMode(true);
    setFocusPolicy(Qt::ClickFocus); // the Tab key skips the tree
    setContextMenuPolicy(Qt::CustomContextMenu);
}

QRect TFoldersTreeView::LabelRect(const QModelIndex &index) const
{
    const QRect item = visualRect(index);
    if (!index.isValid() || item.isEmpty())
        return {};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = item;
    option.index = index;
    option.text = index.data().toString();
    option.features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay;
    option.decorationSize = iconSize().isValid() ? iconSize() : QSize(16, 16);
    const QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int right = text.left() + fontMetrics().horizontalAdvance(option.text) + 2 * margin;
    return QRect(QPoint(item.left(), item.top()), QPoint(qMin(right, item.right()), item.bottom()));
}

bool TFoldersTreeView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (m_mayEdit && !m_mayEdit())
        return false;
    return QTreeView::edit(index, trigger, event);
}

void TFoldersTreeView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const QWidget *focus = QApplication::focusWidget();
    const bool keysWereHere = !focus || focus == editor || isAncestorOf(focus);
    QTreeView::closeEditor(editor, hint);
    if (keysWereHere && isVisible()) {
        activateWindow();
        setFocus(Qt::OtherFocusReason);
    }
}

void TFoldersTreeView::focusInEvent(QFocusEvent *event)
{
    // An item view that gets the focus without a current item makes its first one current; the
    // current folder would then change by itself (the first click on a branch button of a window
    // just shown did that). Only a press, a command or the digest queue chooses the folder here.
    if (currentIndex().isValid()) {
        QTreeView::focusInEvent(event);
        return;
    }
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TFoldersTreeView::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    const bool onLabel = index.isValid() && LabelRect(index).contains(point);
    if (!onLabel) {
        Q_EMIT pressedOutsideLabels();
        // The branch button just left of the label still opens and closes its folder; the
        // base class is not asked, since it would select the row.
        const QRect item = visualRect(index);
        if (index.isValid() && event->button() == Qt::LeftButton && model()->hasChildren(index) &&
            point.x() < item.left() && point.x() >= item.left() - indentation())
            setExpanded(index, !isExpanded(index));
        return;
    }
    if (event->button() == Qt::RightButton) {
        if (!m_busy || !m_busy())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        return;
    }
    QTreeView::mousePressEvent(event);
}

void TFoldersTreeView::startDrag(Qt::DropActions supportedActions)
{
    // While busy the press did not select, so the drag would carry another folder than the one
    // under the mouse.
    if (m_busy && m_busy())
        return;
    QTreeView::startDrag(supportedActions);
}

void TFoldersTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    QTreeView::dragEnterEvent(event); // the frame around the folder under the point
    if (m_dragOver)
        m_dragOver(event);
}

void TFoldersTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeView::dragMoveEvent(event); // scrolling near the edges, the frame
    if (m_dragOver)
        m_dragOver(event);
}

void TFoldersTreeView::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (m_drop)
        m_drop(event);
    else
        event->ignore();
}
