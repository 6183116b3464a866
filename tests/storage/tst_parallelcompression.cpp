// Documents compressed on several workers come back byte for byte through our own stream, through
// zlib's uncompress and through Python's zlib module, at every size around the block boundaries.

#include "CompressFiles.h"
#include "ParallelCompression.h"
#include "StorageTestTools.h"
#include "ZStreams.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace StorageTest;

namespace {

constexpr qint64 Block = TParallelCompressionStream::BlockSize;

// Catalog-like lines with random digests: compressible, but not trivially.
QByteArray document(qint64 size, quint32 seed = 7)
{
    QRandomGenerator random(seed);
    QByteArray text;
    text.reserve(size + 200);
    while (text.size() < size) {
        const quint64 digest[2] = {random.generate64(), random.generate64()};
        text += "    <File n=\"photo_" + QByteArray::number(random.bounded(100000)) + ".jpg\" s=\"" +
                QByteArray::number(random.bounded(1 << 30)) + "\" m=\"" +
                QByteArray(reinterpret_cast<const char *>(digest), sizeof digest).toHex() + "\"/>\r\n";
    }
    text.truncate(size);
    return text;
}

// Writes in pieces whose size does not divide the block, so writes straddle every boundary.
QByteArray compressed(const QByteArray &plain, int threads, qint64 piece = 40000)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    TParallelCompressionStream stream(out, threads);
    for (qint64 at = 0; at < plain.size(); at += piece)
        stream.Write(plain.constData() + at, std::min(piece, plain.size() - at));
    stream.Finish();
    return out.data();
}

QByteArray throughOurStream(QByteArray packed)
{
    QBuffer in(&packed);
    in.open(QIODevice::ReadOnly);
    TZDecompressionStream stream(in);
    QByteArray plain;
    char piece[61440];
    while (const qint64 got = stream.Read(piece, sizeof piece))
        plain.append(piece, got);
    return plain;
}

// zlib's one-call inflate: Z_OK only for a complete stream whose checksum matches.
QByteArray throughUncompress(const QByteArray &packed, qint64 plainSize)
{
    QByteArray plain(plainSize + 1, '\0'); // one spare byte: a longer result would not fit
    uLongf size = uLongf(plain.size());
    if (uncompress(reinterpret_cast<Bytef *>(plain.data()), &size,
                   reinterpret_cast<const Bytef *>(packed.constData()), uLong(packed.size())) != Z_OK)
        return "<uncompress failed>";
    plain.resize(qsizetype(size));
    return plain;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// Python's zlib inflates each compressed file in one pass to its end (no byte left over) and
// compares it with its plain twin; prints the names that differ, then "done".
QString pythonMismatches(const QStringList &pairs)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return QStringLiteral("<no python3>");
    const QString script =
        QStringLiteral("import sys, zlib\n"
                       "args = sys.argv[1:]\n"
                       "for packed, plain in zip(args[0::2], args[1::2]):\n"
                       "    d = zlib.decompressobj()\n"
                       "    out = d.decompress(open(packed, 'rb').read())\n"
                       "    if not d.eof or d.unused_data or out != open(plain, 'rb').read():\n"
                       "        print(packed)\n"
                       "print('done')\n");
    QProcess process;
    process.start(python, QStringList{QStringLiteral("-c"), script} + pairs);
    if (!process.waitForFinished(240000))
        return QStringLiteral("<python3 did not finish>");
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()).trimmed();
}

QList<qint64> boundarySizes()
{
    return {0,
            1,
            32767,
            32768,
            32769,
            61440,
            65535,
            65536,
            65537,
            Block - 1,
            Block,
            Block + 1,
            Block + 32767,
            Block + 32768,
            2 * Block - 1,
            2 * Block,
            2 * Block + 1,
            3 * Block + 12345};
}

} // namespace

