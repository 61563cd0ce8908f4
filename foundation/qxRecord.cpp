#include "qxRecord.h"

#include <cstring>

void TqxRecord::Reset(int fieldCount)
{
    FCells.assign(size_t(fieldCount), 0);
    FNulls.assign(size_t(fieldCount), 1);
    FText.clear();
}

void TqxRecord::Assign(const TqxRowView& row, const TqxFieldDefs& defs)
{
    const int n = int(defs.size());
    Reset(n);
    for (int f = 0; f < n; ++f) {
        if (row.IsNull(f))
            continue;
        if (defs[size_t(f)].Kind == TqxFieldKind::String)
            SetBytes(f, row.Bytes(f));
        else
            SetCell(f, row.Cells[f]);
    }
}

void TqxRecord::SetNull(int f)
{
    FCells[size_t(f)] = 0;
    FNulls[size_t(f)] = 1;
}

void TqxRecord::SetCell(int f, quint64 bits)
{
    FCells[size_t(f)] = bits;
    FNulls[size_t(f)] = 0;
}

void TqxRecord::SetBytes(int f, QByteArrayView bytes)
{
    if (bytes.isEmpty()) {
        SetNull(f);
        return;
    }
    const QByteArray copy = bytes.toByteArray(); // bytes may point into FText
    const auto offset = quint32(FText.size());
    FText.append(copy);
    SetCell(f, qxCell::FromText(offset, quint32(copy.size())));
}

namespace qxCompare {

namespace {

inline uchar fold(uchar c) { return c >= 'a' && c <= 'z' ? uchar(c - 32) : c; }
inline bool isLead(uchar c) { return c >= 0x81 && c <= 0xFE; }

} // namespace

int Bytes(QByteArrayView a, QByteArrayView b)
{
    const size_t n = size_t(std::min(a.size(), b.size()));
    if (n != 0) {
        const int c = std::memcmp(a.data(), b.data(), n);
        if (c != 0)
            return c < 0 ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int BytesFolded(QByteArrayView a, QByteArrayView b)
{
    const auto* pa = reinterpret_cast<const uchar*>(a.data());
    const auto* pb = reinterpret_cast<const uchar*>(b.data());
    const qsizetype n = std::min(a.size(), b.size());
    // Equal so far means both texts stand on the same character boundary.
    for (qsizetype i = 0; i < n; ++i) {
        const uchar ca = pa[i];
        const uchar cb = pb[i];
        if (isLead(ca) && ca == cb) {
            if (++i < n && pa[i] != pb[i])
                return pa[i] < pb[i] ? -1 : 1;
            continue;
        }
        const uchar fa = isLead(ca) ? ca : fold(ca);
        const uchar fb = isLead(cb) ? cb : fold(cb);
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool StartsWith(QByteArrayView text, QByteArrayView prefix, bool folded)
{
    if (prefix.size() > text.size())
        return false;
    const QByteArrayView head = text.first(prefix.size());
    return folded ? BytesFolded(head, prefix) == 0 : head == prefix;
}

int Doubles(double a, double b)
{
    if (a < b)
        return -1;
    if (a > b)
        return 1;
    if (a == b)
        return 0;
    const bool na = a != a;
    const bool nb = b != b;
    return na == nb ? 0 : (na ? 1 : -1);
}

int Field(TqxFieldKind kind, const TqxRowView& a, const TqxRowView& b, int f)
{
    if (kind == TqxFieldKind::String)
        return Bytes(a.Bytes(f), b.Bytes(f));
    const bool na = a.IsNull(f);
    const bool nb = b.IsNull(f);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (kind) {
    case TqxFieldKind::Float:
    case TqxFieldKind::Money:
    case TqxFieldKind::DateTime:
        return Doubles(a.Float(f), b.Float(f));
    case TqxFieldKind::Boolean:
        return int(a.Bool(f)) - int(b.Bool(f));
    case TqxFieldKind::Time: {
        const quint32 x = quint32(a.Cells[f]);
        const quint32 y = quint32(b.Cells[f]);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default: {
        const qint32 x = a.Int(f);
        const qint32 y = b.Int(f);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    }
}

} // namespace qxCompare
