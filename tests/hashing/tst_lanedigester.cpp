#include "DigestFileReader.h"
#include "DigestTestKit.h"
#include "LaneDigester.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(TMd5Level)

namespace {

QString Hex(const TLaneDigest &result)
{
    return result.Read ? QString::fromLatin1(
                             QByteArray(reinterpret_cast<const char *>(result.Md5.data()), 16).toHex())
                       : QString();
}

// A small lane limit, so that the test's larger files take the single-stream engine.
TLaneSettings SmallLimit()
{
    TLaneSettings settings;
    settings.LaneLimit = 200000;
    return settings;
}

} // namespace

class TestLaneDigester : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void levelsOfThisProcessor_data();
    void batchOfFilesOfEverySize_data() { levelsOfThisProcessor_data(); }
    void batchOfFilesOfEverySize();
    void batchOfOneFile_data() { levelsOfThisProcessor_data(); }
    void batchOfOneFile();
    void fileFailingInTheMiddleGetsNoDigest_data() { levelsOfThisProcessor_data(); }
    void fileFailingInTheMiddleGetsNoDigest();
    void filesChangedWhileReadGetNoDigest_data() { levelsOfThisProcessor_data(); }
    void filesChangedWhileReadGetNoDigest();
    void pathReplacedByAFifoBeforeTheOpenDoesNotBlock_data() { levelsOfThisProcessor_data(); }
    void pathReplacedByAFifoBeforeTheOpenDoesNotBlock();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLaneDigester::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestLaneDigester::levelsOfThisProcessor_data()
{
    QTest::addColumn<TMd5Level>("level");
    for (TMd5Level level : Md5SupportedLevels())
        QTest::newRow(Md5LevelName(level)) << level;
}

void TestLaneDigester::batchOfFilesOfEverySize()
{
    // More files than lanes, around the block size of the reads, above the lane limit, and files
    // that cannot be opened in between: each result stays with its own path.
    QFETCH(TMd5Level, level);
    const QDir dir(m_dir->path());
    std::vector<QString> paths;
    for (qint64 size : {0, 1, 55, 56, 64, 65535, 65536, 65537, 131073, 150001, 200001, 700000})
        paths.push_back(WriteFile(dir, QStringLiteral("f%1").arg(size), size));
    paths.push_back(dir.filePath(QStringLiteral("gone")));
    QVERIFY(dir.mkdir(QStringLiteral("folder")));
    paths.push_back(dir.filePath(QStringLiteral("folder")));
    for (int i = 0; i < 20; ++i)
        paths.push_back(WriteFile(dir, QStringLiteral("g%1").arg(i), 1000 * i + 7));

    const std::vector<TLaneDigest> results = TLaneDigester(level, SmallLimit()).Digest(paths);
    QCOMPARE(results.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (paths[i].endsWith(QLatin1String("gone"))) {
            QCOMPARE(results[i].ReadError, QStringLiteral("No such file or directory"));
            QVERIFY(!results[i].Read);
        } else if (paths[i].endsWith(QLatin1String("folder"))) {
            QCOMPARE(results[i].ReadError, QStringLiteral("Is a directory"));
            QVERIFY(!results[i].Read);
        } else {
            QCOMPARE(Hex(results[i]), Md5OfFile(paths[i]));
        }
    }
}

void TestLaneDigester::batchOfOneFile()
{
    QFETCH(TMd5Level, level);
    const QString path = WriteFile(QDir(m_dir->path()), QStringLiteral("one"), 100000);
    TLaneDigester digester(level);
    const std::vector<TLaneDigest> results = digester.Digest({path});
    QCOMPARE(results.size(), std::size_t(1));
    QCOMPARE(Hex(results[0]), Md5OfFile(path));
    // The same digester again: a lane that finished is ready for the next batch.
    QCOMPARE(Hex(digester.Digest({path})[0]), Md5OfFile(path));
}

