#include "FolderScan.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, int size)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(size, 'x'));
}

QStringList relativeTo(const QString &root, QStringList paths)
{
    for (QString &path : paths)
        path = path.mid(root.size());
    return paths;
}

QStringList folderNames(const TCatalog &catalog)
{
    QStringList names;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        names << QStringLiteral("%1(%2)").arg(TCatalog::FolderPath(folder)).arg(folder->RecordCount());
    });
    return names;
}

} // namespace

class TestFolderScan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void collectsBreadthFirstWithHiddenFiles()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        writeFile(root + QStringLiteral("a/deep/d.txt"), 1);
        writeFile(root + QStringLiteral("a/c.txt"), 1);
        writeFile(root + QStringLiteral("top.txt"), 1);
        writeFile(root + QStringLiteral(".hidden"), 1);
        QDir().mkpath(root + QStringLiteral("empty"));

        QStringList files{QStringLiteral("replaced")};
        CollectFiles(dir.path(), files);
        // The folder's own files first (in the file system's order), then each level below.
        QCOMPARE(files.size(), 4);
        QStringList own = relativeTo(root, files.mid(0, 2));
        own.sort();
        QCOMPARE(own, QStringList({".hidden", "top.txt"}));
        QCOMPARE(relativeTo(root, files.mid(2)), QStringList({"a/c.txt", "a/deep/d.txt"}));
    }

    void linksToDirectoriesAreNotFollowed()
    {
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        writeFile(root + QStringLiteral("real/f.txt"), 3);
        QVERIFY(QFile::link(root + QStringLiteral("real"), root + QStringLiteral("real/loop")));
        QVERIFY(QFile::link(root + QStringLiteral("real/f.txt"), root + QStringLiteral("real/alias.txt")));

        QStringList folders;
        ListDirectory(root + QStringLiteral("real"), TListKind::Folders, folders);
        QVERIFY(folders.isEmpty());
        QStringList files;
        CollectFiles(root, files);
        QStringList names = relativeTo(root, files);
        names.sort();
        QCOMPARE(names, QStringList({"real/alias.txt", "real/f.txt"}));
    }

    void structuresBecomeCatalogFolders()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data");
        writeFile(data + QStringLiteral("/x/y.txt"), 5);
        writeFile(data + QStringLiteral("/z.txt"), 7);
        QDir().mkpath(data + QStringLiteral("/nothing/below"));

        TCatalog catalog;
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        QCOMPARE(AddFolderStructure(catalog, TCatalog::FolderPath(home), data + u'/'), 2);
        QCOMPARE(folderNames(catalog), QStringList({"Home\\(0)", "Home\\Data\\(1)", "Home\\Data\\x\\(1)"}));
        QCOMPARE(catalog.Md5Queue().size(), size_t(2));
        const TFileDat *z = catalog.FindChildFolder(home, QStringLiteral("Data"))->Record(0);
        QCOMPARE(z->FileName, QStringLiteral("z.txt"));
        QCOMPARE(z->RealPath, data + u'/');
        QCOMPARE(z->Size, qint64(7));

        // Again, as a root folder: the same folders are reused and get the files a second time.
        AddFolderStructure(catalog, QString(), data);
        AddFolderStructure(catalog, QString(), data);
        QCOMPARE(folderNames(catalog).mid(3), QStringList({"Data\\(2)", "Data\\x\\(2)"}));
    }

    void recordsOfOneDirectoryShareOneRealPathText()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data/");
        for (const char *name : {"a.txt", "b.txt", "sub/c.txt", "sub/d.txt", "e.txt"})
            writeFile(data + QString::fromLatin1(name), 1);
        TCatalog catalog;
        QCOMPARE(AddFolderStructure(catalog, QString(), data), 5);
        for (const TFolderNode *folder :
             {catalog.RootFolders()[0].get(), catalog.RootFolders()[0]->SubFolders()[0].get()}) {
            QCOMPARE(folder->RecordCount(), folder->Parent() ? 2 : 3);
            for (const auto &record : folder->Records())
                QCOMPARE(record->RealPath.constData(), folder->Record(0)->RealPath.constData());
        }
        QCOMPARE(catalog.RootFolders()[0]->Record(0)->RealPath, data);
    }

    void folderNamesAreReusedOnlyWhenExactlyEqual()
    {
        TCatalog catalog;
        TFolderNode *photos = catalog.AddFolder(nullptr, QStringLiteral("Photos"));
        AddRecordAtPath(catalog, QStringLiteral("photos\\2008\\"), std::make_unique<TFileDat>());
        AddRecordAtPath(catalog, QStringLiteral("Photos\\2008\\"), std::make_unique<TFileDat>());
        QCOMPARE(folderNames(catalog),
                 QStringList({"Photos\\(0)", "Photos\\2008\\(1)", "photos\\(0)", "photos\\2008\\(1)"}));
        QCOMPARE(photos->ImageIndex(), 0);
        QCOMPARE(photos->SubFolders().front()->ImageIndex(), 2);
    }
};

QTEST_GUILESS_MAIN(TestFolderScan)
#include "tst_folderscan.moc"
