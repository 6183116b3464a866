// The name search over a generated catalog, for a few typical patterns (a common word, a rare
// number, a wildcard, two words), three ways:
//   worker   as the window runs it: TBackgroundSearch on a thread of its own, its finds handed
//            over to this thread in queued batches;
//   stepped  the design not taken, measured for the comparison: the same walk on this thread in
//            steps of a few milliseconds, with the events handled between them;
//   plain    the search in one call, nothing else (the floor of both).
// For the first two: the time until the first 100 finds have arrived (or the whole search, when
// there are fewer) and until the search is done, and the worst wait of an event that another
// thread posts every millisecond meanwhile (how soon a keystroke is taken). Medians of alternating
// rounds (the wait: the median of each round's worst; the worst of every round comes last but
// three, as one moment of a busy machine decides it). Then the cost per record at a quarter, half and all of
// the records, and `dravik-cli search` on the saved catalog against a process that only loads it.
//
//   bench-search [records] [folders]   (default 1000000 1000)
//   bench-search load FILE             (that process)
//
// Last line: "whole_ms <the slowest pattern's median whole search on the worker>".

#include "BackgroundSearch.h"
#include "BenchMedian.h"
#include "BenchProcess.h"
#include "CatalogFile.h"
#include "CatalogSearch.h"
#include "EventProbe.h"
#include "GeneratedCatalog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <thread>

namespace {

constexpr int Rounds = 5;
constexpr size_t FirstResults = 100;
const char *const Patterns[] = {"photo", "31337", "*19?5*.pdf", "holiday 2001"};

struct TRun
{
    double FirstMs = 0, WholeMs = 0, WorstWaitMs = 0;
    size_t Found = 0;
};

// What a window's list would do with the finds: take them over as they arrive.
struct TReceiver
{
    std::vector<TFileDat *> Shown;
    qint64 StartNs = 0, FirstNs = 0, DoneNs = 0;

