// The file list: filling, selection, sorting and the commands that do not touch the disk.

#include "FileListModel.h"
#include "FilesListView.h"
#include "ProgressCyl.h"
#include "main.h"
#include "support.h"

#include <QPushButton>

namespace {

// Records leave the catalog in slices, so the progress bar moves while thousands go.
constexpr size_t RemovalSlice = 500;

} // namespace

void TDravikForm::FillFileList(TFolderNode *folder)
{
    m_listModel->Fill(folder);
    if (!folder) {
        SetStatus(QString(), true);
        return;
    }
    const int rows = m_listModel->rowCount();
    if (rows == 0) {
        CheckDupBt->setEnabled(false);
        SetStatus(QString(), true);
        return;
    }
    CheckDupBt->setEnabled(true);
    SetStatus(QString::number(rows) + (rows == 1 ? QStringLiteral(" file, ") : QStringLiteral(" files, ")) +
                  SizeText(m_listModel->TotalSize(), false),
              false);
}

int TDravikForm::FindRecordRow(const TFileDat *record) const
{
    return m_listModel->FindRecordRow(record);
}

QList<int> TDravikForm::SelectedRows() const
{
    // Read from the ranges: asking the selection model row by row costs the square of the
    // number of ranges when thousands of single rows are selected.
    QList<int> rows;
    for (const QItemSelectionRange &range : FilesList->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void TDravikForm::FilesListSelectItem()
{
    if (m_busy) {
        // While a long command runs no row keeps the focus.
        FilesList->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    const bool selected = FilesList->selectionModel()->hasSelection();
    RemoveFilesBt->setEnabled(selected);
    CommentsBt->setEnabled(selected);
}

void TDravikForm::FilesListColumnClick(int column)
{
    if (m_listModel->SortByColumn(column))
        MarkModified();
    FilesList->viewport()->update();
}

void TDravikForm::FilSelectallfilesClick()
{
    if (m_listModel->rowCount() == 0) {
        m_prompts.Information(QStringLiteral("Please select a folder and try again."));
        return;
    }
    FilesList->selectAll();
}

void TDravikForm::FilCountfilesClick()
{
    if (!m_catalog.CurrentFolder()) {
        m_prompts.Information(QStringLiteral("Please select a folder and try again."));
        return;
    }
    QList<int> rows = SelectedRows();
    const bool selection = !rows.isEmpty();
    if (!selection) {
        for (int row = 0; row < m_listModel->rowCount(); ++row)
            rows << row;
    }
    qint64 total = 0;
    for (int row : std::as_const(rows))
        total += m_listModel->RecordAt(row)->Size;
    if (selection)
        FilesList->clearSelection();
    m_prompts.Information(
        QStringLiteral("%1 file(s), totalizing %2").arg(rows.size()).arg(SizeText(total, true)));
}

void TDravikForm::CommentsBtClick()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) {
        m_prompts.Information(QStringLiteral("Please select a file and try again."));
        return;
    }
    TFileDat *record = m_listModel->RecordAt(rows.first());
    if (record->State == fsDigesting)
        return;
    const auto comment =
        m_prompts.InputBox(QStringLiteral("File comments"),
                           QStringLiteral("Enter new file comment and press OK, otherwise press "
                                          "Cancel button"),
                           record->Comment);
    if (!comment || *comment == record->Comment)
        return;
    m_catalog.SetRecordComment(record, *comment);
    MarkModified();
}

void TDravikForm::RemoveFilesBtClick()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) {
        m_prompts.Information(QStringLiteral("Please select the file(s) and try again."));
        return;
    }
    const QString question =
        rows.size() == 1
            ? QStringLiteral("File \"%1\" will be removed from this list, continue?")
                  .arg(m_listModel->RecordAt(rows.first())->FileName)
            : QStringLiteral("%1 files will be removed from this list, continue?").arg(rows.size());
    if (!m_prompts.ConfirmYesNo(question))
        return;

    m_busy = true;
    EnableCommands(false);
    removeSelectedRecords();
    FilesList->viewport()->update();
    ProgressBar->SetPosition(0);
    MarkModified();
    EnableCommands(true);
    m_busy = false;
}

void TDravikForm::removeSelectedRecords()
{
    // The record being digested stays, deselected.
    std::vector<TFileDat *> leaving;
    for (int row : SelectedRows()) {
        TFileDat *record = m_listModel->RecordAt(row);
        if (record->State == fsDigesting)
            FilesList->selectionModel()->select(m_listModel->index(row, 0),
                                                QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        else
            leaving.push_back(record);
    }
    ProgressBar->SetTag(int(leaving.size()));
    for (size_t done = 0; done < leaving.size(); done += RemovalSlice) {
        SetProgress(qint64(done));
        const size_t end = qMin(leaving.size(), done + RemovalSlice);
        std::vector<TFileDat *> slice;
        for (size_t i = done; i < end; ++i) {
            // Events ran meanwhile: the digest queue may have taken one of them up.
            if (leaving[i]->State != fsDigesting)
                slice.push_back(leaving[i]);
        }
        m_catalog.RemoveRecords(slice);
    }
}

void TDravikForm::FilCopymd5Click()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) {
        m_prompts.Information(QStringLiteral("Please select the file and try again."));
        return;
    }
    const QString digest = m_listModel->Md5Text(rows.first());
    if (digest.isEmpty()) {
        m_prompts.Information(QStringLiteral("Selected file doesn't have MD5 code."));
        return;
    }
    m_shell.SetClipboardText(digest);
}
