#pragma once

// Boxes and desktop for the benchmarks of the windows: nothing is shown and every box is answered
// at once, questions with Answer (Yes unless set), pickers with the planned lists. The texts of
// information and error boxes are kept, so a benchmark can tell that none was expected.

#include "Prompts.h"

#include <QStringList>

class TBenchPrompts : public TPrompts
{
public:
    bool Answer = true;
    QStringList Shown; // texts of information and error boxes, in order
    QStringList PickedFiles;
    QStringList PickedFolders;

    void Information(const QString &text) override { Shown << text; }
    void Error(const QString &text) override { Shown << text; }
    bool ConfirmYesNo(const QString &) override { return Answer; }
    TAnswer ConfirmYesNoCancel(const QString &) override { return Answer ? TAnswer::Yes : TAnswer::No; }
    void StandardError(const QString &text, const QString & = QString()) override { Shown << text; }
    std::optional<QString> InputBox(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<TFileChoice> OpenFile(const TFileRequest &) override { return {}; }
    std::optional<TFileChoice> SaveFile(const TFileRequest &) override { return {}; }
    QStringList PickFiles(const QString &) override { return PickedFiles; }
    QStringList PickFolders(const QString &) override { return PickedFolders; }
};

class TBenchShell : public TShell
{
public:
    void Open(const QString &) override {}
    void SetClipboardText(const QString &) override {}
};
