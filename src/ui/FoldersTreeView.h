#pragma once

// The folder tree's view: a press on a folder's picture or name selects as usual (the right
// button selects before the menu opens); a press anywhere else clears the selection.

#include <QTreeView>
#include <functional>

class TFoldersTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit TFoldersTreeView(QWidget *parent = nullptr);

    // True while the tree must keep its selection (a long command runs).
    void SetBusyCheck(std::function<bool()> busy) { m_busy = std::move(busy); }

    // A folder name is being typed into the tree.
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

    // The area of a folder's picture and name, where a press selects it.
    QRect LabelRect(const QModelIndex &index) const;

Q_SIGNALS:
    // A press outside every label: the selection is to be cleared.
    void pressedOutsideLabels();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::function<bool()> m_busy;
};
