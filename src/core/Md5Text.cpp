#include "Md5Text.h"

#include <QHashFunctions>
#include <algorithm>
#include <cstring>

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

// Values of the lower-case hexadecimal digits by character; every other character has Invalid
// set. A table, not comparisons: loading reads a million digests of random digits.
constexpr quint8 Invalid = 0x10;
constexpr std::array<quint8, 256> DigitValues = [] {
    std::array<quint8, 256> values{};
    values.fill(Invalid);
    for (int i = 0; i < 10; ++i)
        values[size_t('0' + i)] = quint8(i);
    for (int i = 0; i < 6; ++i)
        values[size_t('a' + i)] = quint8(10 + i);
    return values;
}();

template <typename Char>
quint8 digitValue(Char c)
{
    const auto code = char32_t(c); // a negative char becomes large, and so invalid
    return code < DigitValues.size() ? DigitValues[code] : Invalid;
}

template <typename Char>
std::optional<TMd5Text::TDigest> parse(const Char *digits, qsizetype size)
{
    TMd5Text::TDigest digest;
    if (size != qsizetype(2 * digest.size()))
        return std::nullopt;
    quint8 seen = 0;
    for (size_t i = 0; i < digest.size(); ++i) {
        const quint8 high = digitValue(digits[2 * i]);
        const quint8 low = digitValue(digits[2 * i + 1]);
        seen |= high | low;
        digest[i] = quint8(high << 4 | low);
    }
    if (seen & Invalid)
        return std::nullopt;
    return digest;
}

template <typename Char>
void writeDigits(const TMd5Text::TDigest &digest, Char *out)
{
    for (const quint8 byte : digest) {
        *out++ = Char(char16_t(HexDigits[byte >> 4]));
        *out++ = Char(char16_t(HexDigits[byte & 15]));
    }
}

} // namespace

TMd5Text::TMd5Text(const QString &text) : m_words()
{
    if (text.size() > Md5TextLength) {
        *this = TMd5Text(QStringView(text));
    } else if (const auto digest = parse(text.utf16(), text.size())) {
        m_digest = *digest;
        m_kind = kDigest;
    } else if (!text.isEmpty()) {
        new (&m_text) QString(text); // shares the text
        m_kind = kText;
    }
}

TMd5Text::TMd5Text(QStringView text) : m_words()
{
    text.truncate(std::min(text.size(), Md5TextLength));
    if (const auto digest = parse(text.utf16(), text.size())) {
        m_digest = *digest;
        m_kind = kDigest;
    } else if (!text.isEmpty()) {
        new (&m_text) QString(text.toString());
        m_kind = kText;
    }
}

std::optional<TMd5Text::TDigest> TMd5Text::ParseDigits(std::string_view digits)
{
    return parse(digits.data(), qsizetype(digits.size()));
}

qsizetype TMd5Text::size() const
{
    if (m_kind == kText)
        return m_text.size();
    return m_kind == kDigest ? qsizetype(2 * m_digest.size()) : 0;
}

QString TMd5Text::Text() const
{
    if (const TDigest *digest = Digest()) {
        QString text(qsizetype(2 * digest->size()), Qt::Uninitialized);
        writeDigits(*digest, text.data());
        return text;
    }
    return m_kind == kText ? m_text : QString();
}

QStringView TMd5Text::View(TTextBuffer &buffer) const
{
    if (const TDigest *digest = Digest()) {
        writeDigits(*digest, buffer.data());
        return QStringView(buffer.data(), qsizetype(2 * digest->size()));
    }
    return m_kind == kText ? QStringView(m_text) : QStringView();
}

std::string_view TMd5Text::Digits(TDigitsBuffer &buffer) const
{
    const TDigest *digest = Digest();
    if (!digest)
        return {};
    writeDigits(*digest, buffer.data());
    return std::string_view(buffer.data(), buffer.size());
}

size_t TMd5Text::Hash(size_t seed) const
{
    if (const TDigest *digest = Digest()) {
        // The bytes of a digest are evenly spread already: eight of them are hash enough.
        quint64 head;
        std::memcpy(&head, digest->data(), sizeof head);
        return qHash(head, seed);
    }
    return m_kind == kText ? qHash(m_text, seed) : seed;
}

bool operator==(const TMd5Text &a, QStringView b)
{
    if (const TMd5Text::TDigest *digest = a.Digest()) {
        const auto other = parse(b.utf16(), b.size());
        return other && *other == *digest;
    }
    if (a.m_kind == TMd5Text::kText)
        return QStringView(a.m_text) == b;
    return b.isEmpty();
}

std::strong_ordering operator<=>(const TMd5Text &a, const TMd5Text &b)
{
    const TMd5Text::TDigest *first = a.Digest();
    const TMd5Text::TDigest *second = b.Digest();
    if (first && second) // byte order is the order of the digits
        return std::memcmp(first->data(), second->data(), first->size()) <=> 0;
    TMd5Text::TTextBuffer firstBuffer, secondBuffer;
    return a.View(firstBuffer).compare(b.View(secondBuffer)) <=> 0;
}
