#include "FileListModel.h"
#include "FormFixture.h"

#include <QHeaderView>
#include <QPushButton>

namespace {

QStringList fileNames(QTreeView *list)
{
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        names << list->model()->index(row, 0).data().toString();
    return names;
}

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillingShowsCountAndSize()
    {
        TFormFixture f;
        TFolderNode *one = f.Catalog().AddFolder(nullptr, QStringLiteral("One"));
        TFolderNode *empty = f.Catalog().AddFolder(nullptr, QStringLiteral("Empty"));
        TFolderNode *two = f.Catalog().AddFolder(nullptr, QStringLiteral("Two"));
        f.AddRecord(one, QStringLiteral("a.txt"), 1000);
        f.AddRecord(two, QStringLiteral("b.txt"), 1);
        f.AddRecord(two, QStringLiteral("c.txt"), 2);

        f.Form->SelectFolder(one);
        QCOMPARE(f.Form->StatusText(), QStringLiteral("1 file, 0.98KB"));
        QVERIFY(f.Widget<QPushButton>("CheckDupBt")->isEnabled());
        f.Form->SelectFolder(two);
        QCOMPARE(f.Form->StatusText(), QStringLiteral("2 files, 3Bytes"));
        f.Form->SelectFolder(empty);
        QCOMPARE(f.Form->StatusText(), QString());
        QCOMPARE(f.FilesList()->model()->rowCount(), 0);
        QVERIFY(!f.Widget<QPushButton>("CheckDupBt")->isEnabled());
    }

