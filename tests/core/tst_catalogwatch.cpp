// The watch behind every command that asks first: it must tell which named records are still
// there however they went (removed one by one, with an ancestor folder, with the whole catalog),
// without ever reading a disposed record.

#include "CatalogWatch.h"
#include "TestRecords.h"

#include <QTest>

namespace {

TFileDat *addRecord(TCatalog &catalog, TFolderNode *folder, const QString &name)
{
    return AppendTestRecord(catalog, folder, MakeTestRecord({.Name = name, .State = fsDigested}));
}

} // namespace

class TestCatalogWatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsEveryWayARecordCanGo()
    {
        TCatalog catalog;
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *deep =
            catalog.AddFolder(catalog.AddFolder(home, QStringLiteral("Sub")), QStringLiteral("Deep"));
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        TFileDat *a = addRecord(catalog, home, QStringLiteral("a"));
        TFileDat *b = addRecord(catalog, home, QStringLiteral("b"));
        TFileDat *d = addRecord(catalog, deep, QStringLiteral("d"));
        TFileDat *o = addRecord(catalog, other, QStringLiteral("o"));
        TFileDat *busy = addRecord(catalog, other, QStringLiteral("busy"));

        const TCatalogWatch watch(catalog, {o, d, busy, a, b}, {deep, other});
        catalog.SetRecordState(busy, fsDigesting);
        catalog.RemoveRecord(a);
        QCOMPARE(watch.Confirmed(), (std::vector<TFileDat *>{o, d, b})); // given order, no digest running
        catalog.RemoveFolder(catalog.RootFolders().front().get());       // Home, with Sub and Deep
        QVERIFY(!watch.Holds(d) && !watch.Holds(b) && !watch.Holds(deep));
        QCOMPARE(watch.Folders(), std::vector<TFolderNode *>{other});
        catalog.ClearCatalog();
        QVERIFY(watch.Confirmed().empty());
        QVERIFY(watch.Folders().empty());
    }
};

QTEST_GUILESS_MAIN(TestCatalogWatch)
#include "tst_catalogwatch.moc"
