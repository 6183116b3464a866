// export: the catalog as the window's CSV export writes it, or as a list that md5sum -c checks.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliChecksumLists.h"
#include "CliCommands.h"
#include "CsvExport.h"
#include "StorageErrors.h"

#include <QFile>
#include <cerrno>
#include <cstdio>

namespace {

// One md5sum line per record with digest and real path, in catalog order; "-" is the output
// stream.
int exportMd5sum(const TCatalog &catalog, const QString &listPath, const TCliIo &io)
{
    const bool toOutput = listPath == u'-';
    FILE *stream = toOutput ? io.Out : std::fopen(QFile::encodeName(listPath).constData(), "wb");
    if (!stream) {
        ReportError(io, listPath, qt_error_string(errno));
        return esFailure;
    }
    qint64 leftOut = 0;
    bool written = true;
    {
        TLineWriter out(stream);
        catalog.ForEachFolder([&](TFolderNode *folder) {
            for (const auto &record : folder->Records()) {
                const QString path = record->FullPath();
                if (path.isEmpty() || record->Md5.isEmpty())
                    ++leftOut;
                else
                    out.Bytes(Md5SumLine(record->Md5.Text().toLower(), path));
            }
        });
        errno = 0;
        written = out.Finish();
    }
    int writeError = errno ? errno : EIO;
    if (!toOutput && std::fclose(stream) != 0 && written) {
        written = false;
        writeError = errno;
    }
    if (!written) {
        ReportError(io, toOutput ? QStringLiteral("cannot write the output") : listPath,
                    qt_error_string(writeError));
        return esFailure;
    }
    if (leftOut > 0)
        ReportError(io, QStringLiteral("%1 records without digest or real path left out").arg(leftOut));
    return esSuccess;
}

} // namespace

int RunExport(const TArguments &arguments, const TCliIo &io)
{
    const QString &catalogPath = arguments.Operands[0];
    const QString &outputPath = arguments.Operands[1];
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, catalogPath, io))
        return esFailure;
    if (!catalog.HasFolders()) {
        ReportError(io, catalogPath, QStringLiteral("No files to proceed."));
        return esFindings;
    }
    if (arguments.Has(QStringLiteral("--md5sum")))
        return exportMd5sum(catalog, outputPath, io);
    try {
        ExportCatalogCsvFile(catalog, outputPath);
    } catch (const EStorageError &error) {
        ReportError(io, outputPath, StandardErrorText(error.Message()));
        return esFailure;
    }
    return esSuccess;
}
