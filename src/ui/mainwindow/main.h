#pragma once

// TDravikForm, the main window: a borderless frame with its own title band, the folder tree on
// the left, the file list on the right and the command panel at the bottom. It owns the
// catalog for the whole run and runs every command on the user-interface thread.
//
// The commands are split by area into files of this class's member functions:
//   main.cpp                start-up, frame, status, progress, enabled states, closing
//   mainLayout.cpp          the controls and menus of the window
//   FolderCommands.cpp      the folder tree and its commands
//   FileCommands.cpp        the file list and the commands that do not touch the disk
//   AddCommands.cpp         adding picked or dropped files and folder structures from disk
//   MoveCommands.cpp        moving folders to the root or by drag and drop, and dropped rows
//   RealPathCommands.cpp    the commands that use a record's real path on disk
//   DigestMenuCommands.cpp  the digest commands of the "More options..." menu
//   RegistryCommands.cpp    saving and loading the catalog file, the CSV export
//
// Every box and dialog goes through TPrompts and every shell "open" and clipboard write
// through TShell, both passed in, so a test can drive any command by calling its handler.
// Menu commands chosen while Busy is set do nothing. Long commands run under TLongOperation;
// the enabled states of the command panel are decided by TCommandStates alone; secondary windows
// see the window only as TMainServices.

#include "Catalog.h"
#include "CommandStates.h"
#include "DigestScheduler.h"
#include "DigestView.h"
#include "MainServices.h"
#include "Prompts.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

class QAction;
class QDragMoveEvent;
class QDropEvent;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class TFileListModel;
class TFilesListView;
class TFolderTreeModel;
class TFoldersTreeView;
class TImageBt;
class TMenuStyler;
class TProgressCyl;
enum class TCommandPicture;
class TDupFilesForm;

class TDravikForm : public QWidget, public TDigestView, public TMainServices
{
    Q_OBJECT

public:
    TDravikForm(TPrompts &prompts, TShell &shell, QWidget *parent = nullptr);
    ~TDravikForm() override;

    TCatalog &Catalog() override { return m_catalog; }
    TDigestScheduler &Scheduler() { return m_scheduler; }
    TPrompts &Prompts() override { return m_prompts; }
    TShell &Shell() override { return m_shell; }

    // ---- Services of every long operation
    // keep: the text stays until the next call; otherwise it is cleared 5 seconds after the
    // last call.
    void SetStatus(const QString &text, bool keep) override;
    QString StatusText() const;
    void CleTimerTimer();
    // Moves the progress bar to done of its Tag (nothing while Tag is 0 or less) and lets
    // pending window messages run (at most every few milliseconds).
    void SetProgress(qint64 done);
    void ResetProgress() override;
    void EnableCommands(bool on) override;
    bool Busy() const override { return m_busy; }
    void SetBusy(bool busy) override { m_busy = busy; }
    // The catalog has unsaved changes; "Save registry" is enabled exactly then.
    bool Modified() const { return m_states.Modified(); }
    void MarkModified() override { SetModified(true); }
    void SetModified(bool modified);
    // Shows the enabled states that TCommandStates decided.
    void UpdateCommandStates();

    // ---- What the digest scheduler asks of the window
    void BringFolderIntoView(TFolderNode *folder) override;
    void ShowRecordRow(TFileDat *record) override;

    // ---- What secondary windows ask of the window
    const TFileRemover &FileRemover() const override { return m_removeFile; }
    void ClearFileList() override;
    void RefillCurrentFolder() override;
    QString DateColumnCaption() const override;
    // Full path of the catalog file last loaded or chosen for saving.
    QString CatalogFileName;

    // ---- Frame and lifecycle
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void ExitBtClick();
    void MinimizeBtClick();
    void OptionsBtClick();
    void AboutBtClick();

