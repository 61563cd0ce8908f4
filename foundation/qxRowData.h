#pragma once
// The rows of one table: row-major value cells, one byte area for all text,
// and the stored order. A row lives in a slot that keeps its number for its
// whole life; a serial number tells a reused slot from the row that left it,
// so a bookmark of a deleted row never finds a newer one.

#include "qxRecord.h"

struct TqxBookmark {
    qint32 Slot = -1;
    quint32 Serial = 0;

    bool IsNull() const { return Slot < 0; }
    bool operator==(const TqxBookmark&) const = default;
};

class TqxRowData {
public:
    TqxRowData() = default;
    explicit TqxRowData(TqxFieldDefs defs);

    const TqxFieldDefs& Defs() const { return FDefs; }
    int FieldCount() const { return FN; }
    TqxFieldKind Kind(int f) const { return FDefs[size_t(f)].Kind; }

    TqxRowView Row(TqxRecId r) const
    {
        const size_t at = size_t(r) * size_t(FN);
        return {FCells.data() + at, FNulls.data() + at, FText.constData()};
    }

    // Slots. A new slot holds nulls and is not part of the stored order.
    TqxRecId NewSlot();
    void FreeSlot(TqxRecId r);
    qsizetype SlotCount() const { return qsizetype(FSerial.size()); }
    bool InUse(TqxRecId r) const { return r >= 0 && r < SlotCount() && FSerial[size_t(r)] != 0; }
    bool IsLive(TqxRecId r) const { return InUse(r) && FLive[size_t(r)]; }
    TqxBookmark BookmarkOf(TqxRecId r) const { return {r, FSerial[size_t(r)]}; }
    // The live row a bookmark names, or -1.
    TqxRecId Resolve(const TqxBookmark& b) const
    {
        return IsLive(b.Slot) && FSerial[size_t(b.Slot)] == b.Serial ? b.Slot : -1;
    }

    // Values
    void SetNull(TqxRecId r, int f);
    void SetCell(TqxRecId r, int f, quint64 bits);
    void SetBytes(TqxRecId r, int f, QByteArrayView bytes); // empty text is stored as null
    void SetRow(TqxRecId r, const TqxRowView& from);       // text is copied into this table
    void CopyRow(TqxRecId to, TqxRecId from);               // shares the text bytes
    bool RowEquals(TqxRecId r, const TqxRowView& other) const;

    // Stored order: the order rows were loaded, appended and inserted in.
    // Labels rise along it, so two rows compare by order in constant time.
    const std::vector<TqxRecId>& Order() const { return FOrder; }
    qint64 Label(TqxRecId r) const { return FLabel[size_t(r)]; }
    int OrderPos(TqxRecId r) const; // -1 when not live
    void InsertAt(int pos, TqxRecId r);
    void RemoveAt(int pos);
    void SetOrder(std::vector<TqxRecId> order);
    TqxRecId AppendRow(); // a new slot at the end of the order (loading)

    void Reserve(qsizetype rows, qsizetype textBytes);
    qsizetype TextSize() const { return FText.size(); } // at least the text of the live rows
    // Drops the text of replaced values once it outweighs the live text.
    void CompactText(bool force = false);

private:
    void Relabel();
    quint32 StoreText(QByteArrayView bytes);

    TqxFieldDefs FDefs;
    int FN = 0;
    std::vector<quint64> FCells;
    std::vector<quint8> FNulls;
    std::vector<quint32> FSerial; // 0: free slot
    std::vector<quint8> FLive;
    std::vector<qint64> FLabel;
    std::vector<TqxRecId> FFree;
    std::vector<TqxRecId> FOrder;
    QByteArray FText;
    qsizetype FGarbage = 0;
};
