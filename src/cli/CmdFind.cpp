// find: the first record with a given digest, found by the catalog query of "Search MD5 code".

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "DigestSearch.h"

int RunFind(const TArguments &arguments, const TCliIo &io)
{
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;
    TLineWriter out(io.Out, NameLineEnds(arguments));
    if (!catalog.HasFolders()) {
        ReportError(io, arguments.Operands[0], QStringLiteral("No files to proceed."));
        return FinishOutput(out, io, esFindings);
    }
    // A code that cannot be a digest and a digest not catalogued are answers, not errors.
    const std::optional<TMd5Text> code = Md5CodeToSearch(arguments.Operands[1]);
    if (!code) {
        out.Line(QStringLiteral("The code you entered is not a MD5 valid code, please try again."));
        return FinishOutput(out, io, esFindings);
    }
    const TFileDat *found = FindFirstRecordWithDigest(catalog, *code);
    if (!found) {
        out.Line(QStringLiteral("MD5 code not found in the registry."));
        return FinishOutput(out, io, esFindings);
    }
    out.Line(TCatalog::FolderPath(found->Folder) + found->FileName);
    return FinishOutput(out, io, esSuccess);
}
