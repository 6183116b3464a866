#include "FolderScan.h"

#include <QDir>
#include <QFile>
#include <dirent.h>
#include <sys/stat.h>

namespace {

QString withSeparator(const QString &directory)
{
    return directory.endsWith(QDir::separator()) ? directory : directory + QDir::separator();
}

bool isDirectoryEntry(const QByteArray &path, unsigned char type)
{
    if (type == DT_DIR)
        return true;
    if (type != DT_UNKNOWN)
        return false;
    struct stat facts
    {};
    return ::lstat(path.constData(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

bool isFileEntry(const QByteArray &path, unsigned char type)
{
    if (type == DT_REG)
        return true;
    if (type != DT_LNK && type != DT_UNKNOWN)
        return false;
    struct stat facts
    {}; // a link to a regular file counts as that file
    return ::stat(path.constData(), &facts) == 0 && S_ISREG(facts.st_mode);
}

} // namespace

void ListDirectory(const QString &directory, TListKind kind, QStringList &out)
{
    const QString prefix = withSeparator(directory);
    const QByteArray encodedPrefix = QFile::encodeName(prefix);
    DIR *listing = ::opendir(encodedPrefix.constData());
    if (!listing)
        return;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = encodedPrefix + name;
        const bool wanted = kind == TListKind::Folders ? isDirectoryEntry(path, entry->d_type)
                                                       : isFileEntry(path, entry->d_type);
        if (wanted)
            out << prefix + QFile::decodeName(name);
    }
    ::closedir(listing);
}

void CollectFiles(const QString &folder, QStringList &files, const TScanProgress &progress)
{
    files.clear();
    QStringList directories{withSeparator(folder)};
    for (qsizetype walked = 0; walked < directories.size(); ++walked) {
        const QString current = directories[walked]; // the list grows while it is read
        ListDirectory(current, TListKind::Folders, directories);
        if (progress)
            progress(int(walked), int(directories.size()));
    }
    for (qsizetype index = 0; index < directories.size(); ++index) {
        ListDirectory(directories[index], TListKind::Files, files);
        if (progress)
            progress(int(index), int(directories.size()) - 1);
    }
    if (progress)
        progress(0, 0);
}

TFileDat *AddRecordAtPath(TCatalog &catalog, const QString &catalogPath, std::unique_ptr<TFileDat> record)
{
    TFolderNode *folder = nullptr;
    const QStringList names = catalogPath.split(u'\\');
    // The path ends with a separator, so its last piece is empty.
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        TFolderNode *found = catalog.FindChildFolder(folder, names[i]);
        folder = found ? found : catalog.AddFolder(folder, names[i]);
    }
    if (!folder)
        return nullptr;
    return catalog.AddRecord(folder, std::move(record));
}

int AddFolderStructure(TCatalog &catalog, const QString &base, const QString &diskFolder,
                       const TScanProgress &progress)
{
    QString trimmed = diskFolder;
    while (trimmed.size() > 1 && trimmed.endsWith(QDir::separator()))
        trimmed.chop(1);
    QString name = trimmed.mid(trimmed.lastIndexOf(QDir::separator()) + 1);
    if (name.isEmpty()) // the file system's root names itself
        name = trimmed;
    const QString top = base + name;
    const QString folder = withSeparator(trimmed);

    QStringList files;
    CollectFiles(folder, files, progress);
    int index = 0;
    for (const QString &file : std::as_const(files)) {
        QString relative = file.mid(folder.size());
        relative.truncate(relative.lastIndexOf(QDir::separator()) + 1);
        relative.replace(QDir::separator(), u'\\');
        AddRecordAtPath(catalog, top + u'\\' + relative, NewRecordFromDisk(file));
        if (progress)
            progress(index, int(files.size()));
        ++index;
    }
    if (progress)
        progress(0, 0);
    return int(files.size());
}