    void Take(TFileDat *const *records, size_t count)
    {
        Shown.insert(Shown.end(), records, records + count);
        if (!FirstNs && Shown.size() >= FirstResults)
            FirstNs = nowNs();
    }
    void Done()
    {
        DoneNs = nowNs();
        if (!FirstNs)
            FirstNs = DoneNs;
    }
    TRun Run(double worstWaitMs) const
    {
        return {double(FirstNs - StartNs) / 1e6, double(DoneNs - StartNs) / 1e6, worstWaitMs, Shown.size()};
    }
};

TRun runWorker(const TCatalog &catalog, const char *pattern, TEventProbe &probe)
{
    TBackgroundSearch search(catalog);
    TReceiver receiver;
    QObject::connect(&search, &TBackgroundSearch::found, [&](int first, int count) {
        receiver.Take(search.Results().data() + first, size_t(count));
    });
    QObject::connect(&search, &TBackgroundSearch::finished, [&] { receiver.Done(); });
    probe.Start();
    receiver.StartNs = nowNs();
    search.Start(TNameMatcher::Words(QString::fromUtf8(pattern)));
    while (!receiver.DoneNs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return receiver.Run(probe.Stop());
}

// Steps of the walk from a zero timer, so the events that came in meanwhile run between them.
TRun runStepped(const TCatalog &catalog, const char *pattern, TEventProbe &probe)
{
    constexpr int StepMilliseconds = 8;
    TCatalogSearch search(catalog, TNameMatcher::Words(QString::fromUtf8(pattern)));
    TReceiver receiver;
    std::vector<TFileDat *> results;
    QTimer step;
    step.setInterval(0);
    bool first = true;
    QObject::connect(&step, &QTimer::timeout, [&] {
        const size_t before = results.size();
        const bool done = search.Continue(results, QDeadlineTimer(StepMilliseconds, Qt::PreciseTimer),
                                          first ? FirstResults : size_t(-1));
        first = false;
        receiver.Take(results.data() + before, results.size() - before);
        if (done) {
            step.stop();
            receiver.Done();
        }
    });
    probe.Start();
    receiver.StartNs = nowNs();
    step.start();
    while (!receiver.DoneNs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return receiver.Run(probe.Stop());
}

double plainSearchMs(const TCatalog &catalog, const char *pattern, size_t *found = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    std::vector<TFileDat *> results;
    TCatalogSearch(catalog, TNameMatcher::Words(QString::fromUtf8(pattern))).Continue(results);
    if (found)
        *found = results.size();
    return double(timer.nsecsElapsed()) / 1e6;
}

template <typename Field>
double medianOf(const std::vector<TRun> &runs, Field field)
{
    std::vector<double> values;
    for (const TRun &run : runs)
        values.push_back(run.*field);
    return Median(values);
}

double worstOf(const std::vector<TRun> &runs)
{
    double worst = 0;
    for (const TRun &run : runs)
        worst = std::max(worst, run.WorstWaitMs);
    return worst;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc == 3 && std::string_view(argv[1]) == "load") { // the reference process of the last part
        TCatalog catalog;
        return LoadCatalog(catalog, QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 1000;
    constexpr quint32 Seed = 20240611;

    TCatalog catalog;
    GenerateCatalog(catalog, records, folders, Seed);
    std::printf("records %d in %d folders, medians of %d alternating rounds\n", records, folders, Rounds);

    TEventProbe probe;
    double slowestWhole = 0, slowestFirst = 0, worstWait = 0, worstWaitAnyRound = 0;
    std::printf("%-14s %8s | %-28s | %-28s | %s\n", "pattern", "found", "worker: first  whole  wait",
                "stepped: first  whole  wait", "plain");
    for (const char *pattern : Patterns) {
        std::vector<TRun> worker, stepped;
        std::vector<double> plain;
        size_t found = 0;
        for (int round = 0; round < Rounds; ++round) {
            worker.push_back(runWorker(catalog, pattern, probe));
            stepped.push_back(runStepped(catalog, pattern, probe));
            plain.push_back(plainSearchMs(catalog, pattern, &found));
            if (stepped.back().Found != found || worker.back().Found != found) {
                std::printf("%s: the searches found different records\n", pattern);
                return 1;
            }
        }
        std::printf("%-14s %8zu | %13.1f %6.1f %5.1f | %13.1f %6.1f %5.1f | %5.1f ms\n", pattern, found,
                    medianOf(worker, &TRun::FirstMs), medianOf(worker, &TRun::WholeMs),
                    medianOf(worker, &TRun::WorstWaitMs), medianOf(stepped, &TRun::FirstMs),
                    medianOf(stepped, &TRun::WholeMs), medianOf(stepped, &TRun::WorstWaitMs), Median(plain));
        slowestFirst = std::max(slowestFirst, medianOf(worker, &TRun::FirstMs));
        slowestWhole = std::max(slowestWhole, medianOf(worker, &TRun::WholeMs));
        worstWait = std::max(worstWait, medianOf(worker, &TRun::WorstWaitMs));
        worstWaitAnyRound = std::max(worstWaitAnyRound, worstOf(worker));
    }

    // A cost per record that stays flat as the catalog grows.
    for (const int part : {4, 2, 1}) {
        TCatalog smaller;
        const TCatalog *measured = &catalog;
        if (part > 1) {
            GenerateCatalog(smaller, records / part, std::max(1, folders / part), Seed);
            measured = &smaller;
        }
        std::vector<double> times;
        for (int round = 0; round < Rounds; ++round)
            times.push_back(plainSearchMs(*measured, Patterns[0]));
        std::printf("plain search of %7d records: %.1f ns a record\n", records / part,
                    Median(times) * 1e6 / (records / part));
    }

    // dravik-cli search reads the whole file first: against a process that loads it and ends, and
    // against the load alone in this process (no start, no freeing at the end).
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.dat"));
    SaveCatalog(catalog, path);
    std::vector<double> load, loadProcess, cli, cliCount;
    const QString program = QStringLiteral(DRAVIK_CLI_PATH);
    const QString pattern = QString::fromUtf8(Patterns[0]);
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        {
            TCatalog loaded;
            LoadCatalog(loaded, path);
            load.push_back(double(timer.nsecsElapsed()) / 1e9);
        }
        loadProcess.push_back(
            SecondsOfRun(QCoreApplication::applicationFilePath(), {QStringLiteral("load"), path}));
        cli.push_back(SecondsOfRun(program, {QStringLiteral("search"), path, pattern}));
        cliCount.push_back(
            SecondsOfRun(program, {QStringLiteral("search"), QStringLiteral("--count"), path, pattern}));
    }
    std::printf("load_seconds %.3f (in this process)\nload_process_seconds %.3f\n"
                "cli_search_seconds %.3f (\"%s\", every record printed)\ncli_search_count_seconds %.3f\n",
                Median(load), Median(loadProcess), Median(cli), Patterns[0], Median(cliCount));
    std::printf("cli_vs_load_in_process %.2f\n", Median(cli) / Median(load));
    std::printf("cli_vs_load %.2f\n", Median(cli) / Median(loadProcess));
    std::printf("worst_wait_any_round_ms %.1f\n", worstWaitAnyRound);
    std::printf("first_ms %.1f\nworst_wait_ms %.1f\nwhole_ms %.1f\n", slowestFirst, worstWait, slowestWhole);
    return 0;
}
