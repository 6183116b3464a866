#include "FolderScan.h"

#include "LocaleText.h"
#include "MountTable.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
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

// The name as text; false for bytes that are no text here (a record of the decoded name would
// name another file).
bool decodeWhole(const QByteArray &name, QString &text)
{
    text = QFile::decodeName(name);
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) { return uchar(c) < 0x80; });
    return plain || QFile::encodeName(text) == name;
}

// Closes the listing on every way out.
class TListing
{
public:
    explicit TListing(const QByteArray &path) : m_dir(::opendir(path.constData())) {}
    ~TListing()
    {
        if (m_dir)
            ::closedir(m_dir);
    }
    TListing(const TListing &) = delete;
    TListing &operator=(const TListing &) = delete;
    DIR *Dir() const { return m_dir; }

private:
    DIR *m_dir;
};

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

namespace {

// One entry of a directory, kept until the directory is read through and put in name order.
struct TListedEntry
{
    QString Name;
    bool IsDirectory = false;
    qint64 Size = 0;
    qint64 ModifiedSeconds = 0;
};

} // namespace

void WalkDiskFolder(const QString &folder, std::vector<TDiskFile> &files, TWalkReport *report,
                    const TScanProgress &progress, std::vector<QString> *walkedDirectories)
{
    const QSet<QString> pseudo = pseudoDirectories();
    const TNameOrder nameOrder;
    std::vector<QString> directories;
    if (!pseudo.contains(withoutSeparator(folder)))
        directories.push_back(withSeparator(folder));
    std::vector<TListedEntry> entries;
    for (size_t walked = 0; walked < directories.size(); ++walked) {
        const QString directory = directories[walked]; // the list grows while it is read
        const QByteArray prefix = QFile::encodeName(directory);
        const TListing listing(prefix);
        if (!listing.Dir()) {
            if (report)
                report->UnreadableFolders.Add(prefix);
            continue;
        }
        const int at = ::dirfd(listing.Dir());
        entries.clear();
        while (const dirent *entry = ::readdir(listing.Dir())) {
            const char *name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            struct stat facts
            {};
            const unsigned char type = entry->d_type;
            const bool isDirectory =
                type == DT_DIR ||
                (type == DT_UNKNOWN && ::fstatat(at, name, &facts, AT_SYMLINK_NOFOLLOW) == 0 &&
                 S_ISDIR(facts.st_mode));
            // A link counts as the file it leads to; a link to a directory is not followed.
            if (!isDirectory) {
                const bool mayBeFile = type == DT_REG || type == DT_LNK || type == DT_UNKNOWN;
                if (!mayBeFile || ::fstatat(at, name, &facts, 0) != 0 || !S_ISREG(facts.st_mode))
                    continue;
            }
            TListedEntry listed;
            const qsizetype nameLength = qsizetype(std::strlen(name));
            if (!decodeWhole(QByteArray::fromRawData(name, nameLength), listed.Name)) {
                if (report)
                    report->UnusableNames.Add(prefix + name);
                continue;
            }
            // Room for the terminating zero, and for a directory the separator its path ends with.
            if (prefix.size() + nameLength + (isDirectory ? 1 : 0) >= PATH_MAX) {
                if (report)
                    report->LongPaths.Add(prefix + name);
                continue;
            }
            listed.IsDirectory = isDirectory;
            listed.Size = qint64(facts.st_size);
            listed.ModifiedSeconds = qint64(facts.st_mtim.tv_sec);
            entries.push_back(std::move(listed));
        }
        // The file system's own order means nothing to a user: files and sub-directories come in
        // name order.
        nameOrder.Sort(entries, [](const TListedEntry &entry) -> const QString & { return entry.Name; });
        for (const TListedEntry &entry : entries) {
            if (entry.IsDirectory) {
                const QString below = directory + entry.Name;
                if (!pseudo.contains(below))
                    directories.push_back(below + QDir::separator());
                continue;
            }
            files.push_back({directory + entry.Name, directory, entry.Size, entry.ModifiedSeconds});
        }
        if (progress)
            progress(int(walked), int(directories.size()));
    }
    if (progress)
        progress(0, 0);
    if (walkedDirectories)
        *walkedDirectories = std::move(directories);
}

void CollectFiles(const QString &folder, QStringList &files, const TScanProgress &progress,
                  TWalkReport *report)
{
    files.clear();
    std::vector<TDiskFile> found;
    WalkDiskFolder(folder, found, report, progress);
    files.reserve(qsizetype(found.size()));
    for (TDiskFile &file : found)
        files << std::move(file.Path);
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

    std::vector<TDiskFile> files;
    std::vector<QString> directories;
    WalkDiskFolder(folder, files, report, progress, &directories);

    // The folders of the directories that hold files, or hold directories that do, are made in
    // the walk's order first, so that each folder's sub-folders stand in name order even where a
    // directory's files come only after those of a sibling listed later.
    QSet<QString> holding;
    for (const TDiskFile &file : files) {
        for (QString directory = file.Directory;
             directory.size() >= folder.size() && !holding.contains(directory);
             directory = directory.left(directory.lastIndexOf(QDir::separator(), -2) + 1))
            holding.insert(directory);
    }
    for (const QString &directory : directories) {
        if (holding.contains(directory))
            FolderAtNames(catalog,
                          top + directory.mid(folder.size()).split(QDir::separator(), Qt::SkipEmptyParts));
    }

    // The files of one directory stand together: its catalog folder is looked up once, and its
    // records join it in one go.
    const QString *directory = nullptr;
    TFolderNode *target = nullptr;
    std::vector<std::unique_ptr<TFileDat>> records;
    const auto flush = [&] {
        if (!records.empty())
            catalog.AddRecords(target, std::move(records));
        records.clear();
    };
    int index = 0;
    for (const TDiskFile &file : files) {
        if (!directory || file.Directory != *directory) {
            flush();
            directory = &file.Directory;
            target = FolderAtNames(
                catalog, top + directory->mid(folder.size()).split(QDir::separator(), Qt::SkipEmptyParts));
        }
        // The record NewRecordFromDisk would make, from the facts the walk has read.
        auto record = std::make_unique<TFileDat>();
        record->FileName = file.Path.mid(file.Directory.size());
        record->RealPath = file.Directory; // one text for the whole directory
        record->Size = file.Size;
        record->DateTime = FileTimeDayCount(file.ModifiedSeconds);
        record->State = fsPending;
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
