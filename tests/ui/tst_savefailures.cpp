// The window when the disk refuses a save or an export (full, read-only, a full temporary
// folder) and when a catalog nests its folders 200,000 levels deep: the error in the standard
// error box, the catalog still modified, the files on disk as they were, the window usable.
//
// Each case runs twice: on small file systems mounted by the test as root (CI runs as root;
// without root those rows are skipped with the reason), and on plain folders whose refusals come
// from the storage layer's fault hook (TDiskFaults), as the mounted disk gives them, for anyone.

#include "CatalogFile.h"
#include "CsvExport.h"
#include "DiskFiles.h"
#include "FolderTreeModel.h"
#include "FormFixture.h"
#include "NestedCatalogs.h"
#include "ProgressCyl.h"
#include "SaveGenerations.h"
#include "TestMounts.h"

#include <QAction>
#include <QPushButton>
#include <algorithm>
#include <cerrno>
#include <optional>

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

} // namespace

class TestSaveFailures : public QObject
{
    Q_OBJECT

    QTemporaryDir m_base;
    std::unique_ptr<TMount> m_temp; // the temporary folder of this run, when root
    QString m_tempFolder;
    QString m_noMount;
    std::unique_ptr<TMount> m_disk;
    std::optional<TDiskFaults> m_faults;
    int m_plainDisks = 0;

    static void addDiskKinds()
    {
        QTest::addColumn<bool>("mounted");
        QTest::newRow("mounted file system") << true;
        QTest::newRow("fault hook") << false;
    }

    // A small disk holding a saved catalog and its backup and an export: a mounted file system of
    // the size, or a plain folder. Its folder; empty when it cannot be mounted (m_noMount says why).
    QString diskWithCatalog(bool mounted, const QString &size)
    {
        QString folder;
        if (mounted) {
            m_disk = TMount::Tmpfs(m_base.filePath(QStringLiteral("disk")), size, &m_noMount);
            if (!m_disk)
                return {};
            folder = m_disk->Path();
        } else {
            folder = m_base.filePath(QStringLiteral("plain%1").arg(++m_plainDisks));
            QDir().mkpath(folder);
        }
        TCatalog previous;
        SaveTest::BuildGeneration(previous, 'p', 20);
        SaveCatalog(previous, folder + QStringLiteral("/cat.dat"));
        SaveCatalog(previous, folder + QStringLiteral("/cat.dat"));
        ExportCatalogCsvFile(previous, folder + QStringLiteral("/cat.csv"));
        return folder;
    }

    // The disk refuses the steps below the folder with the error, from now on.
    void refuse(const QString &folder, std::initializer_list<TDiskStep> steps, int error)
    {
        const std::vector<TDiskStep> refused(steps);
        m_faults.emplace([folder = folder + u'/', refused, error](TDiskStep step, const QString &path) {
            const bool there = path.startsWith(folder);
            return there && std::find(refused.begin(), refused.end(), step) != refused.end() ? error : 0;
        });
    }

    // The folder full up: the last byte of a mounted disk taken, or every write there refused.
    // Gives what makes room again.
    std::function<void()> fillUp(bool mounted, const QString &folder)
    {
        if (mounted)
            return [filler = TestMounts::FillUp(folder)] { QFile::remove(filler); };
        refuse(folder, {TDiskStep::Write, TDiskStep::Sync}, ENOSPC);
        return [this] { m_faults.reset(); };
    }

    // The disk's files and their contents.
    static QStringList snapshot(const QString &folder)
    {
        QStringList files;
        for (const QString &name : entriesOf(folder))
            files << name + u'=' + QString::number(qHash(contentOf(folder + u'/' + name)));
        return files;
    }

    static void fillWindowCatalog(TFormFixture &f)
    {
        SaveTest::BuildGeneration(f.Catalog(), 'w', 20000);
        f.Form->MarkModified();
    }

    static void saveAs(TFormFixture &f, const QString &path)
    {
        f.Prompts.PlanFile(TPrompts::TFileChoice{path, 0});
        f.Widget<QPushButton>("SaveMdBt")->click();
    }

    static void exportAs(TFormFixture &f, const QString &path)
    {
        f.Prompts.PlanFile(TPrompts::TFileChoice{path, 0});
        f.Form->findChild<QAction *>(QStringLiteral("MorExportregistry"))->trigger();
    }

    // Commands on, Busy clear, no "please wait" text, progress back at 0.
    static void verifyWindowUsable(TFormFixture &f)
    {
        QVERIFY(!f.Form->Busy());
        QVERIFY(f.Widget<QPushButton>("LoadMdRegBt")->isEnabled());
        QVERIFY(f.Widget<QPushButton>("AddFoldersBt")->isEnabled());
        QCOMPARE(f.Form->StatusText(), QString());
        QCOMPARE(f.Widget<TProgressCyl>("ProgressBar")->Position(), 0);
    }

