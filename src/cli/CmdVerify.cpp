// verify: the catalogued files against the disk, without changing the catalog file. First what
// the disk says of every record, then the files that are there are read on every core, then the
// findings are written grouped by class, the worst first.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliDigests.h"
#include "CliJson.h"
#include "RemovableVolumes.h"
#include "Verification.h"
#include "support.h"

#include <algorithm>
#include <array>

namespace {

// A record whose file is not what its digest says, or could not be compared with it. Catalogs
// hold millions of records: a finding is kept as small as this until it is written.
struct TVerifyFinding
{
    const TFileDat *Record;
    TVerifyClass Class;
};

// Where a class is written: what needs a look first. Ok is never a finding.
int WritingRank(TVerifyClass verifyClass)
{
    switch (verifyClass) {
    case TVerifyClass::Corrupt:
        return 0;
    case TVerifyClass::Edited:
        return 1;
    case TVerifyClass::Missing:
        return 2;
    case TVerifyClass::Offline:
        return 3;
    case TVerifyClass::Unreadable:
        return 4;
    case TVerifyClass::WithoutDigest:
        return 5;
    default:
        return 6;
    }
}

// What a run found: the findings grouped by class in writing order, catalog order within a class,
// and how many records each class has.
struct TVerifyReport
{
    std::vector<TVerifyFinding> Findings;
    std::array<qint64, size_t(TVerifyClass::WithoutRealPath) + 1> Counts{};
    qint64 Checked = 0;         // records with a real path, offline ones aside
    bool OfflineCounted = true; // false with --only-present: offline records are left out

    void Add(const TFileDat *record, TVerifyClass verifyClass)
    {
        ++Counts[size_t(verifyClass)];
        if (verifyClass != TVerifyClass::Ok && verifyClass != TVerifyClass::WithoutRealPath)
            Findings.push_back({record, verifyClass});
    }
    qint64 Count(TVerifyClass verifyClass) const { return Counts[size_t(verifyClass)]; }
    void Group()
    {
        std::stable_sort(Findings.begin(), Findings.end(),
                         [](const TVerifyFinding &a, const TVerifyFinding &b) {
                             return WritingRank(a.Class) < WritingRank(b.Class);
                         });
    }
    // Something the user must look at; offline records are not: their drive is only not plugged in.
    bool NeedsALook() const
    {
        return Count(TVerifyClass::Corrupt) + Count(TVerifyClass::Edited) + Count(TVerifyClass::Missing) +
                   Count(TVerifyClass::Unreadable) >
               0;
    }
};

// A file to be read, with what the disk said of it before.
struct TFileToRead
{
    const TFileDat *Record;
    TFileFacts Facts;
};

// The class of a file read to its end. A file that looked untouched but reads otherwise is looked
// at again: edited after the first look at the disk (which can be long before its turn to be
// read in a large catalog), it is an edit, not corruption.
TVerifyClass ClassOfRead(const TFileToRead &file, const TMd5Text::TDigest &read, const QString &path)
{
    const TVerifyClass verifyClass = ClassAfterReading(*file.Record, read, file.Facts);
    if (verifyClass != TVerifyClass::Corrupt)
        return verifyClass;
    TFileFacts now;
    if (!ReadFileFacts(path, now.Size, now.DateTime))
        return verifyClass;
    return ClassAfterReading(*file.Record, read, now);
}

// One line a finding, "CLASS<TAB>folder path and name<TAB>full path", then the counts.
void WriteVerifyText(const TVerifyReport &report, TLineWriter &out)
{
    const TFolderNode *folder = nullptr;
    QString folderPath; // of `folder`: findings of a class come folder by folder
    for (const TVerifyFinding &finding : report.Findings) {
        if (finding.Record->Folder != folder) {
            folder = finding.Record->Folder;
            folderPath = TCatalog::FolderPath(folder);
        }
        out.Line(QLatin1String(VerifyClassName(finding.Class)) + u'\t' + folderPath +
                 finding.Record->FileName + u'\t' + finding.Record->FullPath());
    }
    QString summary = QStringLiteral("checked %1, corrupt %2, edited %3, missing %4")
                          .arg(report.Checked)
                          .arg(report.Count(TVerifyClass::Corrupt))
                          .arg(report.Count(TVerifyClass::Edited))
                          .arg(report.Count(TVerifyClass::Missing));
    if (report.OfflineCounted)
        summary += QStringLiteral(", offline %1").arg(report.Count(TVerifyClass::Offline));
    summary += QStringLiteral(", unreadable %1, without digest %2, without real path %3")
                   .arg(report.Count(TVerifyClass::Unreadable))
                   .arg(report.Count(TVerifyClass::WithoutDigest))
                   .arg(report.Count(TVerifyClass::WithoutRealPath));
    out.Line(summary);
}

// One object "finding" a finding, with its "class", the record's keys and its full "path"; then
// the summary with the count of every class, each under the class's name.
void WriteVerifyJson(const TVerifyReport &report, TLineWriter &out)
{
    const TFolderNode *folder = nullptr;
    QString folderPath;
    for (const TVerifyFinding &finding : report.Findings) {
        if (finding.Record->Folder != folder) {
            folder = finding.Record->Folder;
            folderPath = TCatalog::FolderPath(folder);
        }
        TJsonObject object("finding");
        object.Text("class", QString::fromLatin1(VerifyClassName(finding.Class)))
            .Record(*finding.Record, folderPath)
            .DiskPath("path", finding.Record->FullPath());
        WriteJson(out, object);
    }
    TJsonObject summary("summary");
    summary.Text("command", u"verify").Number("checked", report.Checked);
    for (size_t c = 0; c < report.Counts.size(); ++c) {
        const auto verifyClass = TVerifyClass(c);
        if (verifyClass != TVerifyClass::Offline || report.OfflineCounted)
            summary.Number(VerifyClassName(verifyClass), report.Count(verifyClass));
    }
    WriteJson(out, summary);
}

} // namespace

