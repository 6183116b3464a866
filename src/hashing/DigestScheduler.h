#pragma once

// TDigestScheduler: feeds the records of the catalog's digest queue, one at a time, to a worker
// (CMd5Thread) and takes each digest over into the catalog and the views.
//
// Threads and ownership:
// - Lives on the user-interface thread and is used only there; so is everything it touches:
//   the catalog, the queue, Md5Running, Md5Thread and the view.
// - Owns the one worker (Md5Thread) while the queue runs. The worker digests one record at a
//   time and, done with it, waits for the next (no thread per file); it ends when the queue is
//   empty or a digest is stopped. Its only ways back are the hand-over (DigestReady, queued;
//   the worker waits for it to be taken before its next record, and meanwhile reads ahead the
//   files of the records queued next, which the hand-over may take along), RecordDone (queued, once a record
//   the hand-over did not already follow with the next one) and its end notification (WorkerEnded, queued);
//   all go through this object's event queue.
// - The catalog and the view must outlive the scheduler. The scheduler installs StopDigest as the
//   catalog's stop hook, so clearing the catalog or removing the record being digested stops the
//   worker first; its destructor stops the worker and removes the hook.
//
// The queue runs as a chain: each WM_MD5NEXT takes one entry and either starts a worker, whose
// end posts the next WM_MD5NEXT, or posts the next one itself; an empty queue ends the chain with
// "Operation completed".

#include "DigestView.h"
#include "MD5ThUnit.h"

#include <QObject>
#include <functional>
#include <memory>

class TCatalog;

class TDigestScheduler : public QObject
{
    Q_OBJECT

public:
    TDigestScheduler(TCatalog &catalog, TDigestView &view, QObject *parent = nullptr);
    ~TDigestScheduler() override;

    TCatalog &Catalog() const { return m_catalog; }
    TDigestView &View() const { return m_view; }

    // A digest is in progress: a worker exists. The record stays fsDigesting until the worker
    // hands its digest over.
    bool Md5Running() const { return m_md5Running; }
    CMd5Thread *Md5Thread() const { return m_md5Thread.get(); }

    // Posts WM_MD5NEXT to the scheduler: the next queued record is taken from the event loop.
    void PostMd5Next();
    // The WM_MD5NEXT handler; does nothing while a digest is in progress.
    void TakeNextRecord();
    // Stops the digest in progress, if any, and waits for the worker: its record goes back to
    // fsPending without digest (unless the worker had already handed its digest over), and is
    // not queued again. Nothing is posted.
    void StopDigest();

    // Test seam: called for each record before the worker starts on it (a new worker, or the one
    // that digested the record before and now takes the next). A worker set up this way reads no
    // file ahead, so its step hooks see each file read when its record is given.
    void SetWorkerSetup(std::function<void(CMd5Thread &)> setup) { m_workerSetup = std::move(setup); }

protected:
    bool event(QEvent *event) override;

private:
    // Takes the first queued record off the queue and gives it when it is to be digested now; a
    // record whose file is gone turns fsMissing, one no longer pending is passed over (nullptr).
    TFileDat *takeQueueHead();
    void queueEnded();
    void startWorker(TFileDat *record);
    // During the worker's hand-over: gives it the next record when no view has to look for it.
    void followOnInCurrentFolder();
    // Tells the worker the files of the records queued next, which it may read ahead.
    void foreseeQueueHead();
    void DigestReady(TFileDat *record, const TMd5Text::TDigest &digest);
    void RecordDone(bool readFailed);
    void WorkerEnded(quint64 worker);
    // Ends a worker that waits for a next record that will not come.
    void finishIdleWorker();

    TCatalog &m_catalog;
    TDigestView &m_view;
    bool m_md5Running = false;
    std::unique_ptr<CMd5Thread> m_md5Thread;
    quint64 m_workerSerial = 0;   // numbers the workers, so a late notification finds its own
    quint64 m_endNotifiedFor = 0; // the worker whose end notification counts; 0 once removed
    quint64 m_startingSerial = 0; // the worker about to start while the view shows its record
    quint64 m_recordDoneFor = 0;  // the record whose RecordDone counts; 0 once a stop took it
    QMetaObject::Connection m_endNotification;
    std::function<void(CMd5Thread &)> m_workerSetup;
};

// The record has a full path that names an existing regular file.
bool RecordFileExists(const TFileDat &record);
