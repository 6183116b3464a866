#pragma once

// TDravikForm, the main window: a borderless frame with its own title band, the folder tree on
// the left, the file list on the right and the command panel at the bottom. It owns the
// catalog for the whole run and runs every command on the user-interface thread.
//
// The commands are split by area into files of this class's member functions:
//   main.cpp                start-up, the entry points, the services of long commands, closing
//   mainLayout.cpp          the controls and menus of the window
//   FolderCommands.cpp      the folder tree and its commands
//   FileCommands.cpp        the file list and the commands that do not touch the disk
//   AddCommands.cpp         adding picked or dropped files and folder structures from disk
//   MoveCommands.cpp        moving folders to the root or by drag and drop, and dropped rows
//   RealPathCommands.cpp    the commands that use a record's real path on disk
//   DigestMenuCommands.cpp  the digest commands of the "More options..." menu
//   RegistryCommands.cpp    saving and loading the catalog file, the CSV export
//   DuplicateCommands.cpp   "Check" and "Check all"
//   SearchCommands.cpp      "Search file name" and the window it opens
//   VerifyCommands.cpp      "Verify MD5 for selected files"
// and by concern into classes of their own: TCommandStates (CommandStates.h) decides whether a
// command may run and which buttons are enabled, TStatusArea (StatusArea.h) keeps the status
// text and the progress, TLongOperation (LongOperation.h) guards every long command, and the
// frame is the shared TTitleBand and TSizingBorder of every window.
//
// Every box and dialog goes through TPrompts and every shell "open" and clipboard write
// through TShell, both passed in, so a test can drive any command by calling its handler. Every
// entry point (button, menu entry, key, drop, in-place rename) asks the command gate first; the
// handlers themselves check only their own preconditions. Secondary windows see the window only
// as TMainServices.

#include "Catalog.h"
#include "CommandStates.h"
#include "DigestScheduler.h"
#include "DigestView.h"
#include "DuplicateSets.h"
#include "MainServices.h"
#include "Prompts.h"

