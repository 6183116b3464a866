#include "CatalogWatch.h"

TCatalogWatch::TCatalogWatch(TCatalog &catalog, std::vector<TFileDat *> records,
                             std::vector<TFolderNode *> folders)
    : m_catalog(catalog), m_order(std::move(records)), m_folderOrder(std::move(folders)),
      m_records(m_order.begin(), m_order.end()), m_folders(m_folderOrder.begin(), m_folderOrder.end())
{
    connect(&m_catalog, &TCatalog::recordsAboutToBeRemoved, this,
            [this](TFolderNode *, const QList<TFileDat *> &leaving) { forgetRecords(leaving); });
    connect(&m_catalog, &TCatalog::folderAboutToBeRemoved, this, &TCatalogWatch::forgetSubtree);
    connect(&m_catalog, &TCatalog::catalogAboutToBeCleared, this, [this] {
        m_records.clear();
        m_folders.clear();
    });
}

void TCatalogWatch::forgetRecords(const QList<TFileDat *> &records)
{
    if (m_records.empty())
        return;
    for (const TFileDat *record : records)
        m_records.erase(record);
}

void TCatalogWatch::forgetSubtree(TFolderNode *top)
{
    if (m_records.empty() && m_folders.empty())
        return;
    m_catalog.ForEachFolder(
        [this](TFolderNode *folder) {
            m_folders.erase(folder);
            if (!m_records.empty()) {
                for (const auto &record : folder->Records())
                    m_records.erase(record.get());
            }
        },
        top);
}

std::vector<TFileDat *> TCatalogWatch::Held() const
{
    std::vector<TFileDat *> held;
    held.reserve(m_records.size());
    for (TFileDat *record : m_order) {
        if (Holds(record))
            held.push_back(record);
    }
    return held;
}

std::vector<TFileDat *> TCatalogWatch::Confirmed() const
{
    std::vector<TFileDat *> confirmed = Held();
    std::erase_if(confirmed, [](const TFileDat *record) { return record->State == fsDigesting; });
    return confirmed;
}

std::vector<TFolderNode *> TCatalogWatch::Folders() const
{
    std::vector<TFolderNode *> held;
    for (TFolderNode *folder : m_folderOrder) {
        if (Holds(folder))
            held.push_back(folder);
    }
    return held;
}
