#pragma once

// The pictures of the windows, drawn for this program with QPainter: the command buttons, the
// pickers' small buttons, the folder tree's and the file list's image lists, and the large
// picture of the about window.

#include <QPixmap>
#include <array>

enum class TCommandPicture
{
    NewFolder,
    RemoveFolder,
    AddFiles,
    AddFolders,
    Comments,
    RemoveFiles,
    CheckFolder,
    CheckAll,
    LoadRegistry,
    SaveRegistry,
    Options,
    About,
};

// A 16 x 16 picture for a command button.
QPixmap CommandPicture(TCommandPicture picture);

// The small buttons of the file and folder pickers.
enum class TPickerPicture
{
    PreviousFolder,
    SelectAll,
    Count,
    LargeIcons,
    SmallIcons,
    List,
    Report,
};

// A 16 x 16 picture for a picker's small button.
QPixmap PickerPicture(TPickerPicture picture);

// The folder tree's pictures: 0 folder without records, 1 the same selected (open), 2 folder
// with records, 3 the same selected.
std::array<QPixmap, 4> FolderPictures();

// The file list's pictures by row look: 0 waiting for a digest, 1 digested, 2 missing,
// 3 being digested.
std::array<QPixmap, 4> FileStatePictures();

// The application's large picture (the about window), square.
QPixmap ApplicationPicture(int size);

// The duplicates window's list pictures: 0 a set, 1 a file, 2 a file found missing.
std::array<QPixmap, 3> DupListPictures();

enum class TDupMenuPicture
{
    ShellOpen,
    SelectAll,
    RemoveFromList,
    DeleteFromDisk,
};

// A 16 x 16 picture for an entry of the duplicates window's menu.
QPixmap DupMenuPicture(TDupMenuPicture picture);
