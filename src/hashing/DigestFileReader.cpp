#include "DigestFileReader.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr qint64 ReadAheadFrom = 64 * 1024;

TFileIdentity IdentityOf(const struct stat &facts)
{
    return {facts.st_dev, facts.st_ino, qint64(facts.st_size), facts.st_mtim};
}

} // namespace

std::optional<TFileIdentity> FileIdentityOf(const QString &path)
{
    struct stat facts
    {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return std::nullopt;
    return IdentityOf(facts);
}

TDigestFileReader::TDigestFileReader(const QString &path)
{
    if (path.isEmpty()) {
        m_error = qt_error_string(ENOENT);
        return;
    }
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat facts
    {};
    if (m_fd < 0 || ::fstat(m_fd, &facts) != 0) {
        m_error = qt_error_string(errno);
        close();
        return;
    }
    if (!S_ISREG(facts.st_mode)) {
        m_error = S_ISDIR(facts.st_mode) ? qt_error_string(EISDIR) : QStringLiteral("Not a regular file");
        close();
        return;
    }
    m_identity = IdentityOf(facts);
    if (m_identity.Size > ReadAheadFrom) // a file taken in by one read or two gains nothing by it
        ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

TDigestFileReader::~TDigestFileReader()
{
    close();
}

TDigestFileReader::TDigestFileReader(TDigestFileReader &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_identity(other.m_identity), m_changed(other.m_changed),
      m_error(std::move(other.m_error))
{}

TDigestFileReader &TDigestFileReader::operator=(TDigestFileReader &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_identity = other.m_identity;
        m_changed = other.m_changed;
        m_error = std::move(other.m_error);
    }
    return *this;
}

qint64 TDigestFileReader::Read(unsigned char *buffer, qint64 count)
{
    if (!m_error.isEmpty())
        return -1;
    qint64 done = 0;
    while (done < count) {
        const ssize_t got = ::read(m_fd, buffer + done, size_t(count - done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            m_error = qt_error_string(errno);
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void TDigestFileReader::FailWith(int error)
{
    m_error = qt_error_string(error);
}

bool TDigestFileReader::EndsAsOpened(qint64 bytesRead)
{
    if (!m_error.isEmpty())
        return false;
    struct stat facts
    {};
    if (::fstat(m_fd, &facts) != 0) {
        m_error = qt_error_string(errno);
        return false;
    }
    const bool same = bytesRead == m_identity.Size && IdentityOf(facts) == m_identity;
    if (!same) {
        m_changed = true;
        m_error = QString::fromLatin1(ChangedWhileReadText);
    }
    return same;
}

void TDigestFileReader::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
