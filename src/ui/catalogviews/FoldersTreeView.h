#pragma once

// The folder tree's view: a press on a folder's picture or name selects as usual (the right
// button selects before the menu opens); a press anywhere else clears the selection. A folder is
// dragged with the left button; what a drag over the tree and a drop on it do is left to the
// handlers the window sets (the view's own drop would hand the data to the model).

#include <QTreeView>
#include <functional>

class QDragMoveEvent;
class QDropEvent;

class TFoldersTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit TFoldersTreeView(QWidget *parent = nullptr);

    // True while the tree must keep its selection (a long command runs).
    void SetBusyCheck(std::function<bool()> busy) { m_busy = std::move(busy); }
    // True when a folder's name may be edited now; asked by every way an edit starts (a click on
    // the selected folder, a command).
    void SetEditCheck(std::function<bool()> mayEdit) { m_mayEdit = std::move(mayEdit); }

    // Called for every drag entering or moving over the tree, and for every drop on it; the
    // handlers accept or ignore the events.
    void SetDragHandlers(std::function<void(QDragMoveEvent *)> dragOver,
                         std::function<void(QDropEvent *)> drop)
    {
        m_dragOver = std::move(dragOver);
        m_drop = std::move(drop);
    }

    using QTreeView::edit;

    // A folder name is being typed into the tree.
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

    // The area of a folder's picture and name, where a press selects it.
    QRect LabelRect(const QModelIndex &index) const;

Q_SIGNALS:
    // A press outside every label: the selection is to be cleared.
    void pressedOutsideLabels();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    // A name typed or dropped leaves the keys with the tree, unless the user went elsewhere.
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    std::function<bool()> m_busy;
    std::function<bool()> m_mayEdit;
    std::function<void(QDragMoveEvent *)> m_dragOver;
    std::function<void(QDropEvent *)> m_drop;
};
