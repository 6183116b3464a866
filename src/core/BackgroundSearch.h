#pragma once

// The name search of a window: a catalog search on a thread of its own, whose finds reach the
// user-interface thread in batches as posted events, so the window takes every keystroke and
// paints the results while a search of millions of records goes on. A new pattern abandons the
// search that runs at once (within a millisecond).
//
// A thread rather than steps between the window's events: with steps, every paint of the results
// and every moment the window's thread must wait for the processor lengthens the search and the
// wait of the next keystroke; a thread leaves the window's thread free (bench/search measures
// both).
//
// The worker reads the folder tree, the record lists and the records' names, nothing else: the
// records' other fields (a digest arriving, a state) may change meanwhile, but no folder may be
// added, removed, moved or sorted and no record added, removed or moved while a search runs; the
// window that owns this object is modal. Stop, Start and the destructor wait for the worker, so
// once they return it reads nothing. Create, use and destroy on the user-interface thread.

#include "CatalogSearch.h"

#include <QObject>
#include <atomic>
#include <thread>
#include <vector>

class TBackgroundSearch : public QObject
{
    Q_OBJECT

public:
    // The first batch is handed over once it holds a screenful, or after a hand-over interval;
    // later batches once per interval. The worker looks for a stop between slices of the walk.
    static constexpr size_t FirstBatchFinds = 100;
    static constexpr int HandOverMilliseconds = 10;
    static constexpr int SliceMilliseconds = 1;

    explicit TBackgroundSearch(const TCatalog &catalog, QObject *parent = nullptr);
    ~TBackgroundSearch() override;

    // Abandons the search that runs, empties the results (resultsCleared) and starts a search for
    // the matcher over the whole catalog, or over `topOrNone` and everything below it.
    void Start(TNameMatcher matcher, const TFolderNode *topOrNone = nullptr);
    // Abandons the search that runs; the results handed over so far stay.
    void Stop();
    bool IsRunning() const { return m_running; }

    // The records handed over so far, in catalog order.
    const std::vector<TFileDat *> &Results() const { return m_results; }

Q_SIGNALS:
    void resultsCleared();
    // Results()[first .. first + count - 1] are new.
    void found(int first, int count);
    // The walk is done: Results() holds every record the pattern picks.
    void finished();

protected:
    bool event(QEvent *event) override;

private:
    void search(TCatalogSearch walk, quint64 generation);
    void handOver(quint64 generation, std::vector<TFileDat *> batch, bool done);
    void joinWorker();

    const TCatalog &m_catalog;
    std::thread m_worker;
    std::atomic<bool> m_stop = false; // read by the worker, set and cleared while none runs
    quint64 m_generation = 0;         // counts the searches started; batches of older ones are dropped
    bool m_running = false;
    std::vector<TFileDat *> m_results;
};
