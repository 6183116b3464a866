#pragma once

// Files on disk for the tests: contents that tell blocks apart, and their digests as md5sum
// writes them.

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QString>

// Bytes that change from block to block, so a block read twice or skipped changes the digest.
inline QByteArray NoiseBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.generate());
    return bytes;
}

// Writes the file (and the folders above it); its path, or empty when it could not be written.
inline QString WriteTestFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

inline QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QString Md5Hex(const QByteArray &content)
{
    return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex());
}

// The digest of the file's first `length` bytes (all of them when negative); empty when unreadable.
inline QString Md5OfFile(const QString &path, qint64 length = -1)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Md5Hex(length < 0 ? file.readAll() : file.read(length));
}
