// The window's digest queue over many small files: catalogs of 5,000, 20,000 and 80,000 files of
// 1 to 64 KiB, 200 to a folder, without digests, each in a fresh main window (offscreen); "Restart
// all MD5 calculation" timed until the status says "Operation completed". Against md5sum over the
// same files (one process for all, from the page cache), rounds alternating. The smaller catalogs
// are the first folders of the largest, so every size reads files of the same sizes. While the
// queue runs, an event is posted every 20 ms and the time it waits to be handled is kept: the
// worst case tells how soon the window answers a click.
//
//   bench-digest-queue [--hidden] [files...]   (default 5000 20000 80000)
//
// --hidden runs the same queue with the window never shown (nothing painted): the cost of the
// scheduler and the worker alone. Prints every round with the processor time of the window's
// thread and of the worker, the paints and record changes per file; then a table of the medians
// of every size, whose cost per file should not grow with the size, and, last, "ratio
// <queue/md5sum>" of 20,000 files (or of the only size asked for).

#include "BenchMedian.h"
#include "BenchProcess.h"
#include "BenchPrompts.h"
#include "main.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int Rounds = 3;
constexpr int FilesPerFolder = 200;
constexpr int HeadlineFiles = 20000;

[[noreturn]] void fail(const QString &text)
{
    std::fprintf(stderr, "bench-digest-queue: %s\n", qPrintable(text));
    std::exit(1);
}

QString folderName(int folder)
{
    return QStringLiteral("d%1").arg(folder, 3, 10, QLatin1Char('0'));
}

// Writes the files, FilesPerFolder to a folder; gives their paths by folder.
QList<QStringList> generateFiles(const QString &root, int files)
{
    QRandomGenerator random(19991231);
    QList<QStringList> byFolder;
    QByteArray content;
    for (int i = 0; i < files; ++i) {
        const int folder = i / FilesPerFolder;
        if (folder == byFolder.size()) {
            if (!QDir().mkpath(root + u'/' + folderName(folder)))
                fail(QStringLiteral("cannot create %1").arg(folderName(folder)));
            byFolder << QStringList();
        }
        content.resize(1024 + random.bounded(63 * 1024 + 1));
        random.fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
        const QString path =
            QStringLiteral("%1/%2/f%3.bin").arg(root, folderName(folder)).arg(i, 5, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            fail(QStringLiteral("cannot write %1").arg(path));
        byFolder[folder] << path;
    }
    return byFolder;
}

// md5sum over the files of the first `folders` folders.
double runMd5sum(const QString &root, int folders)
{
    QStringList arguments{QStringLiteral("-c"),
                          QStringLiteral("find \"$@\" -type f -print0 | xargs -0 md5sum"),
                          QStringLiteral("sh")};
    for (int folder = 0; folder < folders; ++folder)
        arguments << root + u'/' + folderName(folder);
    return SecondsOfRun(QStringLiteral("sh"), arguments);
}

// An event posted on a clock; the receiver keeps how long the longest one waited.
class TLatencyProbe : public QObject
{
public:
    static constexpr QEvent::Type Probe = QEvent::Type(QEvent::User + 777);
    qint64 WorstWaitNs = 0;

    void Start()
    {
        WorstWaitNs = 0;
        m_clock.start();
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *event = new TStamped(m_clock.nsecsElapsed());
            QCoreApplication::postEvent(this, event);
        });
        m_timer.start();
    }
    void Stop()
    {
        m_timer.stop();
        QObject::disconnect(&m_timer, nullptr, this, nullptr);
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != Probe)
            return QObject::event(event);
        WorstWaitNs =
            std::max(WorstWaitNs, m_clock.nsecsElapsed() - static_cast<TStamped *>(event)->PostedNs);
        return true;
    }

private:
    struct TStamped : QEvent
    {
        explicit TStamped(qint64 postedNs) : QEvent(Probe), PostedNs(postedNs) {}
        qint64 PostedNs;
    };
    QElapsedTimer m_clock;
    QTimer m_timer;
};

// Counts the paints of every widget of the window and the list's row changes, per round.
class TPaintCounter : public QObject
{
public:
    QHash<QString, int> Paints;

    void Watch(QWidget *window)
    {
        window->installEventFilter(this);
        for (QWidget *child : window->findChildren<QWidget *>())
            child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            QObject *named = watched;
            while (named && named->objectName().isEmpty())
                named = named->parent();
            ++Paints[named ? named->objectName() : QStringLiteral("?")];
        }
        return false;
    }
};

// Processor time (user and system) of the calling thread or of the whole process.
double cpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The medians of one catalog size.
struct TSizeResult
{
    int Files = 0;
    double QueueSeconds = 0;
    double Md5sumSeconds = 0;
    double WindowCpuSeconds = 0;
    double WorkerCpuSeconds = 0;
    double WorstWaitMs = 0;
};

