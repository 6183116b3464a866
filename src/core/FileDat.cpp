#include "FileDat.h"

#include "support.h"

#include <QDir>

QString TFileDat::FullPath() const
{
    if (RealPath.isEmpty())
        return {};
    if (RealPath.endsWith(QDir::separator()))
        return RealPath + FileName;
    return RealPath + QDir::separator() + FileName;
}

std::unique_ptr<TFileDat> NewRecordFromDisk(const QString &path)
{
    auto record = std::make_unique<TFileDat>();
    const qsizetype cut = path.lastIndexOf(QDir::separator()) + 1;
    record->FileName = path.mid(cut);
    // Files are added and scanned a directory at a time: records of one directory share the
    // text of the directory made for the first of them.
    thread_local QString lastDirectory;
    if (QStringView(path).left(cut) != lastDirectory)
        lastDirectory = path.left(cut);
    record->RealPath = lastDirectory;
    if (!ReadFileFacts(path, record->Size, record->DateTime)) {
        record->Size = -1;
        record->DateTime = -1.0;
    }
    record->State = fsPending;
    return record;
}
