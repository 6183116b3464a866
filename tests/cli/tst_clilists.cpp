// Digest lists in and out: export --md5sum checked by md5sum itself, import of lists that md5sum
// and hashdeep wrote.

#include "CliTestKit.h"

#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// Runs a tool of the system in the folder; its standard output, or a null array when it failed.
QByteArray runTool(const QString &program, const QStringList &arguments, const QString &folder,
                   int *status = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    if (status)
        *status = process.exitCode();
    else if (process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

// Every field of every record, in catalog order.
QStringList dumpOf(const QString &catalogFile)
{
    return RecordLines(catalogFile, {rfFolderPath, rfName, rfSize, rfDate, rfRealPath, rfMd5, rfState});
}

} // namespace

class TestCliLists : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("hashdeep")).isEmpty(),
                 "hashdeep is not installed (scripts/test installs it)");
    }

    void exportedListIsCheckedByMd5sum()
    {
        // Names that md5sum must escape, or that a careless writer would split.
        const QStringList names{QStringLiteral("plain.txt"),
                                QStringLiteral("with  two spaces.txt"),
                                QStringLiteral("back\\slash.txt"),
                                QStringLiteral("line\nbreak.txt"),
                                QStringLiteral("carriage\rreturn.txt"),
                                QStringLiteral("ünïcode.txt")};
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("M"));
        QStringList files;
        for (const QString &name : names) {
            const QByteArray content = name.toUtf8() + " content";
            files << WriteTestFile(path(QStringLiteral("m/") + name), content);
            AddTestRecord(catalog, folder, name, content.size(), path(QStringLiteral("m/")), Md5Hex(content));
        }
        AddTestRecord(catalog, folder, QStringLiteral("nodigest.txt"), 1, path(QStringLiteral("m/")),
                      QString());
        AddTestRecord(catalog, folder, QStringLiteral("nopath.txt"), 1, QString(), Md5Hex("x"));
        const QString file = path(QStringLiteral("m.dat"));
        SaveCatalog(catalog, file);

        const QString list = path(QStringLiteral("m.md5"));
        const TCliResult run =
            RunCliProcess({QStringLiteral("export"), QStringLiteral("--md5sum"), file, list});
        CLI_EXPECT_STATUS(run, 0);
        QCOMPARE(run.Err, QByteArray("dravik-cli: 2 records without digest or real path left out\n"));
        // Line for line what md5sum writes for the same files...
        const QByteArray own = ReadWholeFile(list);
        QCOMPARE(SortedLines(own), SortedLines(runTool(QStringLiteral("md5sum"), files, m_dir.path())));
        // ... and what md5sum -c accepts.
        int status = -1;
        const QByteArray checked =
            runTool(QStringLiteral("md5sum"), {QStringLiteral("-c"), list}, m_dir.path(), &status);
        QCOMPARE(status, 0);
        QCOMPARE(checked.count(": OK\n"), qsizetype(names.size()));

        // "-" writes the same list to the output.
        const TCliResult out =
            RunCliProcess({QStringLiteral("export"), QStringLiteral("--md5sum"), file, "-"});
        CLI_EXPECT_STATUS(out, 0);
        QCOMPARE(out.Out, own);
    }

    void md5sumAndHashdeepListsImportAsTheSameRecords()
    {
        // Relative names: md5sum's are read from the current folder, hashdeep's from the folder
        // it was invoked from.
        WriteTestFile(path(QStringLiteral("l/a, b.txt")), "comma and blank");
        WriteTestFile(path(QStringLiteral("l/back\\slash")), "backslash");
        WriteTestFile(path(QStringLiteral("l/sub/c.bin")), QByteArray(40000, 'c'));
        WriteTestFile(path(QStringLiteral("l/empty")), {});
        const QStringList relative{QStringLiteral("l/a, b.txt"), QStringLiteral("l/back\\slash"),
                                   QStringLiteral("l/sub/c.bin"), QStringLiteral("l/empty")};
        const QByteArray md5sumList = runTool(QStringLiteral("md5sum"), relative, m_dir.path());
        const QByteArray hashdeepList =
            runTool(QStringLiteral("hashdeep"),
                    {QStringLiteral("-c"), QStringLiteral("md5"), QStringLiteral("-r"), QStringLiteral("l")},
                    m_dir.path());
        QVERIFY(!md5sumList.isEmpty() && !hashdeepList.isEmpty());
        WriteTestFile(path(QStringLiteral("l.md5")), md5sumList);
        WriteTestFile(path(QStringLiteral("l.hashdeep")), hashdeepList);

        const TCliResult fromMd5sum =
            RunCliProcess({QStringLiteral("import"), QStringLiteral("a.dat"), QStringLiteral("l.md5"),
                           QStringLiteral("--into"), QStringLiteral("Imported\\L")},
                          m_dir.path());
        const TCliResult fromHashdeep =
            RunCliProcess({QStringLiteral("import"), path(QStringLiteral("b.dat")),
                           path(QStringLiteral("l.hashdeep")), QStringLiteral("--into=Imported\\L\\")});
        CLI_EXPECT_STATUS(fromMd5sum, 0);
        CLI_EXPECT_STATUS(fromHashdeep, 0);
        QCOMPARE(fromMd5sum.Out, QByteArray("added 4, not used 0\n"));
        QVERIFY2(fromMd5sum.Err.contains("without reading the files"), fromMd5sum.Err);

        // hashdeep lists its files in its own order: compare as sets, and the facts one by one.
        QStringList a = dumpOf(path(QStringLiteral("a.dat"))), b = dumpOf(path(QStringLiteral("b.dat")));
        QCOMPARE(a.size(), 4);
        a.sort();
        b.sort();
        QCOMPARE(b, a);
        const QString sub = path(QStringLiteral("l/sub/"));
        const QString date = DateText(FileDateOf(sub + QStringLiteral("c.bin")));
        QVERIFY2(a.contains(QStringLiteral("Imported\\L\\|c.bin|40000|%1|%2|%3|0")
                                .arg(date, sub, Md5Hex(QByteArray(40000, 'c')))),
                 qPrintable(a.join(u'\n')));
    }

    void linesThatCannotBeUsedAreReported()
    {
        const QString good = WriteTestFile(path(QStringLiteral("u/good.txt")), "good");
        const QString changed = WriteTestFile(path(QStringLiteral("u/changed.txt")), "now other bytes");
        const QString sized = WriteTestFile(path(QStringLiteral("u/sized.txt")), "twelve bytes");
        const QByteArray md5sumList = Md5Hex("good").toLatin1() + "  " + good.toUtf8() + "\n" +
                                      "this is no line of md5sum's\n" + Md5Hex("x").toLatin1() + "  " +
                                      path(QStringLiteral("u/absent")).toUtf8() + "\n" +
                                      Md5Hex("good").toLatin1() + " *" + good.toUtf8() + "\n" +
                                      Md5Hex("before").toLatin1() + "  " + changed.toUtf8() + "\n";
        const QString list = WriteTestFile(path(QStringLiteral("u.md5")), md5sumList);
        const QString catalog = path(QStringLiteral("u.dat"));

        const TCliResult run = RunCliProcess(
            {QStringLiteral("import"), catalog, list, QStringLiteral("--into"), QStringLiteral("U")});
        CLI_EXPECT_STATUS(run, 1);
        QCOMPARE(run.Out, QByteArray("added 2, not used 3\n"));
        QCOMPARE(QString::fromUtf8(run.Err),
                 QStringLiteral("dravik-cli: %1:2: not a line of md5sum's\n"
                                "dravik-cli: %1:3: %2: No such file or directory\n"
                                "dravik-cli: %1:4: %3: already in U\\\n"
                                "dravik-cli: the digests were taken from the list without reading the files "
                                "(--check reads them; verify checks them later)\n")
                     .arg(list, path(QStringLiteral("u/absent")), good));

        // --check reads the files and refuses a digest that is not the file's; a hashdeep size
        // that is not the file's is refused without reading.
        const QByteArray hashdeepList = "%%%% HASHDEEP-1.0\n%%%% size,md5,filename\n## Invoked from: /\n"
                                        "## $ hashdeep -c md5 " +
                                        path(QStringLiteral("u")).toUtf8() + "\n##\n" + "15," +
                                        Md5Hex("before").toLatin1() + "," + changed.toUtf8() + "\n" + "11," +
                                        Md5Hex("twelve bytes").toLatin1() + "," + sized.toUtf8() + "\n" +
                                        "4," + Md5Hex("good").toLatin1() + "," + good.toUtf8() + "\n";
        const QString deepList = WriteTestFile(path(QStringLiteral("u.hashdeep")), hashdeepList);
        const TCliResult checked =
            RunCliProcess({QStringLiteral("import"), path(QStringLiteral("checked.dat")), deepList,
                           QStringLiteral("--into"), QStringLiteral("C\\"), QStringLiteral("--check")});
        CLI_EXPECT_STATUS(checked, 1);
        QCOMPARE(checked.Out, QByteArray("added 1, not used 2\n"));
        QCOMPARE(QString::fromUtf8(checked.Err),
                 QStringLiteral("dravik-cli: %1:6: %2: its digest is %3, the list says %4\n"
                                "dravik-cli: %1:7: %5: 12 bytes on disk, 11 in the list\n")
                     .arg(deepList, changed, Md5Hex("now other bytes"), Md5Hex("before"), sized));
        QCOMPARE(dumpOf(path(QStringLiteral("checked.dat"))).size(), 1);

        // Importing the same list again adds nothing and leaves the catalog alone.
        const QByteArray saved = ReadWholeFile(catalog);
        const TCliResult again = RunCliProcess(
            {QStringLiteral("import"), catalog, list, QStringLiteral("--into"), QStringLiteral("U")});
        CLI_EXPECT_STATUS(again, 1);
        QCOMPARE(again.Out, QByteArray("added 0, not used 5\n"));
        QCOMPARE(ReadWholeFile(catalog), saved);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliLists)
#include "tst_clilists.moc"
