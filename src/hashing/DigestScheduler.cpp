#include "DigestScheduler.h"

#include "Catalog.h"
#include "DigestEvents.h"
#include "DigestFileReader.h"
#include "ThreadHandOver.h"
#include "support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

bool RecordFileExists(const TFileDat &record)
{
    const QString path = record.FullPath();
    return !path.isEmpty() && FileSizeOf(path) >= 0;
}

TDigestScheduler::TDigestScheduler(TCatalog &catalog, TDigestView &view, QObject *parent)
    : QObject(parent), m_catalog(catalog), m_view(view)
{
    // Removing the folder that holds the record being digested stops the digest and lets the
    // queue go on; clearing the catalog empties the queue as well, so the chain ends quietly.
    m_catalog.SetStopDigestHook([this] {
        if (!m_md5Running)
            return;
        StopDigest();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_catalog.Md5Queue().empty())
                    TakeNextRecord();
            },
            Qt::QueuedConnection);
    });
}

TDigestScheduler::~TDigestScheduler()
{
    StopDigest();
    finishIdleWorker();
    m_catalog.SetStopDigestHook(nullptr);
}

void TDigestScheduler::PostMd5Next()
{
    QCoreApplication::postEvent(this, new QEvent(WM_MD5NEXT));
}

bool TDigestScheduler::event(QEvent *event)
{
    if (event->type() == WM_MD5NEXT) {
        TakeNextRecord();
        return true;
    }
    if (event->type() == WM_MD5PROGRESS)
        return true; // the window shows no per-file progress
    return QObject::event(event);
}

void TDigestScheduler::TakeNextRecord()
{
    if (m_md5Running)
        return;
    if (m_catalog.Md5Queue().empty()) {
        finishIdleWorker();
        queueEnded();
        return;
    }
    if (TFileDat *record = takeQueueHead()) {
        startWorker(record);
        return;
    }
    PostMd5Next();
}

TFileDat *TDigestScheduler::takeQueueHead()
{
    TFileDat *record = m_catalog.Md5Queue().front();
    m_catalog.DropMd5QueueHead();
    if (record->State != fsPending)
        return nullptr; // digested, found missing or queued twice meanwhile
    if (!RecordFileExists(*record)) {
        m_catalog.SetRecordState(record, fsMissing);
        return nullptr;
    }
    return record;
}

void TDigestScheduler::queueEnded()
{
    m_view.MarkModified();
    m_view.SetStatus(QStringLiteral("Operation completed"), false);
}

void TDigestScheduler::startWorker(TFileDat *record)
{
    // Everything that keeps the record safe is in place before the view gets a chance to let
    // pending messages run: commands leave a record being digested alone, another WM_MD5NEXT
    // finds Md5Running set, and a stop meanwhile (skip, removal, clearing) finds the start under
    // way and cancels it.
    m_catalog.SetRecordState(record, fsDigesting);
    m_md5Running = true;
    const quint64 serial = ++m_workerSerial;
    m_startingSerial = serial;

    // The view goes first, so even a file digested in an instant has its folder selected and
    // its row shown in the look of a record being digested.
    TFolderNode *folder = record->Folder;
    if (folder != m_catalog.CurrentFolder())
        m_view.BringFolderIntoView(folder);
    if (m_startingSerial != serial)
        return; // stopped while events ran; the record may be gone
    m_startingSerial = 0;
    m_view.ShowRecordRow(record);

    if (m_md5Thread) {
        // The worker of the previous record waits for this one: no thread to start.
        m_recordDoneFor = serial;
        m_md5Thread->NextRecord(record);
        foreseeQueueHead();
        if (m_workerSetup)
            m_workerSetup(*m_md5Thread);
        m_md5Thread->Continue();
        return;
    }
    auto worker = std::make_unique<CMd5Thread>(record, WM_MD5PROGRESS, this);
    worker->FollowOn();
    connect(
        worker.get(), &CMd5Thread::DigestComputed, this,
        [this, worker = worker.get()] {
            HandOverAcquire(worker);
            DigestReady(worker->Record(), worker->Digest());
            followOnInCurrentFolder();
            HandOverRelease(worker);
            worker->HandOverTaken();
        },
        Qt::QueuedConnection);
    connect(
        worker.get(), &CMd5Thread::RecordDone, this, [this](bool readFailed) { RecordDone(readFailed); },
        Qt::QueuedConnection);
    m_endNotification = connect(
        worker.get(), &QThread::finished, this, [this, serial] { WorkerEnded(serial); },
        Qt::QueuedConnection);
    m_endNotifiedFor = serial;
    m_recordDoneFor = serial;
    m_md5Thread = std::move(worker);
    foreseeQueueHead();
    if (m_workerSetup)
        m_workerSetup(*m_md5Thread);
    m_md5Thread->start(CMd5Thread::Priority);
}

void TDigestScheduler::RecordDone(bool readFailed)
{
    if (!m_recordDoneFor || !m_md5Thread)
        return; // a stop took the record away meanwhile
    m_recordDoneFor = 0;
    TFileDat *record = m_md5Thread->Record();
    // No digest came: the file could not be read. The record may be queued again by the
    // restart commands.
    if (readFailed && m_catalog.DigestingRecord() == record)
        m_catalog.SetRecordState(record, fsPending);
    if (m_md5Running) {
        // This notification is itself a message of the loop: the next record is taken here, as
        // WM_MD5NEXT would take it, without posting one more message for each file.
        m_md5Running = false;
        TakeNextRecord();
    }
}

