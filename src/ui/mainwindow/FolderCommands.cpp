// The folder tree: selection, renaming and the folder commands.

#include "CatalogWatch.h"
#include "FileListModel.h"
#include "FolderTexts.h"
#include "FolderTreeModel.h"
#include "FoldersTreeView.h"
#include "GuardedSelection.h"
#include "LongOperation.h"
#include "RecordCommands.h"
#include "UpdatesSuspended.h"
#include "main.h"
#include "support.h"

void TDravikForm::connectFolderTree()
{
    // While a long command runs the tree keeps its selection, and no name is edited.
    const auto busy = [this] { return m_commands->Busy(); };
    FoldersTree->SetBusyCheck(busy);
    FoldersTree->SetEditCheck([this] { return m_commands->MayRun(TCommandStates::cmRenameFolder); });
    auto *selection = new TGuardedSelectionModel(m_treeModel, busy, FoldersTree);
    QItemSelectionModel *previous = FoldersTree->selectionModel();
    FoldersTree->setSelectionModel(selection);
    delete previous;
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { FoldersTreeChange(m_treeModel->FolderAt(current)); });
    connect(FoldersTree, &TFoldersTreeView::pressedOutsideLabels, this,
            &TDravikForm::FoldersTreeMouseDownOutside);
    FoldersTree->SetDragHandlers([this](QDragMoveEvent *event) { FoldersTreeDragOver(event); },
                                 [this](QDropEvent *event) { FoldersTreeDragDrop(event); });
    m_treeModel->SetRenameRule([this](TFolderNode *folder, const QString &name) {
        guarded([=, this] { FoldersTreeEdited(folder, name); });
    });
}

void TDravikForm::FoldersTreeChange(TFolderNode *folder)
{
    m_catalog.SetCurrentFolder(folder);
    FillFileList(folder);
}

void TDravikForm::FoldersTreeMouseDownOutside()
{
    // Refused by the tree's selection while Busy.
    FoldersTree->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
}

