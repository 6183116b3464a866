#pragma once

// Lists of files and their digests as other tools write and check them: md5sum's lines
// ("<digest>  <name>", a name holding a backslash, a carriage return or a line break escaped and
// its line then starting with a backslash) and hashdeep's "-c md5" list (header lines starting
// with "%%%%" and "##", then "<size>,<md5>,<name>" in the order the header gives).

#include <QByteArray>
#include <QString>
#include <vector>

// md5sum's line for the file, with its final line break.
QByteArray Md5SumLine(const QString &lowerCaseDigest, const QString &path);

struct TListedFile
{
    qsizetype Line = 0; // counted from 1
    QString Md5;        // lower case
    QString Path;       // as listed
    qint64 Size = -1;   // as listed, -1 when the list gives none
};

struct TUnusableLine
{
    qsizetype Line = 0;
    QString Reason;
};

struct TChecksumList
{
    bool FromHashdeep = false;
    // The directory relative names were listed from: hashdeep's "Invoked from" line; empty for
    // md5sum, whose names are relative to where it ran, as md5sum -c reads them.
    QString ListedFrom;
    std::vector<TListedFile> Files;
    std::vector<TUnusableLine> Unusable;
};

// Reads either kind of list, told apart by hashdeep's first line. Empty lines are passed over.
TChecksumList ParseChecksumList(const QByteArray &content);
