#pragma once

// Folders and files made in a temporary directory for the pickers' tests, and the pickers'
// controls found by name.

#include "PickerForm.h"
#include "ShellListModel.h"
#include "ShellListView.h"
#include "ShellTreeView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

struct TPickerDisk
{
    QTemporaryDir Dir;

    QString Path(const QString &name = QString()) const
    {
        return name.isEmpty() ? QDir::cleanPath(Dir.path()) : QDir::cleanPath(Dir.filePath(name));
    }
    QString MakeFolder(const QString &name) const
    {
        QDir().mkpath(Path(name));
        return Path(name);
    }
    QString MakeFile(const QString &name, qint64 size = 10) const
    {
        const QString path = Path(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        // Nothing written beyond a few bytes: a large file is sparse and costs no disk space.
        file.write(QByteArray(int(qMin<qint64>(size, 16)), 'p'));
        file.resize(size);
        return path;
    }
};

// Finds the picker's controls by their names.
struct TPickerControls
{
    TPickerForm &Form;

    template <typename T>
    T *Widget(const char *name) const
    {
        return Form.findChild<T *>(QString::fromLatin1(name));
    }
    QString StateText() const { return Widget<QLabel>("StateLabel")->text(); }
    QPushButton *AcceptBt() const { return Widget<QPushButton>("AcceptBt"); }
    TShellTreeView *Tree() const { return Widget<TShellTreeView>("ShellTreeView"); }
    TShellListView *List() const { return Widget<TShellListView>("ShellListView"); }
    QAbstractItemView *ListView() const { return List()->CurrentView(); }

    // The names the list shows, in display order.
    QStringList Names() const
    {
        QStringList names;
        const QAbstractItemModel *model = ListView()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }
    void SelectRows(const QList<int> &rows) const
    {
        List()->Selection()->clearSelection();
        List()->SelectRows(rows);
    }
    // Shows the window and makes it the active one, so that the focus can be checked.
    void ShowActive() const
    {
        Form.show();
        QApplication::setActiveWindow(&Form);
        QVERIFY(QTest::qWaitForWindowActive(&Form));
    }
    void Key(QWidget *target, Qt::Key key) const { QTest::keyClick(target, key); }
};
