#include "XmlPullReader.h"

#include "StorageErrors.h"

#include <QBuffer>
#include <QIODevice>
#include <QStringDecoder>
#include <array>
#include <cstring>
#include <unistd.h>

namespace {

// Bytes read at a time; a piece of markup longer than the window makes it grow.
constexpr size_t WindowSize = size_t(1) << 20;

enum : quint8
{
    Blank = 1,
    NameStart = 2,
    NamePart = 4,
};

constexpr std::array<quint8, 256> CharClasses = [] {
    std::array<quint8, 256> classes{};
    for (const char c : {' ', '\t', '\n', '\r'})
        classes[uchar(c)] = Blank;
    for (int c = 0; c < 256; ++c) {
        const bool letter =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
        if (letter)
            classes[size_t(c)] = NameStart | NamePart;
        else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            classes[size_t(c)] = NamePart;
    }
    return classes;
}();

bool is(char c, quint8 charClass)
{
    return (CharClasses[uchar(c)] & charClass) != 0;
}

const char *skipBlanks(const char *at, const char *end)
{
    while (at < end && is(*at, Blank))
        ++at;
    return at;
}

// Past the end of a name starting at `at`; `at` itself when no name starts there.
const char *skipName(const char *at, const char *end)
{
    if (at == end || !is(*at, NameStart))
        return at;
    ++at;
    while (at < end && is(*at, NamePart))
        ++at;
    return at;
}

// The first place of `needle` in [at, end), or nullptr.
const char *find(const char *at, const char *end, std::string_view needle)
{
    const void *found = ::memmem(at, size_t(end - at), needle.data(), needle.size());
    return static_cast<const char *>(found);
}

// Whether [at, end) starts with the literal; `incomplete` when the bytes so far are its start.
bool startsWith(const char *at, const char *end, std::string_view literal, bool &incomplete)
{
    const size_t have = std::min(size_t(end - at), literal.size());
    if (std::memcmp(at, literal.data(), have) != 0)
        return false;
    incomplete = have < literal.size();
    return true;
}

qint64 physicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : 0;
}

} // namespace

TXmlPullReader::TXmlPullReader(QIODevice &device)
    : m_device(&device), m_buffer(new char[WindowSize]), m_capacity(WindowSize)
{
    // The first window decides the encoding and holds the declaration.
    refill();
    readAsUtf8IfWide();
    m_endsAtNull = true;
    endAtNull(0);
    if (Head().startsWith("\xEF\xBB\xBF"))
        m_pos = 3; // past the byte order mark
}

TXmlPullReader::~TXmlPullReader() = default;

void TXmlPullReader::readAsUtf8IfWide()
{
    const QByteArrayView start(m_buffer.get(), qsizetype(std::min<size_t>(m_end, 4)));
    std::optional<QStringConverter::Encoding> wide;
    if (start.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4)) ||
        start.startsWith(QByteArrayView("\x00\x00\x00<", 4)))
        wide = QStringConverter::Utf32BE;
    else if (start.startsWith(QByteArrayView("\xFF\xFE\x00\x00", 4)) ||
             start.startsWith(QByteArrayView("<\x00\x00\x00", 4)))
        wide = QStringConverter::Utf32LE;
    else if (start.startsWith("\xFE\xFF") || start.startsWith(QByteArrayView("\x00<\x00?", 4)))
        wide = QStringConverter::Utf16BE;
    else if (start.startsWith("\xFF\xFE") || start.startsWith(QByteArrayView("<\x00?\x00", 4)))
        wide = QStringConverter::Utf16LE;
    if (!wide)
        return;
    // Rare enough to be read whole: such a document is turned into UTF-8 and read from memory.
    QByteArray wideText(m_buffer.get(), qsizetype(m_end));
    m_pos = m_end;
    while (refill()) {
        wideText.append(m_buffer.get(), qsizetype(m_end));
        m_pos = m_end;
    }
    QStringDecoder decoder(*wide);
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(QString(decoder(wideText)).toUtf8());
    buffer->open(QIODevice::ReadOnly);
    m_converted = std::move(buffer);
    m_device = m_converted.get();
    m_pos = m_end = 0;
    m_base = 0;
    m_eof = false;
    refill();
}

