#include "qxDataSetView.h"

#include <algorithm>

bool TqxDataSetView::Less(TqxRecId a, TqxRecId b) const
{
    if (!FKey.empty()) {
        const TqxRowView ra = FData->Row(a);
        const TqxRowView rb = FData->Row(b);
        for (size_t i = 0; i < FKey.size(); ++i) {
            const int c = qxCompare::Field(FKeyKinds[i], ra, rb, FKey[i]);
            if (c != 0)
                return c < 0;
        }
    }
    return FData->Label(a) < FData->Label(b);
}

void TqxDataSetView::SetKey(std::vector<int> key)
{
    FKey = std::move(key);
    FKeyKinds.clear();
    for (const int f : FKey)
        FKeyKinds.push_back(FData->Kind(f));
    Rebuild();
}

void TqxDataSetView::AdoptKey(const TqxDataSetView& other)
{
    if (other.FData != FData || other.FKey.empty()) {
        SetKey(other.FKey);
        return;
    }
    FKey = other.FKey;
    FKeyKinds = other.FKeyKinds;
    FSorted = other.FSorted;
    BuildShown();
}

void TqxDataSetView::SetAccept(TAccept accept)
{
    FAccept = std::move(accept);
    BuildShown();
}

void TqxDataSetView::Rebuild()
{
    FSorted.clear();
    if (!FKey.empty() && FData) {
        FKeyKinds.clear();
        for (const int f : FKey)
            FKeyKinds.push_back(FData->Kind(f));
        FSorted = FData->Order();
        std::sort(FSorted.begin(), FSorted.end(), [this](TqxRecId a, TqxRecId b) { return Less(a, b); });
    }
    BuildShown();
}

void TqxDataSetView::BuildShown()
{
    FShown.clear();
    if (!FAccept || !FData)
        return;
    const std::vector<TqxRecId>& base = FKey.empty() ? FData->Order() : FSorted;
    for (const TqxRecId r : base)
        if (FAccept(r))
            FShown.push_back(r);
}

int TqxDataSetView::FindIn(const std::vector<TqxRecId>& rows, TqxRecId rec) const
{
    const auto it = std::lower_bound(rows.begin(), rows.end(), rec, [this](TqxRecId a, TqxRecId b) { return Less(a, b); });
    return it != rows.end() && *it == rec ? int(it - rows.begin()) : -1;
}

int TqxDataSetView::InsertInto(std::vector<TqxRecId>& rows, TqxRecId rec) const
{
    const auto it = std::lower_bound(rows.begin(), rows.end(), rec, [this](TqxRecId a, TqxRecId b) { return Less(a, b); });
    const int pos = int(it - rows.begin());
    rows.insert(it, rec);
    return pos;
}

bool TqxDataSetView::InPlace(const std::vector<TqxRecId>& rows, int pos) const
{
    const TqxRecId rec = rows[size_t(pos)];
    return (pos == 0 || Less(rows[size_t(pos - 1)], rec)) &&
           (pos + 1 == int(rows.size()) || Less(rec, rows[size_t(pos + 1)]));
}

int TqxDataSetView::Find(TqxRecId rec) const
{
    if (!FData || !FData->IsLive(rec))
        return -1;
    if (FAccept)
        return FindIn(FShown, rec);
    if (!FKey.empty())
        return FindIn(FSorted, rec);
    return FData->OrderPos(rec);
}

TqxDataSetView::Change TqxDataSetView::Inserted(TqxRecId rec, int orderPos)
{
    int pos = orderPos;
    if (!FKey.empty())
        pos = InsertInto(FSorted, rec);
    if (FAccept) {
        if (!FAccept(rec))
            return {};
        pos = InsertInto(FShown, rec);
    }
    return {Change::Inserted, -1, pos};
}

void TqxDataSetView::Updating(TqxRecId rec)
{
    FOldSorted = FKey.empty() ? -1 : FindIn(FSorted, rec);
    FOldShown = FAccept ? FindIn(FShown, rec) : -1;
}

TqxDataSetView::Change TqxDataSetView::Updated(TqxRecId rec, int orderPos)
{
    int from = orderPos;
    int to = orderPos;
    if (!FKey.empty() && FOldSorted >= 0) {
        from = to = FOldSorted;
        if (!InPlace(FSorted, FOldSorted)) {
            FSorted.erase(FSorted.begin() + FOldSorted);
            to = InsertInto(FSorted, rec);
        }
    }
    if (FAccept) {
        const bool accepted = FAccept(rec);
        if (FOldShown < 0) {
            if (!accepted)
                return {};
            return {Change::Inserted, -1, InsertInto(FShown, rec)};
        }
        from = to = FOldShown;
        if (!accepted) {
            FShown.erase(FShown.begin() + FOldShown);
            return {Change::Removed, from, -1};
        }
        if (!InPlace(FShown, FOldShown)) {
            FShown.erase(FShown.begin() + FOldShown);
            to = InsertInto(FShown, rec);
        }
    }
    return {from == to ? Change::Changed : Change::Moved, from, to};
}

TqxDataSetView::Change TqxDataSetView::Deleted(TqxRecId rec, int orderPos)
{
    int pos = orderPos;
    if (!FKey.empty()) {
        pos = FindIn(FSorted, rec);
        if (pos >= 0)
            FSorted.erase(FSorted.begin() + pos);
    }
    if (FAccept) {
        pos = FindIn(FShown, rec);
        if (pos < 0)
            return {};
        FShown.erase(FShown.begin() + pos);
    }
    return pos >= 0 ? Change{Change::Removed, pos, -1} : Change{};
}
