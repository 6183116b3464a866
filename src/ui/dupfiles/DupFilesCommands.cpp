// The duplicates window: selecting a set, and the commands of its menu.

#include "Catalog.h"
#include "CatalogWatch.h"
#include "DupFiles.h"
#include "DupFilesModel.h"
#include "DupListViews.h"
#include "DupSetsModel.h"
#include "LongOperation.h"
#include "MainServices.h"
#include "Prompts.h"
#include "RecordCommands.h"
#include "RecordShell.h"
#include "UpdatesSuspended.h"
#include "support.h"

#include <algorithm>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

// The files list repaints once, and the rows of records that left go once, at the end.
class TDupFilesForm::TRowsBracket
{
public:
    explicit TRowsBracket(TDupFilesForm &form) : m_form(form), m_updates(form.FilesList)
    {
        ++m_form.m_bracketDepth;
    }
    ~TRowsBracket()
    {
        if (--m_form.m_bracketDepth == 0)
            m_form.takeOutForgottenRows();
    }
    TRowsBracket(const TRowsBracket &) = delete;
    TRowsBracket &operator=(const TRowsBracket &) = delete;

private:
    TDupFilesForm &m_form;
    TUpdatesSuspended m_updates;
};

// ---- Selection

int TDupFilesForm::SelectedSetNumber() const
{
    const QModelIndexList rows = SetsList->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : m_setsModel->SetAt(rows.first().row()).Number;
}

QList<int> TDupFilesForm::selectedRows() const
{
    // Read from the ranges: asking row by row costs the square of the number of ranges.
    QList<int> rows;
    for (const QItemSelectionRange &range : FilesList->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::vector<TFileDat *> TDupFilesForm::SelectedRecords() const
{
    std::vector<TFileDat *> records;
    for (int row : selectedRows()) {
        if (TFileDat *record = m_filesModel->RecordAt(row))
            records.push_back(record);
    }
    return records;
}

void TDupFilesForm::deselectRecords(const std::vector<TFileDat *> &records)
{
    QItemSelection rows;
    for (const TFileDat *record : records) {
        const int row = m_filesModel->RowOf(record);
        if (row >= 0)
            rows.select(m_filesModel->index(row, 0),
                        m_filesModel->index(row, TDupFilesModel::ColumnCount - 1));
    }
    FilesList->selectionModel()->select(rows, QItemSelectionModel::Deselect);
}

void TDupFilesForm::SetsListSelectItem()
{
    const QModelIndexList selected = SetsList->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        SetsList->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        m_filesModel->Clear();
    } else {
        const TDuplicateSet &set = m_setsModel->SetAt(selected.first().row());
        TRowsBracket bracket(*this);
        m_filesModel->Show(set.Number, set.Records);
    }
    FilesList->setFocus();
}

void TDupFilesForm::FilesListSelectItem()
{
    const QModelIndex current = FilesList->currentIndex();
    if (current.isValid() && !FilesList->selectionModel()->isRowSelected(current.row(), QModelIndex()))
        FilesList->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void TDupFilesForm::removeSetRow(int row)
{
    m_setsModel->RemoveSet(row);
    SetsList->selectionModel()->clearSelection();
    SetsListSelectItem();
}

// ---- Commands of the menu

void TDupFilesForm::ShellopenClick()
{
    const QList<int> rows = selectedRows();
    ShellOpenRecord(rows.isEmpty() ? nullptr : m_filesModel->RecordAt(rows.first()), m_main.Prompts(),
                    m_main.Shell());
}

void TDupFilesForm::SelectallBtClick()
{
    if (m_filesModel->rowCount() == 0) {
        m_main.Prompts().Information(QStringLiteral("Please select a set and try again."));
        return;
    }
    TRowsBracket bracket(*this);
    FilesList->selectAll();
}

bool TDupFilesForm::fileRowsChosen()
{
    if (selectedRows().isEmpty() || SelectedSetNumber() == 0) {
        m_main.Prompts().Information(QStringLiteral("Please select the file(s) and try again."));
        return false;
    }
    return true;
}

void TDupFilesForm::RemovefilesBtClick()
{
    if (!fileRowsChosen())
        return;
    const std::vector<TFileDat *> named = SelectedRecords();
    const QString question =
        named.size() == 1
            ? QStringLiteral("File \"%1\" will be removed from the main list, continue?")
                  .arg(named.front()->FileName)
            : QStringLiteral("%1 files will be removed from the main list, continue?").arg(named.size());
    TCatalog &catalog = m_main.Catalog();
    const TCatalogWatch watch(catalog, named);
    if (!m_main.Prompts().ConfirmYesNo(question))
        return;

    const TLongOperation operation(m_main, TLongOperation::BusyOnly);
    // The main list would follow every record on its own; it is filled again at the end.
    m_main.ClearFileList();
    {
        TRowsBracket bracket(*this);
        // Only what the question named; a record being digested stays, deselected.
        const TRecordOutcome outcome = RemoveRecordsFromCatalog(catalog, watch.Held());
        deselectRecords(outcome.LeftAlone);
    }
    m_main.MarkModified();
    m_main.RefillCurrentFolder();
}

void TDupFilesForm::DeletefilesClick()
{
    if (!fileRowsChosen())
        return;
    const std::vector<TFileDat *> named = SelectedRecords();
    const int analyzed = int(named.size());
    const QString question = analyzed == 1
                                 ? QStringLiteral("Warning: file \"") + named.front()->FileName +
                                       QStringLiteral("\" will be deleted from disk, continue?")
                                 : QStringLiteral("Warning: ") + QString::number(analyzed) +
                                       QStringLiteral(" files will be deleted from disk, continue?");
    TCatalog &catalog = m_main.Catalog();
    const TCatalogWatch watch(catalog, named);
    if (!m_main.Prompts().ConfirmYesNo(question))
        return;

    TRecordOutcome outcome;
    {
        const TLongOperation operation(m_main, TLongOperation::BusyOnly);
        m_main.ClearFileList();
        TRowsBracket bracket(*this);
        // Only what the question named. A missing file's record keeps its state; its row shows it.
        outcome = DeleteRecordFiles(catalog, watch.Held(), m_main.FileRemover(), TMissingMark::KeepState);
        for (const TFileDat *record : outcome.MissingRecords)
            m_filesModel->MarkMissing(record);
        deselectRecords(outcome.LeftAlone);
        m_main.MarkModified();
    }
    m_main.RefillCurrentFolder();

    QString text = QStringLiteral("Results for ") + QString::number(analyzed) +
                   QStringLiteral(" analyzed file(s):") + LineBreak;
    if (outcome.NoRealPath > 0)
        text += LineBreak + QString::number(outcome.NoRealPath) +
                QStringLiteral(" file(s) wasn't deleted because doesn't have real filepath.");
    if (outcome.Missing > 0)
        text += LineBreak + QString::number(outcome.Missing) +
                QStringLiteral(" file(s) wasn't deleted because doesn't exist, was marked.");
    if (outcome.NotDeleted > 0)
        text += LineBreak + QString::number(outcome.NotDeleted) +
                QStringLiteral(" file(s) wasn't deleted because it couldn't be removed from disk.");
    // Only when every named file with a real path is gone; one left alone for its digest counts too.
    if (outcome.Done > 0 && outcome.Done == analyzed - outcome.NoRealPath)
        text += LineBreak + QStringLiteral("All selected files deleted.");
    m_main.Prompts().Information(text);
}
