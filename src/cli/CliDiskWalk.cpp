#include "CliDiskWalk.h"

#include <cmath>
#include <ctime>

namespace {

constexpr qint64 MSecsPerDay = 86'400'000;
constexpr qint64 MinutesPerDay = 1440;
// The day count of 1970-01-01.
constexpr qint64 UnixEpochDayCount = 25569;

} // namespace

std::optional<qint64> MinuteOfDayCount(double dayCount)
{
    // As DateText splits a day count, for the days from 1970 on.
    if (!std::isfinite(dayCount) || dayCount < double(UnixEpochDayCount) || dayCount >= 2958466.0)
        return std::nullopt;
    double wholeDays = std::trunc(dayCount);
    qint64 msecs = std::llround((dayCount - wholeDays) * double(MSecsPerDay));
    if (msecs >= MSecsPerDay) {
        msecs -= MSecsPerDay;
        wholeDays += 1;
    }
    return qint64(wholeDays) * MinutesPerDay + msecs / 60'000;
}

std::optional<qint64> LocalMinuteOf(qint64 secondsSince1970)
{
    // Local time as the catalog takes it from a file (the system's local time conversion); the
    // offset from UTC turns the seconds into local ones.
    const std::time_t seconds = std::time_t(secondsSince1970);
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return std::nullopt;
    const qint64 localSeconds = secondsSince1970 + qint64(local.tm_gmtoff);
    if (localSeconds < 0)
        return std::nullopt;
    return UnixEpochDayCount * MinutesPerDay + localSeconds / 60;
}
