#pragma once

// TDupFilesForm, the duplicates window: the sets of records with equal digests on the left, the
// records of the selected set on the right, and a menu to open a file, take records out of the
// catalog or delete files from disk.
//
// The main window's duplicate search creates it anew, fills it while it is hidden (AddSets) and
// shows it modally; it deletes itself when closed, with its sets. It sees the main window only as
// TMainServices and changes records only through the record commands of the core, so the main
// window's views follow by themselves. Records that leave the catalog while it is open, in any
// way, leave its sets and rows at once; sets only shrink, and a set row goes with its last record.
//
// User-interface thread only. The services (and their catalog) must outlive the window.
//
// The files are split by concern:
//   DupFiles.cpp          creation, controls, keys, closing, following the catalog (the frame is
//                         the shared title band and sizing border)
//   DupFilesCommands.cpp  selecting a set and the commands of the menu
//   DupSetsModel, DupFilesModel, DupListViews   the two lists

#include "DuplicateSets.h"

#include <QDialog>
#include <vector>

class QMenu;
class QSplitter;
class TDupFilesModel;
class TDupFilesView;
class TDupSetsModel;
class TDupSetsView;
class TImageBt;
class TMainServices;
class TMenuStyler;
class TTitleBand;

class TDupFilesForm : public QDialog
{
    Q_OBJECT

public:
    TDupFilesForm(TMainServices &main, QWidget *owner);
    ~TDupFilesForm() override;

    // ---- Filling, by the duplicate search, before the window is shown
    // The sets found, numbered from 1 in the order the search met them. The grouping of the
    // core stands for the set-by-set building with its list of digest hashes, so the window
    // keeps no hashes of its own.
    void AddSets(std::vector<TDuplicateSet> sets);
    int SetCount() const;

    // ---- Handlers
    void FormShow();
    void FormClose();
    void CloseBtClick();
    // A set row was selected or deselected: its records fill the files list, or it empties.
    void SetsListSelectItem();
    // A file row was selected or deselected: a deselected row does not keep the focus.
    void FilesListSelectItem();
    void ShellopenClick();
    void SelectallBtClick();
    void RemovefilesBtClick();
    void DeletefilesClick();

    // The number of the selected set (0 for none) and the records of the selected file rows, in
    // row order.
    int SelectedSetNumber() const;
    std::vector<TFileDat *> SelectedRecords() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Many rows change at once: the files list repaints, and forgotten rows go, once at the end.
    class TRowsBracket;

    // DupFiles.cpp
    void buildTitleBand();
    void buildLists();
    void buildMenu();
    bool FormKeyDown(QObject *watched, int key);
    void followCatalog();
    void recordsLeaving(const QList<TFileDat *> &records);
    void takeOutForgottenRows();
    // Runs a menu command when the main window's gate lets it; an error the command does not
    // handle goes to the standard error box.
    void runCommand(void (TDupFilesForm::*command)());

    // DupFilesCommands.cpp
    QList<int> selectedRows() const;
    void deselectRecords(const std::vector<TFileDat *> &records);
    void removeSetRow(int row);
    // False (after saying so) when no file row or no set is selected.
    bool fileRowsChosen();

    TMainServices &m_main;
    TDupSetsModel *m_setsModel = nullptr;
    TDupFilesModel *m_filesModel = nullptr;
    int m_bracketDepth = 0;
    bool m_closed = false;

    TTitleBand *TopPanel = nullptr;
    TImageBt *CloseBt = nullptr;
    QSplitter *Splitter1 = nullptr;
    TDupSetsView *SetsList = nullptr;
    TDupFilesView *FilesList = nullptr;
    QMenu *PopupMenu1 = nullptr;
    TMenuStyler *MenuStyler1 = nullptr;
};
