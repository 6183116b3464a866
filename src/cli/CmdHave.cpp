// have: whether files (a camera card, a download folder) are in the catalog already, by digest.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliDigests.h"
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
    const auto byDigest = recordsByDigest(catalog);

    // The files as given, folders walked as "Add folders" walks them.
    bool unreadable = false;
    std::vector<QString> paths;
    std::vector<qint64> sizes;
    for (const QString &given : arguments.Operands.mid(1)) {
        if (QFileInfo(given).isDir()) {
            QStringList files;
            CollectFiles(given, files);
            for (const QString &file : std::as_const(files)) {
                paths.push_back(file);
                sizes.push_back(FileSizeOf(file));
            }
            continue;
        }
        const qint64 size = FileSizeOf(given);
        if (size < 0) {
            ReportError(io, given, qt_error_string(QFileInfo::exists(given) ? EINVAL : ENOENT));
            unreadable = true;
            continue;
        }
        paths.push_back(given);
        sizes.push_back(size);
    }

    TLineWriter out(io.Out, NameLineEnds(arguments));
    TCliProgress progress(io, QStringLiteral("have"), TCliProgress::plQuiet);
    auto print = [&](const QString &line) {
        progress.Clear();
        out.Line(line);
        if (io.ErrIsTerminal)
            out.Finish(); // before the progress line is drawn again
    };
    bool someNew = false;
    DigestFilesWithProgress(paths, sizes, *reading, progress, [&](size_t index, TFileDigest &result) {
        const QString &path = paths[index];
        if (!result.Digested()) {
            progress.Clear();
            out.Finish(); // the error line after the lines before it
            ReportError(io, path, result.Present ? result.ReadError : qt_error_string(ENOENT));
            unreadable = true;
            return;
        }
        const auto places = byDigest.constFind(TMd5Text(*result.Digest));
        if (places == byDigest.constEnd()) {
            someNew = true;
            print(newOnly ? path : QStringLiteral("new\t") + path);
            return;
        }
        if (newOnly)
            return;
        for (const TFileDat *record : *places)
            print(QStringLiteral("have\t") + path + u'\t' + TCatalog::FolderPath(record->Folder) +
                  record->FileName);
    });
    return FinishOutput(out, io, someNew || unreadable ? esFindings : esSuccess);
}
