#include "FolderScan.h"
#include "LongPathChain.h"
#include "TestMounts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

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

// Root reads every folder whatever its permissions; without the two capabilities that allow it,
// a folder of mode 000 is unreadable to root too. Restored when the guard goes.
class TPermissionsApply
{
public:
    TPermissionsApply()
    {
        if (!get(m_saved))
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            reduced[capability / 32].effective &= ~(1u << (capability % 32));
        m_changed = set(reduced);
    }
    ~TPermissionsApply()
    {
        if (m_changed)
            set(m_saved);
    }

private:
    static bool get(__user_cap_data_struct *data)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capget, &header, data) == 0;
    }
    static bool set(__user_cap_data_struct *data)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capset, &header, data) == 0;
    }
    __user_cap_data_struct m_saved[2]{};
    bool m_changed = false;
};

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

    // The names are made in an order that is neither sorted nor reversed, so that no file system
    // (one that lists by hash, or the newest first) hands them back in name order by chance.
    void foldersAndRecordsComeInNameOrder()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data/");
        for (const char *name : {"m.bin", "B.bin", "z.bin", "a.bin", "b.bin", "A.bin", "mid/f", "Zeta/f",
                                 "alpha/inner/f", "beta/f"})
            writeFile(data + QString::fromLatin1(name), 1);

        TCatalog catalog;
        AddFolderStructure(catalog, QString(), data);
        const TFolderNode *top = catalog.RootFolders().front().get();
        QStringList records;
        for (const auto &record : top->Records())
            records << record->FileName;
        // Letter case aside, then the exact name: "A" before "a".
        QCOMPARE(records, QStringList({"A.bin", "a.bin", "B.bin", "b.bin", "m.bin", "z.bin"}));
        QStringList folders;
        for (const auto &folder : top->SubFolders())
            folders << folder->Name();
        // "alpha" holds no file of its own: its folder still comes first.
        QCOMPARE(folders, QStringList({"alpha", "beta", "mid", "Zeta"}));
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

    void diskNamesStayWholeAndWhatCannotBeReadIsCounted()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data");
        // "\" is the catalog's separator but an ordinary character of a disk name.
        writeFile(data + QStringLiteral("/a\\b/f.txt"), 1);
        writeFile(data + QStringLiteral("/locked/inside/g.txt"), 1);
        // Bytes that are no UTF-8 text: a record under the decoded name would open another file.
        const QByteArray odd = QFile::encodeName(data) + "/odd\xff.txt";
        QVERIFY(::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        // A file whose path no call that names it whole can open.
        const TLongPathChain deep(data);
        QVERIFY(deep.Complete());
        QVERIFY(QFile::setPermissions(data + QStringLiteral("/locked"), {}));

        TCatalog catalog;
        TWalkReport report;
        {
            const TPermissionsApply permissions;
            QCOMPARE(AddFolderStructure(catalog, QString(), data, {}, &report), 1);
        }
        QFile::setPermissions(data + QStringLiteral("/locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TFolderNode *folder = catalog.FindChildFolder(
            catalog.FindChildFolder(nullptr, QStringLiteral("Data")), QStringLiteral("a\\b"));
        QVERIFY(folder);
        QCOMPARE(folder->RecordCount(), 1);
        QCOMPARE(folder->Record(0)->RealPath, data + QStringLiteral("/a\\b/"));
        QCOMPARE(report.UnreadableFolders.Count, 1);
        QCOMPARE(report.UnreadableFolders.FirstPaths,
                 std::vector<QByteArray>{QFile::encodeName(data + QStringLiteral("/locked/"))});
        QCOMPARE(report.UnusableNames.Count, 1);
        QCOMPARE(report.UnusableNames.FirstPaths, std::vector<QByteArray>{odd});
        QCOMPARE(report.LongPaths.Count, 1);
        QCOMPARE(report.LongPaths.FirstPaths,
                 std::vector<QByteArray>{QFile::encodeName(deep.FirstTooLong())});
    }

    void pseudoFileSystemsAreNotEntered()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("real.txt")), 1);
        QString why;
        const QString processes = dir.filePath(QStringLiteral("processes"));
        QDir().mkpath(processes);
        if (::geteuid() != 0)
            QSKIP("mounting a file system needs root");
        if (!TestMounts::runs(QStringLiteral("mount"), {"-t", "proc", "proc", processes}, &why))
            QSKIP(qPrintable(why));
        QStringList files;
        CollectFiles(dir.path(), files);
        TestMounts::runs(QStringLiteral("umount"), {processes}, nullptr);
        QCOMPARE(relativeTo(dir.path() + u'/', files), QStringList({"real.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestFolderScan)
#include "tst_folderscan.moc"
