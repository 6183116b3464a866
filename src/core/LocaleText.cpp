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
    return caseInsensitiveCollator().sortKey(text);
}
