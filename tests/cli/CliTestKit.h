#pragma once

// Helpers of the command-line tests: running dravik-cli, and catalogs and files to run it on.

#include "Catalog.h"
#include "CatalogFile.h"
#include "support.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

struct TCliResult
{
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

// Runs dravik-cli with the words in the folder (the test's own when empty), with the variables
// ("NAME=value") added to the environment; Status -1 when it did not start or end normally.
inline TCliResult RunCliProcess(const QStringList &words, const QString &folder = {},
                                const QStringList &variables = {})
{
    QProcess process;
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
    auto record = std::make_unique<TFileDat>();
    record->FileName = name;
    record->Size = size;
    record->DateTime = DayCountFromDateTime(QDateTime(QDate(2008, 3, 15), QTime(14, 5, 59)));
    record->RealPath = realPath;
    record->Md5 = md5;
    record->Comment = comment;
    record->State = md5.isEmpty() ? fsPending : fsDigested;
    return catalog.AddRecord(folder, std::move(record));
}

// The date every AddTestRecord record carries, as DateText writes it.
inline constexpr char TestDateText[] = "03/15/08 14:05";

inline QString WriteTestFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

inline QString Md5Hex(const QByteArray &content)
{
    return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex());
}

inline QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
