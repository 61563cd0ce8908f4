#pragma once
// The rows selected in a grid, kept as bookmarks in the order they were
// selected. A bookmark may outlive its row: users of the list check it with
// the table's BookmarkValid.

#include "qxDataSet.h"

#include <QList>
#include <QSet>

inline size_t qHash(const TqxBookmark& b, size_t seed = 0) noexcept
{
    return qHashMulti(seed, b.Slot, b.Serial);
}

class TqxBookmarkList {
public:
    int Count() const { return int(FItems.size()); }
    bool IsEmpty() const { return FItems.isEmpty(); }
    const QList<TqxBookmark>& Items() const { return FItems; }
    const TqxBookmark& operator[](int i) const { return FItems.at(i); }
    bool Contains(const TqxBookmark& b) const { return FSet.contains(b); }

    void Clear();
    void Add(const TqxBookmark& b);
    void Remove(const TqxBookmark& b);
    void Toggle(const TqxBookmark& b);
    // Toggles many rows at once, in the given order.
    void ToggleAll(const QList<TqxBookmark>& rows);
    // Drops the bookmarks whose rows are gone from the table (or its filter).
    void Refresh(const TqxDataSet& table);

private:
    QList<TqxBookmark> FItems;
    QSet<TqxBookmark> FSet;
};
