#pragma once

// A file opened to be digested, read from start to end in blocks: read-only, a regular file
// only, and without blocking on a FIFO or device put where a file was (O_NONBLOCK; the type is
// checked before the first read). Errors are the system's words ("No such file or directory"),
// the texts the worker reports.
//
// Owned by one thread at a time; closes its descriptor when it goes.

#include <QString>

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
    qint64 Size() const { return m_size; }

    // Reads until count bytes are in or the file ends, and returns how many came; -1 on a read
    // error, which Error() then names.
    qint64 Read(unsigned char *buffer, qint64 count);
    // Makes the next read fail with the system's error number, for tests.
    void FailWith(int error);

private:
    void close();

    int m_fd = -1;
    qint64 m_size = 0;
    QString m_error;
};
