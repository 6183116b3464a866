#include "FilesDialog.h"

#include "Pictures.h"
#include "Prompts.h"
#include "ShellListModel.h"
#include "ShellListView.h"
#include "ShellTreeView.h"
#include "support.h"

#include <QPointer>
#include <QPushButton>
#include <QToolButton>

QString LastFileDialogPath;

TFileDialogForm::TFileDialogForm(QStringList &result, const QString &root, TPrompts *prompts, QWidget *owner)
    : TPickerForm(TKind{QStringLiteral("Select files"), TShellItems::Files, &LastFileDialogPath}, result,
                  root, prompts, owner)
{
    setObjectName(QStringLiteral("FileDialogForm"));
    CountBt = AddSmallButton(QStringLiteral("CountBt"), QStringLiteral("Count files and sizes"),
                             QStringLiteral("Count files and sizes"), TPickerPicture::Count);
    connect(CountBt, &QToolButton::clicked, this, &TFileDialogForm::CountBtClick);
}

bool TFileDialogForm::IsPickable(const QString &path) const
{
    // The same rule as the count's and as adding files: a regular file, hidden ones too.
    return FileSizeOf(path) >= 0;
}

void TFileDialogForm::UpdateStateLabel()
{
    const int selected = List().SelectedCount();
    if (selected == 0) {
        const int count = Items().rowCount();
        ShowState(QString::number(count) + (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files")),
                  false);
        return;
    }
    ShowState(QString::number(selected) +
                  (selected == 1 ? QStringLiteral(" file selected") : QStringLiteral(" files selected")),
              true);
}

void TFileDialogForm::AcceptBtClick()
{
    QStringList accepted;
    for (int row : List().SelectedRows()) {
        const QString path = Items().FilePath(row);
        if (IsPickable(path))
            accepted << path;
    }
    FinishAccept(accepted);
}

void TFileDialogForm::ShellListViewDblClick()
{
    const QList<int> selected = List().SelectedRows();
    if (!selected.isEmpty() && !Items().IsFolder(selected.first()))
        AcceptBtClick();
}

void TFileDialogForm::CountBtClick()
{
    const int items = Items().rowCount();
    if (items == 0) {
        Prompts().Information(QStringLiteral("No files to count."));
        return;
    }
    QList<int> rows = List().SelectedRows();
    if (rows.isEmpty()) {
        rows.reserve(items);
        for (int row = 0; row < items; ++row)
            rows << row;
    }
    int counted = 0;
    qint64 total = 0;
    for (int row : rows) {
        const qint64 size = FileSizeOf(Items().FilePath(row));
        if (size < 0)
            continue;
        ++counted;
        total += size;
    }
    Prompts().Information(
        QStringLiteral("Measured %1 file(s), totalizing %2").arg(counted).arg(SizeText(total, true)));
}

void ShowFileDialog(QStringList &result, const QString &root, QWidget *owner, TPrompts *prompts)
{
    QPointer<TFileDialogForm> form = new TFileDialogForm(result, root, prompts, owner);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->exec();
}
