#include "support.h"

#include <QFile>
#include <QLocale>
#include <cmath>
#include <ctime>
#include <optional>
#include <sys/stat.h>

namespace {

constexpr qint64 MSecsPerDay = 86'400'000;

// The dates a day count can name: 0001-01-01 up to 9999-12-31.
constexpr double MinDayCount = -693593.0;
constexpr double MaxDayCount = 2958466.0;

qint64 epochJulianDay()
{
    static const qint64 day = QDate(1899, 12, 30).toJulianDay();
    return day;
}

double dayCountOf(const QDate &date, qint64 msecsOfDay)
{
    const double days = double(date.toJulianDay() - epochJulianDay());
    const double fraction = double(msecsOfDay) / double(MSecsPerDay);
    return days >= 0 ? days + fraction : days - fraction;
}

struct DateParts
{
    QDate date;
    qint64 msecsOfDay = 0;
};

// Splits a day count into its date and its time of day, without any time-zone arithmetic;
// nullopt when the count names no date.
std::optional<DateParts> splitDayCount(double dayCount)
{
    if (!std::isfinite(dayCount) || dayCount < MinDayCount || dayCount >= MaxDayCount)
        return std::nullopt;
    double wholeDays = std::trunc(dayCount);
    qint64 msecs = std::llround(std::fabs(dayCount - wholeDays) * double(MSecsPerDay));
    if (msecs >= MSecsPerDay) { // a fraction that rounds up to the next midnight
        msecs -= MSecsPerDay;
        wholeDays += dayCount >= 0 ? 1 : -1;
    }
    const DateParts parts{QDate::fromJulianDay(epochJulianDay() + qint64(wholeDays)), msecs};
    if (!parts.date.isValid())
        return std::nullopt;
    return parts;
}

// A small scanner over a date text, independent of the user's locale.
class DateScanner
{
public:
    explicit DateScanner(QStringView text) : m_text(text) {}

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos] == u' ')
            ++m_pos;
    }
    bool atEnd() const { return m_pos >= m_text.size(); }
    bool take(char16_t c)
    {
        if (atEnd() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    // Up to four decimal digits; digitCount tells how many were read.
    bool number(int &value, int &digitCount)
    {
        value = 0;
        digitCount = 0;
        while (!atEnd() && m_text[m_pos].isDigit() && m_text[m_pos].unicode() < 128) {
            if (++digitCount > 4)
                return false;
            value = value * 10 + (m_text[m_pos].unicode() - u'0');
            ++m_pos;
        }
        return digitCount > 0;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

int yearInWindow(int year, int currentYear)
{
    const int windowStart = currentYear - 50;
    year += windowStart / 100 * 100;
    if (year < windowStart)
        year += 100;
    return year;
}

// The disk's facts of a regular file (hidden ones too); false for anything else.
bool statRegularFile(const QString &path, struct stat &facts)
{
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &facts) == 0 &&
           S_ISREG(facts.st_mode);
}

} // namespace

bool ReadFileFacts(const QString &path, qint64 &size, double &dayCount)
{
    struct stat facts
    {};
    if (!statRegularFile(path, facts))
        return false;
    size = qint64(facts.st_size);
    dayCount = FileTimeDayCount(qint64(facts.st_mtim.tv_sec));
    return true;
}

double FileTimeDayCount(qint64 secondsSince1970)
{
    // The system's own conversion: a walk dates every file, and this costs a fraction of a
    // QDateTime's.
    const std::time_t seconds = std::time_t(secondsSince1970);
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return -1.0;
    // The packed date-time form keeps even seconds only.
    return dayCountOf(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                      qint64(local.tm_hour * 3600 + local.tm_min * 60 + (local.tm_sec & ~1)) * 1000);
}

qint64 FileSizeOf(const QString &path)
{
    // Without the date: turning it into local time costs more than the look at the disk, and
    // the picker's count asks for thousands of sizes at once.
    struct stat facts
    {};
    return statRegularFile(path, facts) ? qint64(facts.st_size) : -1;
}

double FileDateOf(const QString &path)
{
    qint64 size = 0;
    double dayCount = -1.0;
    return ReadFileFacts(path, size, dayCount) ? dayCount : -1.0;
}

QString SizeText(qint64 size, bool withBytes)
{
    double value = 0;
    QString unit;
    if (size >= 1'000'000'000) {
        value = double(size) / 1'073'741'824.0;
        unit = QStringLiteral("GB");
    } else if (size >= 1'000'000) {
        value = double(size) / 1'048'576.0;
        unit = QStringLiteral("MB");
    } else if (size >= 1'000) {
        value = double(size) / 1'024.0;
        unit = QStringLiteral("KB");
    } else {
        return QString::number(size) + QStringLiteral("Bytes");
    }
    QString text = QString::number(value, 'f', 2);
    text.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
    text += unit;
    if (withBytes)
        text += QStringLiteral(" (%1Bytes)").arg(size);
    return text;
}

namespace {

// A field of a date text, 0 to 99, as two digits.
void writeTwoDigits(char *at, int value)
{
    at[0] = char('0' + value / 10);
    at[1] = char('0' + value % 10);
}

} // namespace

int WriteDateText(double dayCount, char *out)
{
    const auto parts = splitDayCount(dayCount);
    if (!parts)
        return 0;
    int year = 0, month = 0, day = 0;
    parts->date.getDate(&year, &month, &day);
    const int minutes = int(parts->msecsOfDay / 60'000); // seconds are dropped, not rounded
    // Every field is in 0..99: day counts end before year 1 and after year 9999.
    writeTwoDigits(out, month);
    writeTwoDigits(out + 3, day);
    writeTwoDigits(out + 6, year % 100);
    writeTwoDigits(out + 9, minutes / 60);
    writeTwoDigits(out + 12, minutes % 60);
    out[2] = out[5] = '/';
    out[8] = ' ';
    out[11] = ':';
    return DateTextLength;
}

int WriteIsoDateText(double dayCount, char *out)
{
    const auto parts = splitDayCount(dayCount);
    if (!parts)
        return 0;
    int year = 0, month = 0, day = 0;
    parts->date.getDate(&year, &month, &day);
    const int seconds = int(parts->msecsOfDay / 1000);
    writeTwoDigits(out, year / 100); // day counts end before year 1 and after year 9999
    writeTwoDigits(out + 2, year % 100);
    writeTwoDigits(out + 5, month);
    writeTwoDigits(out + 8, day);
    writeTwoDigits(out + 11, seconds / 3600);
    writeTwoDigits(out + 14, seconds / 60 % 60);
    writeTwoDigits(out + 17, seconds % 60);
    out[4] = out[7] = '-';
    out[10] = 'T';
    out[13] = out[16] = ':';
    return IsoDateTextLength;
}

QString DateText(double dayCount)
{
    char text[DateTextLength];
    return QString::fromLatin1(text, WriteDateText(dayCount, text));
}

QString LocaleLongTimeFormat()
{
    // A time-zone name ("t" in the format) says nothing about a file's date; drop it with the
    // blank before it, but never touch quoted literal text.
    const QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u't') {
            while (!kept.isEmpty() && kept.back() == u' ')
                kept.chop(1);
            continue;
        }
        kept += c;
    }
    return kept.trimmed();
}

