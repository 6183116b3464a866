#include "LongOperation.h"

#include <QCoreApplication>

TLongOperation::TLongOperation(TLongOperationHost &host, const QString &waitText) : m_host(host)
{
    m_host.SetBusy(true);
    m_host.EnableCommands(false);
    if (!waitText.isEmpty()) {
        m_host.SetStatus(waitText, true);
        m_waitTextShown = true;
        QCoreApplication::processEvents();
    }
}

TLongOperation::TLongOperation(TLongOperationHost &host, TBusyOnly) : m_host(host), m_busyOnly(true)
{
    m_host.SetBusy(true);
}

TLongOperation::~TLongOperation()
{
    if (!m_busyOnly) {
        m_host.ResetProgress();
        if (m_hasResult)
            m_host.SetStatus(m_result, false);
        else if (m_waitTextShown)
            m_host.SetStatus(QString(), true);
        m_host.EnableCommands(true);
    }
    m_host.SetBusy(false);
}

void TLongOperation::SetResult(const QString &text)
{
    m_result = text;
    m_hasResult = true;
}
