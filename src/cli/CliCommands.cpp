#include "CliCommands.h"

#include <algorithm>
#include <array>

namespace {

struct TCommand
{
    const char *Name;
    const char *Usage; // the first line is the synopsis, shown again in the general usage
    std::vector<TKnownOption> Options;
    int MinOperands;
    int MaxOperands; // -1: no limit
    int (*Run)(const TArguments &, const TCliIo &);
    const char *RequiredOption = nullptr;
};

const std::array<TCommand, 7> &commands()
{
    static const std::array<TCommand, 7> table{{
        {"md5",
         "md5 FILE...\n"
         "Prints \"<digest>  <path>\" for each file, as md5sum does (a name holding a backslash or a\n"
         "line break is escaped and its line starts with a backslash). A file that cannot be read is\n"
         "reported on stderr and makes the exit status 1.\n",
         {},
         1,
         -1,
         RunMd5},
        {"scan",
         "scan -o CATALOG.dat [--append] [--into CATALOG\\PATH\\] DIR...\n"
         "Adds the structure of each DIR, with every file below it (hidden ones too), as a catalog\n"
         "folder named after DIR: under the catalog folder path given with --into (created when\n"
         "missing), otherwise as a root folder. Then digests every new record one after another and\n"
         "saves the catalog to CATALOG.dat; a file already there is kept as the .bak file. With\n"
         "--append the catalog is read from CATALOG.dat first (a name without file starts empty).\n"
         "Progress goes to stderr. Files that vanish or cannot be read before their turn are saved\n"
         "without digest, reported on stderr, and make the exit status 1.\n",
         {{QStringLiteral("-o"), true},
          {QStringLiteral("--append"), false},
          {QStringLiteral("--into"), true}},
         1,
         -1,
         RunScan,
         "-o"},
        {"dump",
         "dump CATALOG.dat\n"
         "Prints the whole catalog, folders in pre-order, in UTF-8, nothing escaped:\n"
         "  D<TAB><FolderPath>\n"
         "  F<TAB><FileName><TAB><Size><TAB><mm/dd/yy hh:nn><TAB><RealPath><TAB><Md5><TAB><Comment>\n"
         "with one F line for each record of the folder above, in list order.\n",
         {},
         1,
         1,
         RunDump},
        {"dups",
         "dups CATALOG.dat [--folder CATALOG\\PATH\\]\n"
         "Prints the sets of records with equal digests across the catalog, or within the one folder\n"
         "given (its own records only), numbered as the duplicates window numbers them:\n"
         "  Set <n><TAB><digest>\n"
         "  <TAB><FolderPath><TAB><FileName><TAB><Size><TAB><RealPath>\n"
         "or \"No duplicate files found.\".\n",
         {{QStringLiteral("--folder"), true}},
         1,
         1,
         RunDups},
        {"find",
         "find CATALOG.dat CODE\n"
         "Prints <FolderPath><FileName> of the first record whose digest is CODE (blanks removed,\n"
         "letter case ignored; folders in pre-order, records in list order). Exit status 1 with a\n"
         "message when CODE is not 32 characters long or is not in the catalog.\n",
         {},
         2,
         2,
         RunFind},
        {"verify",
         "verify CATALOG.dat [--no-digest]\n"
         "Checks every record that has a real path against the disk and prints, in catalog order,\n"
         "  missing<TAB><FolderPath><FileName><TAB><full path>    the file is gone\n"
         "  changed<TAB><FolderPath><FileName><TAB><full path>    its digest is not the stored one\n"
         "  nodigest<TAB><FolderPath><FileName><TAB><full path>   no digest is stored\n"
         "then \"checked N, missing M, changed C, without real path P\". --no-digest skips reading\n"
         "the files. A file that cannot be read is reported on stderr. Exit status 1 when anything\n"
         "is missing, changed or unreadable. The catalog file is never written.\n",
         {{QStringLiteral("--no-digest"), false}},
         1,
         1,
         RunVerify},
        {"export",
         "export CATALOG.dat OUT.csv\n"
         "Writes the catalog as the window's CSV export does (header line, one line per record,\n"
         "\";\" after every field, the system's 8-bit encoding, CR LF line ends).\n",
         {},
         2,
         2,
         RunExport},
    }};
    return table;
}

QByteArray synopsis(const TCommand &command)
{
    const QByteArray usage(command.Usage);
    return usage.left(usage.indexOf('\n'));
}

QByteArray generalUsage()
{
    QByteArray text =
        "usage: dravik-cli COMMAND [OPTIONS] ARGUMENTS\n"
        "Builds, checks and queries Dravik catalogs (registries) of files and their MD5 digests.\n"
        "\n"
        "commands:\n";
    for (const TCommand &command : commands())
        text += "  dravik-cli " + synopsis(command) + '\n';
    text += "\n"
            "'dravik-cli COMMAND --help' describes a command.\n"
            "Exit status: 0 done; 1 done, but something was not found, missing, changed or unreadable;\n"
            "2 wrong usage, or a catalog or file that could not be read or written.\n";
    return text;
}

void write(FILE *stream, const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stream);
    std::fflush(stream);
}

QByteArray commandUsage(const TCommand &command)
{
    return "usage: dravik-cli " + QByteArray(command.Usage);
}

int usageError(const TCliIo &io, const QString &problem, const QByteArray &usage)
{
    ReportError(io, problem);
    write(io.Err, usage);
    return esFailure;
}

} // namespace

int RunCli(const QStringList &words, const TCliIo &io)
{
    if (words.isEmpty())
        return usageError(io, QStringLiteral("no command given"), generalUsage());
    const QString &name = words.front();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        write(io.Out, generalUsage());
        return esSuccess;
    }
    const auto &table = commands();
    const auto command = std::find_if(table.begin(), table.end(),
                                      [&](const TCommand &c) { return name == QLatin1String(c.Name); });
    if (command == table.end())
        return usageError(io, QStringLiteral("unknown command %1").arg(name), generalUsage());

    const QByteArray usage = commandUsage(*command);
    std::vector<TKnownOption> options = command->Options;
    options.push_back({QStringLiteral("--help"), false});
    const TArguments arguments = ParseArguments(words.mid(1), options);
    if (!arguments.Error.isEmpty())
        return usageError(io, arguments.Error, usage);
    if (arguments.Has(QStringLiteral("--help"))) {
        write(io.Out, usage);
        return esSuccess;
    }
    if (command->RequiredOption && !arguments.Has(QLatin1String(command->RequiredOption)))
        return usageError(
            io, QStringLiteral("option %1 is required").arg(QLatin1String(command->RequiredOption)), usage);
    const qsizetype operands = arguments.Operands.size();
    if (operands < command->MinOperands)
        return usageError(io, QStringLiteral("too few arguments"), usage);
    if (command->MaxOperands >= 0 && operands > command->MaxOperands)
        return usageError(io, QStringLiteral("too many arguments"), usage);
    return command->Run(arguments, io);
}
