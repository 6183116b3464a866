// Moving folders and records: "Move sub-folder to root", a folder dragged onto another folder,
// rows of the file list dragged onto a folder.

#include "CatalogDrag.h"
#include "CatalogWatch.h"
#include "FileListModel.h"
#include "FilesListView.h"
#include "FolderTexts.h"
#include "FolderTreeModel.h"
#include "FoldersTreeView.h"
#include "UpdatesSuspended.h"
#include "main.h"

#include <QDropEvent>
#include <memory>

namespace {

// Where a single-selection tree puts its selection when the selected folder is deleted: on the
// next sibling, else the previous one, else the parent (none for a lone root folder).
TFolderNode *selectedAfterDeleting(const TCatalog &catalog, const TFolderNode *folder)
{
    const auto &siblings = catalog.SubFoldersOf(folder->Parent());
    const size_t row = size_t(folder->Row());
    if (row + 1 < siblings.size())
        return siblings[row + 1].get();
    if (row > 0)
        return siblings[row - 1].get();
    return folder->Parent();
}

} // namespace

// The folder is re-hung, not copied: its node goes to the new place with its sub-folders, record
// lists and records as they are. So a folder of 100,000 records moves at once, and every record
// keeps its identity, its digest state and its queue entries (a record being digested gets its
// digest in the new place). What the window shows is what a copy under the new parent with the
// old node deleted would show: the folder is the new parent's last child, with the same names,
// order, pictures and records, collapsed all the way down; the copy is not selected, and a
// selection inside the old node moves away from it as the tree moves it from any deleted folder,
// through the ordinary selection change (FoldersTreeChange).
void TDravikForm::CopyFolderTree(TFolderNode *newParentOrNone, TFolderNode *source)
{
    if (newParentOrNone && newParentOrNone->IsWithin(source))
        return; // no folder goes inside itself
    const TFolderNode *selected = m_treeModel->FolderAt(FoldersTree->selectionModel()->currentIndex());
    if (selected && selected->IsWithin(source))
        SelectFolder(selectedAfterDeleting(m_catalog, source));
    m_catalog.MoveFolder(source, newParentOrNone);
    TUpdatesSuspended suspended(FoldersTree);
    m_catalog.ForEachFolder(
        [this](TFolderNode *folder) {
            const QModelIndex index = m_treeModel->IndexOf(folder);
            if (FoldersTree->isExpanded(index))
                FoldersTree->collapse(index);
        },
        source);
}

void TDravikForm::FolMovesubfoldertorootClick()
{
    TFolderNode *folder = m_catalog.CurrentFolder();
    if (!folder) {
        m_prompts.Information(SelectAFolderText());
        return;
    }
    const QString name = folder->Name();
    const TCatalogWatch watch(m_catalog, {}, {folder});
    if (!m_prompts.ConfirmYesNo(QStringLiteral("Folder \"") + name +
                                QStringLiteral("\" will be moved to root, continue?")) ||
        !watch.Holds(folder))
        return;
    if (!folder->Parent()) {
        m_prompts.Information(QStringLiteral("Folder \"") + name +
                              QStringLiteral("\" is already located in the root."));
        return;
    }
    if (m_catalog.SiblingNameExists(nullptr, name)) {
        m_prompts.Information(FolderAlreadyExistsText(name));
        return;
    }
    CopyFolderTree(nullptr, folder);
    MarkModified();
}

void TDravikForm::FoldersTreeDragOver(QDragMoveEvent *event)
{
    // Every drag is welcome anywhere over the tree; the drop decides what it does.
    event->acceptProposedAction();
}

