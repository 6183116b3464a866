#pragma once

// What the digest scheduler and the digest commands see of the command-line program: no tree to
// show, no rows to scroll, no commands to disable, no status panel. Main thread only.

#include "DigestView.h"

class TCliDigestView : public TDigestView
{
public:
    void BringFolderIntoView(TFolderNode *) override {}
    void ShowRecordRow(TFileDat *) override {}
    void SetStatus(const QString &, bool) override {}
    void MarkModified() override {}
    bool IsBusy() const override { return m_busy; }
    void SetBusy(bool busy) override { m_busy = busy; }
    void EnableCommands(bool) override {}

private:
    bool m_busy = false;
};
