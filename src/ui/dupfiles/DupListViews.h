#pragma once

// The two lists of the duplicates window.
//
// TDupSetsView: the sets, one column "Sets"; the row that has the focus is drawn in the focus
// colours whether or not the list has the keyboard focus (the window hands the focus to the
// files list at once), no other row is highlighted.
//
// TDupFilesView: the files of the selected set: a report with grid lines, whole-row and multiple
// selection, a hand cursor over the rows, and a "Path" column that takes the width the others
// leave.

#include <QColor>
#include <QTreeView>

class TDupSetsView : public QTreeView
{
    Q_OBJECT

public:
    static inline const QColor FocusColour{128, 128, 255};
    static inline const QColor FocusTextColour{255, 255, 255};

    explicit TDupSetsView(QWidget *parent = nullptr);
    // Call after the model is set.
    void SetUpColumns();
};

class TDupFilesView : public QTreeView
{
    Q_OBJECT

public:
    explicit TDupFilesView(QWidget *parent = nullptr);
    // Sets the columns' first widths and least widths; call after the model is set.
    void SetUpColumns();
    // "Path" becomes the list's width less 377 (at least 160).
    void FilesListResize();

protected:
    void resizeEvent(QResizeEvent *event) override;
};
