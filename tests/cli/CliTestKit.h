#pragma once

// Helpers of the command-line tests: running dravik-cli, and catalogs and files to run it on.

#include "Catalog.h"
#include "CatalogFile.h"
#include "TestFiles.h"
#include "TestRecords.h"
#include "support.h"

#include <QDateTime>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <functional>
#include <linux/capability.h>
#include <sys/prctl.h>

struct TCliResult
{
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

// Runs dravik-cli with the words in the folder (the test's own when empty), with the variables
// ("NAME=value") added to the environment; Status -1 when it did not start or end normally.
// inChild runs in the child process before dravik-cli starts.
inline TCliResult RunCliProcess(const QStringList &words, const QString &folder = {},
                                const QStringList &variables = {}, const std::function<void()> &inChild = {})
{
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    if (!variables.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &variable : variables)
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral(DRAVIK_CLI_PATH), words);
    TCliResult result;
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.Status = process.exitCode();
    result.Out = process.readAllStandardOutput();
    result.Err = process.readAllStandardError();
    return result;
}

// For RunCliProcess: dravik-cli runs without the capabilities that let root read every folder, so
// a folder of mode 000 is unreadable to it as to any user. They go from the bounding set, or the
// program would get them back when it starts as root; for other users nothing changes.
inline void WithoutReadingEveryFolder()
{
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
}

// Fails the calling test with both streams shown when the status is not the expected one.
#define CLI_EXPECT_STATUS(result, status)                                                                    \
    QVERIFY2((result).Status == (status),                                                                    \
             qPrintable(QStringLiteral("status %1, stdout:\n%2\nstderr:\n%3")                                \
                            .arg((result).Status)                                                            \
                            .arg(QString::fromUtf8((result).Out), QString::fromUtf8((result).Err))))

// A record as a catalog file holds it; realPath "" for a record without real path.
inline TFileDat *AddTestRecord(TCatalog &catalog, TFolderNode *folder, const QString &name, qint64 size,
                               const QString &realPath, const QString &md5, const QString &comment = {})
{
    return catalog.AddRecord(
        folder,
        MakeTestRecord({.Name = name,
                        .Size = size,
                        .RealPath = realPath,
                        .Md5 = md5,
                        .Comment = comment,
                        .DateTime = DayCountFromDateTime(QDateTime(QDate(2008, 3, 15), QTime(14, 5, 59)))}));
}

// The date every AddTestRecord record carries, as DateText writes it.
inline constexpr char TestDateText[] = "03/15/08 14:05";

enum TRecordField
{
    rfFolderPath,
    rfName,
    rfSize,
    rfDate, // as DateText writes it
    rfRealPath,
    rfMd5,
    rfState,
};

// Every record of the catalog file as a line of the fields asked for, joined by "|", in catalog
// order; {"no catalog file"} when it cannot be read.
inline QStringList RecordLines(const QString &catalogFile, std::initializer_list<TRecordField> fields)
{
    TCatalog catalog;
    if (!LoadCatalog(catalog, catalogFile))
        return {QStringLiteral("no catalog file")};
    QStringList lines;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        for (const auto &record : folder->Records()) {
            QStringList values;
            for (const TRecordField field : fields) {
                switch (field) {
                case rfFolderPath:
                    values << TCatalog::FolderPath(folder);
                    break;
                case rfName:
                    values << record->FileName;
                    break;
                case rfSize:
                    values << QString::number(record->Size);
                    break;
                case rfDate:
                    values << DateText(record->DateTime);
                    break;
                case rfRealPath:
                    values << record->RealPath;
                    break;
                case rfMd5:
                    values << record->Md5.Text();
                    break;
                case rfState:
                    values << QString::number(int(record->State));
                    break;
                }
            }
            lines << values.join(u'|');
        }
    });
    return lines;
}

// The catalog paths of the file's folders, in tree order.
inline QStringList FolderPathsOf(const QString &catalogFile)
{
    TCatalog catalog;
    LoadCatalog(catalog, catalogFile);
    QStringList folders;
    catalog.ForEachFolder([&](TFolderNode *folder) { folders << TCatalog::FolderPath(folder); });
    return folders;
}

// The lines of a command's output, sorted, without empty ones: for output whose order is the
// file system's.
inline QList<QByteArray> SortedLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    lines.removeAll(QByteArray());
    std::sort(lines.begin(), lines.end());
    return lines;
}