void TDigestScheduler::followOnInCurrentFolder()
{
    // A next record in the folder on show needs no view to look for it and lets no message run,
    // so the worker gets it with the hand-over taken: one message between the threads per file
    // instead of two. A record whose file the worker has already read ahead is handed over here
    // and now, and the next one after it, so one message may carry several small files. Anything
    // else (another folder, a record passed over or gone, the queue's end) goes the ordinary way
    // through RecordDone.
    if (!m_md5Running || !m_recordDoneFor || !m_md5Thread || m_catalog.DigestingRecord())
        return;
    const auto &queue = m_catalog.Md5Queue();
    while (!queue.empty()) {
        TFileDat *record = queue.front();
        if (record->State != fsPending || record->Folder != m_catalog.CurrentFolder())
            return;
        const QString path = record->FullPath();
        const std::optional<TFileIdentity> identity = FileIdentityOf(path);
        if (!identity)
            return;
        m_catalog.DropMd5QueueHead();
        m_catalog.SetRecordState(record, fsDigesting);
        m_recordDoneFor = ++m_workerSerial;
        m_view.ShowRecordRow(record);
        if (const std::optional<TMd5Text::TDigest> digest = m_md5Thread->TakeReadAhead(path, *identity)) {
            DigestReady(record, *digest);
            continue;
        }
        m_md5Thread->NextRecord(record);
        foreseeQueueHead();
        if (m_workerSetup)
            m_workerSetup(*m_md5Thread);
        m_md5Thread->Continue();
        return;
    }
}

void TDigestScheduler::foreseeQueueHead()
{
    // A worker set up by a test reads each file when its record is given, where its hooks
    // expect it.
    if (m_workerSetup)
        return;
    const auto &queue = m_catalog.Md5Queue();
    QStringList paths;
    for (size_t i = 0; i < std::min(queue.size(), size_t(CMd5Thread::ReadAheadDepth)); ++i) {
        if (queue[i]->State == fsPending && !queue[i]->RealPath.isEmpty())
            paths << queue[i]->FullPath();
    }
    m_md5Thread->Foresee(std::move(paths));
}

void TDigestScheduler::finishIdleWorker()
{
    if (m_md5Running || !m_md5Thread)
        return;
    disconnect(m_endNotification);
    m_endNotifiedFor = 0;
    m_md5Thread->Finish();
    m_md5Thread->wait();
    m_md5Thread.reset();
}

void TDigestScheduler::DigestReady(TFileDat *record, const TMd5Text::TDigest &digest)
{
    // A worker waits while this runs; the record is still alive because nothing disposes of a
    // record being digested without stopping the worker, and stopping waits for this call.
    // Only a complete digest is handed over: a worker that could not read its file or was
    // stopped hands nothing over, and its record goes back to fsPending where it ends.
    m_catalog.SetRecordDigested(record, digest);
    if (record->Folder == m_catalog.CurrentFolder())
        m_view.ShowRecordRow(record);
}

void TDigestScheduler::WorkerEnded(quint64 worker)
{
    if (worker != m_endNotifiedFor || !m_md5Thread)
        return; // StopDigest removed this notification
    m_endNotifiedFor = 0;
    m_md5Thread->wait(); // finished is emitted just before the thread is done
    TFileDat *record = m_md5Thread->Record();
    m_md5Thread.reset();
    // Still fsDigesting means the file could not be read: no digest came. The record may be
    // queued again by the restart commands.
    if (m_catalog.DigestingRecord() == record)
        m_catalog.SetRecordState(record, fsPending);
    if (m_md5Running) {
        m_md5Running = false;
        PostMd5Next();
    }
}

void TDigestScheduler::StopDigest()
{
    if (!m_md5Running)
        return;
    if (m_startingSerial) {
        // Stopped while the view brought the record's folder into view: the worker (if one
        // waits from the record before) never got it.
        if (TFileDat *record = m_catalog.DigestingRecord()) {
            m_catalog.SetRecordMd5(record, QString());
            m_catalog.SetRecordState(record, fsPending);
        }
        m_startingSerial = 0;
        m_md5Running = false;
        finishIdleWorker();
        return;
    }
    CMd5Thread &worker = *m_md5Thread;
    TFileDat *record = worker.Record();
    // Once the digest is handed over the record is an ordinary one again and may even be gone.
    if (m_catalog.DigestingRecord() == record) {
        m_catalog.SetRecordMd5(record, QString());
        m_catalog.SetRecordState(record, fsPending);
    }
    if (worker.isRunning())
        worker.setPriority(QThread::NormalPriority);
    disconnect(m_endNotification);
    m_endNotifiedFor = 0;
    m_recordDoneFor = 0;
    worker.Stop();
    // A hand-over the worker requested before it saw the stop waits in this object's queue;
    // running it is what lets the worker end. Only this object's queued calls run meanwhile.
    while (!worker.wait(QDeadlineTimer(5)))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    // The worker does not wait in its hand-over for the call to run: it may have ended with the
    // call still queued, and the call names the worker.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    m_md5Thread.reset();
    m_md5Running = false;
}
