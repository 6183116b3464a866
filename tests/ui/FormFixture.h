#pragma once

// A fresh main window per test, with scripted boxes, a recording shell and a temporary folder
// for files on disk.

#include "FoldersTreeView.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "TestRecords.h"
#include "main.h"
#include "support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

struct TFormFixture
{
    TScriptedPrompts Prompts;
    TRecordingShell Shell;
    QTemporaryDir Disk;
    std::unique_ptr<TDravikForm> Form;

    TFormFixture()
    {
        Form = std::make_unique<TDravikForm>(Prompts, Shell);
        Form->show();
    }
    ~TFormFixture()
    {
        // Nothing is asked on the way out: the test decides about unsaved work itself.
        Form->SetModified(false);
        Form->close();
    }

    TCatalog &Catalog() { return Form->Catalog(); }

    template <typename T>
    T *Widget(const char *name)
    {
        return Form->findChild<T *>(QString::fromLatin1(name));
    }
    QTreeView *FilesList() { return Widget<QTreeView>("FilesList"); }
    TFoldersTreeView *FoldersTree() { return Widget<TFoldersTreeView>("FoldersTree"); }

    // A file of size bytes of 'd' in the temporary folder; its full path.
    QString MakeFile(const QString &name, int size = 10)
    {
        const QString path = Disk.filePath(name);
        WriteTestFile(path, QByteArray(size, 'd'));
        return path;
    }

    // A record of a file made on disk (or of a path that does not exist), not queued.
    TFileDat *AddRecord(TFolderNode *folder, const QString &name, int size = 10, bool onDisk = true,
                        const QString &md5 = QString())
    {
        const QString path = onDisk ? MakeFile(name, size) : Disk.filePath(name);
        auto record = NewRecordFromDisk(path);
        record->Size = size;
        record->Md5 = md5;
        record->State = md5.isEmpty() ? fsPending : fsDigested;
        return AppendTestRecord(Catalog(), folder, std::move(record));
    }

    // Selects the rows of the file list (and nothing else).
    void SelectRows(const QList<int> &rows)
    {
        QTreeView *list = FilesList();
        list->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};
