// find: the first record with a given digest, found by the catalog query of "Search MD5 code".

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliJson.h"
#include "DigestSearch.h"

int RunFind(const TArguments &arguments, const TCliIo &io)
{
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;
    TLineWriter out(io.Out, NameLineEnds(arguments));
    const bool json = WantsJson(arguments);
    // Under --json the one record found, then whether there was one; the answers in words go to
    // the error stream, where a script's reader does not meet them.
    const auto answer = [&](const TFileDat *found, const QString &text) {
        if (!json) {
            out.Line(text);
        } else {
            if (found) {
                TJsonObject record("record");
                WriteJson(out, record.Record(*found, TCatalog::FolderPath(found->Folder)));
            } else if (!text.isEmpty()) {
                ReportError(io, text);
            }
            TJsonObject summary("summary");
            WriteJson(out, summary.Text("command", u"find").Number("found", found ? 1 : 0));
        }
        return FinishOutput(out, io, found ? esSuccess : esFindings);
    };
    if (!catalog.HasFolders()) {
        ReportError(io, arguments.Operands[0], QStringLiteral("No files to proceed."));
        return answer(nullptr, {});
    }
    // A code that cannot be a digest and a digest not catalogued are answers, not errors.
    const std::optional<TMd5Text> code = Md5CodeToSearch(arguments.Operands[1]);
    if (!code)
        return answer(nullptr,
                      QStringLiteral("The code you entered is not a MD5 valid code, please try again."));
    const TFileDat *found = FindFirstRecordWithDigest(catalog, *code);
    if (!found)
        return answer(nullptr, QStringLiteral("MD5 code not found in the registry."));
    return answer(found, TCatalog::FolderPath(found->Folder) + found->FileName);
}
