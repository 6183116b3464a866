#pragma once

// Removable volumes and whether they are there: a catalogued file on a drive that is not plugged
// in is offline, not missing. A volume is the directory /media/USER/NAME, /run/media/USER/NAME or
// /mnt/NAME that holds a path; it is offline when that directory does not exist, or exists empty
// and is not a mount point (/proc/self/mountinfo). A directory there that holds files but is not a
// mount point is a plain folder. One thread at a time.

#include <QHash>
#include <QSet>
#include <QString>

class TRemovableVolumes
{
public:
    // root: the directory in which media, run/media and mnt are looked for; "/" but in tests,
    // which stand a temporary folder in for it.
    explicit TRemovableVolumes(const QString &root = QStringLiteral("/"));
    // The volumes of this system: below "/", or below the folder that the variable
    // DRAVIK_TEST_VOLUME_ROOT names (tests stand a temporary folder in for the root).
    static TRemovableVolumes OfThisSystem();

    // The volume directory that holds the path, or empty when the path lies on none.
    QString VolumeOf(const QString &path) const;
    // The path lies on a volume that is not there now. Each volume is looked at once.
    bool IsOffline(const QString &path);

private:
    bool isMountPoint(const QString &directory);

    QString m_root; // without final separator: empty for "/"
    bool m_mountsRead = false;
    QSet<QString> m_mountPoints;
    QHash<QString, bool> m_offline; // by volume directory
};

// The mount points listed in the text of a mountinfo file, its octal escapes (\040 for a blank)
// undone.
QSet<QString> MountPointsOf(const QByteArray &mountinfo);
