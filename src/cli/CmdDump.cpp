// dump: the whole catalog as lines of text, one per folder and one per record.

#include "Catalog.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "support.h"

int RunDump(const TArguments &arguments, const TCliIo &io)
{
    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;
    TLineWriter out(io.Out, NameLineEnds(arguments));
    QString line;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        out.Line(QStringLiteral("D\t") + TCatalog::FolderPath(folder));
        for (const auto &record : folder->Records()) {
            line.clear();
            line += QStringLiteral("F\t") + record->FileName + u'\t' + QString::number(record->Size) + u'\t' +
                    DateText(record->DateTime) + u'\t' + record->RealPath + u'\t' + record->Md5.Text() +
                    u'\t' + record->Comment;
            out.Line(line);
        }
    });
    return FinishOutput(out, io, esSuccess);
}
