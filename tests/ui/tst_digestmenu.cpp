// The digest commands of the "More options..." menu, chosen through their menu entries.

#include "FormFixture.h"

#include <QAction>
#include <QCryptographicHash>
#include <QPushButton>

namespace {

// What FormFixture::MakeFile writes: size bytes of 'd'.
QString md5OfFixtureFile(int size)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray(size, 'd'), QCryptographicHash::Md5).toHex());
}

const QString Wanted = QStringLiteral("0123456789abcdef0123456789abcdef");

} // namespace

class TestDigestMenu : public QObject
{
    Q_OBJECT

    static void choose(TFormFixture &f, const char *entry)
    {
        QAction *action = f.Form->findChild<QAction *>(QString::fromLatin1(entry));
        QVERIFY(action);
        action->trigger();
    }

private Q_SLOTS:
    void searchShowsTheFolderAndFocusesTheRow()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFolderNode *photos = f.Catalog().AddFolder(home, QStringLiteral("Photos"));
        f.AddRecord(home, QStringLiteral("a.txt"), 10, true,
                    QStringLiteral("11111111111111111111111111111111"));
        f.AddRecord(photos, QStringLiteral("b.jpg"), 10, true,
                    QStringLiteral("ffffffffffffffffffffffffffffffff"));
        f.AddRecord(photos, QStringLiteral("c.jpg"), 10, true, Wanted);
        f.Form->SelectFolder(home);

        // Blanks anywhere and upper case are what a user copies from another program.
        f.Prompts.PlanInput(QStringLiteral(" 0123 4567 89AB CDEF 0123456789ABCDEF "));
        choose(f, "MorSearchmd5");

        QCOMPARE(
            f.Prompts.Texts(QStringLiteral("Input")),
            QStringList{QStringLiteral(
                "Search MD5 codes|Enter code to search the first occurrence (32 hexadecimal numbers)|")});
        QCOMPARE(f.Prompts.Shown.size(), 1);
        QCOMPARE(f.Catalog().CurrentFolder(), photos);
        QCOMPARE(f.FoldersTree()->currentIndex().data().toString(), QStringLiteral("Photos"));
        QCOMPARE(f.FilesList()->currentIndex().row(), 1);
        QCOMPARE(f.FilesList()->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(f.FilesList()->selectionModel()->selectedRows().first().row(), 1);
        QCOMPARE(f.Form->focusWidget(), f.FilesList());
        QVERIFY(!f.Form->Busy());
        QVERIFY(f.Widget<QPushButton>("LoadMdRegBt")->isEnabled());
    }

    void searchReportsBadAndUnknownCodes_data()
    {
        QTest::addColumn<bool>("withFolder");
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::addColumn<QStringList>("shown"); // kind and text of each box after the input box

        const QString invalid =
            QStringLiteral("The code you entered is not a MD5 valid code, please try again.");
        QTest::newRow("no folder") << false << std::optional<QString>()
                                   << QStringList{QStringLiteral("Error"),
                                                  QStringLiteral("No files to proceed.")};
        QTest::newRow("31 characters") << true << std::optional<QString>(Wanted.left(31))
                                       << QStringList{QStringLiteral("Information"), invalid};
        // Only the length is checked, so this is searched, and found nowhere.
        QTest::newRow("32 non-hexadecimal")
            << true << std::optional<QString>(QString(32, u'z'))
            << QStringList{QStringLiteral("Information"),
                           QStringLiteral("MD5 code not found in the registry.")};
        QTest::newRow("cancelled") << true << std::optional<QString>() << QStringList();
    }
    void searchReportsBadAndUnknownCodes()
    {
        QFETCH(bool, withFolder);
        QFETCH(std::optional<QString>, typed);
        QFETCH(QStringList, shown);
        TFormFixture f;
        if (withFolder) {
            TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
            f.AddRecord(home, QStringLiteral("a.txt"), 10, true, Wanted);
            f.Prompts.PlanInput(typed);
        }
        choose(f, "MorSearchmd5");

        QStringList after;
        for (const TScriptedPrompts::TShown &box : std::as_const(f.Prompts.Shown)) {
            if (box.Kind != QStringLiteral("Input"))
                after << box.Kind << box.Text;
        }
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Input")).size(), withFolder ? 1 : 0);
        QCOMPARE(after, shown);
        QVERIFY(f.Prompts.Unplanned.isEmpty());
        QVERIFY(!f.Catalog().CurrentFolder());
        QVERIFY(!f.Form->Busy());
    }

    void skipAndStopNeedARunningDigest()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFileDat *waiting = f.AddRecord(home, QStringLiteral("a.txt"));
        f.Catalog().EnqueueForDigest(waiting); // queued, but no worker was started
        choose(f, "MorSkipfilecalculated");
        choose(f, "MorStopmd5calculation");
        const QString none = QStringLiteral("No MD5 calculation in process.");
        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")), (QStringList{none, none}));
        QCOMPARE(f.Catalog().Md5Queue().size(), size_t(1));
    }

    void restartQueuesWhatIsPresentAndReportsTheRest()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFileDat *present = f.AddRecord(home, QStringLiteral("present.bin"), 10);
        TFileDat *gone = f.AddRecord(home, QStringLiteral("gone.bin"), 10, false);
        TFileDat *noPath = f.AddRecord(home, QStringLiteral("nopath.bin"), 10);
        f.Catalog().SetRecordRealPath(noPath, QString());
        f.AddRecord(home, QStringLiteral("done.bin"), 10, true, Wanted);

        choose(f, "MorRestartallmd5");

        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")),
                 QStringList{QStringLiteral(
                     "Results for 4 analyzed file(s):\r\n\r\n"
                     "1 file(s) will not be processed because doesn't have real filepath.\r\n"
                     "1 file(s) will not be processed because doesn't exist, was marked in RED.")});
        QCOMPARE(gone->State, fsMissing);
        QTRY_COMPARE(present->Md5.Text(), md5OfFixtureFile(10));
        // The queue running empty marks the catalog modified.
        QTRY_VERIFY(f.Form->Modified());
        QVERIFY(!f.Form->Scheduler().Md5Running());
    }

    void recalculateClearsTheSelectionAndReportsMissingFiles()
    {
        TFormFixture f;
        TFolderNode *home = f.Catalog().AddFolder(nullptr, QStringLiteral("Home"));
        TFileDat *present = f.AddRecord(home, QStringLiteral("a.bin"), 12, true, Wanted);
        TFileDat *gone = f.AddRecord(home, QStringLiteral("b.bin"), 10, false, Wanted);
        f.Form->SelectFolder(home);
        f.SelectRows({0, 1});

        choose(f, "MorRecalculatemd5");

        QCOMPARE(f.Prompts.Texts(QStringLiteral("Information")),
                 QStringList{QStringLiteral(
                     "Results for 2 analyzed file(s):\r\n\r\n"
                     "1 file(s) will not be processed because doesn't exist, was marked in RED.")});
        QVERIFY(!f.FilesList()->selectionModel()->hasSelection());
        QCOMPARE(gone->State, fsMissing);
        QTRY_COMPARE(present->Md5.Text(), md5OfFixtureFile(12));
        QTRY_VERIFY(!f.Form->Scheduler().Md5Running());
    }
};

QTEST_MAIN(TestDigestMenu)
#include "tst_digestmenu.moc"