    // ---- Folder tree
    void FoldersTreeChange(TFolderNode *folder);
    void FoldersTreeEdited(TFolderNode *folder, const QString &newName);
    void UpdateFolderButtons();
    // Selects the folder through the tree (refused while Busy); none clears the selection.
    void SelectFolder(TFolderNode *folder);
    void CreateRootFolder();
    void CreateSubFolder(TFolderNode *parent);
    void RemoveFolder(TFolderNode *folder);
    void CreateFolderBtClick();
    void RemoveFolderBtClick();
    void FolCreatenewrootClick();
    void FolAddnewsubClick();
    void FolChangenameClick();
    void FolMovesubfoldertorootClick();
    void FolCountfilesClick();
    void FolRemoverealpathClick();
    void FolSortfoldersClick();
    void FolExpandfoldersClick();
    void FolContractfoldersClick();

    // ---- Adding files and folder structures
    // With a current folder: the file picker, then the picked files added to that folder.
    void AddFilesBtClick();
    // Adds the files (full paths) to the folder: those it already holds (same name, letter case
    // ignored, and same size) and those not on disk are left out and counted in a box each; the
    // rest become queued records in the order given. The folder is selected afterwards.
    void AddFilesToFolder(QStringList candidates, TFolderNode *folder);
    // Files dropped from a file manager onto the file list, in the order given; ignored without
    // a current folder or while Busy.
    void HandleDroppedFiles(const QStringList &paths);
    // The folder picker, then each picked folder's structure copied below the current folder (or
    // as a root folder).
    void AddFoldersBtClick();

    // ---- Moving folders and records
    // Moves the source folder with everything below it to the end of the new parent's sub-folders
    // (the root level for none), collapsed; a selection inside it moves away as from a deleted folder.
    void CopyFolderTree(TFolderNode *newParentOrNone, TFolderNode *source);
    void FoldersTreeDragOver(QDragMoveEvent *event);
    // Decides about a drop on the tree and leaves the move, with its question, to the moment the
    // drag has ended: DropFolderOnFolder or DropRecordsOnFolder.
    void FoldersTreeDragDrop(QDropEvent *event);
    void DropFolderOnFolder(TFolderNode *dragged, TFolderNode *target);
    void DropRecordsOnFolder(std::vector<TFileDat *> records, TFolderNode *target);

    // ---- File list
    void FillFileList(TFolderNode *folder);
    int FindRecordRow(const TFileDat *record) const;
    void FilesListColumnClick(int column);
    void FilSelectallfilesClick();
    void FilCountfilesClick();
    void CommentsBtClick();
    void RemoveFilesBtClick();
    void FilCopymd5Click();

    // ---- Real-path commands
    void FilCheckexistenceClick();
    void FilShellopenClick();
    void FilOpenfolderClick();
    void FilRemoverealpathClick();
    void FilDeletefilesClick();
    void FilTipClick();

    // ---- Digest commands of the "More options..." menu
    void MorSearchmd5Click();
    void MorRestartallmd5Click();
    void MorRecalculatemd5Click();
    void MorSkipfilecalculatedClick();
    void MorStopmd5calculationClick();

    // ---- The catalog file and the CSV export
    // These throw what the storage layer throws, after putting the window back into a usable
    // state; the caller shows the error in the standard error box.
    void SaveMdBtClick();
    void LoadMdRegBtClick();
    void ExportBtClick();
    // Asks for a name and saves the catalog under it. False when the user cancelled the dialog.
    // A failed save leaves the catalog counted as modified.
    bool SaveCatalog();
    // Replaces the catalog with the one in the file; a path without a file leaves it empty.
    void LoadCatalog(const QString &path);

    // Rows of the file list that are selected, in list order, and their records.
    QList<int> SelectedRows() const;
    std::vector<TFileDat *> SelectedRecords() const;

    // How "Delete file(s) from disk" removes a file (tests make it fail); true when it is gone.
    void SetFileRemover(TFileRemover remover) { m_removeFile = std::move(remover); }

