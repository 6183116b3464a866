#include "CommandStates.h"

void TCommandStates::CommandsOff()
{
    m_enabled.fill(false);
}

void TCommandStates::CommandsOn(const TFacts &facts)
{
    auto enableIf = [this](TButton button, bool condition) {
        if (condition)
            m_enabled[button] = true;
    };
    enableIf(btLoadMdReg, true);
    enableIf(btAddFolders, true);
    enableIf(btCheckDup, facts.ListHasRows);
    enableIf(btRemoveFiles, facts.RowsSelected);
    enableIf(btComments, facts.RowsSelected);
    enableIf(btAddFiles, facts.CurrentFolder);
    enableIf(btSearchAllDup, facts.HasFolders);
    enableIf(btRemoveFolder, facts.HasFolders && facts.CurrentFolder);
}

void TCommandStates::CurrentFolderChanged(bool current)
{
    m_enabled[btRemoveFolder] = current;
    m_enabled[btAddFiles] = current;
    if (!current)
        m_enabled[btCheckDup] = false;
}

void TCommandStates::ListFilled(bool hasRows)
{
    m_enabled[btCheckDup] = hasRows;
}

void TCommandStates::SelectionChanged(bool rowsSelected)
{
    m_enabled[btRemoveFiles] = rowsSelected;
    m_enabled[btComments] = rowsSelected;
}
