#include "RemovableVolumes.h"

#include "MountTable.h"

#include <QDir>
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

} // namespace

QSet<QString> MountPointsOf(const QByteArray &mountinfo)
{
    QSet<QString> points;
    for (const TMountEntry &mount : MountEntriesOf(mountinfo))
        points.insert(mount.MountPoint);
    return points;
}

TRemovableVolumes TRemovableVolumes::OfThisSystem()
{
    const QString root = qEnvironmentVariable("DRAVIK_TEST_VOLUME_ROOT");
    return TRemovableVolumes(root.isEmpty() ? QStringLiteral("/") : root);
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
        for (const TMountEntry &mount : CurrentMounts())
            m_mountPoints.insert(mount.MountPoint);
        m_mountsRead = true;
    }
    return m_mountPoints.contains(directory);
}