std::optional<qint64> DateMinute(double dayCount)
{
    const auto parts = splitDayCount(dayCount);
    if (!parts)
        return std::nullopt;
    return (parts->date.toJulianDay() - epochJulianDay()) * 1440 + parts->msecsOfDay / 60'000;
}

qint64 DateMinute(const QDate &date, const QTime &time)
{
    return (date.toJulianDay() - epochJulianDay()) * 1440 + time.hour() * 60 + time.minute();
}

QString LocaleDateTimeText(double dayCount)
{
    const auto parts = splitDayCount(dayCount);
    if (!parts)
        return {};
    const QLocale locale = QLocale::system();
    QString text = locale.toString(parts->date, QLocale::ShortFormat);
    if (parts->msecsOfDay != 0)
        text += u' ' + locale.toString(QTime::fromMSecsSinceStartOfDay(int(parts->msecsOfDay)),
                                       LocaleLongTimeFormat());
    return text;
}

double ParseDateText(const QString &text)
{
    return ParseDateText(text, QDate::currentDate().year());
}

double ParseDateText(const QString &text, int currentYear)
{
    DateScanner scan(text);
    scan.skipBlanks();
    if (scan.atEnd())
        return 0.0;

    int month = 0, day = 0, year = 0, digits = 0, yearDigits = 0;
    if (!scan.number(month, digits) || !scan.take(u'/') || !scan.number(day, digits) || !scan.take(u'/') ||
        !scan.number(year, yearDigits))
        return 0.0;
    if (yearDigits <= 2)
        year = yearInWindow(year, currentYear);

    int hour = 0, minute = 0, second = 0;
    scan.skipBlanks();
    if (!scan.atEnd()) {
        if (!scan.number(hour, digits) || !scan.take(u':') || !scan.number(minute, digits))
            return 0.0;
        if (scan.take(u':') && !scan.number(second, digits))
            return 0.0;
        scan.skipBlanks();
        if (!scan.atEnd())
            return 0.0;
    }

    const QDate date(year, month, day);
    if (year < 1 || !date.isValid() || hour > 23 || minute > 59 || second > 59)
        return 0.0;
    return dayCountOf(date, qint64(hour * 3600 + minute * 60 + second) * 1000);
}

quint32 ElfHash(QStringView text)
{
    quint32 h = 0;
    for (const QChar ch : text) {
        const quint32 c = ch.unicode() < 256 ? ch.unicode() : quint32('?');
        h = (h << 4) + c;
        const quint32 g = h & 0xF0000000u;
        if (g != 0)
            h ^= g >> 24;
        h &= ~g;
    }
    return h;
}

double DayCountFromDateTime(const QDateTime &dateTime)
{
    const QDateTime local = dateTime.toLocalTime();
    return dayCountOf(local.date(), local.time().msecsSinceStartOfDay());
}

QDateTime DateTimeFromDayCount(double dayCount)
{
    const auto parts = splitDayCount(dayCount);
    if (!parts)
        return {};
    return QDateTime(parts->date, QTime::fromMSecsSinceStartOfDay(int(parts->msecsOfDay)), Qt::LocalTime);
}
