// Saving the catalog to its file, loading it back and exporting it as CSV: the dialogs, the
// status texts, the progress bar and the window's state around the storage layer's work.
//
// Each of these runs on the user-interface thread as a long operation. When the storage layer
// throws, the guard puts the window back (commands on, Busy clear, no "please wait" text,
// progress at 0) and the error goes on to the standard error box.

#include "CatalogFile.h"
#include "CsvExport.h"
#include "FoldersTreeView.h"
#include "LongOperation.h"
#include "StorageErrors.h"
#include "UpdatesSuspended.h"
#include "main.h"
#include "support.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace {

const QString CatalogFilter = QStringLiteral("Dravik files (*.dat)|*.dat|All files (*.*)|*.*");
const QString CsvFilter = QStringLiteral("CSV files (*.csv)|*.csv|All files (*.*)|*.*");
const QString UnsavedQuestion = QStringLiteral("The registry was not saved, save now?");

// The dialogs start from the catalog file the user last worked with.
TPrompts::TFileRequest catalogFileRequest(const QString &catalogFileName)
{
    TPrompts::TFileRequest request;
    request.Filter = CatalogFilter;
    request.ProposedName = catalogFileName;
    if (!catalogFileName.isEmpty())
        request.InitialFolder = QFileInfo(catalogFileName).absolutePath();
    return request;
}

QString totalsText(const QString &lead, const TCatalogTotals &totals)
{
    return lead + SizeText(totals.TotalSize, false) + QStringLiteral(" in ") + QString::number(totals.Files) +
           QStringLiteral(" files.");
}

} // namespace

void TDravikForm::showStorageProgress(TLongOperation &operation, qint64 done, qint64 total)
{
    operation.SetTotal(total);
    operation.Progress(done);
}

// ---- Save

void TDravikForm::SaveMdBtClick()
{
    SaveCatalog();
}

bool TDravikForm::SaveCatalog()
{
    const std::optional<TPrompts::TFileChoice> choice =
        m_prompts.SaveFile(catalogFileRequest(CatalogFileName));
    if (!choice)
        return false;
    QString path = choice->Path;
    if (choice->FilterIndex == 0 && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".dat");
    CatalogFileName = path;

    // Counted as saved from here on: a digest handed over while the file is written marks the
    // catalog modified again, since the record went out without it. Whatever is on disk after a
    // failure, it is not this catalog.
    SetModified(false);
    auto keepModifiedOnFailure = qScopeGuard([this] { MarkModified(); });
    // An empty catalog writes no file and shows no result.
    const bool writing = m_catalog.HasFolders();
    TLongOperation operation(*this, writing ? QStringLiteral("saving registry, please wait...") : QString());
    if (writing)
        operation.SetTotal(m_catalog.FolderCount());
    const TCatalogTotals totals = ::SaveCatalog(m_catalog, path, [&operation](qint64 done, qint64 total) {
        showStorageProgress(operation, done, total);
    });
    keepModifiedOnFailure.dismiss();
    if (writing)
        operation.SetResult(totalsText(QStringLiteral("registry saved, "), totals));
    return true;
}

// ---- Load

void TDravikForm::LoadMdRegBtClick()
{
    if (Modified()) {
        switch (m_prompts.ConfirmYesNoCancel(UnsavedQuestion)) {
        case TPrompts::TAnswer::Cancel:
            return;
        case TPrompts::TAnswer::Yes:
            // Unsaved work is never dropped: no load unless the save went through.
            if (!SaveCatalog())
                return;
            break;
        case TPrompts::TAnswer::No:
            break;
        }
    }
    TPrompts::TFileRequest request = catalogFileRequest(CatalogFileName);
    request.DefaultExtension = QStringLiteral("dat");
    const std::optional<TPrompts::TFileChoice> choice = m_prompts.OpenFile(request);
    if (!choice)
        return;
    LoadCatalog(choice->Path);
}

void TDravikForm::LoadCatalog(const QString &path)
{
    // Replaced, never merged; the file list empties with the catalog.
    m_catalog.ClearCatalog();
    // However the load ends, what is left (the file's catalog or an empty one) holds nothing
    // unsaved of the user's.
    const auto unmodified = qScopeGuard([this] { SetModified(false); });
    if (!QFileInfo::exists(path))
        return;

    std::optional<TCatalogTotals> totals;
    try {
        // A failed load leaves an empty catalog behind: part of one would look like all of it.
        TLongOperation operation(*this, QStringLiteral("reading registry, please wait..."));
        {
            TUpdatesSuspended suspended(FoldersTree);
            totals = ::LoadCatalog(m_catalog, path, [&operation](qint64 done, qint64 total) {
                showStorageProgress(operation, done, total);
            });
        }
        if (totals)
            operation.SetResult(totalsText(QStringLiteral("registry ready, "), *totals));
    } catch (const EStorageError &error) {
        throw EStorageError(error.Message(), path); // the box names the file it could not read
    }
    if (totals) // else the file went away while events ran
        CatalogFileName = path;
}

// ---- CSV export

void TDravikForm::ExportBtClick()
{
    if (!m_catalog.HasFolders()) {
        m_prompts.Error(QStringLiteral("No files to proceed."));
        return;
    }
    TPrompts::TFileRequest request;
    request.Filter = CsvFilter;
    request.DefaultExtension = QStringLiteral("csv");
    request.ProposedName = QStringLiteral("Dravik");
    const std::optional<TPrompts::TFileChoice> choice = m_prompts.SaveFile(request);
    if (!choice)
        return;

    TLongOperation operation(*this, QStringLiteral("exporting Dravik, please wait..."));
    operation.SetTotal(m_catalog.FolderCount());
    const qint64 records =
        ExportCatalogCsvFile(m_catalog, choice->Path, [&operation](qint64 done, qint64 total) {
            showStorageProgress(operation, done, total);
        });
    operation.SetResult(QStringLiteral("Dravik exported, ") + QString::number(records) +
                        QStringLiteral(" records"));
}
