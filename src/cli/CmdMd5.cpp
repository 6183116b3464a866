// md5: the digests of files, printed as md5sum prints them.

#include "CliChecksumLists.h"
#include "CliCommands.h"
#include "MD5ThUnit.h"

int RunMd5(const TArguments &arguments, const TCliIo &io)
{
    CMd5Thread reader; // the worker's block reading, on this thread
    TLineWriter out(io.Out);
    int status = esSuccess;
    for (const QString &path : arguments.Operands) {
        const std::optional<TMd5Text::TDigest> digest = reader.DigestFile(path);
        if (!digest) {
            ReportError(io, path, reader.ReadError());
            status = esFindings;
            continue;
        }
        out.Bytes(Md5SumLine(TMd5Text(*digest).Text(), path));
        out.Finish(); // each line as soon as its file is done, as a long file may follow
    }
    return FinishOutput(out, io, status);
}