// Rounds of the queue over the first files of the generated ones, in a window of its own,
// alternating with md5sum over the same files.
TSizeResult runSize(const QString &root, const QList<QStringList> &byFolder, int files, bool hidden)
{
    const int folders = (files + FilesPerFolder - 1) / FilesPerFolder;
    TBenchPrompts prompts;
    TBenchShell shell;
    TDravikForm form(prompts, shell);
    if (!hidden)
        form.show();
    TCatalog &catalog = form.Catalog();
    for (int f = 0; f < folders; ++f) {
        TFolderNode *folder = catalog.AddFolder(nullptr, folderName(f));
        std::vector<std::unique_ptr<TFileDat>> records;
        for (const QString &path : byFolder[f].mid(0, files - f * FilesPerFolder))
            records.push_back(NewRecordFromDisk(path));
        catalog.AppendRecords(folder, std::move(records));
    }
    runMd5sum(root, folders); // into the page cache

    TPaintCounter paints;
    paints.Watch(&form);
    int rowChanges = 0;
    QObject::connect(&catalog, &TCatalog::recordChanged, &form, [&rowChanges] { ++rowChanges; });

    TLatencyProbe probe;
    std::vector<double> queueSeconds, md5sumSeconds, windowCpu, workerCpu, worstWaitMs;
    for (int round = 0; round < Rounds; ++round) {
        // Every record without digest again, as a loaded catalog would be.
        catalog.ForEachFolder([&](TFolderNode *folder) {
            for (const auto &record : folder->Records()) {
                catalog.SetRecordMd5(record.get(), QString());
                catalog.SetRecordState(record.get(), fsPending);
            }
        });
        form.SelectFolder(nullptr);
        QCoreApplication::processEvents();

        paints.Paints.clear();
        rowChanges = 0;
        probe.Start();
        const double uiBefore = cpuSeconds(RUSAGE_THREAD), allBefore = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer timer;
        timer.start();
        form.MorRestartallmd5Click();
        while (form.StatusText() != QLatin1String("Operation completed"))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        queueSeconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        windowCpu.push_back(cpuSeconds(RUSAGE_THREAD) - uiBefore);
        workerCpu.push_back(cpuSeconds(RUSAGE_SELF) - allBefore - windowCpu.back());
        if (!prompts.Shown.isEmpty())
            fail(QStringLiteral("unexpected box: ") + prompts.Shown.first());
        probe.Stop();
        worstWaitMs.push_back(double(probe.WorstWaitNs) / 1e6);

        md5sumSeconds.push_back(runMd5sum(root, folders));
        std::printf("%d files, round %d: queue %.3f s, md5sum %.3f s, worst event wait %.1f ms\n", files,
                    round + 1, queueSeconds.back(), md5sumSeconds.back(), worstWaitMs.back());
        QStringList painted;
        for (auto it = paints.Paints.cbegin(); it != paints.Paints.cend(); ++it)
            painted << QStringLiteral("%1 %2").arg(it.key()).arg(double(it.value()) / files, 0, 'f', 3);
        painted.sort();
        std::printf(
            "  per file: %.1f us processor time of the window's thread, %.1f us of the worker; %.2f record "
            "changes; paints: %s\n",
            windowCpu.back() * 1e6 / files, workerCpu.back() * 1e6 / files, double(rowChanges) / files,
            qPrintable(painted.join(QStringLiteral(", "))));
        std::fflush(stdout);
    }

    int digested = 0;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        for (const auto &record : folder->Records())
            digested += record->State == fsDigested && record->Md5.size() == 32;
    });
    if (digested != files)
        fail(QStringLiteral("%1 of %2 records digested").arg(digested).arg(files));

    return {files,
            Median(queueSeconds),
            Median(md5sumSeconds),
            Median(windowCpu),
            Median(workerCpu),
            *std::max_element(worstWaitMs.begin(), worstWaitMs.end())};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool hidden = arguments.removeAll(QStringLiteral("--hidden")) > 0;
    std::vector<int> sizes;
    for (const QString &argument : std::as_const(arguments))
        sizes.push_back(argument.toInt());
    if (sizes.empty())
        sizes = {5000, HeadlineFiles, 80000};
    if (*std::min_element(sizes.begin(), sizes.end()) < 1)
        fail(QStringLiteral("usage: bench-digest-queue [--hidden] [files...]"));

    QTemporaryDir dir;
    const QList<QStringList> byFolder =
        generateFiles(dir.path(), *std::max_element(sizes.begin(), sizes.end()));
    std::printf("files of 1 to 64 KiB, %d to a folder\n", FilesPerFolder);
    std::vector<TSizeResult> results;
    for (const int files : sizes)
        results.push_back(runSize(dir.path(), byFolder, files, hidden));

    std::printf("\n%8s %9s %10s %6s %14s %16s %14s %14s\n", "files", "queue s", "md5sum s", "ratio",
                "queue us/file", "md5sum us/file", "window us/file", "worker us/file");
    const TSizeResult *headline = &results.front();
    for (const TSizeResult &result : results) {
        const double perFile = 1e6 / result.Files;
        std::printf("%8d %9.3f %10.3f %6.2f %14.1f %16.1f %14.1f %14.1f\n", result.Files, result.QueueSeconds,
                    result.Md5sumSeconds, result.QueueSeconds / result.Md5sumSeconds,
                    result.QueueSeconds * perFile, result.Md5sumSeconds * perFile,
                    result.WindowCpuSeconds * perFile, result.WorkerCpuSeconds * perFile);
        if (result.Files == HeadlineFiles)
            headline = &result;
    }
    double worstWait = 0;
    for (const TSizeResult &result : results)
        worstWait = std::max(worstWait, result.WorstWaitMs);
    std::printf("queue_seconds %.3f\nmd5sum_seconds %.3f\nworst_event_wait_ms %.1f\nratio %.2f\n",
                headline->QueueSeconds, headline->Md5sumSeconds, worstWait,
                headline->QueueSeconds / headline->Md5sumSeconds);
    return 0;
}
