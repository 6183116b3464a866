#pragma once

// TFocusReturn: while a modal box or window runs, the window under it loses the activation and
// its keyboard focus. When the box closes this gives both back to the widget that had the focus
// when it opened (if it is still there), so the keys act where they did before. Without it a
// window system that does not hand the activation back itself leaves the keys with nobody.

#include <QPointer>
#include <QWidget>

class TFocusReturn
{
public:
    TFocusReturn();
    ~TFocusReturn();
    TFocusReturn(const TFocusReturn &) = delete;
    TFocusReturn &operator=(const TFocusReturn &) = delete;

private:
    QPointer<QWidget> m_focus;
};
