// --json: every command's output read line by line by Python's json module, the reader scripts
// use, with names that hold a line break and names that are not UTF-8 at all.

#include "CliJson.h"
#include "CliTestKit.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads JSON Lines as a script would: each line decoded as strict UTF-8 and parsed alone; every
// object has "v" 1 and a "type", and the last one, only it, is the summary. Prints one line per
// object: its type, its "class" if any, then the bytes of its "path" and "name" as
// surrogateescape gives them back, in hex.
constexpr char JsonLinesReader[] = R"(
import json, sys
lines = sys.stdin.buffer.read().split(b'\n')
assert lines[-1] == b'', 'the output ends with a line break'
objects = [json.loads(line.decode('utf-8')) for line in lines[:-1]]
assert objects and all(o['v'] == 1 and isinstance(o['type'], str) for o in objects)
assert [o['type'] == 'summary' for o in objects].count(True) == 1 and objects[-1]['type'] == 'summary'
for o in objects:
    keys = [k + '=' + o[k].encode('utf-8', 'surrogateescape').hex() for k in ('path', 'name') if isinstance(o.get(k), str)]
    print(' '.join([o['type']] + (['class=' + o['class']] if 'class' in o else []) + keys))
)";

struct TReadJson
{
    bool Parsed = false;
    QStringList Objects; // "type path=<hex> name=<hex>"
    QJsonObject Summary;
    QByteArray Complaint; // Python's, when it could not read the output
};

