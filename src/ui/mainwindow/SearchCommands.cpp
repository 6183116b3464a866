// "Search file name": the search window over the catalog, and the record chosen there shown in
// the file list. The verification's results use the same window.

#include "FocusReturn.h"
#include "SearchFilesForm.h"
#include "main.h"

void TDravikForm::MorSearchfilenameClick()
{
    // Deletes itself when closed.
    showSearchWindow(new TSearchFilesForm(*this, m_catalog.CurrentFolder(), this));
}

void TDravikForm::showSearchWindow(TSearchFilesForm *form)
{
    TFileDat *chosen = nullptr;
    connect(form, &TSearchFilesForm::showInRegistry, this, [&chosen](TFileDat *record) { chosen = record; });
    {
        const TFocusReturn focus;
        if (m_showSearchFiles)
            m_showSearchFiles(*form);
        else
            form->exec();
    }
    // The window is modal: no command could take the record away while it was open.
    if (chosen)
        ShowRecord(chosen);
}
