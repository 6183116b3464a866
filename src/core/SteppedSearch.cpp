#include "SteppedSearch.h"

TSteppedSearch::TSteppedSearch(const TCatalog &catalog, QObject *parent) : QObject(parent), m_catalog(catalog)
{
    // A zero timer runs once the events that came in meanwhile (keystrokes, paints) are handled.
    m_nextStep.setSingleShot(true);
    m_nextStep.setInterval(0);
    connect(&m_nextStep, &QTimer::timeout, this, &TSteppedSearch::step);
}

TSteppedSearch::~TSteppedSearch() = default;

void TSteppedSearch::Start(TNameMatcher matcher, const TFolderNode *topOrNone)
{
    ++m_generation;
    m_search = std::make_unique<TCatalogSearch>(m_catalog, std::move(matcher), topOrNone);
    m_results.clear();
    m_firstStep = true;
    Q_EMIT resultsCleared();
    m_nextStep.start();
}

void TSteppedSearch::Stop()
{
    m_nextStep.stop();
    m_search.reset();
}

void TSteppedSearch::step()
{
    if (!m_search)
        return;
    const size_t before = m_results.size();
    const bool done = m_search->Continue(m_results, QDeadlineTimer(StepMilliseconds, Qt::PreciseTimer),
                                         m_firstStep ? FirstStepFinds : size_t(-1));
    m_firstStep = false;
    if (done)
        m_search.reset();
    else
        m_nextStep.start();
    // Told last, and finished only while no receiver of found has started another search.
    const quint64 generation = m_generation;
    if (m_results.size() > before)
        Q_EMIT found(int(before), int(m_results.size() - before));
    if (done && generation == m_generation)
        Q_EMIT finished();
}