    // ---- Duplicate files (DuplicateCommands.cpp)
    void CheckDupBtClick();
    void SearchAllDupBtClick();
    // Creates the duplicates window and fills it with the sets among the candidates (records with
    // a digest, in collection order). False, the window closed again, when there is no set.
    bool FindDuplicateSets(const std::vector<TFileDat *> &candidates);
    // How the filled duplicates window is shown; by default modally. Tests look at it instead.
    void SetDupFilesShower(std::function<void(TDupFilesForm &)> show) { m_showDupFiles = std::move(show); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // mainLayout.cpp
    void buildTitleBand();
    void buildPanes();
    void buildCommandPanel();
    void buildMenus();
    void placeAnchoredControls();
    QPushButton *commandButton(const QString &name, const QString &caption, const QString &hint, int x, int y,
                               TCommandPicture picture);
    QAction *menuEntry(QMenu *menu, const QString &name, const QString &caption,
                       void (TDravikForm::*command)());

    // main.cpp
    bool FormKeyDown(QObject *watched, int key);
    void TopPanelMouseDown(QMouseEvent *event);
    Qt::Edges sizingEdgesAt(const QPoint &point) const;
    void runUnlessBusy(void (TDravikForm::*command)());
    // Runs a command, showing an error it does not handle in the standard error box.
    void guarded(const std::function<void()> &command);

    // FolderCommands.cpp
    void connectFolderTree();
    void FoldersTreeMouseDownOutside();
    std::vector<TFolderNode *> SubtreeRange(TFolderNode *folder) const;
    void setFoldersExpanded(bool expanded);

    // FileCommands.cpp
    void FilesListSelectItem();
    // Deselects the rows that show any of the records.
    void deselectRecords(const std::vector<TFileDat *> &records);

    // RealPathCommands.cpp
    static QString ResultsHeading(int count);
    // The record of the first selected row when it has a real path; otherwise says what is
    // missing and gives nullptr.
    const TFileDat *firstSelectedWithRealPath();

    // RegistryCommands.cpp
    void showStorageProgress(qint64 done, qint64 total);

    // DuplicateCommands.cpp
    void showDuplicateSets(bool found);
    TDupFilesForm *m_dupFilesForm = nullptr; // from its creation until it is shown
    std::function<void(TDupFilesForm &)> m_showDupFiles;

    TPrompts &m_prompts;
    TShell &m_shell;
    TCatalog m_catalog; // before the scheduler, which must go first
    TDigestScheduler m_scheduler;
    TFileRemover m_removeFile;
    TCommandStates m_states;
    bool m_busy = false;
    QElapsedTimer m_eventsLetRun; // when SetProgress last let messages run
    bool m_shown = false;
    bool m_dragging = false;

    TFolderTreeModel *m_treeModel = nullptr;
    TFileListModel *m_listModel = nullptr;

    QFrame *TopPanel = nullptr;
    QLabel *TopImage = nullptr;
    QLabel *TitleLabel = nullptr;
    TImageBt *MinimizeBt = nullptr;
    TImageBt *ExitBt = nullptr;
    QSplitter *Splitter1 = nullptr;
    TFoldersTreeView *FoldersTree = nullptr;
    TFilesListView *FilesList = nullptr;
    QFrame *BottomPanel = nullptr;
    QPushButton *CreateFolderBt = nullptr;
    QPushButton *RemoveFolderBt = nullptr;
    QPushButton *AddFilesBt = nullptr;
    QPushButton *AddFoldersBt = nullptr;
    QPushButton *CommentsBt = nullptr;
    QPushButton *RemoveFilesBt = nullptr;
    QPushButton *CheckDupBt = nullptr;
    QPushButton *SearchAllDupBt = nullptr;
    QPushButton *LoadMdRegBt = nullptr;
    QPushButton *SaveMdBt = nullptr;
    QPushButton *OptionsBt = nullptr;
    QPushButton *AboutBt = nullptr;
    QLabel *StatusPanel = nullptr;
    TProgressCyl *ProgressBar = nullptr;
    QTimer *CleTimer = nullptr;
    QMenu *OptionsPopup = nullptr;
    QMenu *FilesMenu = nullptr;
    QMenu *FoldersMenu = nullptr;
    TMenuStyler *MenuStyler = nullptr;
};
