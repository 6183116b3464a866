#include "CompressFiles.h"
#include "StorageTestTools.h"
#include "TempFiles.h"
#include "ZStreams.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace StorageTest;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// Draws the same numbers every time, so the names it gives are known in advance.
TRandomDraw fixedDraw(quint32 seed)
{
    auto state = std::make_shared<quint32>(seed);
    return [state](int bound) {
        *state = *state * 1103515245u + 12345u;
        return int((*state >> 16) % quint32(bound));
    };
}

} // namespace

class TestCompressFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("many pieces") << SampleText(40000);
    }
    void roundTrip()
    {
        QFETCH(QByteArray, plain);
        writeFile(path("plain.xml"), plain);
        writeFile(path("packed.dat"), "an older, longer content that must be replaced entirely");
        CompressFile(path("plain.xml"), path("packed.dat"), 3);
        const QByteArray packed = contentOf(path("packed.dat"));
        QCOMPARE(packed.left(2), QByteArray("\x78\xDA"));
        DecompressFile(path("packed.dat"), path("back.xml"));
        QCOMPARE(contentOf(path("back.xml")), plain);
    }

    void missingSourceDoesNothing()
    {
        writeFile(path("target"), "untouched");
        CompressFile(path("no-such-file"), path("target"), 3);
        DecompressFile(path("no-such-file"), path("target"));
        QCOMPARE(contentOf(path("target")), QByteArray("untouched"));
    }

    void foreignFilesAndTrailingBytes()
    {
        const QByteArray plain = SampleText(300);
        writeFile(path("trailing.dat"), ZlibCompress(plain) + "garbage after the stream");
        DecompressFile(path("trailing.dat"), path("out"));
        QCOMPARE(contentOf(path("out")), plain);

        writeFile(path("gzip.dat"), ZlibCompress(plain, 9, 31));
        try {
            DecompressFile(path("gzip.dat"), path("out"));
            QFAIL("a gzip file was accepted");
        } catch (const EZDecompressionError &error) {
            QCOMPARE(error.Message(), QStringLiteral("data error"));
        }
    }

    void targetThatCannotBeCreatedIsAFileError()
    {
        writeFile(path("plain.xml"), "x");
        QVERIFY_THROWS_EXCEPTION(EFileError,
                                 CompressFile(path("plain.xml"), path("no-such-folder/packed.dat"), 3));
    }

    void tempFolderEndsInASeparator()
    {
        QVERIFY(TempFolder().endsWith(QDir::separator()));
        QCOMPARE(QDir(TempFolder()).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
    }

    void tempNamesHaveEightCharactersOfTheSet()
    {
        const QString name = NewTempFileName();
        QVERIFY(name.startsWith(TempFolder()));
        QVERIFY(QRegularExpression(QStringLiteral("^[a-z0-9]{8}\\.dat$"))
                    .match(name.mid(TempFolder().size()))
                    .hasMatch());
        QVERIFY(!QFile::exists(name)); // drawn, not created
        QCOMPARE(RandomName(0), QString());
    }

    void newTempFileNameSkipsANameThatExists()
    {
        const QString folder = m_dir.path() + u'/';
        const QString first = NewTempFileName(folder, fixedDraw(7));
        QCOMPARE(NewTempFileName(folder, fixedDraw(7)), first); // the draw repeats
        writeFile(first, "taken");
        const QString second = NewTempFileName(folder, fixedDraw(7));
        QVERIFY(second != first);
        QVERIFY(!QFile::exists(second));
        // A folder under the name counts as taken as well.
        QDir().mkdir(second);
        const QString third = NewTempFileName(folder, fixedDraw(7));
        QVERIFY(third != first && third != second);
    }
};

QTEST_GUILESS_MAIN(TestCompressFiles)
#include "tst_compressfiles.moc"
