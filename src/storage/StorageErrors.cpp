#include "StorageErrors.h"

#include "DiskFiles.h"

#include <QFileDevice>
#include <QIODevice>

namespace {

QString cut(const QString &text, qsizetype length)
{
    return text.size() <= length ? text : text.left(length) + QStringLiteral("...");
}

} // namespace

EStorageError::EStorageError(const QString &message)
    : std::runtime_error(cut(message, MaxMessageLength).toStdString())
{}

EStorageError::EStorageError(const QString &message, const QString &file)
    : std::runtime_error(cut(message, MaxMessageLength).toStdString()), m_file(file)
{}

QString ShortenedValue(const QString &value)
{
    constexpr qsizetype MaxQuotedLength = 80;
    return cut(value, MaxQuotedLength);
}

QString QuotedValue(const QString &value)
{
    return u'"' + ShortenedValue(value) + u'"';
}

QString StandardErrorText(const QString &text, const QString &file)
{
    QString shown = text;
    if (!shown.isEmpty() && shown.back() > u'.')
        shown += u'.';
    if (!file.isEmpty())
        shown += QStringLiteral("\r\n") + file;
    return shown;
}

QString DeviceName(const QIODevice &device)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(&device); file && !file->fileName().isEmpty())
        return QStringLiteral("\"%1\"").arg(file->fileName());
    return QStringLiteral("the device");
}

namespace {

QString reasonOf(const QIODevice &device)
{
    const QString reason = device.errorString();
    return reason.isEmpty() || reason == QLatin1String("Unknown error") ? QString()
                                                                        : QStringLiteral(": ") + reason;
}

} // namespace

void ThrowWriteError(const QIODevice &device)
{
    throw EFileError(QStringLiteral("Cannot write to %1%2").arg(DeviceName(device), reasonOf(device)));
}

void ThrowReadError(const QIODevice &device)
{
    throw EFileError(QStringLiteral("Cannot read from %1%2").arg(DeviceName(device), reasonOf(device)));
}

void WriteAll(QIODevice &device, const char *data, qint64 size)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(&device)) {
        if (const int refused = DiskFault(TDiskStep::Write, file->fileName()))
            throw EFileError(
                QStringLiteral("Cannot write to %1: %2").arg(DeviceName(device), SystemErrorText(refused)));
    }
    while (size > 0) {
        const qint64 written = device.write(data, size);
        if (written <= 0)
            ThrowWriteError(device);
        data += written;
        size -= written;
    }
}
