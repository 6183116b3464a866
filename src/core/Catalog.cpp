#include "Catalog.h"

#include "LocaleText.h"

#include <QDir>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

const TFolderNode::RecordList &TFolderNode::Records() const
{
    static const RecordList none;
    return m_records ? *m_records : none;
}

TFolderNode::~TFolderNode()
{
    // Each folder taken from the list gives up its sub-folders before it goes, so no destructor
    // below this one ever has a sub-folder to free: the depth of the tree never reaches the stack.
    FolderList pending = std::move(m_subFolders);
    while (!pending.empty()) {
        std::unique_ptr<TFolderNode> folder = std::move(pending.back());
        pending.pop_back();
        for (auto &sub : folder->m_subFolders)
            pending.push_back(std::move(sub));
        folder->m_subFolders.clear();
    }
}

bool TFolderNode::IsWithin(const TFolderNode *ancestor) const
{
    for (const TFolderNode *folder = this; folder; folder = folder->m_parent) {
        if (folder == ancestor)
            return true;
    }
    return false;
}

TCatalog::TCatalog(QObject *parent) : QObject(parent) {}

TCatalog::~TCatalog()
{
    // Views may still be connected; they must not hear about the final disposal. The digest
    // scheduler stops its own worker before it goes, so the hook may already be gone.
    blockSignals(true);
    m_stopDigest = nullptr;
    ClearCatalog();
}

const TFolderNode::FolderList &TCatalog::SubFoldersOf(const TFolderNode *parentOrNone) const
{
    return parentOrNone ? parentOrNone->m_subFolders : m_roots;
}

TFolderNode::FolderList &TCatalog::siblingsOf(TFolderNode *parentOrNone)
{
    return parentOrNone ? parentOrNone->m_subFolders : m_roots;
}

void TCatalog::renumber(TFolderNode::FolderList &siblings, size_t from)
{
    for (size_t i = from; i < siblings.size(); ++i)
        siblings[i]->m_row = int(i);
}

TFolderNode *TCatalog::AddFolder(TFolderNode *parentOrNone, const QString &name)
{
    auto &siblings = siblingsOf(parentOrNone);
    const int row = int(siblings.size());
    Q_EMIT folderAboutToBeAdded(parentOrNone, row);
    auto folder = std::make_unique<TFolderNode>();
    folder->m_name = name;
    folder->m_parent = parentOrNone;
    folder->m_row = row;
    TFolderNode *added = folder.get();
    siblings.push_back(std::move(folder));
    ++m_folderCount;
    Q_EMIT folderAdded(added);
    return added;
}

void TCatalog::RenameFolder(TFolderNode *folder, const QString &name)
{
    if (folder->m_name == name)
        return;
    folder->m_name = name;
    Q_EMIT folderChanged(folder);
}

void TCatalog::SetFolderImage(TFolderNode *folder, int imageIndex)
{
    if (folder->m_imageIndex == imageIndex)
        return;
    folder->m_imageIndex = imageIndex;
    Q_EMIT folderChanged(folder);
}

void TCatalog::RemoveFolder(TFolderNode *folder)
{
    auto inSubtree = [folder](const TFileDat *record) { return record->Folder->IsWithin(folder); };
    stopDigestIfAny(inSubtree);
    if (m_currentFolder && m_currentFolder->IsWithin(folder))
        SetCurrentFolder(nullptr);

    Q_EMIT folderAboutToBeRemoved(folder);
    removeFromQueue(inSubtree);
    const int count = SubtreeFolderCount(folder);
    TFolderNode *parent = folder->m_parent;
    auto &siblings = siblingsOf(parent);
    const int row = folder->m_row;
    // Children go before their parents, so each record's folder outlives the record.
    siblings.erase(siblings.begin() + row);
    renumber(siblings, size_t(row));
    m_folderCount -= count;
    Q_EMIT folderRemoved(parent, row);
}

bool TCatalog::MoveFolder(TFolderNode *folder, TFolderNode *newParentOrNone)
{
    if (newParentOrNone && newParentOrNone->IsWithin(folder))
        return false;
    auto &oldSiblings = siblingsOf(folder->m_parent);
    auto &newSiblings = siblingsOf(newParentOrNone);
    const int oldRow = folder->m_row;
    const bool sameLevel = &oldSiblings == &newSiblings;
    const int newRow = int(newSiblings.size()) - (sameLevel ? 1 : 0);
    if (sameLevel && oldRow == newRow)
        return true;
    Q_EMIT folderAboutToBeMoved(folder, newParentOrNone, newRow);
    std::unique_ptr<TFolderNode> owned = std::move(oldSiblings[size_t(oldRow)]);
    oldSiblings.erase(oldSiblings.begin() + oldRow);
    renumber(oldSiblings, size_t(oldRow));
    owned->m_parent = newParentOrNone;
    owned->m_row = int(newSiblings.size());
    newSiblings.push_back(std::move(owned));
    Q_EMIT folderMoved(folder);
    return true;
}

