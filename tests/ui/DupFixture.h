#pragma once

// A main window whose duplicates window is shown without a modal loop, so a test can look at it
// and drive it, and helpers to read and select its rows.

#include "DupFiles.h"
#include "FormFixture.h"

#include <QPointer>

struct TDupFixture : TFormFixture
{
    QPointer<TDupFilesForm> Dup;
    int Shown = 0;

    TDupFixture()
    {
        Form->SetDupFilesShower([this](TDupFilesForm &form) {
            Dup = &form;
            ++Shown;
            form.show();
        });
    }

    static QString Digest(char digit) { return QString(32, QLatin1Char(digit)); }

    TDupFilesForm *CheckAll()
    {
        Form->SearchAllDupBtClick();
        return Dup;
    }

    QTreeView *Sets() { return Dup->findChild<QTreeView *>(QStringLiteral("SetsList")); }
    QTreeView *Files() { return Dup->findChild<QTreeView *>(QStringLiteral("FilesList")); }

    static QStringList Column(QTreeView *list, int column = 0)
    {
        QStringList texts;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            texts << list->model()->index(row, column).data().toString();
        return texts;
    }
    QStringList SetNumbers() { return Column(Sets()); }
    QStringList FileNames() { return Column(Files()); }

    void SelectSet(int row)
    {
        Sets()->selectionModel()->setCurrentIndex(
            Sets()->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // Selects these file rows and nothing else.
    void SelectFiles(const QList<int> &rows)
    {
        QTreeView *files = Files();
        files->clearSelection();
        for (int row : rows)
            files->selectionModel()->select(files->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};
