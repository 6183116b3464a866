#pragma once

// Where a command writes: its results on the output stream, errors and progress on the error
// stream. Texts go out in UTF-8 whatever the locale says, so scripts read the same bytes
// everywhere. Main thread only.

#include "CliArguments.h"

#include <QByteArray>
#include <QString>
#include <cstdio>

// Exit statuses of every command.
enum TExitStatus
{
    esSuccess = 0,  // done, nothing to report
    esFindings = 1, // done, but something was not found, missing, changed or unreadable
    esFailure = 2,  // usage error, or a catalog or file that could not be read or written
};

struct TCliIo
{
    FILE *Out = stdout;
    FILE *Err = stderr;
    bool ErrIsTerminal = false; // progress is redrawn in place only on a terminal
};

// How result lines that name files end.
enum TLineEnds
{
    leAsIs,    // a line break; the text as it is
    leEscaped, // a line break; a line holding a line break or starting with a backslash gets
               // md5sum's escapes and a backslash before it, so each result stays one line
    leNul,     // a NUL, the text as it is, for xargs -0
};

// Buffered writing of result lines; Finish tells whether every byte reached the stream.
class TLineWriter
{
public:
    explicit TLineWriter(FILE *stream, TLineEnds ends = leAsIs) : m_stream(stream), m_ends(ends) {}
    ~TLineWriter() { Finish(); }
    TLineWriter(const TLineWriter &) = delete;
    TLineWriter &operator=(const TLineWriter &) = delete;

    void Line(const QString &text);
    void Bytes(const QByteArray &bytes);
    bool Finish();

private:
    FILE *m_stream;
    const TLineEnds m_ends;
    QByteArray m_buffer;
    bool m_failed = false;
};

// md5sum's escapes: a backslash, a line feed and a carriage return as "\\", "\n" and "\r".
QByteArray EscapedAsMd5sum(QByteArrayView bytes);

// The line ends of results that name files: leNul when -0 or --null is given, else leEscaped.
TLineEnds NameLineEnds(const TArguments &arguments);

// "dravik-cli: <subject>: <text>" on the error stream; without subject "dravik-cli: <text>".
void ReportError(const TCliIo &io, const QString &subject, const QString &text);
void ReportError(const TCliIo &io, const QString &text);
// Finishes the result stream; a write error (a full disk, a closed pipe) is reported and turns the
// status into esFailure.
int FinishOutput(TLineWriter &out, const TCliIo &io, int status);
