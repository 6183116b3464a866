#include "DigestEvents.h"

// The hints mirror the message numbers of the first and second user message; Qt takes another
// free number when one is already taken.
const QEvent::Type WM_MD5NEXT = QEvent::Type(QEvent::registerEventType(QEvent::User + 1));
const QEvent::Type WM_MD5PROGRESS = QEvent::Type(QEvent::registerEventType(QEvent::User + 2));
