#pragma once

// Small file systems mounted by a test, to see what the program does on a full disk, a read-only
// drive or a drive without hard links (exFAT). Mounting needs root; a test that gets no mount skips with
// the reason (QSKIP(qPrintable(why))). Under ThreadSanitizer nothing is mounted, for the same kind of
// reason: mount, losetup and mkfs run as child processes, and the sanitizer cannot follow a fork
// while threads run (it ends the child).

#include "ThreadHandOver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <memory>
#include <sys/statvfs.h>
#include <unistd.h>

namespace TestMounts {

inline bool runs(const QString &program, const QStringList &arguments, QString *why)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        if (why)
            *why = program + u' ' + arguments.join(u' ') + QStringLiteral(": ") +
                   QString::fromLocal8Bit(process.readAll()).trimmed();
        return false;
    }
    return true;
}

// Whether this process may mount, and why not.
inline bool mayMount(QString *why)
{
#ifdef DRAVIK_THREAD_SANITIZER
    *why = QStringLiteral("ThreadSanitizer cannot follow the fork that starts mount while threads run");
    return false;
#endif
    if (::geteuid() != 0) {
        *why = QStringLiteral("mounting a file system needs root");
        return false;
    }
    return true;
}

class TMount
{
public:
    // A tmpfs of the given size ("4m") on the folder (made when missing); nullptr and the reason
    // when not root or the mount is refused.
    static std::unique_ptr<TMount> Tmpfs(const QString &folder, const QString &size, QString *why)
    {
        if (!mayMount(why))
            return nullptr;
        QDir().mkpath(folder);
        if (!runs(QStringLiteral("mount"),
                  {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                   QStringLiteral("size=%1,mode=0777").arg(size), QStringLiteral("tmpfs"), folder},
                  why))
            return nullptr;
        return std::unique_ptr<TMount>(new TMount(folder));
    }

    // An exFAT file system (no hard links, as on the drives users carry catalogs on) in an image
    // file, through a loop device and the FUSE driver.
    static std::unique_ptr<TMount> Exfat(const QString &folder, const QString &image, QString *why)
    {
        if (!mayMount(why))
            return nullptr;
        const QStringList system{QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")};
        const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.exfat"), system);
        const QString mount = QStandardPaths::findExecutable(QStringLiteral("mount.exfat-fuse"), system);
        if (mkfs.isEmpty() || mount.isEmpty()) {
            *why =
                QStringLiteral("mkfs.exfat (exfatprogs) or mount.exfat-fuse (exfat-fuse) is not installed");
            return nullptr;
        }
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(16 << 20)) {
            *why = QStringLiteral("cannot make the image ") + image;
            return nullptr;
        }
        file.close();
        QDir().mkpath(folder);
        if (!runs(mkfs, {image}, why))
            return nullptr;
        QProcess attach;
        attach.start(QStringLiteral("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), image});
        if (!attach.waitForFinished(60'000) || attach.exitCode() != 0) {
            *why =
                QStringLiteral("losetup: ") + QString::fromLocal8Bit(attach.readAllStandardError()).trimmed();
            return nullptr;
        }
        const QString device = QString::fromLocal8Bit(attach.readAllStandardOutput()).trimmed();
        if (!runs(mount, {device, folder}, why)) {
            runs(QStringLiteral("losetup"), {QStringLiteral("-d"), device}, nullptr);
            return nullptr;
        }
        return std::unique_ptr<TMount>(new TMount(folder, device));
    }

    ~TMount()
    {
        runs(QStringLiteral("umount"), {m_path}, nullptr);
        if (!m_loopDevice.isEmpty())
            runs(QStringLiteral("losetup"), {QStringLiteral("-d"), m_loopDevice}, nullptr);
    }
    TMount(const TMount &) = delete;
    TMount &operator=(const TMount &) = delete;

    const QString &Path() const { return m_path; }
    QString FilePath(const QString &name) const { return m_path + u'/' + name; }

    bool SetReadOnly(bool readOnly)
    {
        return runs(QStringLiteral("mount"),
                    {QStringLiteral("-o"),
                     readOnly ? QStringLiteral("remount,ro") : QStringLiteral("remount,rw"), m_path},
                    nullptr);
    }

private:
    explicit TMount(QString path, QString loopDevice = {})
        : m_path(std::move(path)), m_loopDevice(std::move(loopDevice))
    {}
    QString m_path;
    QString m_loopDevice; // the loop device of an image, detached after the unmount
};

inline qint64 FreeBytes(const QString &folder)
{
    struct statvfs facts;
    if (::statvfs(QFile::encodeName(folder).constData(), &facts) != 0)
        return -1;
    return qint64(facts.f_bavail) * qint64(facts.f_frsize);
}

// Writes a file into the folder until its file system refuses more; the file's path.
inline QString FillUp(const QString &folder, const QString &name = QStringLiteral("filler"))
{
    const QString path = folder + u'/' + name;
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {};
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    // Whatever is left is smaller than a block: take it byte by byte.
    while (filler.write("f", 1) == 1) {
    }
    return path;
}

} // namespace TestMounts
