#include "CliJson.h"

#include "FileDat.h"
#include "support.h"

#include <QFile>
#include <algorithm>

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

// Room for the worst case of a string: six bytes for each unit (a control character or an odd
// byte escaped as a backslash, "u" and four hex digits) and its quotation marks.
constexpr qsizetype WorstBytesPerUnit = 6;

char *writeHex(char *to, uchar c)
{
    *to++ = HexDigits[c >> 4];
    *to++ = HexDigits[c & 0xf];
    return to;
}

// Which ASCII bytes JSON escapes: the control characters, the quotation mark, the backslash.
constexpr bool needsEscape(uchar c)
{
    return c < 0x20 || c == '"' || c == '\\';
}

// Writes JSON's escape of an ASCII byte that needs one; gives the end of what was written.
char *writeEscaped(char *to, uchar c)
{
    *to++ = '\\';
    switch (c) {
    case '"':
    case '\\':
        *to++ = char(c);
        return to;
    case '\n':
        *to++ = 'n';
        return to;
    case '\r':
        *to++ = 'r';
        return to;
    case '\t':
        *to++ = 't';
        return to;
    case '\b':
        *to++ = 'b';
        return to;
    case '\f':
        *to++ = 'f';
        return to;
    default:
        return writeHex(std::copy_n("u00", 3, to), c);
    }
}

// The length of the well-formed UTF-8 sequence at the start of bytes (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when the first byte begins none.
qsizetype validSequenceLength(const uchar *bytes, qsizetype available)
{
    const uchar lead = bytes[0];
    qsizetype length = 0;
    uchar low = 0x80, high = 0xbf; // the range of the second byte
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0)
            low = 0xa0;
        else if (lead == 0xed)
            high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0)
            low = 0x90;
        else if (lead == 0xf4)
            high = 0x8f;
    } else {
        return 0;
    }
    if (available < length || bytes[1] < low || bytes[1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (bytes[i] < 0x80 || bytes[i] > 0xbf)
            return 0;
    }
    return length;
}

} // namespace

void AppendJsonText(QByteArray &out, QStringView text)
{
    // Straight from UTF-16 into the output, without a UTF-8 copy of each text: room for the worst
    // case, then cut to what was written.
    const qsizetype start = out.size();
    out.resize(start + WorstBytesPerUnit * text.size() + 2);
    char *to = out.data() + start;
    *to++ = '"';
    const char16_t *from = text.utf16();
    const char16_t *const end = from + text.size();
    while (from < end) {
        char32_t c = *from++;
        if (c < 0x80) {
            if (!needsEscape(uchar(c))) {
                *to++ = char(c);
                continue;
            }
            to = writeEscaped(to, uchar(c));
            continue;
        }
        if (c < 0x800) {
            *to++ = char(0xc0 | (c >> 6));
            *to++ = char(0x80 | (c & 0x3f));
            continue;
        }
        if (QChar::isHighSurrogate(c) && from < end && QChar::isLowSurrogate(*from)) {
            c = QChar::surrogateToUcs4(char16_t(c), *from++);
            *to++ = char(0xf0 | (c >> 18));
            *to++ = char(0x80 | ((c >> 12) & 0x3f));
        } else {
            if (QChar::isSurrogate(c))
                c = QChar::ReplacementCharacter; // a lone half of a pair names no character
            *to++ = char(0xe0 | (c >> 12));
        }
        *to++ = char(0x80 | ((c >> 6) & 0x3f));
        *to++ = char(0x80 | (c & 0x3f));
    }
    *to++ = '"';
    out.resize(to - out.constData());
}

void AppendJsonBytes(QByteArray &out, QByteArrayView bytes)
{
    const qsizetype start = out.size();
    out.resize(start + WorstBytesPerUnit * bytes.size() + 2);
    char *to = out.data() + start;
    *to++ = '"';
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const uchar c = data[i];
        if (c < 0x80) {
            to = needsEscape(c) ? writeEscaped(to, c) : (*to = char(c), to + 1);
            ++i;
            continue;
        }
        const qsizetype length = validSequenceLength(data + i, size - i);
        if (length > 0) {
            to = std::copy_n(bytes.data() + i, length, to);
            i += length;
            continue;
        }
        // A byte that begins no valid sequence stands alone; the next byte is looked at afresh,
        // as Python's decoder does.
        to = writeHex(std::copy_n("\\udc", 4, to), c);
        ++i;
    }
    *to++ = '"';
    out.resize(to - out.constData());
}

TJsonObject::TJsonObject(const char *type)
{
    m_text.reserve(256);
    m_text += "{\"v\":";
    m_text += QByteArray::number(JsonKeysVersion);
    m_text += ",\"type\":\"";
    m_text += type;
    m_text += '"';
}

void TJsonObject::key(const char *name)
{
    m_text += ",\"";
    m_text += name;
    m_text += "\":";
}

TJsonObject &TJsonObject::Text(const char *name, QStringView value)
{
    key(name);
    AppendJsonText(m_text, value);
    return *this;
}

TJsonObject &TJsonObject::DiskPath(const char *name, const QString &path)
{
    return DiskBytes(name, QFile::encodeName(path));
}

TJsonObject &TJsonObject::DiskBytes(const char *name, QByteArrayView bytes)
{
    key(name);
    AppendJsonBytes(m_text, bytes);
    return *this;
}

TJsonObject &TJsonObject::Number(const char *name, qint64 value)
{
    key(name);
    m_text += QByteArray::number(value);
    return *this;
}

TJsonObject &TJsonObject::Boolean(const char *name, bool value)
{
    key(name);
    m_text += value ? "true" : "false";
    return *this;
}

TJsonObject &TJsonObject::Date(const char *name, double dayCount)
{
    key(name);
    char text[IsoDateTextLength];
    const int length = WriteIsoDateText(dayCount, text);
    if (length == 0) {
        m_text += "null";
    } else {
        m_text += '"';
        m_text.append(text, length);
        m_text += '"';
    }
    return *this;
}

TJsonObject &TJsonObject::Null(const char *name)
{
    key(name);
    m_text += "null";
    return *this;
}

TJsonObject &TJsonObject::Record(const TFileDat &record, const QString &folderPath)
{
    Text("folder", folderPath).Text("name", record.FileName);
    if (record.Size < 0)
        Null("size");
    else
        Number("size", record.Size);
    // A record of a file that was not there carries no date (-1): no day before 1900 is one.
    if (record.DateTime > 0)
        Date("date", record.DateTime);
    else
        Null("date");
    Text("realpath", record.RealPath);
    if (record.Md5.isEmpty())
        Null("md5");
    else
        Text("md5", record.Md5.Text());
    return Text("comment", record.Comment);
}

const QByteArray &TJsonObject::Line()
{
    m_text += "}\n";
    return m_text;
}

bool WantsJson(const TArguments &arguments)
{
    return arguments.Has(QStringLiteral("--json"));
}
