// "Export registry (CSV format)" chosen from the menu: the dialog, the status texts, the file,
// and the window left usable when the file cannot be written.

#include "CsvExport.h"
#include "FormFixture.h"
#include "ProgressCyl.h"

#include <QAction>
#include <QPushButton>

class TestExport : public QObject
{
    Q_OBJECT

    static void exportRegistry(TFormFixture &f)
    {
        f.Form->findChild<QAction *>(QStringLiteral("MorExportregistry"))->trigger();
    }

private Q_SLOTS:
    void emptyTreeHasNothingToExport()
    {
        TFormFixture f;
        exportRegistry(f);
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Error")),
                 QStringList{QStringLiteral("No files to proceed.")});
        QVERIFY(f.Prompts.FileRequests.isEmpty());
    }

    void exportWritesOneLinePerRecord_data()
    {
        QTest::addColumn<int>("records");
        QTest::newRow("folders without records") << 0;
        QTest::newRow("two records") << 2;
    }
    void exportWritesOneLinePerRecord()
    {
        QFETCH(int, records);
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = f.Catalog().AddFolder(home, QStringLiteral("Photos"));
        for (int i = 0; i < records; ++i)
            f.AddRecord(photos, QStringLiteral("r%1.txt").arg(i));
        const QString target = f.Disk.filePath(QStringLiteral("out.csv"));
        f.Prompts.PlanFile(TPrompts::TFileChoice{target, 0});
        exportRegistry(f);

        QCOMPARE(f.Prompts.FileRequests.size(), 1);
        QCOMPARE(f.Prompts.FileRequests[0].Filter,
                 QStringLiteral("CSV files (*.csv)|*.csv|All files (*.*)|*.*"));
        QCOMPARE(f.Prompts.FileRequests[0].DefaultExtension, QStringLiteral("csv"));
        QCOMPARE(f.Prompts.FileRequests[0].ProposedName, QStringLiteral("Dravik"));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), records + 2); // the last line end leaves an empty piece
        QCOMPARE(lines.first(), QByteArray(CsvHeader) + '\r');
        QCOMPARE(f.Form->StatusText(), QStringLiteral("Dravik exported, %1 records").arg(records));
        QVERIFY(!f.Form->Busy());
        QVERIFY(f.Widget<QPushButton>("LoadMdRegBt")->isEnabled());
        QVERIFY(!f.Form->Modified());
    }

    void unwritableTargetRestoresTheWindow()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        f.AddRecord(home, QStringLiteral("a.txt"));
        f.Prompts.PlanFile(TPrompts::TFileChoice{f.Disk.filePath(QStringLiteral("a.txt/out.csv")), 0});
        exportRegistry(f);

        QCOMPARE(f.Prompts.Texts(QStringLiteral("StandardError")).size(), 1);
        QVERIFY(!f.Form->Busy());
        QVERIFY(f.Widget<QPushButton>("LoadMdRegBt")->isEnabled());
        QVERIFY(f.Widget<QPushButton>("SearchAllDupBt")->isEnabled());
        QCOMPARE(f.Form->StatusText(), QString());
        QCOMPARE(f.Widget<TProgressCyl>("ProgressBar")->Position(), 0);
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
