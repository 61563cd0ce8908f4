#include "qxDBCtrls_BookmarkList.h"

void TqxBookmarkList::Clear()
{
    FItems.clear();
    FSet.clear();
}

void TqxBookmarkList::Add(const TqxBookmark& b)
{
    if (b.IsNull() || FSet.contains(b))
        return;
    FSet.insert(b);
    FItems.append(b);
}

void TqxBookmarkList::Remove(const TqxBookmark& b)
{
    if (FSet.remove(b))
        FItems.removeOne(b);
}

void TqxBookmarkList::Toggle(const TqxBookmark& b)
{
    if (Contains(b))
        Remove(b);
    else
        Add(b);
}

void TqxBookmarkList::ToggleAll(const QList<TqxBookmark>& rows)
{
    // One pass over the list however many rows leave it.
    QSet<TqxBookmark> leaving;
    for (const TqxBookmark& b : rows) {
        if (FSet.contains(b))
            leaving.insert(b);
    }
    if (!leaving.isEmpty())
        FItems.removeIf([&](const TqxBookmark& b) { return leaving.contains(b); });
    for (const TqxBookmark& b : rows) {
        if (leaving.contains(b))
            FSet.remove(b);
        else if (!b.IsNull() && !FSet.contains(b)) {
            FSet.insert(b);
            FItems.append(b);
        }
    }
}

void TqxBookmarkList::Refresh(const TqxDataSet& table)
{
    FItems.removeIf([&](const TqxBookmark& b) {
        if (table.BookmarkValid(b))
            return false;
        FSet.remove(b);
        return true;
    });
}
