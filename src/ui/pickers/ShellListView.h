#pragma once

// A picker's list of one folder's items (ShellListView) in four view styles: 0 large icons,
// 1 small icons, 2 list, 3 report with name, size, type and date columns. The first three are
// one QListView in different modes, the report a QTreeView; both show the same model through
// the same selection model, so a style change keeps the items, their order and the selection.
// Several items can be selected; nothing is edited, dragged or sorted by a column header; the
// selection stays visible without the focus. The focus goes to the view of the current style.

#include <QWidget>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedLayout;
class QTreeView;
class TCellDelegate;
class TShellListModel;

class TShellListView : public QWidget
{
    Q_OBJECT

public:
    enum TViewStyle
    {
        vsLargeIcons,
        vsSmallIcons,
        vsList,
        vsReport
    };

    explicit TShellListView(TShellListModel &model, QWidget *parent = nullptr);

    TShellListModel &Model() const { return m_model; }
    void SetViewStyle(int style);
    int ViewStyle() const { return m_style; }
    // The view that shows the items in the current style.
    QAbstractItemView *CurrentView() const;
    QItemSelectionModel *Selection() const;

    // The selected rows in display order, and how many there are.
    QList<int> SelectedRows() const;
    int SelectedCount() const;
    // Adds the rows to the selection; each run of neighbouring rows is selected as one range.
    void SelectRows(const QList<int> &ascendingRows);

    // True when the watched object is one of the list's views.
    bool IsListView(const QObject *object) const;

Q_SIGNALS:
    // The list was double-clicked, on an item or beside one, in any style.
    void doubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TShellListModel &m_model;
    QListView *m_icons = nullptr;
    QTreeView *m_report = nullptr;
    TCellDelegate *m_cells = nullptr;
    QStackedLayout *m_stack = nullptr;
    int m_style = vsList;
};