void TestLaneDigester::fileFailingInTheMiddleGetsNoDigest()
{
    // File 2 (in a lane) and file 5 (above the lane limit, digested alone) fail at their second
    // block, while the other lanes are in the middle of theirs.
    QFETCH(TMd5Level, level);
    const QDir dir(m_dir->path());
    std::vector<QString> paths;
    for (int i = 0; i < 24; ++i)
        paths.push_back(WriteFile(dir, QStringLiteral("f%1").arg(i), i == 5 ? 300000 : 90000 + 1111 * i));

    TLaneDigester digester(level, SmallLimit());
    digester.SetReadHook([](std::size_t index, qint64 offset, TDigestFileReader &file) {
        if ((index == 2 || index == 5) && offset > 0)
            file.FailWith(EIO);
    });
    const std::vector<TLaneDigest> results = digester.Digest(paths);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (i == 2 || i == 5) {
            QVERIFY(!results[i].Read);
            QCOMPARE(results[i].ReadError, QStringLiteral("Input/output error"));
        } else {
            QCOMPARE(Hex(results[i]), Md5OfFile(paths[i]));
        }
    }
}

void TestLaneDigester::filesChangedWhileReadGetNoDigest()
{
    // After their first block: file 2 is truncated, file 4 appended to, file 6 keeps its size but
    // gets another modification time, and file 5 (digested alone) is truncated too. Each has
    // been read in part, so a digest would be of neither the old content nor the new.
    QFETCH(TMd5Level, level);
    const QDir dir(m_dir->path());
    std::vector<QString> paths;
    for (int i = 0; i < 24; ++i)
        paths.push_back(WriteFile(dir, QStringLiteral("f%1").arg(i), i == 5 ? 300000 : 90000 + 1111 * i));

    TLaneDigester digester(level, SmallLimit());
    digester.SetReadHook([&](std::size_t index, qint64 offset, TDigestFileReader &) {
        if (offset == 0)
            return;
        const QByteArray path = QFile::encodeName(paths[index]);
        if (index == 2 || index == 5) {
            QVERIFY(::truncate(path.constData(), offset / 2) == 0);
        } else if (index == 4) {
            QFile file(paths[index]);
            QVERIFY(file.open(QIODevice::Append) && file.write("more") == 4);
        } else if (index == 6) {
            const timespec anHourAgo[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
            QVERIFY(::utimensat(AT_FDCWD, path.constData(), anHourAgo, 0) == 0);
        }
    });
    const std::vector<TLaneDigest> results = digester.Digest(paths);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (i == 2 || i == 4 || i == 5 || i == 6) {
            QVERIFY2(!results[i].Read, qPrintable(paths[i]));
            QVERIFY(results[i].ChangedWhileRead);
            QCOMPARE(results[i].ReadError, QStringLiteral("changed while read"));
        } else {
            QCOMPARE(Hex(results[i]), Md5OfFile(paths[i]));
            QVERIFY(!results[i].ChangedWhileRead);
        }
    }
}

void TestLaneDigester::pathReplacedByAFifoBeforeTheOpenDoesNotBlock()
{
    // Opened without O_NONBLOCK, a FIFO with no writer would hold the digester for ever.
    QFETCH(TMd5Level, level);
    const QDir dir(m_dir->path());
    std::vector<QString> paths;
    for (int i = 0; i < 3; ++i)
        paths.push_back(WriteFile(dir, QStringLiteral("f%1").arg(i), 1000 * i + 10));

    TLaneDigester digester(level);
    digester.SetOpenHook([&](std::size_t index) {
        if (index != 1)
            return;
        const QByteArray path = QFile::encodeName(paths[index]);
        QVERIFY(::unlink(path.constData()) == 0 && ::mkfifo(path.constData(), 0600) == 0);
    });
    const std::vector<TLaneDigest> results = digester.Digest(paths);
    QVERIFY(!results[1].Read);
    QCOMPARE(results[1].ReadError, QStringLiteral("Not a regular file"));
    QCOMPARE(Hex(results[0]), Md5OfFile(paths[0]));
    QCOMPARE(Hex(results[2]), Md5OfFile(paths[2]));
}

QTEST_GUILESS_MAIN(TestLaneDigester)
#include "tst_lanedigester.moc"
