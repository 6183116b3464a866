#pragma once

// The device pixel ratio that pictures are drawn at: the sharpest screen's (1 without a
// screen), so that a picture stays sharp where the desktop scales the windows and is only ever
// scaled down on screens that scale less.

#include <QGuiApplication>

inline qreal SharpestPixelRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}
