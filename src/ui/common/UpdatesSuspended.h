#pragma once

// Keeps a view from repainting while a command changes many of its rows, however the command
// ends; it paints once afterwards.

#include <QWidget>

class TUpdatesSuspended
{
public:
    explicit TUpdatesSuspended(QWidget *view) : m_view(view) { m_view->setUpdatesEnabled(false); }
    ~TUpdatesSuspended() { m_view->setUpdatesEnabled(true); }
    TUpdatesSuspended(const TUpdatesSuspended &) = delete;
    TUpdatesSuspended &operator=(const TUpdatesSuspended &) = delete;

private:
    QWidget *m_view;
};
