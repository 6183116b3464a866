#pragma once

// The digest text of a record. A digest as the program writes it, 32 lower-case hexadecimal
// digits, is kept as its 16 bytes: a catalog holds millions of them. Any other text a catalog
// file or a checksum list may hold (upper case, shorter, damaged) is kept as it was read, so it
// is shown, compared and saved unchanged.

#include <QString>
#include <QStringView>
#include <array>
#include <compare>
#include <optional>
#include <string_view>

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

    TMd5Text() : m_digest() {}
    // The text cut to Md5TextLength characters. Implicit, so a text read or typed is stored
    // and compared as it is.
    TMd5Text(const QString &text);
    TMd5Text(QStringView text);
    explicit TMd5Text(const TDigest &digest) : m_digest(digest), m_kind(kDigest) {}
    TMd5Text(const TMd5Text &other);
    TMd5Text(TMd5Text &&other) noexcept;
    TMd5Text &operator=(const TMd5Text &other);
    TMd5Text &operator=(TMd5Text &&other) noexcept;
    ~TMd5Text();

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

    friend bool operator==(const TMd5Text &a, const TMd5Text &b);
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

    // A text that is a digest as written is always held as bytes, so equal texts have equal
    // values. An empty value keeps m_digest zeroed, so every value copies fully initialised.
    union {
        TDigest m_digest;
        QString m_text;
    };
    TKind m_kind = kEmpty;
};

inline size_t qHash(const TMd5Text &value, size_t seed = 0)
{
    return value.Hash(seed);
}
