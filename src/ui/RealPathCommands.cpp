// The commands that use a record's real path on disk: check, open, open the folder, forget the
// path, delete the file.

#include "FileListModel.h"
#include "FilesListView.h"
#include "ProgressCyl.h"
#include "main.h"
#include "support.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

bool fileExists(const TFileDat &record)
{
    return FileSizeOf(record.FullPath()) >= 0;
}

} // namespace

QString TDravikForm::ResultsHeading(int count)
{
    return QStringLiteral("Results for ") + QString::number(count) + QStringLiteral(" analyzed file(s):") +
           LineBreak;
}

void TDravikForm::FilCheckexistenceClick()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) {
        m_prompts.Information(QStringLiteral("Please select the file(s) and try again."));
        return;
    }
    const int count = int(rows.size());
    int noPath = 0;
    int missing = 0;
    FilesList->setUpdatesEnabled(false);
    for (int row : rows) {
        TFileDat *record = m_listModel->RecordAt(row);
        if (record->State == fsDigesting)
            continue;
        if (record->RealPath.isEmpty()) {
            ++noPath;
        } else if (!fileExists(*record)) {
            ++missing;
            m_catalog.SetRecordState(record, fsMissing);
        } else {
            // A file found again is not queued; only its look changes.
            m_catalog.SetRecordState(record, record->Md5.isEmpty() ? fsPending : fsDigested);
        }
    }
    FilesList->setUpdatesEnabled(true);
    FilesList->clearSelection();

    QString text = ResultsHeading(count);
    if (noPath > 0)
        text += LineBreak + QString::number(noPath) +
                QStringLiteral(" file(s) wasn't checked because doesn't have real filepath.");
    if (missing > 0)
        text += LineBreak + QString::number(missing) +
                QStringLiteral(" file(s) doesn't exist, was marked in RED.");
    else if (count - noPath > 0)
        text += LineBreak + QStringLiteral("All checked files exists.");
    m_prompts.Information(text);
}

const TFileDat *TDravikForm::firstSelectedWithRealPath()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) {
        m_prompts.Information(QStringLiteral("Please select the file and try again."));
        return nullptr;
    }
    const TFileDat *record = m_listModel->RecordAt(rows.first());
    if (record->RealPath.isEmpty()) {
        m_prompts.Information(QStringLiteral("Selected file doesn't have real path."));
        return nullptr;
    }
    return record;
}

void TDravikForm::FilShellopenClick()
{
    const TFileDat *record = firstSelectedWithRealPath();
    if (!record)
        return;
    const QString path = record->FullPath();
    if (fileExists(*record))
        m_shell.Open(path);
    else
        m_prompts.Error(QStringLiteral("Error, file doesn't exist.") + LineBreak + u'"' + path + u'"');
}

void TDravikForm::FilOpenfolderClick()
{
    const TFileDat *record = firstSelectedWithRealPath();
    if (!record)
        return;
    if (QFileInfo(record->RealPath).isDir())
        m_shell.Open(record->RealPath);
    else
        m_prompts.Error(QStringLiteral("Error, folder doesn't exist.") + LineBreak + u'"' + record->RealPath +
                        u'"');
}

void TDravikForm::FilRemoverealpathClick()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) {
        m_prompts.Information(QStringLiteral("Please select the file(s) and try again."));
        return;
    }
    const QString question = rows.size() == 1
                                 ? QStringLiteral("Real path for file \"") +
                                       m_listModel->RecordAt(rows.first())->FileName +
                                       QStringLiteral("\" will be removed, continue?")
                                 : QStringLiteral("Real path for ") + QString::number(rows.size()) +
                                       QStringLiteral(" files will be removed, continue?");
    if (!m_prompts.ConfirmYesNo(question))
        return;
    FilesList->setUpdatesEnabled(false);
    for (int row : rows) {
        TFileDat *record = m_listModel->RecordAt(row);
        if (record->State != fsDigesting)
            m_catalog.SetRecordRealPath(record, QString());
    }
    FilesList->setUpdatesEnabled(true);
    FilesList->clearSelection();
    MarkModified();
    m_prompts.Information(QStringLiteral("Operation completed."));
}

void TDravikForm::FilDeletefilesClick()
{
    const QList<int> selected = SelectedRows();
    if (selected.isEmpty()) {
        m_prompts.Information(QStringLiteral("Please select the file(s) and try again."));
        return;
    }
    const int count = int(selected.size());
    const QString question = count == 1 ? QStringLiteral("Warning: file \"") +
                                              m_listModel->RecordAt(selected.first())->FileName +
                                              QStringLiteral("\" will be deleted from disk, continue?")
                                        : QStringLiteral("Warning: ") + QString::number(count) +
                                              QStringLiteral(" files will be deleted from disk, continue?");
    if (!m_prompts.ConfirmYesNo(question))
        return;

    m_busy = true;
    EnableCommands(false);
    SetStatus(QStringLiteral("deleting ") + QString::number(count) +
                  QStringLiteral(" file(s), please wait..."),
              true);
    QCoreApplication::processEvents();
    ProgressBar->SetTag(count);
    int noPath = 0;
    int missing = 0;
    int notDeleted = 0;
    QItemSelectionModel *selection = FilesList->selectionModel();
    auto deselect = [&](int row) {
        selection->select(m_listModel->index(row, 0),
                          QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    };
    for (int round = 0;; ++round) {
        const QList<int> rows = SelectedRows();
        if (rows.isEmpty())
            break;
        const int row = rows.first();
        TFileDat *record = m_listModel->RecordAt(row);
        if (record->State == fsDigesting) {
            deselect(row);
        } else if (record->RealPath.isEmpty()) {
            ++noPath;
            deselect(row);
        } else if (!fileExists(*record)) {
            ++missing;
            m_catalog.SetRecordState(record, fsMissing);
            deselect(row);
        } else if (!m_removeFile(record->FullPath())) {
            // A file that stays on disk keeps its record.
            ++notDeleted;
            deselect(row);
        } else {
            m_catalog.RemoveRecord(record);
        }
        SetProgress(round);
    }
    ProgressBar->SetPosition(0);
    SetStatus(QString(), true);
    MarkModified();
    EnableCommands(true);
    m_busy = false;

    QString text = ResultsHeading(count);
    if (noPath > 0)
        text += LineBreak + QString::number(noPath) +
                QStringLiteral(" file(s) wasn't deleted because doesn't have real filepath.");
    if (missing > 0)
        text += LineBreak + QString::number(missing) +
                QStringLiteral(" file(s) wasn't deleted because doesn't exist, was marked in RED.");
    if (notDeleted > 0)
        text += LineBreak + QString::number(notDeleted) +
                QStringLiteral(" file(s) wasn't deleted because it couldn't be removed from disk.");
    if (missing == 0 && notDeleted == 0 && count - noPath > 0)
        text += LineBreak + QStringLiteral("All selected files deleted.");
    m_prompts.Information(text);
}

void TDravikForm::FilTipClick()
{
    m_prompts.Information(
        QStringLiteral("About real filepaths: You can remove real paths to save registry space.") +
        LineBreak + QStringLiteral("It is advisable for files stored in removable drives."));
}