void TCatalog::SortFolders(TFolderNode *parentOrNone)
{
    auto &siblings = siblingsOf(parentOrNone);
    Q_EMIT foldersAboutToBeSorted(parentOrNone);
    std::stable_sort(siblings.begin(), siblings.end(), [](const auto &a, const auto &b) {
        return CompareTextLocale(a->m_name, b->m_name) < 0;
    });
    renumber(siblings, 0);
    Q_EMIT foldersSorted(parentOrNone);
}

bool TCatalog::SiblingNameExists(const TFolderNode *parentOrNone, const QString &name) const
{
    const auto &siblings = SubFoldersOf(parentOrNone);
    return std::any_of(siblings.begin(), siblings.end(),
                       [&name](const auto &folder) { return SameTextLocale(folder->m_name, name); });
}

TFolderNode *TCatalog::FindChildFolder(const TFolderNode *parentOrNone, const QString &name) const
{
    for (const auto &folder : SubFoldersOf(parentOrNone)) {
        if (folder->m_name == name)
            return folder.get();
    }
    return nullptr;
}

int TCatalog::SubtreeFolderCount(const TFolderNode *folder) const
{
    int count = 0;
    ForEachFolder([&count](TFolderNode *) { ++count; }, folder);
    return count;
}

QString TCatalog::FolderPath(const TFolderNode *folder)
{
    QStringList names;
    for (; folder; folder = folder->m_parent)
        names.prepend(folder->m_name);
    QString path;
    for (const QString &name : names) {
        path += name;
        if (!name.endsWith(u'\\'))
            path += u'\\';
    }
    return path;
}

void TCatalog::giveRecordList(TFolderNode *folder)
{
    if (!folder->m_records)
        folder->m_records = std::make_unique<TFolderNode::RecordList>();
}

void TCatalog::dropEmptyRecordList(TFolderNode *folder)
{
    if (folder->m_records && folder->m_records->empty()) {
        folder->m_records.reset();
        SetFolderImage(folder, TFolderNode::EmptyImage);
    }
}

TFileDat *TCatalog::AddRecord(TFolderNode *folder, std::unique_ptr<TFileDat> record)
{
    giveRecordList(folder);
    TFileDat *added = record.get();
    added->Folder = folder;
    folder->m_records->push_back(std::move(record));
    if (added->State == fsPending)
        m_md5Queue.push_back(added);
    Q_EMIT recordsAdded(folder, int(folder->m_records->size()) - 1, 1);
    SetFolderImage(folder, TFolderNode::FilledImage);
    return added;
}

void TCatalog::AddRecords(TFolderNode *folder, std::vector<std::unique_ptr<TFileDat>> records)
{
    for (const auto &record : records) {
        if (record->State == fsPending)
            m_md5Queue.push_back(record.get());
    }
    AppendRecords(folder, std::move(records));
}

void TCatalog::AppendRecords(TFolderNode *folder, std::vector<std::unique_ptr<TFileDat>> records)
{
    if (records.empty())
        return;
    giveRecordList(folder);
    auto &list = *folder->m_records;
    const int first = int(list.size());
    list.reserve(list.size() + records.size());
    for (auto &record : records) {
        record->Folder = folder;
        list.push_back(std::move(record));
    }
    Q_EMIT recordsAdded(folder, first, int(list.size()) - first);
    SetFolderImage(folder, TFolderNode::FilledImage);
}

void TCatalog::RemoveRecord(TFileDat *record)
{
    RemoveRecords({record});
}

void TCatalog::RemoveRecords(const std::vector<TFileDat *> &records)
{
    if (records.empty())
        return;
    const std::unordered_set<const TFileDat *> leaving(records.begin(), records.end());
    auto isLeaving = [&leaving](const TFileDat *record) { return leaving.count(record) != 0; };
    stopDigestIfAny(isLeaving);
    removeFromQueue(isLeaving);

    // One pass over each folder's list, whatever the number of records leaving it.
    std::unordered_map<TFolderNode *, QList<TFileDat *>> byFolder;
    std::vector<TFolderNode *> folders;
    for (TFileDat *record : records) {
        auto &list = byFolder[record->Folder];
        if (list.isEmpty())
            folders.push_back(record->Folder);
        list.append(record);
    }
    for (TFolderNode *folder : folders) {
        Q_EMIT recordsAboutToBeRemoved(folder, byFolder[folder]);
        auto &list = *folder->m_records;
        std::erase_if(
            list, [&isLeaving](const std::unique_ptr<TFileDat> &record) { return isLeaving(record.get()); });
        Q_EMIT recordsRemoved(folder);
        dropEmptyRecordList(folder);
    }
}

