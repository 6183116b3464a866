// Pieces of dravik-cli that a process run cannot reach: the progress line on a terminal with its
// time left, mount points read from mountinfo, the minutes that scan --update compares, list
// lines that no tool at hand writes, and files that change while the commands read them.

#include "Catalog.h"
#include "CatalogFile.h"
#include "CliChecksumLists.h"
#include "CliCommands.h"
#include "CliDiskWalk.h"
#include "CliProgress.h"
#include "DigestPool.h"
#include "RemovableVolumes.h"
#include "TestFiles.h"
#include "support.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

// The error stream of a command, in memory.
class TCapturedStream
{
public:
    TCapturedStream() : m_stream(open_memstream(&m_buffer, &m_size)) {}
    ~TCapturedStream()
    {
        std::fclose(m_stream);
        std::free(m_buffer);
    }
    FILE *Stream() const { return m_stream; }
    QString Text()
    {
        std::fflush(m_stream);
        return QString::fromUtf8(m_buffer, qsizetype(m_size));
    }

private:
    char *m_buffer = nullptr;
    size_t m_size = 0;
    FILE *m_stream;
};

} // namespace

class TestCliParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void terminalLineShowsTheTimeLeftAfterAFewSeconds()
    {
        TCapturedStream err;
        TCliIo io;
        io.Err = err.Stream();
        io.ErrIsTerminal = true;
        qint64 now = 0;
        TCliProgress progress(io, QStringLiteral("verify"), TCliProgress::plQuiet, [&] { return now; });
        progress.DigestStarted();

        now = 1000; // a tenth done after one second: too early to say
        progress.Digesting(1, 10, 100'000'000, 1'000'000'000);
        QVERIFY(err.Text().contains(QStringLiteral(" 10%")));
        QVERIFY(!err.Text().contains(QStringLiteral("left")));

        now = 4000; // a fifth after four seconds: sixteen more
        progress.Digesting(2, 10, 200'000'000, 1'000'000'000);
        QVERIFY2(err.Text().endsWith(QStringLiteral(", about 16 s left\x1b[K")), qPrintable(err.Text()));
        QVERIFY(err.Text().contains(QStringLiteral("47.68MB/s")));

        now = 4050; // redrawn at most ten times a second
        const qsizetype drawn = err.Text().size();
        progress.Digesting(3, 10, 300'000'000, 1'000'000'000);
        QCOMPARE(err.Text().size(), drawn);

        // The bar goes when the work is done, leaving nothing behind in quiet mode.
        progress.Digested(10, 1'000'000'000);
        QVERIFY(err.Text().endsWith(QStringLiteral("\r\x1b[K")));
    }

    void plainOutputNeverEstimates()
    {
        TCapturedStream err;
        TCliIo io;
        io.Err = err.Stream();
        qint64 now = 0;
        TCliProgress scan(io, QStringLiteral("scan"), TCliProgress::plMilestones, [&] { return now; });
        scan.DigestStarted();
        for (int step = 1; step <= 10; ++step) {
            now = step * 10'000;
            scan.Digesting(step, 10, step * 100, 1000);
        }
        scan.Digested(10, 1000);
        const QString text = err.Text();
        QCOMPARE(text.count(u'\n'), 4); // three quarters and the end
        QVERIFY(text.startsWith(QStringLiteral("scan: digested 25% (3 of 10 files, ")));
        QVERIFY(!text.contains(QStringLiteral("left")) && !text.contains(u'\r'));

        TCapturedStream quietErr;
        io.Err = quietErr.Stream();
        TCliProgress have(io, QStringLiteral("have"), TCliProgress::plQuiet, [&] { return now; });
        have.DigestStarted();
        now += 10'000;
        have.Digesting(1, 2, 500, 1000);
        have.Digested(2, 1000);
        QVERIFY(quietErr.Text().isEmpty());
    }

    void durationsReadAsTheProgressLineShowsThem_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("seconds") << 59.4 << QStringLiteral("59 s");
        QTest::newRow("rounded up to a minute") << 59.6 << QStringLiteral("1 min 00 s");
        QTest::newRow("minutes") << 245.0 << QStringLiteral("4 min 05 s");
        QTest::newRow("hours") << 7620.0 << QStringLiteral("2 h 07 min");
    }
    void durationsReadAsTheProgressLineShowsThem()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(DurationText(seconds), text);
    }

    void mountPointsAreTheFifthFieldUnescaped()
    {
        const QByteArray mountinfo = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                                     "40 22 8:17 / /media/ann/My\\040Disk rw - vfat /dev/sdb1 rw\n"
                                     "41 22 8:18 / /mnt/back\\134slash rw - ext4 /dev/sdb2 rw\n";
        QCOMPARE(MountPointsOf(mountinfo), QSet<QString>({"/", "/media/ann/My Disk", "/mnt/back\\slash"}));
        TRemovableVolumes volumes;
        QCOMPARE(volumes.VolumeOf(QStringLiteral("/media/ann/My Disk/DCIM/a.jpg")),
                 QStringLiteral("/media/ann/My Disk"));
        QCOMPARE(volumes.VolumeOf(QStringLiteral("/mnt/usb/a.jpg")), QStringLiteral("/mnt/usb"));
        QCOMPARE(volumes.VolumeOf(QStringLiteral("/mnt/a.jpg")), QString());
        QCOMPARE(volumes.VolumeOf(QStringLiteral("/media/ann/a.jpg")), QString());
        QCOMPARE(volumes.VolumeOf(QStringLiteral("/home/ann/mnt/usb/a.jpg")), QString());
    }

    void minutesOfFilesAndOfRecordsAgree_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDateTime>("modified");
        // Minute boundaries, odd seconds (the catalog keeps even ones), both sides of a change to
        // summer time, and before 1970, where the texts decide.
        for (const char *zone : {"UTC", "Europe/Berlin", "America/New_York"}) {
            const QTimeZone utc = QTimeZone::utc();
            for (const QDateTime &when : {QDateTime(QDate(2008, 3, 15), QTime(14, 5, 59), utc),
                                          QDateTime(QDate(2008, 3, 15), QTime(14, 6, 0), utc),
                                          QDateTime(QDate(2021, 3, 28), QTime(0, 59, 59), utc),
                                          QDateTime(QDate(2021, 3, 28), QTime(1, 0, 1), utc),
                                          QDateTime(QDate(2021, 11, 7), QTime(5, 30, 0), utc),
                                          QDateTime(QDate(1970, 1, 1), QTime(0, 0, 30), utc),
                                          QDateTime(QDate(1965, 6, 1), QTime(12, 0, 0), utc)})
                QTest::addRow("%s %s", zone, qPrintable(when.toString(Qt::ISODate)))
                    << QString::fromLatin1(zone) << when;
        }
    }
    void minutesOfFilesAndOfRecordsAgree()
    {
        QFETCH(QString, zone);
        QFETCH(QDateTime, modified);
        const QByteArray previous = qgetenv("TZ");
        qputenv("TZ", zone.toLatin1());
        ::tzset();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        file.close();

        // The date the catalog takes from the file, and the one it keeps after a save and load
        // (which reads a two-digit year back into the hundred years around today).
        const double onDisk = FileDateOf(path);
        const double kept = ParseDateText(DateText(onDisk));
        const std::optional<qint64> fileMinute = LocalMinuteOf(modified.toSecsSinceEpoch());
        if (modified.toLocalTime().date().year() < 1970) {
            QVERIFY(!fileMinute && !MinuteOfDayCount(onDisk)); // left to the texts
        } else {
            QVERIFY(fileMinute.has_value());
            QCOMPARE(*fileMinute, *MinuteOfDayCount(onDisk));
            if (DateTimeFromDayCount(kept).date().year() == DateTimeFromDayCount(onDisk).date().year())
                QCOMPARE(*MinuteOfDayCount(kept), *fileMinute);
            else
                QVERIFY(*MinuteOfDayCount(kept) != *fileMinute); // the texts decide then
            QVERIFY(*LocalMinuteOf(modified.toSecsSinceEpoch() + 60) != *fileMinute);
        }
        previous.isNull() ? qunsetenv("TZ") : qputenv("TZ", previous);
        ::tzset();
    }

    void listLinesOfOtherWriters()
    {
        // CR LF line ends, md5sum's binary mode, an escape md5sum never writes, a hashdeep list
        // whose header puts the size after the digest.
        const TChecksumList md5sum = ParseChecksumList("D41D8CD98F00B204E9800998ECF8427E *dos name.txt\r\n"
                                                       "\\d41d8cd98f00b204e9800998ecf8427e  bad\\tescape\n"
                                                       "\n"
                                                       "d41d8cd98f00b204e9800998ecf8427e  last");
        QVERIFY(!md5sum.FromHashdeep);
        QCOMPARE(md5sum.Files.size(), size_t(2));
        QCOMPARE(md5sum.Files[0].Path, QStringLiteral("dos name.txt"));
        QCOMPARE(md5sum.Files[0].Md5, QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
        QCOMPARE(md5sum.Files[1].Line, qsizetype(4));
        QCOMPARE(md5sum.Unusable.size(), size_t(1));
        QCOMPARE(md5sum.Unusable[0].Line, qsizetype(2));

        const TChecksumList hashdeep = ParseChecksumList("%%%% HASHDEEP-1.0\n"
                                                         "%%%% md5,size,filename\n"
                                                         "## Invoked from: /data\n"
                                                         "d41d8cd98f00b204e9800998ecf8427e,0,rel/a,b.txt\n"
                                                         "d41d8cd98f00b204e9800998ecf8427e,x,c.txt\n");
        QVERIFY(hashdeep.FromHashdeep);
        QCOMPARE(hashdeep.ListedFrom, QStringLiteral("/data"));
        QCOMPARE(hashdeep.Files.size(), size_t(1));
        QCOMPARE(hashdeep.Files[0].Path, QStringLiteral("rel/a,b.txt"));
        QCOMPARE(hashdeep.Files[0].Size, qint64(0));
        QCOMPARE(hashdeep.Unusable.size(), size_t(1));
        QCOMPARE(hashdeep.Unusable[0].Reason, QStringLiteral("not a size"));
    }

    void filesChangedWhileReadAreReportedWithoutDigest()
    {
        // After the first block of its file, a reader finds shrinks.bin truncated and grows.bin
        // appended to; the other files of the same batches are digested as they are.
        QTemporaryDir dir;
        const QString tree = dir.filePath(QStringLiteral("tree"));
        QStringList names{QStringLiteral("a.bin"), QStringLiteral("grows.bin"), QStringLiteral("shrinks.bin"),
                          QStringLiteral("z.bin")};
        for (int i = 0; i < names.size(); ++i)
            WriteTestFile(tree + u'/' + names[i], NoiseBytes(100000 + i, quint32(i)));
        TDigestPoolHooks hooks;
        hooks.BeforeRead = [](const QString &path, qint64 offset, TDigestFileReader &) {
            if (offset > 0 && path.endsWith(QLatin1String("shrinks.bin")))
                QVERIFY(::truncate(QFile::encodeName(path).constData(), 10) == 0);
            if (offset > 0 && path.endsWith(QLatin1String("grows.bin"))) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::Append) && file.write("more") == 4);
            }
        };
        SetDigestPoolHooks(hooks);
        TCapturedStream out, err;
        const QString catalogFile = dir.filePath(QStringLiteral("c.dat"));
        const int status = RunCli(
            {QStringLiteral("scan"), QStringLiteral("--jobs=2"), QStringLiteral("-o"), catalogFile, tree},
            {out.Stream(), err.Stream(), false});
        SetDigestPoolHooks({});

        QCOMPARE(status, 1);
        QStringList reports = err.Text().split(u'\n').filter(QStringLiteral("saved without digest"));
        QCOMPARE(reports,
                 QStringList({
                     QStringLiteral("dravik-cli: %1/grows.bin: changed while read; saved without digest")
                         .arg(tree),
                     QStringLiteral("dravik-cli: %1/shrinks.bin: changed while read; saved without "
                                    "digest")
                         .arg(tree),
                 }));
        TCatalog catalog;
        QVERIFY(LoadCatalog(catalog, catalogFile));
        QStringList digests;
        catalog.ForEachFolder([&](TFolderNode *folder) {
            for (const auto &record : folder->Records())
                digests << record->FileName + u' ' + record->Md5.Text();
        });
        QCOMPARE(digests, QStringList({
                              QStringLiteral("a.bin ") + Md5OfFile(tree + QStringLiteral("/a.bin")),
                              QStringLiteral("grows.bin "),
                              QStringLiteral("shrinks.bin "),
                              QStringLiteral("z.bin ") + Md5OfFile(tree + QStringLiteral("/z.bin")),
                          }));
    }

    void verifyCallsNoFileCorruptThatWasWrittenAroundItsReading()
    {
        // saved.bin is saved again (same size, a new date) after verify first looked at the disk,
        // just before it is read; shrinks.bin is cut short while it is read.
        QTemporaryDir dir;
        TCatalog catalog;
        TFolderNode *folder = catalog.AddFolder(nullptr, QStringLiteral("F"));
        std::vector<std::unique_ptr<TFileDat>> records;
        for (const QString &name : {QStringLiteral("saved.bin"), QStringLiteral("shrinks.bin")}) {
            const QByteArray content = NoiseBytes(300000, 7);
            auto record = NewRecordFromDisk(WriteTestFile(dir.filePath(name), content));
            record->Md5 = TMd5Text(Md5Hex(content));
            records.push_back(std::move(record));
        }
        catalog.AppendRecords(folder, std::move(records));
        const QString catalogFile = dir.filePath(QStringLiteral("c.dat"));
        SaveCatalog(catalog, catalogFile);
        TDigestPoolHooks hooks;
        hooks.BeforeOpen = [](const QString &path) {
            if (!path.endsWith(QLatin1String("saved.bin")))
                return;
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.write("X") == 1 && file.flush());
            QVERIFY(
                file.setFileTime(QDateTime::currentDateTime().addDays(1), QFileDevice::FileModificationTime));
        };
        hooks.BeforeRead = [](const QString &path, qint64 offset, TDigestFileReader &) {
            if (offset > 0 && path.endsWith(QLatin1String("shrinks.bin")))
                QVERIFY(::truncate(QFile::encodeName(path).constData(), 10) == 0);
        };
        SetDigestPoolHooks(hooks);
        TCapturedStream out, err;
        const int status =
            RunCli({QStringLiteral("verify"), catalogFile}, {out.Stream(), err.Stream(), false});
        SetDigestPoolHooks({});

        QCOMPARE(status, 1);
        QCOMPARE(out.Text(), QStringLiteral("edited\tF\\saved.bin\t%1\n"
                                            "unreadable\tF\\shrinks.bin\t%2\n"
                                            "checked 2, corrupt 0, edited 1, missing 0, offline 0, "
                                            "unreadable 1, without digest 0, without real path 0\n")
                                 .arg(dir.filePath(QStringLiteral("saved.bin")),
                                      dir.filePath(QStringLiteral("shrinks.bin"))));
        QCOMPARE(err.Text(), QStringLiteral("dravik-cli: %1: changed while read\n")
                                 .arg(dir.filePath(QStringLiteral("shrinks.bin"))));
    }
};

QTEST_GUILESS_MAIN(TestCliParts)
#include "tst_cliparts.moc"