#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QDragMoveEvent;
class QDropEvent;
class QFrame;
class QMenu;
class QPushButton;
class QSplitter;
class TDigestFileReader;
class TDupFilesForm;
class TFileListModel;
class TFilesListView;
class TFolderTreeModel;
class TFoldersTreeView;
class TImageBt;
class TLongOperation;
class TMenuStyler;
class TSearchFilesForm;
class TStatusArea;
class TTitleBand;
enum class TCommandPicture;

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
    // The gate every entry point asks, and the facts it decides from.
    const TCommandStates &Commands() const override { return *m_commands; }

    // ---- Services of every long operation (the status area's)
    // keep: the text stays until the next call; otherwise it is cleared 5 seconds after the
    // last call.
    void SetStatus(const QString &text, bool keep) override;
    QString StatusText() const;
    void CleTimerTimer();
    // The total of the running command; SetProgress moves the bar to done of it (nothing while
    // it is 0 or less) and lets pending window messages run (at most every few milliseconds).
    void SetProgressTotal(qint64 total) override;
    void SetProgress(qint64 done) override;
    void ResetProgress() override;
    void EnableCommands(bool on) override;
    bool Busy() const override;
    void SetBusy(bool busy) override;
    // The catalog has unsaved changes; "Save registry" is enabled exactly then.
    bool Modified() const;
    void MarkModified() override { SetModified(true); }
    void SetModified(bool modified);

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
    // Tells the gate whether a folder is current.
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
    // Files dropped from a file manager onto the file list, in the order given: they go into the
    // folder current at the drop, once the drop has been answered; ignored without a current
    // folder or while Busy.
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
    // The record's folder selected and opened into view, its row selected, focused and in view.
    void ShowRecord(TFileDat *record);
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

    // ---- Search by name (SearchCommands.cpp)
    // The search window, modal; a record chosen there is then shown in the file list.
    void MorSearchfilenameClick();
    // How the search window is shown; by default modally. Tests drive it instead.
    void SetSearchFilesShower(std::function<void(TSearchFilesForm &)> show) { m_showSearchFiles = std::move(show); }

    // ---- Verification (VerifyCommands.cpp)
    // The selected rows, or the current folder and everything below it after a question, read
    // again and compared with their digests; Escape stops it. A summary, then the findings that
    // are not "ok" in the results window, where an edited record may take its new digest.
    void MorVerifymd5Click();
    // Called with each file the verification opens, before it reads (tests make reads fail).
    void SetVerifyReadHook(std::function<void(const QString &, TDigestFileReader &)> hook)
    {
        m_verifyReadHook = std::move(hook);
    }

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
    // a digest, in collection order), reporting through the running command's guard. None, the
    // window disposed of again, when there is no set.
    std::unique_ptr<TDupFilesForm> FindDuplicateSets(const std::vector<TFileDat *> &candidates,
                                                     TLongOperation &operation);
    // How the filled duplicates window is shown; by default modally. Tests look at it instead.
    void SetDupFilesShower(std::function<void(TDupFilesForm &)> show) { m_showDupFiles = std::move(show); }
    // How the sets are found among the candidates (tests make it fail).
    using TDuplicateSearch = std::function<std::vector<TDuplicateSet>(const std::vector<TFileDat *> &,
                                                                      const std::function<void(int)> &)>;
    void SetDuplicateSearch(TDuplicateSearch search) { m_findDuplicates = std::move(search); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // mainLayout.cpp
    void buildTitleBand();
    void buildPanes();
    void buildCommandPanel();
    void buildMenus();
    QPushButton *commandButton(const QString &name, const QString &caption, const QString &hint, int x, int y,
                               TCommandPicture picture, TCommandStates::TCommand command,
                               void (TDravikForm::*handler)());
    QAction *menuEntry(QMenu *menu, const QString &name, const QString &caption,
                       void (TDravikForm::*command)());

    // main.cpp
    // The facts the gate decides from, followed from the catalog and the file list.
    void followCommandFacts();
    // Shows what the gate decided: the buttons' enabled states and the hint of "New".
    void showCommandStates();
    bool FormKeyDown(QObject *watched, int key);
    // Runs the handler when the gate lets the command run, showing an error it does not handle
    // in the standard error box; false when the gate refused.
    bool run(TCommandStates::TCommand command, const std::function<void()> &handler);
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
    // The record of the first selected row; nullptr when none is selected.
    TFileDat *firstSelectedRecord() const;

    // RegistryCommands.cpp
    static void showStorageProgress(TLongOperation &operation, qint64 done, qint64 total);

    // SearchCommands.cpp
    // Runs the search window (modally unless a test shows it), then shows the record chosen there.
    void showSearchWindow(TSearchFilesForm *form);

    // DuplicateCommands.cpp
    void showDuplicateSets(std::unique_ptr<TDupFilesForm> form);
    std::function<void(TDupFilesForm &)> m_showDupFiles;
    TDuplicateSearch m_findDuplicates;
    std::function<void(TSearchFilesForm &)> m_showSearchFiles;
    std::function<void(const QString &, TDigestFileReader &)> m_verifyReadHook;

    TPrompts &m_prompts;
    TShell &m_shell;
    TCatalog m_catalog; // before the scheduler, which must go first
    TDigestScheduler m_scheduler;
    TFileRemover m_removeFile;
    TCommandStates *m_commands = nullptr;
    TStatusArea *m_status = nullptr;
    bool m_shown = false;

    TFolderTreeModel *m_treeModel = nullptr;
    TFileListModel *m_listModel = nullptr;

    TTitleBand *TopPanel = nullptr;
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
    QMenu *OptionsPopup = nullptr;
    QMenu *FilesMenu = nullptr;
    QMenu *FoldersMenu = nullptr;
    TMenuStyler *MenuStyler = nullptr;
};
