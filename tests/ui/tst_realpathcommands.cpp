#include "FileListModel.h"
#include "FormFixture.h"

class TestRealPathCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checkingExistenceCountsAndMarks()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        const QString digest(32, u'a');
        TFileDat *back = f.AddRecord(folder, QStringLiteral("present.txt"), 10, true, digest);
        TFileDat *noPath1 = f.AddRecord(folder, QStringLiteral("np1"));
        TFileDat *noPath2 = f.AddRecord(folder, QStringLiteral("np2"));
        TFileDat *gone = f.AddRecord(folder, QStringLiteral("gone.txt"), 10, false);
        TFileDat *pending = f.AddRecord(folder, QStringLiteral("pending.txt"));
        f.Catalog().SetRecordRealPath(noPath1, QString());
        f.Catalog().SetRecordRealPath(noPath2, QString());
        f.Catalog().SetRecordState(back, fsMissing); // its file has come back since
        f.Form->SelectFolder(folder);

        f.SelectRows({0, 1, 2, 3, 4});
        f.Form->FilCheckexistenceClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral(
                     "Results for 5 analyzed file(s):\r\n\r\n2 file(s) wasn't checked because doesn't have "
                     "real filepath.\r\n1 file(s) doesn't exist, was marked in RED."));
        QCOMPARE(gone->State, fsMissing);
        QCOMPARE(back->State, fsDigested);
        QCOMPARE(pending->State, fsPending);
        QVERIFY(f.Catalog().Md5Queue().empty()); // found files are not queued
        QVERIFY(f.Form->SelectedRows().isEmpty());
        QCOMPARE(f.FilesList()->model()->index(3, 0).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(255, 0, 0));
        QVERIFY(!f.Form->Modified()); // states are not stored

        f.SelectRows({0, 4});
        f.Form->FilCheckexistenceClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Results for 2 analyzed file(s):\r\n\r\nAll checked files exists."));
        f.SelectRows({1, 2});
        f.Form->FilCheckexistenceClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral(
                     "Results for 2 analyzed file(s):\r\n\r\n2 file(s) wasn't checked because doesn't have "
                     "real filepath."));
        f.Form->FilCheckexistenceClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select the file(s) and try again."));
    }

    void deletingFromDisk()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *gone = f.AddRecord(folder, QStringLiteral("gone.txt"), 10, false);
        const QString first = f.MakeFile(QStringLiteral("one.txt"));
        f.AddRecord(folder, QStringLiteral("one.txt"));
        f.AddRecord(folder, QStringLiteral("two.txt"));
        f.Form->SelectFolder(folder);

        f.SelectRows({0, 1, 2});
        f.Prompts.PlanYes();
        f.Form->FilDeletefilesClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("Warning: 3 files will be deleted from disk, continue?"));
        QCOMPARE(
            f.Prompts.LastText(),
            QStringLiteral("Results for 3 analyzed file(s):\r\n\r\n1 file(s) wasn't deleted because doesn't "
                           "exist, was marked in RED."));
        QVERIFY(!QFile::exists(first));
        QVERIFY(!QFile::exists(f.Disk.filePath(QStringLiteral("two.txt"))));
        QCOMPARE(folder->RecordCount(), 1);
        QCOMPARE(gone->State, fsMissing);
        QCOMPARE(f.FilesList()->model()->rowCount(), 1);
        QVERIFY(f.Form->SelectedRows().isEmpty());
        QCOMPARE(f.Form->StatusText(), QString());
        QVERIFY(f.Form->Modified());
        QVERIFY(!f.Form->Busy());
    }

    void deletingKeepsWhatCouldNotGo()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *stuck = f.AddRecord(folder, QStringLiteral("stuck.txt"));
        TFileDat *digesting = f.AddRecord(folder, QStringLiteral("busy.txt"));
        f.AddRecord(folder, QStringLiteral("fine.txt"));
        f.Catalog().SetRecordState(digesting, fsDigesting);
        // The list is not repainted for each file: its updates wait until the loop is done.
        bool listPainted = false;
        f.Form->SetFileRemover([&](const QString &path) {
            listPainted = listPainted || f.FilesList()->updatesEnabled();
            return !path.endsWith(QStringLiteral("stuck.txt")) && QFile::remove(path);
        });
        f.Form->SelectFolder(folder);

        f.SelectRows({0, 1, 2});
        f.Prompts.PlanYes();
        f.Form->FilDeletefilesClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral(
                     "Results for 3 analyzed file(s):\r\n\r\n1 file(s) wasn't deleted because it couldn't be "
                     "removed from disk."));
        QCOMPARE(folder->RecordCount(), 2);
        QCOMPARE(f.Form->FindRecordRow(stuck), 0);
        QCOMPARE(f.Form->FindRecordRow(digesting), 1);
        QVERIFY(QFile::exists(f.Disk.filePath(QStringLiteral("busy.txt"))));
        QVERIFY(!listPainted);
        QVERIFY(f.FilesList()->updatesEnabled());
        f.Catalog().SetRecordState(digesting, fsPending);

        // All attempted deletions succeed: the closing line says so.
        f.SelectRows({1});
        f.Prompts.PlanYes();
        f.Form->FilDeletefilesClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("Warning: file \"busy.txt\" will be deleted from disk, continue?"));
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Results for 1 analyzed file(s):\r\n\r\nAll selected files deleted."));
    }

    void openingWithTheShell()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("first.txt"));
        f.AddRecord(folder, QStringLiteral("second.txt"));
        TFileDat *gone = f.AddRecord(folder, QStringLiteral("gone.txt"), 10, false);
        TFileDat *noPath = f.AddRecord(folder, QStringLiteral("nopath.txt"));
        f.Catalog().SetRecordRealPath(noPath, QString());
        f.Form->SelectFolder(folder);

        f.Form->FilShellopenClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select the file and try again."));
        f.SelectRows({1, 0});
        f.Form->FilShellopenClick();
        QCOMPARE(f.Shell.Opened, QStringList({f.Disk.filePath(QStringLiteral("first.txt"))}));
        f.Form->FilOpenfolderClick();
        QCOMPARE(f.Shell.Opened.last(), f.Disk.path() + u'/');

        f.SelectRows({2});
        f.Form->FilShellopenClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Error")).last(),
                 QStringLiteral("Error, file doesn't exist.\r\n\"") + gone->FullPath() + u'"');
        f.SelectRows({3});
        f.Form->FilOpenfolderClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Selected file doesn't have real path."));
        f.Catalog().SetRecordRealPath(noPath, f.Disk.filePath(QStringLiteral("nowhere/")));
        f.Form->FilOpenfolderClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Error, folder doesn't exist.\r\n\"") + noPath->RealPath + u'"');
        QCOMPARE(f.Shell.Opened.size(), 2);
    }

    void removingRealPaths()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *a = f.AddRecord(folder, QStringLiteral("a.txt"));
        TFileDat *b = f.AddRecord(folder, QStringLiteral("b.txt"));
        f.Form->SelectFolder(folder);

        f.SelectRows({0});
        f.Prompts.PlanNo();
        f.Form->FilRemoverealpathClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Real path for file \"a.txt\" will be removed, continue?"));
        QVERIFY(!a->RealPath.isEmpty());

        f.Prompts.PlanYes();
        f.Form->FilRemoverealpathClick();
        QVERIFY(a->RealPath.isEmpty());
        QCOMPARE(f.FilesList()->model()->index(0, TFileListModel::colRealPath).data().toString(), QString());
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Operation completed."));
        QVERIFY(f.Form->Modified());

        f.SelectRows({0, 1});
        f.Prompts.PlanYes();
        f.Form->FilRemoverealpathClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("Real path for 2 files will be removed, continue?"));
        QVERIFY(b->RealPath.isEmpty());
    }

    void tip()
    {
        TFormFixture f;
        f.Form->FilTipClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("About real filepaths: You can remove real paths to save registry "
                                "space.\r\nIt is advisable for files stored in removable drives."));
    }
};

QTEST_MAIN(TestRealPathCommands)
#include "tst_realpathcommands.moc"
