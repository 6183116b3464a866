#include "CliIo.h"

#include <cerrno>

namespace {

constexpr qsizetype FlushSize = 1 << 16;

} // namespace

void TLineWriter::Line(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    switch (m_ends) {
    case leAsIs:
        m_buffer += bytes;
        m_buffer += '\n';
        break;
    case leEscaped:
        if (bytes.startsWith('\\') || bytes.contains('\n') || bytes.contains('\r')) {
            m_buffer += '\\';
            m_buffer += EscapedAsMd5sum(bytes);
        } else {
            m_buffer += bytes;
        }
        m_buffer += '\n';
        break;
    case leNul:
        m_buffer += bytes;
        m_buffer += '\0';
        break;
    }
    if (m_buffer.size() >= FlushSize)
        Finish();
}

void TLineWriter::Bytes(const QByteArray &bytes)
{
    m_buffer += bytes;
    if (m_buffer.size() >= FlushSize)
        Finish();
}

bool TLineWriter::Finish()
{
    if (!m_buffer.isEmpty()) {
        if (std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_stream) !=
            size_t(m_buffer.size()))
            m_failed = true;
        m_buffer.clear();
    }
    if (std::fflush(m_stream) != 0)
        m_failed = true;
    return !m_failed;
}

QByteArray EscapedAsMd5sum(QByteArrayView bytes)
{
    QByteArray escaped;
    escaped.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

TLineEnds NameLineEnds(const TArguments &arguments)
{
    return arguments.Has(QStringLiteral("-0")) || arguments.Has(QStringLiteral("--null")) ? leNul : leEscaped;
}

void ReportError(const TCliIo &io, const QString &subject, const QString &text)
{
    ReportError(io, subject + QStringLiteral(": ") + text);
}

void ReportError(const TCliIo &io, const QString &text)
{
    const QByteArray line = "dravik-cli: " + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), io.Err);
    std::fflush(io.Err);
}

int FinishOutput(TLineWriter &out, const TCliIo &io, int status)
{
    errno = 0;
    if (out.Finish())
        return status;
    ReportError(io, QStringLiteral("cannot write the output: ") + qt_error_string(errno ? errno : EIO));
    return esFailure;
}
