// The digest commands of the "More options..." menu. The work on the catalog and the queue is
// done by the command cores of the hashing layer; here are their boxes and what the views show.

#include "CatalogWatch.h"
#include "DigestCommands.h"
#include "FileListModel.h"
#include "FilesListView.h"
#include "FoldersTreeView.h"
#include "main.h"

#include <QCoreApplication>

namespace {

// Shows the command's box; only then may the queue start, so it does not switch folders under
// an open box.
void showMessage(TPrompts &prompts, TDigestScheduler &scheduler, const TCommandMessage &message)
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
    if (message.PostMd5Next)
        scheduler.PostMd5Next();
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
    showMessage(m_prompts, m_scheduler, outcome.Message);
    if (!outcome.Found)
        return;

    ShowRecord(outcome.Found);
}

void TDravikForm::MorRestartallmd5Click()
{
    showMessage(m_prompts, m_scheduler, RestartAllMd5Calculation(m_scheduler));
}

void TDravikForm::MorRecalculatemd5Click()
{
    QList<TFileDat *> selected;
    for (TFileDat *record : SelectedRecords())
        selected << record;
    const TCommandMessage message = RecalculateMd5(m_scheduler, selected);
    FilesList->clearSelection();
    showMessage(m_prompts, m_scheduler, message);
}

void TDravikForm::MorSkipfilecalculatedClick()
{
    showMessage(m_prompts, m_scheduler, SkipFileBeingCalculated(m_scheduler));
}

void TDravikForm::MorStopmd5calculationClick()
{
    showMessage(m_prompts, m_scheduler, StopAllMd5Calculation(m_scheduler));
}
