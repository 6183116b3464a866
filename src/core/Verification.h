#pragma once

// Verification: whether the catalogued files are still what their digests say, in classes that
// tell silent corruption from edits. A file read again to its end is
//   ok        its digest is the catalogued one;
//   edited    its digest differs, and so does its size or its date (to the minute, as the catalog
//             keeps dates): it was changed, as files are;
//   corrupt   its digest differs while size and date are the same: its content changed without a
//             writer saying so, which is what a catalog of digests exists to catch.
// A file that cannot be read is missing (gone), offline (on a removable volume that is not
// there now) or unreadable; records without a digest or without a real path are counted apart.
// Verification never changes a digest; both the window and dravik-cli classify through here.

#include "FileDat.h"
#include "Md5Text.h"

#include <optional>

class TRemovableVolumes;

enum class TVerifyClass
{
    Ok,
    Edited,
    Corrupt,
    Missing,
    Offline,
    Unreadable,
    WithoutDigest,
    WithoutRealPath,
};

// What the disk says of a record's file before it is read.
struct TFileFacts
{
    qint64 Size = -1;     // -1: no regular file there
    double DateTime = 0;  // the day count of its last change
};

// What keeps the record's file from being read and compared (no real path, no digest, missing,
// offline), or nothing when it is to be read; facts receive what the disk says of it.
std::optional<TVerifyClass> ClassBeforeReading(const TFileDat &record, TRemovableVolumes &volumes,
                                               TFileFacts &facts);

// The class of a record whose file was read to its end with the digest read.
TVerifyClass ClassAfterReading(const TFileDat &record, const TMd5Text::TDigest &read, const TFileFacts &facts);

// The catalogued digest names the bytes read: letter case of a digest typed or imported in upper
// case aside, it is no change of content.
bool SameDigest(const TMd5Text &stored, const TMd5Text::TDigest &read);

// The class as the command line names it: "ok", "edited", "corrupt", "missing", "offline",
// "unreadable", "nodigest", "norealpath".
const char *VerifyClassName(TVerifyClass verifyClass);
