#pragma once
// The row store behind every cursor of one table. Cursors (the table itself
// and its clones) attach to it; every insert, edit and delete is reported to
// all of them at once, so an edit posted through one cursor shows in all.
//
// The store also keeps the change log: the state at the last merge (stored
// order and the old values of edited rows), so that the changes can be
// counted, merged or cancelled as a whole.

#include "qxRowData.h"

#include <unordered_map>

class TqxRowStoreClient {
public:
    virtual ~TqxRowStoreClient() = default;
    virtual void StoreRowInserted(TqxRecId rec, int orderPos) = 0;
    // Before and after the values of a row change; the position in the stored order stays.
    virtual void StoreRowUpdating(TqxRecId rec, int orderPos) = 0;
    virtual void StoreRowUpdated(TqxRecId rec, int orderPos) = 0;
    // The row has left the stored order; its values are still readable.
    virtual void StoreRowDeleted(TqxRecId rec, int orderPos) = 0;
    // Structure, content or order replaced as a whole; sameRows when the rows
    // that stay keep their identity (changes cancelled). Resetting comes first,
    // while the old rows are still in place.
    virtual void StoreResetting() {}
    virtual void StoreReset(bool sameRows) = 0;
};

class TqxRowStore {
public:
    explicit TqxRowStore(TqxFieldDefs defs);
    TqxRowStore(const TqxRowStore&) = delete;
    TqxRowStore& operator=(const TqxRowStore&) = delete;

    const TqxRowData& Data() const { return FData; }
    const TqxFieldDefs& Defs() const { return FData.Defs(); }
    int RowCount() const { return int(FData.Order().size()); }

    void Attach(TqxRowStoreClient* client);
    void Detach(TqxRowStoreClient* client);

    // before: the row the new one goes in front of in the stored order; -1 appends.
    TqxRecId Insert(const TqxRowView& values, TqxRecId before);
    // False when the values are those already stored: nothing is logged.
    bool Update(TqxRecId rec, const TqxRowView& values);
    void Delete(TqxRecId rec);
    void Empty(); // every row deleted, as changes that can be cancelled

    // New content (a loaded packet) or a new structure; no changes pending.
    void Replace(TqxRowData data);
    void Recreate(TqxFieldDefs defs);

    int ChangeCount() const { return FChangeCount; }
    void MergeChangeLog();
    void CancelUpdates();

private:
    void Touch();
    void MarkNew(TqxRecId r);
    template<typename F> void Notify(F call);

    TqxRowData FData;
    std::vector<TqxRowStoreClient*> FClients;
    int FChangeCount = 0;
    bool FHasBaseline = false;
    std::vector<TqxRecId> FBaseOrder;                 // stored order at the last merge
    std::unordered_map<TqxRecId, TqxRecId> FOldCopy; // edited row -> slot with its merged values
    std::vector<TqxRecId> FDeletedBase;               // rows of the baseline deleted since
    std::vector<quint8> FNew;                         // per slot: inserted since the last merge
};
