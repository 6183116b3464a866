#pragma once

// The pictures of the windows, drawn for this program with QPainter: the command buttons, the
// pickers' small buttons, the folder tree's and the file list's image lists, and the large
// picture of the about window, which is also the program's icon. Sizes are in device-independent
// pixels; each picture is drawn at a device pixel ratio, the sharpest screen's unless one is
// given, so that it stays sharp on scaled screens.

#include "PixelRatio.h"

#include <QIcon>
#include <QPixmap>
#include <array>

class QPainter;

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
    Close, // the about window's
};

// A 16 x 16 picture for a command button.
QPixmap CommandPicture(TCommandPicture picture, qreal ratio = SharpestPixelRatio());

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
QPixmap PickerPicture(TPickerPicture picture, qreal ratio = SharpestPixelRatio());

// The folder tree's pictures: 0 folder without records, 1 the same selected (open), 2 folder
// with records, 3 the same selected.
std::array<QPixmap, 4> FolderPictures(qreal ratio = SharpestPixelRatio());

// The file list's pictures by row look: 0 waiting for a digest, 1 digested, 2 missing,
// 3 being digested.
std::array<QPixmap, 4> FileStatePictures(qreal ratio = SharpestPixelRatio());

// The application's large picture (the about window and the program's icon), square.
QPixmap ApplicationPicture(int size, qreal ratio = SharpestPixelRatio());
// The program's icon for the desktop (window, task bar), made from that picture at the sizes a
// desktop asks for.
QIcon ApplicationIcon();
// Draws that picture into the square from (0, 0) to (size, size) of any paint device: the
// installed icon files are drawn from here too.
void DrawApplicationPicture(QPainter &painter, int size);

// The duplicates window's list pictures: 0 a set, 1 a file, 2 a file found missing.
std::array<QPixmap, 3> DupListPictures(qreal ratio = SharpestPixelRatio());

enum class TDupMenuPicture
{
    ShellOpen,
    SelectAll,
    RemoveFromList,
    DeleteFromDisk,
};

// A 16 x 16 picture for an entry of the duplicates window's menu.
QPixmap DupMenuPicture(TDupMenuPicture picture, qreal ratio = SharpestPixelRatio());
