#include "CliVolumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The path's first `names` names after the prefix, with the prefix: the volume directory, when
// the path goes on below it.
QString volumeBelow(const QString &path, const QString &prefix, int names)
{
    if (!path.startsWith(prefix))
        return {};
    qsizetype end = prefix.size();
    for (int i = 0; i < names; ++i) {
        const qsizetype separator = path.indexOf(u'/', end);
        if (separator <= end) // no name, or an empty one
            return {};
        end = separator + 1;
    }
    return end < path.size() ? path.left(end - 1) : QString();
}

QString unescapeOctal(const QByteArray &field)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                bytes += char(code);
                i += 3;
                continue;
            }
        }
        bytes += field[i];
    }
    return QFile::decodeName(bytes);
}

} // namespace

QSet<QString> MountPointsOf(const QByteArray &mountinfo)
{
    // "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw": the fifth field.
    QSet<QString> points;
    for (const QByteArray &line : mountinfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 5)
            points.insert(unescapeOctal(fields[4]));
    }
    return points;
}

TRemovableVolumes::TRemovableVolumes(const QString &root) : m_root(QDir::cleanPath(root))
{
    if (m_root == u'/')
        m_root.clear();
}

QString TRemovableVolumes::VolumeOf(const QString &path) const
{
    QString volume = volumeBelow(path, m_root + QStringLiteral("/media/"), 2);
    if (volume.isEmpty())
        volume = volumeBelow(path, m_root + QStringLiteral("/run/media/"), 2);
    if (volume.isEmpty())
        volume = volumeBelow(path, m_root + QStringLiteral("/mnt/"), 1);
    return volume;
}

bool TRemovableVolumes::IsOffline(const QString &path)
{
    const QString volume = VolumeOf(path);
    if (volume.isEmpty())
        return false;
    const auto known = m_offline.constFind(volume);
    if (known != m_offline.constEnd())
        return *known;
    const QFileInfo info(volume);
    const bool offline =
        !info.exists() ||
        (info.isDir() &&
         QDir(volume).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot) &&
         !isMountPoint(volume));
    m_offline.insert(volume, offline);
    return offline;
}

bool TRemovableVolumes::isMountPoint(const QString &directory)
{
    if (!m_mountsRead) {
        QFile mountinfo(QStringLiteral("/proc/self/mountinfo"));
        if (mountinfo.open(QIODevice::ReadOnly))
            m_mountPoints = MountPointsOf(mountinfo.readAll());
        m_mountsRead = true;
    }
    return m_mountPoints.contains(directory);
}