    void headerClicksSortTheFirstThreeColumnsAscending()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("b"), 300);
        f.AddRecord(folder, QStringLiteral("c"), 20);
        f.AddRecord(folder, QStringLiteral("a"), 1000);
        f.Form->SelectFolder(folder);
        QHeaderView *header = f.FilesList()->header();

        // "Comments" does not sort and leaves the catalog as it was.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
        QCOMPARE(fileNames(f.FilesList()), QStringList({"b", "c", "a"}));
        QVERIFY(!f.Form->Modified());

        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
            QCOMPARE(fileNames(f.FilesList()), QStringList({"c", "b", "a"}));
        }
        QVERIFY(f.Form->Modified()); // a sort counts as a change
        f.Form->FilesListColumnClick(0);
        QCOMPARE(fileNames(f.FilesList()), QStringList({"a", "b", "c"}));
        QCOMPARE(folder->Record(0)->FileName, QStringLiteral("b")); // the record list keeps its order
    }

    void removingSkipsTheRecordBeingDigested()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("a"));
        TFileDat *digesting = f.AddRecord(folder, QStringLiteral("b"));
        f.AddRecord(folder, QStringLiteral("c"));
        f.AddRecord(folder, QStringLiteral("d"));
        f.Catalog().SetRecordState(digesting, fsDigesting);
        f.Form->SelectFolder(folder);

        f.Form->RemoveFilesBtClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select the file(s) and try again."));

        f.SelectRows({0, 1, 2});
        QVERIFY(f.Widget<QPushButton>("RemoveFilesBt")->isEnabled());
        f.Prompts.PlanYes();
        f.Form->RemoveFilesBtClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")),
                 QStringList({"3 files will be removed from this list, continue?"}));
        QCOMPARE(fileNames(f.FilesList()), QStringList({"b", "d"}));
        QCOMPARE(folder->RecordCount(), 2);
        QVERIFY(f.Form->SelectedRows().isEmpty());
        QVERIFY(f.Form->Modified());
        QVERIFY(!f.Form->Busy());
        f.Catalog().SetRecordState(digesting, fsPending);

        // One row is named; the last record leaving gives the folder its empty picture.
        f.SelectRows({0, 1});
        f.Prompts.PlanYes();
        f.Form->RemoveFilesBtClick();
        QCOMPARE(folder->ImageIndex(), 0);
        f.AddRecord(folder, QStringLiteral("e.txt"));
        f.Form->FillFileList(folder);
        f.SelectRows({0});
        f.Prompts.PlanNo();
        f.Form->RemoveFilesBtClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("File \"e.txt\" will be removed from this list, continue?"));
        QCOMPARE(folder->RecordCount(), 1);
    }

    void countingSelectedRowsClearsTheSelection()
    {
        TFormFixture f;
        f.Form->FilCountfilesClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a folder and try again."));

        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("a"), 1000);
        f.AddRecord(folder, QStringLiteral("b"), 2000);
        f.AddRecord(folder, QStringLiteral("c"), 3000);
        f.Form->SelectFolder(folder);
        f.SelectRows({0, 2});
        f.Form->FilCountfilesClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("2 file(s), totalizing 3.91KB (4000Bytes)"));
        QVERIFY(f.Form->SelectedRows().isEmpty());
        f.Form->FilCountfilesClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("3 file(s), totalizing 5.86KB (6000Bytes)"));
    }

    void editingAComment()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *record = f.AddRecord(folder, QStringLiteral("a"));
        f.Form->SelectFolder(folder);
        f.Form->CommentsBtClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a file and try again."));

        f.SelectRows({0});
        f.Prompts.PlanInput(QString()); // unchanged (empty) comment
        f.Form->CommentsBtClick();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("File comments|Enter new file comment and press OK, otherwise "
                                "press Cancel button|"));
        QVERIFY(!f.Form->Modified());

        f.Prompts.PlanInput(QStringLiteral("holiday; 2008"));
        f.Form->CommentsBtClick();
        QCOMPARE(record->Comment, QStringLiteral("holiday; 2008"));
        QCOMPARE(f.FilesList()->model()->index(0, TFileListModel::colComments).data().toString(),
                 QStringLiteral("holiday; 2008"));
        QVERIFY(f.Form->Modified());

        f.Prompts.PlanInput(std::nullopt);
        f.Form->CommentsBtClick();
        QCOMPARE(record->Comment, QStringLiteral("holiday; 2008"));
    }

    void copyingTheDigestShownInTheRow()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        const QString digest = QStringLiteral("0123456789abcdef0123456789abcdef");
        f.AddRecord(folder, QStringLiteral("a"), 1, true, digest);
        f.AddRecord(folder, QStringLiteral("b"));
        f.Form->SelectFolder(folder);
        f.Form->FilCopymd5Click();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select the file and try again."));
        f.SelectRows({1});
        f.Form->FilCopymd5Click();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Selected file doesn't have MD5 code."));
        f.SelectRows({0, 1});
        f.Form->FilCopymd5Click();
        QCOMPARE(f.Shell.Clipboard, digest);
    }

    void selectingAllRows()
    {
        TFormFixture f;
        f.Form->FilSelectallfilesClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a folder and try again."));
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("a"));
        f.AddRecord(folder, QStringLiteral("b"));
        f.Form->SelectFolder(folder);
        f.Form->FilSelectallfilesClick();
        QCOMPARE(f.Form->SelectedRows(), QList<int>({0, 1}));
        QVERIFY(f.Widget<QPushButton>("CommentsBt")->isEnabled());
        f.FilesList()->clearSelection();
        QVERIFY(!f.Widget<QPushButton>("CommentsBt")->isEnabled());
    }

    void firstColumnTakesTheWidthTheOthersLeave()
    {
        TFormFixture f;
        QTreeView *list = f.FilesList();
        QCOMPARE(list->columnWidth(0), qMax(160, list->width() - 357));
        f.Form->resize(1200, 600);
        QCOMPARE(list->columnWidth(0), list->width() - 357);
        QCOMPARE(list->columnWidth(1), 90);
        QCOMPARE(list->columnWidth(3), 250);
    }

    void aHundredThousandRowsFillAndSort()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Big"));
        std::vector<std::unique_ptr<TFileDat>> records;
        for (int i = 0; i < 100000; ++i) {
            auto record = std::make_unique<TFileDat>();
            record->FileName = QStringLiteral("file%1").arg((i * 7919) % 100000);
            record->Size = (i * 31) % 1000;
            records.push_back(std::move(record));
        }
        f.Catalog().AppendRecords(folder, std::move(records));
        f.Form->SelectFolder(folder);
        QCOMPARE(f.FilesList()->model()->rowCount(), 100000);
        f.Form->FilesListColumnClick(1);
        auto *model = static_cast<TFileListModel *>(f.FilesList()->model());
        for (int row = 1; row < 100000; row += 997)
            QVERIFY(model->RecordAt(row - 1)->Size <= model->RecordAt(row)->Size);
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
