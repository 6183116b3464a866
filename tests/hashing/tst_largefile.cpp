#include "FileDat.h"
#include "MD5ThUnit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A file past 4 GiB, on its own because it reads that much: sizes or offsets kept in 32 bits would
// digest only the part below 4 GiB.
class TestLargeFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void digestsAllBytesOfAFileLargerThan4GiB()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TFileDat record;
        record.RealPath = dir.path() + u'/';
        record.FileName = QStringLiteral("sparse.bin");
        // Sparse: nothing written, so it costs no disk space and reads as zeros.
        QFile file(record.FullPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize((qint64(1) << 32) + CMd5Thread::BlockSize + 1));
        file.close();

        QString handedOver;
        CMd5Thread worker(&record, QEvent::None, nullptr);
        connect(
            &worker, &CMd5Thread::DigestComputed, this,
            [&] { handedOver = TMd5Text(worker.Digest()).Text(); }, Qt::BlockingQueuedConnection);
        worker.start();
        // Within the test's time limit (CMakeLists.txt), so a slow run fails here with a message
        // instead of being killed by ctest.
        QTRY_VERIFY_WITH_TIMEOUT(worker.isFinished(), 270'000);
        // `md5sum` over a file made by `truncate -s 4294999041`.
        QCOMPARE(handedOver, QStringLiteral("a78c02d837bb0b0b798f546c9d05e42e"));
    }
};

QTEST_GUILESS_MAIN(TestLargeFile)
#include "tst_largefile.moc"
