#pragma once

// Reads a catalog document (CatalogWriter.h shows its form) into the catalog.
//
// The document is walked in document order: a Tree or Folder element whose Folders count is at
// least 1 is entered at its first Folder child, otherwise the walk goes on with the next sibling,
// or climbs back to the next sibling of an ancestor. Each Folder element met becomes a folder;
// Folder elements below one whose Folders count is 0 are not read, nor are the records of one
// whose Files count is 0. Records are appended to their folder without being queued for a digest:
// fsDigested with a digest, fsPending without.
//
// Refused with ECatalogError, naming the problem: XML errors, a document element other than Tree
// or anything after it, a Folders count of 1 or more without a Folder child, a Files count of 1 or
// more without a Files element, a count or a size that is not a decimal integer. The catalog then
// keeps the folders read so far; the caller decides whether to clear it.

#include "Progress.h"

#include <QString>

class QIODevice;
class TCatalog;
class TFolderNode;

namespace pugi {
class xml_node;
}

// Reads the whole document from the device and adds its folders to the catalog. Calls
// progress(step, Total of the Tree element) at every fifth step of the walk. Returns the number
// of records read and the sum of their sizes. Throws ECatalogError, or EFileError when the device
// cannot be read.
TCatalogTotals ReadCatalogDocument(TCatalog &catalog, QIODevice &device, const TProgressFn &progress = {});

class TCatalogReadContext;

// Makes the folder of one Folder element as the last child of the parent (or the last top-level
// folder) and reads its records when its Files count is at least 1. The records' XML is freed
// once read.
TFolderNode *ReadFolderElement(pugi::xml_node element, TFolderNode *parent, TCatalogReadContext &context);
