#include "Catalog.h"
#include "CatalogFile.h"
#include "CatalogWriter.h"
#include "ParallelCompression.h"
#include "StorageErrors.h"
#include "StorageTestTools.h"
#include "TempFiles.h"
#include "TestRecords.h"
#include "ZStreams.h"
#include "support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace StorageTest;

namespace {

double dayCountOf(int y, int m, int d, int h = 0, int n = 0, int s = 0)
{
    return DayCountFromDateTime(QDateTime(QDate(y, m, d), QTime(h, n, s), Qt::LocalTime));
}

std::unique_ptr<TFileDat> record(const QString &name, qint64 size, const QString &md5 = {},
                                 const QString &realPath = QStringLiteral("/data/"),
                                 const QString &comment = {})
{
    return MakeTestRecord({.Name = name,
                           .Size = size,
                           .RealPath = realPath,
                           .Md5 = md5,
                           .Comment = comment,
                           .DateTime = dayCountOf(2008, 3, 15, 14, 5)});
}

void addRecord(TCatalog &catalog, TFolderNode *folder, std::unique_ptr<TFileDat> file)
{
    AppendTestRecord(catalog, folder, std::move(file));
}

QByteArray documentOf(const TCatalog &catalog)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteCatalogDocument(catalog, buffer);
    return buffer.data();
}

// One line per folder: depth, name, picture, then its records with every field.
QStringList describe(const TCatalog &catalog)
{
    QStringList lines;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        int depth = 0;
        for (auto *up = folder->Parent(); up; up = up->Parent())
            ++depth;
        lines << QStringLiteral("%1%2 [%3%4]")
                     .arg(QString(depth * 2, u' '), folder->Name())
                     .arg(folder->ImageIndex())
                     .arg(folder->HasRecordList() ? QStringLiteral(" list") : QString());
        for (const auto &file : folder->Records())
            lines << QStringLiteral("%1  %2|%3|%4|%5|%6|%7|%8")
                         .arg(QString(depth * 2, u' '), file->FileName)
                         .arg(file->Size)
                         .arg(DateText(file->DateTime), file->RealPath, file->Md5.Text(), file->Comment)
                         .arg(int(file->State));
    });
    return lines;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QString loadError(TCatalog &catalog, const QString &path)
{
    try {
        LoadCatalog(catalog, path);
    } catch (const EStorageError &error) {
        return error.Message();
    }
    return QString();
}

const char *const Declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

} // namespace

class TestCatalogFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp; // the temporary folder of this run: every temporary file lands here
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QStringList temporaryFiles() const
    {
        return QDir(m_temp.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }

    // A small tree with every kind of folder: nested, empty, with records.
    static void fillSample(TCatalog &catalog)
    {
        TFolderNode *home = catalog.AddFolder(nullptr, QStringLiteral("Home"));
        addRecord(catalog, home, record("a.txt", 10, "0123456789abcdef0123456789abcdef"));
        addRecord(catalog, home, record("b.txt", 20));
        TFolderNode *photos = catalog.AddFolder(home, QStringLiteral("Photos"));
        addRecord(catalog, photos, record("p1.jpg", 3000000000, {}, {}, QStringLiteral("kept")));
        catalog.AddFolder(photos, QStringLiteral("Empty deep"));
        catalog.AddFolder(home, QStringLiteral("Music"));
        TFolderNode *work = catalog.AddFolder(nullptr, QStringLiteral("Work"));
        addRecord(catalog, work, record("w.doc", 0));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_temp.isValid());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
        QCOMPARE(QDir(TempFolder()).canonicalPath(), QDir(m_temp.path()).canonicalPath());
    }
    void cleanup() { QCOMPARE(temporaryFiles(), QStringList()); }

    void documentLayout()
    {
        TCatalog catalog;
        TFolderNode *top = catalog.AddFolder(nullptr, QStringLiteral("A&B <\"x\">"));
        auto file = record(QString::fromUtf8("caf\u00e9 \u0416 \U0001F600.txt"), 1234,
                           "d41d8cd98f00b204e9800998ecf8427e", QStringLiteral("/m\u00fcsic/"),
                           QStringLiteral("tab\there;line\nend"));
        addRecord(catalog, top, std::move(file));
        catalog.AddFolder(top, QStringLiteral("Sub"));
        const QByteArray expected =
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
            "<Tree Total=\"2\" Folders=\"1\">\r\n"
            "  <Folder Name=\"A&amp;B &lt;&quot;x&quot;&gt;\" Files=\"1\" Folders=\"1\">\r\n"
            "    <Files>\r\n"
            "      <File n=\"caf\xe9 &#1046; &#128512;.txt\" s=\"1234\" d=\"03/15/08 14:05\" "
            "r=\"/m\xfcsic/\" m=\"d41d8cd98f00b204e9800998ecf8427e\" "
            "c=\"tab&#9;here;line&#10;end\"/>\r\n"
            "    </Files>\r\n"
            "    <Folder Name=\"Sub\" Files=\"0\" Folders=\"0\"/>\r\n"
            "  </Folder>\r\n"
            "</Tree>\r\n";
        QCOMPARE(documentOf(catalog), expected);
    }

    void refusedWriteIsAFileError()
    {
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("F"));
        for (int i = 0; i < 2000; ++i)
            addRecord(catalog, folder, record(QStringLiteral("file %1").arg(i), i));
        TFailingDevice device(5000);
        QVERIFY_THROWS_EXCEPTION(EFileError, WriteCatalogDocument(catalog, device));
        QCOMPARE(device.Written.size(), 5000);
    }

    void recordBeingDigestedIsWrittenWithoutDigest()
    {
        TCatalog catalog;
        TFolderNode *top = catalog.AddFolder(nullptr, QStringLiteral("T"));
        addRecord(catalog, top, record("x", 1, "0123456789abcdef0123456789abcdef"));
        catalog.SetRecordState(top->Record(0), fsDigesting);
        QVERIFY(documentOf(catalog).contains(" m=\"\" "));
    }

    void roundTripKeepsTreeAndRecords()
    {
        TCatalog original;
        fillSample(original);
        const TCatalogTotals saved = SaveCatalog(original, path("tree.dat"));
        QCOMPARE(saved.Files, 4);
        QCOMPARE(saved.TotalSize, 3000000030);

        TCatalog loaded;
        const auto totals = LoadCatalog(loaded, path("tree.dat"));
        QVERIFY(totals);
        QCOMPARE(totals->Files, 4);
        QCOMPARE(totals->TotalSize, 3000000030);
        QCOMPARE(describe(loaded), describe(original));
        QCOMPARE(loaded.FolderCount(), 5);
        QVERIFY(loaded.Md5Queue().empty()); // loaded records wait until the user asks
        QVERIFY(!loaded.RootFolders()[0]->SubFolders()[1]->HasRecordList());
        QCOMPARE(loaded.RootFolders()[0]->SubFolders()[1]->ImageIndex(), TFolderNode::EmptyImage);
        QCOMPARE(loaded.RootFolders()[0]->Record(0)->State, fsDigested);
        QCOMPARE(loaded.RootFolders()[0]->Record(1)->State, fsPending);
    }

    // A document of several compression blocks, read back while the text of each folder's
    // records goes back to the system; records of one directory, wherever they stand, come back
    // sharing one real-path text.
    void largeCatalogComesBackWithOneTextPerDirectory()
    {
        TCatalog original;
        for (int f = 0; f < 20; ++f) {
            TFolderNode *folder = original.AddFolder(nullptr, QStringLiteral("Folder %1").arg(f));
            for (int i = 0; i < 1000; ++i) {
                const QString realPath =
                    i % 3 == 2 ? QString() : QStringLiteral("/disk/dir%1/").arg((f + i) % 4);
                const QString md5 = QStringLiteral("%1").arg(f * 1000 + i, 32, 16, QLatin1Char('0'));
                addRecord(original, folder,
                          record(QStringLiteral("file_%1_%2.dat").arg(f).arg(i), i, md5, realPath));
            }
        }
        SaveCatalog(original, path("large.dat"));
        QVERIFY(documentOf(original).size() > 2 * TParallelCompressionStream::BlockSize);
        QCOMPARE(contentOf(path("large.dat")).left(2), QByteArray("\x78\xDA"));

        TCatalog loaded;
        LoadCatalog(loaded, path("large.dat"));
        QCOMPARE(describe(loaded), describe(original));
        QHash<QString, const QChar *> texts;
        loaded.ForEachFolder([&](TFolderNode *folder) {
            for (const auto &file : folder->Records()) {
                if (!file->RealPath.isEmpty())
                    QCOMPARE(texts.value(file->RealPath, file->RealPath.constData()),
                             file->RealPath.constData());
                texts.insert(file->RealPath, file->RealPath.constData());
            }
        });
        QCOMPARE(texts.size(), 5); // four directories and no real path
    }

    void textsComeBackUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("XML specials") << "Tom & Jerry <\"best\"> 'of'";
        QTest::newRow("semicolon") << "a;b;c";
        QTest::newRow("Latin-1 letters") << QString::fromUtf8("Åke Ørsted façade naïve ß ÿ");
        QTest::newRow("beyond Latin-1") << QString::fromUtf8("Ελληνικά Русский 中文 € \U0001F3B5");
        QTest::newRow("line breaks and tabs") << "one\r\ntwo\tthree\nfour";
        QTest::newRow("leading and trailing blanks") << "  spaced  ";
        QTest::newRow("C1 and DEL") << QString::fromUtf8("\u0080\u009f\u007f");
        QTest::newRow("entity look-alike") << "&amp; &#65; &unknown;";
    }
    void textsComeBackUnchanged()
    {
        QFETCH(QString, text);
        TCatalog original;
        TFolderNode *folder = original.AddFolder(nullptr, text);
        addRecord(original, folder, record(text, 1, {}, text + u'/', text));
        SaveCatalog(original, path("texts.dat"));
        TCatalog loaded;
        QVERIFY(LoadCatalog(loaded, path("texts.dat")));
        QCOMPARE(loaded.RootFolders()[0]->Name(), text);
        const TFileDat *file = loaded.RootFolders()[0]->Record(0);
        QCOMPARE(file->FileName, text);
        QCOMPARE(file->RealPath, text + u'/');
        QCOMPARE(file->Comment, text);
    }

    // A record keeps its digest as bytes; any other text in its place is saved as it was read.
    void digestTextsAreSavedAsRead_data()
    {
        QTest::addColumn<QByteArray>("read");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("digest") << QByteArray("d41d8cd98f00b204e9800998ecf8427e")
                                << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("upper case") << QByteArray("D41D8CD98F00B204E9800998ECF8427E")
                                    << QByteArray("D41D8CD98F00B204E9800998ECF8427E");
        QTest::newRow("short") << QByteArray("d41d8cd9") << QByteArray("d41d8cd9");
        QTest::newRow("markup and a Latin-1 letter")
            << QByteArray("d41d&amp;&lt;\xe9&#1046;") << QByteArray("d41d&amp;&lt;\xe9&#1046;");
        QTest::newRow("digest written with a reference")
            << QByteArray("&#100;41d8cd98f00b204e9800998ecf8427e")
            << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("cut to 32") << QByteArray("D41D8CD98F00B204E9800998ECF8427E0")
                                   << QByteArray("D41D8CD98F00B204E9800998ECF8427E");
    }
    void digestTextsAreSavedAsRead()
    {
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, saved);
        const QByteArray file =
            "<File n=\"x\" s=\"1\" d=\"03/15/08 14:05\" r=\"\" m=\"" + read + "\" c=\"\"/>";
        writeFile(path("digest.dat"), ZlibCompress(QByteArray(Declaration) +
                                                   "<Tree Folders='1'><Folder Name='F' Files='1'><Files>" +
                                                   file + "</Files></Folder></Tree>"));
        TCatalog catalog;
        QVERIFY(LoadCatalog(catalog, path("digest.dat")));
        const QByteArray document = documentOf(catalog);
        QVERIFY2(document.contains(" m=\"" + saved + "\" "), document.constData());
        QCOMPARE(catalog.RootFolders()[0]->Record(0)->State, fsDigested);

        SaveCatalog(catalog, path("digest.dat"));
        TCatalog again;
        QVERIFY(LoadCatalog(again, path("digest.dat")));
        QCOMPARE(documentOf(again), document);
    }

    void datesKeepMinutesAndTwoDigitYears()
    {
        const int thisYear = QDate::currentDate().year();
        TCatalog original;
        TFolderNode *folder = original.AddFolder(nullptr, QStringLiteral("D"));
        auto recent = record("recent", 1);
        recent->DateTime = dayCountOf(thisYear - 10, 3, 15, 14, 5, 59);
        addRecord(original, folder, std::move(recent));
        auto old = record("old", 1);
        old->DateTime = dayCountOf(thisYear - 60, 7, 1, 8, 30);
        addRecord(original, folder, std::move(old));
        SaveCatalog(original, path("dates.dat"));

        TCatalog loaded;
        QVERIFY(LoadCatalog(loaded, path("dates.dat")));
        // Seconds are dropped; a year more than 50 years back comes back a century later.
        QCOMPARE(DateTimeFromDayCount(loaded.RootFolders()[0]->Record(0)->DateTime),
                 QDateTime(QDate(thisYear - 10, 3, 15), QTime(14, 5), Qt::LocalTime));
        QCOMPARE(DateTimeFromDayCount(loaded.RootFolders()[0]->Record(1)->DateTime),
                 QDateTime(QDate(thisYear + 40, 7, 1), QTime(8, 30), Qt::LocalTime));
    }

    void savedFileIsAZlibStreamOfTheDocument()
    {
        TCatalog catalog;
        fillSample(catalog);
        SaveCatalog(catalog, path("layout.dat"));
        const QByteArray file = contentOf(path("layout.dat"));
        QCOMPARE(file.left(2), QByteArray("\x78\xDA"));
        const quint32 adler = Adler32(documentOf(catalog));
        const char bigEndian[] = {char(adler >> 24), char(adler >> 16), char(adler >> 8), char(adler)};
        QCOMPARE(file.right(4), QByteArray(bigEndian, 4));
    }

    void savingKeepsOneBackup()
    {
        TCatalog first, second;
        first.AddFolder(nullptr, QStringLiteral("first"));
        second.AddFolder(nullptr, QStringLiteral("second"));
        writeFile(path("backup.bak"), "oldest");
        SaveCatalog(first, path("backup.dat"));
        SaveCatalog(second, path("backup.dat"));
        TCatalog loaded;
        QVERIFY(LoadCatalog(loaded, path("backup.dat")));
        QCOMPARE(loaded.RootFolders()[0]->Name(), QStringLiteral("second"));
        QVERIFY(LoadCatalog(loaded, path("backup.bak")));
        QCOMPARE(loaded.RootFolders()[0]->Name(), QStringLiteral("first"));

        // An empty catalog moves the previous file aside and writes nothing.
        const TCatalogTotals totals = SaveCatalog(TCatalog(), path("backup.dat"));
        QCOMPARE(totals.Files, 0);
        QVERIFY(!QFile::exists(path("backup.dat")));
        QVERIFY(LoadCatalog(loaded, path("backup.bak")));
        QCOMPARE(loaded.RootFolders()[0]->Name(), QStringLiteral("second"));
    }

    void backupNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("backup");
        QTest::newRow("extension changed") << "/d/cat.dat"
                                           << "/d/cat.bak";
        QTest::newRow("last extension only") << "/d/my.cat.dat"
                                             << "/d/my.cat.bak";
        QTest::newRow("no extension") << "/d.x/cat"
                                      << "/d.x/cat.bak";
        QTest::newRow("already a backup name") << "/d/cat.bak"
                                               << "/d/cat.bak.bak";
    }
    void backupNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, backup);
        QCOMPARE(BackupFileName(name), backup);
    }

    void previousFileThatCannotBeMovedStopsTheSave()
    {
        writeFile(path("stuck.dat"), "the only copy");
        QDir().mkpath(path("stuck.bak/inside")); // a backup name that cannot be replaced
        TCatalog catalog;
        catalog.AddFolder(nullptr, QStringLiteral("new"));
        QVERIFY_THROWS_EXCEPTION(EFileError, SaveCatalog(catalog, path("stuck.dat")));
        QCOMPARE(contentOf(path("stuck.dat")), QByteArray("the only copy"));
    }

    void failedSaveLeavesNoCatalogFile()
    {
        TCatalog catalog;
        fillSample(catalog);
        QVERIFY_THROWS_EXCEPTION(EFileError, SaveCatalog(catalog, path("missing-folder/cat.dat")));
        QVERIFY(!QFile::exists(path("missing-folder/cat.dat")));
    }

    void missingFileLeavesAnEmptyCatalog()
    {
        TCatalog catalog;
        fillSample(catalog);
        QVERIFY(!LoadCatalog(catalog, path("nothing-here.dat")));
        QVERIFY(!catalog.HasFolders());
    }

    void progressSteps()
    {
        TCatalog catalog;
        TFolderNode *top = catalog.AddFolder(nullptr, QStringLiteral("top"));
        for (int i = 0; i < 24; ++i)
            catalog.AddFolder(top, QString::number(i));
        QList<qint64> saveCalls;
        SaveCatalog(catalog, path("progress.dat"), [&](qint64 done, qint64 total) {
            QCOMPARE(total, 25);
            saveCalls << done;
        });
        QCOMPARE(saveCalls, (QList<qint64>{0, 10, 20}));

        QList<qint64> loadCalls;
        LoadCatalog(catalog, path("progress.dat"), [&](qint64 done, qint64 total) {
            QCOMPARE(total, 25);
            loadCalls << done;
        });
        // One step enters the top folder, one per sub-folder, one climbs out.
        QCOMPARE(loadCalls, (QList<qint64>{0, 5, 10, 15, 20, 25}));
        QCOMPARE(catalog.FolderCount(), 25);
    }

    void documentsTheWalkReads_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QStringList>("tree");
        QTest::newRow("attributes missing")
            << QByteArray(
                   "<Tree Total='1' Folders='1'><Folder Files='1'><Files><File/></Files></Folder></Tree>")
            << QStringList{" [2 list]", "  |0|<now>||||3"};
        QTest::newRow("digest cut to 32")
            << QByteArray("<Tree Folders='1'><Folder Name='F' Files='1'><Files>"
                          "<File n='x' s='-1' d='bad' m='0123456789abcdef0123456789abcdefEXTRA'/>"
                          "</Files></Folder></Tree>")
            << QStringList{"F [2 list]", "  x|-1|12/30/99 00:00||0123456789abcdef0123456789abcdef||0"};
        QTest::newRow("first of repeated attributes, others ignored")
            << QByteArray("<Tree Folders='1'><Folder Name='F' Files='1'><Files>"
                          "<File N='no' nn='no' n='x' n='y' s='5' s='6' d='01/02/03 "
                          "04:05'/></Files></Folder></Tree>")
            << QStringList{"F [2 list]", "  x|5|01/02/03 04:05||||3"};
        QTest::newRow("counted list that stays empty")
            << QByteArray(
                   "<Tree Folders='1'><Folder Name='F' Files='3'><Files><Other/></Files></Folder></Tree>")
            << QStringList{"F [2]"};
        QTest::newRow("uncounted records and sub-folders are not read")
            << QByteArray(
                   "<Tree Folders='1'><Folder Name='F' Files='0' Folders='0'><Files><File n='x'/></Files>"
                   "<Folder Name='G'/></Folder></Tree>")
            << QStringList{"F [0]"};
        QTest::newRow("files after sub-folders, siblings at every level")
            << QByteArray("<Tree Folders='2'><Folder Name='A' Folders='1'><Folder Name='A1' Folders='1'>"
                          "<Folder Name='A11'/></Folder><Files/></Folder><Folder Name='B'/></Tree>")
            << QStringList{"A [0]", "  A1 [0]", "    A11 [0]", "B [0]"};
        QTest::newRow("comments and foreign elements between folders are passed over")
            << QByteArray("<!-- made by hand --><Tree Folders='1'><Folder Name='A' Folders='1'><!--c--><x/>"
                          "<Folder Name='A1'/><y Folders='1'><Folder Name='hidden'/></y></Folder>"
                          "<Folder Name='B'/></Tree>")
            << QStringList{"A [0]", "  A1 [0]", "B [0]"};
        QTest::newRow("references and literal white space")
            << QByteArray("<Tree Folders='1'><Folder "
                          "Name='a&#x41;&apos;&#10;b&#13;&#10;c\r\nd\te&lt;&unknown;&#xD800;'/>"
                          "</Tree>")
            << QStringList{"aA'\nb\r\nc d e<&unknown;&#xD800; [0]"};
        QTest::newRow("a reference to U+FEFF is a character like any other")
            << QByteArray("<Tree Folders='1'><Folder Name='&#xFEFF;a&#65279;'/></Tree>")
            << QStringList{QStringLiteral(u"\uFEFFa\uFEFF [0]")};
        QTest::newRow("declared entities stay unexpanded")
            << QByteArray(
                   "<!DOCTYPE Tree [<!ENTITY a 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa'>"
                   "<!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'><!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'>"
                   "<!ENTITY d '&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;'><!ENTITY e '&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;'>"
                   "<!ENTITY f '&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;'><!ENTITY g '&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;'>"
                   "<!ENTITY h '&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;'><!ENTITY i "
                   "'&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;'>]>"
                   "<Tree Folders='1'><Folder Name='&i;'/></Tree>")
            << QStringList{"&i; [0]"};
    }
    void documentsTheWalkReads()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QStringList, tree);
        writeFile(path("walk.dat"), ZlibCompress(Declaration + xml));
        TCatalog catalog;
        const double before = DayCountFromDateTime(QDateTime::currentDateTime().addSecs(-60));
        QVERIFY(LoadCatalog(catalog, path("walk.dat")));
        const double after = DayCountFromDateTime(QDateTime::currentDateTime().addSecs(60));
        QStringList got = describe(catalog);
        // A record without a date takes the date of loading.
        catalog.ForEachFolder([&](TFolderNode *folder) {
            for (const auto &file : folder->Records()) {
                if (file->DateTime >= before && file->DateTime <= after)
                    got.replaceInStrings(DateText(file->DateTime), QStringLiteral("<now>"));
            }
        });
        QCOMPARE(got, tree);
        QVERIFY(catalog.Md5Queue().empty());
    }

    void badFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        const QByteArray good = QByteArray(Declaration) +
                                "<Tree Total='1' Folders='1'><Folder Name='F' Files='1' Folders='0'>"
                                "<Files><File n='a' s='12' d='01/02/03 04:05' r='' m='' c=''/></Files>"
                                "</Folder></Tree>";
        auto packed = [](const QByteArray &xml) { return ZlibCompress(QByteArray(Declaration) + xml); };
        QTest::newRow("gzip") << ZlibCompress(good, 9, 31) << "data error";
        QTest::newRow("raw deflate") << ZlibCompress(good, 9, -15) << "data error";
        QTest::newRow("preset dictionary") << ZlibCompress(good, 9, 15, "<Folder") << "need dictionary";
        QTest::newRow("truncated") << ZlibCompress(good).left(40) << "XML error in the registry";
        QTest::newRow("Folders count without children")
            << packed("<Tree Folders='1'><Folder Name='F' Folders='2'><Files/></Folder></Tree>")
            << "folder \"F\\\" counts 2 sub-folders but contains none";
        QTest::newRow("Tree count without children")
            << packed("<Tree Folders='1'></Tree>") << "The registry counts 1 sub-folders but contains none";
        QTest::newRow("Files count without Files element")
            << packed("<Tree Folders='1'><Folder Name='F' Files='2' Folders='1'><Folder "
                      "Name='G'/></Folder></Tree>")
            << "Folder \"F\\\" counts 2 files but has no Files element";
        QTest::newRow("size not a decimal integer")
            << packed("<Tree Folders='1'><Folder Name='F' Files='1'><Files><File n='a' "
                      "s='12x'/></Files></Folder>"
                      "</Tree>")
            << "The size \"12x\" of file \"a\" in folder \"F\\\" is not a decimal integer";
        QTest::newRow("empty size") << packed(
                                           "<Tree Folders='1'><Folder Files='1'><Files><File s=''/></Files>"
                                           "</Folder></Tree>")
                                    << "The size \"\" of file \"\"";
        QTest::newRow("count not a decimal integer")
            << packed("<Tree Folders='1'><Folder Name='F' Files='1 '/></Tree>")
            << "The Files count \"1 \" of folder \"F\\\" is not a decimal integer";
        QTest::newRow("Total not a decimal integer")
            << packed("<Tree Total='many'/>") << "The Total count \"many\" of the registry";
        QTest::newRow("comment after the document element")
            << packed("<Tree Folders='1'><Folder Name='F'/></Tree><!-- more -->")
            << "after its <Tree> element";
        QTest::newRow("element after the document element")
            << packed("<Tree Folders='1'><Folder Name='F'/></Tree><Folder Name='G'/>")
            << "after its <Tree> element";
        QTest::newRow("another document element") << packed("<Catalog/>") << "not <Tree>";
        QTest::newRow("no element at all") << packed("<!-- only a comment -->") << "No document element";
        QTest::newRow("end tag of another element")
            << packed("<Tree Folders='1'><Folder Name='F'></Tree>") << "Start and end tags do not match";
        QTest::newRow("attribute value without quotes")
            << packed("<Tree Folders=1><Folder Name='F'/></Tree>") << "Bad attribute (at byte 58)";
        QTest::newRow("cut inside a tag") << packed("<Tree Folders='1'><Folder Name='F") << "Unexpected end";
        // A value quoted from the file is cut, and so is the whole text: a box of megabytes
        // takes seconds to appear.
        const QByteArray hugeName(5'000'000, 'n');
        QTest::newRow("huge folder name and a bad size")
            << packed("<Tree Folders='1'><Folder Name='" + hugeName + "' Files='1'><Files><File n='" +
                      hugeName + "' s='x'/></Files></Folder></Tree>")
            << "The size \"x\" of file \"" + QString(80, u'n') + "...\" in folder \"" + QString(80, u'n') +
                   "...\"";
        QTest::newRow("null character inside the document element")
            << packed(QByteArray("<Tree Folders='1'>\0<Folder Name='F'/></Tree>", 39)) << "Unexpected end";
    }
    void badFilesAreRefused()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        writeFile(path("bad.dat"), file);
        TCatalog catalog;
        fillSample(catalog);
        const QString message = loadError(catalog, path("bad.dat"));
        QVERIFY2(message.contains(error), qPrintable(message.left(300)));
        QVERIFY(message.size() <= 1000);
        QVERIFY(!catalog.HasFolders()); // nothing of a refused file stays
    }

    void errorBoxTextEndsWithAPeriodOnlyAfterCharactersSortingAfterIt()
    {
        QCOMPARE(StandardErrorText(QStringLiteral("data error")), QStringLiteral("data error."));
        QCOMPARE(StandardErrorText(QStringLiteral("ends.")), QStringLiteral("ends."));
        // '"' and ')' sort before '.', so such a text is shown as it is.
        QCOMPARE(StandardErrorText(QStringLiteral("Cannot open \"a.dat\"")),
                 QStringLiteral("Cannot open \"a.dat\""));
        QCOMPARE(StandardErrorText(QStringLiteral("(x)")), QStringLiteral("(x)"));
        QCOMPARE(StandardErrorText(QString()), QString());
    }

    void odditiesThatStillLoad_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = QByteArray(Declaration) +
                                "<Tree Total='1' Folders='1'><Folder Name='F' Files='1' Folders='0'>"
                                "<Files><File n='a' s='12' d='01/02/03 04:05' r='' m='' c=''/></Files>"
                                "</Folder></Tree>";
        QTest::newRow("bytes after the stream") << ZlibCompress(good) + "\0\0junk after the end";
        QTest::newRow("level 1") << ZlibCompress(good, 1);
        QTest::newRow("512-byte window") << ZlibCompress(good, 9, 9);
        QTest::newRow("UTF-8 declared") << ZlibCompress(QByteArray(good).replace("ISO-8859-1", "UTF-8"));
        QTest::newRow("no declaration") << ZlibCompress(good.mid(int(strlen(Declaration))));
        QTest::newRow("text and CDATA around the document element") << ZlibCompress(
            QByteArray(good).insert(int(strlen(Declaration)), "stray <![CDATA[<Tree>]]>") + "more text");
        QTest::newRow("null character after the document element") << ZlibCompress(good + '\0' + "<junk");
        QTest::newRow("UTF-16 with its byte order mark") << ZlibCompress(
            QByteArray("\xFF\xFE", 2) +
            QByteArray(reinterpret_cast<const char *>(QString::fromLatin1(good).utf16()), good.size() * 2));
    }
    void odditiesThatStillLoad()
    {
        QFETCH(QByteArray, file);
        writeFile(path("odd.dat"), file);
        TCatalog catalog;
        const auto totals = LoadCatalog(catalog, path("odd.dat"));
        QVERIFY(totals);
        QCOMPARE(totals->Files, 1);
        QCOMPARE(totals->TotalSize, 12);
        QCOMPARE(catalog.RootFolders()[0]->Record(0)->FileName, QStringLiteral("a"));
    }

    void utf8DocumentsAreRead()
    {
        writeFile(path("utf8.dat"),
                  ZlibCompress("<?xml version='1.0' encoding='UTF-8'?>"
                               "<Tree Folders='1'><Folder Name='Caf\xc3\xa9 &#8364;'/></Tree>"));
        TCatalog catalog;
        QVERIFY(LoadCatalog(catalog, path("utf8.dat")));
        QCOMPARE(catalog.RootFolders()[0]->Name(), QString::fromUtf8("Café €"));
    }

    void utf16DocumentsAreReadWhateverTheyDeclare()
    {
        // Longer than one window of reading, in both its wide and its UTF-8 form.
        const QString xml = QStringLiteral("<?xml version='1.0' encoding='ISO-8859-1'?>"
                                           "<Tree Folders='1'><!--%1--><Folder Name='Café €'/></Tree>")
                                .arg(QString(1 << 20, u'x'));
        writeFile(path("utf16.dat"), ZlibCompress(QByteArray("\xFE\xFF", 2) +
                                                  QStringEncoder(QStringEncoder::Utf16BE).encode(xml)));
        TCatalog catalog;
        QVERIFY(LoadCatalog(catalog, path("utf16.dat")));
        QCOMPARE(catalog.RootFolders()[0]->Name(), QString::fromUtf8("Café €"));
    }

    // The reader holds a window of the document: tags, values and comments that run across its
    // edges, or are larger than it, are read whole.
    void documentsLargerThanTheReadingWindowReadBackTheSame()
    {
        TCatalog catalog;
        TFolderNode *big = catalog.AddFolder(nullptr, QStringLiteral("big"));
        std::vector<std::unique_ptr<TFileDat>> records;
        for (int i = 0; i < 30000; ++i)
            records.push_back(
                record(QStringLiteral("file %1 é").arg(i), i, {}, QStringLiteral("/d%1/").arg(i % 7)));
        records.push_back(record(QStringLiteral("long"), 1, {}, {}, QString(3 << 20, u'c')));
        catalog.AppendRecords(big, std::move(records));
        catalog.AddFolder(big, QString(1 << 20, u'n'));
        QByteArray document = documentOf(catalog);
        document.insert(document.indexOf("<Tree"),
                        "<!--" + QByteArray(3 << 20, '-').replace("--", "- ") + "-->");
        writeFile(path("big.dat"), ZlibCompress(document));

        TCatalog loaded;
        const auto totals = LoadCatalog(loaded, path("big.dat"));
        QVERIFY(totals);
        QCOMPARE(totals->Files, 30001);
        QCOMPARE(describe(loaded), describe(catalog));
    }

    void latin1BytesOfOlderFilesAreRead()
    {
        writeFile(path("latin1.dat"),
                  ZlibCompress(QByteArray(Declaration) +
                               "<Tree Folders='1'><Folder Name='Caf\xe9 &#8364;'/></Tree>"));
        TCatalog catalog;
        QVERIFY(LoadCatalog(catalog, path("latin1.dat")));
        QCOMPARE(catalog.RootFolders()[0]->Name(), QString::fromUtf8("Café €"));
    }
};

QTEST_GUILESS_MAIN(TestCatalogFile)
#include "tst_catalogfile.moc"
