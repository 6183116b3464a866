#include "FolderTreeModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

class TestFolderTreeModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsEveryChangeOfTheCatalog()
    {
        TCatalog catalog;
        TFolderTreeModel model(catalog);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = catalog.AddFolder(home, QStringLiteral("Photos"));
        catalog.AddFolder(home, QStringLiteral("Docs"));
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.rowCount(model.IndexOf(home)), 2);
        QCOMPARE(model.FolderAt(model.index(0, 0, model.IndexOf(home))), photos);
        QCOMPARE(model.parent(model.IndexOf(photos)), model.IndexOf(home));

        catalog.RenameFolder(photos, QStringLiteral("Pictures"));
        QCOMPARE(model.data(model.IndexOf(photos)).toString(), QStringLiteral("Pictures"));
        catalog.SortFolders(home);
        QCOMPARE(model.data(model.index(0, 0, model.IndexOf(home))).toString(), QStringLiteral("Docs"));
        QVERIFY(catalog.MoveFolder(photos, other));
        QCOMPARE(model.rowCount(model.IndexOf(other)), 1);
        QVERIFY(catalog.MoveFolder(home, nullptr)); // to the end of its own level
        QCOMPARE(model.FolderAt(model.index(1, 0)), home);
        catalog.RemoveFolder(other);
        QCOMPARE(model.rowCount(), 1);
        catalog.ClearCatalog();
        QCOMPARE(model.rowCount(), 0);
    }

    void aSortKeepsSelectionsOnTheirFolders()
    {
        TCatalog catalog;
        TFolderTreeModel model(catalog);
        TFolderNode *zeta = catalog.AddFolder(nullptr, QStringLiteral("zeta"));
        catalog.AddFolder(nullptr, QStringLiteral("Alpha"));
        TFolderNode *inside = catalog.AddFolder(zeta, QStringLiteral("inside"));
        const QPersistentModelIndex kept(model.IndexOf(zeta));
        const QPersistentModelIndex below(model.IndexOf(inside));
        catalog.SortFolders(nullptr);
        QCOMPARE(kept.row(), 1);
        QCOMPARE(model.FolderAt(kept), zeta);
        QCOMPARE(model.FolderAt(below), inside);
        QCOMPARE(below.parent(), QModelIndex(kept));
    }

    void picturesAndColoursFollowRecordsAndTheCurrentFolder()
    {
        TCatalog catalog;
        TFolderTreeModel model(catalog);
        QPixmap pictures[4];
        for (int i = 0; i < 4; ++i) {
            pictures[i] = QPixmap(16, 16);
            pictures[i].fill(QColor(i * 60, 0, 0));
        }
        model.SetImages({pictures[0], pictures[1], pictures[2], pictures[3]});
        model.SetCurrentColours(QColor(128, 128, 255), Qt::white);
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        const QModelIndex index = model.IndexOf(folder);

        auto pictureColour = [&](QIcon::Mode mode) {
            return qvariant_cast<QIcon>(model.data(index, Qt::DecorationRole))
                .pixmap(16, 16, mode)
                .toImage()
                .pixelColor(0, 0);
        };
        QCOMPARE(pictureColour(QIcon::Normal), QColor(0, 0, 0));
        QCOMPARE(pictureColour(QIcon::Selected), QColor(60, 0, 0));

        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        auto record = std::make_unique<TFileDat>();
        record->State = fsDigested;
        catalog.AddRecord(folder, std::move(record));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(pictureColour(QIcon::Normal), QColor(120, 0, 0));
        QCOMPARE(pictureColour(QIcon::Selected), QColor(180, 0, 0));

        changes.clear();
        QVERIFY(!model.data(index, Qt::BackgroundRole).isValid());
        catalog.SetCurrentFolder(folder);
        QCOMPARE(model.data(index, Qt::BackgroundRole).value<QColor>(), QColor(128, 128, 255));
        QCOMPARE(model.data(index, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        catalog.SetCurrentFolder(other);
        QVERIFY(!model.data(index, Qt::BackgroundRole).isValid());
        QCOMPARE(changes.size(), 3); // Docs on, Docs off, Other on
    }

    void typedNamesGoThroughTheRenameRule()
    {
        TCatalog catalog;
        TFolderTreeModel model(catalog);
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        QString asked;
        model.SetRenameRule([&](TFolderNode *f, const QString &name) {
            QCOMPARE(f, folder);
            asked = name;
        });
        QVERIFY(model.setData(model.IndexOf(folder), QStringLiteral("Papers")));
        QCOMPARE(asked, QStringLiteral("Papers"));
        QCOMPARE(folder->Name(), QStringLiteral("Docs"));
        QVERIFY(model.flags(model.IndexOf(folder)).testFlag(Qt::ItemIsEditable));
    }
};

QTEST_MAIN(TestFolderTreeModel)
#include "tst_foldertreemodel.moc"
