#pragma once

// What the digest scheduler needs of the main window. The window
// implements it; tests put a fake in its place. Called on the user-interface thread only.

#include <QString>

class TFolderNode;
struct TFileDat;

class TDigestView
{
public:
    virtual ~TDigestView() = default;

    // Makes the folder's node visible (expanding its ancestors), expands it and selects it, which
    // makes it the current folder unless the tree refuses because Busy is set. It may let pending
    // messages run, so the catalog may change meanwhile.
    virtual void BringFolderIntoView(TFolderNode *folder) = 0;
    // When the file list shows the record, scrolls its row into view and repaints the list. It is
    // called during the hand-over, while the worker waits, so it must not let messages run: a
    // stop handled there would wait for a worker that waits for it.
    virtual void ShowRecordRow(TFileDat *record) = 0;
    // keep: the text stays until replaced; otherwise it is cleared after 5 seconds.
    virtual void SetStatus(const QString &text, bool keep) = 0;
    virtual void MarkModified() = 0;
};
