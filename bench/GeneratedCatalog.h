#pragma once

// A catalog for the benchmarks: folders nested at random, records with names, sizes and dates
// made of words (some with accents), years, numbers and extensions, most of them
// digested, a few with comments or without real path. The same catalog for the same seed.

#include "Catalog.h"
#include "support.h"

#include <QRandomGenerator>
#include <algorithm>

namespace generated_catalog {

inline const char *const Words[] = {"holiday", "report", "invoice", "scan",   "draft",  "final",
                                    "photo",   "song",   "backup",  "notes",  "budget", "letter",
                                    "map",     "video",  "résumé",  "Ölfarbe"};
inline const char *const Extensions[] = {".jpg", ".pdf", ".docx", ".mp3", ".txt", ".png", ".xlsx", ".zip"};

} // namespace generated_catalog

inline void GenerateCatalog(TCatalog &catalog, int records, int folders, quint32 seed)
{
    using namespace generated_catalog;
    QRandomGenerator random(seed);
    std::vector<TFolderNode *> made;
    const int roots = std::max(1, folders / 20);
    for (int f = 0; f < folders; ++f) {
        TFolderNode *parent = f < roots ? nullptr : made[size_t(random.bounded(f < roots * 4 ? roots : f))];
        made.push_back(catalog.AddFolder(parent, QStringLiteral("Folder %1 %2").arg(f).arg(Words[f % 16])));
    }
    const int year0 = QDate::currentDate().year() - 40;
    for (int f = 0; f < folders; ++f) {
        const int count = records / folders + (f < records % folders ? 1 : 0);
        const QString realPath = QStringLiteral("/home/user/Archive/%1/%2/").arg(2000 + f % 25).arg(f);
        std::vector<std::unique_ptr<TFileDat>> list;
        list.reserve(size_t(count));
        for (int i = 0; i < count; ++i) {
            auto file = std::make_unique<TFileDat>();
            file->FileName = QStringLiteral("%1_%2_%3%4")
                                 .arg(QString::fromUtf8(Words[random.bounded(16)]))
                                 .arg(year0 + random.bounded(40))
                                 .arg(random.bounded(100000), 5, 10, QLatin1Char('0'))
                                 .arg(QLatin1String(Extensions[random.bounded(8)]));
            file->Size = qint64(random.bounded(1000)) * random.bounded(10000) + random.bounded(1000);
            const QDateTime when(
                QDate(year0 + random.bounded(40), 1 + random.bounded(12), 1 + random.bounded(28)),
                QTime(random.bounded(24), random.bounded(60)), Qt::LocalTime);
            file->DateTime = DayCountFromDateTime(when);
            file->RealPath = (i % 50 == 49) ? QString() : realPath;
            if (random.bounded(10) != 0) {
                char digest[33];
                for (int d = 0; d < 32; ++d)
                    digest[d] = "0123456789abcdef"[random.bounded(16)];
                digest[32] = 0;
                file->Md5 = QString::fromLatin1(digest);
                file->State = fsDigested;
            }
            if (random.bounded(100) == 0)
                file->Comment = QStringLiteral("checked; keep & copy <%1>").arg(i);
            list.push_back(std::move(file));
        }
        catalog.AppendRecords(made[size_t(f)], std::move(list));
    }
}
