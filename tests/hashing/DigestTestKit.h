#pragma once

// Helpers of the hashing tests: files with known content and a gate that holds the worker.

#include "Catalog.h"
#include "MD5ThUnit.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>
#include <QThread>
#include <random>

// Writes size bytes that differ from block to block, so a block read twice or skipped changes
// the digest. Returns the full path.
inline QString WriteFile(const QDir &dir, const QString &name, qint64 size)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::mt19937 random(quint32(size) ^ quint32(qHash(name)));
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random());
    file.write(bytes);
    return path;
}

inline QString Md5Of(const QString &path, qint64 length = -1)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(
        QCryptographicHash::hash(length < 0 ? file.readAll() : file.read(length), QCryptographicHash::Md5)
            .toHex());
}

// Lets events run until done() holds, without the 50 ms steps of QTRY_VERIFY; false after 20 s.
template <typename Condition>
bool WaitUntil(Condition done)
{
    const QDeadlineTimer deadline(20'000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        QThread::usleep(100); // pacing only
    }
    return true;
}

// A step hook that keeps the worker at the given step until released or told to stop.
class TWorkerGate
{
public:
    void Release() { m_released.storeRelease(1); }
    bool Reached() const { return m_reached.loadAcquire() != 0; }
    void HoldAt(CMd5Thread &worker, TWorkerStep step, qint64 block = -1)
    {
        worker.SetStepHook([this, step, block](CMd5Thread &w, TWorkerStep now, qint64 at) {
            if (now != step || at != block)
                return;
            m_reached.storeRelease(1);
            // Polling only decides when to go on; no test outcome depends on how long it waits.
            while (!m_released.loadAcquire() && !w.isInterruptionRequested())
                QThread::msleep(1);
        });
    }

private:
    QAtomicInt m_reached;
    QAtomicInt m_released;
};
