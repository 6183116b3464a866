// verify: the catalogued files against the disk, without changing the catalog file.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "MD5ThUnit.h"
#include "support.h"

int RunVerify(const TArguments &arguments, const TCliIo &io)
{
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;
    const bool readFiles = !arguments.Has(QStringLiteral("--no-digest"));

    CMd5Thread reader; // the worker's block reading, on this thread
    TLineWriter out(io.Out);
    qint64 checked = 0, missing = 0, changed = 0, withoutRealPath = 0, unreadable = 0;
    auto report = [&](const char *finding, const QString &folderPath, const TFileDat &record,
                      const QString &fullPath) {
        out.Line(QLatin1String(finding) + u'\t' + folderPath + record.FileName + u'\t' + fullPath);
    };
    catalog.ForEachFolder([&](TFolderNode *folder) {
        if (!folder->HasRecordList())
            return;
        const QString folderPath = TCatalog::FolderPath(folder);
        for (const auto &record : folder->Records()) {
            if (record->RealPath.isEmpty()) {
                ++withoutRealPath;
                continue;
            }
            ++checked;
            const QString fullPath = record->FullPath();
            if (FileSizeOf(fullPath) < 0) {
                ++missing;
                report("missing", folderPath, *record, fullPath);
            } else if (record->Md5.isEmpty()) {
                report("nodigest", folderPath, *record, fullPath);
            } else if (readFiles) {
                const QString digest = reader.DigestFile(fullPath);
                if (reader.ReadFailed()) {
                    ++unreadable;
                    out.Finish(); // the error line after the findings before it
                    ReportError(io, fullPath, reader.ReadError());
                } else if (digest.compare(record->Md5, Qt::CaseInsensitive) != 0) {
                    // Letter case is no change of content: a digest typed or imported in upper
                    // case still names the same bytes.
                    ++changed;
                    report("changed", folderPath, *record, fullPath);
                }
            }
        }
    });
    out.Line(QStringLiteral("checked %1, missing %2, changed %3, without real path %4")
                 .arg(checked)
                 .arg(missing)
                 .arg(changed)
                 .arg(withoutRealPath));
    return FinishOutput(out, io, missing + changed + unreadable > 0 ? esFindings : esSuccess);
}
