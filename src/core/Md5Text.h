#pragma once

// The digest text of a record. A digest as the program writes it, 32 lower-case hexadecimal
// digits, is kept as its 16 bytes: a catalog holds millions of them. Any other text a catalog
// file or a checksum list may hold (upper case, shorter, damaged) is kept as it was read, so it
// is shown, compared and saved unchanged.

#include <QString>
#include <QStringView>
#include <array>
#include <compare>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

// The longest digest text a record keeps; longer texts are cut when stored.
constexpr qsizetype Md5TextLength = 32;

class TMd5Text
{
public:
    using TDigest = std::array<quint8, 16>;
    // Room for the text of any value, for View.
    using TTextBuffer = std::array<char16_t, Md5TextLength>;
    // Room for the digits of a digest, for Digits.
    using TDigitsBuffer = std::array<char, 32>;

    TMd5Text() : m_words() {}
    // The text cut to Md5TextLength characters. Implicit, so a text read or typed is stored
    // and compared as it is.
    TMd5Text(const QString &text);
    TMd5Text(QStringView text);
    explicit TMd5Text(const TDigest &digest) : m_words(), m_kind(kDigest) { m_digest = digest; }
    // Inline: a sort of the file list moves a value with every row it moves.
    TMd5Text(const TMd5Text &other) : m_kind(other.m_kind)
    {
        if (m_kind == kText)
            new (&m_text) QString(other.m_text);
        else
            new (&m_words) TWords(other.m_words);
    }
    TMd5Text(TMd5Text &&other) noexcept : m_kind(other.m_kind)
    {
        if (m_kind != kText) {
            new (&m_words) TWords(other.m_words);
            return;
        }
        new (&m_text) QString(std::move(other.m_text));
        other.m_text.~QString(); // the moved-from value is empty, not an empty text
        new (&other.m_words) TWords();
        other.m_kind = kEmpty;
    }
    TMd5Text &operator=(const TMd5Text &other)
    {
        if (this != &other) {
            this->~TMd5Text();
            new (this) TMd5Text(other);
        }
        return *this;
    }
    TMd5Text &operator=(TMd5Text &&other) noexcept
    {
        if (this != &other) {
            this->~TMd5Text();
            new (this) TMd5Text(std::move(other));
        }
        return *this;
    }
    ~TMd5Text()
    {
        if (m_kind == kText)
            m_text.~QString();
    }

    // The digest whose text is exactly the 32 lower-case digits given; none for any other text.
    static std::optional<TDigest> ParseDigits(std::string_view digits);

    bool isEmpty() const { return m_kind == kEmpty; }
    void clear() { *this = TMd5Text(); }
    // Characters of the text.
    qsizetype size() const;
    // The bytes, when the text is a digest as the program writes it.
    const TDigest *Digest() const { return m_kind == kDigest ? &m_digest : nullptr; }

    QString Text() const;
    // The text without allocating: the kept text, or the digest's digits written into buffer.
    QStringView View(TTextBuffer &buffer) const;
    // The digest's digits written into buffer; empty when the text is not a digest as written.
    std::string_view Digits(TDigitsBuffer &buffer) const;

    size_t Hash(size_t seed = 0) const;

    friend bool operator==(const TMd5Text &a, const TMd5Text &b)
    {
        if (a.m_kind != b.m_kind)
            return false;
        return a.m_kind == kText ? a.m_text == b.m_text : a.m_digest == b.m_digest; // zeroed when empty
    }
    friend bool operator==(const TMd5Text &a, QStringView b);
    friend bool operator==(const TMd5Text &a, const QString &b) { return a == QStringView(b); }
    // The order of the texts (by UTF-16 code units, as QString compares them).
    friend std::strong_ordering operator<=>(const TMd5Text &a, const TMd5Text &b);

private:
    enum TKind : quint8
    {
        kEmpty,
        kDigest, // m_digest
        kText,   // m_text
    };

    // Every byte of the storage, set whatever the kind: values copy as plain words then.
    using TWords = std::array<quint64, sizeof(QString) / sizeof(quint64)>;

    // A text that is a digest as written is always held as bytes, so equal texts have equal
    // values. An empty value keeps the storage zeroed.
    union {
        TWords m_words;
        TDigest m_digest;
        QString m_text;
    };
    TKind m_kind = kEmpty;
};

inline size_t qHash(const TMd5Text &value, size_t seed = 0)
{
    return value.Hash(seed);
}
