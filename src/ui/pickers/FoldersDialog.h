#pragma once

// TFoldersDialogForm, the folder picker: the twin of the file picker whose list shows the
// folders inside the tree's folder. Accept hands back the selected folders that exist, in the
// list's order, or, with none selected, the tree's folder itself. There is no count button,
// and a double-click does nothing. Callers use ShowFoldersDialog.

#include "PickerForm.h"

// The folder, with a trailing separator, that the tree showed at the last Accept that returned
// at least one folder; empty at start, kept for the run, apart from the file picker's.
extern QString LastFoldersDialogPath;

class TFoldersDialogForm : public TPickerForm
{
    Q_OBJECT

public:
    // Boxes go to prompts; with none, to Qt's boxes owned by the window.
    TFoldersDialogForm(QStringList &result, const QString &root, TPrompts *prompts = nullptr,
                       QWidget *owner = nullptr);

    void UpdateStateLabel() override;
    void AcceptBtClick() override;
    void ShellListViewDblClick() override;

protected:
    bool IsPickable(const QString &path) const override;
};

// Shows the folder picker modally and returns when it has closed. result holds full paths of
// existing folders afterwards (nothing after Cancel, Escape or closing). root: the tree's root
// folder; empty for the whole file system.
void ShowFoldersDialog(QStringList &result, const QString &root, QWidget *owner = nullptr,
                       TPrompts *prompts = nullptr);
