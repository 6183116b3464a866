#pragma once

// Names for the temporary files that saving and loading go through. A name is only drawn, not
// created: the caller creates the file and removes it after use (TScratchFile does both).

#include <QFile>
#include <QString>
#include <functional>

// Draws a whole number in [0, bound).
using TRandomDraw = std::function<int(int bound)>;

// The system's temporary folder with a trailing separator. Taken on the first call and held for
// the rest of the run. User-interface thread only.
const QString &TempFolder();

// The characters of temporary names (lower-case letters and digits).
QString TempNameCharacters();

// n characters drawn uniformly from the temporary-name character set.
QString RandomName(int n, const TRandomDraw &draw);
QString RandomName(int n);

// TempFolder() + 8 random characters + ".dat", the first such name that no file has. Lets pending
// events run after each attempt. User-interface thread only.
QString NewTempFileName();
// The same in the given folder (ending in a separator) with the given draw; no events run.
QString NewTempFileName(const QString &folder, const TRandomDraw &draw);

// A temporary file under a fresh NewTempFileName(), open for reading and writing, whose name is
// removed as soon as it is open: whatever ends the program, even a kill, leaves nothing in the
// temporary folder, and the space goes back to the disk when the file is closed. Throws EFileError
// when the temporary folder refuses the file. User-interface thread only.
class TScratchFile
{
public:
    TScratchFile();
    QFile &File() { return m_file; }

private:
    QFile m_file;
};