int RunVerify(const TArguments &arguments, const TCliIo &io)
{
    const std::optional<TDigestOptions> reading = DigestOptionsOf(arguments, io);
    if (!reading)
        return esFailure;
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;
    const bool readFiles = !arguments.Has(QStringLiteral("--no-digest"));
    TRemovableVolumes volumes = TRemovableVolumes::OfThisSystem();

    TVerifyReport report;
    report.OfflineCounted = !arguments.Has(QStringLiteral("--only-present"));
    std::vector<TFileToRead> files;
    std::vector<QString> paths;
    std::vector<qint64> sizes;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        if (!folder->HasRecordList())
            return;
        for (const auto &record : folder->Records()) {
            TFileFacts facts;
            const std::optional<TVerifyClass> before = ClassBeforeReading(*record, volumes, facts);
            if (before == TVerifyClass::Offline && !report.OfflineCounted)
                continue;
            if (before != TVerifyClass::Offline && before != TVerifyClass::WithoutRealPath)
                ++report.Checked;
            if (before) {
                report.Add(record.get(), *before);
            } else if (readFiles) {
                files.push_back({record.get(), facts});
                paths.push_back(record->FullPath());
                sizes.push_back(facts.Size);
            }
        }
    });

    TCliProgress progress(io, QStringLiteral("verify"), TCliProgress::plQuiet);
    DigestFilesWithProgress(paths, sizes, *reading, progress, [&](size_t index, TFileDigest &result) {
        const TFileToRead &file = files[index];
        if (!result.Present) { // gone since it was looked at
            report.Add(file.Record, TVerifyClass::Missing);
        } else if (!result.Digested()) { // unreadable, or changed while it was read
            report.Add(file.Record, TVerifyClass::Unreadable);
            progress.Clear();
            ReportError(io, paths[index], result.ReadError);
        } else {
            report.Add(file.Record, ClassOfRead(file, *result.Digest, paths[index]));
        }
    });
    report.Group();

    TLineWriter out(io.Out);
    if (WantsJson(arguments))
        WriteVerifyJson(report, out);
    else
        WriteVerifyText(report, out);
    return FinishOutput(out, io, report.NeedsALook() ? esFindings : esSuccess);
}
