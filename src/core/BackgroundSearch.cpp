#include "BackgroundSearch.h"

#include "ThreadHandOver.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

QEvent::Type batchEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

// A batch of finds on its way from the worker to the window's thread, which frees it; handed
// over by postEvent.
struct TBatchEvent : QEvent
{
    TBatchEvent(quint64 generation, std::vector<TFileDat *> batch, bool done)
        : QEvent(batchEventType()), Generation(generation), Batch(std::move(batch)), Done(done)
    {
        HandOverRelease(this);
    }
    quint64 Generation;
    std::vector<TFileDat *> Batch;
    bool Done;
};

} // namespace

TBackgroundSearch::TBackgroundSearch(const TCatalog &catalog, QObject *parent)
    : QObject(parent), m_catalog(catalog)
{}

TBackgroundSearch::~TBackgroundSearch()
{
    joinWorker();
}

void TBackgroundSearch::Start(TNameMatcher matcher, const TFolderNode *topOrNone)
{
    joinWorker();
    const quint64 generation = ++m_generation;
    m_results.clear();
    m_running = true;
    Q_EMIT resultsCleared();
    m_worker = std::thread(&TBackgroundSearch::search, this,
                           TCatalogSearch(m_catalog, std::move(matcher), topOrNone), generation);
}

void TBackgroundSearch::Stop()
{
    joinWorker();
    ++m_generation; // batches already on their way are dropped
    m_running = false;
}

void TBackgroundSearch::joinWorker()
{
    if (!m_worker.joinable())
        return;
    m_stop = true;
    m_worker.join();
    m_stop = false;
}

// The worker thread.
void TBackgroundSearch::search(TCatalogSearch walk, quint64 generation)
{
    std::vector<TFileDat *> batch;
    bool handedOver = false;
    QElapsedTimer sinceHandOver;
    sinceHandOver.start();
    for (;;) {
        const size_t maxFinds = handedOver ? size_t(-1) : FirstBatchFinds - batch.size();
        const bool done = walk.Continue(batch, QDeadlineTimer(SliceMilliseconds, Qt::PreciseTimer), maxFinds);
        if (m_stop)
            return;
        const bool due = sinceHandOver.hasExpired(HandOverMilliseconds) ||
                         (!handedOver && batch.size() >= FirstBatchFinds);
        if (done || (due && !batch.empty())) {
            QCoreApplication::postEvent(this, new TBatchEvent(generation, std::move(batch), done));
            batch = {};
            handedOver = true;
            sinceHandOver.restart();
        }
        if (done)
            return;
    }
}

bool TBackgroundSearch::event(QEvent *event)
{
    if (event->type() != batchEventType())
        return QObject::event(event);
    auto *batch = static_cast<TBatchEvent *>(event);
    HandOverAcquire(batch);
    handOver(batch->Generation, std::move(batch->Batch), batch->Done);
    return true;
}

void TBackgroundSearch::handOver(quint64 generation, std::vector<TFileDat *> batch, bool done)
{
    if (generation != m_generation)
        return;
    if (done) {
        joinWorker(); // it has nothing left to do but end
        m_running = false;
    }
    const size_t first = m_results.size();
    m_results.insert(m_results.end(), batch.begin(), batch.end());
    if (!batch.empty())
        Q_EMIT found(int(first), int(batch.size()));
    // Only while no receiver of found has started another search.
    if (done && generation == m_generation)
        Q_EMIT finished();
}
