#include "Md5Engine.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTest>
#include <cstring>

namespace {

// Bytes without short repeats, so that a block taken from the wrong offset changes the digest.
QByteArray VariedBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(20240611);
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char(generator.generate());
    }
    return bytes;
}

// Feeds the message in pieces of pieceSize bytes (the last one shorter); 0 means one call.
QByteArray EngineHex(const QByteArray &message, qsizetype pieceSize = 0)
{
    TMd5Context context;
    Md5Init(context);
    if (pieceSize == 0) {
        Md5Update(context, message.constData(), std::size_t(message.size()));
    } else {
        for (qsizetype offset = 0; offset < message.size(); offset += pieceSize) {
            const qsizetype n = qMin(pieceSize, message.size() - offset);
            Md5Update(context, message.constData() + offset, std::size_t(n));
        }
    }
    std::uint8_t digest[16];
    Md5Final(context, digest);
    return QByteArray(reinterpret_cast<const char *>(digest), 16).toHex();
}

QByteArray ReferenceHex(const QByteArray &message)
{
    return QCryptographicHash::hash(message, QCryptographicHash::Md5).toHex();
}

bool AllZero(const TMd5Context &context)
{
    const TMd5Context zero{};
    return std::memcmp(&context, &zero, sizeof context) == 0;
}

} // namespace

class TestMd5Engine : public QObject
{
    Q_OBJECT

private slots:
    void rfcTestSuite_data();
    void rfcTestSuite();
    void agreesWithQtAroundBlockEnds_data();
    void agreesWithQtAroundBlockEnds();
    void smallPiecesEqualOneCall_data();
    void smallPiecesEqualOneCall();
    void callsBeyondScratchSize_data();
    void callsBeyondScratchSize();
    void bitCountCarriesIntoHighWord();
    void initResetsUsedContext();
    void zeroCountChangesNothing();
    void finalWipesContext();
};

void TestMd5Engine::rfcTestSuite_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("digest");

    QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
    QTest::newRow("a") << QByteArray("a") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
    QTest::newRow("message digest") << QByteArray("message digest")
                                    << QByteArray("f96b697d7cb7938d525a2f31aaf161d0");
    QTest::newRow("alphabet") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                              << QByteArray("c3fcd3d76192e4007dfb496cca67e13b");
    QTest::newRow("alphanumerics") << QByteArray(
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
                                   << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
    QTest::newRow("eight times 1234567890")
        << QByteArray("1234567890").repeated(8) << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
}

void TestMd5Engine::rfcTestSuite()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, digest);
    QCOMPARE(EngineHex(message), digest);
}

void TestMd5Engine::agreesWithQtAroundBlockEnds_data()
{
    // 55 is the longest message whose padding and bit count fit in its own block; from 56 on
    // the count needs a second block. 119/120 and 127-129 repeat that one block further on.
    QTest::addColumn<int>("length");
    for (int length : {1, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 129}) {
        QTest::addRow("%d bytes", length) << length;
    }
}

void TestMd5Engine::agreesWithQtAroundBlockEnds()
{
    QFETCH(int, length);
    const QByteArray message = VariedBytes(length);
    QCOMPARE(EngineHex(message), ReferenceHex(message));
}

void TestMd5Engine::smallPiecesEqualOneCall_data()
{
    // Every remainder of a 64-byte block is left over at some call, and pieces of more than
    // 64 bytes both complete a started block and bring whole ones.
    QTest::addColumn<int>("pieceSize");
    for (int pieceSize = 1; pieceSize <= 130; ++pieceSize) {
        QTest::addRow("pieces of %d", pieceSize) << pieceSize;
    }
}

void TestMd5Engine::smallPiecesEqualOneCall()
{
    QFETCH(int, pieceSize);
    const QByteArray message = VariedBytes(1237);
    const QByteArray whole = EngineHex(message);
    QCOMPARE(whole, ReferenceHex(message));
    QCOMPARE(EngineHex(message, pieceSize), whole);
}

