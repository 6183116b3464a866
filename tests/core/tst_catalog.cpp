#include "Catalog.h"
#include "CatalogWatch.h"
#include "TestRecords.h"
#include "support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::unique_ptr<TFileDat> makeRecord(const QString &name, qint64 size = 100, TFileState state = fsPending)
{
    return MakeTestRecord({.Name = name, .Size = size, .RealPath = QStringLiteral("/data/"), .State = state});
}

// Writes every notification of the catalog as one line, so a test can compare the order.
class NotificationLog : public QObject
{
public:
    explicit NotificationLog(TCatalog &catalog)
    {
        auto name = [](const TFolderNode *folder) { return folder ? folder->Name() : QStringLiteral("-"); };
        connect(&catalog, &TCatalog::folderAboutToBeAdded, this, [=, this](TFolderNode *p, int row) {
            add(QStringLiteral("aboutToAdd %1 %2").arg(name(p)).arg(row));
        });
        connect(&catalog, &TCatalog::folderAdded, this,
                [=, this](TFolderNode *f) { add(QStringLiteral("added ") + name(f)); });
        connect(&catalog, &TCatalog::folderAboutToBeRemoved, this,
                [=, this](TFolderNode *f) { add(QStringLiteral("aboutToRemove ") + name(f)); });
        connect(&catalog, &TCatalog::folderRemoved, this, [=, this](TFolderNode *p, int row) {
            add(QStringLiteral("removed %1 %2").arg(name(p)).arg(row));
        });
        connect(&catalog, &TCatalog::folderAboutToBeMoved, this,
                [=, this](TFolderNode *f, TFolderNode *p, int row) {
                    add(QStringLiteral("aboutToMove %1 %2 %3").arg(name(f), name(p)).arg(row));
                });
        connect(&catalog, &TCatalog::folderMoved, this,
                [=, this](TFolderNode *f) { add(QStringLiteral("moved ") + name(f)); });
        connect(&catalog, &TCatalog::foldersAboutToBeSorted, this,
                [=, this](TFolderNode *p) { add(QStringLiteral("aboutToSort ") + name(p)); });
        connect(&catalog, &TCatalog::foldersSorted, this,
                [=, this](TFolderNode *p) { add(QStringLiteral("sorted ") + name(p)); });
        connect(&catalog, &TCatalog::folderChanged, this, [=, this](TFolderNode *f) {
            add(QStringLiteral("changed %1 %2").arg(name(f)).arg(f->ImageIndex()));
        });
        connect(&catalog, &TCatalog::recordsAdded, this, [=, this](TFolderNode *f, int first, int count) {
            add(QStringLiteral("recordsAdded %1 %2 %3").arg(name(f)).arg(first).arg(count));
        });
        connect(&catalog, &TCatalog::recordsAboutToBeRemoved, this,
                [=, this](TFolderNode *f, const QList<TFileDat *> &records) {
                    QStringList names;
                    for (const TFileDat *record : records)
                        names << record->FileName;
                    add(QStringLiteral("recordsAboutToRemove %1 %2").arg(name(f), names.join(u',')));
                });
        connect(&catalog, &TCatalog::recordsRemoved, this,
                [=, this](TFolderNode *f) { add(QStringLiteral("recordsRemoved ") + name(f)); });
        connect(&catalog, &TCatalog::recordsAboutToBeMoved, this,
                [=, this](TFolderNode *from, const QList<TFileDat *> &records, TFolderNode *to) {
                    QStringList names;
                    for (const TFileDat *record : records)
                        names << record->FileName;
                    add(QStringLiteral("recordsAboutToMove %1 %2 %3")
                            .arg(name(from), names.join(u','), name(to)));
                });
        connect(&catalog, &TCatalog::recordsMoved, this,
                [=, this](TFolderNode *from, TFolderNode *to, int first, int count) {
                    add(QStringLiteral("recordsMoved %1 %2 %3 %4")
                            .arg(name(from), name(to))
                            .arg(first)
                            .arg(count));
                });
        connect(&catalog, &TCatalog::recordChanged, this,
                [=, this](TFileDat *r) { add(QStringLiteral("recordChanged ") + r->FileName); });
        connect(&catalog, &TCatalog::currentFolderChanged, this,
                [=, this](TFolderNode *f) { add(QStringLiteral("current ") + name(f)); });
        connect(&catalog, &TCatalog::catalogAboutToBeCleared, this,
                [this] { add(QStringLiteral("aboutToClear")); });
        connect(&catalog, &TCatalog::catalogCleared, this, [this] { add(QStringLiteral("cleared")); });
    }
    QStringList take() { return std::exchange(m_lines, {}); }

private:
    void add(const QString &line) { m_lines << line; }
    QStringList m_lines;
};

} // namespace

