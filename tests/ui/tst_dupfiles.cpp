#include "DupFilesModel.h"
#include "DupFixture.h"
#include "ImageBt.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>

namespace {

// Three sets in one folder "Docs": a1 a2 a3, b1 b2, c1 c2, their files on disk.
struct TThreeSets : TDupFixture
{
    TFolderNode *Docs = Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
    std::map<QString, TFileDat *> Records;

    TThreeSets()
    {
        for (const char *name : {"a1", "b1", "c1", "a2", "b2", "c2", "a3"})
            Records[QString::fromLatin1(name)] =
                AddRecord(Docs, QString::fromLatin1(name), 10, true, Digest(name[0]));
        Form->SelectFolder(Docs);
        CheckAll();
    }
    TDupFilesModel *FilesModel() { return qobject_cast<TDupFilesModel *>(Files()->model()); }
    QStringList MainList() { return Column(FilesList()); }
};

} // namespace

class TestDupFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aSetFillsTheFilesList()
    {
        TDupFixture f;
        TFolderNode *docs = f.Catalog().AddFolder(f.Catalog().AddFolder(nullptr, QStringLiteral("Home")),
                                                  QStringLiteral("Docs"));
        TFileDat *first = f.AddRecord(docs, QStringLiteral("report.txt"), 1234567, true, f.Digest('a'));
        TFileDat *second = f.AddRecord(docs, QStringLiteral("copy.txt"), 1234567, false, f.Digest('a'));
        f.Catalog().SetRecordComment(first, QStringLiteral("keep"));
        f.Catalog().SetRecordRealPath(second, QString());
        first->DateTime = DayCountFromDateTime(QDateTime(QDate(2021, 3, 4), QTime(13, 14, 15)));
        second->DateTime = DayCountFromDateTime(QDateTime(QDate(2021, 3, 4), QTime(0, 0)));
        f.CheckAll();
        f.Dup->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.Dup));

        QCOMPARE(f.Sets()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Sets"));
        QStringList captions;
        for (int column = 0; column < TDupFilesModel::ColumnCount; ++column)
            captions << f.Files()->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(captions, QStringList({"Filename", "Path", "Size", f.Form->DateColumnCaption(), "Comments",
                                        "MD5 code", "Real filepath"}));
        QVERIFY(f.Form->DateColumnCaption().startsWith(QStringLiteral("Date / Time (")));

        f.SelectSet(0);
        QCOMPARE(f.Files()->model()->rowCount(), 2);
        QStringList row;
        for (int column = 0; column < TDupFilesModel::ColumnCount; ++column)
            row << f.Files()->model()->index(0, column).data().toString();
        QCOMPARE(row,
                 QStringList({"report.txt", "Home\\Docs\\", "1234567", LocaleDateTimeText(first->DateTime),
                              "keep", f.Digest('a'), first->RealPath}));
        // Midnight shows the date alone.
        QCOMPARE(f.Files()->model()->index(1, TDupFilesModel::colDateTime).data().toString(),
                 QLocale::system().toString(QDate(2021, 3, 4), QLocale::ShortFormat));
        QCOMPARE(f.Files()->model()->index(1, TDupFilesModel::colRealPath).data().toString(), QString());
        QVERIFY(!f.Files()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        // Choosing a set hands the keyboard focus to its files.
        QTRY_VERIFY(f.Files()->hasFocus());

        f.Sets()->clearSelection();
        QCOMPARE(f.Files()->model()->rowCount(), 0);
        QVERIFY(!f.Sets()->currentIndex().isValid());
        QCOMPARE(f.Dup->SelectedSetNumber(), 0);
    }

    void theWindowsControls()
    {
        TThreeSets f;
        QCOMPARE(f.Dup->findChild<QLabel *>(QStringLiteral("TitleLabel"))->text(),
                 QStringLiteral("Duplicate files"));
        auto *closeBt = f.Dup->findChild<TImageBt *>(QStringLiteral("CloseBt"));
        QCOMPARE(closeBt->size(), QSize(21, 21));
        QCOMPARE(closeBt->toolTip(), QStringLiteral("Close"));
        QStringList entries;
        for (QAction *action : f.Dup->findChild<QMenu *>(QStringLiteral("PopupMenu1"))->actions()) {
            entries << action->text();
            QVERIFY(!action->icon().isNull());
        }
        QCOMPARE(entries,
                 QStringList({"Shell open", "Select all files", "Remove selected file(s) from the main list",
                              "Delete file(s) from disk"}));

        // "Path" takes what the other columns leave; the first four never get narrower than they start.
        f.Dup->resize(1000, 500);
        QTRY_COMPARE(f.Files()->columnWidth(TDupFilesModel::colPath), f.Files()->width() - 377);
        f.Files()->setColumnWidth(TDupFilesModel::colFileName, 50);
        f.Files()->setColumnWidth(TDupFilesModel::colSize, 10);
        QCOMPARE(f.Files()->columnWidth(TDupFilesModel::colFileName), 160);
        QCOMPARE(f.Files()->columnWidth(TDupFilesModel::colSize), 90);
        f.Dup->resize(100, 100);
        QVERIFY(f.Dup->width() >= 680 && f.Dup->height() >= 350);

        closeBt->click();
        QTRY_VERIFY(f.Dup.isNull());
    }

    void theFocusedSetRowIsDrawnInItsColours()
    {
        TThreeSets f;
        f.SelectSet(1);
        const QImage picture = f.Sets()->viewport()->grab().toImage();
        const QRect focused = f.Sets()->visualRect(f.Sets()->model()->index(1, 0));
        const QRect other = f.Sets()->visualRect(f.Sets()->model()->index(0, 0));
        QCOMPARE(picture.pixelColor(focused.right() - 2, focused.center().y()), QColor(128, 128, 255));
        bool whiteText = false;
        for (int x = focused.left(); x <= focused.right() && !whiteText; ++x)
            for (int y = focused.top(); y <= focused.bottom() && !whiteText; ++y)
                whiteText = picture.pixelColor(x, y) == QColor(255, 255, 255);
        QVERIFY(whiteText);
        QCOMPARE(picture.pixelColor(other.right() - 2, other.center().y()), QColor(233, 241, 248));
    }

    void removingTakesRecordsOutOfTheCatalog()
    {
        TThreeSets f;
        f.Dup->RemovefilesBtClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select the file(s) and try again."));

        f.SelectSet(0);
        f.SelectFiles({0, 1});
        f.Prompts.PlanNo();
        f.Dup->RemovefilesBtClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("2 files will be removed from the main list, continue?"));
        QCOMPARE(f.FileNames(), QStringList({"a1", "a2", "a3"}));
        QCOMPARE(f.Docs->RecordCount(), 7);
        QVERIFY(!f.Form->Modified());

        // All but one: the set stays with one file.
        f.Prompts.PlanYes();
        f.Dup->RemovefilesBtClick();
        QCOMPARE(f.FileNames(), QStringList({"a3"}));
        QCOMPARE(f.SetNumbers(), QStringList({"1", "2", "3"}));
        QCOMPARE(f.MainList(), QStringList({"b1", "c1", "b2", "c2", "a3"}));
        QVERIFY(f.Form->Modified());
        QVERIFY(!f.Form->Busy());

        // All of a set, by the Delete key: the set row goes, the others keep their numbers.
        f.SelectSet(1);
        f.SelectFiles({0});
        f.Prompts.PlanYes();
        QTest::keyClick(f.Files(), Qt::Key_Delete);
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("File \"b1\" will be removed from the main list, continue?"));
        f.SelectFiles({0});
        f.Prompts.PlanYes();
        f.Dup->RemovefilesBtClick();
        QCOMPARE(f.SetNumbers(), QStringList({"1", "3"}));
        QCOMPARE(f.Dup->SelectedSetNumber(), 0);
        QVERIFY(!f.Sets()->currentIndex().isValid());
        QCOMPARE(f.Files()->model()->rowCount(), 0);
        QCOMPARE(f.MainList(), QStringList({"c1", "c2", "a3"}));

        // The set comes back without the records that left.
        f.SelectSet(0);
        QCOMPARE(f.FileNames(), QStringList({"a3"}));
        QVERIFY(f.Prompts.AllAnswersUsed());
    }

    void deletingReportsWhatHappened()
    {
        TDupFixture f;
        TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *pathless = f.AddRecord(docs, QStringLiteral("pathless"), 10, true, f.Digest('a'));
        f.AddRecord(docs, QStringLiteral("one"), 10, true, f.Digest('a'));
        f.AddRecord(docs, QStringLiteral("two"), 10, true, f.Digest('a'));
        f.Catalog().SetRecordRealPath(pathless, QString());
        TFileDat *gone = f.AddRecord(docs, QStringLiteral("gone"), 10, false, f.Digest('b'));
        f.AddRecord(docs, QStringLiteral("here"), 10, true, f.Digest('b'));
        f.AddRecord(docs, QStringLiteral("spare"), 10, true, f.Digest('b'));
        f.Form->SelectFolder(docs);
        f.CheckAll();

        f.SelectSet(0);
        f.SelectFiles({0, 1, 2});
        f.Prompts.PlanYes();
        f.Dup->DeletefilesClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("Warning: 3 files will be deleted from disk, continue?"));
        QCOMPARE(
            f.Prompts.LastText(),
            QStringLiteral("Results for 3 analyzed file(s):\r\n\r\n1 file(s) wasn't deleted because doesn't "
                           "have real filepath.\r\nAll selected files deleted."));
        QVERIFY(!QFile::exists(f.Disk.filePath(QStringLiteral("one"))));
        QVERIFY(!QFile::exists(f.Disk.filePath(QStringLiteral("two"))));
        QCOMPARE(f.FileNames(), QStringList({"pathless"}));
        QVERIFY(f.Dup->SelectedRecords().empty());
        QCOMPARE(f.Column(f.FilesList()), QStringList({"pathless", "gone", "here", "spare"}));
        QVERIFY(f.Form->Modified());

        // A file gone from disk keeps its row, with the missing picture, out of the selection.
        f.SelectSet(1);
        auto *model = qobject_cast<TDupFilesModel *>(f.Files()->model());
        const qint64 fileIcon = model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey();
        f.SelectFiles({0, 1});
        f.Prompts.PlanYes();
        f.Dup->DeletefilesClick();
        QCOMPARE(
            f.Prompts.LastText(),
            QStringLiteral("Results for 2 analyzed file(s):\r\n\r\n1 file(s) wasn't deleted because doesn't "
                           "exist, was marked."));
        QCOMPARE(f.FileNames(), QStringList({"gone", "spare"}));
        QVERIFY(model->MarkedMissing(0));
        QVERIFY(model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey() != fileIcon);
        QVERIFY(!model->MarkedMissing(1));
        QVERIFY(f.Dup->SelectedRecords().empty());
        QCOMPARE(gone->State, fsDigested);
        QVERIFY(!f.Form->Busy());
    }

    void whatCannotGoStays()
    {
        TThreeSets f;
        TFileDat *digesting = f.Records["a2"];
        f.Catalog().SetRecordState(digesting, fsDigesting);
        f.Form->SetFileRemover(
            [](const QString &path) { return !path.endsWith(QStringLiteral("a3")) && QFile::remove(path); });

        f.SelectSet(0);
        f.SelectFiles({0, 1, 2});
        f.Prompts.PlanYes();
        f.Dup->DeletefilesClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral(
                     "Results for 3 analyzed file(s):\r\n\r\n1 file(s) wasn't deleted because it couldn't "
                     "be removed from disk."));
        QCOMPARE(f.FileNames(), QStringList({"a2", "a3"}));
        QVERIFY(f.Dup->SelectedRecords().empty());
        QVERIFY(QFile::exists(f.Disk.filePath(QStringLiteral("a2"))));
        QVERIFY(QFile::exists(f.Disk.filePath(QStringLiteral("a3"))));

        // Removing leaves the record being digested alone too.
        f.SelectFiles({0, 1});
        f.Prompts.PlanYes();
        f.Dup->RemovefilesBtClick();
        QCOMPARE(f.FileNames(), QStringList({"a2"}));
        QCOMPARE(digesting->Folder, f.Docs);
        QVERIFY(f.Dup->SelectedRecords().empty());
    }

    void onlyTheConfirmedRecordsAreTouched()
    {
        TThreeSets f;
        f.SelectSet(0);
        f.SelectFiles({0});
        // The user selects every row while the question is open.
        f.Prompts.DuringNextBox([&f] { f.SelectFiles({0, 1, 2}); });
        f.Prompts.PlanYes();
        f.Dup->DeletefilesClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("Warning: file \"a1\" will be deleted from disk, continue?"));
        QCOMPARE(f.FileNames(), QStringList({"a2", "a3"}));
        QVERIFY(QFile::exists(f.Disk.filePath(QStringLiteral("a2"))));

        // A record the catalog loses while the question is open is not counted as removed.
        f.SelectFiles({0, 1});
        f.Prompts.DuringNextBox([&f] { f.Catalog().RemoveRecord(f.Records["a3"]); });
        f.Prompts.PlanYes();
        f.Dup->DeletefilesClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Results for 2 analyzed file(s):\r\n"));
        QCOMPARE(f.SetNumbers(), QStringList({"2", "3"}));
    }

    void recordsThatLeaveTheCatalogLeaveTheWindow()
    {
        TDupFixture f;
        TFolderNode *x = f.Catalog().AddFolder(nullptr, QStringLiteral("X"));
        TFolderNode *y = f.Catalog().AddFolder(nullptr, QStringLiteral("Y"));
        TFolderNode *z = f.Catalog().AddFolder(nullptr, QStringLiteral("Z"));
        f.AddRecord(x, QStringLiteral("a1"), 10, true, f.Digest('a'));
        f.AddRecord(x, QStringLiteral("b1"), 10, true, f.Digest('b'));
        f.AddRecord(x, QStringLiteral("a2"), 10, true, f.Digest('a'));
        f.AddRecord(y, QStringLiteral("a3"), 10, true, f.Digest('a'));
        TFileDat *b2 = f.AddRecord(z, QStringLiteral("b2"), 10, true, f.Digest('b'));
        f.AddRecord(z, QStringLiteral("c1"), 10, true, f.Digest('c'));
        f.AddRecord(z, QStringLiteral("c2"), 10, true, f.Digest('c'));
        f.CheckAll();
        f.SelectSet(0);

        f.Catalog().RemoveFolder(x);
        QCOMPARE(f.FileNames(), QStringList({"a3"}));
        f.Files()->viewport()->grab(); // paints only records that still exist
        f.SelectSet(1);
        QCOMPARE(f.FileNames(), QStringList({"b2"}));
        f.SelectSet(0);
        f.Catalog().RemoveRecord(b2);
        QCOMPARE(f.SetNumbers(), QStringList({"1", "3"}));
        QCOMPARE(f.FileNames(), QStringList({"a3"}));

        f.Catalog().ClearCatalog();
        QCOMPARE(f.Sets()->model()->rowCount(), 0);
        QCOMPARE(f.Files()->model()->rowCount(), 0);
    }

    void escapeClosesFromEitherList()
    {
        TThreeSets f;
        QTest::keyClick(f.Sets(), Qt::Key_Escape);
        QTRY_VERIFY(f.Dup.isNull());
        f.CheckAll();
        QVERIFY(f.Dup);
        QTest::keyClick(f.Files(), Qt::Key_Escape);
        QTRY_VERIFY(f.Dup.isNull());
        QCOMPARE(f.Docs->RecordCount(), 7); // closing takes no record with it
    }

    void shellOpenAndSelectAll()
    {
        TDupFixture f;
        TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *here = f.AddRecord(docs, QStringLiteral("here"), 10, true, f.Digest('a'));
        TFileDat *pathless = f.AddRecord(docs, QStringLiteral("pathless"), 10, true, f.Digest('a'));
        TFileDat *gone = f.AddRecord(docs, QStringLiteral("gone"), 10, false, f.Digest('a'));
        f.Catalog().SetRecordRealPath(pathless, QString());
        f.CheckAll();

        f.Dup->SelectallBtClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a set and try again."));
        f.Dup->ShellopenClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select the file and try again."));
        f.SelectSet(0);
        f.SelectFiles({1, 2});
        f.Dup->ShellopenClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Selected file doesn't have real path."));
        f.SelectFiles({2});
        f.Dup->ShellopenClick();
        QCOMPARE(f.Prompts.Shown.last().Kind, QStringLiteral("Error"));
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Error, file doesn't exist.\r\n\"") + gone->FullPath() + u'"');
        f.SelectFiles({0, 2});
        f.Dup->ShellopenClick();
        QCOMPARE(f.Shell.Opened, QStringList({here->FullPath()}));

        f.Dup->SelectallBtClick();
        QCOMPARE(f.Dup->SelectedRecords().size(), size_t(3));
        QCOMPARE(f.Prompts.Shown.size(), 4);
    }
};

QTEST_MAIN(TestDupFiles)
#include "tst_dupfiles.moc"
