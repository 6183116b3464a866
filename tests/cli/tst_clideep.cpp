// dravik-cli on a catalog of folders nested 200,000 levels deep: it reads the file, answers, and
// ends normally (the folders are freed without recursion).

#include "CliTestKit.h"
#include "NestedCatalogs.h"

#include <QTemporaryDir>

class TestCliDeep : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void deeplyNestedCatalogIsReadAndClosed()
    {
        const QString path = m_dir.filePath(QStringLiteral("nested.dat"));
        QVERIFY(NestedCatalogs::WriteNestedCatalogFile(path, 200000));

        const TCliResult dups = RunCliProcess({QStringLiteral("dups"), path});
        CLI_EXPECT_STATUS(dups, 0);
        QCOMPARE(dups.Out, QByteArray("No duplicate files found.\n"));

        // The one record's file is not on this disk.
        const TCliResult verify =
            RunCliProcess({QStringLiteral("verify"), QStringLiteral("--no-digest"), path});
        CLI_EXPECT_STATUS(verify, 1);
        QVERIFY(verify.Out.startsWith("missing\t"));
        QVERIFY(verify.Out.endsWith("checked 1, corrupt 0, edited 0, missing 1, offline 0, unreadable 0, "
                                    "without digest 0, without real path 0\n"));
    }

    void dumpNamesEveryLevel()
    {
        constexpr int Depth = 3000;
        const QString path = m_dir.filePath(QStringLiteral("dump.dat"));
        QVERIFY(NestedCatalogs::WriteNestedCatalogFile(path, Depth));
        const TCliResult dump = RunCliProcess({QStringLiteral("dump"), path});
        CLI_EXPECT_STATUS(dump, 0);
        const QList<QByteArray> lines = dump.Out.split('\n');
        QCOMPARE(lines.size(), Depth + 2); // one per folder, the record, the empty piece after the last
        QCOMPARE(lines[Depth - 1], "D\t" + QByteArray("n\\").repeated(Depth - 1) + "deepest\\");
    }
};

QTEST_GUILESS_MAIN(TestCliDeep)
#include "tst_clideep.moc"
