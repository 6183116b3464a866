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
    void RunLongOperation(const std::function<void()> &work) override { work(); }
};
