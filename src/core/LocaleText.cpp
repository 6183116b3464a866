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

TNameOrder::TNameOrder() : m_collator(std::make_unique<QCollator>(QLocale::system()))
{
    m_collator->setCaseSensitivity(Qt::CaseInsensitive);
    m_cLocale = m_collator->locale().language() == QLocale::C;
}

TNameOrder::~TNameOrder() = default;

QCollatorSortKey TNameOrder::key(const QString &name) const
{
    // As SortKeyLocale: the C locale's keys keep letter case unless the text is folded first.
    return m_collator->sortKey(m_cLocale ? name.toCaseFolded() : name);
}

QCollatorSortKey SortKeyLocale(const QString &text)
{
    // In the C locale the collator compares without letter case but makes keys with it ("a"
    // after "B"); keys of the folded text sort as its comparisons do.
    static const bool cLocale = caseInsensitiveCollator().locale().language() == QLocale::C;
    return caseInsensitiveCollator().sortKey(cLocale ? text.toCaseFolded() : text);
}
