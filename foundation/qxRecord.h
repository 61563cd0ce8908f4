#pragma once
// One row's values in their stored form. Fixed values sit in 64-bit cells;
// text is kept as GBK bytes (the packet's own form, and the byte order the
// indexes sort by) in a byte area, the cell holding offset and length.

#include "qxFieldDef.h"

#include <QByteArray>
#include <QByteArrayView>
#include <bit>
#include <vector>

using TqxRecId = qint32;

struct TqxRowView {
    const quint64* Cells = nullptr;
    const quint8* Nulls = nullptr;
    const char* Text = nullptr;

    bool IsNull(int f) const { return Nulls[f] != 0; }
    qint32 Int(int f) const { return qint32(quint32(Cells[f])); }
    double Float(int f) const { return std::bit_cast<double>(Cells[f]); }
    bool Bool(int f) const { return Cells[f] != 0; }
    QByteArrayView Bytes(int f) const
    {
        const quint64 c = Cells[f];
        return QByteArrayView(Text + (c & 0xFFFFFFFFu), qsizetype(c >> 32));
    }
};

namespace qxCell {
inline quint64 FromInt(qint32 v) { return quint32(v); }
inline quint64 FromFloat(double v) { return std::bit_cast<quint64>(v); }
inline quint64 FromBool(bool v) { return v ? 1 : 0; }
inline quint64 FromText(quint32 offset, quint32 length) { return quint64(offset) | (quint64(length) << 32); }
} // namespace qxCell

// The edit buffer of a cursor and any other row held outside a table.
class TqxRecord {
public:
    void Reset(int fieldCount); // every value null
    void Assign(const TqxRowView& row, const TqxFieldDefs& defs);
    TqxRowView View() const { return {FCells.data(), FNulls.data(), FText.constData()}; }

    void SetNull(int f);
    void SetCell(int f, quint64 bits);
    void SetBytes(int f, QByteArrayView bytes); // empty text is stored as null

private:
    std::vector<quint64> FCells;
    std::vector<quint8> FNulls;
    QByteArray FText;
};

// Comparisons shared by indexes, locate and filters. Text compares as GBK
// bytes; the folding variants treat a-z as A-Z and never touch the bytes of a
// two-byte character (its trail byte may look like a Latin letter).
namespace qxCompare {
int Bytes(QByteArrayView a, QByteArrayView b);
int BytesFolded(QByteArrayView a, QByteArrayView b);
bool StartsWith(QByteArrayView text, QByteArrayView prefix, bool folded);
inline bool Equal(QByteArrayView a, QByteArrayView b, bool folded)
{
    return a.size() == b.size() && (folded ? BytesFolded(a, b) == 0 : a == b);
}
int Doubles(double a, double b); // total order: NaN after every number
// One field of two rows in index order: null first (empty text counts as null).
int Field(TqxFieldKind kind, const TqxRowView& a, const TqxRowView& b, int f);
} // namespace qxCompare
