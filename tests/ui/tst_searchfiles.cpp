// The search window driven without a modal loop: typing narrows the results, the folder choice
// limits them, a chosen result is shown in the main window, the menu's commands say what stops
// them, and a keystroke during a long search leaves only the new pattern's results.

#include "FormFixture.h"
#include "SearchFilesForm.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>

namespace {

struct TSearchFixture : TFormFixture
{
    QPointer<TSearchFilesForm> Search;

    // Opens the window with Ctrl+F and runs the body in it; the window is shown, not run modally.
    void InSearchWindow(const std::function<void(TSearchFilesForm &)> &body)
    {
        bool opened = false;
        Form->SetSearchFilesShower([&](TSearchFilesForm &form) {
            opened = true;
            Search = &form;
            form.show();
            body(form);
        });
        // A shortcut acts in the active window.
        QApplication::setActiveWindow(Form.get());
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
        QTest::keyClick(Form.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(opened);
    }

    QLineEdit *Pattern() { return Search->findChild<QLineEdit *>(QStringLiteral("PatternEdit")); }
    QTreeView *Results() { return Search->findChild<QTreeView *>(QStringLiteral("ResultsList")); }
    // Types the pattern as the user would (each keystroke searches again) and waits for the end.
    void Type(const QString &pattern)
    {
        Pattern()->clear();
        QTest::keyClicks(Pattern(), pattern);
        QTRY_VERIFY(!Search->Searching());
    }
    QStringList Names()
    {
        QStringList names;
        for (int row = 0; row < Results()->model()->rowCount(); ++row)
            names << Results()->model()->index(row, 0).data().toString();
        return names;
    }
    void Choose(int row)
    {
        Results()->selectionModel()->setCurrentIndex(Results()->model()->index(row, 0),
                                                     QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    }
    void Trigger(const char *entry) { Search->findChild<QAction *>(QString::fromLatin1(entry))->trigger(); }
};

} // namespace

class TestSearchFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typingNarrowsAndTheFolderLimits()
    {
        TSearchFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *sub = f.Catalog().AddFolder(home, QStringLiteral("Sub"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        f.AddRecord(home, QStringLiteral("photo1.jpg"));
        f.AddRecord(home, QStringLiteral("notes.txt"));
        f.AddRecord(sub, QStringLiteral("photo2.JPG"));
        f.AddRecord(other, QStringLiteral("photo3.png"));
        f.Form->SelectFolder(home);
        f.InSearchWindow([&](TSearchFilesForm &form) {
            QCOMPARE(f.Names(), QStringList()); // nothing typed, nothing found
            f.Type(QStringLiteral("photo"));
            QCOMPARE(f.Names(), QStringList({"photo1.jpg", "photo2.JPG", "photo3.png"}));
            QCOMPARE(form.StatusText(), QStringLiteral("3 file(s) found"));
            f.Type(QStringLiteral("jpg"));
            QCOMPARE(f.Names(), QStringList({"photo1.jpg", "photo2.JPG"}));
            f.Type(QStringLiteral("ph*.png"));
            QCOMPARE(f.Names(), QStringList({"photo3.png"}));

            f.Search->findChild<QCheckBox *>(QStringLiteral("InFolderCheck"))->click();
            QTRY_VERIFY(!form.Searching());
            QCOMPARE(f.Names(), QStringList()); // Other is not below Home
            f.Type(QStringLiteral("o"));
            QCOMPARE(f.Names(), QStringList({"photo1.jpg", "notes.txt", "photo2.JPG"}));

            // A click on a column sorts by it.
            f.Results()->header()->setSortIndicator(0, Qt::DescendingOrder);
            QCOMPARE(f.Names(), QStringList({"photo2.JPG", "photo1.jpg", "notes.txt"}));
            form.close();
        });
    }

    void enterShowsTheChosenRecordInTheMainWindow()
    {
        TSearchFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *other = f.Catalog().AddFolder(nullptr, QStringLiteral("Other"));
        f.AddRecord(other, QStringLiteral("first.txt"));
        TFileDat *wanted = f.AddRecord(other, QStringLiteral("wanted.txt"));
        f.Form->SelectFolder(home);
        f.InSearchWindow([&](TSearchFilesForm &) {
            f.Type(QStringLiteral("wanted"));
            QTest::keyClick(f.Pattern(), Qt::Key_Return);
        });
        QTRY_VERIFY(!f.Search);
        QCOMPARE(f.Catalog().CurrentFolder(), other);
        const QModelIndexList selected = f.FilesList()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), f.Form->FindRecordRow(wanted));
        QCOMPARE(f.FilesList()->currentIndex().row(), 1);
    }

    void theMenuSaysWhatStopsItsCommands()
    {
        TSearchFixture f;
        TFolderNode *docs = f.Catalog().AddFolder(nullptr, QStringLiteral("Docs"));
        TFileDat *here = f.AddRecord(docs, QStringLiteral("here.txt"), 10, true, QString(32, u'a'));
        TFileDat *gone = f.AddRecord(docs, QStringLiteral("gone.txt"), 10, false);
        TFileDat *nowhere = f.AddRecord(docs, QStringLiteral("nowhere.txt"));
        f.Catalog().SetRecordRealPath(nowhere, QString());
        f.InSearchWindow([&](TSearchFilesForm &form) {
            f.Type(QStringLiteral(".txt"));
            f.Trigger("ShellOpen");
            f.Choose(1); // gone.txt
            f.Trigger("ShellOpen");
            f.Trigger("OpenFolder");
            f.Trigger("CopyMd5");
            f.Choose(2); // nowhere.txt
            f.Trigger("OpenFolder");
            f.Choose(0); // here.txt
            f.Trigger("ShellOpen");
            f.Trigger("CopyMd5");
            form.close();
        });
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")),
                 QStringList({"Please select the file and try again.", "Selected file doesn't have MD5 code.",
                              "Selected file doesn't have real path."}));
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Error")),
                 QStringList({"Error, file doesn't exist.\r\n\"" + gone->FullPath() + u'"'}));
        QCOMPARE(f.Shell.Opened, QStringList({gone->RealPath, here->FullPath()}));
        QCOMPARE(f.Shell.Clipboard, QString(32, u'a'));
    }

    // The first search is still running when the second key comes: none of its finds may stay.
    void aKeystrokeDuringALongSearchLeavesOnlyTheNewResults()
    {
        TSearchFixture f;
        TFolderNode *big = f.Catalog().AddFolder(nullptr, QStringLiteral("Big"));
        std::vector<std::unique_ptr<TFileDat>> records;
        for (int i = 0; i < 300'000; ++i) {
            auto record = std::make_unique<TFileDat>();
            record->FileName =
                (i % 1000 == 999 ? QStringLiteral("zzz%1.bin") : QStringLiteral("file%1.bin")).arg(i);
            records.push_back(std::move(record));
        }
        f.Catalog().AppendRecords(big, std::move(records));
        f.InSearchWindow([&](TSearchFilesForm &form) {
            QTest::keyClicks(f.Pattern(), QStringLiteral("file"));
            QTRY_VERIFY(f.Results()->model()->rowCount() > 0);
            f.Pattern()->setText(QStringLiteral("zzz"));
            QTRY_VERIFY(!form.Searching());
            const QStringList names = f.Names();
            QCOMPARE(names.size(), 300);
            QVERIFY(std::all_of(names.begin(), names.end(),
                                [](const QString &name) { return name.startsWith(u"zzz"); }));
            form.close();
        });
    }
};

QTEST_MAIN(TestSearchFiles)
#include "tst_searchfiles.moc"
