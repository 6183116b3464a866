// search: the records whose names match a pattern, as the window's name search picks them, with
// sizes and dates to narrow them down.

#include "Catalog.h"
#include "CatalogSearch.h"
#include "CliCatalog.h"
#include "CliCommands.h"
#include "CliJson.h"
#include "support.h"

#include <QRegularExpression>
#include <limits>
#include <optional>

namespace {

struct TRecordFilter
{
    std::optional<qint64> MinSize, MaxSize;
    std::optional<qint64> FirstMinute; // --newer: dated at this minute or later
    std::optional<qint64> EndMinute;   // --older: dated before this minute

    bool Keeps(const TFileDat &record) const
    {
        // A size of -1 means the file was not there when it was catalogued: no size to compare.
        if ((MinSize || MaxSize) && record.Size < 0)
            return false;
        if ((MinSize && record.Size < *MinSize) || (MaxSize && record.Size > *MaxSize))
            return false;
        if (!FirstMinute && !EndMinute)
            return true;
        const std::optional<qint64> minute = DateMinute(record.DateTime);
        return minute && (!FirstMinute || *minute >= *FirstMinute) && (!EndMinute || *minute < *EndMinute);
    }
};

// "1500", "64K", "2M", "1G": bytes, or KiB, MiB, GiB.
std::optional<qint64> parseSize(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]+)([kmg]?)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    bool ok = false;
    const qint64 number = match.hasMatch() ? match.captured(1).toLongLong(&ok) : 0;
    if (!ok)
        return std::nullopt;
    const QString unit = match.captured(2).toLower();
    const int shift = unit == u"k" ? 10 : unit == u"m" ? 20 : unit == u"g" ? 30 : 0;
    if (number > (std::numeric_limits<qint64>::max() >> shift))
        return std::nullopt;
    return number << shift;
}

// "2024-03-15", "2024-03-15 14:05" (or with "T"), or the catalog's own "03/15/24 14:05", in
// local time, as the minute it names.
std::optional<qint64> parseDateMinute(const QString &text)
{
    static const QRegularExpression iso(
        QStringLiteral("^([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})(?:[ T]([0-9]{1,2}):([0-9]{2}))?$"));
    const QRegularExpressionMatch match = iso.match(text.trimmed());
    if (match.hasMatch()) {
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        const QTime time = match.captured(4).isEmpty()
                               ? QTime(0, 0)
                               : QTime(match.captured(4).toInt(), match.captured(5).toInt());
        if (!date.isValid() || !time.isValid())
            return std::nullopt;
        return DateMinute(date, time);
    }
    const double dayCount = ParseDateText(text); // 0.0: not a date of that form
    return dayCount != 0.0 ? DateMinute(dayCount) : std::nullopt;
}

// The filter the options ask for; nullopt, with the error reported, for a value that is none.
std::optional<TRecordFilter> readFilter(const TArguments &arguments, const TCliIo &io)
{
    TRecordFilter filter;
    const auto read = [&](const char *option, auto parse, std::optional<qint64> &into, const char *expected) {
        const QString name = QLatin1String(option);
        if (!arguments.Has(name))
            return true;
        const QString given = arguments.Value(name);
        into = parse(given);
        if (!into)
            ReportError(io, QStringLiteral("%1 %2: not %3").arg(name, given, QLatin1String(expected)));
        return into.has_value();
    };
    const char *size = "a size (bytes, or a number with K, M or G)";
    const char *date = "a date (YYYY-MM-DD [HH:MM] or mm/dd/yy [hh:nn])";
    if (!read("--min-size", parseSize, filter.MinSize, size) ||
        !read("--max-size", parseSize, filter.MaxSize, size) ||
        !read("--newer", parseDateMinute, filter.FirstMinute, date) ||
        !read("--older", parseDateMinute, filter.EndMinute, date))
        return std::nullopt;
    return filter;
}

} // namespace

int RunSearch(const TArguments &arguments, const TCliIo &io)
{
    const std::optional<TRecordFilter> filter = readFilter(arguments, io);
    if (!filter)
        return esFailure;
    // Several words on the command line are one pattern, as if typed with blanks between them.
    const QString pattern = arguments.Operands.mid(1).join(u' ');
    TNameMatcher matcher = arguments.Has(QStringLiteral("--regex")) ? TNameMatcher::RegularExpression(pattern)
                                                                    : TNameMatcher::Words(pattern);
    if (!matcher.IsValid()) {
        ReportError(io, pattern, QStringLiteral("not a regular expression: ") + matcher.ErrorText());
        return esFailure;
    }

    TCatalog catalog;
    if (!LoadCatalogFile(catalog, arguments.Operands[0], io))
        return esFailure;
    const TFolderNode *top = nullptr;
    if (arguments.Has(QStringLiteral("--in"))) {
        const QString given = arguments.Value(QStringLiteral("--in"));
        const QString path = NormalisedCatalogPath(given);
        top = path.isEmpty() ? nullptr : FindFolderAtPath(catalog, path);
        if (!top) {
            ReportError(io, given, QStringLiteral("no such folder in the registry"));
            return esFailure;
        }
    }

    std::vector<TFileDat *> found;
    TCatalogSearch(catalog, std::move(matcher), top).Continue(found);
    std::erase_if(found, [&](const TFileDat *record) { return !filter->Keeps(*record); });

    TLineWriter out(io.Out);
    if (WantsJson(arguments)) {
        if (!arguments.Has(QStringLiteral("--count"))) {
            const TFolderNode *folder = nullptr;
            QString folderPath;
            for (const TFileDat *record : found) {
                if (record->Folder != folder) {
                    folder = record->Folder;
                    folderPath = TCatalog::FolderPath(folder);
                }
                TJsonObject object("record");
                WriteJson(out, object.Record(*record, folderPath));
            }
        }
        TJsonObject summary("summary");
        WriteJson(out, summary.Text("command", u"search").Number("found", qint64(found.size())));
    } else if (arguments.Has(QStringLiteral("--count"))) {
        out.Line(QString::number(found.size()));
    } else {
        const TFolderNode *folder = nullptr;
        QString folderPath, line;
        for (const TFileDat *record : found) {
            if (record->Folder != folder) { // records of one folder come together
                folder = record->Folder;
                folderPath = TCatalog::FolderPath(folder);
            }
            line.clear();
            line += folderPath + record->FileName + u'\t' + QString::number(record->Size) + u'\t' +
                    DateText(record->DateTime) + u'\t' + record->RealPath;
            out.Line(line);
        }
    }
    return FinishOutput(out, io, found.empty() ? esFindings : esSuccess);
}
