#include "BackgroundSearch.h"
#include "Catalog.h"
#include "CatalogSearch.h"

#include <QSignalSpy>
#include <QTest>

namespace {

TFileDat *addRecord(TCatalog &catalog, TFolderNode *folder, const QString &name)
{
    auto record = std::make_unique<TFileDat>();
    record->FileName = name;
    return catalog.AddRecord(folder, std::move(record));
}

QStringList names(const std::vector<TFileDat *> &records)
{
    QStringList list;
    for (const TFileDat *record : records)
        list << record->FileName;
    return list;
}

// Home (a1 a2) > Photos (p1) > Old (o1); Home > Music (m1); Work (w1). Every name holds "1".
struct TSmallCatalog
{
    TCatalog Catalog;
    TFolderNode *Home = Catalog.AddFolder(nullptr, QStringLiteral("Home"));
    TFolderNode *Photos = Catalog.AddFolder(Home, QStringLiteral("Photos"));
    TFolderNode *Old = Catalog.AddFolder(Photos, QStringLiteral("Old"));
    TFolderNode *Music = Catalog.AddFolder(Home, QStringLiteral("Music"));
    TFolderNode *Work = Catalog.AddFolder(nullptr, QStringLiteral("Work"));

    TSmallCatalog()
    {
        // Records added after the sub-folders still come before them: the order is a save's.
        addRecord(Catalog, Old, QStringLiteral("o1"));
        addRecord(Catalog, Work, QStringLiteral("w1"));
        addRecord(Catalog, Music, QStringLiteral("m1"));
        addRecord(Catalog, Photos, QStringLiteral("p1"));
        addRecord(Catalog, Home, QStringLiteral("a1"));
        addRecord(Catalog, Home, QStringLiteral("a2"));
    }
};

std::vector<TFileDat *> searchAll(const TCatalog &catalog, const QString &pattern,
                                  const TFolderNode *top = nullptr)
{
    std::vector<TFileDat *> found;
    TCatalogSearch search(catalog, TNameMatcher::Words(pattern), top);
    if (!search.Continue(found))
        found.clear();
    return found;
}

// Folders of records named "n0000" to "n<count-1>", `perFolder` to a folder.
void addNumberedRecords(TCatalog &catalog, int count, int perFolder)
{
    for (int first = 0; first < count; first += perFolder) {
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("F%1").arg(first));
        std::vector<std::unique_ptr<TFileDat>> records;
        for (int i = first; i < std::min(count, first + perFolder); ++i) {
            records.push_back(std::make_unique<TFileDat>());
            records.back()->FileName = QStringLiteral("n%1").arg(i, 4, 10, QLatin1Char('0'));
        }
        catalog.AppendRecords(folder, std::move(records));
    }
}

} // namespace

class TestCatalogSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsInTheOrderOfASave()
    {
        TSmallCatalog small;
        QCOMPARE(names(searchAll(small.Catalog, QStringLiteral("1"))),
                 QStringList({"a1", "p1", "o1", "m1", "w1"}));
        QCOMPARE(names(searchAll(small.Catalog, QStringLiteral("A"))), QStringList({"a1", "a2"}));
    }

    void aFolderAndEverythingBelowIt()
    {
        TSmallCatalog small;
        QCOMPARE(names(searchAll(small.Catalog, QStringLiteral("1"), small.Photos)),
                 QStringList({"p1", "o1"}));
        QCOMPARE(names(searchAll(small.Catalog, QStringLiteral("1"), small.Old)), QStringList({"o1"}));
        QCOMPARE(names(searchAll(small.Catalog, QStringLiteral("w"), small.Home)), QStringList());
    }

    void stepsGoOnWhereTheyStopped()
    {
        // Folders of 7 records, steps of 3 finds: steps end inside folders and at their ends.
        TCatalog catalog;
        addNumberedRecords(catalog, 100, 7);
        const std::vector<TFileDat *> whole = searchAll(catalog, QStringLiteral("n"));
        QCOMPARE(whole.size(), size_t(100));

        TCatalogSearch search(catalog, TNameMatcher::Words(u"n"));
        std::vector<TFileDat *> stepped;
        int steps = 0;
        for (bool done = false; !done; ++steps) {
            const size_t before = stepped.size();
            done = search.Continue(stepped, QDeadlineTimer(QDeadlineTimer::Forever), 3);
            QVERIFY(stepped.size() - before <= 3);
        }
        QVERIFY(search.Done());
        QCOMPARE(stepped, whole);
        QVERIFY(steps >= 34);
    }

    void aPassedDeadlineStopsTheStepWithoutLosingItsPlace()
    {
        TCatalog catalog;
        addNumberedRecords(catalog, 5000, 1000);
        TCatalogSearch search(catalog, TNameMatcher::Words(u"n"));
        std::vector<TFileDat *> found;
        QVERIFY(!search.Continue(found, QDeadlineTimer(0)));
        QVERIFY(found.size() < 1000); // stopped at the first look at the clock
        while (!search.Continue(found, QDeadlineTimer(0))) {
        }
        QCOMPARE(found, searchAll(catalog, QStringLiteral("n")));
    }

    void aPatternThatPicksNothingIsDoneAtOnce()
    {
        TSmallCatalog small;
        TCatalogSearch search(small.Catalog, TNameMatcher::Words(u"  "));
        QVERIFY(search.Done());
        std::vector<TFileDat *> found;
        QVERIFY(search.Continue(found));
        QVERIFY(found.empty());
    }

    void backgroundSearchDeliversEveryFindInOrder()
    {
        TCatalog catalog;
        addNumberedRecords(catalog, 3000, 100);
        TBackgroundSearch background(catalog);
        std::vector<TFileDat *> delivered;
        connect(&background, &TBackgroundSearch::found, this, [&](int first, int count) {
            QCOMPARE(size_t(first), delivered.size());
            delivered.insert(delivered.end(), background.Results().begin() + first,
                             background.Results().begin() + first + count);
        });
        QSignalSpy finished(&background, &TBackgroundSearch::finished);
        background.Start(TNameMatcher::Words(u"n*5"));
        QVERIFY(background.IsRunning());
        QVERIFY(finished.wait());
        QVERIFY(!background.IsRunning());
        QCOMPARE(delivered, searchAll(catalog, QStringLiteral("n*5")));
        QCOMPARE(delivered.size(), size_t(300));
    }

    void aNewPatternAbandonsTheSearchThatRuns()
    {
        // Enough records that the first search is surely still running after its first batch.
        TCatalog catalog;
        addNumberedRecords(catalog, 400000, 1000);
        TBackgroundSearch background(catalog);
        QSignalSpy cleared(&background, &TBackgroundSearch::resultsCleared);
        QSignalSpy found(&background, &TBackgroundSearch::found);
        QSignalSpy finished(&background, &TBackgroundSearch::finished);
        background.Start(TNameMatcher::Words(u"n"));
        QVERIFY(found.wait());
        QVERIFY(background.IsRunning());
        QVERIFY(finished.isEmpty());

        background.Start(TNameMatcher::Words(u"n*77"));
        QCOMPARE(cleared.size(), 2);
        QVERIFY(background.Results().empty());
        QVERIFY(finished.wait(60'000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(names(background.Results()), names(searchAll(catalog, QStringLiteral("n*77"))));
    }

    void stopKeepsWhatWasHandedOver()
    {
        TCatalog catalog;
        addNumberedRecords(catalog, 400000, 1000);
        TBackgroundSearch background(catalog);
        QSignalSpy found(&background, &TBackgroundSearch::found);
        QSignalSpy finished(&background, &TBackgroundSearch::finished);
        background.Start(TNameMatcher::Words(u"n"));
        QVERIFY(found.wait());
        background.Stop();
        QVERIFY(!background.IsRunning());
        const size_t kept = background.Results().size();
        const qsizetype batches = found.size();
        QTest::qWait(50); // batches sent before the stop arrive now, and must be dropped
        QCOMPARE(background.Results().size(), kept);
        QCOMPARE(found.size(), batches);
        QVERIFY(finished.isEmpty());
    }

    void digestsArriveWhileTheWorkerReadsNames()
    {
        // The window's thread keeps storing digests and states while the worker walks: the two
        // touch different fields of the same records (ThreadSanitizer watches this test).
        TCatalog catalog;
        addNumberedRecords(catalog, 200000, 1000);
        std::vector<TFileDat *> records = searchAll(catalog, QStringLiteral("n"));
        TBackgroundSearch background(catalog);
        QSignalSpy finished(&background, &TBackgroundSearch::finished);
        background.Start(TNameMatcher::Words(u"n*1"));
        const TMd5Text::TDigest digest = *TMd5Text::ParseDigits("0123456789abcdef0123456789abcdef");
        for (size_t i = 0; background.IsRunning() && i < records.size(); i += 7) {
            catalog.SetRecordState(records[i], fsDigesting);
            catalog.SetRecordDigested(records[i], digest);
            if (i % 700 == 0)
                QCoreApplication::processEvents();
        }
        if (finished.isEmpty())
            QVERIFY(finished.wait());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(background.Results(), searchAll(catalog, QStringLiteral("n*1")));
    }
};

QTEST_GUILESS_MAIN(TestCatalogSearch)
#include "tst_catalogsearch.moc"
