#include "CodeCript.h"

#include <array>

namespace {

// Our own order of the 64 characters.
constexpr char Alphabet[] = "Kq3Zx7LmA0bRt9UVWc2YdNe5PfGh+SgJi8jQk1lXnTo4pMrE6sBuCvHwDyFzIaO/";
static_assert(sizeof Alphabet == 65);

constexpr std::array<qint8, 128> makeIndex()
{
    std::array<qint8, 128> index{};
    for (auto &entry : index)
        entry = -1;
    for (int i = 0; i < 64; ++i)
        index[size_t(Alphabet[i])] = qint8(i);
    return index;
}

constexpr auto Index = makeIndex();

int valueOf(QChar c)
{
    const char16_t u = c.unicode();
    return u < 128 && Index[u] >= 0 ? Index[u] : 0;
}

} // namespace

QString DecodeText(const QString &scrambled)
{
    if (scrambled.size() < 4)
        return {};
    QByteArray bytes;
    bytes.reserve(scrambled.size() / 4 * 3);
    for (qsizetype i = 0; i + 4 <= scrambled.size(); i += 4) {
        const QChar c3 = scrambled[i + 2], c4 = scrambled[i + 3];
        const quint32 group =
            quint32(valueOf(scrambled[i])) << 18 | quint32(valueOf(scrambled[i + 1])) << 12 |
            quint32(c3 == u'=' ? 0 : valueOf(c3)) << 6 | quint32(c4 == u'=' ? 0 : valueOf(c4));
        bytes += char(group >> 16);
        if (c3 == u'=')
            break;
        bytes += char(group >> 8 & 0xFF);
        if (c4 == u'=')
            break;
        bytes += char(group & 0xFF);
    }
    return QString::fromUtf8(bytes);
}

QString EncodeText(const QString &plain)
{
    const QByteArray bytes = plain.toUtf8();
    QString text;
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const qsizetype left = bytes.size() - i;
        quint32 group = quint32(quint8(bytes[i])) << 16;
        if (left > 1)
            group |= quint32(quint8(bytes[i + 1])) << 8;
        if (left > 2)
            group |= quint32(quint8(bytes[i + 2]));
        text += QLatin1Char(Alphabet[group >> 18 & 63]);
        text += QLatin1Char(Alphabet[group >> 12 & 63]);
        text += left > 1 ? QLatin1Char(Alphabet[group >> 6 & 63]) : QLatin1Char('=');
        text += left > 2 ? QLatin1Char(Alphabet[group & 63]) : QLatin1Char('=');
    }
    return text;
}
