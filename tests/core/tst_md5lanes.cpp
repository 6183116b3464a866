#include "Md5Engine.h"
#include "Md5Lanes.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <vector>

Q_DECLARE_METATYPE(TMd5Level)

namespace {

QByteArray RandomBytes(QRandomGenerator &random, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.generate());
    return bytes;
}

QByteArray SingleStreamHex(const QByteArray &message)
{
    TMd5Context context;
    Md5Init(context);
    Md5Update(context, message.constData(), std::size_t(message.size()));
    std::uint8_t digest[16];
    Md5Final(context, digest);
    return QByteArray(reinterpret_cast<const char *>(digest), 16).toHex();
}

// Drives the lanes as a batch digester does: every lane takes the next message as soon as it has
// finished one, and each message is fed in pieces of 1 to maxPiece bytes (so pieces end anywhere
// in a block). dropAfter: the message that is dropped after its first piece, or -1.
std::vector<QByteArray> LaneHex(TMd5Level level, const std::vector<QByteArray> &messages,
                                std::size_t maxPiece, int dropAfter = -1)
{
    TMd5Lanes lanes(level);
    QRandomGenerator random(7);
    std::vector<QByteArray> digests(messages.size());
    std::vector<std::size_t> message(std::size_t(lanes.LaneCount())), offset(message.size());
    std::size_t nextMessage = 0;

    const auto feed = [&](int lane) {
        const QByteArray &bytes = messages[message[lane]];
        const std::size_t left = std::size_t(bytes.size()) - offset[lane];
        const std::size_t piece = std::min<std::size_t>(left, 1 + random.bounded(quint32(maxPiece)));
        const char *from = bytes.constData() + offset[lane];
        offset[lane] += piece;
        if (offset[lane] == std::size_t(bytes.size()))
            lanes.FeedLast(lane, from, piece);
        else
            lanes.Feed(lane, from, piece);
    };
    const auto beginNext = [&](int lane) {
        if (nextMessage == messages.size())
            return;
        message[lane] = nextMessage++;
        offset[lane] = 0;
        lanes.Begin(lane);
        feed(lane);
    };

    for (int lane = 0; lane < lanes.LaneCount(); ++lane)
        beginNext(lane);
    while (const std::uint32_t waiting = lanes.Run()) {
        for (int lane = 0; lane < lanes.LaneCount(); ++lane) {
            if ((waiting >> lane & 1) == 0)
                continue;
            if (lanes.State(lane) == TMd5Lanes::TLaneState::Finished) {
                std::uint8_t digest[16];
                lanes.TakeDigest(lane, digest);
                digests[message[lane]] = QByteArray(reinterpret_cast<const char *>(digest), 16).toHex();
                beginNext(lane);
            } else if (int(message[lane]) == dropAfter) {
                lanes.Drop(lane);
                beginNext(lane);
            } else {
                feed(lane);
            }
        }
    }
    return digests;
}

std::vector<QByteArray> SingleStreamHex(const std::vector<QByteArray> &messages)
{
    std::vector<QByteArray> digests;
    for (const QByteArray &message : messages)
        digests.push_back(SingleStreamHex(message));
    return digests;
}

} // namespace

class TestMd5Lanes : public QObject
{
    Q_OBJECT

private slots:
    void levelsOfThisProcessor_data();
    void everyLengthUpTo300InOneBatch_data() { levelsOfThisProcessor_data(); }
    void everyLengthUpTo300InOneBatch();
    void longAndShortMessagesMixed_data() { levelsOfThisProcessor_data(); }
    void longAndShortMessagesMixed();
    void batchOfOneMessage_data() { levelsOfThisProcessor_data(); }
    void batchOfOneMessage();
    void droppedLaneLeavesTheOthersRight_data() { levelsOfThisProcessor_data(); }
    void droppedLaneLeavesTheOthersRight();
    void handedOverMessageEndsInSingleStream_data() { levelsOfThisProcessor_data(); }
    void handedOverMessageEndsInSingleStream();
    void levelNamesAndProcessorChecks();
    void variableForcesLevel();
};

void TestMd5Lanes::levelsOfThisProcessor_data()
{
    QTest::addColumn<TMd5Level>("level");
    for (TMd5Level level : Md5SupportedLevels())
        QTest::newRow(Md5LevelName(level)) << level;
}

void TestMd5Lanes::everyLengthUpTo300InOneBatch()
{
    // Around each multiple of 64 the padding takes one block or two, and the message's last
    // bytes come from a piece or from the bytes a lane kept of the piece before.
    QFETCH(TMd5Level, level);
    QRandomGenerator random(300);
    std::vector<QByteArray> messages;
    for (int length = 0; length <= 300; ++length)
        messages.push_back(RandomBytes(random, length));
    for (std::size_t maxPiece : {1, 63, 64, 65, 300}) {
        QCOMPARE(LaneHex(level, messages, maxPiece), SingleStreamHex(messages));
    }
}

