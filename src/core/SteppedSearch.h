#pragma once

// The name search of a window: a catalog search run on the user-interface thread in steps of a
// few milliseconds, with the event loop running between them, so the window takes every keystroke
// while a search of millions of records goes on, and shows the results as they come.
//
// Steps rather than a worker thread: one step finds the first screenful within milliseconds, a
// whole search of a million records takes a few dozen steps, and the catalog is only ever read on
// the thread that changes it (digests arriving meanwhile change records the search may hold).
//
// The catalog must keep its folders and records while a search runs (see TCatalogSearch); the
// window that owns this object is modal. User-interface thread only.

#include "CatalogSearch.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

class TSteppedSearch : public QObject
{
    Q_OBJECT

public:
    // A step ends after this long, or once the first step has found a screenful.
    static constexpr int StepMilliseconds = 8;
    static constexpr size_t FirstStepFinds = 100;

    explicit TSteppedSearch(const TCatalog &catalog, QObject *parent = nullptr);
    ~TSteppedSearch() override;

    // Abandons the search that runs, empties the results (resultsCleared) and starts a search for
    // the matcher over the whole catalog or `topOrNone` and everything below it. The first step
    // runs as soon as the event loop does.
    void Start(TNameMatcher matcher, const TFolderNode *topOrNone = nullptr);
    // Abandons the search that runs; the results found so far stay.
    void Stop();
    bool IsRunning() const { return m_search != nullptr; }

    // The records found so far, in catalog order.
    const std::vector<TFileDat *> &Results() const { return m_results; }

Q_SIGNALS:
    void resultsCleared();
    // Results()[first .. first + count - 1] are new.
    void found(int first, int count);
    // The walk is done: Results() holds every record the pattern picks.
    void finished();

private:
    void step();

    const TCatalog &m_catalog;
    std::unique_ptr<TCatalogSearch> m_search;
    std::vector<TFileDat *> m_results;
    bool m_firstStep = false;
    quint64 m_generation = 0; // counts the searches started
    QTimer m_nextStep;
};
