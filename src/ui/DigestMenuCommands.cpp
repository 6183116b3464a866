// The digest commands of the "More options..." menu. The work on the catalog and the queue is
// done by the command cores of the hashing layer; here are their boxes and what the views show.

#include "DigestCommands.h"
#include "FileListModel.h"
#include "FilesListView.h"
#include "FoldersTreeView.h"
#include "main.h"

#include <QCoreApplication>

namespace {

void showMessage(TPrompts &prompts, const TCommandMessage &message)
{
    switch (message.Kind) {
    case mkNone:
        break;
    case mkInformation:
        prompts.Information(message.Text);
        break;
    case mkError:
        prompts.Error(message.Text);
        break;
    }
}

} // namespace

void TDravikForm::MorSearchmd5Click()
{
    // The core sets Busy through the window while it walks the catalog.
    const TSearchOutcome outcome = SearchMd5Code(m_scheduler, [this] {
        return m_prompts.InputBox(
            QStringLiteral("Search MD5 codes"),
            QStringLiteral("Enter code to search the first occurrence (32 hexadecimal numbers)"), QString());
    });
    showMessage(m_prompts, outcome.Message);
    if (!outcome.Found)
        return;

    const TFileDat *found = outcome.Found;
    SelectFolder(found->Folder);
    FoldersTree->setFocus();
    QCoreApplication::processEvents();
    // Events ran: the record may be gone by now, so it is only looked up, never read again.
    const int row = FindRecordRow(found);
    if (row < 0)
        return;
    const QModelIndex index = m_listModel->index(row, 0);
    FilesList->scrollTo(index);
    QCoreApplication::processEvents();
    if (FindRecordRow(found) != row)
        return;
    FilesList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
    FilesList->setFocus();
}

void TDravikForm::MorRestartallmd5Click()
{
    showMessage(m_prompts, RestartAllMd5Calculation(m_scheduler));
}

void TDravikForm::MorRecalculatemd5Click()
{
    QList<TFileDat *> selected;
    for (int row : SelectedRows())
        selected << m_listModel->RecordAt(row);
    const TCommandMessage message = RecalculateMd5(m_scheduler, selected);
    FilesList->clearSelection();
    showMessage(m_prompts, message);
}

void TDravikForm::MorSkipfilecalculatedClick()
{
    showMessage(m_prompts, SkipFileBeingCalculated(m_scheduler));
}

void TDravikForm::MorStopmd5calculationClick()
{
    showMessage(m_prompts, StopAllMd5Calculation(m_scheduler));
}
