#include "DigestSearch.h"

#include "Catalog.h"

std::optional<TMd5Text> Md5CodeToSearch(const QString &typed)
{
    QString code = typed;
    code.remove(u' ');
    if (code.size() != Md5TextLength)
        return std::nullopt;
    return TMd5Text(code.toLower());
}

TFileDat *FindFirstRecordWithDigest(const TCatalog &catalog, const TMd5Text &code)
{
    TFileDat *found = nullptr;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        for (const auto &record : folder->Records()) {
            if (record->Md5 == code) {
                found = record.get();
                return false;
            }
        }
        return true;
    });
    return found;
}
