#include "StorageTestTools.h"
#include "ZStreams.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

using namespace StorageTest;

namespace {

QByteArray compressWithStream(const QByteArray &plain, int levelIndex, qint64 piece = 1000)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TZCompressionStream stream(buffer, levelIndex);
    for (qint64 at = 0; at < plain.size(); at += piece)
        stream.Write(plain.constData() + at, std::min(piece, plain.size() - at));
    stream.Finish();
    return buffer.data();
}

QByteArray readAll(TZDecompressionStream &stream, qint64 piece = 4096)
{
    QByteArray out;
    QByteArray chunk(piece, '\0');
    while (const qint64 got = stream.Read(chunk.data(), piece))
        out.append(chunk.constData(), got);
    return out;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(42);
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

QString zlibMessage(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EZLibError &error) {
        return error.Message();
    }
    return QStringLiteral("no error");
}

} // namespace

class TestZStreams : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("levelIndex");
        QTest::newRow("empty") << QByteArray() << 3;
        QTest::newRow("one byte") << QByteArray("x") << 3;
        // Several output buffers at level 0, where nothing shrinks.
        QTest::newRow("stored, beyond one buffer") << randomBytes(200000) << 0;
        QTest::newRow("fastest") << SampleText(20000) << 1;
        QTest::newRow("default") << SampleText(20000) << 2;
        QTest::newRow("maximum") << SampleText(20000) << 3;
        QTest::newRow("unknown index counts as default") << SampleText(100) << 7;
    }
    void roundTrip()
    {
        QFETCH(QByteArray, plain);
        QFETCH(int, levelIndex);
        const QByteArray packed = compressWithStream(plain, levelIndex);
        QBuffer source(const_cast<QByteArray *>(&packed));
        source.open(QIODevice::ReadOnly);
        TZDecompressionStream stream(source);
        QCOMPARE(readAll(stream, 3001), plain);
        QCOMPARE(stream.Seek(0, soCurrent), plain.size());
    }

    void levelIndexMapsToZlibLevels()
    {
        QCOMPARE(TZCompressionStream::ZLibLevel(0), 0);
        QCOMPARE(TZCompressionStream::ZLibLevel(1), 1);
        QCOMPARE(TZCompressionStream::ZLibLevel(2), -1);
        QCOMPARE(TZCompressionStream::ZLibLevel(3), 9);
        QCOMPARE(TZCompressionStream::ZLibLevel(-1), -1);
        QCOMPARE(TZCompressionStream::ZLibLevel(4), -1);
    }

    void maximumLevelWritesTheZlibHeaderAndAdler32()
    {
        const QByteArray plain = SampleText(500);
        const QByteArray packed = compressWithStream(plain, 3);
        QCOMPARE(quint8(packed[0]), quint8(0x78));
        QCOMPARE(quint8(packed[1]), quint8(0xDA));
        const quint32 adler = Adler32(plain);
        const char bigEndian[] = {char(adler >> 24), char(adler >> 16), char(adler >> 8), char(adler)};
        QCOMPARE(packed.right(4), QByteArray(bigEndian, 4));
        // Same bytes as zlib's own one-shot compression with these settings.
        QCOMPARE(packed, ZlibCompress(plain, 9));
    }

    void compressingStreamWritesAfterItsStartInASharedDevice()
    {
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        buffer.write("HEAD");
        const QByteArray plain = SampleText(30000);
        {
            TZCompressionStream stream(buffer, 3);
            stream.Write(plain.constData(), plain.size() / 2);
            buffer.seek(1); // someone else moves the device meanwhile
            stream.Write(plain.constData() + plain.size() / 2, plain.size() - plain.size() / 2);
            QCOMPARE(stream.Seek(0, soCurrent), plain.size());
            buffer.seek(2);
            stream.Finish();
        }
        QCOMPARE(buffer.data().left(4), QByteArray("HEAD"));
        buffer.seek(4);
        TZDecompressionStream plainStream(buffer);
        QCOMPARE(readAll(plainStream), plain);
    }

    void wrongDirectionAndMovesAreInvalid()
    {
        const QString invalid = QStringLiteral("Invalid ZStream operation!");
        QBuffer target;
        target.open(QIODevice::ReadWrite);
        TZCompressionStream compressing(target, 3);
        char byte = 0;
        QCOMPARE(zlibMessage([&] { compressing.Read(&byte, 1); }), invalid);
        QCOMPARE(zlibMessage([&] { compressing.Seek(1, soCurrent); }), invalid);
        QCOMPARE(zlibMessage([&] { compressing.Seek(0, soBeginning); }), invalid);
        QCOMPARE(zlibMessage([&] { compressing.Seek(0, soEnd); }), invalid);
        compressing.Finish();
        QCOMPARE(zlibMessage([&] { compressing.Write("x", 1); }), invalid);

        QBuffer source;
        source.setData(ZlibCompress("abc"));
        source.open(QIODevice::ReadOnly);
        TZDecompressionStream decompressing(source);
        QCOMPARE(zlibMessage([&] { decompressing.Write("x", 1); }), invalid);
        try {
            decompressing.Write("x", 1);
            QFAIL("writing a decompressing stream was accepted");
        } catch (const EZDecompressionError &) {
        }
    }

    void decompressingSeekRules_data()
    {
        QTest::addColumn<qint64>("readFirst");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("origin");
        QTest::addColumn<qint64>("position"); // -1: the move is refused
        QTest::newRow("back to 0 restarts") << qint64(5000) << qint64(0) << int(soBeginning) << qint64(0);
        QTest::newRow("forward from current") << qint64(100) << qint64(250) << int(soCurrent) << qint64(350);
        QTest::newRow("zero from current") << qint64(100) << qint64(0) << int(soCurrent) << qint64(100);
        QTest::newRow("forward from beginning")
            << qint64(100) << qint64(70000) << int(soBeginning) << qint64(70000);
        QTest::newRow("to the end") << qint64(10) << qint64(0) << int(soEnd) << qint64(-2);
        QTest::newRow("backward from current") << qint64(100) << qint64(-1) << int(soCurrent) << qint64(-1);
        QTest::newRow("backward from beginning")
            << qint64(100) << qint64(50) << int(soBeginning) << qint64(-1);
        QTest::newRow("current position from beginning")
            << qint64(100) << qint64(100) << int(soBeginning) << qint64(-1);
        QTest::newRow("before the end") << qint64(0) << qint64(-10) << int(soEnd) << qint64(-1);
    }
    void decompressingSeekRules()
    {
        QFETCH(qint64, readFirst);
        QFETCH(qint64, offset);
        QFETCH(int, origin);
        QFETCH(qint64, position);
        const QByteArray plain = SampleText(20000);
        QBuffer source;
        source.setData(ZlibCompress(plain));
        source.open(QIODevice::ReadOnly);
        TZDecompressionStream stream(source);
        QByteArray head(readFirst, '\0');
        QCOMPARE(stream.Read(head.data(), readFirst), readFirst);

        if (position == -1) {
            QCOMPARE(zlibMessage([&] { stream.Seek(offset, TSeekOrigin(origin)); }),
                     QStringLiteral("Invalid ZStream operation!"));
            return;
        }
        const qint64 expected = position == -2 ? plain.size() : position;
        QCOMPARE(stream.Seek(offset, TSeekOrigin(origin)), expected);
        // Reading on continues exactly at the new position.
        QByteArray next(10, '\0');
        const qint64 got = stream.Read(next.data(), 10);
        QCOMPARE(next.left(got), plain.mid(expected, 10));
    }

    void seekingPastTheEndIsAReadError()
    {
        QBuffer source;
        source.setData(ZlibCompress("short"));
        source.open(QIODevice::ReadOnly);
        TZDecompressionStream stream(source);
        QVERIFY_THROWS_EXCEPTION(EFileError, stream.Seek(100, soCurrent));
    }

    void restartGoesBackToWhereTheStreamBegan()
    {
        // The zlib stream does not start at the device's first byte.
        const QByteArray plain = SampleText(3000);
        QBuffer source;
        source.setData("PREFIX" + ZlibCompress(plain));
        source.open(QIODevice::ReadOnly);
        source.seek(6);
        TZDecompressionStream stream(source);
        QCOMPARE(readAll(stream), plain);
        QCOMPARE(stream.Seek(0, soBeginning), 0);
        QCOMPARE(readAll(stream), plain);
    }

    void bytesAfterTheStreamStayUnread()
    {
        const QByteArray packed = ZlibCompress(SampleText(100));
        QBuffer source;
        source.setData(packed + "TRAILER");
        source.open(QIODevice::ReadOnly);
        TZDecompressionStream stream(source);
        QCOMPARE(readAll(stream), SampleText(100));
        QCOMPARE(source.pos(), packed.size());
        QCOMPARE(source.readAll(), QByteArray("TRAILER"));
    }

    void truncatedStreamEndsQuietly()
    {
        const QByteArray plain = SampleText(20000);
        QBuffer source;
        source.setData(ZlibCompress(plain).left(5000));
        source.open(QIODevice::ReadOnly);
        TZDecompressionStream stream(source);
        const QByteArray got = readAll(stream);
        QVERIFY(got.size() > 0);
        QVERIFY(got.size() < plain.size());
        QVERIFY(plain.startsWith(got));
    }

    void foreignAndDamagedData_data()
    {
        QTest::addColumn<QByteArray>("packed");
        QTest::addColumn<QString>("message");
        const QByteArray plain = SampleText(200);
        QTest::newRow("gzip") << ZlibCompress(plain, 9, 31) << "data error";
        QTest::newRow("raw deflate") << ZlibCompress(plain, 9, -15) << "data error";
        QTest::newRow("plain text") << plain << "data error";
        QByteArray badChecksum = ZlibCompress(plain);
        badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 1);
        QTest::newRow("wrong checksum") << badChecksum << "data error";
        QTest::newRow("preset dictionary")
            << ZlibCompress(plain, 9, 15, "line of the sample") << "need dictionary";
    }
    void foreignAndDamagedData()
    {
        QFETCH(QByteArray, packed);
        QFETCH(QString, message);
        QBuffer source(&packed);
        source.open(QIODevice::ReadOnly);
        TZDecompressionStream stream(source);
        QCOMPARE(zlibMessage([&] { readAll(stream); }), message);
    }

    void smallerWindowsAndOtherLevelsDecompress_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("windowBits");
        QTest::newRow("level 1") << 1 << 15;
        QTest::newRow("level 0") << 0 << 15;
        QTest::newRow("512-byte window") << 9 << 9;
    }
    void smallerWindowsAndOtherLevelsDecompress()
    {
        QFETCH(int, level);
        QFETCH(int, windowBits);
        const QByteArray plain = SampleText(5000);
        QBuffer source;
        source.setData(ZlibCompress(plain, level, windowBits));
        source.open(QIODevice::ReadOnly);
        TZDecompressionStream stream(source);
        QCOMPARE(readAll(stream), plain);
    }

    void refusedWriteIsAFileError()
    {
        TFailingDevice device(100);
        const QByteArray plain = randomBytes(200000);
        QVERIFY_THROWS_EXCEPTION(EFileError, {
            TZCompressionStream stream(device, 0);
            stream.Write(plain.constData(), plain.size());
            stream.Finish();
        });
    }

    void progressFiresPerBuffer()
    {
        QBuffer target;
        target.open(QIODevice::ReadWrite);
        TZCompressionStream stream(target, 0);
        int calls = 0;
        stream.SetOnProgress([&](TCustomZStream &) { ++calls; });
        const QByteArray plain = randomBytes(3 * ZBufferSize + 10);
        stream.Write(plain.constData(), plain.size());
        QCOMPARE(calls, 3);
        stream.Finish();
    }

    void errorTexts()
    {
        QCOMPARE(ZErrorText(Z_NEED_DICT), QStringLiteral("need dictionary"));
        QCOMPARE(ZErrorText(Z_STREAM_END), QStringLiteral("stream end"));
        QCOMPARE(ZErrorText(Z_OK), QString());
        QCOMPARE(ZErrorText(Z_ERRNO), QStringLiteral("file error"));
        QCOMPARE(ZErrorText(Z_STREAM_ERROR), QStringLiteral("stream error"));
        QCOMPARE(ZErrorText(Z_DATA_ERROR), QStringLiteral("data error"));
        QCOMPARE(ZErrorText(Z_MEM_ERROR), QStringLiteral("insufficient memory"));
        QCOMPARE(ZErrorText(Z_BUF_ERROR), QStringLiteral("buffer error"));
        QCOMPARE(ZErrorText(Z_VERSION_ERROR), QStringLiteral("incompatible version"));
    }
};

QTEST_GUILESS_MAIN(TestZStreams)
#include "tst_zstreams.moc"