    // One standard error box ending in the given text; the catalog still counts as modified.
    static void verifyFailedSave(TFormFixture &f, const QString &ending)
    {
        const QStringList errors = f.Prompts.Texts(QStringLiteral("StandardError"));
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().endsWith(ending), qPrintable(errors.first()));
        QVERIFY(f.Form->Modified());
        verifyWindowUsable(f);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_base.isValid());
        m_temp = TMount::Tmpfs(m_base.filePath(QStringLiteral("temp")), QStringLiteral("64m"), &m_noMount);
        m_tempFolder = m_temp ? m_temp->Path() : m_base.filePath(QStringLiteral("temp"));
        QDir().mkpath(m_tempFolder);
        qputenv("TMPDIR", QFile::encodeName(m_tempFolder));
    }
    void cleanup()
    {
        m_faults.reset();
        m_disk.reset();
        QCOMPARE(entriesOf(m_tempFolder), QStringList());
    }
    void cleanupTestCase() { m_temp.reset(); }

    void saveOntoAFullDiskKeepsTheFilesAndTheWindow_data() { addDiskKinds(); }
    void saveOntoAFullDiskKeepsTheFilesAndTheWindow()
    {
        QFETCH(bool, mounted);
        const QString disk = diskWithCatalog(mounted, QStringLiteral("1m"));
        if (disk.isEmpty())
            QSKIP(qPrintable(m_noMount));
        const std::function<void()> makeRoom = fillUp(mounted, disk);
        const QStringList before = snapshot(disk);
        TFormFixture f;
        fillWindowCatalog(f);
        saveAs(f, disk + QStringLiteral("/cat.dat"));
        verifyFailedSave(f, QStringLiteral(": No space left on device."));
        QCOMPARE(snapshot(disk), before);

        exportAs(f, disk + QStringLiteral("/cat.csv"));
        QCOMPARE(f.Prompts.Texts(QStringLiteral("StandardError")).size(), 2);
        QVERIFY(f.Prompts.LastText().endsWith(QStringLiteral(": No space left on device.")));
        verifyWindowUsable(f);
        QCOMPARE(snapshot(disk), before);

        // Room again: the same window saves.
        makeRoom();
        saveAs(f, disk + QStringLiteral("/cat.dat"));
        QVERIFY(!f.Form->Modified());
        QVERIFY(f.Form->StatusText().startsWith(QStringLiteral("registry saved, ")));
        QCOMPARE(entriesOf(disk), (QStringList{QStringLiteral("cat.bak"), QStringLiteral("cat.csv"),
                                               QStringLiteral("cat.dat")}));
        QVERIFY(f.Prompts.Unplanned.isEmpty());
    }

    void saveOntoAReadOnlyDriveKeepsTheFilesAndTheWindow_data() { addDiskKinds(); }
    void saveOntoAReadOnlyDriveKeepsTheFilesAndTheWindow()
    {
        QFETCH(bool, mounted);
        const QString disk = diskWithCatalog(mounted, QStringLiteral("4m"));
        if (disk.isEmpty())
            QSKIP(qPrintable(m_noMount));
        const QStringList before = snapshot(disk);
        if (mounted)
            QVERIFY(m_disk->SetReadOnly(true));
        else
            refuse(disk, {TDiskStep::Create, TDiskStep::Write, TDiskStep::Link, TDiskStep::Rename}, EROFS);
        TFormFixture f;
        fillWindowCatalog(f);
        const QString catalog = disk + QStringLiteral("/cat.dat");
        saveAs(f, catalog);
        QCOMPARE(f.Prompts.Texts(QStringLiteral("StandardError")),
                 QStringList{QStringLiteral("Cannot write \"%1\": Read-only file system.").arg(catalog)});
        verifyFailedSave(f, QStringLiteral("Read-only file system."));
        exportAs(f, disk + QStringLiteral("/cat.csv"));
        QVERIFY(f.Prompts.LastText().endsWith(QStringLiteral(": Read-only file system.")));
        verifyWindowUsable(f);
        if (mounted)
            QVERIFY(m_disk->SetReadOnly(false));
        QCOMPARE(snapshot(disk), before);
    }

    void saveWithAFullTemporaryFolderKeepsTheFilesAndTheWindow_data() { addDiskKinds(); }
    void saveWithAFullTemporaryFolderKeepsTheFilesAndTheWindow()
    {
        QFETCH(bool, mounted);
        if (mounted && !m_temp)
            QSKIP(qPrintable(m_noMount));
        const QString disk = diskWithCatalog(mounted, QStringLiteral("4m"));
        if (disk.isEmpty())
            QSKIP(qPrintable(m_noMount));
        const QStringList before = snapshot(disk);
        TFormFixture f;
        fillWindowCatalog(f);
        const std::function<void()> makeRoom = fillUp(mounted, m_tempFolder);
        saveAs(f, disk + QStringLiteral("/cat.dat"));
        makeRoom();
        verifyFailedSave(f, QStringLiteral(": No space left on device."));
        QCOMPARE(snapshot(disk), before);
    }

    // 200,000 folders, each inside the one before: loaded, saved again and closed by the window.
    void deeplyNestedCatalogLoadsSavesAndCloses()
    {
        const QString path = m_base.filePath(QStringLiteral("nested.dat"));
        QVERIFY(NestedCatalogs::WriteNestedCatalogFile(path, 200000));
        auto f = std::make_unique<TFormFixture>();
        f->Prompts.PlanFile(TPrompts::TFileChoice{path, 0});
        f->Widget<QPushButton>("LoadMdRegBt")->click();
        QCOMPARE(f->Prompts.Texts(QStringLiteral("StandardError")), QStringList());
        QCOMPARE(f->Form->StatusText(),
                 QStringLiteral("registry ready, ") + SizeText(5, false) + QStringLiteral(" in 1 files."));
        QCOMPARE(f->Catalog().FolderCount(), 200000);
        QCOMPARE(f->FoldersTree()->model()->rowCount(), 1);

        f->Form->MarkModified();
        saveAs(*f, m_base.filePath(QStringLiteral("nested-again.dat")));
        QCOMPARE(f->Prompts.Texts(QStringLiteral("StandardError")), QStringList());
        QVERIFY(!f->Form->Modified());
        f.reset(); // closes the window and frees the catalog
    }
};

QTEST_MAIN(TestSaveFailures)
#include "tst_savefailures.moc"
