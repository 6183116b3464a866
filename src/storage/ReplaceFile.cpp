#include "ReplaceFile.h"

#include "DiskFiles.h"
#include "StorageErrors.h"
#include "TempFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

// Room left in a 255-byte file name for the dot, the 8 characters and ".tmp" around the prefix.
constexpr qsizetype MaxPrefixBytes = 200;
constexpr int RandomLength = 8;
constexpr int CreateAttempts = 100;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(path);
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

// "." + the target's name, cut so that the whole temporary name fits in any file system's limit.
QString prefixFor(const QString &targetPath)
{
    QString prefix = u'.' + QFileInfo(targetPath).fileName();
    while (encoded(prefix).size() > MaxPrefixBytes)
        prefix.chop(1);
    return prefix;
}

QString temporaryNameFor(const QString &targetPath)
{
    return folderOf(targetPath) + u'/' + prefixFor(targetPath) + u'.' + RandomName(RandomLength) +
           QStringLiteral(".tmp");
}

// A temporary name beside the target that nothing uses yet (not created).
QString freeNameFor(const QString &targetPath)
{
    QString name = temporaryNameFor(targetPath);
    while (NameTaken(name))
        name = temporaryNameFor(targetPath);
    return name;
}

// rename() and link(), each refused as a test's fault function says (errno set) before the disk
// is asked.
bool refusedByFault(TDiskStep step, const QString &path)
{
    const int refused = DiskFault(step, path);
    if (refused != 0)
        errno = refused;
    return refused != 0;
}

bool renamed(const QString &from, const QString &to)
{
    return !refusedByFault(TDiskStep::Rename, to) &&
           ::rename(encoded(from).constData(), encoded(to).constData()) == 0;
}

bool linked(const QString &existing, const QString &newName)
{
    return !refusedByFault(TDiskStep::Link, newName) &&
           ::link(encoded(existing).constData(), encoded(newName).constData()) == 0;
}

[[noreturn]] void throwMoveError(const QString &from, const QString &to, int error)
{
    throw EFileError(
        QStringLiteral("Cannot move %1 to %2: %3").arg(quoted(from), quoted(to), SystemErrorText(error)));
}

// link() answers these where the file system (or its mount) has no hard links for us.
bool noHardLinks(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EXDEV || error == EMLINK;
}

// Removes the name when the scope ends, however it ends.
class TUnlinkOnExit
{
public:
    explicit TUnlinkOnExit(const QString &path) : m_path(encoded(path)) {}
    ~TUnlinkOnExit() { ::unlink(m_path.constData()); }
    TUnlinkOnExit(const TUnlinkOnExit &) = delete;
    TUnlinkOnExit &operator=(const TUnlinkOnExit &) = delete;

private:
    QByteArray m_path;
};

} // namespace

TReplacementFile::TReplacementFile(const QString &targetPath) : m_target(targetPath)
{
    // Exclusive creation: a name that appears between the look and the creation is not ours.
    for (int attempt = 0; attempt < CreateAttempts; ++attempt) {
        m_file.setFileName(freeNameFor(targetPath));
        if (const int refused = DiskFault(TDiskStep::Create, m_file.fileName()))
            throw EFileError(
                QStringLiteral("Cannot write %1: %2").arg(quoted(targetPath), SystemErrorText(refused)));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return;
        if (!NameTaken(m_file.fileName()))
            break; // refused for another reason than the name
    }
    throw EFileError(QStringLiteral("Cannot write %1: %2").arg(quoted(targetPath), m_file.errorString()));
}

TReplacementFile::~TReplacementFile()
{
    if (m_committed)
        return;
    m_file.close();
    ::unlink(encoded(m_file.fileName()).constData());
}

void TReplacementFile::Commit(const QString &backupPath, const TReplaceStepFn &step)
{
    auto reached = [&step](TReplaceStep moment) {
        if (step)
            step(moment);
    };
    SyncToDisk(m_file);
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        ThrowWriteError(m_file);
    reached(TReplaceStep::Synced);

    const QString temporary = m_file.fileName();
    if (!backupPath.isEmpty() && NameTaken(m_target)) {
        const QString secondName = freeNameFor(m_target);
        if (linked(m_target, secondName)) {
            // Gone after the rename below, except when it fails or when the backup already was
            // this very file (rename leaves two names of one file as they are).
            const TUnlinkOnExit secondNameGoes(secondName);
            reached(TReplaceStep::BackupLinked);
            if (!renamed(secondName, backupPath))
                throwMoveError(m_target, backupPath, errno);
            reached(TReplaceStep::BackupInPlace);
            if (!renamed(temporary, m_target))
                throwMoveError(temporary, m_target, errno);
        } else if (noHardLinks(errno)) {
            if (!renamed(m_target, backupPath))
                throwMoveError(m_target, backupPath, errno);
            reached(TReplaceStep::BackupInPlace);
            if (!renamed(temporary, m_target)) {
                const int error = errno;
                renamed(backupPath, m_target); // the previous file back under its name, if it can
                throwMoveError(temporary, m_target, error);
            }
        } else {
            throw EFileError(QStringLiteral("Cannot keep %1 as %2: %3")
                                 .arg(quoted(m_target), quoted(backupPath), SystemErrorText(errno)));
        }
    } else if (!renamed(temporary, m_target)) {
        throwMoveError(temporary, m_target, errno);
    }
    m_committed = true;
    reached(TReplaceStep::Replaced);
    SyncFolder(folderOf(m_target));
}

void MoveToBackup(const QString &path, const QString &backupPath)
{
    if (!renamed(path, backupPath))
        throwMoveError(path, backupPath, errno);
    SyncFolder(folderOf(path));
}

void RemoveLeftoverReplacements(const QString &targetPath)
{
    const QString prefix = prefixFor(targetPath);
    const QRegularExpression ours(u'^' + QRegularExpression::escape(prefix) + QStringLiteral("\\.[") +
                                  QRegularExpression::escape(TempNameCharacters()) +
                                  QStringLiteral("]{%1}\\.tmp$").arg(RandomLength));
    const QDir folder(folderOf(targetPath));
    const QStringList candidates =
        folder.entryList({prefix + QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : candidates) {
        if (ours.match(name).hasMatch())
            ::unlink(encoded(folder.filePath(name)).constData());
    }
}
