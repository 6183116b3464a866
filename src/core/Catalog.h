#pragma once

// The catalog: the tree of virtual folders, their records, the digest queue and the current
// folder. It lives on the user-interface thread; every change goes through it, and it tells
// its observers (the item models of the window) through the signals below, in this order:
//
//   folderAboutToBeAdded, folderAdded            a folder appended to a parent or the root
//   folderAboutToBeRemoved, folderRemoved        a folder with everything below it
//   folderAboutToBeMoved, folderMoved            a folder re-hung as the last child elsewhere
//   foldersAboutToBeSorted, foldersSorted        one level of sub-folders reordered
//   folderChanged                                name or picture of a folder
//   recordsAdded                                 records appended to a folder's list
//   recordsAboutToBeRemoved, recordsRemoved      records leaving a folder (still alive before)
//   recordsAboutToBeMoved, recordsMoved          records leaving one folder for the end of another
//   recordChanged                                a field or the state of one record
//   currentFolderChanged                         the folder the file list shows
//   catalogAboutToBeCleared, catalogCleared      everything disposed of
//
// A folder that gets its first record emits recordsAdded, then folderChanged (picture); one that
// loses its last emits recordsRemoved, then folderChanged. Removing the current folder (or one
// above it) first makes no folder current. Records of removed folders leave the digest queue.
//
// A record move is told once for each folder the records leave, in the order of the records
// given: recordsAboutToBeMoved (the records still in their old folder), recordsMoved (they now
// stand at first..first+count-1 of the target's list), then folderChanged for a folder left
// without records; the target's folderChanged (picture) comes after the last of them. Moved
// records are neither removed nor added: they keep their identity, state and queue entries.

#include "FolderNode.h"

#include <QList>
#include <QObject>
#include <deque>
#include <functional>
#include <type_traits>

class TCatalog : public QObject
{
    Q_OBJECT

public:
    explicit TCatalog(QObject *parent = nullptr);
    ~TCatalog() override;

    // ---- Folder tree
    const TFolderNode::FolderList &RootFolders() const { return m_roots; }
    const TFolderNode::FolderList &SubFoldersOf(const TFolderNode *parentOrNone) const;
    bool HasFolders() const { return !m_roots.empty(); }
    int FolderCount() const { return m_folderCount; } // all levels

    // Appends a folder without records as the last child of the parent (or last root folder).
    TFolderNode *AddFolder(TFolderNode *parentOrNone, const QString &name);
    void RenameFolder(TFolderNode *folder, const QString &name);
    void SetFolderImage(TFolderNode *folder, int imageIndex);
    // Disposes of the folder, its sub-folders and all their records.
    void RemoveFolder(TFolderNode *folder);
    // Makes the folder the last child of the new parent (or the last root folder), with its
    // sub-folders and records. Refused (false) when the new parent lies within the folder.
    bool MoveFolder(TFolderNode *folder, TFolderNode *newParentOrNone);
    // Sorts the sub-folders of the parent (or the root folders) by name, one level only.
    void SortFolders(TFolderNode *parentOrNone);

    // A sub-folder of the parent (or a root folder) named like the text, ignoring letter case.
    bool SiblingNameExists(const TFolderNode *parentOrNone, const QString &name) const;
    // The sub-folder of the parent (or the root folder) with exactly this name, or nullptr.
    TFolderNode *FindChildFolder(const TFolderNode *parentOrNone, const QString &name) const;

    // Visits the folders in pre-order (a folder, then its sub-folders, then its next sibling):
    // the whole tree, or only `top` and the folders below it. A visitor that returns bool
    // stops the walk by returning false.
    template <typename Visitor>
    void ForEachFolder(Visitor &&visit, const TFolderNode *top = nullptr) const;
    // The folder itself and everything below it, as the walk above meets them.
    int SubtreeFolderCount(const TFolderNode *folder) const;

    // "Home\Photos\" for Photos under the root folder Home; empty for no folder.
    static QString FolderPath(const TFolderNode *folder);

    // ---- Records
    // Appends the record to the folder's list (created when needed), gives the folder the
    // picture of a folder with records and queues the record when it is fsPending.
    TFileDat *AddRecord(TFolderNode *folder, std::unique_ptr<TFileDat> record);
    // The same for many records at once, told with one notification.
    void AddRecords(TFolderNode *folder, std::vector<std::unique_ptr<TFileDat>> records);
    // Appends records without queueing them (records read from a catalog file).
    void AppendRecords(TFolderNode *folder, std::vector<std::unique_ptr<TFileDat>> records);
    // Takes the records out of the digest queue and their folders' lists and disposes of them.
    // A folder left without records loses its list and gets the empty-folder picture.
    void RemoveRecord(TFileDat *record);
    void RemoveRecords(const std::vector<TFileDat *> &records);
    // Moves the records to the end of the target's list (created when needed), in the order given,
    // grouped by the folder they leave. They keep their identity, state and place in the digest
    // queue, so a record being digested may move: its digest arrives in its new folder. A folder
    // left without records loses its list and gets the empty-folder picture; the target gets the
    // picture of a folder with records. Records already in the target stay where they are.
    void MoveRecords(const std::vector<TFileDat *> &records, TFolderNode *target);