void TDravikForm::FoldersTreeDragDrop(QDropEvent *event)
{
    const TCatalogDragData *drag = TCatalogDragData::Of(event->mimeData(), m_catalog);
    if (!drag) {
        // Any other source, files from a file manager among them: refused, so the sender keeps
        // what it offered whatever action it proposed.
        event->ignore();
        return;
    }
    // Answered as a copy, whatever the drag proposed. A view whose drag ends in a move action
    // removes the dragged rows from its model by itself, from the selection it holds by then;
    // that would take away folders or records a second time, or others altogether. Ending in a
    // copy leaves the view's rows alone: the move is ours, through the catalog, and the models
    // follow the catalog's notifications.
    event->setDropAction(Qt::CopyAction);
    event->accept();

    TFolderNode *target = m_treeModel->FolderAt(FoldersTree->indexAt(event->position().toPoint()));
    TFolderNode *dragged = drag->IsFolderDrag() ? drag->Folder() : nullptr;
    if (!target || !m_commands->MayRun(TCommandStates::cmDropOnFolder) || (drag->IsFolderDrag() && !dragged))
        return;
    std::vector<TFolderNode *> folders{target};
    if (dragged)
        folders.push_back(dragged);
    auto watch = std::make_shared<TCatalogWatch>(
        m_catalog, dragged ? std::vector<TFileDat *>() : drag->Records(), std::move(folders));
    // The question waits until the drag has ended: a box opened inside the drop would run while
    // the window system still holds the drag (the pointer grabbed, the source waiting for the
    // answer to its drop). The watch keeps what was dragged, and where to, until then.
    QMetaObject::invokeMethod(
        this,
        [this, watch, dragged, target] {
            if (!watch->Holds(target) || (dragged && !watch->Holds(dragged)))
                return;
            guarded([&] {
                if (dragged)
                    DropFolderOnFolder(dragged, target);
                else
                    DropRecordsOnFolder(watch->Held(), target);
            });
        },
        Qt::QueuedConnection);
}

void TDravikForm::DropFolderOnFolder(TFolderNode *dragged, TFolderNode *target)
{
    // On itself or on a folder below itself: the catalog has no folder inside itself.
    if (!m_commands->MayRun(TCommandStates::cmDropOnFolder) || !dragged || !target ||
        target->IsWithin(dragged))
        return;
    const QString name = dragged->Name();
    const TCatalogWatch watch(m_catalog, {}, {dragged, target});
    if (!m_prompts.ConfirmYesNo(QStringLiteral("Folder \"") + name +
                                QStringLiteral("\" will be moved into folder \"") + target->Name() +
                                QStringLiteral("\", continue?")) ||
        !watch.Holds(dragged) || !watch.Holds(target))
        return;
    // A drop on its own parent meets the folder itself among the siblings.
    if (m_catalog.SiblingNameExists(target, name)) {
        m_prompts.Information(FolderAlreadyExistsText(name));
        return;
    }
    CopyFolderTree(target, dragged);
    MarkModified();
}

void TDravikForm::DropRecordsOnFolder(std::vector<TFileDat *> records, TFolderNode *target)
{
    if (!m_commands->MayRun(TCommandStates::cmDropOnFolder) || !target || target == m_catalog.CurrentFolder())
        return;
    // Records already in the target stay (the digest queue may have shown another folder while
    // the rows were dragged, so the drop can be on the rows' own folder).
    std::erase_if(records, [target](const TFileDat *record) { return record->Folder == target; });
    if (records.empty())
        return;
    const TCatalogWatch watch(m_catalog, records, {target});
    if (!m_prompts.ConfirmYesNo(QString::number(records.size()) +
                                QStringLiteral(" file(s) will be moved into folder \"") + target->Name() +
                                QStringLiteral("\", continue?")) ||
        !watch.Holds(target))
        return;
    {
        // Records being digested move too; their digest follows them.
        TUpdatesSuspended suspended(FilesList);
        m_catalog.MoveRecords(watch.Held(), target);
    }
    // The rows left the list as the removal of records leaves it.
    m_commands->ListFilled(m_listModel->rowCount() > 0);
    m_commands->SelectionChanged(FilesList->selectionModel()->hasSelection());
    MarkModified();
}
