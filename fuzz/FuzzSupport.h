#pragma once

// What the fuzz targets share: a private temporary folder for the run, and the catalog as one
// text that two catalogs can be compared by.

#include "Catalog.h"
#include "support.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <unordered_map>

namespace Fuzz {

// A folder of this process's own, made the system's temporary folder before anything asks for it,
// so that a target can tell whether a run left a temporary file behind.
inline const QString &PrivateTempFolder()
{
    static const QString folder = [] {
        const QByteArray base = qEnvironmentVariableIsSet("DRAVIK_FUZZ_TMP") ? qgetenv("DRAVIK_FUZZ_TMP")
                                                                             : QDir::tempPath().toLocal8Bit();
        QByteArray path = base + "/dravik-fuzz-XXXXXX";
        if (!::mkdtemp(path.data()))
            std::abort();
        qputenv("TMPDIR", path);
        return QString::fromLocal8Bit(path);
    }();
    return folder;
}

inline QStringList EntriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Folders in pre-order with their depth and record count, then each record's saved fields (the
// date as saved: to the minute). The depth is a number, so a deep tree costs as much as a flat
// one. The picture is left out: a folder whose file count promised records that never came shows
// the picture of a folder with records, and is saved as the empty folder it is.
inline QString Fingerprint(const TCatalog &catalog)
{
    QString text;
    std::unordered_map<const TFolderNode *, int> depths; // a parent comes before its sub-folders
    catalog.ForEachFolder([&](TFolderNode *folder) {
        const int depth = folder->Parent() ? depths[folder->Parent()] + 1 : 0;
        depths[folder] = depth;
        text += QStringLiteral("%1 %2 %3\n")
                    .arg(depth)
                    .arg(folder->HasRecordList() ? folder->RecordCount() : -1)
                    .arg(folder->Name());
        for (const auto &record : folder->Records())
            text += QStringList{record->FileName,
                                QString::number(record->Size),
                                DateText(record->DateTime),
                                record->RealPath,
                                record->Md5.Text(),
                                record->Comment,
                                QString::number(record->State)}
                        .join(u'|') +
                    u'\n';
    });
    return text;
}

// Ends the run as a finding when a property does not hold.
inline void Require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

} // namespace Fuzz
