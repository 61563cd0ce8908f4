#include "qxRowStore.h"

#include "qxErrors.h"

#include <algorithm>

using namespace Qt::StringLiterals;

TqxRowStore::TqxRowStore(TqxFieldDefs defs) : FData(std::move(defs)) {}

void TqxRowStore::Attach(TqxRowStoreClient* client)
{
    if (std::find(FClients.begin(), FClients.end(), client) == FClients.end())
        FClients.push_back(client);
}

void TqxRowStore::Detach(TqxRowStoreClient* client)
{
    std::erase(FClients, client);
}

template<typename F> void TqxRowStore::Notify(F call)
{
    // A client may detach while being told (a model closing its cursor).
    const std::vector<TqxRowStoreClient*> clients = FClients;
    for (TqxRowStoreClient* c : clients)
        if (std::find(FClients.begin(), FClients.end(), c) != FClients.end())
            call(c);
}

void TqxRowStore::Touch()
{
    if (!FHasBaseline) {
        FBaseOrder = FData.Order();
        FHasBaseline = true;
    }
}

void TqxRowStore::MarkNew(TqxRecId r)
{
    if (FNew.size() <= size_t(r))
        FNew.resize(size_t(FData.SlotCount()), 0);
    FNew[size_t(r)] = 1;
}

TqxRecId TqxRowStore::Insert(const TqxRowView& values, TqxRecId before)
{
    Touch();
    const TqxRecId r = FData.NewSlot();
    FData.SetRow(r, values);
    MarkNew(r);
    const int at = before >= 0 ? FData.OrderPos(before) : -1;
    const int pos = at >= 0 ? at : RowCount();
    FData.InsertAt(pos, r);
    ++FChangeCount;
    Notify([&](TqxRowStoreClient* c) { c->StoreRowInserted(r, pos); });
    return r;
}

bool TqxRowStore::Update(TqxRecId rec, const TqxRowView& values)
{
    const int pos = FData.OrderPos(rec);
    if (pos < 0)
        throw EKavelinErr(u"要保存的记录已经被删除！"_s);
    if (FData.RowEquals(rec, values))
        return false;
    Touch();
    const bool isNew = size_t(rec) < FNew.size() && FNew[size_t(rec)];
    if (!isNew && !FOldCopy.contains(rec)) {
        const TqxRecId copy = FData.NewSlot();
        FData.CopyRow(copy, rec);
        FOldCopy.emplace(rec, copy);
    }
    Notify([&](TqxRowStoreClient* c) { c->StoreRowUpdating(rec, pos); });
    FData.SetRow(rec, values);
    ++FChangeCount;
    Notify([&](TqxRowStoreClient* c) { c->StoreRowUpdated(rec, pos); });
    FData.CompactText();
    return true;
}

void TqxRowStore::Delete(TqxRecId rec)
{
    const int pos = FData.OrderPos(rec);
    if (pos < 0)
        throw EKavelinErr(u"要删除的记录已经不存在！"_s);
    Touch();
    FData.RemoveAt(pos);
    ++FChangeCount;
    Notify([&](TqxRowStoreClient* c) { c->StoreRowDeleted(rec, pos); });
    if (size_t(rec) < FNew.size() && FNew[size_t(rec)]) {
        FNew[size_t(rec)] = 0;
        FData.FreeSlot(rec);
    } else {
        FDeletedBase.push_back(rec);
    }
}

void TqxRowStore::Empty()
{
    if (RowCount() == 0)
        return;
    Notify([](TqxRowStoreClient* c) { c->StoreResetting(); });
    Touch();
    const std::vector<TqxRecId> rows = FData.Order();
    FData.SetOrder({});
    for (const TqxRecId r : rows) {
        ++FChangeCount;
        if (size_t(r) < FNew.size() && FNew[size_t(r)]) {
            FNew[size_t(r)] = 0;
            FData.FreeSlot(r);
        } else {
            FDeletedBase.push_back(r);
        }
    }
    Notify([](TqxRowStoreClient* c) { c->StoreReset(false); });
}

void TqxRowStore::Replace(TqxRowData data)
{
    Notify([](TqxRowStoreClient* c) { c->StoreResetting(); });
    FData = std::move(data);
    FChangeCount = 0;
    FHasBaseline = false;
    FBaseOrder.clear();
    FOldCopy.clear();
    FDeletedBase.clear();
    FNew.assign(size_t(FData.SlotCount()), 0);
    Notify([](TqxRowStoreClient* c) { c->StoreReset(false); });
}

void TqxRowStore::Recreate(TqxFieldDefs defs)
{
    Replace(TqxRowData(std::move(defs)));
}

void TqxRowStore::MergeChangeLog()
{
    for (const auto& [rec, copy] : FOldCopy)
        FData.FreeSlot(copy);
    for (const TqxRecId r : FDeletedBase)
        FData.FreeSlot(r);
    FOldCopy.clear();
    FDeletedBase.clear();
    std::fill(FNew.begin(), FNew.end(), 0);
    FBaseOrder.clear();
    FHasBaseline = false;
    FChangeCount = 0;
    FData.CompactText();
}

void TqxRowStore::CancelUpdates()
{
    if (!FHasBaseline) {
        FChangeCount = 0;
        return;
    }
    Notify([](TqxRowStoreClient* c) { c->StoreResetting(); });
    for (const auto& [rec, copy] : FOldCopy) {
        FData.CopyRow(rec, copy);
        FData.FreeSlot(copy);
    }
    FOldCopy.clear();
    for (TqxRecId r = 0; r < TqxRecId(FNew.size()); ++r) {
        if (FNew[size_t(r)]) {
            FNew[size_t(r)] = 0;
            FData.FreeSlot(r);
        }
    }
    FDeletedBase.clear();
    FData.SetOrder(std::move(FBaseOrder));
    FBaseOrder.clear();
    FHasBaseline = false;
    FChangeCount = 0;
    FData.CompactText();
    Notify([](TqxRowStoreClient* c) { c->StoreReset(true); });
}
