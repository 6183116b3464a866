// export: the catalog as the window's CSV export writes it.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CsvExport.h"
#include "StorageErrors.h"

int RunExport(const TArguments &arguments, const TCliIo &io)
{
    const QString &catalogPath = arguments.Operands[0];
    const QString &csvPath = arguments.Operands[1];
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, catalogPath, io))
        return esFailure;
    if (!catalog.HasFolders()) {
        ReportError(io, catalogPath, QStringLiteral("No files to proceed."));
        return esFindings;
    }
    try {
        ExportCatalogCsvFile(catalog, csvPath);
    } catch (const EStorageError &error) {
        ReportError(io, csvPath, StandardErrorText(error.Message()));
        return esFailure;
    }
    return esSuccess;
}
