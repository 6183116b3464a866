#pragma once

// Text comparisons in the user's locale, without regard to letter case: the rule behind
// folder names among siblings, the identity of files within a folder and sorting by name.
// Use from the user-interface thread only (one collator is shared).

#include <QCollatorSortKey>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <memory>
#include <numeric>
#include <vector>

class QCollator;

// < 0, 0 or > 0 as a sorts before, equal to or after b.
int CompareTextLocale(QStringView a, QStringView b);

// A key that sorts as CompareTextLocale does, cheaper to compare when one text meets many.
QCollatorSortKey SortKeyLocale(const QString &text);

inline bool SameTextLocale(QStringView a, QStringView b)
{
    return CompareTextLocale(a, b) == 0;
}

// Names in the order "Sort folders" gives them (the user's collation, letter case ignored), with
// ties broken by the exact name so that the order is total and the same on every run. Each
// instance has a collator of its own, so it may be used on any thread.
class TNameOrder
{
public:
    TNameOrder();
    ~TNameOrder();
    TNameOrder(const TNameOrder &) = delete;
    TNameOrder &operator=(const TNameOrder &) = delete;

    // Sorts the items by the name nameOf gives for each; each name is keyed once.
    template <typename T, typename NameOf>
    void Sort(std::vector<T> &items, NameOf nameOf) const;

private:
    QCollatorSortKey key(const QString &name) const;

    std::unique_ptr<QCollator> m_collator;
    bool m_cLocale = false;
};

template <typename T, typename NameOf>
void TNameOrder::Sort(std::vector<T> &items, NameOf nameOf) const
{
    if (items.size() < 2)
        return;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(items.size());
    for (const T &item : items)
        keys.push_back(key(nameOf(item)));
    std::vector<size_t> order(items.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int byCollation = keys[a].compare(keys[b]);
        return byCollation != 0 ? byCollation < 0 : nameOf(items[a]) < nameOf(items[b]);
    });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (size_t index : order)
        sorted.push_back(std::move(items[index]));
    items = std::move(sorted);
}
