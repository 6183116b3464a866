// Saving and loading the registry through the window: dialogs, texts, the modified state, and
// the window left usable (and the user's data safe) when the disk refuses.

#include "FormFixture.h"
#include "ProgressCyl.h"

#include <QPushButton>
#include <QTimer>

namespace {

const QString CatalogFilter = QStringLiteral("Dravik files (*.dat)|*.dat|All files (*.*)|*.*");
const QString UnsavedQuestion = QStringLiteral("The registry was not saved, save now?");

// The catalog as text: folders in pre-order with their depth, then their records' six saved
// fields (the date as saved: to the minute).
QStringList describe(const TCatalog &catalog)
{
    QStringList lines;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        int depth = 0;
        for (const TFolderNode *above = folder->Parent(); above; above = above->Parent())
            ++depth;
        lines << QString(depth, u' ') + folder->Name() + (folder->HasRecordList() ? u'*' : u'-');
        for (const auto &record : folder->Records())
            lines << QStringList{record->FileName,           QString::number(record->Size),
                                 DateText(record->DateTime), record->RealPath,
                                 record->Md5.Text(),         record->Comment}
                         .join(u'|');
    });
    return lines;
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

    static TPrompts::TFileChoice choice(const QString &path, int filterIndex = 0)
    {
        return {path, filterIndex};
    }

    // Home (two records, one without digest), Home\Photos (one record), Empty (no records).
    static void buildCatalog(TFormFixture &f)
    {
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = f.Catalog().AddFolder(home, QStringLiteral("Photos"));
        f.Catalog().AddFolder(nullptr, QStringLiteral("Empty"));
        TFileDat *a = f.AddRecord(home, QStringLiteral("a.txt"), 1500, true, QString(32, u'a'));
        f.Catalog().SetRecordComment(a, QStringLiteral("first; with a semicolon"));
        f.AddRecord(home, QStringLiteral("b.txt"), 2500); // no digest
        f.AddRecord(photos, QStringLiteral("c.jpg"), 3000, true, QString(32, u'c'));
        f.Form->MarkModified();
    }

    static QPushButton *button(TFormFixture &f, const char *name) { return f.Widget<QPushButton>(name); }

    // Commands on, Busy clear, no "please wait" text, progress back at 0.
    static void verifyWindowUsable(TFormFixture &f)
    {
        QVERIFY(!f.Form->Busy());
        QVERIFY(button(f, "LoadMdRegBt")->isEnabled());
        QVERIFY(button(f, "AddFoldersBt")->isEnabled());
        QCOMPARE(f.Form->StatusText(), QString());
        QCOMPARE(f.Widget<TProgressCyl>("ProgressBar")->Position(), 0);
    }

