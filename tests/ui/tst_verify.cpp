// "Verify MD5 for selected files" on real files: each class found once, the summary, the results
// window and what it lets the user do, the folder question, and a verification stopped midway.

#include "DigestFileReader.h"
#include "FormFixture.h"
#include "SearchFilesForm.h"
#include "SearchResultsModel.h"
#include "TestFiles.h"
#include "TestRecords.h"

#include <QCryptographicHash>
#include <QPointer>
#include <cerrno>

namespace {

const QDateTime Written(QDate(2021, 6, 1), QTime(10, 30), Qt::LocalTime);

struct TVerifyFixture : TFormFixture
{
    TFolderNode *Folder = Catalog().AddFolder(nullptr, QStringLiteral("Archive"));

    // A file on disk and its record as a catalog keeps it: its digest, size and date.
    TFileDat *Catalogued(const QString &name, const QByteArray &content)
    {
        const QString path = Disk.filePath(name);
        WriteTestFile(path, content);
        setDate(path, Written);
        return AppendTestRecord(Catalog(), Folder,
                                MakeTestRecord({.Name = name,
                                                .Size = content.size(),
                                                .RealPath = Disk.path() + u'/',
                                                .Md5 = Md5Hex(content),
                                                .DateTime = FileDateOf(path)}));
    }
    static void setDate(const QString &path, const QDateTime &date)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(date, QFileDevice::FileModificationTime));
    }
    // The results window, driven while it is shown: the body runs in it.
    void OnResults(std::function<void(TSearchFilesForm &)> body)
    {
        Form->SetSearchFilesShower([body](TSearchFilesForm &form) {
            form.show();
            body(form);
            form.close();
        });
    }
};

QStringList column(TSearchFilesForm &form, int column)
{
    auto *list = form.findChild<QTreeView *>(QStringLiteral("ResultsList"));
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        texts << list->model()->index(row, column).data().toString();
    return texts;
}

