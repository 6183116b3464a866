#include "DupFixture.h"
#include "DupSetsModel.h"

#include <QPushButton>
#include <QTimer>

class TestDuplicateCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nothingToCompare()
    {
        TDupFixture f;
        // "Check all" on an empty tree does nothing at all.
        f.Form->SearchAllDupBtClick();
        QVERIFY(f.Prompts.Shown.isEmpty());
        f.Form->CheckDupBtClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("Please select a folder and try again."));

        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("one.txt"), 10, true, f.Digest('a'));
        f.AddRecord(folder, QStringLiteral("pending1.txt"));
        f.AddRecord(folder, QStringLiteral("pending2.txt"));
        f.Form->SelectFolder(folder);
        f.Prompts.Clear();
        f.Form->CheckDupBtClick();
        f.Form->SearchAllDupBtClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")),
                 QStringList({"No duplicate files found.", "No duplicate files found."}));
        QCOMPARE(f.Shown, 0);
        // The windows made for the searches are gone again.
        QTRY_VERIFY(f.Form->findChildren<TDupFilesForm *>().isEmpty());
        QVERIFY(!f.Form->Busy());
        QVERIFY(f.Widget<QPushButton>("CheckDupBt")->isEnabled());
    }

    void setsComeInTheOrderOfTheirFirstRecord()
    {
        TDupFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        for (const char *name : {"A1", "B1", "A2", "B2", "A3"})
            f.AddRecord(folder, QString::fromLatin1(name), 10, true, f.Digest(name[0] == 'A' ? 'a' : 'b'));
        f.Form->SelectFolder(folder);

        f.Form->CheckDupBtClick();
        QVERIFY(f.Dup);
        QCOMPARE(f.SetNumbers(), QStringList({"1", "2"}));
        QCOMPARE(f.Sets()->model()->index(1, 0).data(TDupSetsModel::DigestRole).toString(), f.Digest('b'));
        f.SelectSet(0);
        QCOMPARE(f.FileNames(), QStringList({"A1", "A2", "A3"}));
        f.SelectSet(1);
        QCOMPARE(f.FileNames(), QStringList({"B1", "B2"}));
        QVERIFY(f.Prompts.Shown.isEmpty());
    }

    void checkAllLooksAcrossFolders()
    {
        TDupFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *sub = f.Catalog().AddFolder(home, QStringLiteral("Sub"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        // A file added twice is its own duplicate; a record marked missing still counts; letter
        // case makes digests differ.
        f.AddRecord(other, QStringLiteral("other-c.txt"), 10, true, f.Digest('c'));
        f.AddRecord(sub, QStringLiteral("twice.txt"), 10, true, f.Digest('d'));
        f.AddRecord(sub, QStringLiteral("twice.txt"), 10, true, f.Digest('d'));
        TFileDat *missing = f.AddRecord(home, QStringLiteral("gone.txt"), 10, false, f.Digest('c'));
        f.Catalog().SetRecordState(missing, fsMissing);
        f.AddRecord(home, QStringLiteral("lower.txt"), 10, true, f.Digest('e'));
        f.AddRecord(other, QStringLiteral("upper.txt"), 10, true, f.Digest('E'));

        f.Form->SelectFolder(other);
        f.Form->CheckDupBtClick();
        QCOMPARE(f.Prompts.LastText(), QStringLiteral("No duplicate files found."));
        QCOMPARE(f.Shown, 0);

        f.CheckAll();
        QVERIFY(f.Dup);
        // Pre-order: Home, Sub, Other.
        QCOMPARE(f.SetNumbers(), QStringList({"1", "2"}));
        f.SelectSet(0);
        QCOMPARE(f.FileNames(), QStringList({"gone.txt", "other-c.txt"}));
        QCOMPARE(f.Column(f.Files(), 1), QStringList({"Home\\", "Other\\"}));
        f.SelectSet(1);
        QCOMPARE(f.FileNames(), QStringList({"twice.txt", "twice.txt"}));
        QCOMPARE(missing->State, fsMissing);
    }

    void theSearchIsALongCommand()
    {
        TDupFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        for (int i = 0; i < 7; ++i)
            f.AddRecord(folder, QStringLiteral("f%1").arg(i), 10, true, f.Digest(i % 2 ? 'a' : 'b'));
        f.Form->SelectFolder(folder);
        f.Form->EnableCommands(true);

        // Whenever the search lets events run, note what the window shows.
        QStringList statuses;
        bool busyThroughout = true;
        QTimer watcher;
        watcher.setInterval(0);
        connect(&watcher, &QTimer::timeout, &watcher, [&] {
            if (!statuses.contains(f.Form->StatusText()))
                statuses << f.Form->StatusText();
            busyThroughout = busyThroughout && f.Form->Busy() &&
                             !f.Widget<QPushButton>("CheckDupBt")->isEnabled() &&
                             !f.Widget<QPushButton>("SearchAllDupBt")->isEnabled();
        });
        bool restoredBeforeShowing = false;
        f.Form->SetDupFilesShower([&](TDupFilesForm &) {
            restoredBeforeShowing = !f.Form->Busy() && f.Widget<QPushButton>("SearchAllDupBt")->isEnabled();
        });
        watcher.start();
        f.Widget<QPushButton>("SearchAllDupBt")->click();
        watcher.stop();

        QCOMPARE(statuses, QStringList({"loading registries, please wait...",
                                        "comparing 7 registries, please wait..."}));
        QVERIFY(busyThroughout);
        QVERIFY(restoredBeforeShowing);
        QCOMPARE(f.Form->StatusText(), QString());

        statuses.clear();
        watcher.start();
        f.Widget<QPushButton>("CheckDupBt")->click();
        watcher.stop();
        QCOMPARE(statuses, QStringList({"comparing 7 registries, please wait..."}));
        QVERIFY(busyThroughout);
    }

    // A search that fails leaves the window as it was before: no text saying it still compares,
    // the commands back, and no hidden duplicates window behind.
    void aFailedSearchLeavesNothingBehind()
    {
        TDupFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("a"), 10, true, f.Digest('a'));
        f.AddRecord(folder, QStringLiteral("b"), 10, true, f.Digest('a'));
        f.Form->EnableCommands(true);
        f.Form->SetDuplicateSearch(
            [](const std::vector<TFileDat *> &, const std::function<void(int)> &progress) {
                progress(1);
                throw std::runtime_error("out of memory");
                return std::vector<TDuplicateSet>();
            });
        f.Widget<QPushButton>("SearchAllDupBt")->click();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("StandardError")), QStringList({"out of memory."}));
        QCOMPARE(f.Form->StatusText(), QString());
        QVERIFY(!f.Form->Busy());
        QVERIFY(f.Widget<QPushButton>("SearchAllDupBt")->isEnabled());
        QVERIFY(f.Form->findChildren<TDupFilesForm *>().isEmpty());
        QCOMPARE(f.Shown, 0);
    }

    void theWindowIsShownModally()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        f.AddRecord(folder, QStringLiteral("a"), 10, true, TDupFixture::Digest('a'));
        f.AddRecord(folder, QStringLiteral("b"), 10, true, TDupFixture::Digest('a'));
        f.Form->EnableCommands(true);
        QPointer<TDupFilesForm> shown;
        bool wasModal = false;
        // The search itself lets events run: wait for the window to be up.
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, &poll, [&] {
            auto *form = f.Form->findChild<TDupFilesForm *>();
            if (!form || !form->isVisible())
                return;
            poll.stop();
            shown = form;
            wasModal = form->isModal();
            QTest::keyClick(form->findChild<QTreeView *>(QStringLiteral("SetsList")), Qt::Key_Escape);
        });
        poll.start();
        // Should the window not be found above, nothing may stay blocked in its loop.
        QTimer::singleShot(10000, f.Form.get(), [&f] {
            for (TDupFilesForm *left : f.Form->findChildren<TDupFilesForm *>())
                left->close();
        });
        f.Widget<QPushButton>("SearchAllDupBt")->click();
        QVERIFY(wasModal);
        QTRY_VERIFY(shown.isNull()); // deleted on closing
        QVERIFY(f.Prompts.Shown.isEmpty());
    }
};

QTEST_MAIN(TestDuplicateCommands)
#include "tst_duplicatecommands.moc"
