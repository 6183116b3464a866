#pragma once

// TCommandStates: which buttons of the command panel are enabled, and whether the catalog has
// unsaved changes ("Save registry" follows that flag). The rules live here, in one place; the
// window only reports what happened and shows the result (TDravikForm::UpdateCommandStates).
// "New" is always enabled and is not kept here.
//
// The rules are event by event, as the window's commands expect: switching the commands on
// never disables a button whose condition fails (it keeps its state), the current folder decides
// "Remove" and "Add files", the list's rows decide "Check", the list's selection decides
// "Remove" and "Comments" of the files.

#include <array>

class TCommandStates
{
public:
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

    // What the window shows when the commands come back on.
    struct TFacts
    {
        bool ListHasRows = false;
        bool RowsSelected = false;
        bool CurrentFolder = false;
        bool HasFolders = false;
    };

    bool Enabled(TButton button) const { return m_enabled[button]; }
    bool Modified() const { return m_modified; }

    // A long command starts: everything but "New" and "Save registry" goes off.
    void CommandsOff();
    // A long command ends: what the facts allow comes on; nothing goes off.
    void CommandsOn(const TFacts &facts);
    // The current folder changed (or went away).
    void CurrentFolderChanged(bool current);
    // The file list was filled again.
    void ListFilled(bool hasRows);
    // Rows were selected or deselected (not while a long command runs).
    void SelectionChanged(bool rowsSelected);
    void SetModified(bool modified) { m_modified = modified; }

private:
    std::array<bool, ButtonCount> m_enabled{true, true, false, false, false, false, false, false};
    bool m_modified = false;
};