void choose(TSearchFilesForm &form, int row)
{
    auto *list = form.findChild<QTreeView *>(QStringLiteral("ResultsList"));
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace

class TestVerify : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachClassIsFoundAndOnlyAnEditedFileTakesItsNewDigest()
    {
        TVerifyFixture f;
        f.Catalogued(QStringLiteral("ok.bin"), "the same as ever");
        TFileDat *edited = f.Catalogued(QStringLiteral("edited.bin"), "first draft");
        TFileDat *corrupt = f.Catalogued(QStringLiteral("corrupt.bin"), "a photo of 2021");
        TFileDat *deleted = f.Catalogued(QStringLiteral("deleted.bin"), "soon gone");
        f.Catalogued(QStringLiteral("unreadable.bin"), "behind a bad sector");
        // A drive that is not plugged in: its volume folder is not there.
        QDir().mkpath(f.Disk.filePath(QStringLiteral("media/user")));
        qputenv("DRAVIK_TEST_VOLUME_ROOT", f.Disk.path().toLocal8Bit());
        AppendTestRecord(f.Catalog(), f.Folder,
                         MakeTestRecord({.Name = QStringLiteral("away.bin"),
                                         .Size = 3,
                                         .RealPath = f.Disk.filePath(QStringLiteral("media/user/Stick/")),
                                         .Md5 = Md5Hex("abc")}));

        // Edited: new content and a new date. Corrupt: one byte flipped, size and date as before.
        WriteTestFile(f.Disk.filePath(QStringLiteral("edited.bin")), "second, longer draft");
        f.setDate(f.Disk.filePath(QStringLiteral("edited.bin")), Written.addDays(1));
        WriteTestFile(f.Disk.filePath(QStringLiteral("corrupt.bin")), "a photo of 2020");
        f.setDate(f.Disk.filePath(QStringLiteral("corrupt.bin")), Written);
        QFile::remove(f.Disk.filePath(QStringLiteral("deleted.bin")));
        f.Form->SetVerifyReadHook([](const QString &path, TDigestFileReader &reader) {
            if (path.endsWith(QStringLiteral("unreadable.bin")))
                reader.FailWith(EIO);
        });
        const TMd5Text corruptDigest = corrupt->Md5;

        f.Form->SelectFolder(f.Folder);
        f.SelectRows({0, 1, 2, 3, 4, 5});
        f.OnResults([&](TSearchFilesForm &form) {
            QCOMPARE(column(form, TSearchResultsModel::ResultColumn),
                     QStringList({"Edited", "Corrupt", "Missing", "Unreadable", "Offline"}));
            choose(form, 1);
            form.findChild<QAction *>(QStringLiteral("AcceptNewMd5"))->trigger();
            choose(form, 0);
            form.findChild<QAction *>(QStringLiteral("AcceptNewMd5"))->trigger();
            QCOMPARE(column(form, TSearchResultsModel::ResultColumn).first(), QStringLiteral("Accepted"));
        });
        f.Form->findChild<QAction *>(QStringLiteral("MorVerifymd5"))->trigger();
        qunsetenv("DRAVIK_TEST_VOLUME_ROOT");

        QCOMPARE(
            f.Prompts.Texts(QStringLiteral("Information")),
            QStringList({"Verification of 6 file(s):\r\n\r\n1 file(s) unchanged.\r\n1 file(s) corrupt: the "
                         "content changed while size and date stayed the same.\r\n1 file(s) edited: the "
                         "content changed with the size or date.\r\n1 file(s) missing, marked in RED.\r\n1 "
                         "file(s) offline: their drive is not there.\r\n1 file(s) could not be read.",
                         "Only an edited file's new MD5 code can be accepted."}));
        QCOMPARE(deleted->State, fsMissing);
        QCOMPARE(corrupt->Md5, corruptDigest); // the proof stays
        QCOMPARE(edited->Md5.Text(), Md5Hex("second, longer draft"));
        QCOMPARE(edited->Size, qint64(20));
        QCOMPARE(edited->DateTime, FileDateOf(edited->FullPath()));
        QVERIFY(f.Form->Modified());
    }

    // The first look at every file comes before any is read: a file saved in between, its size
    // kept, is an edit, and an accepted digest goes with the date of the bytes read.
    void aFileSavedAfterTheFirstLookIsEditedNotCorrupt()
    {
        TVerifyFixture f;
        f.Catalogued(QStringLiteral("first.bin"), "read first");
        TFileDat *later = f.Catalogued(QStringLiteral("later.bin"), "old words");
        const QString laterPath = f.Disk.filePath(QStringLiteral("later.bin"));
        f.Form->SetVerifyReadHook([&](const QString &path, TDigestFileReader &) {
            if (path.endsWith(QStringLiteral("first.bin"))) {
                WriteTestFile(laterPath, "new words");
                f.setDate(laterPath, Written.addDays(2));
            }
        });
        f.Form->SelectFolder(f.Folder);
        f.SelectRows({0, 1});
        f.OnResults([&](TSearchFilesForm &form) {
            QCOMPARE(column(form, TSearchResultsModel::ResultColumn), QStringList({"Edited"}));
            choose(form, 0);
            form.findChild<QAction *>(QStringLiteral("AcceptNewMd5"))->trigger();
        });
        f.Form->findChild<QAction *>(QStringLiteral("MorVerifymd5"))->trigger();
        QCOMPARE(later->Md5.Text(), Md5Hex("new words"));
        QCOMPARE(later->DateTime, FileDateOf(laterPath));
    }

    void aFolderIsVerifiedWithEverythingBelowItAfterAQuestion()
    {
        TVerifyFixture f;
        f.Catalogued(QStringLiteral("top.bin"), "top");
        TFolderNode *below = f.Catalog().AddFolder(f.Folder, QStringLiteral("Below"));
        AppendTestRecord(f.Catalog(), below,
                         MakeTestRecord({.Name = QStringLiteral("gone.bin"),
                                         .Size = 1,
                                         .RealPath = f.Disk.path() + u'/',
                                         .Md5 = Md5Hex("x")}));
        f.Form->SelectFolder(f.Folder);
        f.Prompts.PlanNo();
        f.Form->MorVerifymd5Click();
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral(
                     "2 file(s) in folder \"Archive\" and the folders below it will be verified, continue?"));
        QCOMPARE(f.Prompts.Shown.size(), 1);

        int listed = 0;
        f.OnResults([&](TSearchFilesForm &form) { listed = column(form, 0).size(); });
        f.Prompts.PlanYes();
        f.Form->MorVerifymd5Click();
        QVERIFY(f.Prompts.LastText().startsWith(QStringLiteral("Verification of 2 file(s):")));
        QCOMPARE(listed, 1); // only what is not ok: the missing file
        QVERIFY(!f.Form->Busy());
    }

    // Escape during the second file: what was found stays, nothing after it is read, no digest
    // changes.
    void escapeStopsItMidwayAndNoDigestChanges()
    {
        TVerifyFixture f;
        std::vector<TFileDat *> records;
        for (int i = 0; i < 3; ++i)
            records.push_back(
                f.Catalogued(QStringLiteral("big%1.bin").arg(i), QByteArray(3 << 20, char('a' + i))));
        std::vector<TMd5Text> digests;
        for (const TFileDat *record : records)
            digests.push_back(record->Md5);
        WriteTestFile(records[0]->FullPath(), QByteArray(3 << 20, 'z')); // corrupt, found before the stop
        f.TVerifyFixture::setDate(records[0]->FullPath(), Written);
        int opened = 0;
        f.Form->SetVerifyReadHook([&](const QString &, TDigestFileReader &) {
            if (++opened == 2)
                QTest::keyClick(f.FilesList(), Qt::Key_Escape);
        });
        f.Form->SelectFolder(f.Folder);
        f.SelectRows({0, 1, 2});
        QStringList listed;
        f.OnResults(
            [&](TSearchFilesForm &form) { listed = column(form, TSearchResultsModel::ResultColumn); });
        f.Form->MorVerifymd5Click();

        QCOMPARE(opened, 2);
        QCOMPARE(f.Prompts.LastText(),
                 QStringLiteral("Verification of 1 file(s):\r\n\r\n1 file(s) corrupt: the content "
                                "changed while size and date stayed the same.\r\n2 file(s) "
                                "were not verified: the verification was stopped."));
        QCOMPARE(listed, QStringList({"Corrupt"}));
        for (size_t i = 0; i < records.size(); ++i)
            QCOMPARE(records[i]->Md5, digests[i]);
        QCOMPARE(f.Form->StatusText(), QString());
    }
};

QTEST_MAIN(TestVerify)
#include "tst_verify.moc"