// Keeps the bytes from m_pos on and reads more after them; false at the end of the device.
bool TXmlPullReader::refill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_pos, m_end - m_pos);
        m_base += qint64(m_pos);
        m_end -= m_pos;
        m_pos = 0;
    }
    if (m_end == m_capacity)
        grow();
    // The window is filled whole, so that markup longer than it is scanned again only when it
    // has doubled.
    const size_t start = m_end;
    while (m_end < m_capacity && !m_eof) {
        const qint64 got = m_device->read(m_buffer.get() + m_end, qint64(m_capacity - m_end));
        if (got < 0)
            ThrowReadError(*m_device);
        m_eof = got == 0;
        m_end += size_t(got);
    }
    endAtNull(start);
    return m_end > start;
}

// The text ends at a null character, which no XML document holds: what follows it is not read.
void TXmlPullReader::endAtNull(size_t from)
{
    if (!m_endsAtNull)
        return;
    if (const void *null = std::memchr(m_buffer.get() + from, 0, m_end - from)) {
        m_end = size_t(static_cast<const char *>(null) - m_buffer.get());
        m_eof = true;
    }
}

void TXmlPullReader::grow()
{
    const size_t capacity = m_capacity * 2;
    if (const qint64 memory = physicalMemory(); memory > 0 && qint64(capacity) > memory)
        throw ECatalogError(QStringLiteral("Not enough memory to read the registry"));
    auto buffer = std::make_unique<char[]>(capacity);
    std::memcpy(buffer.get(), m_buffer.get(), m_end);
    m_buffer = std::move(buffer);
    m_capacity = capacity;
}

void TXmlPullReader::fail(const char *what, const char *at) const
{
    const qint64 offset = m_base + qint64(at - m_buffer.get());
    throw ECatalogError(QStringLiteral("XML error in the registry: %1 (at byte %2)")
                            .arg(QString::fromUtf8(what))
                            .arg(offset));
}

void TXmlPullReader::failAtEnd() const
{
    fail("Unexpected end of the document", m_buffer.get() + m_end);
}

TXmlPullReader::TToken TXmlPullReader::Next()
{
    if (m_emptyElementOpen) {
        m_emptyElementOpen = false;
        m_attributes.clear();
        return EndElement; // Name() is still the start tag's
    }
    for (;;) {
        const char *const text = m_buffer.get() + m_pos;
        const char *const end = m_buffer.get() + m_end;
        const char *const markup = static_cast<const char *>(std::memchr(text, '<', size_t(end - text)));
        if (!markup) {
            m_pos = m_end; // text is passed over
            if (!refill()) {
                if (!m_openStarts.empty())
                    failAtEnd();
                if (!m_elementSeen)
                    fail("No document element", m_buffer.get() + m_end);
                return EndOfDocument;
            }
            continue;
        }
        m_pos = size_t(markup - m_buffer.get());
        TToken token = EndOfDocument;
        bool reported = false;
        const char *next = nullptr;
        if (scanMarkup(markup, end, token, reported, next) == Incomplete) {
            if (!refill())
                failAtEnd();
            continue;
        }
        m_pos = size_t(next - m_buffer.get());
        if (reported)
            return token;
    }
}

TXmlPullReader::TScan TXmlPullReader::scanMarkup(const char *at, const char *end, TToken &token,
                                                 bool &reported, const char *&next)
{
    const bool atDocumentLevel = m_openStarts.empty();
    if (end - at < 2)
        return Incomplete;
    bool incomplete = false;
    const char kind = at[1];
    if (kind == '/') {
        token = EndElement;
        reported = true;
        return scanEndTag(at, end, next);
    }
    if (kind == '?') {
        const char *close = find(at + 2, end, "?>");
        if (!close)
            return Incomplete;
        const char *target = skipName(at + 2, close);
        if (target == at + 2)
            fail("Bad processing instruction", at);
        // An XML declaration is read through Head(); wherever else one stands, it is passed over
        // without its content being judged, as catalog files have always been read.
        const bool declaration = QByteArrayView(at + 2, target).compare("xml", Qt::CaseInsensitive) == 0;
        if (!declaration && target != close && !is(*target, Blank))
            fail("Bad processing instruction", at);
        next = close + 2;
        token = Markup;
        reported = atDocumentLevel && !declaration;
        return Complete;
    }
    if (kind == '!') {
        if (startsWith(at, end, "<!--", incomplete)) {
            if (incomplete)
                return Incomplete;
            const char *close = find(at + 4, end, "-->");
            if (!close)
                return Incomplete;
            next = close + 3;
            token = Markup;
            reported = atDocumentLevel;
            return Complete;
        }
        if (startsWith(at, end, "<![CDATA[", incomplete)) {
            if (incomplete)
                return Incomplete;
            const char *close = find(at + 9, end, "]]>");
            if (!close)
                return Incomplete;
            next = close + 3;
            return Complete;
        }
        if (startsWith(at, end, "<!DOCTYPE", incomplete)) {
            if (incomplete)
                return Incomplete;
            if (!atDocumentLevel)
                fail("Document type declaration inside an element", at);
            return scanDocumentType(at, end, next); // passed over, as catalog files always were
        }
        fail("Bad markup", at);
    }
    token = StartElement;
    reported = true;
    return scanStartTag(at, end, next);
}

