#include "CliChecksumLists.h"

#include "CliIo.h"

#include <QFile>
#include <QList>

namespace {

const QByteArray HashdeepFirstLine = "%%%% HASHDEEP-1.0";

bool isMd5Text(QByteArrayView text)
{
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

// md5sum's escapes back to the bytes of the name; false on an escape it never writes.
bool unescapeName(QByteArrayView escaped, QByteArray &name)
{
    name.clear();
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            name += escaped[i];
            continue;
        }
        if (++i == escaped.size())
            return false;
        switch (escaped[i]) {
        case '\\':
            name += '\\';
            break;
        case 'n':
            name += '\n';
            break;
        case 'r':
            name += '\r';
            break;
        default:
            return false;
        }
    }
    return true;
}

void parseMd5sumLine(QByteArrayView line, qsizetype number, TChecksumList &list)
{
    const bool escaped = line.startsWith('\\');
    if (escaped)
        line = line.sliced(1);
    // "<digest>  <name>" in text mode, "<digest> *<name>" in binary mode.
    if (line.size() < 35 || !isMd5Text(line.first(32)) || line[32] != ' ' ||
        (line[33] != ' ' && line[33] != '*')) {
        list.Unusable.push_back({number, QStringLiteral("not a line of md5sum's")});
        return;
    }
    QByteArray name = line.sliced(34).toByteArray();
    if (escaped && !unescapeName(line.sliced(34), name)) {
        list.Unusable.push_back({number, QStringLiteral("an escape md5sum does not write")});
        return;
    }
    list.Files.push_back(
        {number, QString::fromLatin1(line.first(32)).toLower(), QFile::decodeName(name), -1});
}

struct THashdeepColumns
{
    qsizetype Size = -1;
    qsizetype Md5 = -1;
    qsizetype Count = 0; // the name is the last column and takes the rest of the line
};

void parseHashdeepLine(QByteArrayView line, qsizetype number, const THashdeepColumns &columns,
                       TChecksumList &list)
{
    QList<QByteArrayView> fields;
    qsizetype start = 0;
    while (fields.size() + 1 < columns.Count) {
        const qsizetype comma = line.indexOf(',', start);
        if (comma < 0)
            break;
        fields << line.sliced(start, comma - start);
        start = comma + 1;
    }
    if (columns.Count == 0 || fields.size() + 1 != columns.Count || start == line.size()) {
        list.Unusable.push_back({number, QStringLiteral("not a line of hashdeep's")});
        return;
    }
    TListedFile file{number, {}, QFile::decodeName(line.sliced(start).toByteArray()), -1};
    if (!isMd5Text(fields[columns.Md5])) {
        list.Unusable.push_back({number, QStringLiteral("not an MD5 digest")});
        return;
    }
    file.Md5 = QString::fromLatin1(fields[columns.Md5]).toLower();
    if (columns.Size >= 0) {
        bool ok = false;
        file.Size = fields[columns.Size].toByteArray().toLongLong(&ok);
        if (!ok || file.Size < 0) {
            list.Unusable.push_back({number, QStringLiteral("not a size")});
            return;
        }
    }
    list.Files.push_back(file);
}

// "%%%% size,md5,filename": where size and md5 stand; the file name must come last.
THashdeepColumns hashdeepColumns(QByteArrayView header)
{
    THashdeepColumns columns;
    const QList<QByteArray> names = header.toByteArray().split(',');
    if (names.isEmpty() || names.back() != "filename")
        return {};
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        if (names[i] == "size")
            columns.Size = i;
        else if (names[i] == "md5")
            columns.Md5 = i;
    }
    if (columns.Md5 < 0)
        return {};
    columns.Count = names.size();
    return columns;
}

} // namespace

QByteArray Md5SumLine(const QString &lowerCaseDigest, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const bool escape = name.contains('\\') || name.contains('\n') || name.contains('\r');
    return (escape ? "\\" : "") + lowerCaseDigest.toLatin1() + "  " +
           (escape ? EscapedAsMd5sum(name) : name) + '\n';
}

TChecksumList ParseChecksumList(const QByteArray &content)
{
    TChecksumList list;
    list.FromHashdeep = content.startsWith(HashdeepFirstLine + '\n') || content == HashdeepFirstLine;
    THashdeepColumns columns;
    qsizetype number = 0;
    for (qsizetype start = 0; start < content.size();) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArrayView line = QByteArrayView(content).sliced(start, end - start);
        start = end + 1;
        ++number;
        if (line.endsWith('\r')) // a list written with CR LF line ends
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (!list.FromHashdeep) {
            parseMd5sumLine(line, number, list);
            continue;
        }
        if (line.startsWith("%%%% ")) {
            if (number > 1)
                columns = hashdeepColumns(line.sliced(5));
            continue;
        }
        if (line.startsWith("## Invoked from: "))
            list.ListedFrom = QFile::decodeName(line.sliced(17).toByteArray());
        if (line.startsWith('#'))
            continue;
        parseHashdeepLine(line, number, columns, list);
    }
    return list;
}
