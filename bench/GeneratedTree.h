#pragma once

// A tree of files for the benchmarks that read files: folders in two levels (a tenth at the top,
// the rest spread below them), files of 1 to 64 KiB of pseudo-random bytes, about one in ten a
// copy of an earlier file. The same tree for the same numbers. A folder or file that cannot be
// written ends the benchmark.

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Returns the total size written.
inline qint64 GenerateTree(const QString &root, int files, int folders)
{
    const auto fail = [](const QString &path) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    };
    QRandomGenerator random(20080315);
    const int top = std::max(1, folders / 10);
    QStringList directories;
    for (int f = 0; f < folders; ++f) {
        const QString path =
            f < top ? QStringLiteral("%1/d%2").arg(root).arg(f, 3, 10, QLatin1Char('0'))
                    : QStringLiteral("%1/s%2").arg(directories[f % top]).arg(f, 3, 10, QLatin1Char('0'));
        if (!QDir().mkpath(path))
            fail(path);
        directories << path;
    }
    std::vector<QByteArray> contents;
    qint64 total = 0;
    for (int i = 0; i < files; ++i) {
        QByteArray content;
        if (!contents.empty() && random.bounded(10) == 0) {
            content = contents[size_t(random.bounded(int(contents.size())))];
        } else {
            content.resize(1024 + random.bounded(63 * 1024 + 1));
            random.fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
            contents.push_back(content);
        }
        QFile file(
            QStringLiteral("%1/f%2.bin").arg(directories[i % folders]).arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            fail(file.fileName());
        total += content.size();
    }
    return total;
}