class TestParallelCompression : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void everySizeComesBack_data()
    {
        QTest::addColumn<qint64>("size");
        for (const qint64 size : boundarySizes())
            QTest::addRow("%lld bytes", static_cast<long long>(size)) << size;
    }
    void everySizeComesBack()
    {
        QFETCH(qint64, size);
        const QByteArray plain = document(size);
        const QByteArray packed = compressed(plain, 3);
        QVERIFY(packed.startsWith("\x78\xDA"));
        QCOMPARE(packed.right(4).toHex(), QByteArray::number(Adler32(plain), 16).rightJustified(8, '0'));
        QCOMPARE(throughOurStream(packed), plain);
        QCOMPARE(throughUncompress(packed, size), plain);
        // Up to one block there is nothing to share out: the single stream of one core.
        QBuffer single;
        single.open(QIODevice::WriteOnly);
        TZCompressionStream stream(single, 3);
        stream.Write(plain.constData(), plain.size());
        stream.Finish();
        if (size <= Block)
            QCOMPARE(packed, single.data());
        else
            QVERIFY2(
                packed.size() <= single.data().size() * 1.01,
                qPrintable(QStringLiteral("%1 against %2").arg(packed.size()).arg(single.data().size())));
    }

    void pythonReadsEverySize()
    {
        QStringList pairs;
        for (const qint64 size : boundarySizes()) {
            const QByteArray plain = document(size, 11);
            const QString name = m_dir.filePath(QString::number(size));
            writeFile(name + QStringLiteral(".dat"), compressed(plain, 2, 65536));
            writeFile(name + QStringLiteral(".xml"), plain);
            pairs << name + QStringLiteral(".dat") << name + QStringLiteral(".xml");
        }
        const QString result = pythonMismatches(pairs);
        if (result == QStringLiteral("<no python3>"))
            QSKIP("python3 is not installed: Python's zlib cannot be asked");
        QCOMPARE(result, QStringLiteral("done"));
    }

    // About 200 MB through the catalog save's own entry point, on the machine's cores.
    void largeDocumentComesBackEveryWay()
    {
        const qint64 size = 200 * 1000 * 1000 + 4321;
        const QString plainPath = m_dir.filePath(QStringLiteral("large.xml"));
        const QString packedPath = m_dir.filePath(QStringLiteral("large.dat"));
        QByteArray plain = document(size, 3);
        writeFile(plainPath, plain);
        CompressFile(plainPath, packedPath, 3);
        QFile packedFile(packedPath);
        QVERIFY(packedFile.open(QIODevice::ReadOnly));
        const QByteArray packed = packedFile.readAll();
        QVERIFY(packed.startsWith("\x78\xDA"));
        QVERIFY(throughOurStream(packed) == plain);
        QVERIFY(throughUncompress(packed, size) == plain);
        plain.clear();
        const QString result = pythonMismatches({packedPath, plainPath});
        if (result == QStringLiteral("<no python3>"))
            QSKIP("python3 is not installed: Python's zlib cannot be asked");
        QCOMPARE(result, QStringLiteral("done"));
    }

    void oneWorkerWritesTheSingleStream()
    {
        const QByteArray plain = document(2 * Block + 99);
        QBuffer single;
        single.open(QIODevice::WriteOnly);
        TZCompressionStream stream(single, 3);
        stream.Write(plain.constData(), plain.size());
        stream.Finish();
        QCOMPARE(compressed(plain, 1), single.data());
    }

    void refusedWriteIsAFileErrorAndNothingHangs()
    {
        const QByteArray plain = document(6 * Block);
        for (const qint64 room : {qint64(0), qint64(1), qint64(300000)}) {
            TFailingDevice device(room);
            QVERIFY_THROWS_EXCEPTION(EFileError, {
                TParallelCompressionStream stream(device, 2);
                stream.Write(plain.constData(), plain.size());
                stream.Finish();
            });
        }
    }

    void nothingIsTakenAfterFinish()
    {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        TParallelCompressionStream stream(out, 2);
        stream.Write("x", 1);
        stream.Finish();
        QVERIFY_THROWS_EXCEPTION(EZCompressionError, stream.Write("y", 1));
        QVERIFY_THROWS_EXCEPTION(EZCompressionError, stream.Finish());
    }
};

QTEST_GUILESS_MAIN(TestParallelCompression)
#include "tst_parallelcompression.moc"
