#pragma once

// TCommandStates: the one gate of the main window's commands. It keeps every fact that decides
// whether a command may run or a button is enabled (Busy, a current folder, rows in the file
// list, rows selected, folders in the catalog, unsaved changes) and answers MayRun for every
// entry point: buttons, menu entries, keys, drops, the folder tree's in-place rename and the
// duplicates window's commands. Entry points ask; they never read a button's state or Busy
// themselves. It emits changed whenever a fact or an enabled state changes, and the window shows
// the enabled states from that signal alone.
//
// The buttons follow the events the window reports, as its commands expect: switching the
// commands on never disables a button whose condition fails (it keeps its state), the current
// folder decides "Remove" and "Add files" (and takes "Check" away when it goes), filling the list
// decides "Check", and a change of the list's selection decides "Remove" and "Comments" of the
// files, except while Busy. "New" is always enabled; "Save registry" exactly while the catalog
// has unsaved changes. Menu entries are never disabled: while Busy, what they do is nothing.
//
// User-interface thread only.

#include <QObject>
#include <array>

class TCommandStates : public QObject
{
    Q_OBJECT

public:
    // The buttons of the command panel whose enabled state changes.
    enum TButton
    {
        btLoadMdReg,
        btAddFolders,
        btAddFiles,
        btCheckDup,
        btRemoveFiles,
        btComments,
        btSearchAllDup,
        btRemoveFolder,
        ButtonCount
    };

    // What an entry point asks to run.
    enum TCommand
    {
        // "New" and Insert on the folder tree: enabled or not.
        cmCreateFolder,
        // The buttons, and the keys that stand for them: while the button is enabled.
        cmRemoveFolder,
        cmAddFiles,
        cmAddFolders,
        cmComments,
        cmRemoveFiles,
        cmCheckDup,
        cmSearchAllDup,
        cmLoadRegistry,
        // "Save registry": while there are unsaved changes.
        cmSaveRegistry,
        // Any entry of a popup menu, the main window's or the duplicates window's.
        cmMenuCommand,
        // F2 and the in-place edit of a folder's name.
        cmRenameFolder,
        // Files from a file manager onto the list: they go into the current folder.
        cmDropFiles,
        // Folders or rows dragged onto a folder of the tree.
        cmDropOnFolder,
        // A click on a header of the file list.
        cmSortFiles,
        // The about window, which is modal.
        cmAbout,
        // Closing the window disposes of the catalog.
        cmClose,
    };

    explicit TCommandStates(QObject *parent = nullptr);

    // Whether the command may run now: never while Busy.
    bool MayRun(TCommand command) const;
    bool Enabled(TButton button) const { return m_enabled[button]; }
    bool Busy() const { return m_busy; }
    bool Modified() const { return m_modified; }
    bool HasCurrentFolder() const { return m_currentFolder; }

    // ---- Facts, as the window learns them
    void SetBusy(bool busy);
    void SetModified(bool modified);
    // The current folder changed (or went away).
    void CurrentFolderChanged(bool current);
    // The catalog gained its first folder or lost its last.
    void FoldersChanged(bool hasFolders);
    // The file list was filled again, or its rows settled after a command.
    void ListFilled(bool hasRows);
    // Rows came or went, or the selection changed, without an event the buttons follow.
    void ListChanged(bool hasRows, bool rowsSelected);
    // Rows were selected or deselected.
    void SelectionChanged(bool rowsSelected);

    // ---- A long command starts (everything but "New" and "Save registry" off) or ends (what
    // the facts allow comes on; nothing goes off).
    void CommandsOff();
    void CommandsOn();

Q_SIGNALS:
    void changed();

private:
    // Applies a change and emits changed when anything differs afterwards.
    template <typename Change>
    void update(Change &&change);

    std::array<bool, ButtonCount> m_enabled{true, true, false, false, false, false, false, false};
    bool m_busy = false;
    bool m_modified = false;
    bool m_currentFolder = false;
    bool m_hasFolders = false;
    bool m_listHasRows = false;
    bool m_rowsSelected = false;
};
