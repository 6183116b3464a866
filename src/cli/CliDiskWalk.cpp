#include "CliDiskWalk.h"

#include <QFile>
#include <cmath>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr qint64 MSecsPerDay = 86'400'000;
constexpr qint64 MinutesPerDay = 1440;
// The day count of 1970-01-01.
constexpr qint64 UnixEpochDayCount = 25569;

// Closes the listing on every way out.
class TListing
{
public:
    explicit TListing(const QByteArray &path) : m_dir(::opendir(path.constData())) {}
    ~TListing()
    {
        if (m_dir)
            ::closedir(m_dir);
    }
    TListing(const TListing &) = delete;
    TListing &operator=(const TListing &) = delete;
    DIR *Dir() const { return m_dir; }

private:
    DIR *m_dir;
};

} // namespace

void WalkDiskFolder(const QString &folder, std::vector<TDiskFile> &files)
{
    std::vector<QByteArray> directories{QFile::encodeName(folder.endsWith(u'/') ? folder : folder + u'/')};
    for (size_t walked = 0; walked < directories.size(); ++walked) {
        const QByteArray prefix = directories[walked]; // the list grows while it is read
        const TListing listing(prefix);
        if (!listing.Dir())
            continue;
        const int at = ::dirfd(listing.Dir());
        QByteArray path = prefix; // the prefix, then each file's name in turn
        while (const dirent *entry = ::readdir(listing.Dir())) {
            const char *name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            struct stat facts
            {};
            const unsigned char type = entry->d_type;
            if (type == DT_DIR ||
                (type == DT_UNKNOWN && ::fstatat(at, name, &facts, AT_SYMLINK_NOFOLLOW) == 0 &&
                 S_ISDIR(facts.st_mode))) {
                directories.push_back(prefix + name + '/');
                continue;
            }
            if (type != DT_REG && type != DT_LNK && type != DT_UNKNOWN)
                continue;
            // A link counts as the file it leads to.
            if (::fstatat(at, name, &facts, 0) != 0 || !S_ISREG(facts.st_mode))
                continue;
            path.truncate(prefix.size());
            path += name;
            files.push_back({QFile::decodeName(path), qint64(facts.st_size), qint64(facts.st_mtim.tv_sec)});
        }
    }
}

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
