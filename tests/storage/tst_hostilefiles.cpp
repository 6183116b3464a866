// Files and disks that fight back: something that is not a file given as the catalog, a file
// that inflates beyond the temporary folder, a full disk, a full temporary folder, a read-only
// drive, a drive without hard links. Each ends with a clear error or a proper save, and the
// previous catalog, its backup and the temporary folder are as they were.
//
// The disks are small file systems that the test mounts when it runs as root (CI does); the
// cases that need one are skipped with the reason otherwise.

#include "Catalog.h"
#include "CatalogFile.h"
#include "CsvExport.h"
#include "SaveGenerations.h"
#include "StorageErrors.h"
#include "TestMounts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <zlib.h>

using TestMounts::TMount;

namespace {

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

template <typename Operation>
QString errorOf(Operation &&operation)
{
    try {
        operation();
    } catch (const EStorageError &error) {
        return error.Message();
    }
    return QStringLiteral("(no error)");
}

// A zlib stream of `megabytes` MiB of zeros, made piece by piece: about a thousandth of its size.
QByteArray zeroBomb(int megabytes)
{
    z_stream z{};
    deflateInit(&z, 9);
    const QByteArray zeros(1 << 20, '\0');
    QByteArray out;
    QByteArray buffer(1 << 16, '\0');
    for (int i = 0; i <= megabytes; ++i) {
        const bool last = i == megabytes;
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        z.avail_in = last ? 0 : uInt(zeros.size());
        do {
            z.next_out = reinterpret_cast<Bytef *>(buffer.data());
            z.avail_out = uInt(buffer.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer.constData(), buffer.size() - qsizetype(z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_base;
    std::unique_ptr<TMount> m_temp; // the temporary folder of this run, when root
    QString m_tempFolder;
    QString m_noMount; // why there is no mount

    std::unique_ptr<TMount> m_disk; // a small disk of each test's own
    std::unique_ptr<TCatalog> m_small, m_large;

    // Mounts a fresh small disk for the test, or skips it.
    bool mountDisk(const QString &size)
    {
        QString why;
        m_disk = TMount::Tmpfs(m_base.filePath(QStringLiteral("disk")), size, &why);
        if (!m_disk)
            qWarning("%s", qPrintable(why));
        return bool(m_disk);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_base.isValid());
        m_temp = TMount::Tmpfs(m_base.filePath(QStringLiteral("temp")), QStringLiteral("16m"), &m_noMount);
        m_tempFolder = m_temp ? m_temp->Path() : m_base.filePath(QStringLiteral("temp"));
        QDir().mkpath(m_tempFolder);
        qputenv("TMPDIR", QFile::encodeName(m_tempFolder));
        m_small.reset(new TCatalog);
        SaveTest::BuildGeneration(*m_small, 's', 20);
        m_large.reset(new TCatalog);
        SaveTest::BuildGeneration(*m_large, 'l', 20000);
    }
    void cleanupTestCase()
    {
        m_disk.reset();
        m_temp.reset();
    }
    void cleanup()
    {
        m_disk.reset();
        QCOMPARE(entriesOf(m_tempFolder), QStringList());
    }

    void whatIsNotAFileIsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder") << "folder"
                                << "is a folder, not a registry file";
        QTest::newRow("fifo without writer") << "fifo"
                                             << "is not a regular file";
        QTest::newRow("link to a fifo") << "link"
                                        << "is not a regular file";
        QTest::newRow("endless device") << "device"
                                        << "is not a regular file";
    }
    void whatIsNotAFileIsRefusedAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("catalog.dat"));
        if (kind == QStringLiteral("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QStringLiteral("device")) {
            path = QStringLiteral("/dev/zero");
        } else {
            const QString fifo = dir.filePath(QStringLiteral("fifo"));
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
            if (kind == QStringLiteral("link"))
                QVERIFY(QFile::link(fifo, path));
            else
                path = fifo;
        }
        TCatalog catalog;
        catalog.AddFolder(nullptr, QStringLiteral("replaced by the load"));
        // A read of the FIFO would wait for a writer forever, one of the device would never end.
        QCOMPARE(errorOf([&] { LoadCatalog(catalog, path); }), u'"' + path + QStringLiteral("\" ") + message);
        QVERIFY(!catalog.HasFolders());
    }

    void savingOverWhatIsNotAFileIsRefused()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo.dat"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(errorOf([&] { SaveCatalog(*m_small, fifo); }),
                 QStringLiteral("Cannot save the registry as \"%1\": it is not a regular file").arg(fifo));
        QCOMPARE(errorOf([&] { SaveCatalog(*m_small, dir.path()); }),
                 QStringLiteral("Cannot save the registry as \"%1\": it is a folder").arg(dir.path()));
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("fifo.dat")});
    }

    void fileInflatingBeyondTheTemporaryFolderEndsWithAClearError()
    {
        if (!m_temp)
            QSKIP(qPrintable(m_noMount));
        QTemporaryDir dir;
        const QString bomb = dir.filePath(QStringLiteral("bomb.dat"));
        writeFile(bomb, zeroBomb(1024)); // 1 GiB of zeros in about a megabyte
        const qint64 freeBefore = TestMounts::FreeBytes(m_tempFolder);
        TCatalog catalog;
        const QString error = errorOf([&] { LoadCatalog(catalog, bomb); });
        QVERIFY2(error.startsWith(QStringLiteral("Cannot write to \"") + m_tempFolder) &&
                     error.endsWith(QStringLiteral("No space left on device")),
                 qPrintable(error));
        QVERIFY(!catalog.HasFolders());
        QCOMPARE(TestMounts::FreeBytes(m_tempFolder), freeBefore);
    }

    void fullDiskKeepsThePreviousCatalogAndExport()
    {
        if (!mountDisk(QStringLiteral("1m")))
            QSKIP(qPrintable(m_noMount));
        const QString catalog = m_disk->FilePath(QStringLiteral("cat.dat"));
        const QString csv = m_disk->FilePath(QStringLiteral("cat.csv"));
        SaveCatalog(*m_small, catalog);
        SaveCatalog(*m_small, catalog);
        ExportCatalogCsvFile(*m_small, csv);
        const QByteArray before = contentOf(catalog),
                         backup = contentOf(m_disk->FilePath(QStringLiteral("cat.bak"))),
                         exported = contentOf(csv);
        TestMounts::FillUp(m_disk->Path());
        const QStringList entries = entriesOf(m_disk->Path());

        const QString saveError = errorOf([&] { SaveCatalog(*m_large, catalog); });
        QVERIFY2(saveError.endsWith(QStringLiteral("No space left on device")), qPrintable(saveError));
        const QString exportError = errorOf([&] { ExportCatalogCsvFile(*m_large, csv); });
        QVERIFY2(exportError.endsWith(QStringLiteral("No space left on device")), qPrintable(exportError));

        QCOMPARE(entriesOf(m_disk->Path()), entries);
        QCOMPARE(contentOf(catalog), before);
        QCOMPARE(contentOf(m_disk->FilePath(QStringLiteral("cat.bak"))), backup);
        QCOMPARE(contentOf(csv), exported);
    }

    void fullTemporaryFolderKeepsThePreviousCatalog()
    {
        if (!m_temp)
            QSKIP(qPrintable(m_noMount));
        QTemporaryDir dir;
        const QString catalog = dir.filePath(QStringLiteral("cat.dat"));
        SaveCatalog(*m_small, catalog);
        const QByteArray before = contentOf(catalog);
        const QString filler = TestMounts::FillUp(m_tempFolder);
        const QString error = errorOf([&] { SaveCatalog(*m_large, catalog); });
        QFile::remove(filler);
        QVERIFY2(error.endsWith(QStringLiteral("No space left on device")), qPrintable(error));
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("cat.dat")});
        QCOMPARE(contentOf(catalog), before);
    }

    void readOnlyDriveKeepsThePreviousCatalogAndExport()
    {
        if (!mountDisk(QStringLiteral("4m")))
            QSKIP(qPrintable(m_noMount));
        const QString catalog = m_disk->FilePath(QStringLiteral("cat.dat"));
        const QString csv = m_disk->FilePath(QStringLiteral("cat.csv"));
        SaveCatalog(*m_small, catalog);
        SaveCatalog(*m_small, catalog);
        ExportCatalogCsvFile(*m_small, csv);
        const QByteArray before = contentOf(catalog), exported = contentOf(csv);
        QVERIFY(m_disk->SetReadOnly(true));

        const QString message = QStringLiteral("Cannot write \"%1\": Read-only file system");
        QCOMPARE(errorOf([&] { SaveCatalog(*m_large, catalog); }), message.arg(catalog));
        QCOMPARE(errorOf([&] { ExportCatalogCsvFile(*m_large, csv); }), message.arg(csv));
        QCOMPARE(entriesOf(m_disk->Path()), (QStringList{QStringLiteral("cat.bak"), QStringLiteral("cat.csv"),
                                                         QStringLiteral("cat.dat")}));
        QCOMPARE(contentOf(catalog), before);
        QCOMPARE(contentOf(csv), exported);
        QVERIFY(m_disk->SetReadOnly(false));
    }

    void folderWithoutWritePermissionKeepsThePreviousCatalog()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into any folder; the read-only drive stands in for this case");
        QTemporaryDir dir;
        const QString catalog = dir.filePath(QStringLiteral("cat.dat"));
        SaveCatalog(*m_small, catalog);
        const QByteArray before = contentOf(catalog);
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const QString error = errorOf([&] { SaveCatalog(*m_large, catalog); });
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(error, QStringLiteral("Cannot write \"%1\": Permission denied").arg(catalog));
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("cat.dat")});
        QCOMPARE(contentOf(catalog), before);
    }

    // exFAT and FAT drives have no hard links: the previous file is renamed to the backup and the
    // new one renamed after it, and the files afterwards are the same.
    void driveWithoutHardLinksKeepsOneBackup()
    {
        QString why;
        m_disk = TMount::Exfat(m_base.filePath(QStringLiteral("exfat")),
                               m_base.filePath(QStringLiteral("exfat.img")), &why);
        if (!m_disk)
            QSKIP(qPrintable(why));
        std::unique_ptr<TCatalog> other(new TCatalog);
        SaveTest::BuildGeneration(*other, 'o', 20);
        const QString catalog = m_disk->FilePath(QStringLiteral("cat.dat"));
        SaveCatalog(*m_small, catalog);
        const QByteArray first = contentOf(catalog);
        QList<TReplaceStep> steps;
        SaveCatalog(*other, catalog, {}, [&steps](TReplaceStep step) { steps << step; });
        QCOMPARE(steps, (QList<TReplaceStep>{TReplaceStep::Synced, TReplaceStep::BackupInPlace,
                                             TReplaceStep::Replaced}));
        QCOMPARE(entriesOf(m_disk->Path()),
                 (QStringList{QStringLiteral("cat.bak"), QStringLiteral("cat.dat")}));
        QCOMPARE(contentOf(m_disk->FilePath(QStringLiteral("cat.bak"))), first);
        TCatalog loaded;
        QVERIFY(LoadCatalog(loaded, catalog));
        QCOMPARE(SaveTest::Fingerprint(loaded), SaveTest::Fingerprint(*other));
    }
};

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
