// md5: the digests of files, printed as md5sum prints them.

#include "CliCommands.h"
#include "MD5ThUnit.h"

#include <QFile>

namespace {

// md5sum's line: a name holding a backslash or a line break is escaped, and the line then starts
// with a backslash, so that every name reads back unchanged.
QByteArray md5sumLine(const QString &digest, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    QByteArray escaped;
    escaped.reserve(name.size());
    bool anyEscape = false;
    for (const char c : name) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            anyEscape = true;
            break;
        case '\n':
            escaped += "\\n";
            anyEscape = true;
            break;
        case '\r':
            escaped += "\\r";
            anyEscape = true;
            break;
        default:
            escaped += c;
        }
    }
    return (anyEscape ? "\\" : "") + digest.toLatin1() + "  " + escaped + '\n';
}

} // namespace

int RunMd5(const TArguments &arguments, const TCliIo &io)
{
    CMd5Thread reader; // the worker's block reading, on this thread
    TLineWriter out(io.Out);
    int status = esSuccess;
    for (const QString &path : arguments.Operands) {
        const QString digest = reader.DigestFile(path);
        if (reader.ReadFailed()) {
            ReportError(io, path, reader.ReadError());
            status = esFindings;
            continue;
        }
        out.Bytes(md5sumLine(digest.toLower(), path));
        out.Finish(); // each line as soon as its file is done, as a long file may follow
    }
    return FinishOutput(out, io, status);
}
