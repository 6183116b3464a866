#pragma once

// The file systems mounted now, as the kernel lists them for this process
// (/proc/self/mountinfo): where each is mounted and of which kind.

#include <QList>
#include <QString>

struct TMountEntry
{
    QString MountPoint;
    QString Type; // "ext4", "proc", "tmpfs"...
};

// The mounts listed in the text of a mountinfo file, their octal escapes (\040 for a blank)
// undone.
QList<TMountEntry> MountEntriesOf(const QByteArray &mountinfo);

// The mounts of this process now; empty where the kernel does not tell.
QList<TMountEntry> CurrentMounts();
