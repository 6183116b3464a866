#pragma once

// The catalog file and catalog paths as the commands take them from the command line.

#include "CliIo.h"

#include <QString>

class TCatalog;
class TFolderNode;

// Loads the catalog file into the (empty) catalog. A file that is not there, or that cannot be
// read, is reported as "dravik-cli: <path>: <the text the window's error box shows>"; false then.
bool LoadCatalogFile(TCatalog &catalog, const QString &path, const TCliIo &io);

// A catalog path such as "Home\Photos\" (the final "\" may be left out) with its final separator
// ensured; empty when it holds an empty name ("Home\\Photos", "\Home") or is empty itself.
QString NormalisedCatalogPath(const QString &path);

// The folder at the catalog path, names matched exactly (letter case counts) as "Add folders"
// matches them; nullptr when there is none.
TFolderNode *FindFolderAtPath(const TCatalog &catalog, const QString &normalisedPath);
