#pragma once

// A file opened to be digested, read from start to end in blocks: read-only, a regular file
// only, and without blocking on a FIFO or device put where a file was (O_NONBLOCK; the type is
// checked before the first read). Errors are the system's words ("No such file or directory"),
// the texts the worker reports.
//
// A digest stands only for the file as it was: its size and modification time are taken from
// the open descriptor before the first read, and EndsAsOpened compares them after the last one.
// A file truncated, appended to or rewritten meanwhile has "changed while read".
//
// Owned by one thread at a time; closes its descriptor when it goes.

#include <QString>
#include <ctime>
#include <optional>
#include <sys/types.h>

// One state of a file: where it is, its size and its modification time. Two looks that give the
// same identity saw the same content, as far as the file system can tell.
struct TFileIdentity
{
    dev_t Device = 0;
    ino_t Node = 0;
    qint64 Size = 0;
    timespec Modified{};

    bool operator==(const TFileIdentity &other) const
    {
        return Device == other.Device && Node == other.Node && Size == other.Size &&
               Modified.tv_sec == other.Modified.tv_sec && Modified.tv_nsec == other.Modified.tv_nsec;
    }
};

// The identity of the regular file at path now; nothing when it cannot be looked at or is not a
// regular file.
std::optional<TFileIdentity> FileIdentityOf(const QString &path);

class TDigestFileReader
{
public:
    TDigestFileReader() = default;
    // Opens the file; IsOpen() tells whether that worked, Error() why not.
    explicit TDigestFileReader(const QString &path);
    ~TDigestFileReader();
    TDigestFileReader(TDigestFileReader &&other) noexcept;
    TDigestFileReader &operator=(TDigestFileReader &&other) noexcept;

    bool IsOpen() const { return m_fd >= 0; }
    const QString &Error() const { return m_error; }
    // The size when the file was opened: what is read of it at most.
    qint64 Size() const { return m_identity.Size; }
    // The file as it was opened.
    const TFileIdentity &Identity() const { return m_identity; }

    // Reads until count bytes are in or the file ends, and returns how many came; -1 on a read
    // error, which Error() then names.
    qint64 Read(unsigned char *buffer, qint64 count);
    // Makes the next read fail with the system's error number, for tests.
    void FailWith(int error);

    // After the last read, with every byte read: whether they are the file as it was opened (as
    // many as its size then, and its size and modification time still those). When not,
    // Error() is ChangedWhileReadText and ChangedWhileRead() holds.
    bool EndsAsOpened(qint64 bytesRead);
    bool ChangedWhileRead() const { return m_changed; }

private:
    void close();

    int m_fd = -1;
    TFileIdentity m_identity;
    bool m_changed = false;
    QString m_error;
};

// The reason a file read to its end gets no digest when it changed meanwhile.
inline constexpr char ChangedWhileReadText[] = "changed while read";
