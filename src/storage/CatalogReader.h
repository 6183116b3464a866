#pragma once

// Reads a catalog document (CatalogWriter.h shows its form) into the catalog, as it streams in:
// neither the document's text nor a tree of it is held whole, only the catalog being built.
//
// The Tree element's Folder children become top-level folders. A Folder element becomes a folder;
// when its Folders count is at least 1 its Folder children become its sub-folders, otherwise they
// are not read. When its Files count is at least 1, the File children of its first element that is
// not a Folder (its Files element) become its records, appended without being queued for a digest:
// fsDigested with a digest, fsPending without. Other elements are passed over with their content.
//
// Refused with ECatalogError, naming the problem: XML errors, a document element other than Tree
// or anything after it, a Folders count of 1 or more without a Folder child, a Files count of 1 or
// more without a Files element, a count or a size that is not a decimal integer. The catalog then
// keeps the folders read so far; the caller decides whether to clear it.

#include "Progress.h"

class QIODevice;
class TCatalog;

// Reads the document from the device and adds its folders to the catalog. Calls
// progress(folders read, Total of the Tree element) when the Tree element starts and at every
// fifth folder. Returns the number of records read and the sum of their sizes. Throws
// ECatalogError, or EFileError when the device cannot be read.
TCatalogTotals ReadCatalogDocument(TCatalog &catalog, QIODevice &device, const TProgressFn &progress = {});
