#include "Md5Text.h"

#include <QHashFunctions>
#include <algorithm>
#include <cstring>

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

// The value of a lower-case hexadecimal digit, or -1.
template <typename Char>
int digitValue(Char c)
{
    const auto code = char32_t(c);
    if (code >= U'0' && code <= U'9')
        return int(code - U'0');
    if (code >= U'a' && code <= U'f')
        return int(code - U'a') + 10;
    return -1;
}

template <typename Char>
std::optional<TMd5Text::TDigest> parse(const Char *digits, qsizetype size)
{
    TMd5Text::TDigest digest;
    if (size != qsizetype(2 * digest.size()))
        return std::nullopt;
    for (size_t i = 0; i < digest.size(); ++i) {
        const int high = digitValue(digits[2 * i]);
        const int low = digitValue(digits[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        digest[i] = quint8(high << 4 | low);
    }
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

TMd5Text::TMd5Text(const QString &text) : m_digest()
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

TMd5Text::TMd5Text(QStringView text) : m_digest()
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

TMd5Text::TMd5Text(const TMd5Text &other) : m_kind(other.m_kind)
{
    if (m_kind == kText)
        new (&m_text) QString(other.m_text);
    else
        new (&m_digest) TDigest(other.m_digest);
}

TMd5Text::TMd5Text(TMd5Text &&other) noexcept : m_kind(other.m_kind)
{
    if (m_kind == kText) {
        new (&m_text) QString(std::move(other.m_text));
        other.m_text.~QString(); // the moved-from value is empty, not an empty text
        new (&other.m_digest) TDigest();
        other.m_kind = kEmpty;
    } else {
        new (&m_digest) TDigest(other.m_digest);
    }
}

TMd5Text &TMd5Text::operator=(const TMd5Text &other)
{
    if (this != &other) {
        this->~TMd5Text();
        new (this) TMd5Text(other);
    }
    return *this;
}

TMd5Text &TMd5Text::operator=(TMd5Text &&other) noexcept
{
    if (this != &other) {
        this->~TMd5Text();
        new (this) TMd5Text(std::move(other));
    }
    return *this;
}

TMd5Text::~TMd5Text()
{
    if (m_kind == kText)
        m_text.~QString();
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

bool operator==(const TMd5Text &a, const TMd5Text &b)
{
    if (a.m_kind != b.m_kind)
        return false;
    if (a.m_kind == TMd5Text::kText)
        return a.m_text == b.m_text;
    return a.m_digest == b.m_digest; // zeroed when empty
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
