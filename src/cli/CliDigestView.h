#pragma once

// What the digest scheduler and the digest commands see of the command-line program: no tree to
// show, no rows to scroll, no commands to disable. The end of the digest queue ("Operation
// completed") ends the event loop the command waits in. Main thread only.

#include "DigestView.h"

class QEventLoop;
class TCatalog;

class TCliDigestView : public TDigestView
{
public:
    explicit TCliDigestView(const TCatalog &catalog) : m_catalog(catalog) {}

    // The loop to quit when the queue runs empty; none before the digests start.
    void SetLoop(QEventLoop *loop) { m_loop = loop; }
    bool Modified() const { return m_modified; }

    void BringFolderIntoView(TFolderNode *) override {}
    void ShowRecordRow(TFileDat *) override {}
    void SetStatus(const QString &text, bool keep) override;
    void MarkModified() override { m_modified = true; }
    bool IsBusy() const override { return m_busy; }
    void SetBusy(bool busy) override { m_busy = busy; }
    void EnableCommands(bool) override {}

private:
    const TCatalog &m_catalog;
    QEventLoop *m_loop = nullptr;
    bool m_modified = false;
    bool m_busy = false;
};
