// have: whether files (a camera card, a download folder) are in the catalog already, by digest.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliDigests.h"
#include "CliJson.h"
#include "CliScan.h"
#include "FolderScan.h"
#include "support.h"

#include <QFileInfo>
#include <QHash>
#include <cerrno>

namespace {

// The records that carry each digest (in lower case), folders in pre-order, records in list order.
QHash<TMd5Text, std::vector<const TFileDat *>> recordsByDigest(const TCatalog &catalog)
{
    QHash<TMd5Text, std::vector<const TFileDat *>> byDigest;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        for (const auto &record : folder->Records()) {
            if (record->Md5.Digest())
                byDigest[record->Md5].push_back(record.get());
            else if (!record->Md5.isEmpty())
                byDigest[TMd5Text(record->Md5.Text().toLower())].push_back(record.get());
        }
    });
    return byDigest;
}

} // namespace

int RunHave(const TArguments &arguments, const TCliIo &io)
{
    const std::optional<TDigestOptions> reading = DigestOptionsOf(arguments, io);
    if (!reading)
        return esFailure;
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;
    const bool newOnly = arguments.Has(QStringLiteral("--new-only"));
    const bool json = WantsJson(arguments);
    // Names the walk cannot use are left out as "Add folders" leaves them; under --json a script
    // learns of them.
    TWalkReport leftOut;
    leftOut.KeepEveryPath();
    const auto byDigest = recordsByDigest(catalog);

    // The files as given, folders walked as "Add folders" walks them.
    qint64 unreadableCount = 0;
    std::vector<QString> paths;
    std::vector<qint64> sizes;
    for (const QString &given : arguments.Operands.mid(1)) {
        if (QFileInfo(given).isDir()) {
            QStringList files;
            CollectFiles(given, files, {}, json ? &leftOut : nullptr);
            for (const QString &file : std::as_const(files)) {
                paths.push_back(file);
                sizes.push_back(FileSizeOf(file));
            }
            continue;
        }
        const qint64 size = FileSizeOf(given);
        if (size < 0) {
            ReportError(io, given, qt_error_string(QFileInfo::exists(given) ? EINVAL : ENOENT));
            ++unreadableCount;
            continue;
        }
        paths.push_back(given);
        sizes.push_back(size);
    }

    TLineWriter out(io.Out, json ? leAsIs : NameLineEnds(arguments));
    if (json)
        WriteLeftOutJson(out, leftOut);
    TCliProgress progress(io, QStringLiteral("have"), TCliProgress::plQuiet);
    auto print = [&](const QString &line) {
        progress.Clear();
        out.Line(line);
        if (io.ErrIsTerminal)
            out.Finish(); // before the progress line is drawn again
    };
    auto printJson = [&](TJsonObject &object) {
        progress.Clear();
        WriteJson(out, object);
        if (io.ErrIsTerminal)
            out.Finish();
    };
    qint64 haveCount = 0, newCount = 0;
    DigestFilesWithProgress(paths, sizes, *reading, progress, [&](size_t index, TFileDigest &result) {
        const QString &path = paths[index];
        if (!result.Digested()) {
            progress.Clear();
            out.Finish(); // the error line after the lines before it
            ReportError(io, path, result.Present ? result.ReadError : qt_error_string(ENOENT));
            ++unreadableCount;
            return;
        }
        const TMd5Text digest(*result.Digest);
        const auto places = byDigest.constFind(digest);
        if (places == byDigest.constEnd()) {
            ++newCount;
            if (json) {
                TJsonObject object("new");
                printJson(object.DiskPath("path", path).Text("file_md5", digest.Text()));
            } else {
                print(newOnly ? path : QStringLiteral("new\t") + path);
            }
            return;
        }
        ++haveCount;
        if (newOnly)
            return;
        for (const TFileDat *record : *places) {
            if (json) {
                TJsonObject object("have");
                printJson(object.DiskPath("path", path)
                              .Text("file_md5", digest.Text())
                              .Record(*record, TCatalog::FolderPath(record->Folder)));
            } else {
                print(QStringLiteral("have\t") + path + u'\t' + TCatalog::FolderPath(record->Folder) +
                      record->FileName);
            }
        }
    });
    if (json) {
        TJsonObject summary("summary");
        summary.Text("command", u"have")
            .Number("files", qint64(paths.size()))
            .Number("have", haveCount)
            .Number("new", newCount)
            .Number("unreadable", unreadableCount);
        AddLeftOutCounts(summary, leftOut);
        WriteJson(out, summary);
    }
    return FinishOutput(out, io, newCount + unreadableCount > 0 ? esFindings : esSuccess);
}
