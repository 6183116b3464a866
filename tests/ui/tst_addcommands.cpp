#include "FormFixture.h"
#include "LongPathChain.h"

#include <QCryptographicHash>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString SameNameAndSize =
    QStringLiteral(" file(s) was not added, already exists in the current folder (same filename and size).");
const QString NotThere = QStringLiteral(" file(s) was not added, does not exist or cannot be accessed.");

QStringList namesIn(const TFolderNode *folder)
{
    QStringList names;
    for (int i = 0; i < folder->RecordCount(); ++i)
        names << folder->Record(i)->FileName;
    return names;
}

// Drops the local files onto the file list as a file manager does; the list adds them once the
// drop has been answered.
bool dropFiles(TFormFixture &f, const QStringList &paths, bool settle = true)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QWidget *viewport = f.FilesList()->viewport();
    const QPoint at = viewport->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    if (settle)
        QCoreApplication::processEvents();
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

QString md5Of(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
}

} // namespace

class TestAddCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameNameAndSizeIsRejectedWhateverTheCase()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("F"));
        f.AddRecord(folder, QStringLiteral("old/A.TXT"), 100);
        f.Form->SelectFolder(folder);
        f.Prompts.PlanPick({f.MakeFile(QStringLiteral("new/a.txt"), 100)});
        f.Form->AddFilesBtClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")), QStringList({u'1' + SameNameAndSize}));
        QCOMPARE(folder->RecordCount(), 1);

        f.Prompts.Clear();
        f.FoldersTree()->setFocus();
        f.Prompts.PlanPick({f.MakeFile(QStringLiteral("other/a.txt"), 101)});
        f.Form->AddFilesBtClick();
        QVERIFY(f.Prompts.Texts(QStringLiteral("Information")).isEmpty());
        QCOMPARE(namesIn(folder), QStringList({"A.TXT", "a.txt"}));
        QCOMPARE(f.FilesList()->model()->rowCount(), 2);
        QVERIFY(f.Form->Modified());
        QCOMPARE(f.Form->focusWidget(), f.FilesList());
    }

    void bothBoxesInOrderAndNothingChangesWhenAllAreRejected()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("F"));
        TFolderNode *empty = f.Catalog().AddFolder(nullptr, QStringLiteral("E"));
        f.AddRecord(folder, QStringLiteral("x.bin"), 10);
        const QString first = f.MakeFile(QStringLiteral("one.bin"));
        const QString gone = f.MakeFile(QStringLiteral("gone.bin"));
        const QString third = f.MakeFile(QStringLiteral("three.bin"));
        QFile::remove(gone);
        f.Form->SelectFolder(folder);
        f.Form->AddFilesToFolder({first, f.Disk.filePath(QStringLiteral("x.bin")), gone, third}, folder);
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")),
                 QStringList({u'1' + SameNameAndSize, u'1' + NotThere}));
        QCOMPARE(namesIn(folder), QStringList({"x.bin", "one.bin", "three.bin"}));

        // Every candidate rejected: the folder gets no record list and keeps its picture.
        f.Prompts.Clear();
        f.Form->SelectFolder(empty);
        f.Form->AddFilesToFolder({gone, f.Disk.path()}, empty);
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")), QStringList({u'2' + NotThere}));
        QVERIFY(!empty->HasRecordList());
        QCOMPARE(empty->ImageIndex(), TFolderNode::EmptyImage);
        QVERIFY(!f.Form->Busy());
    }

    void filesGoIntoTheFolderTheyWerePickedFor()
    {
        TFormFixture f;
        TFolderNode *asked = f.Catalog().AddFolder(nullptr, QStringLiteral("Asked"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        f.Form->SelectFolder(asked);
        // While the picker is open the digest queue selects another folder.
        f.Prompts.DuringNextBox([&] { f.Form->SelectFolder(other); });
        f.Prompts.PlanPick({f.MakeFile(QStringLiteral("p.bin"))});
        f.Form->AddFilesBtClick();
        QCOMPARE(namesIn(asked), QStringList({"p.bin"}));
        QCOMPARE(other->RecordCount(), 0);
        QCOMPARE(f.Catalog().CurrentFolder(), asked);
        QCOMPARE(f.FilesList()->model()->rowCount(), 1);
    }

    void droppedFilesJoinInTheirOrder()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("F"));
        const QString b = f.MakeFile(QStringLiteral("b.bin"));
        const QString a = f.MakeFile(QStringLiteral("a.bin"));
        // A drop without a current folder is answered and then ignored.
        QVERIFY(dropFiles(f, {b}));
        QCOMPARE(folder->RecordCount(), 0);

        f.Form->SelectFolder(folder);
        f.Form->SetBusy(true);
        dropFiles(f, {b});
        f.Form->SetBusy(false);
        QCOMPARE(folder->RecordCount(), 0);

        // Folders are candidates too, and the existence pass turns them away.
        f.FoldersTree()->setFocus();
        QVERIFY(dropFiles(f, {b, f.Disk.path(), a}));
        QCOMPARE(namesIn(folder), QStringList({"b.bin", "a.bin"}));
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")), QStringList({u'1' + NotThere}));
        QCOMPARE(f.Form->focusWidget(), f.FilesList());

        // Paths are taken whole, however long.
        const QString longName = QString(120, u'n') + u'/' + QString(120, u'm') + u'/' + QString(40, u'l');
        const QString deep = f.MakeFile(longName);
        QVERIFY(deep.size() > 255);
        dropFiles(f, {deep});
        QCOMPARE(folder->Record(2)->FullPath(), deep);
    }

    // The digest queue may show another folder before the queued add runs.
    void droppedFilesGoIntoTheFolderCurrentAtTheDrop()
    {
        TFormFixture f;
        TFolderNode *target = f.Catalog().AddFolder(nullptr, QStringLiteral("Target"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        f.Form->SelectFolder(target);
        QVERIFY(dropFiles(f, {f.MakeFile(QStringLiteral("a.bin"))}, false));
        f.Form->SelectFolder(other);
        QCoreApplication::processEvents();
        QCOMPARE(namesIn(target), QStringList({"a.bin"}));
        QCOMPARE(other->RecordCount(), 0);
    }

    // Renaming the folder mid-walk would send the rest of the files into a new copy of its old
    // path; the gate refuses F2 while the walk runs.
    void folderNamesStayWhileFoldersAreRead()
    {
        TFormFixture f;
        const QString data = f.Disk.filePath(QStringLiteral("Data"));
        for (const char *name : {"Data/a/1.bin", "Data/b/2.bin", "Data/c/3.bin", "Data/4.bin"})
            f.MakeFile(QString::fromLatin1(name));
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        f.Form->SelectFolder(home);
        f.FoldersTree()->setFocus();
        bool triedWhileBusy = false;
        QTimer::singleShot(0, f.Form.get(), [&] {
            triedWhileBusy = f.Form->Busy();
            QTest::keyClick(f.FoldersTree(), Qt::Key_F2);
            if (f.FoldersTree()->IsEditing()) {
                QTest::keyClicks(f.FoldersTree()->focusWidget(), QStringLiteral("Renamed"));
                QTest::keyClick(f.FoldersTree()->focusWidget(), Qt::Key_Return);
            }
        });
        f.Prompts.PlanPick({data});
        f.Form->AddFoldersBtClick();
        QVERIFY(triedWhileBusy);
        QCOMPARE(home->Name(), QStringLiteral("Home"));
        QCOMPARE(f.Catalog().RootFolders().size(), size_t(1));
        TFolderNode *copy = f.Catalog().FindChildFolder(home, QStringLiteral("Data"));
        QVERIFY(copy);
        int records = 0;
        f.Catalog().ForEachFolder([&](TFolderNode *folder) { records += folder->RecordCount(); }, copy);
        QCOMPARE(records, 4);
    }

    void foldersAreCopiedBelowTheCurrentFolderAndDigested()
    {
        TFormFixture f;
        const QString data = f.Disk.filePath(QStringLiteral("Data"));
        const QString top = f.MakeFile(QStringLiteral("Data/top.bin"), 3000);
        const QString hidden = f.MakeFile(QStringLiteral("Data/x/.hidden"), 5);
        QDir().mkpath(data + QStringLiteral("/empty/below"));
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        f.Form->SelectFolder(home);

        f.Prompts.PlanPick({data});
        f.Form->AddFoldersBtClick();
        QCOMPARE(f.Form->StatusText(), QStringLiteral("reading 1 folders, please wait..."));
        TFolderNode *copy = f.Catalog().FindChildFolder(home, QStringLiteral("Data"));
        QVERIFY(copy);
        QCOMPARE(namesIn(copy), QStringList({"top.bin"}));
        QCOMPARE(copy->SubFolders().size(), size_t(1)); // "empty" holds no file
        QCOMPARE(namesIn(copy->SubFolders().front().get()), QStringList({".hidden"}));
        QVERIFY(f.Form->Modified());
        QVERIFY(!f.Form->Busy());

        // The queue was idle: it starts on the first new record and digests them all.
        TFileDat *first = copy->Record(0);
        TFileDat *second = copy->SubFolders().front()->Record(0);
        QTRY_COMPARE(second->State, fsDigested);
        QCOMPARE(first->Md5.Text(), md5Of(top));
        QCOMPARE(second->Md5.Text(), md5Of(hidden));

        // Without a current folder the structure becomes a root folder; twice gives every file twice.
        f.Form->SelectFolder(nullptr);
        f.Prompts.PlanPick({data});
        f.Form->AddFoldersBtClick();
        f.Prompts.PlanPick({data + u'/'});
        f.Form->AddFoldersBtClick();
        TFolderNode *root = f.Catalog().FindChildFolder(nullptr, QStringLiteral("Data"));
        QVERIFY(root);
        QCOMPARE(namesIn(root), QStringList({"top.bin", "top.bin"}));
        QCOMPARE(f.Catalog().RootFolders().size(), size_t(2));
        QVERIFY(f.Prompts.AllAnswersUsed());
    }

    // A catalog that looks complete but is not would be trusted: what the walk passed over is
    // counted in a box, and the rest is added.
    void whatTheWalkPassedOverIsCounted()
    {
        TFormFixture f;
        const QString data = f.Disk.filePath(QStringLiteral("Data"));
        f.MakeFile(QStringLiteral("Data/kept.bin"), 10);
        const QByteArray odd = QFile::encodeName(data) + "/odd\xff.bin";
        QVERIFY(::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        const TLongPathChain deep(data);
        QVERIFY(deep.Complete());

        f.Prompts.PlanPick({data});
        f.Form->AddFoldersBtClick();
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")),
                 QStringList({"1 file(s) or folder(s) were not added, their names are not valid text.\r\n"
                              "1 file(s) or folder(s) were not added, their paths are too long."}));
        const TFolderNode *copy = f.Catalog().FindChildFolder(nullptr, QStringLiteral("Data"));
        QVERIFY(copy);
        QCOMPARE(namesIn(copy), QStringList({"kept.bin"}));
        QTRY_VERIFY(!f.Form->Scheduler().Md5Running());
    }

    void firstNewRecordIsDigestedSoonAfter()
    {
        TFormFixture f;
        TFolderNode *folder = f.Catalog().AddFolder(nullptr, QStringLiteral("F"));
        f.Form->SelectFolder(folder);
        const QString big = f.MakeFile(QStringLiteral("big.bin"), 4 << 20);
        bool sawDigesting = false;
        f.Form->Scheduler().SetWorkerSetup(
            [&](CMd5Thread &) { sawDigesting = folder->Record(0)->State == fsDigesting; });
        f.Form->AddFilesToFolder({big}, folder);
        QCOMPARE(folder->Record(0)->State, fsPending);
        QTRY_VERIFY(sawDigesting);
        QTRY_COMPARE(folder->Record(0)->State, fsDigested);
        QCOMPARE(folder->Record(0)->Md5.Text(), md5Of(big));
    }
};

QTEST_MAIN(TestAddCommands)
#include "tst_addcommands.moc"
