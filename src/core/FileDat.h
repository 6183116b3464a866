#pragma once

// One catalogued file and its digest state.

#include "Md5Text.h"

#include <QString>
#include <memory>

class TFolderNode;

// Digest state of a record. Values are fixed: other parts of the program index pictures by them.
enum TFileState : quint8
{
    fsDigested = 0,  // Md5 holds the digest
    fsDigesting = 1, // the worker is digesting this record now; no command may change or free it
    fsMissing = 2,   // the file was missing when last looked for ("marked in RED")
    fsPending = 3,   // no digest yet
};

// A record is owned by the record list of its folder; everything else holds plain pointers.
// Its fields are read and written on the user-interface thread only, through TCatalog where a
// change must be seen by the views.
struct TFileDat
{
    QString FileName;    // name without directory
    qint64 Size = 0;     // bytes, at the time the file was added
    double DateTime = 0; // last modification, a day count (support.h)
    QString RealPath;    // directory on disk ending in the separator, or empty
    TMd5Text Md5;        // the digest, or empty
    QString Comment;
    TFileState State = fsPending;
    TFolderNode *Folder = nullptr;

    // RealPath (separator ensured) followed by FileName; empty when the record has no real path.
    QString FullPath() const;
};

// A catalog holds millions of records: each must fit one 144-byte heap chunk.
static_assert(sizeof(TFileDat) <= 136);

// A new fsPending record for the file at the full path, with its size and date read from disk
// (-1 and -1.0 when the file cannot be found). Records made one after another for files of one
// directory share one RealPath text.
std::unique_ptr<TFileDat> NewRecordFromDisk(const QString &path);
