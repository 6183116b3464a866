#pragma once

// TLongPathChain: directories nested below a folder until the file at the bottom has a path of
// more than PATH_MAX bytes, which no call that takes a whole path can reach. Made and removed
// through descriptors, one level at a time; removed when the object goes, as QTemporaryDir,
// which names every path whole, could not.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

class TLongPathChain
{
public:
    // Below folder: levels of directories named Level, and the file FileName at the bottom.
    explicit TLongPathChain(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
        const int levels = int(PATH_MAX / (Level.size() + 1)) + 1;
        int at = ::open(m_folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int level = 0; level < levels && at >= 0; ++level) {
            ::mkdirat(at, Level.constData(), 0755);
            const int below = ::openat(at, Level.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(at);
            at = below;
            ++m_levels;
        }
        if (at < 0)
            return;
        const int file = ::openat(at, FileName, O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        m_complete = file >= 0 && ::write(file, "deep", 4) == 4;
        if (file >= 0)
            ::close(file);
        ::close(at);
    }
    ~TLongPathChain()
    {
        std::vector<int> levels{::open(m_folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
        for (int level = 0; level < m_levels && levels.back() >= 0; ++level)
            levels.push_back(::openat(levels.back(), Level.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (levels.back() >= 0)
            ::unlinkat(levels.back(), FileName, 0);
        for (size_t i = levels.size() - 1; i > 0; --i) {
            ::close(levels[i]);
            ::unlinkat(levels[i - 1], Level.constData(), AT_REMOVEDIR);
        }
        if (levels.front() >= 0)
            ::close(levels.front());
    }
    TLongPathChain(const TLongPathChain &) = delete;
    TLongPathChain &operator=(const TLongPathChain &) = delete;

    bool Complete() const { return m_complete; }
    // The first directory whose path, with its final separator, is PATH_MAX bytes or more: the
    // one a walk from the folder passes over.
    QString FirstTooLong() const
    {
        QByteArray path = m_folder;
        while (path.size() + 1 < PATH_MAX)
            path += '/' + Level;
        return QFile::decodeName(path);
    }

    inline static const QByteArray Level = QByteArray(200, 'd');
    static constexpr char FileName[] = "deep.txt";

private:
    const QByteArray m_folder;
    int m_levels = 0;
    bool m_complete = false;
};
