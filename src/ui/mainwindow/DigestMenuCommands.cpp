// The digest commands of the "More options..." menu: their boxes, in the window's words and kinds,
// and what the views show. The work on the queue is done by the command cores of the hashing
// layer, the search by the catalog query of the core.

#include "DigestCommands.h"
#include "DigestSearch.h"
#include "FilesListView.h"
#include "LongOperation.h"
#include "main.h"

namespace {

const QString NoFilesToProceed = QStringLiteral("No files to proceed.");

// Why some of the analysed records were not queued.
QString LeftOutReport(const TDigestCommandOutcome &outcome)
{
    QString text = QStringLiteral("Results for %1 analyzed file(s):\r\n\r\n").arg(outcome.Analysed);
    if (outcome.WithoutRealPath > 0)
        text += QStringLiteral("%1 file(s) will not be processed because doesn't have real filepath.")
                    .arg(outcome.WithoutRealPath);
    if (outcome.WithoutRealPath > 0 && outcome.Missing > 0)
        text += QStringLiteral("\r\n");
    if (outcome.Missing > 0)
        text += QStringLiteral("%1 file(s) will not be processed because doesn't exist, was marked in RED.")
                    .arg(outcome.Missing);
    return text;
}

// Shows the command's box; only then may the queue start, so it does not switch folders under
// an open box.
void showOutcome(TPrompts &prompts, TDigestScheduler &scheduler, const TDigestCommandOutcome &outcome)
{
    switch (outcome.Result) {
    case drDone:
        break;
    case drNoDigestRunning:
        prompts.Information(QStringLiteral("No MD5 calculation in process."));
        break;
    case drNoRecords:
        prompts.Error(NoFilesToProceed);
        break;
    case drAllDigested:
        prompts.Information(QStringLiteral("MD5 code already calculated for all files (%1) in the registry.")
                                .arg(outcome.Analysed));
        break;
    case drNoCurrentFolder:
        prompts.Information(QStringLiteral("Please select a folder and try again."));
        break;
    case drNoSelection:
        prompts.Information(QStringLiteral("Please select the files(s) and try again."));
        break;
    case drSomeLeftOut:
        prompts.Information(LeftOutReport(outcome));
        break;
    }
    if (outcome.StartQueue)
        scheduler.PostMd5Next();
}

} // namespace

void TDravikForm::MorSearchmd5Click()
{
    if (!m_catalog.HasFolders()) {
        m_prompts.Error(NoFilesToProceed);
        return;
    }
    const std::optional<QString> typed = m_prompts.InputBox(
        QStringLiteral("Search MD5 codes"),
        QStringLiteral("Enter code to search the first occurrence (32 hexadecimal numbers)"), QString());
    if (!typed)
        return;
    const std::optional<TMd5Text> code = Md5CodeToSearch(*typed);
    if (!code) {
        m_prompts.Information(
            QStringLiteral("The code you entered is not a MD5 valid code, please try again."));
        return;
    }
    TFileDat *found = nullptr;
    {
        const TLongOperation search(*this);
        found = FindFirstRecordWithDigest(m_catalog, *code);
    }
    if (!found) {
        m_prompts.Information(QStringLiteral("MD5 code not found in the registry."));
        return;
    }
    ShowRecord(found);
}

void TDravikForm::MorRestartallmd5Click()
{
    showOutcome(m_prompts, m_scheduler, RestartAllMd5Calculation(m_scheduler));
}

void TDravikForm::MorRecalculatemd5Click()
{
    QList<TFileDat *> selected;
    for (TFileDat *record : SelectedRecords())
        selected << record;
    const TDigestCommandOutcome outcome = RecalculateMd5(m_scheduler, selected);
    FilesList->clearSelection();
    showOutcome(m_prompts, m_scheduler, outcome);
}

void TDravikForm::MorSkipfilecalculatedClick()
{
    showOutcome(m_prompts, m_scheduler, SkipFileBeingCalculated(m_scheduler));
}

void TDravikForm::MorStopmd5calculationClick()
{
    showOutcome(m_prompts, m_scheduler, StopAllMd5Calculation(m_scheduler));
}
