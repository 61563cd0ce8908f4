#pragma once
// The rows one cursor shows, in its order: the stored order or an index, and
// only those its filter accepts. Both lists are kept sorted by one total
// order (index keys, then stored order), so a row is found, added or moved by
// binary search when the store reports a change, and re-applying a filter is
// a single pass over the index that is already sorted.

#include "qxRowData.h"

#include <functional>

class TqxDataSetView {
public:
    struct Change {
        enum Kind { None, Inserted, Removed, Moved, Changed } Kind = None;
        int From = -1;
        int To = -1;
    };
    using TAccept = std::function<bool(TqxRecId)>;

    void Bind(const TqxRowData* data) { FData = data; }
    // Key fields of the index (empty: stored order); rebuilds the index.
    void SetKey(std::vector<int> key);
    // The same key as another view over the same rows, taking its order as
    // it stands instead of sorting again (a clone that keeps its source's index).
    void AdoptKey(const TqxDataSetView& other);
    const std::vector<int>& Key() const { return FKey; }
    // The filter (empty: every row); rebuilds the shown rows.
    void SetAccept(TAccept accept);
    bool HasFilter() const { return bool(FAccept); }
    void Rebuild(); // after the store was replaced as a whole

    const std::vector<TqxRecId>& Rows() const
    {
        if (FAccept)
            return FShown;
        return FKey.empty() ? FData->Order() : FSorted;
    }
    int Count() const { return FData ? int(Rows().size()) : 0; }
    TqxRecId At(int pos) const { return Rows()[size_t(pos)]; }
    int Find(TqxRecId rec) const; // -1 when not shown

    Change Inserted(TqxRecId rec, int orderPos);
    void Updating(TqxRecId rec);
    Change Updated(TqxRecId rec, int orderPos);
    Change Deleted(TqxRecId rec, int orderPos);

private:
    bool Less(TqxRecId a, TqxRecId b) const;
    int FindIn(const std::vector<TqxRecId>& rows, TqxRecId rec) const;
    int InsertInto(std::vector<TqxRecId>& rows, TqxRecId rec) const;
    bool InPlace(const std::vector<TqxRecId>& rows, int pos) const;
    void BuildShown();

    const TqxRowData* FData = nullptr;
    std::vector<int> FKey;
    std::vector<TqxFieldKind> FKeyKinds;
    TAccept FAccept;
    std::vector<TqxRecId> FSorted; // every row in index order (with a key)
    std::vector<TqxRecId> FShown;  // rows the filter accepts (with a filter)
    int FOldSorted = -1;
    int FOldShown = -1;
};
