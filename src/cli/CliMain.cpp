// dravik-cli: builds, checks and queries catalogs from scripts and on machines without a desktop.

#include "CliCommands.h"

#include <QCoreApplication>
#include <exception>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // Without TZ the C library looks at /etc/localtime again for every local time it converts,
    // once per file in a scan; naming that same file reads it once.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dravik-cli"));

    TCliIo io;
    io.ErrIsTerminal = ::isatty(STDERR_FILENO) == 1;
    try {
        return RunCli(QCoreApplication::arguments().mid(1), io);
    } catch (const std::exception &error) {
        ReportError(io, QString::fromLocal8Bit(error.what()));
        return esFailure;
    }
}
