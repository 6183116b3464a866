#pragma once

// Two generations of one large catalog, built alike in a test and in the child process it kills
// while saving: the same folders, records told apart by their names and comments.

#include "Catalog.h"

#include <QCryptographicHash>
#include <QString>
#include <memory>

namespace SaveTest {

inline void BuildGeneration(TCatalog &catalog, char generation, int records)
{
    constexpr int PerFolder = 500;
    TFolderNode *top = catalog.AddFolder(nullptr, QStringLiteral("Archive"));
    TFolderNode *folder = nullptr;
    for (int i = 0; i < records; ++i) {
        if (i % PerFolder == 0)
            folder = catalog.AddFolder(top, QStringLiteral("part %1").arg(i / PerFolder));
        auto record = std::make_unique<TFileDat>();
        record->FileName = QStringLiteral("%1-file-%2.bin").arg(QChar(generation)).arg(i);
        record->Size = qint64(i) * 7919;
        record->DateTime = 40000.5 + i % 1000;
        record->RealPath = QStringLiteral("/media/drive/%1/").arg(i / PerFolder);
        record->Md5 = QString::fromLatin1(
            QCryptographicHash::hash(record->FileName.toLatin1(), QCryptographicHash::Md5).toHex());
        record->Comment = QStringLiteral("generation %1").arg(QChar(generation));
        record->State = fsDigested;
        std::vector<std::unique_ptr<TFileDat>> one;
        one.push_back(std::move(record));
        catalog.AppendRecords(folder, std::move(one));
    }
}

// Every saved field of every record, hashed: equal catalogs give equal texts.
inline QByteArray Fingerprint(const TCatalog &catalog)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    qint64 records = 0;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        hash.addData(folder->Name().toUtf8() + '\n');
        for (const auto &record : folder->Records()) {
            hash.addData(QStringList{record->FileName, QString::number(record->Size), record->RealPath,
                                     record->Md5.Text(), record->Comment}
                             .join(u'|')
                             .toUtf8());
            ++records;
        }
    });
    return QByteArray::number(records) + ':' + hash.result().toHex();
}

} // namespace SaveTest
