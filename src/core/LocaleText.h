#pragma once

// Text comparisons in the user's locale, without regard to letter case: the rule behind
// folder names among siblings, the identity of files within a folder and sorting by name.
// Use from the user-interface thread only (one collator is shared).

#include <QCollatorSortKey>
#include <QString>
#include <QStringView>

// < 0, 0 or > 0 as a sorts before, equal to or after b.
int CompareTextLocale(QStringView a, QStringView b);

// A key that sorts as CompareTextLocale does, cheaper to compare when one text meets many.
QCollatorSortKey SortKeyLocale(const QString &text);

inline bool SameTextLocale(QStringView a, QStringView b)
{
    return CompareTextLocale(a, b) == 0;
}
