#include "CliCommands.h"

#include "CliDigests.h"

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

// The --md5-level paragraph of every command that digests files.
#define LEVEL_HELP                                                                                           \
    "--md5-level avx512 (16 files side by side), avx2 (8) or single (one at a time) forces the level\n"      \
    "of the MD5 engine, as the variable DRAVIK_MD5_LEVEL does; without either the widest level the\n"        \
    "processor has is used. A level the processor lacks is refused. The digests are the same at\n"           \
    "every level.\n"

// The --json paragraph of every command that has the option.
#define JSON_HELP                                                                                            \
    "--json prints JSON Lines instead: one object per result, then one object of type \"summary\";\n"        \
    "the README lists the keys. Names that are not valid UTF-8 come as \\udcXX for each odd byte\n"          \
    "(Python's surrogateescape). Progress and errors stay on stderr, the exit status is the same.\n"

const std::array<TCommand, 10> &commands()
{
    static const std::array<TCommand, 10> table{{
        {"md5",
         "md5 FILE...\n"
         "Prints \"<digest>  <path>\" for each file, as md5sum does (a name holding a backslash or a\n"
         "line break is escaped and its line starts with a backslash). A file that cannot be read is\n"
         "reported on stderr and makes the exit status 1.\n"
         "Example: dravik-cli md5 photo.jpg notes.txt\n",
         {},
         1,
         -1,
         RunMd5},
        {"scan",
         "scan -o CATALOG.dat [--append | --update [--prune]] [--into CATALOG\\PATH\\] [--jobs N] "
         "[--md5-level LEVEL] [--quiet] [--json] DIR...\n"
         "Adds the structure of each DIR, with every file below it (hidden ones too), as a catalog\n"
         "folder named after DIR: under the catalog folder path given with --into (created when\n"
         "missing), otherwise as a root folder. Then digests every new record and saves the catalog\n"
         "to CATALOG.dat; a file already there is kept as the .bak file. With --append the catalog\n"
         "is read from CATALOG.dat first (a name without file starts empty).\n"
         "Files are digested on N threads at once (--jobs, one per core when not given), each\n"
         "thread many files at once in the lanes of the processor's vector unit; --md5-level forces\n"
         "the level (below). The catalog is the same whatever N and the level are. Progress goes to\n"
         "stderr; on a terminal it shows the rate and the time left. Files that vanish, cannot be\n"
         "read, or change while they are read (\"changed while read\": their size or modification\n"
         "time) are saved without digest, reported on stderr, and make the exit status 1. So do\n"
         "folders that cannot be read, names that are not valid text and paths too long to open,\n"
         "which are left out: stderr names the first few of each kind, then \"left out: F folder(s)\n"
         "that cannot be read, N name(s) that are not valid text, L path(s) too long\"; the catalog is\n"
         "saved all the same. --quiet leaves out the progress lines and the names of what was left\n"
         "out, not its counts.\n"
         "\n"
         "--update brings CATALOG.dat (which must exist) up to date with DIRs scanned before: a\n"
         "record with the same real path and name whose size and date (to the minute) are unchanged\n"
         "keeps its digest without its file being read; changed files (and records never\n"
         "digested) are digested again; a new file joins the catalog folder that holds the records\n"
         "of its directory, or, when there is none, goes where a plain scan would put it. Records\n"
         "below the DIRs whose files are gone are printed as \"gone<TAB><catalog place><TAB><full\n"
         "path>\"; --prune removes them. Prints \"unchanged U, changed C, new N, gone G\" (with\n"
         "\", removed G\" under --prune); a catalog that nothing changed is not written.\n"
         "\n" LEVEL_HELP JSON_HELP
         "Examples: dravik-cli scan -o photos.dat --into 'Home\\Pictures\\' ~/Photos\n"
         "          dravik-cli scan --update --prune -o photos.dat ~/Photos\n",
         {{QStringLiteral("-o"), true},
          {QStringLiteral("--append"), false},
          {QStringLiteral("--update"), false},
          {QStringLiteral("--prune"), false},
          {QStringLiteral("--into"), true},
          {QStringLiteral("--quiet"), false},
          {QStringLiteral("--json"), false},
          JobsOptionEntry(),
          Md5LevelOptionEntry()},
         1,
         -1,
         RunScan,
         "-o"},
        {"have",
         "have CATALOG.dat [--new-only] [--jobs N] [--md5-level LEVEL] [-0 | --json] PATH...\n"
         "Digests the files (folders walked, hidden files too) and prints for each file\n"
         "  have<TAB><path><TAB><FolderPath><FileName>   once for every record with its digest\n"
         "  new<TAB><path>                               when no record has it\n"
         "--new-only prints only the paths of new files, one per line. A line that holds a line break\n"
         "or starts with a backslash is escaped as md5sum escapes names (backslash, \\n, \\r) and starts\n"
         "with a backslash; -0 (--null) ends each line with NUL instead and escapes nothing. Exit\n"
         "status 0 when every file is in the catalog, 1 when some are new (or cannot be read, or\n"
         "changed while read). The files are read on N threads at once (--jobs, one per core when\n"
         "not given).\n" LEVEL_HELP JSON_HELP
         "Example: dravik-cli have photos.dat /media/card/DCIM --new-only -0 | xargs -0 cp -t ~/Inbox\n",
         {{QStringLiteral("--new-only"), false},
          JobsOptionEntry(),
          Md5LevelOptionEntry(),
          {QStringLiteral("-0"), false},
          {QStringLiteral("--null"), false},
          {QStringLiteral("--json"), false}},
         2,
         -1,
         RunHave},
        {"dump",
         "dump CATALOG.dat [-0]\n"
         "Prints the whole catalog, folders in pre-order, in UTF-8:\n"
         "  D<TAB><FolderPath>\n"
         "  F<TAB><FileName><TAB><Size><TAB><mm/dd/yy hh:nn><TAB><RealPath><TAB><Md5><TAB><Comment>\n"
         "with one F line for each record of the folder above, in list order. A line that holds a\n"
         "line break or starts with a backslash is escaped as md5sum escapes names (backslash, \\n,\n"
         "\\r) and starts with a backslash; -0 (--null) ends each line with NUL instead and escapes\n"
         "nothing.\n"
         "Example: dravik-cli dump photos.dat | grep -c '^F'\n",
         {{QStringLiteral("-0"), false}, {QStringLiteral("--null"), false}},
         1,
         1,
         RunDump},
        {"dups",
         "dups CATALOG.dat [--folder CATALOG\\PATH\\] [--json]\n"
         "Prints the sets of records with equal digests across the catalog, or within the one folder\n"
         "given (its own records only), numbered as the duplicates window numbers them:\n"
         "  Set <n><TAB><digest>\n"
         "  <TAB><FolderPath><TAB><FileName><TAB><Size><TAB><RealPath>\n"
         "or \"No duplicate files found.\".\n" JSON_HELP
         "Example: dravik-cli dups photos.dat --folder 'Home\\Pictures\\'\n",
         {{QStringLiteral("--folder"), true}, {QStringLiteral("--json"), false}},
         1,
         1,
         RunDups},
        {"find",
         "find CATALOG.dat [-0 | --json] CODE\n"
         "Prints <FolderPath><FileName> of the first record whose digest is CODE (blanks removed,\n"
         "letter case ignored; folders in pre-order, records in list order), escaped as dump escapes\n"
         "its lines, or ended with NUL under -0 (--null). Exit status 1 with a message when CODE is\n"
         "not 32 characters long or is not in the catalog.\n" JSON_HELP
         "Example: dravik-cli find photos.dat 'B1946AC9 2492D234 7C6235B4 D2611184'\n",
         {{QStringLiteral("-0"), false},
          {QStringLiteral("--null"), false},
          {QStringLiteral("--json"), false}},
         2,
         2,
         RunFind},
        {"search",
         "search CATALOG.dat [--in CATALOG\\PATH\\] [--min-size SIZE] [--max-size SIZE] [--newer DATE] "
         "[--older DATE] "
         "[--regex] [--count] [--json] PATTERN...\n"
         "Prints the records whose names match the pattern, in catalog order (folders in pre-order,\n"
         "records in list order), one line each:\n"
         "  <FolderPath><FileName><TAB><Size><TAB><mm/dd/yy hh:nn><TAB><RealPath>\n"
         "The words of the pattern (the PATTERN operands, and the words within each) must all match a\n"
         "name: a word without * or ? matches a name that contains it, a word with them the whole name\n"
         "(* any run of characters, ? one character). Letter case never counts, in any script. With\n"
         "--regex the operands, joined by blanks, are one regular expression that must match somewhere\n"
         "in the name, letter case ignored. An empty pattern matches nothing.\n"
         "--in searches only the catalog folder PATH and the folders below it (names match exactly).\n"
         "--min-size and --max-size keep the records of at least and at most SIZE bytes (a number, or\n"
         "one with K, M or G for KiB, MiB, GiB; records without a known size are left out). --newer\n"
         "keeps the records dated DATE or later, --older those dated before DATE, to the minute, in\n"
         "local time; DATE is YYYY-MM-DD, YYYY-MM-DD HH:MM, or mm/dd/yy [hh:nn] as the catalog writes\n"
         "dates. --count prints the number of records found instead of the records.\n"
         "Exit status 0 when a record was found, 1 when none was.\n" JSON_HELP
         "Examples: dravik-cli search photos.dat --in 'Home\\Pictures\\' 'holiday*.jpg' 2019\n"
         "          dravik-cli search photos.dat --count --min-size 1G --newer 2024-01-01 '*'\n",
         {{QStringLiteral("--in"), true},
          {QStringLiteral("--min-size"), true},
          {QStringLiteral("--max-size"), true},
          {QStringLiteral("--newer"), true},
          {QStringLiteral("--older"), true},
          {QStringLiteral("--regex"), false},
          {QStringLiteral("--count"), false},
          {QStringLiteral("--json"), false}},
         2,
         -1,
         RunSearch},
        {"verify",
         "verify CATALOG.dat [--no-digest] [--only-present] [--jobs N] [--md5-level LEVEL] [--json]\n"
         "Checks every record that has a real path against the disk and prints what it found,\n"
         "grouped in this order (catalog order within a group), one line a record:\n"
         "  corrupt<TAB><FolderPath><FileName><TAB><full path>    content changed, size and date not\n"
         "  edited<TAB><FolderPath><FileName><TAB><full path>     content changed with size or date\n"
         "  missing<TAB><FolderPath><FileName><TAB><full path>    the file is gone\n"
         "  offline<TAB><FolderPath><FileName><TAB><full path>    its drive is not there\n"
         "  unreadable<TAB><FolderPath><FileName><TAB><full path> it could not be read to its end\n"
         "  nodigest<TAB><FolderPath><FileName><TAB><full path>   no digest is stored\n"
         "then \"checked N, corrupt C, edited E, missing M, offline O, unreadable U, without digest\n"
         "D, without real path P\". Size and date are compared as the catalog keeps them (the date\n"
         "to the minute). A file lies on a drive that is not there when the directory\n"
         "/media/USER/NAME, /run/media/USER/NAME or /mnt/NAME that holds it does not exist, or is\n"
         "empty and not a mount point; offline records are not counted as checked and do not\n"
         "change the exit status. --only-present leaves them out without a word (and the summary\n"
         "without \"offline\"). --no-digest skips reading the files; otherwise they are read on N\n"
         "threads at once (--jobs, one per core when not given). A file that cannot be read, or\n"
         "changed while it was read, is unreadable and its error is also told on stderr. Exit\n"
         "status 1 when anything is corrupt, edited, missing or unreadable. The catalog file is\n"
         "never written.\n" LEVEL_HELP JSON_HELP "Example: dravik-cli verify photos.dat --only-present\n",
         {{QStringLiteral("--no-digest"), false},
          {QStringLiteral("--only-present"), false},
          {QStringLiteral("--json"), false},
          JobsOptionEntry(),
          Md5LevelOptionEntry()},
         1,
         1,
         RunVerify},
        {"export",
         "export [--md5sum] CATALOG.dat OUT\n"
         "Writes the catalog as the window's CSV export does (header line, one line per record,\n"
         "\";\" after every field, the system's 8-bit encoding, CR LF line ends). With --md5sum, OUT\n"
         "(\"-\" for stdout) gets one line \"<digest>  <real path><name>\" per record that has both,\n"
         "escaped as md5sum escapes names, so that md5sum -c checks the files; the number of\n"
         "records left out is told on stderr.\n"
         "Examples: dravik-cli export photos.dat photos.csv\n"
         "          dravik-cli export --md5sum photos.dat - | md5sum -c --quiet\n",
         {{QStringLiteral("--md5sum"), false}},
         2,
         2,
         RunExport},
        {"import",
         "import CATALOG.dat LIST --into CATALOG\\PATH\\ [--check [--jobs N] [--md5-level LEVEL]]\n"
         "Reads LIST (\"-\" for stdin), written by md5sum or by hashdeep -c md5, and adds a record to\n"
         "the catalog folder PATH (created when missing) for every listed file that exists: name,\n"
         "size and date from the disk, the digest from the list. Relative names are taken from the\n"
         "directory hashdeep was invoked from, or from the current one for md5sum lists. A file\n"
         "whose record (same real path and name) is in PATH already is not added again. The files\n"
         "are not read: the digests are taken on trust, as stderr says, unless --check digests them\n"
         "(on N threads) and refuses those that differ. Lines that cannot be used (not a list line,\n"
         "no such file, another size than the list says, already there, another digest) are\n"
         "reported on stderr as LIST:LINE and make the exit status 1. Prints \"added N, not used M\"\n"
         "and saves CATALOG.dat (a name without file starts empty; the previous file becomes "
         ".bak).\n" LEVEL_HELP
         "Example: hashdeep -c md5 -r /media/usb > usb.txt && dravik-cli import photos.dat usb.txt --into "
         "'USB\\'\n",
         {{QStringLiteral("--into"), true},
          {QStringLiteral("--check"), false},
          JobsOptionEntry(),
          Md5LevelOptionEntry()},
         2,
         2,
         RunImport,
         "--into"},
    }};
    return table;
}

#undef LEVEL_HELP
#undef JSON_HELP

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
    text +=
        "\n"
        "'dravik-cli COMMAND --help' describes a command; 'dravik-cli --version' (-V) prints the version.\n"
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
    if (name == QLatin1String("--version") || name == QLatin1String("-V")) {
        write(io.Out, "dravik-cli " DRAVIK_VERSION "\n");
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
    if (arguments.Has(QStringLiteral("--json")) &&
        (arguments.Has(QStringLiteral("-0")) || arguments.Has(QStringLiteral("--null"))))
        return usageError(io, QStringLiteral("--json and -0 (--null) cannot be used together"), usage);
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