void TDravikForm::SelectFolder(TFolderNode *folder)
{
    if (!folder) {
        FoldersTree->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
        return;
    }
    for (TFolderNode *above = folder->Parent(); above; above = above->Parent())
        FoldersTree->expand(m_treeModel->IndexOf(above));
    const QModelIndex index = m_treeModel->IndexOf(folder);
    FoldersTree->scrollTo(index);
    FoldersTree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void TDravikForm::UpdateFolderButtons()
{
    m_commands->CurrentFolderChanged(m_catalog.CurrentFolder() != nullptr);
}

void TDravikForm::FoldersTreeEdited(TFolderNode *folder, const QString &newName)
{
    if (!m_commands->MayRun(TCommandStates::cmRenameFolder))
        return;
    if (!folder) {
        m_prompts.Information(SelectAFolderText());
        return;
    }
    if (newName.isEmpty() || newName == folder->Name())
        return;
    // The folder itself is among the siblings compared, so a change of letter case is refused.
    if (m_catalog.SiblingNameExists(folder->Parent(), newName)) {
        m_prompts.Information(FolderAlreadyExistsText(newName));
        return;
    }
    m_catalog.RenameFolder(folder, newName);
    MarkModified();
}

void TDravikForm::CreateRootFolder()
{
    const auto name = m_prompts.InputBox(QStringLiteral("Create new folder"),
                                         QStringLiteral("Enter root folder name"), QString());
    if (!name || name->isEmpty())
        return;
    if (m_catalog.SiblingNameExists(nullptr, *name)) {
        m_prompts.Information(FolderAlreadyExistsText(*name));
        return;
    }
    FoldersTree->setFocus();
    SelectFolder(m_catalog.AddFolder(nullptr, *name));
    MarkModified();
}

void TDravikForm::CreateSubFolder(TFolderNode *parent)
{
    const TCatalogWatch watch(m_catalog, {}, {parent});
    const auto name = m_prompts.InputBox(QStringLiteral("Create new folder"),
                                         QStringLiteral("Enter new sub-folder name"), QString());
    if (!name || name->isEmpty() || !watch.Holds(parent))
        return;
    if (m_catalog.SiblingNameExists(parent, *name)) {
        m_prompts.Information(FolderAlreadyExistsText(*name));
        return;
    }
    TFolderNode *added = m_catalog.AddFolder(parent, *name);
    FoldersTree->expand(m_treeModel->IndexOf(parent));
    SelectFolder(added);
    MarkModified();
}

std::vector<TFolderNode *> TDravikForm::SubtreeRange(TFolderNode *folder) const
{
    std::vector<TFolderNode *> range;
    m_catalog.ForEachFolder([&range](TFolderNode *each) { range.push_back(each); }, folder);
    return range;
}

void TDravikForm::RemoveFolder(TFolderNode *folder)
{
    const QString question =
        folder->SubFolders().empty()
            ? QStringLiteral("Folder \"%1\" will be removed from this list, continue?").arg(folder->Name())
            : QString::number(m_catalog.SubtreeFolderCount(folder)) +
                  QStringLiteral(" folders will be removed from this list, continue?");
    const TCatalogWatch watch(m_catalog, {}, {folder});
    if (!m_prompts.ConfirmYesNo(question) || !watch.Holds(folder))
        return;

    m_listModel->Fill(nullptr);
    TFolderNode *next = folder->Parent();
    if (!next) {
        const auto &roots = m_catalog.RootFolders();
        const size_t row = size_t(folder->Row());
        if (row > 0)
            next = roots[row - 1].get();
        else if (row + 1 < roots.size())
            next = roots[row + 1].get();
    }
    // The tree lets go of the folder before it goes, so it does not pick a neighbour itself.
    SelectFolder(nullptr);
    {
        TLongOperation operation(*this);
        TUpdatesSuspended suspended(FoldersTree);
        m_catalog.RemoveFolder(folder);
    }
    if (next)
        SelectFolder(next);
    else
        FoldersTreeChange(nullptr);
    if (m_catalog.HasFolders())
        MarkModified();
}

void TDravikForm::CreateFolderBtClick()
{
    if (TFolderNode *current = m_catalog.CurrentFolder())
        CreateSubFolder(current);
    else
        CreateRootFolder();
}

void TDravikForm::RemoveFolderBtClick()
{
    if (TFolderNode *current = m_catalog.CurrentFolder())
        RemoveFolder(current);
    else
        m_prompts.Information(SelectAFolderText());
}

void TDravikForm::FolCreatenewrootClick()
{
    CreateRootFolder();
}

void TDravikForm::FolAddnewsubClick()
{
    if (TFolderNode *current = m_catalog.CurrentFolder())
        CreateSubFolder(current);
    else
        m_prompts.Information(SelectAFolderText());
}

void TDravikForm::FolChangenameClick()
{
    TFolderNode *current = m_catalog.CurrentFolder();
    if (!current) {
        m_prompts.Information(SelectAFolderText());
        return;
    }
    FoldersTree->setFocus();
    FoldersTree->edit(m_treeModel->IndexOf(current));
}

void TDravikForm::FolCountfilesClick()
{
    if (!m_catalog.HasFolders()) {
        m_prompts.Error(QStringLiteral("No files to count."));
        return;
    }
    int folders = 0;
    qint64 files = 0;
    qint64 total = 0;
    m_catalog.ForEachFolder(
        [&](TFolderNode *folder) {
            ++folders;
            files += folder->RecordCount();
            for (const auto &record : folder->Records())
                total += record->Size;
        },
        m_catalog.CurrentFolder());
    m_prompts.Information(QStringLiteral("%1 folder(s) containing %2 file(s), totalizing %3")
                              .arg(folders)
                              .arg(files)
                              .arg(SizeText(total, true)));
}

void TDravikForm::FolRemoverealpathClick()
{
    TFolderNode *current = m_catalog.CurrentFolder();
    if (!current) {
        m_prompts.Information(SelectAFolderText());
        return;
    }
    const std::vector<TFolderNode *> range = SubtreeRange(current);
    const QString question =
        current->SubFolders().empty()
            ? QStringLiteral("Real path for all files in folder \"%1\" will be removed, continue?")
                  .arg(current->Name())
            : QStringLiteral("Real path for all files in ") + QString::number(range.size()) +
                  QStringLiteral(" folders will be removed, continue?");
    const TCatalogWatch watch(m_catalog, {}, range);
    if (!m_prompts.ConfirmYesNo(question))
        return;
    {
        TLongOperation operation(*this);
        std::vector<TFileDat *> records;
        for (TFolderNode *folder : watch.Folders()) {
            for (const auto &record : folder->Records())
                records.push_back(record.get());
        }
        RemoveRecordsRealPath(m_catalog, records);
    }
    // The digest queue may have made another folder current while the question was open.
    FillFileList(m_catalog.CurrentFolder());
    MarkModified();
    m_prompts.Information(QStringLiteral("Operation completed."));
}

void TDravikForm::FolSortfoldersClick()
{
    m_catalog.SortFolders(m_catalog.CurrentFolder());
    MarkModified();
}

void TDravikForm::setFoldersExpanded(bool expanded)
{
    if (!m_catalog.HasFolders())
        return;
    TUpdatesSuspended suspended(FoldersTree);
    for (TFolderNode *folder : SubtreeRange(m_catalog.CurrentFolder()))
        FoldersTree->setExpanded(m_treeModel->IndexOf(folder), expanded);
}

void TDravikForm::FolExpandfoldersClick()
{
    setFoldersExpanded(true);
}

void TDravikForm::FolContractfoldersClick()
{
    setFoldersExpanded(false);
}
