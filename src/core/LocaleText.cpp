#include "LocaleText.h"

#include <QCollator>
#include <QLocale>

namespace {

QCollator &caseInsensitiveCollator()
{
    static QCollator collator = [] {
        QCollator c(QLocale::system());
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

} // namespace

int CompareTextLocale(QStringView a, QStringView b)
{
    return caseInsensitiveCollator().compare(a, b);
}

QCollatorSortKey SortKeyLocale(const QString &text)
{
    // In the C locale the collator compares without letter case but makes keys with it ("a"
    // after "B"); keys of the folded text sort as its comparisons do.
    static const bool cLocale = caseInsensitiveCollator().locale().language() == QLocale::C;
    return caseInsensitiveCollator().sortKey(cLocale ? text.toCaseFolded() : text);
}