void TestMd5Lanes::longAndShortMessagesMixed()
{
    // Lanes end at very different times, so each lane takes new messages while the others are in
    // the middle of theirs, and the blocks digested at once vary from one to thousands.
    QFETCH(TMd5Level, level);
    QRandomGenerator random(1 << 20);
    std::vector<QByteArray> messages;
    for (int i = 0; i < 60; ++i) {
        const bool large = i % 3 == 0;
        messages.push_back(RandomBytes(random, random.bounded(large ? 1 << 20 : 5000)));
    }
    QCOMPARE(LaneHex(level, messages, 31744), SingleStreamHex(messages));
    QCOMPARE(LaneHex(level, messages, 100000), SingleStreamHex(messages));
}

void TestMd5Lanes::batchOfOneMessage()
{
    // All other lanes idle: they must not disturb the one lane that works.
    QFETCH(TMd5Level, level);
    QRandomGenerator random(1);
    const std::vector<QByteArray> messages{RandomBytes(random, 100003)};
    QCOMPARE(LaneHex(level, messages, 31744), SingleStreamHex(messages));
}

void TestMd5Lanes::droppedLaneLeavesTheOthersRight()
{
    // Message 3 is given up after its first piece (its file could not be read further); its lane
    // takes the next message and every other digest stays right.
    QFETCH(TMd5Level, level);
    QRandomGenerator random(3);
    std::vector<QByteArray> messages;
    for (int i = 0; i < 40; ++i)
        messages.push_back(RandomBytes(random, 20000 + 97 * i));
    std::vector<QByteArray> expected = SingleStreamHex(messages);
    expected[3].clear();
    QCOMPARE(LaneHex(level, messages, 4000, 3), expected);
}

void TestMd5Lanes::handedOverMessageEndsInSingleStream()
{
    // 1000 bytes leave 40 bytes of a block kept in the lane: the context must take them, the bit
    // count and the state the lane reached beside the others.
    QFETCH(TMd5Level, level);
    QRandomGenerator random(11);
    const QByteArray message = RandomBytes(random, 5000);
    TMd5Lanes lanes(level);
    for (int lane = 0; lane < lanes.LaneCount(); ++lane) {
        lanes.Begin(lane);
        lanes.Feed(lane, message.constData() + lane, 1000);
    }
    QCOMPARE(lanes.Run(), (1u << lanes.LaneCount()) - 1);
    TMd5Context context;
    lanes.HandOver(0, context);
    QCOMPARE(lanes.State(0), TMd5Lanes::TLaneState::Idle);
    Md5Update(context, message.constData() + 1000, std::size_t(message.size() - 1000));
    std::uint8_t digest[16];
    Md5Final(context, digest);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest), 16).toHex(), SingleStreamHex(message));
}

void TestMd5Lanes::levelNamesAndProcessorChecks()
{
    const TCpuVectors plain;
    const TCpuVectors avx2Only{true, false};
    QCOMPARE(Md5BestLevel(plain), TMd5Level::Single);
    QCOMPARE(Md5BestLevel(avx2Only), TMd5Level::Avx2);
    QCOMPARE(Md5LevelChosen("", avx2Only).Level, TMd5Level::Avx2);
    QCOMPARE(Md5LevelChosen("single", avx2Only).Level, TMd5Level::Single);
    QCOMPARE(QString::fromStdString(Md5LevelChosen("avx512", avx2Only).Error),
             QStringLiteral("this processor cannot digest with avx512"));
    QCOMPARE(QString::fromStdString(Md5LevelChosen("AVX2", avx2Only).Error),
             QStringLiteral("unknown MD5 level \"AVX2\" (single, avx2 or avx512)"));
    for (TMd5Level level : Md5SupportedLevels())
        QCOMPARE(Md5LevelNamed(Md5LevelName(level)), level);
}

void TestMd5Lanes::variableForcesLevel()
{
    qputenv(Md5LevelVariable, "single");
    QCOMPARE(Md5LevelFromEnvironment().Level, TMd5Level::Single);
    qputenv(Md5LevelVariable, "fast");
    QCOMPARE(QString::fromStdString(Md5LevelFromEnvironment().Error),
             QStringLiteral("DRAVIK_MD5_LEVEL: unknown MD5 level \"fast\" (single, avx2 or avx512)"));
    qunsetenv(Md5LevelVariable);
    QCOMPARE(Md5LevelFromEnvironment().Level, Md5BestLevel());
    QVERIFY(Md5LevelFromEnvironment().Ok());
}

QTEST_GUILESS_MAIN(TestMd5Lanes)
#include "tst_md5lanes.moc"
