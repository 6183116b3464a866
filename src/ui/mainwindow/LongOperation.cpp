#include "LongOperation.h"

#include <QCoreApplication>

TLongOperation::TLongOperation(TLongOperationHost &host, const QString &waitText)
    : m_host(host), m_nested(host.Busy())
{
    if (m_nested)
        return;
    m_host.SetBusy(true);
    m_host.EnableCommands(false);
    if (!waitText.isEmpty())
        ShowWaitText(waitText);
}

TLongOperation::TLongOperation(TLongOperationHost &host, TBusyOnly)
    : m_host(host), m_nested(host.Busy()), m_busyOnly(true)
{
    if (!m_nested)
        m_host.SetBusy(true);
}

TLongOperation::~TLongOperation()
{
    if (m_nested)
        return;
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

void TLongOperation::ShowWaitText(const QString &text)
{
    if (m_nested || m_busyOnly)
        return;
    m_host.SetStatus(text, true);
    m_waitTextShown = true;
    if (!text.isEmpty())
        QCoreApplication::processEvents(); // the window shows it before the work goes on
}

void TLongOperation::SetTotal(qint64 total)
{
    if (!m_nested && !m_busyOnly)
        m_host.SetProgressTotal(total);
}

void TLongOperation::Progress(qint64 done)
{
    if (!m_nested && !m_busyOnly)
        m_host.SetProgress(done);
}

void TLongOperation::ResetProgress()
{
    if (!m_nested && !m_busyOnly)
        m_host.ResetProgress();
}

void TLongOperation::SetResult(const QString &text)
{
    m_result = text;
    m_hasResult = true;
}
