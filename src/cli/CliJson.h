#pragma once

// Output for scripts under --json: JSON Lines, one object a line, each result of a command and
// then one object "summary". Every object begins with "v" (JsonKeysVersion, raised when a key
// changes its meaning or goes away; new keys may appear within a version) and "type"; the README
// lists the keys of each command.
//
// Strings are valid UTF-8 whatever a name holds. Catalog texts are text already. Paths from the
// disk are bytes: their valid UTF-8 is kept as it is, and every byte that is no part of it is
// written as the lone surrogate \udcXX (XX its value), so a reader that decodes with Python's
// "surrogateescape" gets the bytes back. Control characters, the quotation mark and the
// backslash get JSON's own escapes.

#include "CliIo.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

struct TFileDat;

inline constexpr int JsonKeysVersion = 1;

// The text as a JSON string, quotation marks included, appended to out.
void AppendJsonText(QByteArray &out, QStringView text);
// Bytes from the disk as a JSON string, as the header says.
void AppendJsonBytes(QByteArray &out, QByteArrayView bytes);

// One object, built key by key in the order given.
class TJsonObject
{
public:
    explicit TJsonObject(const char *type);

    TJsonObject &Text(const char *key, QStringView value);
    // A path as the disk names it (through QFile::encodeName), so the bytes are the real ones.
    TJsonObject &DiskPath(const char *key, const QString &path);
    TJsonObject &DiskBytes(const char *key, QByteArrayView bytes);
    TJsonObject &Number(const char *key, qint64 value);
    TJsonObject &Boolean(const char *key, bool value);
    // "yyyy-mm-ddThh:nn:ss" in local time, or null when the day count names no date.
    TJsonObject &Date(const char *key, double dayCount);
    TJsonObject &Null(const char *key);
    // A record's keys: "folder" (its catalog folder's path), "name", "size" (null when not
    // known), "date" (null when not known), "realpath" (its directory on disk, "" when none),
    // "md5" (null when none) and "comment".
    TJsonObject &Record(const TFileDat &record, const QString &folderPath);

    // The object closed with its line break; the object is done after this.
    const QByteArray &Line();

private:
    void key(const char *name);

    QByteArray m_text;
};

// The object on its line of the output.
inline void WriteJson(TLineWriter &out, TJsonObject &object)
{
    out.Bytes(object.Line());
}

// Whether the command's output is JSON Lines (--json given).
bool WantsJson(const TArguments &arguments);
