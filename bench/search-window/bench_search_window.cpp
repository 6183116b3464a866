// The search window ("Search file name") over a generated catalog of a million records, run as
// the user runs it (offscreen): a pattern typed into it, and for each keystroke the time until
// the first results are painted in its list, the time until the search is done and its count
// shown, and the worst wait of an event posted every millisecond meanwhile (how soon the next
// keystroke is taken). Patterns as in bench search; medians of five rounds each.
//
//   bench-search-window [records] [folders]   (default 1000000 1000)
//
// Last line: "first_results_ms <the slowest pattern's median>".

#include "BenchMedian.h"
#include "BenchPrompts.h"
#include "EventProbe.h"
#include "GeneratedCatalog.h"
#include "SearchFilesForm.h"
#include "main.h"

#include <QApplication>
#include <QLineEdit>
#include <QTreeView>
#include <cstdio>

namespace {

constexpr int Rounds = 5;
const char *const Patterns[] = {"photo", "31337", "*19?5*.pdf", "holiday 2001"};

struct TKeystroke
{
    double FirstMs = 0, WholeMs = 0, WorstWaitMs = 0;
    int Found = 0;
};

TKeystroke type(TSearchFilesForm &form, const QString &pattern, TEventProbe &probe)
{
    auto *edit = form.findChild<QLineEdit *>(QStringLiteral("PatternEdit"));
    auto *list = form.findChild<QTreeView *>(QStringLiteral("ResultsList"));
    edit->clear();
    QCoreApplication::processEvents();
    TKeystroke keystroke;
    probe.Start();
    const qint64 start = nowNs();
    edit->setText(pattern);
    while (form.Searching() || keystroke.FirstMs == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (keystroke.FirstMs == 0 && (list->model()->rowCount() > 0 || !form.Searching())) {
            list->viewport()->repaint(); // on screen, not only in the model
            keystroke.FirstMs = double(nowNs() - start) / 1e6;
        }
    }
    form.repaint();
    keystroke.WholeMs = double(nowNs() - start) / 1e6;
    keystroke.WorstWaitMs = probe.Stop();
    keystroke.Found = list->model()->rowCount();
    return keystroke;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 1000;
    TBenchPrompts prompts;
    TBenchShell shell;
    TDravikForm main(prompts, shell);
    main.show();
    GenerateCatalog(main.Catalog(), records, folders, 20240611);
    std::printf("records %d in %d folders, medians of %d rounds\n", records, folders, Rounds);

    TEventProbe probe;
    double slowestFirst = 0, slowestWhole = 0, worstWait = 0;
    main.SetSearchFilesShower([&](TSearchFilesForm &form) {
        form.show();
        QCoreApplication::processEvents();
        std::printf("%-14s %8s %10s %10s %10s\n", "pattern", "found", "first ms", "whole ms", "wait ms");
        for (const char *pattern : Patterns) {
            std::vector<double> first, whole, wait;
            int found = 0;
            for (int round = 0; round < Rounds; ++round) {
                const TKeystroke keystroke = type(form, QString::fromUtf8(pattern), probe);
                first.push_back(keystroke.FirstMs);
                whole.push_back(keystroke.WholeMs);
                wait.push_back(keystroke.WorstWaitMs);
                found = keystroke.Found;
            }
            std::printf("%-14s %8d %10.1f %10.1f %10.1f\n", pattern, found, Median(first), Median(whole),
                        Median(wait));
            slowestFirst = std::max(slowestFirst, Median(first));
            slowestWhole = std::max(slowestWhole, Median(whole));
            worstWait = std::max(worstWait, Median(wait));
        }
        form.close();
    });
    main.MorSearchfilenameClick();
    std::printf("whole_ms %.1f\nworst_wait_ms %.1f\nfirst_results_ms %.1f\n", slowestWhole, worstWait,
                slowestFirst);
    main.SetModified(false);
    return 0;
}
