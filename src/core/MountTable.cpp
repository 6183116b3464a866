#include "MountTable.h"

#include <QFile>

namespace {

QString unescapeOctal(const QByteArray &field)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                bytes += char(code);
                i += 3;
                continue;
            }
        }
        bytes += field[i];
    }
    return QFile::decodeName(bytes);
}

} // namespace

QList<TMountEntry> MountEntriesOf(const QByteArray &mountinfo)
{
    // "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 - ext3 /dev/root rw": the fifth field is
    // the mount point; the kind follows the "-" that ends the optional fields.
    QList<TMountEntry> mounts;
    for (const QByteArray &line : mountinfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
        TMountEntry entry{unescapeOctal(fields[4]), {}};
        const qsizetype dash = fields.indexOf("-", 5);
        if (dash >= 0 && dash + 1 < fields.size())
            entry.Type = QString::fromLatin1(fields[dash + 1]);
        mounts << entry;
    }
    return mounts;
}

QList<TMountEntry> CurrentMounts()
{
    QFile mountinfo(QStringLiteral("/proc/self/mountinfo"));
    if (!mountinfo.open(QIODevice::ReadOnly))
        return {};
    return MountEntriesOf(mountinfo.readAll());
}
