#include "CliJson.h"

#include "FileDat.h"
#include "support.h"

#include <QFile>

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

// Which ASCII bytes JSON escapes: the control characters, the quotation mark, the backslash.
constexpr bool needsEscape(uchar c)
{
    return c < 0x20 || c == '"' || c == '\\';
}

void appendEscaped(QByteArray &out, uchar c)
{
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    default:
        out += "\\u00";
        out += HexDigits[c >> 4];
        out += HexDigits[c & 0xf];
    }
}

// Appends bytes known to be valid UTF-8 (or plain ASCII), escaping only what JSON asks for.
void appendValidUtf8(QByteArray &out, QByteArrayView bytes)
{
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = uchar(bytes[i]);
        if (!needsEscape(c))
            continue;
        out.append(bytes.data() + plainFrom, i - plainFrom);
        appendEscaped(out, c);
        plainFrom = i + 1;
    }
    out.append(bytes.data() + plainFrom, bytes.size() - plainFrom);
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
    out += '"';
    // Qt writes well-formed UTF-8 (a lone surrogate is replaced).
    appendValidUtf8(out, text.toUtf8());
    out += '"';
}

void AppendJsonBytes(QByteArray &out, QByteArrayView bytes)
{
    out += '"';
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const uchar c = data[i];
        if (c < 0x80) {
            if (needsEscape(c))
                appendEscaped(out, c);
            else
                out += char(c);
            ++i;
            continue;
        }
        const qsizetype length = validSequenceLength(data + i, size - i);
        if (length > 0) {
            out.append(bytes.data() + i, length);
            i += length;
            continue;
        }
        // A byte that begins no valid sequence stands alone; the next byte is looked at afresh,
        // as Python's decoder does.
        out += "\\udc";
        out += HexDigits[c >> 4];
        out += HexDigits[c & 0xf];
        ++i;
    }
    out += '"';
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
