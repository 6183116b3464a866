#pragma once

// Putting a newly written file in the place of an old one so that a crash or a power loss at any
// moment leaves a complete file under the name: the old one or the new one.
//
//   TReplacementFile next(target);   // a temporary file beside the target, in the same folder
//   ...write next.File()...
//   next.Commit(backup);             // synced, previous file kept as backup, renamed in place
//
// The temporary file is named "." + target name + "." + 8 characters + ".tmp". Where the file
// system has hard links, the previous file becomes the backup as a second name and the new file
// takes the target's name in one rename, so the target name never stands empty. Where it has
// none (FAT and exFAT drives), the previous file is renamed to the backup and the new one renamed
// after it: the name is empty only between those two renames. An older backup is replaced only
// once the new file is complete on disk.
//
// A replacement that is not committed removes its temporary file when it goes; one that a crash
// left behind is removed by RemoveLeftoverReplacements, which every save calls first.
//
// Creating, writing, syncing, linking and renaming each ask DiskFault (DiskFiles.h) first, so a
// test can have the disk refuse any of them.

#include <QFile>
#include <QString>
#include <functional>

// The moments of a commit, in order, for a test that stops the program at each of them.
enum class TReplaceStep
{
    Synced,        // the new file is complete on disk under its temporary name
    BackupLinked,  // the previous file also has a temporary second name (hard links only)
    BackupInPlace, // the previous file is under the backup name
    Replaced,      // the new file is under the target name
};
using TReplaceStepFn = std::function<void(TReplaceStep)>;

class TReplacementFile
{
public:
    // Creates the temporary file, open for writing. Throws EFileError when the target's folder
    // refuses it.
    explicit TReplacementFile(const QString &targetPath);
    ~TReplacementFile();
    TReplacementFile(const TReplacementFile &) = delete;
    TReplacementFile &operator=(const TReplacementFile &) = delete;

    QFile &File() { return m_file; }

    // Syncs and closes the new file, keeps a file already under the target name as backupPath
    // (none kept when backupPath is empty) and puts the new file in place. Throws EFileError
    // when a step fails; the target name then still holds the previous file, or, on a drive
    // without hard links whose last rename failed, the backup name does.
    void Commit(const QString &backupPath = {}, const TReplaceStepFn &step = {});

private:
    QString m_target;
    QFile m_file;
    bool m_committed = false;
};

// Moves the file under the path to the backup name, replacing an older backup in the same rename.
// Throws EFileError (nothing moved) when the rename fails.
void MoveToBackup(const QString &path, const QString &backupPath);

// Removes the temporary files of TReplacementFile that an interrupted save of the target left
// beside it. Files that cannot be removed are left alone.
void RemoveLeftoverReplacements(const QString &targetPath);
