#pragma once

// Files on disk as the catalog file needs them: refusing what is not a plain file before it can
// block a read, and pushing written data through to the disk. POSIX underneath; throws EFileError
// with the system's reason.

#include <QString>

class QFile;

enum class TFileKind
{
    None,    // nothing under the name (a dangling link counts as nothing)
    Regular, // a plain file, or a link to one
    Folder,
    Other, // a FIFO, a device, a socket
};

// What the name (links followed) is.
TFileKind FileKindOf(const QString &path);
// True when anything, a dangling link included, stands under the name.
bool NameTaken(const QString &path);

// Opens a plain file for reading. A folder, a FIFO or a device is refused at once, without
// waiting for a writer or reading from a device, even when one takes the file's place between a
// look at the name and the opening.
void OpenRegularForReading(QFile &file, const QString &path);

// Writes the file's data and its size through to the disk (fsync).
void SyncToDisk(QFile &file);
// Makes the names created, renamed or removed in the folder durable. File systems that cannot
// sync a folder are left to their own timing; nothing is thrown.
void SyncFolder(const QString &folder);

// The system's text for an errno value.
QString SystemErrorText(int error);
