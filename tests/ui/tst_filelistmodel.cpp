#include "FileListModel.h"
#include "TestRecords.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

TFileDat *addRecord(TCatalog &catalog, TFolderNode *folder, const QString &name, qint64 size, double date = 0,
                    TFileState state = fsDigested)
{
    const QString md5 =
        state == fsDigested ? QStringLiteral("%1").arg(size, 32, 16, QLatin1Char('0')) : QString();
    return catalog.AddRecord(folder, MakeTestRecord({.Name = name,
                                                     .Size = size,
                                                     .RealPath = QStringLiteral("/data/"),
                                                     .Md5 = md5,
                                                     .DateTime = date,
                                                     .State = state}));
}

QStringList column(const TFileListModel &model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.data(model.index(row, column)).toString();
    return texts;
}

} // namespace

class TestFileListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsFollowTheShownFolder()
    {
        TCatalog catalog;
        TFileListModel model(catalog);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        std::vector<TFileDat *> records;
        for (int i = 0; i < 40; ++i)
            records.push_back(addRecord(catalog, folder, QStringLiteral("f%1").arg(i), i));
        TFileDat *elsewhere = addRecord(catalog, other, QStringLiteral("x"), 1);

        model.Fill(folder);
        QCOMPARE(model.rowCount(), 40);
        QCOMPARE(model.FindRecordRow(records[7]), 7);
        QCOMPARE(model.FindRecordRow(elsewhere), -1);
        QCOMPARE(model.TotalSize(), qint64(39 * 40 / 2));

        addRecord(catalog, folder, QStringLiteral("late"), 5);
        addRecord(catalog, other, QStringLiteral("not shown"), 5);
        QCOMPARE(model.rowCount(), 41);
        QCOMPARE(model.RecordAt(40)->FileName, QStringLiteral("late"));

        // A few ranges are removed row by row; many scattered ones rebuild the list.
        catalog.RemoveRecords({records[1], records[2], records[10]});
        QCOMPARE(model.rowCount(), 38);
        std::vector<TFileDat *> scattered;
        for (int i = 11; i < 40; i += 2)
            scattered.push_back(records[size_t(i)]);
        catalog.RemoveRecords(scattered);
        QCOMPARE(model.rowCount(), 23);
        QCOMPARE(column(model, TFileListModel::colFileName).mid(0, 5),
                 QStringList({"f0", "f3", "f4", "f5", "f6"}));
        QCOMPARE(model.FindRecordRow(records[12]), 8); // f0 f3 f4 f5 f6 f7 f8 f9 f12

        catalog.RemoveFolder(folder);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.Folder(), nullptr);
    }

    void columnsAndLookByState()
    {
        TCatalog catalog;
        TFileListModel model(catalog);
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *record = addRecord(catalog, folder, QStringLiteral("a.txt"), 1234);
        catalog.SetRecordComment(record, QStringLiteral("note"));
        model.Fill(folder);
        model.SetDateColumnCaption(QStringLiteral("Date / Time (m/d/yy h:mm)"));

        QCOMPARE(model.data(model.index(0, TFileListModel::colSize)).toString(), QStringLiteral("1234"));
        QCOMPARE(model.data(model.index(0, TFileListModel::colComments)).toString(), QStringLiteral("note"));
        QCOMPARE(model.data(model.index(0, TFileListModel::colRealPath)).toString(),
                 QStringLiteral("/data/"));
        QCOMPARE(model.headerData(TFileListModel::colDateTime, Qt::Horizontal).toString(),
                 QStringLiteral("Date / Time (m/d/yy h:mm)"));
        QCOMPARE(model.headerData(TFileListModel::colMd5, Qt::Horizontal).toString(),
                 QStringLiteral("MD5 code"));
        QCOMPARE(model.ImageIndexOf(record), 1);

        catalog.SetRecordState(record, fsDigesting);
        QCOMPARE(model.ImageIndexOf(record), 3);
        QCOMPARE(model.data(model.index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
        catalog.SetRecordState(record, fsMissing);
        QCOMPARE(model.ImageIndexOf(record), 2);
        QCOMPARE(model.data(model.index(0, 3), Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(model.data(model.index(0, 3), Qt::ForegroundRole).value<QColor>(), QColor(255, 255, 255));
        catalog.SetRecordState(record, fsPending);
        QCOMPARE(model.ImageIndexOf(record), 0);
        QVERIFY(!model.data(model.index(0, 0), Qt::BackgroundRole).isValid());
    }

    void digestColumnKeepsTheOldDigestUntilANewOneArrives()
    {
        TCatalog catalog;
        TFileListModel model(catalog);
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *record = addRecord(catalog, folder, QStringLiteral("a.txt"), 10);
        const QString old = record->Md5.Text();
        model.Fill(folder);

        // Queued again to be digested anew: the row still shows the old digest.
        catalog.SetRecordMd5(record, QString());
        catalog.SetRecordState(record, fsPending);
        QCOMPARE(model.Md5Text(0), old);
        catalog.SetRecordState(record, fsDigesting);
        QCOMPARE(model.Md5Text(0), old);
        // Stopped while digesting: the column is emptied.
        catalog.SetRecordState(record, fsPending);
        QCOMPARE(model.Md5Text(0), QString());
        // A digest handed over shows at once.
        catalog.SetRecordState(record, fsDigesting);
        catalog.SetRecordMd5(record, QStringLiteral("0123456789abcdef0123456789abcdef"));
        catalog.SetRecordState(record, fsDigested);
        QCOMPARE(model.data(model.index(0, TFileListModel::colMd5)).toString(),
                 QStringLiteral("0123456789abcdef0123456789abcdef"));
    }

    void sortsAscendingByNameSizeAndDateOnly()
    {
        TCatalog catalog;
        TFileListModel model(catalog);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        addRecord(catalog, folder, QStringLiteral("beta"), 300, 3.0);
        TFileDat *alpha = addRecord(catalog, folder, QStringLiteral("Alpha"), 20, 2.5);
        addRecord(catalog, folder, QStringLiteral("Gamma"), 1000, 1.0);
        model.Fill(folder);
        const QPersistentModelIndex selected = model.index(1, 0);

        QVERIFY(!model.SortByColumn(TFileListModel::colComments));
        QCOMPARE(column(model, 0), QStringList({"beta", "Alpha", "Gamma"}));

        QVERIFY(model.SortByColumn(TFileListModel::colSize));
        QCOMPARE(column(model, 0), QStringList({"Alpha", "beta", "Gamma"}));
        QVERIFY(model.SortByColumn(TFileListModel::colSize)); // no toggle: still ascending
        QCOMPARE(column(model, 0), QStringList({"Alpha", "beta", "Gamma"}));
        QCOMPARE(model.RecordAt(selected.row()), alpha);

        QVERIFY(model.SortByColumn(TFileListModel::colDateTime));
        QCOMPARE(column(model, 0), QStringList({"Gamma", "Alpha", "beta"}));
        // Letter case plays no part, whatever the locale ("Gamma" after "beta").
        QVERIFY(model.SortByColumn(TFileListModel::colFileName));
        QCOMPARE(column(model, 0), QStringList({"Alpha", "beta", "Gamma"}));

        // The folder's own list keeps the order the records were added in.
        QCOMPARE(folder->Record(0)->FileName, QStringLiteral("beta"));
    }
};

QTEST_MAIN(TestFileListModel)
#include "tst_filelistmodel.moc"
