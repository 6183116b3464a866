#include "DigestFileReader.h"
#include "DigestTestKit.h"
#include "LaneDigester.h"

#include <cerrno>

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

QTEST_GUILESS_MAIN(TestLaneDigester)
#include "tst_lanedigester.moc"