void TestMd5Engine::callsBeyondScratchSize_data()
{
    // Calls longer than the 16,384-byte scratch buffer are split inside Md5Update; with an odd
    // first piece every split lands in the middle of a 64-byte block.
    QTest::addColumn<int>("pieceSize");
    QTest::newRow("one call") << 0;
    QTest::newRow("worker blocks of 31744") << 31744;
    QTest::newRow("pieces of 16383") << 16383;
    QTest::newRow("pieces of 16384") << 16384;
    QTest::newRow("pieces of 16385") << 16385;
    QTest::newRow("pieces of 40001") << 40001;
    QTest::newRow("pieces of 97") << 97;
}

void TestMd5Engine::callsBeyondScratchSize()
{
    QFETCH(int, pieceSize);
    const QByteArray message = VariedBytes(100000);
    QCOMPARE(EngineHex(message, pieceSize), ReferenceHex(message));

    // The same calls after a 3-byte head, so that the block buffer is never empty when one starts.
    TMd5Context context;
    Md5Init(context);
    Md5Update(context, message.constData(), 3);
    const QByteArray tail = message.mid(3);
    const qsizetype step = pieceSize == 0 ? tail.size() : pieceSize;
    for (qsizetype offset = 0; offset < tail.size(); offset += step) {
        Md5Update(context, tail.constData() + offset, std::size_t(qMin(step, tail.size() - offset)));
    }
    std::uint8_t digest[16];
    Md5Final(context, digest);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest), 16).toHex(), ReferenceHex(message));
}

void TestMd5Engine::bitCountCarriesIntoHighWord()
{
    // A file of 512 MiB or more takes the bit count past 2^32; start just below that instead
    // of feeding half a gigabyte.
    TMd5Context context;
    Md5Init(context);
    context.count[0] = 0xfffffe00;
    context.count[1] = 7;
    const QByteArray bytes = VariedBytes(100);
    Md5Update(context, bytes.constData(), std::size_t(bytes.size()));
    QCOMPARE(context.count[0], 0xfffffe00u + 800u);
    QCOMPARE(context.count[1], 8u);
    // The 100 bytes are one whole block and 36 bytes that wait in the buffer.
    QVERIFY(std::memcmp(context.buffer, bytes.constData() + 64, 36) == 0);
}

void TestMd5Engine::initResetsUsedContext()
{
    TMd5Context context;
    std::memset(&context, 0xa5, sizeof context);
    Md5Init(context);
    QCOMPARE(context.count[0], 0u);
    QCOMPARE(context.count[1], 0u);
    const std::uint8_t zeroBuffer[64] = {};
    QVERIFY(std::memcmp(context.buffer, zeroBuffer, sizeof zeroBuffer) == 0);

    Md5Update(context, "abc", 3);
    std::uint8_t digest[16];
    Md5Final(context, digest);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest), 16).toHex(),
             QByteArray("900150983cd24fb0d6963f7d28e17f72"));
}

void TestMd5Engine::zeroCountChangesNothing()
{
    const QByteArray message = VariedBytes(77);
    TMd5Context context;
    Md5Init(context);
    Md5Update(context, message.constData(), std::size_t(message.size()));
    const TMd5Context before = context;

    Md5Update(context, message.constData(), 0);
    Md5Update(context, nullptr, 0);
    QVERIFY(std::memcmp(&context, &before, sizeof context) == 0);

    std::uint8_t digest[16];
    Md5Final(context, digest);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest), 16).toHex(), ReferenceHex(message));
}

void TestMd5Engine::finalWipesContext()
{
    // 61 bytes leave a full buffer and take the two-block padding path; 1000 bytes the other.
    for (int length : {0, 61, 1000}) {
        const QByteArray message = VariedBytes(length);
        TMd5Context context;
        Md5Init(context);
        Md5Update(context, message.constData(), std::size_t(message.size()));
        std::uint8_t digest[16];
        Md5Final(context, digest);
        QVERIFY2(AllZero(context), qPrintable(QString("after %1 bytes").arg(length)));
    }
}

QTEST_GUILESS_MAIN(TestMd5Engine)
#include "tst_md5engine.moc"
