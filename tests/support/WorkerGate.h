#pragma once

// TWorkerGate: holds a digest worker at one of its steps until the test releases it (or the
// worker is told to stop), so a test can act while the worker is at a known place.
//
//   TWorkerGate gate;
//   scheduler.SetWorkerSetup([&](CMd5Thread &worker) { gate.HoldAt(worker, wsBlockDone, 0); });
//   ... QTRY_VERIFY(gate.Reached()); act; gate.Release();

#include "MD5ThUnit.h"

#include <QAtomicInt>
#include <QThread>

class TWorkerGate
{
public:
    void Release() { m_released.storeRelease(1); }
    bool Reached() const { return m_reached.loadAcquire() != 0; }
    // block: the block index for wsBlockDone, -1 for the other steps.
    void HoldAt(CMd5Thread &worker, TWorkerStep step, qint64 block = -1)
    {
        worker.SetStepHook([this, step, block](CMd5Thread &w, TWorkerStep now, qint64 at) {
            if (now != step || at != block)
                return;
            m_reached.storeRelease(1);
            // Polling only decides when to go on; no test outcome depends on how long it waits.
            while (!m_released.loadAcquire() && !w.isInterruptionRequested())
                QThread::msleep(1);
        });
    }

private:
    QAtomicInt m_reached;
    QAtomicInt m_released;
};
