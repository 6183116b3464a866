// find: the first record with a given digest, through the window's own search command.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliDigestView.h"
#include "DigestCommands.h"
#include "DigestScheduler.h"

int RunFind(const TArguments &arguments, const TCliIo &io)
{
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;
    TCliDigestView view;
    TDigestScheduler scheduler(catalog, view);
    const QString code = arguments.Operands[1];
    const TSearchOutcome outcome = SearchMd5Code(scheduler, [&] { return std::optional<QString>(code); });

    TLineWriter out(io.Out);
    if (outcome.Found) {
        out.Line(TCatalog::FolderPath(outcome.Found->Folder) + outcome.Found->FileName);
        return FinishOutput(out, io, esSuccess);
    }
    // Information boxes ("not a MD5 valid code", "not found") are the answer; an error box
    // ("No files to proceed.") is an error.
    if (outcome.Message.Kind == mkError)
        ReportError(io, arguments.Operands[0], outcome.Message.Text);
    else
        out.Line(outcome.Message.Text);
    return FinishOutput(out, io, esFindings);
}
