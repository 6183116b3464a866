#pragma once

// TFileDialogForm, the file picker: the disk's folders on the left, the files of the selected
// folder on the right (hidden ones too); the user selects several, may count them and their
// sizes, and Accept hands back the full paths of the selected files that exist, in the list's
// order. Callers use ShowFileDialog.

#include "PickerForm.h"

class QToolButton;

// The folder, with a trailing separator, that the tree showed at the last Accept that returned
// at least one file; empty at start, kept for the run.
extern QString LastFileDialogPath;

class TFileDialogForm : public TPickerForm
{
    Q_OBJECT

public:
    // Boxes go to prompts; with none, to Qt's boxes owned by the window.
    TFileDialogForm(QStringList &result, const QString &root, TPrompts *prompts = nullptr,
                    QWidget *owner = nullptr);

    void UpdateStateLabel() override;
    void AcceptBtClick() override;
    void ShellListViewDblClick() override;
    void CountBtClick();

protected:
    bool IsPickable(const QString &path) const override;

private:
    QToolButton *CountBt = nullptr;
};

// Shows the file picker modally and returns when it has closed. result holds the accepted
// files' full paths afterwards (nothing after Cancel, Escape or closing). root: the tree's root
// folder; empty for the whole file system.
void ShowFileDialog(QStringList &result, const QString &root, QWidget *owner = nullptr,
                    TPrompts *prompts = nullptr);
