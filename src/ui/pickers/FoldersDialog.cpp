#include "FoldersDialog.h"

#include "ShellListModel.h"
#include "ShellListView.h"

#include <QFileInfo>
#include <QPointer>

QString LastFoldersDialogPath;

TFoldersDialogForm::TFoldersDialogForm(QStringList &result, const QString &root, TPrompts *prompts,
                                       QWidget *owner)
    : TPickerForm(TKind{QStringLiteral("Select folders"), TShellItems::Folders, &LastFoldersDialogPath},
                  result, root, prompts, owner)
{
    setObjectName(QStringLiteral("FoldersDialogForm"));
}

bool TFoldersDialogForm::IsPickable(const QString &path) const
{
    return QFileInfo(path).isDir();
}

void TFoldersDialogForm::UpdateStateLabel()
{
    const int selected = List().SelectedCount();
    QString text;
    if (selected == 0) {
        const int count = Items().rowCount();
        text = QString::number(count) + (count == 1 ? QStringLiteral(" folder") : QStringLiteral(" folders"));
    } else {
        text = QString::number(selected) + QStringLiteral(" folders selected");
    }
    // Accept with nothing selected returns the tree's folder, so the tree decides.
    ShowState(text, !TreeFolder().isEmpty());
}

void TFoldersDialogForm::AcceptBtClick()
{
    QStringList accepted;
    const QList<int> selected = List().SelectedRows();
    if (!selected.isEmpty()) {
        for (int row : selected) {
            const QString path = Items().FilePath(row);
            if (IsPickable(path))
                accepted << path;
        }
    } else if (const QString folder = TreeFolder(); !folder.isEmpty() && IsPickable(folder)) {
        accepted << folder;
    }
    FinishAccept(accepted);
}

void TFoldersDialogForm::ShellListViewDblClick()
{
    // Neither enters the folder nor accepts: folders are entered through the tree.
}

void ShowFoldersDialog(QStringList &result, const QString &root, QWidget *owner, TPrompts *prompts)
{
    QPointer<TFoldersDialogForm> form = new TFoldersDialogForm(result, root, prompts, owner);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->exec();
}