class TestCatalog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picturesFollowTheFirstAndLastRecord()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        QCOMPARE(folder->ImageIndex(), 0);
        QCOMPARE(folder->SelectedIndex(), 1);
        QVERIFY(!folder->HasRecordList());

        TFileDat *first = catalog.AddRecord(folder, makeRecord(QStringLiteral("a.txt")));
        TFileDat *second = catalog.AddRecord(folder, makeRecord(QStringLiteral("b.txt")));
        QCOMPARE(folder->ImageIndex(), 2);
        QCOMPARE(folder->SelectedIndex(), 3);
        QCOMPARE(first->Folder, folder);

        catalog.RemoveRecord(first);
        QCOMPARE(folder->ImageIndex(), 2);
        catalog.RemoveRecord(second);
        QCOMPARE(folder->ImageIndex(), 0);
        QVERIFY(!folder->HasRecordList());
        QCOMPARE(folder->RecordCount(), 0);
    }

    void sameFileIsNameIgnoringCaseAndEqualSize()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *record = catalog.AddRecord(folder, makeRecord(QStringLiteral("a.txt"), 100));
        QCOMPARE(catalog.FindSameFile(folder, QStringLiteral("A.TXT"), 100), record);
        QCOMPARE(catalog.FindSameFile(folder, QStringLiteral("A.TXT"), 101), nullptr);
        QCOMPARE(catalog.FindSameFile(folder, QStringLiteral("b.txt"), 100), nullptr);
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        QCOMPARE(catalog.FindSameFile(other, QStringLiteral("a.txt"), 100), nullptr);
    }

    void folderPaths()
    {
        TCatalog catalog;
        TFolderNode *docs = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        QCOMPARE(TCatalog::FolderPath(docs), QStringLiteral("Docs\\"));
        TFolderNode *photos =
            catalog.AddFolder(catalog.AddFolder(nullptr, QStringLiteral("Home")), QStringLiteral("Photos"));
        QCOMPARE(TCatalog::FolderPath(photos), QStringLiteral("Home\\Photos\\"));
        TFolderNode *drive = catalog.AddFolder(nullptr, QStringLiteral("C:\\"));
        QCOMPARE(TCatalog::FolderPath(catalog.AddFolder(drive, QStringLiteral("x"))),
                 QStringLiteral("C:\\x\\"));
        QCOMPARE(TCatalog::FolderPath(nullptr), QString());
    }

    void siblingNamesIgnoreCaseButExactLookupDoesNot()
    {
        TCatalog catalog;
        TFolderNode *photos = catalog.AddFolder(nullptr, QStringLiteral("Photos"));
        QVERIFY(catalog.SiblingNameExists(nullptr, QStringLiteral("photos")));
        QVERIFY(!catalog.SiblingNameExists(photos, QStringLiteral("photos")));
        QCOMPARE(catalog.FindChildFolder(nullptr, QStringLiteral("Photos")), photos);
        QCOMPARE(catalog.FindChildFolder(nullptr, QStringLiteral("photos")), nullptr);
    }

    void removingARecordTakesEveryQueueEntry()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *twice = catalog.AddRecord(folder, makeRecord(QStringLiteral("a.txt")));
        TFileDat *other = catalog.AddRecord(folder, makeRecord(QStringLiteral("b.txt")));
        catalog.EnqueueForDigest(twice);
        QCOMPARE(catalog.Md5Queue().size(), size_t(3));

        catalog.RemoveRecord(twice);
        QCOMPARE(catalog.Md5Queue().size(), size_t(1));
        QCOMPARE(catalog.Md5Queue().front(), other);
    }

    void onlyPendingRecordsAreQueuedAndLoadedOnesNever()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        catalog.AddRecord(folder, makeRecord(QStringLiteral("done.txt"), 1, fsDigested));
        std::vector<std::unique_ptr<TFileDat>> loaded;
        loaded.push_back(makeRecord(QStringLiteral("loaded.txt")));
        catalog.AppendRecords(folder, std::move(loaded));
        QVERIFY(catalog.Md5Queue().empty());
        QCOMPARE(folder->RecordCount(), 2);
        QCOMPARE(folder->Record(1)->Folder, folder);
    }

    void removingRecordsOfSeveralFoldersKeepsTheOrderOfTheRest()
    {
        TCatalog catalog;
        TFolderNode *a = catalog.AddFolder(nullptr, QStringLiteral("A"));
        TFolderNode *b = catalog.AddFolder(nullptr, QStringLiteral("B"));
        std::vector<TFileDat *> inA;
        for (int i = 0; i < 6; ++i)
            inA.push_back(catalog.AddRecord(a, makeRecord(QString::number(i))));
        TFileDat *onlyInB = catalog.AddRecord(b, makeRecord(QStringLiteral("b")));

        catalog.RemoveRecords({inA[1], onlyInB, inA[4]});
        QStringList names;
        for (const auto &record : a->Records())
            names << record->FileName;
        QCOMPARE(names, QStringList({"0", "2", "3", "5"}));
        QCOMPARE(b->ImageIndex(), 0);
        QCOMPARE(catalog.Md5Queue().size(), size_t(4));
    }

    void clearingLeavesNothingQueuedAndStopsTheDigestFirst()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *digesting = catalog.AddRecord(folder, makeRecord(QStringLiteral("a.txt")));
        catalog.AddRecord(catalog.AddFolder(folder, QStringLiteral("Sub")),
                          makeRecord(QStringLiteral("b.txt")));
        catalog.SetRecordState(digesting, fsDigesting);
        catalog.SetCurrentFolder(folder);

        int stops = 0;
        catalog.SetStopDigestHook([&] {
            // The record must still be alive when the digest is stopped.
            QCOMPARE(digesting->State, fsDigesting);
            QCOMPARE(folder->RecordCount(), 1);
            catalog.SetRecordState(digesting, fsPending);
            ++stops;
        });
        catalog.ClearCatalog();
        QCOMPARE(stops, 1);
        QVERIFY(catalog.Md5Queue().empty());
        QVERIFY(!catalog.HasFolders());
        QCOMPARE(catalog.FolderCount(), 0);
        QCOMPARE(catalog.CurrentFolder(), nullptr);
        QCOMPARE(catalog.DigestingRecord(), nullptr);
    }

    void removingAFolderStopsOnlyADigestInsideIt()
    {
        TCatalog catalog;
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = catalog.AddFolder(home, QStringLiteral("Photos"));
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        TFileDat *inPhotos = catalog.AddRecord(photos, makeRecord(QStringLiteral("p.jpg")));
        TFileDat *inOther = catalog.AddRecord(other, makeRecord(QStringLiteral("o.txt")));
        int stops = 0;
        catalog.SetStopDigestHook([&] {
            ++stops;
            catalog.SetRecordState(catalog.DigestingRecord(), fsPending);
        });

        catalog.SetRecordState(inOther, fsDigesting);
        catalog.SetCurrentFolder(photos);
        catalog.RemoveFolder(home);
        QCOMPARE(stops, 0);
        QCOMPARE(catalog.CurrentFolder(), nullptr);
        QCOMPARE(catalog.FolderCount(), 1);
        QCOMPARE(catalog.Md5Queue().size(), size_t(1)); // p.jpg left the queue with its folder
        QCOMPARE(catalog.Md5Queue().front(), inOther);
        Q_UNUSED(inPhotos);

        catalog.RemoveFolder(other);
        QCOMPARE(stops, 1);
        QVERIFY(catalog.Md5Queue().empty());
    }

    void walksInPreOrder()
    {
        TCatalog catalog;
        TFolderNode *a = catalog.AddFolder(nullptr, QStringLiteral("A"));
        TFolderNode *a1 = catalog.AddFolder(a, QStringLiteral("A1"));
        catalog.AddFolder(a1, QStringLiteral("A1x"));
        catalog.AddFolder(a, QStringLiteral("A2"));
        catalog.AddFolder(nullptr, QStringLiteral("B"));

        QStringList seen;
        catalog.ForEachFolder([&](TFolderNode *f) { seen << f->Name(); });
        QCOMPARE(seen, QStringList({"A", "A1", "A1x", "A2", "B"}));
        seen.clear();
        catalog.ForEachFolder([&](TFolderNode *f) { seen << f->Name(); }, a1);
        QCOMPARE(seen, QStringList({"A1", "A1x"}));
        seen.clear();
        catalog.ForEachFolder([&](TFolderNode *f) {
            seen << f->Name();
            return f->Name() != QStringLiteral("A1x");
        });
        QCOMPARE(seen, QStringList({"A", "A1", "A1x"}));
        QCOMPARE(catalog.SubtreeFolderCount(a), 4);
        QCOMPARE(catalog.FolderCount(), 5);
    }

    void sortingIsOneLevelAndIgnoresCase()
    {
        TCatalog catalog;
        TFolderNode *top = catalog.AddFolder(nullptr, QStringLiteral("top"));
        TFolderNode *zeta = catalog.AddFolder(top, QStringLiteral("zeta"));
        catalog.AddFolder(top, QStringLiteral("Beta"));
        catalog.AddFolder(top, QStringLiteral("alpha"));
        catalog.AddFolder(zeta, QStringLiteral("z2"));
        catalog.AddFolder(zeta, QStringLiteral("z1"));

        catalog.SortFolders(top);
        QStringList names;
        for (const auto &f : top->SubFolders())
            names << QStringLiteral("%1@%2").arg(f->Name()).arg(f->Row());
        QCOMPARE(names, QStringList({"alpha@0", "Beta@1", "zeta@2"}));
        QCOMPARE(zeta->SubFolders().front()->Name(), QStringLiteral("z2"));
    }

    void movingKeepsRecordsAndRefusesOwnDescendants()
    {
        TCatalog catalog;
        TFolderNode *a = catalog.AddFolder(nullptr, QStringLiteral("A"));
        TFolderNode *a1 = catalog.AddFolder(a, QStringLiteral("A1"));
        TFolderNode *b = catalog.AddFolder(nullptr, QStringLiteral("B"));
        TFileDat *record = catalog.AddRecord(a1, makeRecord(QStringLiteral("x")));

        QVERIFY(!catalog.MoveFolder(a, a1));
        QVERIFY(!catalog.MoveFolder(a, a));
        QVERIFY(catalog.MoveFolder(a1, b));
        QCOMPARE(a1->Parent(), b);
        QCOMPARE(record->Folder, a1);
        QVERIFY(a->SubFolders().empty());
        QVERIFY(catalog.MoveFolder(a1, nullptr));
        QCOMPARE(a1->Row(), 2);
        QCOMPARE(TCatalog::FolderPath(a1), QStringLiteral("A1\\"));
        QCOMPARE(catalog.FolderCount(), 3);
    }

    void movedRecordsArriveInTheOrderGivenAndKeepTheirIdentity()
    {
        TCatalog catalog;
        TFolderNode *source = catalog.AddFolder(nullptr, QStringLiteral("Source"));
        TFolderNode *target = catalog.AddFolder(nullptr, QStringLiteral("Target"));
        TFileDat *a = catalog.AddRecord(source, makeRecord(QStringLiteral("a")));
        TFileDat *b = catalog.AddRecord(source, makeRecord(QStringLiteral("b"), 100, fsDigested));
        TFileDat *c = catalog.AddRecord(source, makeRecord(QStringLiteral("c")));
        TFileDat *d = catalog.AddRecord(source, makeRecord(QStringLiteral("d")));
        catalog.SetRecordState(c, fsDigesting);
        const std::deque<TFileDat *> queue = catalog.Md5Queue();
        const TCatalogWatch watch(catalog, {a, b, c, d});
        NotificationLog log(catalog);

        // Given out of list order, and twice: the order given, once each.
        catalog.MoveRecords({d, b, d, c}, target);
        QCOMPARE(log.take(), QStringList({"recordsAboutToMove Source d,b,c Target",
                                          "recordsMoved Source Target 0 3", "changed Target 2"}));
        QCOMPARE(target->Records().size(), size_t(3));
        QCOMPARE(target->Record(0), d);
        QCOMPARE(target->Record(1), b);
        QCOMPARE(target->Record(2), c);
        QCOMPARE(source->RecordCount(), 1);
        QCOMPARE(source->Record(0), a);
        QCOMPARE(d->Folder, target);
        QCOMPARE(c->State, fsDigesting);
        QCOMPARE(catalog.DigestingRecord(), c);
        QCOMPARE(b->State, fsDigested);
        QVERIFY(catalog.Md5Queue() == queue);
        QCOMPARE(watch.Held().size(), size_t(4)); // moved, not removed

        // The last record leaves: the source loses its list and its picture; records already in
        // the target stay where they are.
        catalog.MoveRecords({b, a}, target);
        QCOMPARE(log.take(), QStringList({"recordsAboutToMove Source a Target",
                                          "recordsMoved Source Target 3 1", "changed Source 0"}));
        QVERIFY(!source->HasRecordList());
        QCOMPARE(source->ImageIndex(), 0);
        QCOMPARE(target->Record(1), b);
        QCOMPARE(target->Record(3), a);

        catalog.MoveRecords({a, b}, target); // nothing to move: not a word
        QVERIFY(log.take().isEmpty());
        catalog.SetRecordState(c, fsPending);
    }

    void recordsOfSeveralFoldersMoveFolderByFolder()
    {
        TCatalog catalog;
        TFolderNode *first = catalog.AddFolder(nullptr, QStringLiteral("First"));
        TFolderNode *second = catalog.AddFolder(nullptr, QStringLiteral("Second"));
        TFolderNode *target = catalog.AddFolder(nullptr, QStringLiteral("Target"));
        TFileDat *x = catalog.AddRecord(first, makeRecord(QStringLiteral("x")));
        TFileDat *y = catalog.AddRecord(second, makeRecord(QStringLiteral("y")));
        TFileDat *z = catalog.AddRecord(first, makeRecord(QStringLiteral("z")));
        catalog.AddRecord(target, makeRecord(QStringLiteral("t")));
        NotificationLog log(catalog);

        catalog.MoveRecords({y, z, x}, target);
        QCOMPARE(log.take(),
                 QStringList({"recordsAboutToMove Second y Target", "recordsMoved Second Target 1 1",
                              "changed Second 0", "recordsAboutToMove First z,x Target",
                              "recordsMoved First Target 2 2", "changed First 0"}));
        QCOMPARE(TCatalog::FolderPath(z->Folder), QStringLiteral("Target\\"));
        QCOMPARE(target->RecordCount(), 4);
    }

    void digestTextIsCutTo32()
    {
        TCatalog catalog;
        TFileDat *record = catalog.AddRecord(catalog.AddFolder(nullptr, QStringLiteral("D")),
                                             makeRecord(QStringLiteral("x")));
        catalog.SetRecordMd5(record, QStringLiteral("0123456789abcdef0123456789abcdefEXTRA"));
        QCOMPARE(record->Md5.Text(), QStringLiteral("0123456789abcdef0123456789abcdef"));
    }

    void notificationsComeInOrder()
    {
        TCatalog catalog;
        NotificationLog log(catalog);

        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = catalog.AddFolder(home, QStringLiteral("Photos"));
        QCOMPARE(log.take(),
                 QStringList({"aboutToAdd - 0", "added Home", "aboutToAdd Home 0", "added Photos"}));

        TFileDat *first = catalog.AddRecord(photos, makeRecord(QStringLiteral("a")));
        TFileDat *second = catalog.AddRecord(photos, makeRecord(QStringLiteral("b")));
        QCOMPARE(log.take(),
                 QStringList({"recordsAdded Photos 0 1", "changed Photos 2", "recordsAdded Photos 1 1"}));

        catalog.SetRecordComment(first, QStringLiteral("note"));
        catalog.SetRecordComment(first, QStringLiteral("note")); // unchanged: no notification
        catalog.RenameFolder(home, QStringLiteral("House"));
        QCOMPARE(log.take(), QStringList({"recordChanged a", "changed House 0"}));

        catalog.RemoveRecords({first, second});
        QCOMPARE(log.take(), QStringList({"recordsAboutToRemove Photos a,b", "recordsRemoved Photos",
                                          "changed Photos 0"}));

        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("Other"));
        log.take();
        catalog.MoveFolder(photos, other);
        catalog.SortFolders(nullptr);
        QCOMPARE(log.take(),
                 QStringList({"aboutToMove Photos Other 0", "moved Photos", "aboutToSort -", "sorted -"}));

        catalog.SetCurrentFolder(photos);
        catalog.RemoveFolder(other);
        QCOMPARE(log.take(),
                 QStringList({"current Photos", "current -", "aboutToRemove Other", "removed - 1"}));

        catalog.SetCurrentFolder(home);
        catalog.ClearCatalog();
        QCOMPARE(log.take(), QStringList({"current House", "current -", "aboutToClear", "cleared"}));
    }

    void newRecordFromDisk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("0123456789");
        file.close();

        const auto record = NewRecordFromDisk(path);
        QCOMPARE(record->FileName, QStringLiteral("report.txt"));
        QCOMPARE(record->RealPath, dir.path() + u'/');
        QCOMPARE(record->Size, qint64(10));
        QCOMPARE(record->DateTime, FileDateOf(path));
        QVERIFY(record->Md5.isEmpty() && record->Comment.isEmpty());
        QCOMPARE(record->State, fsPending);
        QCOMPARE(record->Folder, nullptr);
        QCOMPARE(record->FullPath(), path);

        const auto missing = NewRecordFromDisk(dir.filePath(QStringLiteral("gone.txt")));
        QCOMPARE(missing->Size, qint64(-1));
        QCOMPARE(missing->DateTime, -1.0);

        TFileDat noPath;
        noPath.FileName = QStringLiteral("x");
        QCOMPARE(noPath.FullPath(), QString());
        noPath.RealPath = QStringLiteral("/data");
        QCOMPARE(noPath.FullPath(), QStringLiteral("/data/x"));
    }
};

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