private Q_SLOTS:
    void saveThenLoadGivesTheSameCatalog()
    {
        TFormFixture f;
        buildCatalog(f);
        const QStringList before = describe(f.Catalog());
        const QString path = f.Disk.filePath(QStringLiteral("registry.dat"));

        f.Prompts.PlanFile(choice(f.Disk.filePath(QStringLiteral("registry"))));
        button(f, "SaveMdBt")->click();
        QCOMPARE(f.Prompts.FileRequests.size(), 1);
        QCOMPARE(f.Prompts.FileRequests[0].Filter, CatalogFilter);
        QCOMPARE(f.Prompts.FileRequests[0].ProposedName, QString());
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(f.Form->CatalogFileName, path);
        QCOMPARE(f.Form->StatusText(),
                 QStringLiteral("registry saved, ") + SizeText(7000, false) + QStringLiteral(" in 3 files."));
        QVERIFY(!f.Form->Modified());
        QVERIFY(!f.Form->Busy());

        // Load over a changed catalog; the question comes first.
        f.Catalog().AddFolder(nullptr, QStringLiteral("Scratch"));
        f.Form->MarkModified();
        f.Prompts.PlanNo();
        f.Prompts.PlanFile(choice(path));
        button(f, "LoadMdRegBt")->click();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")), QStringList{UnsavedQuestion});
        QCOMPARE(f.Prompts.FileRequests[1].DefaultExtension, QStringLiteral("dat"));
        QCOMPARE(f.Prompts.FileRequests[1].ProposedName, path);
        QCOMPARE(f.Prompts.FileRequests[1].InitialFolder, f.Disk.path());
        QCOMPARE(describe(f.Catalog()), before);
        QCOMPARE(f.Form->StatusText(),
                 QStringLiteral("registry ready, ") + SizeText(7000, false) + QStringLiteral(" in 3 files."));
        QVERIFY(!f.Form->Modified());
        QVERIFY(!f.Catalog().CurrentFolder());

        // A loaded record without digest waits for the user: nothing is queued or started.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(f.Catalog().Md5Queue().empty());
        QVERIFY(!f.Form->Scheduler().Md5Running());
        QVERIFY(!f.Form->Modified());

        // The second save keeps the first file as the backup.
        f.Form->MarkModified();
        f.Prompts.PlanFile(choice(path));
        button(f, "SaveMdBt")->click();
        QCOMPARE(f.Prompts.FileRequests[2].ProposedName, path);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(QFileInfo::exists(f.Disk.filePath(QStringLiteral("registry.bak"))));
        QVERIFY(f.Prompts.Unplanned.isEmpty());
        QVERIFY(f.Prompts.Texts(QStringLiteral("StandardError")).isEmpty());
    }

    void savedNameFollowsTheChosenFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("saved");
        QTest::newRow("first filter adds .dat") << "mine" << 0 << "mine.dat";
        QTest::newRow("first filter keeps an extension") << "mine.reg" << 0 << "mine.reg";
        QTest::newRow("all files keeps the name as typed") << "mine" << 1 << "mine";
    }
    void savedNameFollowsTheChosenFilter()
    {
        QFETCH(QString, typed);
        QFETCH(int, filterIndex);
        QFETCH(QString, saved);
        TFormFixture f;
        buildCatalog(f);
        f.Prompts.PlanFile(choice(f.Disk.filePath(typed), filterIndex));
        f.Form->SaveMdBtClick();
        QCOMPARE(f.Form->CatalogFileName, f.Disk.filePath(saved));
        QVERIFY(QFileInfo::exists(f.Disk.filePath(saved)));
    }

    void savingAnEmptyCatalogWritesNothing()
    {
        TFormFixture f;
        const QString path = f.MakeFile(QStringLiteral("old.dat"));
        f.Form->MarkModified();
        f.Prompts.PlanFile(choice(path));
        button(f, "SaveMdBt")->click();
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(QFileInfo::exists(f.Disk.filePath(QStringLiteral("old.bak"))));
        QVERIFY(!f.Form->Modified());
        QCOMPARE(f.Form->StatusText(), QString());
    }

    void failedSaveKeepsTheCatalogModified_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("folder that does not exist") << "missing/registry.dat";
        QTest::newRow("parent is a regular file") << "plain.txt/registry.dat";
    }
    void failedSaveKeepsTheCatalogModified()
    {
        QFETCH(QString, target);
        TFormFixture f;
        buildCatalog(f);
        f.MakeFile(QStringLiteral("plain.txt"));
        const QStringList before = describe(f.Catalog());
        f.Prompts.PlanFile(choice(f.Disk.filePath(target)));
        button(f, "SaveMdBt")->click();

        QCOMPARE(f.Prompts.Texts(QStringLiteral("StandardError")).size(), 1);
        QVERIFY(!f.Prompts.Texts(QStringLiteral("StandardError")).first().isEmpty());
        QVERIFY(f.Form->Modified());
        QVERIFY(button(f, "SaveMdBt")->isEnabled());
        verifyWindowUsable(f);
        QCOMPARE(describe(f.Catalog()), before);
    }

    void damagedFileShowsDataErrorAndLeavesAnEmptyCatalog()
    {
        TFormFixture f;
        buildCatalog(f);
        f.Form->MarkModified();
        f.Form->CatalogFileName = QStringLiteral("/previous.dat");
        const QString damaged = f.MakeFile(QStringLiteral("damaged.dat"), 200);
        f.Prompts.PlanNo(); // the unsaved catalog is given up
        f.Prompts.PlanFile(choice(damaged));
        button(f, "LoadMdRegBt")->click();

        // The box names the file; the empty catalog left behind holds nothing unsaved.
        QCOMPARE(f.Prompts.Texts(QStringLiteral("StandardError")),
                 QStringList{QStringLiteral("data error.\r\n") + damaged});
        QVERIFY(!f.Form->Modified());
        QVERIFY(!f.Catalog().HasFolders());
        QCOMPARE(f.Form->CatalogFileName, QStringLiteral("/previous.dat"));
        QVERIFY(f.FoldersTree()->updatesEnabled());
        verifyWindowUsable(f);
    }

    void unsavedQuestionGuardsTheLoad_data()
    {
        QTest::addColumn<int>("answer"); // TPrompts::TAnswer
        QTest::addColumn<bool>("saveFails");
        QTest::newRow("cancel") << int(TPrompts::TAnswer::Cancel) << false;
        QTest::newRow("yes, save dialog cancelled") << int(TPrompts::TAnswer::Yes) << false;
        QTest::newRow("yes, save fails") << int(TPrompts::TAnswer::Yes) << true;
    }
    void unsavedQuestionGuardsTheLoad()
    {
        QFETCH(int, answer);
        QFETCH(bool, saveFails);
        TFormFixture f;
        buildCatalog(f);
        const QStringList before = describe(f.Catalog());
        f.Prompts.PlanAnswer(TPrompts::TAnswer(answer));
        if (answer == int(TPrompts::TAnswer::Yes))
            f.Prompts.PlanFile(saveFails
                                   ? std::optional(choice(f.Disk.filePath(QStringLiteral("no/such.dat"))))
                                   : std::nullopt);
        f.Prompts.PlanFile(choice(f.MakeFile(QStringLiteral("never-loaded.dat"))));
        button(f, "LoadMdRegBt")->click();

        QVERIFY(f.Prompts.Texts(QStringLiteral("Open")).isEmpty());
        QCOMPARE(describe(f.Catalog()), before);
        QVERIFY(f.Form->Modified());
        verifyWindowUsable(f);
    }

    void closingAsksAndKeepsTheWindowUnlessSaved_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs"); // empty: the save dialog is cancelled
        QTest::addColumn<bool>("closes");
        QTest::newRow("cancel") << int(TPrompts::TAnswer::Cancel) << QString() << false;
        QTest::newRow("yes, save dialog cancelled") << int(TPrompts::TAnswer::Yes) << QString() << false;
        QTest::newRow("yes, save fails") << int(TPrompts::TAnswer::Yes) << "no/such.dat" << false;
        QTest::newRow("yes, saved") << int(TPrompts::TAnswer::Yes) << "closing.dat" << true;
        QTest::newRow("no") << int(TPrompts::TAnswer::No) << QString() << true;
    }
    void closingAsksAndKeepsTheWindowUnlessSaved()
    {
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, closes);
        TFormFixture f;
        buildCatalog(f);
        f.Prompts.PlanAnswer(TPrompts::TAnswer(answer));
        if (answer == int(TPrompts::TAnswer::Yes))
            f.Prompts.PlanFile(saveAs.isEmpty() ? std::nullopt
                                                : std::optional(choice(f.Disk.filePath(saveAs))));

        QCOMPARE(f.Form->close(), closes);
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Confirm")), QStringList{UnsavedQuestion});
        QCOMPARE(f.Form->isVisible(), !closes);
        if (!closes)
            QCOMPARE(describe(f.Catalog()).size(), 6);
        if (saveAs == QStringLiteral("closing.dat"))
            QVERIFY(QFileInfo::exists(f.Disk.filePath(saveAs)));
    }

    void closingIsRefusedWhileALoadRuns()
    {
        TFormFixture f;
        for (int i = 0; i < 12; ++i)
            f.Catalog().AddFolder(nullptr, QStringLiteral("F%1").arg(i));
        const QStringList before = describe(f.Catalog());
        const QString path = f.Disk.filePath(QStringLiteral("many.dat"));
        f.Prompts.PlanFile(choice(path));
        f.Form->SaveMdBtClick();

        // Delivered while the load lets events run; closing would dispose of the catalog being read.
        QTimer::singleShot(0, f.Form.get(), [&f] { f.Form->close(); });
        f.Form->LoadCatalog(path);
        QVERIFY(f.Form->isVisible());
        QCOMPARE(describe(f.Catalog()), before);
    }
};

QTEST_MAIN(TestRegistry)
#include "tst_registry.moc"
