// "Check" and "Check all": the duplicate search of the main window and the window that shows
// its sets.

#include "DupFiles.h"
#include "DuplicateSets.h"
#include "LongOperation.h"
#include "ProgressCyl.h"
#include "main.h"

#include <QCoreApplication>

void TDravikForm::CheckDupBtClick()
{
    TFolderNode *folder = m_catalog.CurrentFolder();
    if (!folder) {
        m_prompts.Information(QStringLiteral("Please select a folder and try again."));
        return;
    }
    bool found = false;
    {
        TLongOperation operation(*this);
        found = FindDuplicateSets(CollectDuplicateCandidates(folder));
    }
    showDuplicateSets(found);
}

void TDravikForm::SearchAllDupBtClick()
{
    if (!m_catalog.HasFolders())
        return;
    bool found = false;
    {
        TLongOperation operation(*this, QStringLiteral("loading registries, please wait..."));
        ProgressBar->SetTag(m_catalog.FolderCount());
        std::vector<TFileDat *> candidates =
            CollectAllDuplicateCandidates(m_catalog, [this](int position) { SetProgress(position); });
        ResetProgress();
        found = FindDuplicateSets(candidates);
    }
    showDuplicateSets(found);
}

bool TDravikForm::FindDuplicateSets(const std::vector<TFileDat *> &candidates)
{
    // Deletes itself when closed.
    m_dupFilesForm = new TDupFilesForm(*this, this);
    const int count = int(candidates.size());
    SetStatus(QStringLiteral("comparing ") + QString::number(count) +
                  QStringLiteral(" registries, please wait..."),
              true);
    QCoreApplication::processEvents();
    ProgressBar->SetTag(count);
    // The grouping passes a candidate in well under a microsecond, while letting events run costs
    // several: the bar moves, and events run, each time it shows a new percentage. The window is
    // Busy, so no command takes a candidate away meanwhile.
    int shownPercent = -1;
    m_dupFilesForm->AddSets(::FindDuplicateSets(candidates, [this, count, &shownPercent](int position) {
        const int percent = int(qint64(position) * 100 / qMax(1, count));
        if (percent != shownPercent) {
            shownPercent = percent;
            SetProgress(position);
        }
    }));
    ResetProgress();
    SetStatus(QString(), true);
    if (m_dupFilesForm->SetCount() > 0)
        return true;
    m_dupFilesForm->close();
    m_dupFilesForm = nullptr;
    return false;
}

void TDravikForm::showDuplicateSets(bool found)
{
    if (!found) {
        m_prompts.Information(QStringLiteral("No duplicate files found."));
        return;
    }
    TDupFilesForm *form = m_dupFilesForm;
    m_dupFilesForm = nullptr;
    if (!form)
        return;
    if (m_showDupFiles)
        m_showDupFiles(*form);
    else
        form->exec();
}
