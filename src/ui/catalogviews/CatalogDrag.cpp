#include "CatalogDrag.h"

const QString TCatalogDragData::FolderMimeType = QStringLiteral("application/x-dravik-folder");
const QString TCatalogDragData::RecordsMimeType = QStringLiteral("application/x-dravik-records");

TCatalogDragData::TCatalogDragData(TCatalog &catalog, TFolderNode *folder)
    : m_catalog(catalog), m_watch(catalog, {}, {folder}), m_folderDrag(true)
{
    // The bytes only say what is dragged; the folder itself travels in this object.
    setData(FolderMimeType, TCatalog::FolderPath(folder).toUtf8());
}

TCatalogDragData::TCatalogDragData(TCatalog &catalog, std::vector<TFileDat *> records)
    : m_catalog(catalog), m_watch(catalog, records), m_folderDrag(false)
{
    setData(RecordsMimeType, QByteArray::number(qulonglong(records.size())));
}

const TCatalogDragData *TCatalogDragData::Of(const QMimeData *data, const TCatalog &catalog)
{
    const auto *ours = qobject_cast<const TCatalogDragData *>(data);
    return ours && &ours->m_catalog == &catalog ? ours : nullptr;
}

TFolderNode *TCatalogDragData::Folder() const
{
    const std::vector<TFolderNode *> held = m_watch.Folders();
    return held.empty() ? nullptr : held.front();
}
