#include "FolderScan.h"

#include "MountTable.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <dirent.h>
#include <sys/stat.h>

namespace {

QString withSeparator(const QString &directory)
{
    return directory.endsWith(QDir::separator()) ? directory : directory + QDir::separator();
}

QString withoutSeparator(QString directory)
{
    while (directory.size() > 1 && directory.endsWith(QDir::separator()))
        directory.chop(1);
    return directory;
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

// The kinds of file system that hold no files of the user's: the kernel's views of processes,
// devices and itself.
bool isPseudoType(const QString &type)
{
    static const QSet<QString> kinds{
        QStringLiteral("proc"),        QStringLiteral("sysfs"),    QStringLiteral("devtmpfs"),
        QStringLiteral("devpts"),      QStringLiteral("cgroup"),   QStringLiteral("cgroup2"),
        QStringLiteral("securityfs"),  QStringLiteral("debugfs"),  QStringLiteral("tracefs"),
        QStringLiteral("pstore"),      QStringLiteral("bpf"),      QStringLiteral("configfs"),
        QStringLiteral("fusectl"),     QStringLiteral("mqueue"),   QStringLiteral("hugetlbfs"),
        QStringLiteral("binfmt_misc"), QStringLiteral("efivarfs"), QStringLiteral("rpc_pipefs"),
        QStringLiteral("nsfs"),        QStringLiteral("autofs"),   QStringLiteral("selinuxfs"),
    };
    return kinds.contains(type);
}

// Read once per walk: mounts come and go, but not while one folder is read.
QSet<QString> pseudoDirectories()
{
    // The system's own trees, whatever is mounted there (/run is a tmpfs of the system's state).
    QSet<QString> directories{QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"),
                              QStringLiteral("/run")};
    for (const TMountEntry &mount : CurrentMounts()) {
        if (isPseudoType(mount.Type))
            directories.insert(mount.MountPoint);
    }
    return directories;
}

} // namespace

void ListDirectory(const QString &directory, TListKind kind, QStringList &out, TWalkReport *report)
{
    const QString prefix = withSeparator(directory);
    const QByteArray encodedPrefix = QFile::encodeName(prefix);
    DIR *listing = ::opendir(encodedPrefix.constData());
    if (!listing) {
        if (report && kind == TListKind::Folders)
            ++report->UnreadableFolders;
        return;
    }
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = encodedPrefix + name;
        const bool wanted = kind == TListKind::Folders ? isDirectoryEntry(path, entry->d_type)
                                                       : isFileEntry(path, entry->d_type);
        if (!wanted)
            continue;
        const QString text = QFile::decodeName(name);
        if (QFile::encodeName(text) != name) {
            // Bytes that are no text here: a record of the decoded name would name another file.
            if (report)
                ++report->UnusableNames;
            continue;
        }
        out << prefix + text;
    }
    ::closedir(listing);
}

void CollectFiles(const QString &folder, QStringList &files, const TScanProgress &progress,
                  TWalkReport *report)
{
    files.clear();
    const QSet<QString> pseudo = pseudoDirectories();
    QStringList directories;
    if (!pseudo.contains(withoutSeparator(folder)))
        directories << withSeparator(folder);
    QStringList found;
    for (qsizetype walked = 0; walked < directories.size(); ++walked) {
        found.clear();
        ListDirectory(directories[walked], TListKind::Folders, found, report);
        for (const QString &directory : std::as_const(found)) {
            if (!pseudo.contains(directory))
                directories << directory;
        }
        if (progress)
            progress(int(walked), int(directories.size()));
    }
    for (qsizetype index = 0; index < directories.size(); ++index) {
        ListDirectory(directories[index], TListKind::Files, files, report);
        if (progress)
            progress(int(index), int(directories.size()) - 1);
    }
    if (progress)
        progress(0, 0);
}

TFolderNode *FolderAtNames(TCatalog &catalog, const QStringList &names)
{
    TFolderNode *folder = nullptr;
    for (const QString &name : names) {
        TFolderNode *found = catalog.FindChildFolder(folder, name);
        folder = found ? found : catalog.AddFolder(folder, name);
    }
    return folder;
}

TFileDat *AddRecordAtPath(TCatalog &catalog, const QString &catalogPath, std::unique_ptr<TFileDat> record)
{
    QStringList names = catalogPath.split(u'\\');
    names.removeLast(); // the path ends with a separator, so its last piece is empty
    TFolderNode *folder = FolderAtNames(catalog, names);
    if (!folder)
        return nullptr;
    return catalog.AddRecord(folder, std::move(record));
}

int AddFolderStructure(TCatalog &catalog, const QString &base, const QString &diskFolder,
                       const TScanProgress &progress, TWalkReport *report)
{
    const QString trimmed = withoutSeparator(diskFolder);
    QString name = trimmed.mid(trimmed.lastIndexOf(QDir::separator()) + 1);
    if (name.isEmpty()) // the file system's root names itself
        name = trimmed;
    QStringList top = base.split(u'\\', Qt::SkipEmptyParts);
    top << name;
    const QString folder = withSeparator(trimmed);

    QStringList files;
    CollectFiles(folder, files, progress, report);

    // The files of one directory stand together: its catalog folder is looked up once, and its
    // records join it in one go.
    QString directory;
    TFolderNode *target = nullptr;
    std::vector<std::unique_ptr<TFileDat>> records;
    const auto flush = [&] {
        if (!records.empty())
            catalog.AddRecords(target, std::move(records));
        records.clear();
    };
    int index = 0;
    for (const QString &file : std::as_const(files)) {
        const qsizetype cut = file.lastIndexOf(QDir::separator()) + 1;
        if (QStringView(file).left(cut) != directory) {
            flush();
            directory = file.left(cut);
            target = FolderAtNames(
                catalog, top + directory.mid(folder.size()).split(QDir::separator(), Qt::SkipEmptyParts));
        }
        auto record = NewRecordFromDisk(file);
        record->RealPath = directory; // one text for the whole directory
        records.push_back(std::move(record));
        if (progress)
            progress(index, int(files.size()));
        ++index;
    }
    flush();
    if (progress)
        progress(0, 0);
    return int(files.size());
}
