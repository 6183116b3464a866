// import: records for the files of a list that md5sum or hashdeep wrote, with the list's digests.

#include "Catalog.h"
#include "CatalogFile.h"
#include "CliCatalog.h"
#include "CliChecksumLists.h"
#include "CliCommands.h"
#include "CliDigests.h"
#include "FolderScan.h"
#include "StorageErrors.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>

namespace {

struct TCandidate
{
    qsizetype Line;
    std::unique_ptr<TFileDat> Record;
};

bool readList(const QString &listPath, QByteArray &content, const TCliIo &io)
{
    QFile file;
    const bool opened = listPath == u'-' ? file.open(stdin, QIODevice::ReadOnly)
                                         : (file.setFileName(listPath), file.open(QIODevice::ReadOnly));
    if (!opened) {
        ReportError(io, listPath, file.errorString());
        return false;
    }
    content = file.readAll();
    return true;
}

// The real paths of the folder's records: a file listed again is not added twice.
QSet<QString> fullPathsIn(const TFolderNode *folder)
{
    QSet<QString> paths;
    if (folder) {
        for (const auto &record : folder->Records())
            paths.insert(record->FullPath());
    }
    return paths;
}

} // namespace

int RunImport(const TArguments &arguments, const TCliIo &io)
{
    const QString &catalogPath = arguments.Operands[0];
    const QString &listPath = arguments.Operands[1];
    const QString givenFolder = arguments.Value(QStringLiteral("--into"));
    const QString into = NormalisedCatalogPath(givenFolder);
    if (into.isEmpty()) {
        ReportError(io, givenFolder, QStringLiteral("not a catalog folder path such as Home\\Photos\\"));
        return esFailure;
    }
    const bool check = arguments.Has(QStringLiteral("--check"));
    const std::optional<TDigestOptions> reading = DigestOptionsOf(arguments, io);
    if (!reading)
        return esFailure;
    TCatalog catalog;
    if (QFileInfo::exists(catalogPath) && !LoadCatalogFile(catalog, catalogPath, io))
        return esFailure;
    QByteArray content;
    if (!readList(listPath, content, io))
        return esFailure;

    TChecksumList list = ParseChecksumList(content);
    // Relative names as the tool that wrote the list saw them.
    const QDir listedFrom(list.ListedFrom.isEmpty() ? QDir::currentPath() : list.ListedFrom);
    std::vector<TUnusableLine> unusable = std::move(list.Unusable);
    QSet<QString> inFolder = fullPathsIn(FindFolderAtPath(catalog, into));
    std::vector<TCandidate> candidates;
    for (const TListedFile &listed : list.Files) {
        const QString path = QDir::cleanPath(listedFrom.absoluteFilePath(listed.Path));
        auto record = NewRecordFromDisk(path);
        if (record->Size < 0) {
            unusable.push_back(
                {listed.Line, QStringLiteral("%1: %2").arg(
                                  path, qt_error_string(QFileInfo::exists(path) ? EINVAL : ENOENT))});
            continue;
        }
        if (listed.Size >= 0 && listed.Size != record->Size) {
            unusable.push_back({listed.Line, QStringLiteral("%1: %2 bytes on disk, %3 in the list")
                                                 .arg(path)
                                                 .arg(record->Size)
                                                 .arg(listed.Size)});
            continue;
        }
        if (inFolder.contains(path)) {
            unusable.push_back({listed.Line, QStringLiteral("%1: already in %2").arg(path, into)});
            continue;
        }
        inFolder.insert(path);
        record->Md5 = listed.Md5;
        record->State = fsDigested;
        candidates.push_back({listed.Line, std::move(record)});
    }

    if (check) {
        std::vector<QString> paths;
        std::vector<qint64> sizes;
        for (const TCandidate &candidate : candidates) {
            paths.push_back(candidate.Record->FullPath());
            sizes.push_back(candidate.Record->Size);
        }
        TCliProgress progress(io, QStringLiteral("import"), TCliProgress::plQuiet);
        DigestFilesWithProgress(paths, sizes, *reading, progress, [&](size_t index, TFileDigest &result) {
            TCandidate &candidate = candidates[index];
            if (result.Digest && candidate.Record->Md5 == TMd5Text(*result.Digest))
                return;
            const QString problem =
                !result.Present ? qt_error_string(ENOENT)
                : !result.Digested()
                    ? result.ReadError
                    : QStringLiteral("its digest is %1, the list says %2")
                          .arg(TMd5Text(*result.Digest).Text(), candidate.Record->Md5.Text());
            unusable.push_back({candidate.Line, paths[index] + QStringLiteral(": ") + problem});
            candidate.Record.reset();
        });
    }

    std::sort(unusable.begin(), unusable.end(),
              [](const TUnusableLine &a, const TUnusableLine &b) { return a.Line < b.Line; });
    for (const TUnusableLine &line : unusable)
        ReportError(io, QStringLiteral("%1:%2: %3").arg(listPath).arg(line.Line).arg(line.Reason));

    qint64 added = 0;
    for (TCandidate &candidate : candidates) {
        if (!candidate.Record)
            continue;
        AddRecordAtPath(catalog, into, std::move(candidate.Record));
        ++added;
    }
    TLineWriter out(io.Out);
    out.Line(QStringLiteral("added %1, not used %2").arg(added).arg(unusable.size()));
    if (FinishOutput(out, io, esSuccess) != esSuccess)
        return esFailure;
    const int status = unusable.empty() ? esSuccess : esFindings;
    if (added == 0) {
        ReportError(io, catalogPath, QStringLiteral("nothing added, not written"));
        return status;
    }
    if (!check)
        ReportError(io, QStringLiteral("the digests were taken from the list without reading the files "
                                       "(--check reads them; verify checks them later)"));
    try {
        SaveCatalog(catalog, catalogPath);
    } catch (const EStorageError &error) {
        ReportError(io, catalogPath, StandardErrorText(error.Message()));
        return esFailure;
    }
    return status;
}
