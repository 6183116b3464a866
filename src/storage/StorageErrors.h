#pragma once

// Errors of the storage layer. Every one carries the text that the application's standard
// error box shows; nothing here is caught inside the layer except to clean up and rethrow.
//
//   EStorageError          base of all of them (what() is the message in UTF-8)
//     EZLibError           zlib failures and wrong use of a zlib stream (ZStreams.h)
//     EFileError           a file or device that cannot be opened, read, written, moved or removed
//     ECatalogError        a catalog document that cannot be read: XML errors, counts that
//                          disagree with the content, numbers that are not decimal integers

#include <QString>
#include <stdexcept>

class EStorageError : public std::runtime_error
{
public:
    // A message longer than MaxMessageLength characters is cut there, with "..." at its end: a
    // box of megabytes takes seconds to appear and shows nothing anybody reads.
    static constexpr qsizetype MaxMessageLength = 1000;

    explicit EStorageError(const QString &message);
    // The error of a command on a file the user chose, which the box names.
    EStorageError(const QString &message, const QString &file);
    QString Message() const { return QString::fromUtf8(what()); }
    // The file the error concerns, when the command knows which; otherwise empty.
    QString File() const { return m_file; }

private:
    QString m_file;
};

class EFileError : public EStorageError
{
public:
    using EStorageError::EStorageError;
};

class ECatalogError : public EStorageError
{
public:
    using EStorageError::EStorageError;
};

class QIODevice;

// A value read from a file, as a message quotes it: cut after 80 characters with "..." added,
// and in quotation marks.
QString ShortenedValue(const QString &value);
QString QuotedValue(const QString &value);

// The text the application's standard error box shows for an error text: "." appended when the
// last character sorts after it ("data error" is shown as "data error."), then, for an error that
// concerns a file, a line break and the file's path.
QString StandardErrorText(const QString &text, const QString &file = QString());

// How messages name a device: the file name of a file, otherwise a generic word.
QString DeviceName(const QIODevice &device);
// "Cannot write to <name>: <reason>" and its reading twin, for a device that refused.
[[noreturn]] void ThrowWriteError(const QIODevice &device);
[[noreturn]] void ThrowReadError(const QIODevice &device);
// Writes all bytes, taking short writes in several rounds; throws as ThrowWriteError when the
// device stops taking them.
void WriteAll(QIODevice &device, const char *data, qint64 size);
