// verify: the catalogued files against the disk, without changing the catalog file.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliDigests.h"
#include "RemovableVolumes.h"
#include "Verification.h"
#include "support.h"

#include <cerrno>

namespace {

enum TCheck
{
    ckMissing,
    ckOffline,
    ckNoDigest,
    ckRead, // present with a digest: read and compare
};

struct TCheckedRecord
{
    const TFileDat *Record;
    QString Place; // FolderPath + FileName
    QString FullPath;
    TCheck Check;
};

struct TVerifyCounts
{
    qint64 Checked = 0;
    qint64 Missing = 0;
    qint64 Changed = 0;
    qint64 WithoutRealPath = 0;
    qint64 Offline = 0;
    qint64 Unreadable = 0;
};

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
    const bool onlyPresent = arguments.Has(QStringLiteral("--only-present"));
    TRemovableVolumes volumes = TRemovableVolumes::OfThisSystem();

    // First what the disk says of every record, in catalog order; then the files to read are
    // digested on every core and the findings printed in that same order.
    TVerifyCounts counts;
    std::vector<TCheckedRecord> checks;
    std::vector<QString> paths;
    std::vector<qint64> sizes;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        if (!folder->HasRecordList())
            return;
        const QString folderPath = TCatalog::FolderPath(folder);
        for (const auto &record : folder->Records()) {
            if (record->RealPath.isEmpty()) {
                ++counts.WithoutRealPath;
                continue;
            }
            const QString fullPath = record->FullPath();
            TCheck check = ckRead;
            const qint64 size = FileSizeOf(fullPath);
            if (size < 0) {
                if (volumes.IsOffline(fullPath)) {
                    if (onlyPresent)
                        continue;
                    ++counts.Offline;
                    check = ckOffline;
                } else {
                    check = ckMissing;
                }
            } else if (record->Md5.isEmpty()) {
                check = ckNoDigest;
            } else if (!readFiles) {
                ++counts.Checked;
                continue;
            }
            if (check != ckOffline)
                ++counts.Checked;
            if (check == ckRead) {
                paths.push_back(fullPath);
                sizes.push_back(size);
            }
            checks.push_back({record.get(), folderPath + record->FileName, fullPath, check});
        }
    });

    TLineWriter out(io.Out);
    TCliProgress progress(io, QStringLiteral("verify"), TCliProgress::plQuiet);
    auto report = [&](const char *finding, const TCheckedRecord &checked) {
        progress.Clear();
        out.Line(QLatin1String(finding) + u'\t' + checked.Place + u'\t' + checked.FullPath);
        if (io.ErrIsTerminal)
            out.Finish(); // before the progress line is drawn again
    };
    size_t next = 0; // the next record to report on
    auto reportUpTo = [&](size_t end) {
        for (; next < end; ++next) {
            const TCheckedRecord &checked = checks[next];
            if (checked.Check == ckMissing) {
                ++counts.Missing;
                report("missing", checked);
            } else if (checked.Check == ckOffline) {
                report("offline", checked);
            } else if (checked.Check == ckNoDigest) {
                report("nodigest", checked);
            }
        }
    };
    DigestFilesWithProgress(paths, sizes, *reading, progress, [&](size_t, TFileDigest &result) {
        size_t read = next;
        while (checks[read].Check != ckRead)
            ++read;
        reportUpTo(read);
        const TCheckedRecord &checked = checks[next++];
        if (!result.Present) { // gone since it was looked for
            ++counts.Missing;
            report("missing", checked);
        } else if (!result.Digested()) {
            ++counts.Unreadable;
            progress.Clear();
            out.Finish(); // the error line after the findings before it
            ReportError(io, checked.FullPath, result.ReadError);
        } else if (!SameDigest(checked.Record->Md5, *result.Digest)) {
            ++counts.Changed;
            report("changed", checked);
        }
    });
    reportUpTo(checks.size());

    QString summary = QStringLiteral("checked %1, missing %2, changed %3, without real path %4")
                          .arg(counts.Checked)
                          .arg(counts.Missing)
                          .arg(counts.Changed)
                          .arg(counts.WithoutRealPath);
    if (!onlyPresent)
        summary += QStringLiteral(", offline %1").arg(counts.Offline);
    out.Line(summary);
    // Offline records are no finding: their drive is only not plugged in.
    return FinishOutput(out, io,
                        counts.Missing + counts.Changed + counts.Unreadable > 0 ? esFindings : esSuccess);
}
