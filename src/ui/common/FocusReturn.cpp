#include "FocusReturn.h"

#include <QApplication>

TFocusReturn::TFocusReturn() : m_focus(QApplication::focusWidget()) {}

TFocusReturn::~TFocusReturn()
{
    if (!m_focus || !m_focus->isVisible() || !m_focus->isEnabled())
        return;
    m_focus->window()->activateWindow();
    m_focus->setFocus(Qt::ActiveWindowFocusReason);
}
