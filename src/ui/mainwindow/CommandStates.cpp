#include "CommandStates.h"

#include <tuple>

TCommandStates::TCommandStates(QObject *parent) : QObject(parent) {}

bool TCommandStates::MayRun(TCommand command) const
{
    if (m_busy)
        return false;
    switch (command) {
    case cmRemoveFolder:
        return m_enabled[btRemoveFolder];
    case cmAddFiles:
        return m_enabled[btAddFiles];
    case cmAddFolders:
        return m_enabled[btAddFolders];
    case cmComments:
        return m_enabled[btComments];
    case cmRemoveFiles:
        return m_enabled[btRemoveFiles];
    case cmCheckDup:
        return m_enabled[btCheckDup];
    case cmSearchAllDup:
        return m_enabled[btSearchAllDup];
    case cmLoadRegistry:
        return m_enabled[btLoadMdReg];
    case cmSaveRegistry:
        return m_modified;
    case cmDropFiles:
        return m_currentFolder;
    case cmCreateFolder:
    case cmMenuCommand:
    case cmRenameFolder:
    case cmDropOnFolder:
    case cmSortFiles:
    case cmAbout:
    case cmClose:
        return true;
    }
    return false;
}

template <typename Change>
void TCommandStates::update(Change &&change)
{
    const auto state = [this] {
        return std::tuple(m_enabled, m_busy, m_modified, m_currentFolder, m_hasFolders, m_listHasRows,
                          m_rowsSelected);
    };
    const auto before = state();
    change();
    if (state() != before)
        Q_EMIT changed();
}

void TCommandStates::SetBusy(bool busy)
{
    update([&] { m_busy = busy; });
}

void TCommandStates::SetModified(bool modified)
{
    update([&] { m_modified = modified; });
}

void TCommandStates::CurrentFolderChanged(bool current)
{
    update([&] {
        m_currentFolder = current;
        m_enabled[btRemoveFolder] = current;
        m_enabled[btAddFiles] = current;
        if (!current)
            m_enabled[btCheckDup] = false;
    });
}

void TCommandStates::FoldersChanged(bool hasFolders)
{
    update([&] { m_hasFolders = hasFolders; });
}

void TCommandStates::ListFilled(bool hasRows)
{
    update([&] {
        m_listHasRows = hasRows;
        m_enabled[btCheckDup] = hasRows;
    });
}

void TCommandStates::ListChanged(bool hasRows, bool rowsSelected)
{
    update([&] {
        m_listHasRows = hasRows;
        m_rowsSelected = rowsSelected;
    });
}

void TCommandStates::SelectionChanged(bool rowsSelected)
{
    update([&] {
        m_rowsSelected = rowsSelected;
        if (m_busy)
            return;
        m_enabled[btRemoveFiles] = rowsSelected;
        m_enabled[btComments] = rowsSelected;
    });
}

void TCommandStates::CommandsOff()
{
    update([&] { m_enabled.fill(false); });
}

void TCommandStates::CommandsOn()
{
    update([&] {
        auto enableIf = [this](TButton button, bool condition) {
            if (condition)
                m_enabled[button] = true;
        };
        enableIf(btLoadMdReg, true);
        enableIf(btAddFolders, true);
        enableIf(btCheckDup, m_listHasRows);
        enableIf(btRemoveFiles, m_rowsSelected);
        enableIf(btComments, m_rowsSelected);
        enableIf(btAddFiles, m_currentFolder);
        enableIf(btSearchAllDup, m_hasFolders);
        enableIf(btRemoveFolder, m_hasFolders && m_currentFolder);
    });
}