void TCatalog::MoveRecords(const std::vector<TFileDat *> &records, TFolderNode *target)
{
    std::unordered_set<const TFileDat *> moving;
    std::unordered_map<TFolderNode *, QList<TFileDat *>> bySource;
    std::vector<TFolderNode *> sources;
    for (TFileDat *record : records) {
        if (record->Folder == target || !moving.insert(record).second)
            continue;
        auto &group = bySource[record->Folder];
        if (group.isEmpty())
            sources.push_back(record->Folder);
        group.append(record);
    }
    if (sources.empty())
        return;

    giveRecordList(target);
    auto &arriving = *target->m_records;
    for (TFolderNode *source : sources) {
        const QList<TFileDat *> &group = bySource[source];
        Q_EMIT recordsAboutToBeMoved(source, group, target);
        // One pass over the source's list takes the owners out; they arrive in the order given.
        std::unordered_map<const TFileDat *, std::unique_ptr<TFileDat>> taken;
        taken.reserve(size_t(group.size()));
        auto &leaving = *source->m_records;
        size_t kept = 0;
        for (size_t i = 0; i < leaving.size(); ++i) {
            TFileDat *record = leaving[i].get();
            if (moving.count(record))
                taken.emplace(record, std::move(leaving[i]));
            else if (kept++ != i)
                leaving[kept - 1] = std::move(leaving[i]);
        }
        leaving.resize(kept);
        const int first = int(arriving.size());
        arriving.reserve(arriving.size() + size_t(group.size()));
        for (TFileDat *record : group) {
            record->Folder = target;
            arriving.push_back(std::move(taken[record]));
        }
        Q_EMIT recordsMoved(source, target, first, int(group.size()));
        dropEmptyRecordList(source);
    }
    SetFolderImage(target, TFolderNode::FilledImage);
}

void TCatalog::SetRecordState(TFileDat *record, TFileState state)
{
    if (record->State == state)
        return;
    if (state == fsDigesting)
        m_digesting = record;
    else if (m_digesting == record)
        m_digesting = nullptr;
    record->State = state;
    Q_EMIT recordChanged(record);
}

void TCatalog::SetRecordMd5(TFileDat *record, const TMd5Text &md5)
{
    if (record->Md5 == md5)
        return;
    record->Md5 = md5;
    Q_EMIT recordChanged(record);
}

void TCatalog::SetRecordDigested(TFileDat *record, const TMd5Text::TDigest &digest)
{
    record->Md5 = TMd5Text(digest);
    if (m_digesting == record)
        m_digesting = nullptr;
    record->State = fsDigested;
    Q_EMIT recordChanged(record);
}

void TCatalog::AcceptRecordContent(TFileDat *record, const TMd5Text::TDigest &digest, qint64 size,
                                   double dateTime)
{
    record->Md5 = TMd5Text(digest);
    record->Size = size;
    record->DateTime = dateTime;
    if (record->State != fsDigesting)
        record->State = fsDigested;
    Q_EMIT recordChanged(record);
}

void TCatalog::SetRecordComment(TFileDat *record, const QString &comment)
{
    if (record->Comment == comment)
        return;
    record->Comment = comment;
    Q_EMIT recordChanged(record);
}

void TCatalog::SetRecordRealPath(TFileDat *record, const QString &realPath)
{
    if (record->RealPath == realPath)
        return;
    record->RealPath = realPath;
    Q_EMIT recordChanged(record);
}

TFileDat *TCatalog::FindSameFile(const TFolderNode *folder, const QString &fileName, qint64 size) const
{
    for (const auto &record : folder->Records()) {
        if (record->Size == size && SameTextLocale(record->FileName, fileName))
            return record.get();
    }
    return nullptr;
}

void TCatalog::EnqueueForDigest(TFileDat *record)
{
    m_md5Queue.push_back(record);
}

void TCatalog::DropMd5QueueHead()
{
    if (!m_md5Queue.empty())
        m_md5Queue.pop_front();
}

void TCatalog::ClearMd5Queue()
{
    m_md5Queue.clear();
}

void TCatalog::removeFromQueue(const std::function<bool(const TFileDat *)> &leaves)
{
    std::erase_if(m_md5Queue, leaves);
}

void TCatalog::stopDigestIfAny(const std::function<bool(const TFileDat *)> &affected)
{
    if (!m_digesting || !affected(m_digesting))
        return;
    if (m_stopDigest)
        m_stopDigest();
    m_digesting = nullptr; // the record is about to be disposed of in any case
}

void TCatalog::SetCurrentFolder(TFolderNode *folder)
{
    if (m_currentFolder == folder)
        return;
    m_currentFolder = folder;
    Q_EMIT currentFolderChanged(folder);
}

void TCatalog::ClearCatalog()
{
    if (m_stopDigest)
        m_stopDigest();
    m_md5Queue.clear();
    SetCurrentFolder(nullptr);
    Q_EMIT catalogAboutToBeCleared();
    m_roots.clear();
    m_folderCount = 0;
    m_digesting = nullptr;
    Q_EMIT catalogCleared();
}
