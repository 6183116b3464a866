#pragma once

// Shared helpers of the catalog core: file facts read from disk, the texts of sizes and
// dates and the string hash of the duplicate search (the title band's picture, which needs
// QtGui, is ShadeImage in the controls library).
// None of them keeps state; all are safe to call from any thread.

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

// Size in bytes of the regular file at the full path (hidden files count), or -1 when there is
// no such file: missing, not accessible, or a directory.
qint64 FileSizeOf(const QString &path);

// Last-modification date and time of the file as a day count (see DayCountFromDateTime), at
// two-second resolution; -1.0 when FileSizeOf would give -1.
double FileDateOf(const QString &path);

// Size and date of one file from a single look at the disk; false when there is no such file.
bool ReadFileFacts(const QString &path, qint64 &size, double &dayCount);

// A file's modification time (seconds since 1970-01-01 00:00 UTC) as the catalog dates files: a
// day count in local time, at two-second resolution.
double FileTimeDayCount(qint64 secondsSince1970);

// "%.2fGB", "%.2fMB", "%.2fKB" (decimal thresholds, binary divisors, the user's decimal
// separator) or "%dBytes"; withBytes appends " (<size>Bytes)" to the first three forms.
QString SizeText(qint64 size, bool withBytes);

// "mm/dd/yy hh:nn" whatever the user's locale says; empty when the day count is not a date.
QString DateText(double dayCount);
// The same text in ASCII into `out`, for a writer that makes no string per record: returns the
// number of characters written, DateTextLength or 0.
inline constexpr int DateTextLength = 14;
int WriteDateText(double dayCount, char *out);
// "yyyy-mm-ddThh:nn:ss", the same local time to the second, for output that scripts read; the
// number of characters written, IsoDateTextLength or 0.
inline constexpr int IsoDateTextLength = 19;
int WriteIsoDateText(double dayCount, char *out);

// Reads "m/d/y[ h:n[:s]]" back into a day count; 0.0 for an empty or unreadable text. Years of
// one or two digits land in the hundred years that begin 50 years before currentYear.
double ParseDateText(const QString &text);
double ParseDateText(const QString &text, int currentYear);

// The minute a day count names (the one DateText shows, seconds dropped) as minutes since
// 1899-12-30 00:00, a number that grows with time; nullopt when the count names no date.
std::optional<qint64> DateMinute(double dayCount);
// The same number for a date and a time of day.
qint64 DateMinute(const QDate &date, const QTime &time);

// The date as the user's locale writes it: the short date, a blank and the long time (without a
// time-zone name), the time left out at exactly midnight. Empty when the count names no date.
QString LocaleDateTimeText(double dayCount);
// The locale's long time format without its time-zone part.
QString LocaleLongTimeFormat();

// The ELF (PJW) hash of the text's 8-bit characters (characters beyond Latin-1 count as '?').
quint32 ElfHash(QStringView text);

// Day counts: days since 1899-12-30 00:00 local time, the time of day as the fraction (for days
// before that date the fraction still counts forward: -1.25 is 1899-12-29 06:00).
double DayCountFromDateTime(const QDateTime &dateTime);
QDateTime DateTimeFromDayCount(double dayCount);
