// "Check" and "Check all": the duplicate search of the main window and the window that shows
// its sets.

#include "DupFiles.h"
#include "FocusReturn.h"
#include "LongOperation.h"
#include "main.h"

void TDravikForm::CheckDupBtClick()
{
    TFolderNode *folder = m_catalog.CurrentFolder();
    if (!folder) {
        m_prompts.Information(QStringLiteral("Please select a folder and try again."));
        return;
    }
    std::unique_ptr<TDupFilesForm> form;
    {
        TLongOperation operation(*this);
        form = FindDuplicateSets(CollectDuplicateCandidates(folder), operation);
    }
    showDuplicateSets(std::move(form));
}

void TDravikForm::SearchAllDupBtClick()
{
    if (!m_catalog.HasFolders())
        return;
    std::unique_ptr<TDupFilesForm> form;
    {
        TLongOperation operation(*this, QStringLiteral("loading registries, please wait..."));
        operation.SetTotal(m_catalog.FolderCount());
        std::vector<TFileDat *> candidates = CollectAllDuplicateCandidates(
            m_catalog, [&operation](int position) { operation.Progress(position); });
        operation.ResetProgress();
        form = FindDuplicateSets(candidates, operation);
    }
    showDuplicateSets(std::move(form));
}

std::unique_ptr<TDupFilesForm> TDravikForm::FindDuplicateSets(const std::vector<TFileDat *> &candidates,
                                                              TLongOperation &operation)
{
    // Held here until it is shown: an error in the search disposes of it with the rest.
    auto form = std::make_unique<TDupFilesForm>(*this, this);
    const int count = int(candidates.size());
    operation.ShowWaitText(QStringLiteral("comparing ") + QString::number(count) +
                           QStringLiteral(" registries, please wait..."));
    operation.SetTotal(count);
    // The grouping passes a candidate in well under a microsecond, while letting events run costs
    // several: the bar moves, and events run, each time it shows a new percentage. The window is
    // Busy, so no command takes a candidate away meanwhile.
    int shownPercent = -1;
    const auto progress = [&operation, count, &shownPercent](int position) {
        const int percent = int(qint64(position) * 100 / qMax(1, count));
        if (percent != shownPercent) {
            shownPercent = percent;
            operation.Progress(position);
        }
    };
    form->AddSets(m_findDuplicates ? m_findDuplicates(candidates, progress)
                                   : ::FindDuplicateSets(candidates, progress));
    operation.ResetProgress();
    operation.ShowWaitText(QString());
    if (form->SetCount() == 0)
        return nullptr;
    return form;
}

void TDravikForm::showDuplicateSets(std::unique_ptr<TDupFilesForm> form)
{
    if (!form) {
        m_prompts.Information(QStringLiteral("No duplicate files found."));
        return;
    }
    // From here the window disposes of itself when it is closed.
    TDupFilesForm *shown = form.release();
    const TFocusReturn focus;
    if (m_showDupFiles)
        m_showDupFiles(*shown);
    else
        shown->exec();
}
