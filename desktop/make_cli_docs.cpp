// dravik-cli-docs: writes dravik-cli's manual page and its bash completion from the texts that
// dravik-cli itself prints for --help and for COMMAND --help, so that neither can tell of a
// command or option the program does not have, or leave one out.
//
//   dravik-cli-docs DRAVIK-CLI VERSION DATE MANPAGE COMPLETION
//
// Runs the program at DRAVIK-CLI; writes the page (roff, section 1) to MANPAGE and the completion
// script to COMPLETION.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>
#include <stdexcept>

namespace {

struct TOption
{
    QString Name;
    QString Value; // the value's placeholder ("CATALOG.dat", "N"); empty for a flag
};

struct TCommand
{
    QString Name;
    QString Synopsis;        // "scan -o CATALOG.dat [--append ...] DIR..."
    QStringList Description; // the lines after the synopsis
    QList<TOption> Options;
};

struct THelp
{
    QString Synopsis; // "COMMAND [OPTIONS] ARGUMENTS"
    QString Summary;  // the line that says what the program does
    QStringList Remarks;
    QStringList ExitStatus;
    QList<TCommand> Commands;
};

const QString Program = QStringLiteral("dravik-cli");

QStringList helpLines(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw std::runtime_error("cannot run " + program.toStdString() + " " +
                                 arguments.join(u' ').toStdString());
    QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString afterUsage(const QString &line)
{
    const QString prefix = QStringLiteral("usage: ") + Program + u' ';
    if (!line.startsWith(prefix))
        throw std::runtime_error("no usage line: " + line.toStdString());
    return line.mid(prefix.size());
}

// The options a synopsis names: "-o CATALOG.dat" takes a value, "[--md5sum] CATALOG.dat" does
// not (a bracket closes right after it).
QList<TOption> optionsOf(const QString &synopsis)
{
    static const QRegularExpression option(
        QStringLiteral(R"((?<![\w-])(--?[a-z][a-z0-9-]*)(?: ([A-Z][^\s\[\]|]*))?)"));
    QList<TOption> options;
    for (const QRegularExpressionMatch &match : option.globalMatch(synopsis))
        options.append({match.captured(1), match.captured(2)});
    return options;
}

THelp readHelp(const QString &program)
{
    const QStringList general = helpLines(program, {QStringLiteral("--help")});
    THelp help;
    help.Synopsis = afterUsage(general.value(0));
    help.Summary = general.value(1);
    const qsizetype list = general.indexOf(QStringLiteral("commands:"));
    if (list < 0)
        throw std::runtime_error("the help names no commands");
    qsizetype line = list + 1;
    const QString entry = QStringLiteral("  ") + Program + u' ';
    for (; line < general.size() && general[line].startsWith(entry); ++line) {
        TCommand command;
        command.Name = general[line].mid(entry.size()).section(u' ', 0, 0);
        const QStringList own = helpLines(program, {command.Name, QStringLiteral("--help")});
        command.Synopsis = afterUsage(own.value(0));
        command.Description = own.mid(1);
        command.Options = optionsOf(command.Synopsis);
        help.Commands.append(command);
    }
    for (; line < general.size(); ++line) {
        if (general[line].startsWith(QStringLiteral("Exit status:")))
            help.ExitStatus = general.mid(line);
        else if (help.ExitStatus.isEmpty() && !general[line].isEmpty())
            help.Remarks.append(general[line]);
    }
    if (help.Commands.isEmpty())
        throw std::runtime_error("the help names no commands");
    return help;
}

// ---- The manual page

// Text for roff: backslashes and minus signs as such, and no line read as a request.
QString roff(QString text)
{
    text.replace(u'\\', QStringLiteral("\\e"));
    text.replace(u'-', QStringLiteral("\\-"));
    if (text.startsWith(u'.') || text.startsWith(u'\''))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

// Prose is filled; indented lines (tables of output lines) and examples keep their layout.
QString roffText(const QStringList &lines)
{
    QString out;
    bool verbatim = false;
    for (const QString &line : lines) {
        const bool keep = line.startsWith(u' ') || line.startsWith(QStringLiteral("Example"));
        if (keep != verbatim) {
            out += keep ? QStringLiteral(".nf\n") : QStringLiteral(".fi\n");
            verbatim = keep;
        }
        out += line.isEmpty() ? QStringLiteral(".PP\n") : roff(line) + u'\n';
    }
    if (verbatim)
        out += QStringLiteral(".fi\n");
    return out;
}

QString manualPage(const THelp &help, const QString &version, const QString &date)
{
    QString summary = help.Summary;
    if (summary.endsWith(u'.'))
        summary.chop(1);
    summary[0] = summary[0].toLower();

    QString page =
        QStringLiteral(".TH DRAVIK\\-CLI 1 %1 \"Dravik %2\" \"User Commands\"\n").arg(roff(date), version);
    page += QStringLiteral(".nh\n"); // option names and placeholders are never split
    page += QStringLiteral(".SH NAME\n") + roff(Program) + QStringLiteral(" \\- ") + roff(summary) + u'\n';
    page += QStringLiteral(".SH SYNOPSIS\n.nf\n");
    page += QStringLiteral("\\fB") + roff(Program) + QStringLiteral("\\fR ") + roff(help.Synopsis) + u'\n';
    for (const TCommand &command : help.Commands)
        page +=
            QStringLiteral("\\fB") + roff(Program) + QStringLiteral("\\fR ") + roff(command.Synopsis) + u'\n';
    page += QStringLiteral(".fi\n.SH DESCRIPTION\n") + roffText(QStringList{help.Summary} + help.Remarks);
    page += QStringLiteral(".SH COMMANDS\n");
    for (const TCommand &command : help.Commands) {
        page += QStringLiteral(".SS ") + roff(command.Name) + u'\n';
        page += QStringLiteral(".B ") + roff(Program + u' ' + command.Synopsis) + QStringLiteral("\n.PP\n");
        page += roffText(command.Description);
    }
    page += QStringLiteral(".SH EXIT STATUS\n") + roffText(help.ExitStatus);
    page += QStringLiteral(".SH SEE ALSO\n.BR dravik (1),\n.BR md5sum (1)\n");
    return page;
}

// ---- The bash completion

QString words(const QStringList &list)
{
    return u'\'' + list.join(u' ') + u'\'';
}

QString completion(const THelp &help)
{
    QStringList names;
    QString cases;
    for (const TCommand &command : help.Commands) {
        names.append(command.Name);
        QStringList all, values, files;
        for (const TOption &option : command.Options) {
            all.append(option.Name);
            if (!option.Value.isEmpty())
                values.append(option.Name);
            if (option.Value.contains(u'.')) // a file name such as CATALOG.dat
                files.append(option.Name);
        }
        all.append(QStringLiteral("--help"));
        cases += QStringLiteral("    %1) options=%2 values=%3 files=%4 ;;\n")
                     .arg(command.Name, words(all), words(values), words(files));
    }
    names.append(QStringLiteral("--help"));
    names.append(QStringLiteral("--version"));

    return QStringLiteral(R"(# bash completion for dravik-cli: its commands, and each command's options.
# Made from the program's own --help texts when it was built.

_dravik_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W %1 -- "$cur"))
        return
    fi
    local options= values= files=
    case ${COMP_WORDS[1]} in
%2    *) return ;;
    esac
    # The value of an option: a file name where the option wants a file, nothing to offer else.
    if [[ " $values " == *" $prev "* ]]; then
        [[ " $files " == *" $prev "* ]] || compopt +o default 2>/dev/null
        COMPREPLY=()
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        COMPREPLY=() # catalogs, files and folders: the shell's own file names
    fi
}
complete -o default -F _dravik_cli dravik-cli
)")
        .arg(words(names), cases);
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0 ||
        !file.flush())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() != 5) {
        std::fputs("usage: dravik-cli-docs DRAVIK-CLI VERSION DATE MANPAGE COMPLETION\n", stderr);
        return 2;
    }
    try {
        const THelp help = readHelp(arguments[0]);
        writeFile(arguments[3], manualPage(help, arguments[1], arguments[2]));
        writeFile(arguments[4], completion(help));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "dravik-cli-docs: %s\n", error.what());
        return 1;
    }
    return 0;
}
