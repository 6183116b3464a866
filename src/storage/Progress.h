#pragma once

// What the long storage operations report back to the window.

#include <QtGlobal>
#include <functional>

// Called now and then with the work done so far and the total (the window's SetProgress and the
// progress bar's total). It may let pending events run.
using TProgressFn = std::function<void(qint64 done, qint64 total)>;

// The figures of the status text after a save or a load: records and the sum of their sizes.
struct TCatalogTotals
{
    qint64 Files = 0;
    qint64 TotalSize = 0;
};