TReadJson ReadAsPython(const QByteArray &output)
{
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(JsonLinesReader)});
    python.write(output);
    python.closeWriteChannel();
    TReadJson read;
    if (!python.waitForFinished(60'000))
        return read;
    read.Complaint = python.readAllStandardError();
    read.Parsed = python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
    read.Objects = QString::fromLatin1(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    const qsizetype lastStart = output.lastIndexOf('\n', output.size() - 2) + 1;
    read.Summary = QJsonDocument::fromJson(output.mid(lastStart)).object();
    return read;
}

#define EXPECT_JSON_LINES(read, run) QVERIFY2((read).Parsed, (run).Out + "\n" + (read).Complaint)

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

} // namespace

class TestCliJson : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QByteArray pathBytes(const QString &name) const { return QFile::encodeName(path(name)); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Three files of one content, one behind a line break and a quotation mark, one whose
        // name is bytes that are no UTF-8 (a lone continuation byte, a truncated sequence).
        WriteTestFile(path(QStringLiteral("tree/plain.txt")), "same");
        WriteTestFile(path(QStringLiteral("tree/sub/two\nlines \"q\".txt")), "same");
        WriteTestFile(path(QStringLiteral("tree/other.txt")), "other");
        m_oddName = pathBytes(QStringLiteral("tree")) + "/odd\x80\xe2\x82.bin";
        QVERIFY(::close(::open(m_oddName.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        m_catalog = path(QStringLiteral("tree.dat"));

        const TCliResult scan =
            RunCliProcess({QStringLiteral("scan"), QStringLiteral("--json"), QStringLiteral("--quiet"),
                           QStringLiteral("-o"), m_catalog, path(QStringLiteral("tree"))});
        CLI_EXPECT_STATUS(scan, 1); // the odd name is left out
        const TReadJson read = ReadAsPython(scan.Out);
        EXPECT_JSON_LINES(read, scan);
        QCOMPARE(read.Objects, QStringList({QStringLiteral("leftout path=") + hex(m_oddName), "summary"}));
        QCOMPARE(read.Summary.value("digested").toInt(), 3);
        QCOMPARE(read.Summary.value("invalid_names").toInt(), 1);
        QCOMPARE(read.Summary.value("saved").toBool(), true);
    }

    // The temporary folder removes only names that are text.
    void cleanupTestCase()
    {
        ::unlink(m_oddName.constData());
        ::unlink(m_oddCardName.constData());
    }

    void catalogQueriesKeepNamesWithLineBreaks()
    {
        const QString broken = hex("two\nlines \"q\".txt");
        const TCliResult dups = RunCliProcess({QStringLiteral("dups"), QStringLiteral("--json"), m_catalog});
        CLI_EXPECT_STATUS(dups, 0);
        const TReadJson sets = ReadAsPython(dups.Out);
        EXPECT_JSON_LINES(sets, dups);
        QCOMPARE(sets.Objects, QStringList({QStringLiteral("duplicate name=") + hex("plain.txt"),
                                            QStringLiteral("duplicate name=") + broken, "summary"}));
        QCOMPARE(sets.Summary.value("sets").toInt(), 1);

        const TCliResult search = RunCliProcess(
            {QStringLiteral("search"), QStringLiteral("--json"), m_catalog, QStringLiteral("lines")});
        CLI_EXPECT_STATUS(search, 0);
        const TReadJson found = ReadAsPython(search.Out);
        EXPECT_JSON_LINES(found, search);
        QCOMPARE(found.Objects, QStringList({QStringLiteral("record name=") + broken, "summary"}));

        const TCliResult find = RunCliProcess(
            {QStringLiteral("find"), QStringLiteral("--json"), m_catalog, Md5Hex("other").toUpper()});
        CLI_EXPECT_STATUS(find, 0);
        const TReadJson first = ReadAsPython(find.Out);
        EXPECT_JSON_LINES(first, find);
        QCOMPARE(first.Objects, QStringList({QStringLiteral("record name=") + hex("other.txt"), "summary"}));

        // No record found: the summary alone, the exit status as without --json.
        const TCliResult none = RunCliProcess(
            {QStringLiteral("search"), QStringLiteral("--json"), m_catalog, QStringLiteral("nothing")});
        CLI_EXPECT_STATUS(none, 1);
        const TReadJson empty = ReadAsPython(none.Out);
        EXPECT_JSON_LINES(empty, none);
        QCOMPARE(empty.Summary.value("found").toInt(), 0);
    }

    void haveGivesDiskPathsBackAsTheirBytes()
    {
        WriteTestFile(path(QStringLiteral("card/new\nfile.jpg")), "new picture");
        WriteTestFile(path(QStringLiteral("card/copy.txt")), "other");
        const QByteArray odd = pathBytes(QStringLiteral("card")) + "/\xff.jpg";
        QVERIFY(::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        m_oddCardName = odd;

        const TCliResult run = RunCliProcess(
            {QStringLiteral("have"), QStringLiteral("--json"), m_catalog, path(QStringLiteral("card"))});
        CLI_EXPECT_STATUS(run, 1);
        const TReadJson read = ReadAsPython(run.Out);
        EXPECT_JSON_LINES(read, run);
        QCOMPARE(
            read.Objects,
            QStringList({QStringLiteral("leftout path=") + hex(odd),
                         QStringLiteral("have path=%1 name=%2")
                             .arg(hex(pathBytes(QStringLiteral("card/copy.txt"))), hex("other.txt")),
                         QStringLiteral("new path=") + hex(pathBytes(QStringLiteral("card/new\nfile.jpg"))),
                         "summary"}));
        QCOMPARE(read.Summary.value("new").toInt(), 1);
    }

    void verifyGivesEachFindingItsClass()
    {
        const QString real = path(QStringLiteral("tree/"));
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("V"));
        AddTestRecord(catalog, folder, QStringLiteral("plain.txt"), 4, real, Md5Hex("same"));
        AddTestRecord(catalog, folder, QStringLiteral("gone\naway.txt"), 4, real, Md5Hex("gone"));
        const QString file = path(QStringLiteral("verify.dat"));
        SaveCatalog(catalog, file);

        const TCliResult run = RunCliProcess({QStringLiteral("verify"), QStringLiteral("--json"), file});
        CLI_EXPECT_STATUS(run, 1);
        const TReadJson read = ReadAsPython(run.Out);
        EXPECT_JSON_LINES(read, run);
        QCOMPARE(read.Objects, QStringList({QStringLiteral("finding class=missing path=%1 name=%2")
                                                .arg(hex(pathBytes(QStringLiteral("tree/gone\naway.txt"))),
                                                     hex("gone\naway.txt")),
                                            "summary"}));
        QCOMPARE(read.Summary.value("checked").toInt(), 2);
        QCOMPARE(read.Summary.value("ok").toInt(), 1);
        QCOMPARE(read.Summary.value("missing").toInt(), 1);
    }

    void jsonAndNulEndsAreRefused()
    {
        const TCliResult run = RunCliProcess({QStringLiteral("have"), QStringLiteral("--json"),
                                              QStringLiteral("-0"), m_catalog, m_dir.path()});
        CLI_EXPECT_STATUS(run, 2);
        QVERIFY(run.Out.isEmpty());
        QVERIFY(run.Err.startsWith("dravik-cli: --json and -0 (--null) cannot be used together\n"));
    }

    // Every way UTF-8 goes wrong, beside sequences that are right at the edges of what is
    // allowed: the bytes must come back through surrogateescape exactly.
    void anyBytesComeBackThroughSurrogateEscape_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("controls, quote, backslash") << QByteArray("a\x01\t\"\\\x7f b", 8);
        QTest::newRow("overlong") << QByteArray("\xc0\x80\xc1\xbf\xe0\x80\x80\xf0\x8f\xbf\xbf");
        QTest::newRow("surrogate encoded") << QByteArray("\xed\xa0\x80\xed\xbf\xbf");
        QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80\xf5\x80");
        QTest::newRow("truncated then ASCII") << QByteArray("\xe2\x82x\xf0\x9f\x98");
        QTest::newRow("edges that are valid")
            << QByteArray("\xc2\x80\xed\x9f\xbf\xee\x80\x80\xf4\x8f\xbf\xbf\xf0\x9f\x98\x80");
    }

    void anyBytesComeBackThroughSurrogateEscape()
    {
        QFETCH(QByteArray, bytes);
        QByteArray line;
        AppendJsonBytes(line, bytes);
        QProcess python;
        python.start(QStringLiteral("python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import json, sys; data = sys.stdin.buffer.read().decode('utf-8'); "
                                     "print(json.loads(data).encode('utf-8', 'surrogateescape').hex())")});
        python.write(line);
        python.closeWriteChannel();
        QVERIFY(python.waitForFinished(60'000));
        QCOMPARE(python.readAllStandardOutput().trimmed(), bytes.toHex());
    }

    // Catalog texts go from UTF-16 straight to UTF-8: two-, three- and four-byte characters, and
    // a lone half of a surrogate pair, which names no character.
    void catalogTextBecomesUtf8()
    {
        QString text = QStringLiteral("\u00e9\u20ac\U0001F600\x01\"/");
        text += QChar(0xd800);
        QByteArray line;
        AppendJsonText(line, text);
        QCOMPARE(line, QByteArray("\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\\u0001\\\"/\xef\xbf\xbd\""));
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_oddName;
    QByteArray m_oddCardName;
    QString m_catalog;
};

QTEST_GUILESS_MAIN(TestCliJson)
#include "tst_clijson.moc"
