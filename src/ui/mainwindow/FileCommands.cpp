// The file list: filling, selection, sorting and the commands that do not touch the disk.

#include "CatalogWatch.h"
#include "FileListModel.h"
#include "FilesListView.h"
#include "FolderTreeModel.h"
#include "FoldersTreeView.h"
#include "LongOperation.h"
#include "RecordCommands.h"
#include "main.h"
#include "support.h"

#include <QCoreApplication>

void TDravikForm::FillFileList(TFolderNode *folder)
{
    m_listModel->Fill(folder);
    if (!folder) {
        SetStatus(QString(), true);
        return;
    }
    const int rows = m_listModel->rowCount();
    m_commands->ListFilled(rows > 0);
    if (rows == 0) {
        SetStatus(QString(), true);
        return;
    }
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

std::vector<TFileDat *> TDravikForm::SelectedRecords() const
{
    const QList<int> rows = SelectedRows();
    std::vector<TFileDat *> records;
    records.reserve(size_t(rows.size()));
    for (int row : rows)
        records.push_back(m_listModel->RecordAt(row));
    return records;
}

void TDravikForm::deselectRecords(const std::vector<TFileDat *> &records)
{
    QItemSelection rows;
    for (const TFileDat *record : records) {
        const int row = FindRecordRow(record);
        if (row >= 0)
            rows.select(m_listModel->index(row, 0), m_listModel->index(row, TFileListModel::ColumnCount - 1));
    }
    FilesList->selectionModel()->select(rows, QItemSelectionModel::Deselect);
}

void TDravikForm::ClearFileList()
{
    m_listModel->Fill(nullptr);
}

void TDravikForm::RefillCurrentFolder()
{
    if (TFolderNode *selected = m_treeModel->FolderAt(FoldersTree->selectionModel()->currentIndex()))
        FillFileList(selected);
}

QString TDravikForm::DateColumnCaption() const
{
    return m_listModel->headerData(TFileListModel::colDateTime, Qt::Horizontal).toString();
}

void TDravikForm::ShowRecord(TFileDat *record)
{
    // Events run below: the record may go meanwhile; the watch says whether it is still there.
    const TCatalogWatch watch(m_catalog, {record});
    SelectFolder(record->Folder);
    FoldersTree->setFocus();
    QCoreApplication::processEvents();
    const int row = watch.Holds(record) ? FindRecordRow(record) : -1;
    if (row < 0)
        return;
    const QModelIndex index = m_listModel->index(row, 0);
    FilesList->scrollTo(index);
    QCoreApplication::processEvents();
    if (!watch.Holds(record) || FindRecordRow(record) != row)
        return;
    FilesList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
    FilesList->setFocus();
}

void TDravikForm::FilesListSelectItem()
{
    // While a long command runs no row keeps the focus.
    if (m_commands->Busy())
        FilesList->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    m_commands->SelectionChanged(FilesList->selectionModel()->hasSelection());
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
    const TCatalogWatch watch(m_catalog, {record});
    const auto comment =
        m_prompts.InputBox(QStringLiteral("File comments"),
                           QStringLiteral("Enter new file comment and press OK, otherwise press "
                                          "Cancel button"),
                           record->Comment);
    if (!comment || watch.Confirmed().empty() || *comment == record->Comment)
        return;
    m_catalog.SetRecordComment(record, *comment);
    MarkModified();
}

void TDravikForm::RemoveFilesBtClick()
{
    const std::vector<TFileDat *> named = SelectedRecords();
    if (named.empty()) {
        m_prompts.Information(QStringLiteral("Please select the file(s) and try again."));
        return;
    }
    const QString question =
        named.size() == 1
            ? QStringLiteral("File \"%1\" will be removed from this list, continue?")
                  .arg(named.front()->FileName)
            : QStringLiteral("%1 files will be removed from this list, continue?").arg(named.size());
    const TCatalogWatch watch(m_catalog, named);
    if (!m_prompts.ConfirmYesNo(question))
        return;

    TLongOperation operation(*this);
    // A record being digested stays, deselected.
    const std::vector<TFileDat *> held = watch.Held();
    operation.SetTotal(qint64(held.size()));
    const TRecordOutcome outcome =
        RemoveRecordsFromCatalog(m_catalog, held, [&operation](int done) { operation.Progress(done); });
    deselectRecords(outcome.LeftAlone);
    FilesList->viewport()->update();
    MarkModified();
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
