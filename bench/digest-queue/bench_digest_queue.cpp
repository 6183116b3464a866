// The window's digest queue over many small files: a catalog of files of 1 to 64 KiB in 100
// folders, without digests, in the real main window (offscreen); "Restart all MD5 calculation"
// timed until the status says "Operation completed". Against md5sum over the same files (one
// process for all, from the page cache), rounds alternating. While the queue runs, an event is
// posted every 20 ms and the time it waits to be handled is kept: the worst case tells how soon
// the window answers a click.
//
//   bench-digest-queue [--hidden] [files] [folders]   (default 20000 100)
//
// --hidden runs the same queue with the window never shown (nothing painted): the cost of the
// scheduler and the worker alone. Prints every round with the processor time of the window's
// thread and of the worker, the paints and record changes per file,
// both medians, the worst event wait and, last, "ratio <queue/md5sum>".

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

[[noreturn]] void fail(const QString &text)
{
    std::fprintf(stderr, "bench-digest-queue: %s\n", qPrintable(text));
    std::exit(1);
}

// Writes the files; gives their total size.
qint64 generateFiles(const QString &root, int files, int folders, QList<QStringList> &byFolder)
{
    QRandomGenerator random(19991231);
    qint64 total = 0;
    QByteArray content;
    for (int f = 0; f < folders; ++f) {
        const QString folder = QStringLiteral("%1/d%2").arg(root).arg(f, 3, 10, QLatin1Char('0'));
        if (!QDir().mkpath(folder))
            fail(QStringLiteral("cannot create %1").arg(folder));
        byFolder << QStringList();
    }
    for (int i = 0; i < files; ++i) {
        content.resize(1024 + random.bounded(63 * 1024 + 1));
        random.fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
        const QString path = QStringLiteral("%1/d%2/f%3.bin")
                                 .arg(root)
                                 .arg(i % folders, 3, 10, QLatin1Char('0'))
                                 .arg(i, 5, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            fail(QStringLiteral("cannot write %1").arg(path));
        byFolder[i % folders] << path;
        total += content.size();
    }
    return total;
}

double runMd5sum(const QString &root)
{
    return SecondsOfRun(
        QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("find \"$0\" -type f -print0 | xargs -0 md5sum"), root});
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

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool hidden = arguments.removeAll(QStringLiteral("--hidden")) > 0;
    const int files = arguments.size() > 0 ? arguments[0].toInt() : 20000;
    const int folders = arguments.size() > 1 ? arguments[1].toInt() : 100;
    if (files < 1 || folders < 1)
        fail(QStringLiteral("usage: bench-digest-queue [--hidden] [files] [folders]"));

    QTemporaryDir dir;
    QList<QStringList> byFolder;
    const qint64 total = generateFiles(dir.path(), files, folders, byFolder);
    std::printf("%d files of 1 to 64 KiB (%.1f MB) in %d folders\n", files, double(total) / 1e6, folders);

    TBenchPrompts prompts;
    TBenchShell shell;
    TDravikForm form(prompts, shell);
    if (!hidden)
        form.show();
    TCatalog &catalog = form.Catalog();
    for (int f = 0; f < folders; ++f) {
        TFolderNode *folder =
            catalog.AddFolder(nullptr, QStringLiteral("d%1").arg(f, 3, 10, QLatin1Char('0')));
        std::vector<std::unique_ptr<TFileDat>> records;
        for (const QString &path : std::as_const(byFolder[f]))
            records.push_back(NewRecordFromDisk(path));
        catalog.AppendRecords(folder, std::move(records));
    }
    runMd5sum(dir.path()); // into the page cache

    TPaintCounter paints;
    paints.Watch(&form);
    int rowChanges = 0;
    QObject::connect(&catalog, &TCatalog::recordChanged, &form, [&rowChanges] { ++rowChanges; });

    TLatencyProbe probe;
    std::vector<double> queueSeconds, md5sumSeconds, worstWaitMs;
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
        const double uiCpu = cpuSeconds(RUSAGE_THREAD) - uiBefore;
        const double workerCpu = cpuSeconds(RUSAGE_SELF) - allBefore - uiCpu;
        if (!prompts.Shown.isEmpty())
            fail(QStringLiteral("unexpected box: ") + prompts.Shown.first());
        probe.Stop();
        worstWaitMs.push_back(double(probe.WorstWaitNs) / 1e6);

        md5sumSeconds.push_back(runMd5sum(dir.path()));
        std::printf("round %d: queue %.3f s, md5sum %.3f s, worst event wait %.1f ms\n", round + 1,
                    queueSeconds.back(), md5sumSeconds.back(), worstWaitMs.back());
        QStringList painted;
        for (auto it = paints.Paints.cbegin(); it != paints.Paints.cend(); ++it)
            painted << QStringLiteral("%1 %2").arg(it.key()).arg(double(it.value()) / files, 0, 'f', 3);
        painted.sort();
        std::printf(
            "  per file: %.1f us processor time of the window's thread, %.1f us of the worker; %.2f record "
            "changes; paints: %s\n",
            uiCpu * 1e6 / files, workerCpu * 1e6 / files, double(rowChanges) / files,
            qPrintable(painted.join(QStringLiteral(", "))));
        std::fflush(stdout);
    }

    // Every digest must be right: compare one folder with md5sum's.
    int digested = 0;
    catalog.ForEachFolder([&](TFolderNode *folder) {
        for (const auto &record : folder->Records())
            digested += record->State == fsDigested && record->Md5.size() == 32;
    });
    if (digested != files)
        fail(QStringLiteral("%1 of %2 records digested").arg(digested).arg(files));

    const double queue = Median(queueSeconds), md5sum = Median(md5sumSeconds);
    std::printf("queue_seconds %.3f\nmd5sum_seconds %.3f\nworst_event_wait_ms %.1f\nratio %.2f\n", queue,
                md5sum, *std::max_element(worstWaitMs.begin(), worstWaitMs.end()), queue / md5sum);
    return 0;
}
