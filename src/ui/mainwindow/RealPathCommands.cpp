// The commands that use a record's real path on disk: check, open, open the folder, forget the
// path, delete the file.

#include "CatalogWatch.h"
#include "FileListModel.h"
#include "FilesListView.h"
#include "LongOperation.h"
#include "RecordCommands.h"
#include "RecordShell.h"
#include "UpdatesSuspended.h"
#include "main.h"
#include "support.h"

namespace {

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

QString TDravikForm::ResultsHeading(int count)
{
    return QStringLiteral("Results for ") + QString::number(count) + QStringLiteral(" analyzed file(s):") +
           LineBreak;
}

void TDravikForm::FilCheckexistenceClick()
{
    const std::vector<TFileDat *> records = SelectedRecords();
    if (records.empty()) {
        m_prompts.Information(QStringLiteral("Please select the file(s) and try again."));
        return;
    }
    const int count = int(records.size());
    TRecordOutcome outcome;
    {
        const TUpdatesSuspended suspended(FilesList);
        outcome = CheckRecordsExistence(m_catalog, records);
    }
    FilesList->clearSelection();

    QString text = ResultsHeading(count);
    if (outcome.NoRealPath > 0)
        text += LineBreak + QString::number(outcome.NoRealPath) +
                QStringLiteral(" file(s) wasn't checked because doesn't have real filepath.");
    if (outcome.Missing > 0)
        text += LineBreak + QString::number(outcome.Missing) +
                QStringLiteral(" file(s) doesn't exist, was marked in RED.");
    else if (count - outcome.NoRealPath > 0)
        text += LineBreak + QStringLiteral("All checked files exists.");
    m_prompts.Information(text);
}

TFileDat *TDravikForm::firstSelectedRecord() const
{
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? nullptr : m_listModel->RecordAt(rows.first());
}

void TDravikForm::FilShellopenClick()
{
    ShellOpenRecord(firstSelectedRecord(), m_prompts, m_shell);
}

void TDravikForm::FilOpenfolderClick()
{
    OpenRecordFolder(firstSelectedRecord(), m_prompts, m_shell);
}

void TDravikForm::FilRemoverealpathClick()
{
    const std::vector<TFileDat *> named = SelectedRecords();
    if (named.empty()) {
        m_prompts.Information(QStringLiteral("Please select the file(s) and try again."));
        return;
    }
    const QString question = named.size() == 1
                                 ? QStringLiteral("Real path for file \"") + named.front()->FileName +
                                       QStringLiteral("\" will be removed, continue?")
                                 : QStringLiteral("Real path for ") + QString::number(named.size()) +
                                       QStringLiteral(" files will be removed, continue?");
    const TCatalogWatch watch(m_catalog, named);
    if (!m_prompts.ConfirmYesNo(question))
        return;
    {
        const TUpdatesSuspended suspended(FilesList);
        RemoveRecordsRealPath(m_catalog, watch.Confirmed());
    }
    FilesList->clearSelection();
    MarkModified();
    m_prompts.Information(QStringLiteral("Operation completed."));
}

void TDravikForm::FilDeletefilesClick()
{
    const std::vector<TFileDat *> named = SelectedRecords();
    if (named.empty()) {
        m_prompts.Information(QStringLiteral("Please select the file(s) and try again."));
        return;
    }
    const int count = int(named.size());
    const QString question = count == 1 ? QStringLiteral("Warning: file \"") + named.front()->FileName +
                                              QStringLiteral("\" will be deleted from disk, continue?")
                                        : QStringLiteral("Warning: ") + QString::number(count) +
                                              QStringLiteral(" files will be deleted from disk, continue?");
    const TCatalogWatch watch(m_catalog, named);
    if (!m_prompts.ConfirmYesNo(question))
        return;

    TRecordOutcome outcome;
    {
        TLongOperation operation(*this, QStringLiteral("deleting ") + QString::number(count) +
                                            QStringLiteral(" file(s), please wait..."));
        const TUpdatesSuspended suspended(FilesList);
        // Only what the question named; rows selected while the loop lets events run stay.
        operation.SetTotal(count);
        outcome = DeleteRecordFiles(m_catalog, watch.Held(), m_removeFile, TMissingMark::MarkMissing,
                                    [&operation](int done) { operation.Progress(done); });
        deselectRecords(outcome.LeftAlone);
        MarkModified();
    }

    QString text = ResultsHeading(count);
    if (outcome.NoRealPath > 0)
        text += LineBreak + QString::number(outcome.NoRealPath) +
                QStringLiteral(" file(s) wasn't deleted because doesn't have real filepath.");
    if (outcome.Missing > 0)
        text += LineBreak + QString::number(outcome.Missing) +
                QStringLiteral(" file(s) wasn't deleted because doesn't exist, was marked in RED.");
    if (outcome.NotDeleted > 0)
        text += LineBreak + QString::number(outcome.NotDeleted) +
                QStringLiteral(" file(s) wasn't deleted because it couldn't be removed from disk.");
    // Only when every named file with a real path is gone; one left alone for its digest counts too.
    if (outcome.Done > 0 && outcome.Done == count - outcome.NoRealPath)
        text += LineBreak + QStringLiteral("All selected files deleted.");
    m_prompts.Information(text);
}

void TDravikForm::FilTipClick()
{
    m_prompts.Information(
        QStringLiteral("About real filepaths: You can remove real paths to save registry space.") +
        LineBreak + QStringLiteral("It is advisable for files stored in removable drives."));
}
