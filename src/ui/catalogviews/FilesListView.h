#pragma once

// The file list's view: a report of rows with grid lines, whole-row and multiple selection,
// a hand cursor over the rows, and a first column that takes the width the others leave. Rows
// are dragged onto the folder tree; dragged rows and folders never drop onto the list. Files
// dragged from a file manager (local file addresses) drop onto it and are handed on by
// filesDropped.

#include <QTreeView>

class TFilesListView : public QTreeView
{
    Q_OBJECT

public:
    explicit TFilesListView(QWidget *parent = nullptr);

    // Sets the columns' first widths and least widths; call after the model is set.
    void SetUpColumns();
    // The first column's width follows the list's: the list's width less 357 (at least 160).
    void FilesListResize();

    // A change within one row repaints that row only; the base view repaints the whole list for
    // any change wider than one cell, which costs a full repaint for every digest handed over.
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

Q_SIGNALS:
    // The local files of a drop, in the order given, emitted while the drop is answered: the
    // receiver must not ask questions or take long before it returns (the file manager waits).
    void filesDropped(const QStringList &paths);

protected:
    // Rows scrolled vertically are painted afresh rather than moved: a fast digest queue scrolls
    // the list many times between two frames, and moving the window's pixels each time costs more
    // than painting the rows once.
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
