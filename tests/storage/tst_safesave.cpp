// Saving over an existing catalog never leaves the user without a complete catalog: not when a
// step fails, and not when the program is killed at any moment of the save.

#include "CatalogFile.h"
#include "SaveGenerations.h"
#include "StorageErrors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sys/stat.h>

namespace {

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

ino_t inodeOf(const QString &path)
{
    struct stat facts;
    return ::lstat(QFile::encodeName(path).constData(), &facts) == 0 ? facts.st_ino : 0;
}

TCatalog *generation(char name, int records)
{
    auto *catalog = new TCatalog;
    SaveTest::BuildGeneration(*catalog, name, records);
    return catalog;
}

// The fingerprint of the catalog in the file, or the error that loading it gave.
QByteArray loadedFingerprint(const QString &path)
{
    TCatalog catalog;
    try {
        if (!LoadCatalog(catalog, path))
            return "no file";
    } catch (const EStorageError &error) {
        return QByteArray("error: ") + error.what();
    }
    return SaveTest::Fingerprint(catalog);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

} // namespace

class TestSafeSave : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp;                 // this process's and its children's temporary folder
    QTemporaryDir m_disk;                 // made before the temporary folder changes, so it lies outside it
    std::unique_ptr<QTemporaryDir> m_dir; // a fresh one for each test

    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList catalogAndBackup() const { return {QStringLiteral("cat.bak"), QStringLiteral("cat.dat")}; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_temp.isValid() && m_disk.isValid());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
    }
    void init() { m_dir = std::make_unique<QTemporaryDir>(m_disk.filePath(QStringLiteral("XXXXXX"))); }
    // The temporary document has no name from the moment it is open.
    void cleanup() { QCOMPARE(entriesOf(m_temp.path()), QStringList()); }

    void previousCatalogStaysAsBackupUntilTheNextOneIsComplete()
    {
        std::unique_ptr<TCatalog> a(generation('a', 10)), b(generation('b', 10)), c(generation('c', 10));
        SaveCatalog(*a, path("cat.dat"));
        const ino_t first = inodeOf(path("cat.dat"));
        SaveCatalog(*b, path("cat.dat"));
        QCOMPARE(entriesOf(m_dir->path()), catalogAndBackup());
        QCOMPARE(loadedFingerprint(path("cat.dat")), SaveTest::Fingerprint(*b));
        QCOMPARE(loadedFingerprint(path("cat.bak")), SaveTest::Fingerprint(*a));
        // The very file, not a copy of it: the previous catalog was never rewritten.
        QCOMPARE(inodeOf(path("cat.bak")), first);

        SaveCatalog(*c, path("cat.dat"));
        QCOMPARE(entriesOf(m_dir->path()), catalogAndBackup());
        QCOMPARE(loadedFingerprint(path("cat.dat")), SaveTest::Fingerprint(*c));
        QCOMPARE(loadedFingerprint(path("cat.bak")), SaveTest::Fingerprint(*b));
    }

    void leftoversOfAnInterruptedSaveAreRemovedByTheNext()
    {
        const QStringList ours{".cat.dat.k3j9aq2z.tmp", ".cat.dat.00000000.tmp"};
        const QStringList others{".cat.dat.K3J9AQ2Z.tmp", ".cat.dat.short.tmp", ".other.dat.k3j9aq2z.tmp",
                                 "cat.dat.k3j9aq2z.tmp"};
        for (const QString &name : ours + others)
            writeFile(path(name), "left");
        std::unique_ptr<TCatalog> a(generation('a', 3));
        SaveCatalog(*a, path("cat.dat"));
        QStringList expected = others;
        expected << QStringLiteral("cat.dat");
        expected.sort();
        QCOMPARE(entriesOf(m_dir->path()), expected);
    }

    void failureAtAnyStepKeepsThePreviousCatalog_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<char>("backupAfter");
        QTest::newRow("new file synced") << int(TReplaceStep::Synced) << 'o';
        QTest::newRow("previous file linked") << int(TReplaceStep::BackupLinked) << 'o';
        QTest::newRow("previous file is the backup") << int(TReplaceStep::BackupInPlace) << 'a';
    }
    void failureAtAnyStepKeepsThePreviousCatalog()
    {
        QFETCH(int, step);
        QFETCH(char, backupAfter);
        std::unique_ptr<TCatalog> older(generation('o', 5)), a(generation('a', 5)), b(generation('b', 5));
        SaveCatalog(*older, path("cat.dat"));
        SaveCatalog(*a, path("cat.dat"));
        QVERIFY_THROWS_EXCEPTION(EFileError,
                                 SaveCatalog(*b, path("cat.dat"), {}, [step](TReplaceStep reached) {
                                     if (int(reached) == step)
                                         throw EFileError(QStringLiteral("refused here"));
                                 }));
        QCOMPARE(entriesOf(m_dir->path()), catalogAndBackup());
        QCOMPARE(loadedFingerprint(path("cat.dat")), SaveTest::Fingerprint(*a));
        QCOMPARE(loadedFingerprint(path("cat.bak")), SaveTest::Fingerprint(backupAfter == 'o' ? *older : *a));
    }

    // The child saves generation "new" over generation "old" and is killed: at evenly spread
    // moments of its save, and at each moment of putting the file in place. Every time the
    // catalog under its name must load whole, as one generation or the other, and the next save
    // must leave exactly the catalog and its backup.
    void killedAtAnyMomentLeavesACompleteCatalog()
    {
        constexpr int Records = 30000;
        constexpr int TimedKills = 28;
        const QString catalogPath = path("cat.dat");
        std::unique_ptr<TCatalog> oldOne(generation('o', Records)), newOne(generation('n', Records));
        const QByteArray oldPrint = SaveTest::Fingerprint(*oldOne), newPrint = SaveTest::Fingerprint(*newOne);
        SaveCatalog(*oldOne, catalogPath);
        SaveCatalog(*oldOne, catalogPath);

        auto startChild = [&](QProcess &child, const QString &stopAt) {
            QStringList arguments{catalogPath, QStringLiteral("n"), QString::number(Records)};
            if (!stopAt.isEmpty())
                arguments << stopAt;
            child.start(QStringLiteral(DRAVIK_SAVE_CHILD), arguments);
            while (!child.canReadLine() && child.waitForReadyRead(60'000)) {
            }
            return child.readLine() == "ready\n";
        };

        // How long a whole save takes, to spread the kills over it.
        QProcess whole;
        QVERIFY(startChild(whole, {}));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(whole.waitForFinished(300'000));
        const qint64 saveMs = clock.elapsed();
        QCOMPARE(loadedFingerprint(catalogPath), newPrint);

        QStringList moments;
        for (int i = 0; i < TimedKills; ++i)
            moments << QString::number((2 * i + 1) * saveMs / (2 * TimedKills));
        moments << QStringLiteral("synced") << QStringLiteral("linked") << QStringLiteral("backup")
                << QStringLiteral("replaced");
        int oldSeen = 0, newSeen = 0, endedBeforeKill = 0;
        for (const QString &moment : moments) {
            SaveCatalog(*oldOne, catalogPath); // the next save after a kill, and the start of this one
            QCOMPARE(entriesOf(m_dir->path()), catalogAndBackup());

            bool isTime = false;
            const qint64 afterMs = moment.toLongLong(&isTime);
            QProcess child;
            QVERIFY(startChild(child, isTime ? QString() : moment));
            if (isTime) {
                QThread::msleep(quint64(afterMs));
                if (child.state() != QProcess::Running)
                    ++endedBeforeKill;
                child.kill();
            }
            QVERIFY(child.waitForFinished(300'000));
            if (!isTime)
                QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            const QByteArray found = loadedFingerprint(catalogPath);
            QVERIFY2(found == oldPrint || found == newPrint,
                     qPrintable(QStringLiteral("killed at %1: %2").arg(moment, QString::fromUtf8(found))));
            (found == oldPrint ? oldSeen : newSeen)++;
            if (!isTime) {
                const QByteArray backup = loadedFingerprint(path("cat.bak"));
                QVERIFY2(backup == oldPrint || backup == newPrint,
                         qPrintable(moment + QStringLiteral(": ") + QString::fromUtf8(backup)));
            }
            if (moment == QStringLiteral("replaced"))
                QCOMPARE(found, newPrint);
            else if (!isTime)
                QCOMPARE(found, oldPrint);
        }
        SaveCatalog(*oldOne, catalogPath);
        QCOMPARE(entriesOf(m_dir->path()), catalogAndBackup());
        qInfo("%lld kills over a save of %d records taking %lld ms: old catalog %d times, new %d times, "
              "%d saves ended before their kill",
              qint64(moments.size()), Records, saveMs, oldSeen, newSeen, endedBeforeKill);
        QVERIFY(oldSeen > 0 && newSeen > 0);
    }
};

QTEST_GUILESS_MAIN(TestSafeSave)
#include "tst_safesave.moc"
