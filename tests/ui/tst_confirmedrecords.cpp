// Commands that ask first act on what the question named. While a box is open its event loop
// may let the digest queue select another folder (the list is filled again) and the user click
// in the list; the scripted boxes below do exactly that while they are open.

#include "FileListModel.h"
#include "FormFixture.h"
#include "ProgressCyl.h"

#include <QPushButton>
#include <QTimer>
#include <stdexcept>

namespace {

// Two folders of files on disk: Docs (a, b, c), the current one, and Other (x).
struct TTwoFolders
{
    TFormFixture f;
    TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
    TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
    TFileDat *a = f.AddRecord(docs, QStringLiteral("a.txt"));
    TFileDat *b = f.AddRecord(docs, QStringLiteral("b.txt"));
    TFileDat *c = f.AddRecord(docs, QStringLiteral("c.txt"));
    TFileDat *x = f.AddRecord(other, QStringLiteral("x.txt"));

    TTwoFolders() { f.Form->SelectFolder(docs); }

    // While the next box is open: the queue selects Other and the user selects all its rows.
    void SwitchToOtherDuringTheBox()
    {
        f.Prompts.DuringNextBox([this] {
            f.Form->SelectFolder(other);
            f.FilesList()->selectAll();
        });
    }
    bool OnDisk(const TFileDat *record) const { return QFile::exists(record->FullPath()); }
    int ShownRows() { return f.FilesList()->model()->rowCount(); }
};

} // namespace

class TestConfirmedRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void removingFromTheListTakesOnlyTheNamedRecords()
    {
        TTwoFolders t;
        t.f.SelectRows({0, 2});
        t.SwitchToOtherDuringTheBox();
        t.f.Prompts.PlanYes();
        t.f.Form->RemoveFilesBtClick();
        QCOMPARE(t.docs->RecordCount(), 1);
        QCOMPARE(t.docs->Record(0), t.b);
        QCOMPARE(t.other->RecordCount(), 1);
        QCOMPARE(t.f.Catalog().CurrentFolder(), t.other);
        QCOMPARE(t.ShownRows(), 1);
    }

    // Before, the row numbers of Docs were used on the list of Other, which has fewer rows.
    void removingRealPathsTakesOnlyTheNamedRecords()
    {
        TTwoFolders t;
        t.f.SelectRows({0, 1, 2});
        t.SwitchToOtherDuringTheBox();
        t.f.Prompts.PlanYes();
        t.f.Form->FilRemoverealpathClick();
        for (const TFileDat *record : {t.a, t.b, t.c})
            QVERIFY(record->RealPath.isEmpty());
        QVERIFY(!t.x->RealPath.isEmpty());
        QCOMPARE(t.f.Prompts.LastText(), QStringLiteral("Operation completed."));
        QCOMPARE(t.ShownRows(), 1);
    }

    void deletingFromDiskTakesOnlyTheNamedFiles()
    {
        TTwoFolders t;
        t.f.SelectRows({1});
        t.SwitchToOtherDuringTheBox();
        t.f.Prompts.PlanYes();
        t.f.Form->FilDeletefilesClick();
        QCOMPARE(t.f.Prompts.LastText(),
                 QStringLiteral("Results for 1 analyzed file(s):\r\n\r\nAll selected files deleted."));
        QCOMPARE(t.docs->RecordCount(), 2);
        QVERIFY(t.OnDisk(t.x));
        QVERIFY(t.OnDisk(t.a) && t.OnDisk(t.c));
        QCOMPARE(t.ShownRows(), 1);
    }

    // The loop lets events run after every file: rows selected then were never confirmed.
    void rowsSelectedWhileFilesAreDeletedStay()
    {
        TTwoFolders t;
        const QString confirmed = t.a->FullPath();
        t.f.Form->SetFileRemover([&t](const QString &path) {
            t.f.FilesList()->selectAll();
            return QFile::remove(path);
        });
        t.f.SelectRows({0});
        t.f.Prompts.PlanYes();
        t.f.Form->FilDeletefilesClick();
        QVERIFY(!QFile::exists(confirmed));
        QVERIFY(t.OnDisk(t.b) && t.OnDisk(t.c));
        QCOMPARE(t.docs->RecordCount(), 2);
    }

    void aCommentGoesToTheRecordAskedAbout()
    {
        TTwoFolders t;
        t.f.SelectRows({1});
        t.SwitchToOtherDuringTheBox();
        t.f.Prompts.PlanInput(QStringLiteral("checked"));
        t.f.Form->CommentsBtClick();
        QCOMPARE(t.b->Comment, QStringLiteral("checked"));
        QCOMPARE(t.x->Comment, QString());

        // The record went while the box was open: nothing is written.
        t.f.Form->SelectFolder(t.docs);
        t.f.SelectRows({0});
        TFileDat *gone = t.a;
        t.f.Prompts.DuringNextBox([&t, gone] { t.f.Catalog().RemoveRecord(gone); });
        t.f.Prompts.PlanInput(QStringLiteral("late"));
        t.f.Form->SetModified(false);
        t.f.Form->CommentsBtClick();
        QVERIFY(!t.f.Form->Modified());
    }

    void realPathsBelowAFolderGoAndTheCurrentFolderIsShown()
    {
        TTwoFolders t;
        TFolderNode *sub = t.f.Catalog().AddFolder(t.docs, QStringLiteral("Sub"));
        TFileDat *s = t.f.AddRecord(sub, QStringLiteral("s.txt"));
        t.SwitchToOtherDuringTheBox();
        t.f.Prompts.PlanYes();
        t.f.Form->FolRemoverealpathClick();
        QCOMPARE(t.f.Prompts.Texts(QStringLiteral("Confirm")).last(),
                 QStringLiteral("Real path for all files in 2 folders will be removed, continue?"));
        for (const TFileDat *record : {t.a, t.b, t.c, s})
            QVERIFY(record->RealPath.isEmpty());
        QVERIFY(!t.x->RealPath.isEmpty());
        QCOMPARE(t.f.Form->FindRecordRow(t.x), 0); // the list shows the folder current now
        QCOMPARE(t.f.FilesList()->model()->index(0, TFileListModel::colRealPath).data().toString(),
                 t.x->RealPath);
    }

    void removingAFolderRemovesTheOneAskedAbout()
    {
        TTwoFolders t;
        t.SwitchToOtherDuringTheBox();
        t.f.Prompts.PlanYes();
        t.f.Form->RemoveFolderBtClick();
        QCOMPARE(t.f.Catalog().RootFolders().size(), size_t(1));
        QCOMPARE(t.f.Catalog().RootFolders().front().get(), t.other);
        QCOMPARE(t.f.Catalog().CurrentFolder(), t.other);
        QCOMPARE(t.ShownRows(), 1);
    }

    void theSearchOutlivesItsRecordGoingAway()
    {
        TTwoFolders t;
        const QString code(32, u'e');
        t.f.Catalog().SetRecordMd5(t.x, code);
        t.f.Prompts.DuringNextBox([&t] {
            // Runs in the first round of events after the walk found the record.
            QTimer::singleShot(0, t.f.Form.get(), [&t] { t.f.Catalog().RemoveRecord(t.x); });
        });
        t.f.Prompts.PlanInput(code);
        t.f.Form->MorSearchmd5Click();
        QCOMPARE(t.other->RecordCount(), 0);
        QVERIFY(t.f.Form->SelectedRows().isEmpty());
    }

    void aFailureInTheMiddleLeavesTheWindowUsable()
    {
        TTwoFolders t;
        t.f.Form->SetFileRemover([](const QString &) -> bool { throw std::runtime_error("device gone"); });
        t.f.SelectRows({0, 1});
        t.f.Prompts.PlanYes();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, t.f.Form->FilDeletefilesClick());
        QVERIFY(!t.f.Form->Busy());
        QCOMPARE(t.f.Form->StatusText(), QString());
        QCOMPARE(t.f.Widget<TProgressCyl>("ProgressBar")->Position(), 0);
        for (const char *name : {"LoadMdRegBt", "AddFoldersBt", "AddFilesBt", "CheckDupBt", "RemoveFolderBt"})
            QVERIFY2(t.f.Widget<QPushButton>(name)->isEnabled(), name);

        t.f.Prompts.PlanYes();
        t.f.Form->RemoveFilesBtClick(); // the rows the failed command named are still selected
        QCOMPARE(t.docs->RecordCount(), 1);
    }

    // Their box would otherwise be open while the queue switches folders.
    void digestCommandsStartTheQueueOnlyAfterTheirBox()
    {
        TTwoFolders t;
        TFileDat *gone = t.f.AddRecord(t.other, QStringLiteral("gone.txt"), 10, false);
        bool startedUnderTheBox = false;
        auto watchTheBox = [&] {
            QCoreApplication::processEvents();
            startedUnderTheBox = startedUnderTheBox || t.f.Form->Scheduler().Md5Running();
        };
        t.f.Prompts.DuringNextBox(watchTheBox);
        t.f.Form->MorRestartallmd5Click();
        QCOMPARE(gone->State, fsMissing);
        QVERIFY(!startedUnderTheBox);
        QTRY_COMPARE(t.x->State, fsDigested); // the last one queued
        QTRY_VERIFY(!t.f.Form->Scheduler().Md5Running()); // its worker may still be ending

        t.f.Form->SelectFolder(t.other);
        t.f.SelectRows({0, 1});
        t.f.Prompts.DuringNextBox(watchTheBox);
        t.f.Form->MorRecalculatemd5Click();
        QVERIFY(t.f.Prompts.LastText().contains(QStringLiteral("was marked in RED.")));
        QVERIFY(!startedUnderTheBox);
        QTRY_COMPARE(t.x->State, fsDigested);
    }
};

QTEST_MAIN(TestConfirmedRecords)
#include "tst_confirmedrecords.moc"
