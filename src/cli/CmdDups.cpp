// dups: the duplicate sets that "Check all", or "Check" on one folder, finds.

#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliJson.h"
#include "DuplicateSets.h"

int RunDups(const TArguments &arguments, const TCliIo &io)
{
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;

    std::vector<TFileDat *> candidates;
    if (arguments.Has(QStringLiteral("--folder"))) {
        const QString given = arguments.Value(QStringLiteral("--folder"));
        const QString path = NormalisedCatalogPath(given);
        const TFolderNode *folder = path.isEmpty() ? nullptr : FindFolderAtPath(catalog, path);
        if (!folder) {
            ReportError(io, given, QStringLiteral("no such folder in the registry"));
            return esFailure;
        }
        candidates = CollectDuplicateCandidates(folder);
    } else {
        candidates = CollectAllDuplicateCandidates(catalog);
    }

    TLineWriter out(io.Out);
    const std::vector<TDuplicateSet> sets = FindDuplicateSets(candidates);
    if (WantsJson(arguments)) {
        qint64 files = 0;
        for (const TDuplicateSet &set : sets) {
            for (const TFileDat *record : set.Records) {
                TJsonObject object("duplicate");
                object.Number("set", set.Number);
                WriteJson(out, object.Record(*record, TCatalog::FolderPath(record->Folder)));
                ++files;
            }
        }
        TJsonObject summary("summary");
        WriteJson(
            out, summary.Text("command", u"dups").Number("sets", qint64(sets.size())).Number("files", files));
        return FinishOutput(out, io, esSuccess);
    }
    if (sets.empty())
        out.Line(QStringLiteral("No duplicate files found."));
    for (const TDuplicateSet &set : sets) {
        out.Line(QStringLiteral("Set %1\t%2").arg(set.Number).arg(set.Digest.Text()));
        for (const TFileDat *record : set.Records)
            out.Line(u'\t' + TCatalog::FolderPath(record->Folder) + u'\t' + record->FileName + u'\t' +
                     QString::number(record->Size) + u'\t' + record->RealPath);
    }
    return FinishOutput(out, io, esSuccess);
}
