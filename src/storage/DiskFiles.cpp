#include "DiskFiles.h"

#include "StorageErrors.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(path);
}

[[noreturn]] void refuseKind(const QString &path, TFileKind kind)
{
    if (kind == TFileKind::Folder)
        throw EFileError(QStringLiteral("%1 is a folder, not a registry file").arg(quoted(path)));
    throw EFileError(QStringLiteral("%1 is not a regular file").arg(quoted(path)));
}

TFileKind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return TFileKind::Regular;
    if (S_ISDIR(mode))
        return TFileKind::Folder;
    return TFileKind::Other;
}

TDiskFaultFn &installedFault()
{
    static TDiskFaultFn fault;
    return fault;
}

} // namespace

TDiskFaults::TDiskFaults(TDiskFaultFn fault)
{
    installedFault() = std::move(fault);
}

TDiskFaults::~TDiskFaults()
{
    installedFault() = nullptr;
}

int DiskFault(TDiskStep step, const QString &path)
{
    const TDiskFaultFn &fault = installedFault();
    return fault ? fault(step, path) : 0;
}

QString SystemErrorText(int error)
{
    return qt_error_string(error);
}

TFileKind FileKindOf(const QString &path)
{
    struct stat facts;
    if (::stat(QFile::encodeName(path).constData(), &facts) != 0)
        return TFileKind::None;
    return kindOfMode(facts.st_mode);
}

bool NameTaken(const QString &path)
{
    struct stat facts;
    return ::lstat(QFile::encodeName(path).constData(), &facts) == 0;
}

void OpenRegularForReading(QFile &file, const QString &path)
{
    if (const TFileKind kind = FileKindOf(path); kind == TFileKind::Folder || kind == TFileKind::Other)
        refuseKind(path, kind);
    // Non-blocking, so a FIFO put in the file's place does not wait for a writer; the check on
    // the open descriptor is the one that counts.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw EFileError(QStringLiteral("Cannot open %1: %2").arg(quoted(path), SystemErrorText(errno)));
    struct stat facts;
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
        ::close(fd);
        refuseKind(path, kindOfMode(facts.st_mode));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw EFileError(QStringLiteral("Cannot open %1: %2").arg(quoted(path), file.errorString()));
    }
}

void SyncToDisk(QFile &file)
{
    if (!file.flush())
        ThrowWriteError(file);
    const int refused = DiskFault(TDiskStep::Sync, file.fileName());
    if (refused != 0 || ::fsync(file.handle()) != 0)
        throw EFileError(QStringLiteral("Cannot write %1 to the disk: %2")
                             .arg(DeviceName(file), SystemErrorText(refused ? refused : errno)));
}

void SyncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
