#pragma once

// The commands of dravik-cli. Each takes its parsed words and returns its exit status; RunCli
// picks the command, answers --help, refuses words that do not fit (usage on the error stream,
// esFailure) and runs it. Main thread only, under a QCoreApplication.

#include "CliArguments.h"
#include "CliIo.h"

#include <QStringList>

// words: the command line without the program's name.
int RunCli(const QStringList &words, const TCliIo &io);

int RunMd5(const TArguments &arguments, const TCliIo &io);
int RunScan(const TArguments &arguments, const TCliIo &io);
int RunHave(const TArguments &arguments, const TCliIo &io);
int RunImport(const TArguments &arguments, const TCliIo &io);
int RunDump(const TArguments &arguments, const TCliIo &io);
int RunDups(const TArguments &arguments, const TCliIo &io);
int RunFind(const TArguments &arguments, const TCliIo &io);
int RunSearch(const TArguments &arguments, const TCliIo &io);
int RunVerify(const TArguments &arguments, const TCliIo &io);
int RunExport(const TArguments &arguments, const TCliIo &io);