TXmlPullReader::TScan TXmlPullReader::scanStartTag(const char *at, const char *end, const char *&next)
{
    const char *const nameStart = at + 1;
    const char *p = skipName(nameStart, end);
    if (p == end)
        return Incomplete;
    if (p == nameStart)
        fail("Bad start tag", at);
    m_name = QByteArrayView(nameStart, p);
    m_attributes.clear();
    for (;;) {
        const char *const afterName = p;
        p = skipBlanks(p, end);
        if (p == end)
            return Incomplete;
        if (*p == '>' || *p == '/') {
            const bool empty = *p == '/';
            if (empty && p + 1 == end)
                return Incomplete;
            if (empty && p[1] != '>')
                fail("Bad start tag", p);
            next = p + (empty ? 2 : 1);
            m_emptyElementOpen = empty;
            m_elementSeen = true;
            if (!empty) {
                m_openStarts.push_back(m_openNames.size());
                m_openNames.append(m_name.data(), size_t(m_name.size()));
            }
            return Complete;
        }
        if (p == afterName)
            fail("Bad attribute", p); // attributes are set apart by blanks
        const char *const attributeName = p;
        p = skipName(p, end);
        if (p == end)
            return Incomplete;
        if (p == attributeName)
            fail("Bad attribute", p);
        const QByteArrayView name(attributeName, p);
        p = skipBlanks(p, end);
        if (p == end)
            return Incomplete;
        if (*p != '=')
            fail("Bad attribute", p);
        p = skipBlanks(p + 1, end);
        if (p == end)
            return Incomplete;
        const char quote = *p;
        if (quote != '"' && quote != '\'')
            fail("Bad attribute", p);
        const char *close = static_cast<const char *>(std::memchr(p + 1, quote, size_t(end - p - 1)));
        if (!close)
            return Incomplete;
        m_attributes.push_back({name, QByteArrayView(p + 1, close)});
        p = close + 1;
    }
}

TXmlPullReader::TScan TXmlPullReader::scanEndTag(const char *at, const char *end, const char *&next)
{
    const char *const nameStart = at + 2;
    const char *p = skipName(nameStart, end);
    if (p == end)
        return Incomplete;
    if (p == nameStart)
        fail("Bad end tag", at);
    m_name = QByteArrayView(nameStart, p);
    p = skipBlanks(p, end);
    if (p == end)
        return Incomplete;
    if (*p != '>')
        fail("Bad end tag", p);
    if (m_openStarts.empty())
        fail("End tag without a start tag", at);
    const size_t openStart = m_openStarts.back();
    if (std::string_view(m_openNames).substr(openStart) !=
        std::string_view(m_name.data(), size_t(m_name.size())))
        fail("Start and end tags do not match", at);
    m_openStarts.pop_back();
    m_openNames.resize(openStart);
    m_attributes.clear();
    next = p + 1;
    return Complete;
}

TXmlPullReader::TScan TXmlPullReader::scanDocumentType(const char *at, const char *end, const char *&next)
{
    // Quoted literals and comments may hold brackets and ">"; the declarations of the internal
    // subset end in ">" too, so only a ">" outside the brackets ends the whole.
    int depth = 0;
    for (const char *p = at + 9; p < end; ++p) {
        switch (*p) {
        case '"':
        case '\'': {
            p = static_cast<const char *>(std::memchr(p + 1, *p, size_t(end - p - 1)));
            if (!p)
                return Incomplete;
            break;
        }
        case '<': {
            bool incomplete = false;
            if (startsWith(p, end, "<!--", incomplete)) {
                if (incomplete)
                    return Incomplete;
                p = find(p + 4, end, "-->");
                if (!p)
                    return Incomplete;
                p += 2;
            }
            break;
        }
        case '[':
            ++depth;
            break;
        case ']':
            depth = std::max(depth - 1, 0);
            break;
        case '>':
            if (depth == 0) {
                next = p + 1;
                return Complete;
            }
            break;
        default:
            break;
        }
    }
    return Incomplete;
}
