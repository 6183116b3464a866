// A folder tree 200,000 levels deep behaves like a flat one: it is walked, measured, moved,
// removed and freed without the depth ever reaching the call stack.

#include "Catalog.h"

#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int Depth = 200000;

// A chain of folders under one root, each the only sub-folder of the one before; the deepest.
TFolderNode *buildChain(TCatalog &catalog, int depth, TFolderNode *top = nullptr)
{
    TFolderNode *folder = top;
    for (int level = 0; level < depth; ++level)
        folder = catalog.AddFolder(folder, QStringLiteral("n"));
    return folder;
}

} // namespace

class TestDeepFolders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deepTreeIsWalkedAndFreed()
    {
        auto catalog = std::make_unique<TCatalog>();
        TFolderNode *deepest = buildChain(*catalog, Depth);
        QCOMPARE(catalog->FolderCount(), Depth);
        QCOMPARE(catalog->SubtreeFolderCount(catalog->RootFolders().front().get()), Depth);
        int visited = 0;
        catalog->ForEachFolder([&visited](TFolderNode *) { ++visited; });
        QCOMPARE(visited, Depth);
        QCOMPARE(TCatalog::FolderPath(deepest).size(), qsizetype(2 * Depth));
        QVERIFY(deepest->IsWithin(catalog->RootFolders().front().get()));
        catalog.reset(); // frees every level
    }

    void deepSubtreeIsMovedRemovedAndCleared()
    {
        TCatalog catalog;
        TFolderNode *deepest = buildChain(catalog, Depth);
        TFolderNode *other = catalog.AddFolder(nullptr, QStringLiteral("other"));
        TFolderNode *middle = deepest;
        for (int up = 0; up < Depth / 2; ++up)
            middle = middle->Parent();

        const int moved = catalog.SubtreeFolderCount(middle);
        QCOMPARE(moved, Depth / 2 + 1);

        // A folder cannot go below itself, however deep the new parent is.
        QVERIFY(!catalog.MoveFolder(middle, deepest));
        QVERIFY(catalog.MoveFolder(middle, other));
        QCOMPARE(catalog.SubtreeFolderCount(other), moved + 1);

        QSignalSpy removed(&catalog, &TCatalog::folderRemoved);
        catalog.RemoveFolder(other);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(catalog.FolderCount(), Depth - moved);

        buildChain(catalog, Depth, catalog.RootFolders().front().get());
        catalog.ClearCatalog();
        QVERIFY(!catalog.HasFolders());
        QCOMPARE(catalog.FolderCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDeepFolders)
#include "tst_deepfolders.moc"