    // States change only here, so the catalog always knows the one record being digested.
    void SetRecordState(TFileDat *record, TFileState state);
    TFileDat *DigestingRecord() const { return m_digesting; }
    void SetRecordMd5(TFileDat *record, const TMd5Text &md5);
    // A digest arrives as the engine made it: the record keeps its 16 bytes and becomes
    // fsDigested, with one notification.
    void SetRecordDigested(TFileDat *record, const TMd5Text::TDigest &digest);
    void SetRecordComment(TFileDat *record, const QString &comment);
    void SetRecordRealPath(TFileDat *record, const QString &realPath);
    // The file was read again and its new content accepted: the record takes its digest, size
    // and date, with one notification.
    void AcceptRecordContent(TFileDat *record, const TMd5Text::TDigest &digest, qint64 size, double dateTime);

    // A record of the folder with the same file name (ignoring letter case) and size.
    TFileDat *FindSameFile(const TFolderNode *folder, const QString &fileName, qint64 size) const;

    // ---- Digest queue: first in, first out; a record may stand in it more than once.
    const std::deque<TFileDat *> &Md5Queue() const { return m_md5Queue; }
    void EnqueueForDigest(TFileDat *record);
    void DropMd5QueueHead();
    void ClearMd5Queue();

    // ---- The folder whose records the file list shows
    TFolderNode *CurrentFolder() const { return m_currentFolder; }
    void SetCurrentFolder(TFolderNode *folder);

    // Stops a digest in progress and empties the queue, then disposes of every folder and record.
    void ClearCatalog();
    // Called before a record being digested would be disposed of; the digest scheduler installs
    // its stop here, so the worker never outlives its record.
    void SetStopDigestHook(std::function<void()> hook) { m_stopDigest = std::move(hook); }

Q_SIGNALS:
    void folderAboutToBeAdded(TFolderNode *parent, int row);
    void folderAdded(TFolderNode *folder);
    void folderAboutToBeRemoved(TFolderNode *folder);
    void folderRemoved(TFolderNode *parent, int row);
    void folderAboutToBeMoved(TFolderNode *folder, TFolderNode *newParent, int newRow);
    void folderMoved(TFolderNode *folder);
    void foldersAboutToBeSorted(TFolderNode *parent);
    void foldersSorted(TFolderNode *parent);
    void folderChanged(TFolderNode *folder);
    void recordsAdded(TFolderNode *folder, int first, int count);
    void recordsAboutToBeRemoved(TFolderNode *folder, const QList<TFileDat *> &records);
    void recordsRemoved(TFolderNode *folder);
    void recordsAboutToBeMoved(TFolderNode *from, const QList<TFileDat *> &records, TFolderNode *to);
    void recordsMoved(TFolderNode *from, TFolderNode *to, int first, int count);
    void recordChanged(TFileDat *record);
    void currentFolderChanged(TFolderNode *folder);
    void catalogAboutToBeCleared();
    void catalogCleared();

private:
    TFolderNode::FolderList &siblingsOf(TFolderNode *parentOrNone);
    void renumber(TFolderNode::FolderList &siblings, size_t from);
    void removeFromQueue(const std::function<bool(const TFileDat *)> &leaves);
    void stopDigestIfAny(const std::function<bool(const TFileDat *)> &affected);
    void giveRecordList(TFolderNode *folder);
    void dropEmptyRecordList(TFolderNode *folder);

    TFolderNode::FolderList m_roots;
    int m_folderCount = 0;
    std::deque<TFileDat *> m_md5Queue;
    TFolderNode *m_currentFolder = nullptr;
    TFileDat *m_digesting = nullptr; // the one record in fsDigesting, if any
    std::function<void()> m_stopDigest;
};

template <typename Visitor>
void TCatalog::ForEachFolder(Visitor &&visit, const TFolderNode *top) const
{
    // An explicit stack keeps deep trees off the call stack.
    std::vector<std::pair<const TFolderNode::FolderList *, size_t>> stack;
    auto enter = [&](TFolderNode *folder) {
        if constexpr (std::is_same_v<std::invoke_result_t<Visitor &, TFolderNode *>, bool>) {
            if (!visit(folder))
                return false;
        } else {
            visit(folder);
        }
        if (!folder->SubFolders().empty())
            stack.emplace_back(&folder->SubFolders(), 0);
        return true;
    };
    if (top) {
        if (!enter(const_cast<TFolderNode *>(top)))
            return;
    } else if (!m_roots.empty()) {
        stack.emplace_back(&m_roots, 0);
    }
    while (!stack.empty()) {
        auto &[list, index] = stack.back();
        if (index == list->size()) {
            stack.pop_back();
            continue;
        }
        TFolderNode *folder = (*list)[index++].get();
        if (!enter(folder))
            return;
    }
}
