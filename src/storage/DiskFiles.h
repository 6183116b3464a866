#pragma once

// Files on disk as the catalog file needs them: refusing what is not a plain file before it can
// block a read, and pushing written data through to the disk. POSIX underneath; throws EFileError
// with the system's reason.

#include <QString>
#include <functional>

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

// ---- Refusals of the disk on demand, for tests
//
// Every step of a save or an export that a full or read-only disk refuses asks DiskFault first:
// creating a file, writing to it, syncing it, and linking or renaming it into place. A test
// installs a fault function (TDiskFaults) that gives the errno a step on a path is to fail with,
// and the step then fails as the disk would have refused it (ENOSPC, EROFS), with the same error
// text, without a file system mounted by root. Nothing else changes: the order of the steps, and
// so what a crash at any moment leaves on disk, is the same with and without a fault function.

enum class TDiskStep
{
    Create, // a new file (the path is the file's)
    Write,
    Sync,
    Link,   // a second name (the path is the new name)
    Rename, // the path is the name given
};

// The errno the step on the path fails with, 0 when the disk is left to decide. Set by a test;
// called on whatever thread writes.
using TDiskFaultFn = std::function<int(TDiskStep step, const QString &path)>;

// Installs a fault function for its lifetime (one at a time, installed and removed while no save
// runs).
class TDiskFaults
{
public:
    explicit TDiskFaults(TDiskFaultFn fault);
    ~TDiskFaults();
    TDiskFaults(const TDiskFaults &) = delete;
    TDiskFaults &operator=(const TDiskFaults &) = delete;
};

// The errno the installed fault function gives for the step, 0 without one.
int DiskFault(TDiskStep step, const QString &path);
