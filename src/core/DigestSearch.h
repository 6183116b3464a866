#pragma once

// Looking a digest up in the catalog, as "Search MD5 code" and `dravik-cli find` do: the code as a
// user types or pastes it (in groups, in upper case), and the first record that holds it.

#include "Md5Text.h"

#include <QString>
#include <optional>

class TCatalog;
struct TFileDat;

// The typed code without blanks, in lower case: what is searched. Nothing when it is not
// Md5TextLength characters long; the digits themselves are not checked, so a code of other
// characters is searched, and found nowhere.
std::optional<TMd5Text> Md5CodeToSearch(const QString &typed);

// The first record, folders in tree order (a folder before its sub-folders, siblings in order) and
// records in list order, whose digest is exactly the code; nullptr when none is.
TFileDat *FindFirstRecordWithDigest(const TCatalog &catalog, const TMd5Text &code);
