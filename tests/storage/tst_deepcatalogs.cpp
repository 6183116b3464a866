// Catalog files of folders nested 200,000 levels deep are saved, loaded and freed without the
// depth reaching the call stack, and so is a document nested that deep where no folder is.

#include "Catalog.h"
#include "CatalogFile.h"
#include "NestedCatalogs.h"
#include "StorageErrors.h"
#include "ZStreams.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int Depth = 200000;

int depthOf(const TFolderNode *folder)
{
    int depth = 0;
    for (; folder; folder = folder->Parent())
        ++depth;
    return depth;
}

// The folder reached by always taking the last sub-folder.
const TFolderNode *deepestOf(const TCatalog &catalog)
{
    const TFolderNode *folder = catalog.RootFolders().back().get();
    while (!folder->SubFolders().empty())
        folder = folder->SubFolders().back().get();
    return folder;
}

void writeCompressed(const QString &path, const QByteArray &document)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    TZCompressionStream out(file, 3);
    out.Write(document.constData(), document.size());
    out.Finish();
}

} // namespace

class TestDeepCatalogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void savedDeepTreeLoadsBackWhole()
    {
        const QString path = m_dir.filePath(QStringLiteral("deep.dat"));
        {
            TCatalog catalog;
            TFolderNode *folder = nullptr;
            for (int level = 0; level < Depth; ++level)
                folder = catalog.AddFolder(folder, QStringLiteral("level"));
            SaveCatalog(catalog, path);
        }
        // Indentation stops growing at some depth: the file stays small.
        QVERIFY2(QFileInfo(path).size() < 1 << 20, qPrintable(QString::number(QFileInfo(path).size())));
        TCatalog loaded;
        QVERIFY(LoadCatalog(loaded, path));
        QCOMPARE(loaded.FolderCount(), Depth);
        QCOMPARE(depthOf(deepestOf(loaded)), Depth);
    }

    void compactDeepFileLoadsAndIsFreed()
    {
        const QString path = m_dir.filePath(QStringLiteral("compact.dat"));
        QVERIFY(NestedCatalogs::WriteNestedCatalogFile(path, Depth));
        auto catalog = std::make_unique<TCatalog>();
        const std::optional<TCatalogTotals> totals = LoadCatalog(*catalog, path);
        QVERIFY(totals);
        QCOMPARE(totals->Files, 1);
        const TFolderNode *deepest = deepestOf(*catalog);
        QCOMPARE(depthOf(deepest), Depth);
        QCOMPARE(deepest->Records().front()->FileName, QStringLiteral("bottom.txt"));
        catalog.reset();
    }

    // Elements that the reader skips may be nested as deeply; freeing them must not recurse either.
    void deepForeignContentIsFreed()
    {
        const QString path = m_dir.filePath(QStringLiteral("foreign.dat"));
        writeCompressed(
            path, "<Tree Total=\"1\" Folders=\"1\"><Folder Name=\"F\" Files=\"1\" Folders=\"0\"><Files>" +
                      QByteArray("<x>").repeated(Depth) + QByteArray("</x>").repeated(Depth) +
                      "</Files></Folder></Tree>");
        TCatalog catalog;
        QVERIFY(LoadCatalog(catalog, path));
        QCOMPARE(catalog.FolderCount(), 1);
        QVERIFY(!catalog.RootFolders().front()->HasRecordList());

        writeCompressed(path, "<Tree Total=\"1\" Folders=\"1\">" + QByteArray("<x>").repeated(Depth) +
                                  QByteArray("</x>").repeated(Depth) + "</Tree>");
        QVERIFY_THROWS_EXCEPTION(ECatalogError, LoadCatalog(catalog, path));
        QVERIFY(!catalog.HasFolders());
    }
};

QTEST_GUILESS_MAIN(TestDeepCatalogs)
#include "tst_deepcatalogs.moc"
