#include "CliDigestView.h"

#include "Catalog.h"

#include <QEventLoop>

void TCliDigestView::SetStatus(const QString &, bool keep)
{
    // The scheduler's only passing status is the end of its chain; the queue tells for sure.
    if (!keep && m_loop && m_catalog.Md5Queue().empty())
        m_loop->quit();
}
