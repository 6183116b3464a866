#pragma once

// TCatalogDragData: what a drag from the folder tree or the file list carries, the dragged folder
// or the dragged records, taken when the drag starts.
//
// A drop acts on these, never on the selection it finds then (the digest queue may have switched
// folders and refilled the list while the drag ran). They are watched while the drag runs, so a
// drop never follows a folder or record the catalog has disposed of meanwhile.
//
// Only Dravik's own MIME types are offered, with no file names: other programs take nothing from
// such a drag, and a drop is recognised as Dravik's by this object itself, which exists only in
// the process that started the drag. User-interface thread only.

#include "CatalogWatch.h"

#include <QMimeData>
#include <vector>

class TCatalogDragData : public QMimeData
{
    Q_OBJECT

public:
    static const QString FolderMimeType;  // a folder of the tree, with everything below it
    static const QString RecordsMimeType; // rows of the file list

    TCatalogDragData(TCatalog &catalog, TFolderNode *folder);
    TCatalogDragData(TCatalog &catalog, std::vector<TFileDat *> records);

    // The drag data of this catalog, or nullptr for anything else (files from a file manager,
    // another program's drag, a drag of another window's catalog).
    static const TCatalogDragData *Of(const QMimeData *data, const TCatalog &catalog);

    bool IsFolderDrag() const { return m_folderDrag; }
    // The dragged folder while the catalog holds it; nullptr otherwise or for a drag of records.
    TFolderNode *Folder() const;
    // The dragged records the catalog still holds, in list order, those being digested included.
    std::vector<TFileDat *> Records() const { return m_watch.Held(); }

private:
    const TCatalog &m_catalog;
    TCatalogWatch m_watch;
    bool m_folderDrag;
};
