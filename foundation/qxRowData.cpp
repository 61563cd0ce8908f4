#include "qxRowData.h"

#include "qxErrors.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kLabelStep = qint64(1) << 20;
// Shared by every table, so a bookmark kept across a reload never names a
// row of the new content.
std::atomic<quint32> gNextSerial{1};
} // namespace

TqxRowData::TqxRowData(TqxFieldDefs defs) : FDefs(std::move(defs)), FN(int(FDefs.size())) {}

TqxRecId TqxRowData::NewSlot()
{
    TqxRecId r;
    if (!FFree.empty()) {
        r = FFree.back();
        FFree.pop_back();
    } else {
        if (FSerial.size() >= size_t(std::numeric_limits<TqxRecId>::max()))
            throw EKavelinErr(u"表的记录太多！"_s);
        r = TqxRecId(FSerial.size());
        FSerial.push_back(0);
        FLive.push_back(0);
        FLabel.push_back(0);
        FCells.resize(FCells.size() + size_t(FN));
        FNulls.resize(FNulls.size() + size_t(FN));
    }
    const size_t at = size_t(r) * size_t(FN);
    std::fill_n(FCells.begin() + qsizetype(at), FN, 0);
    std::fill_n(FNulls.begin() + qsizetype(at), FN, 1);
    quint32 serial = gNextSerial++;
    if (serial == 0)
        serial = gNextSerial++;
    FSerial[size_t(r)] = serial;
    return r;
}

void TqxRowData::FreeSlot(TqxRecId r)
{
    for (int f = 0; f < FN; ++f)
        SetNull(r, f);
    FSerial[size_t(r)] = 0;
    FLive[size_t(r)] = 0;
    FFree.push_back(r);
}

void TqxRowData::SetNull(TqxRecId r, int f)
{
    const size_t at = size_t(r) * size_t(FN) + size_t(f);
    if (FDefs[size_t(f)].Kind == TqxFieldKind::String)
        FGarbage += qsizetype(FCells[at] >> 32);
    FCells[at] = 0;
    FNulls[at] = 1;
}

void TqxRowData::SetCell(TqxRecId r, int f, quint64 bits)
{
    const size_t at = size_t(r) * size_t(FN) + size_t(f);
    FCells[at] = bits;
    FNulls[at] = 0;
}

quint32 TqxRowData::StoreText(QByteArrayView bytes)
{
    if (FText.size() + bytes.size() > qsizetype(std::numeric_limits<quint32>::max())) {
        CompactText(true);
        if (FText.size() + bytes.size() > qsizetype(std::numeric_limits<quint32>::max()))
            throw EKavelinErr(u"表的文字内容太多！"_s);
    }
    const auto offset = quint32(FText.size());
    const char* base = FText.constData();
    if (bytes.data() >= base && bytes.data() < base + FText.size()) {
        const QByteArray copy = bytes.toByteArray(); // appending may move the area it points into
        FText.append(copy);
    } else {
        FText.append(bytes);
    }
    return offset;
}

void TqxRowData::SetBytes(TqxRecId r, int f, QByteArrayView bytes)
{
    SetNull(r, f);
    if (bytes.isEmpty())
        return;
    const quint32 offset = StoreText(bytes);
    SetCell(r, f, qxCell::FromText(offset, quint32(bytes.size())));
}

void TqxRowData::SetRow(TqxRecId r, const TqxRowView& from)
{
    for (int f = 0; f < FN; ++f) {
        if (from.IsNull(f))
            SetNull(r, f);
        else if (FDefs[size_t(f)].Kind == TqxFieldKind::String)
            SetBytes(r, f, from.Bytes(f));
        else
            SetCell(r, f, from.Cells[f]);
    }
}

void TqxRowData::CopyRow(TqxRecId to, TqxRecId from)
{
    const size_t a = size_t(to) * size_t(FN);
    const size_t b = size_t(from) * size_t(FN);
    std::copy_n(FCells.begin() + qsizetype(b), FN, FCells.begin() + qsizetype(a));
    std::copy_n(FNulls.begin() + qsizetype(b), FN, FNulls.begin() + qsizetype(a));
}

bool TqxRowData::RowEquals(TqxRecId r, const TqxRowView& other) const
{
    const TqxRowView mine = Row(r);
    for (int f = 0; f < FN; ++f) {
        if (mine.IsNull(f) != other.IsNull(f))
            return false;
        if (mine.IsNull(f))
            continue;
        if (FDefs[size_t(f)].Kind == TqxFieldKind::String) {
            if (mine.Bytes(f) != other.Bytes(f))
                return false;
        } else if (mine.Cells[f] != other.Cells[f]) {
            return false;
        }
    }
    return true;
}

int TqxRowData::OrderPos(TqxRecId r) const
{
    if (!IsLive(r))
        return -1;
    const qint64 label = FLabel[size_t(r)];
    const auto it = std::lower_bound(FOrder.begin(), FOrder.end(), label,
                                     [this](TqxRecId x, qint64 l) { return FLabel[size_t(x)] < l; });
    return it != FOrder.end() && *it == r ? int(it - FOrder.begin()) : -1;
}

void TqxRowData::InsertAt(int pos, TqxRecId r)
{
    const auto count = int(FOrder.size());
    auto labelFor = [&]() -> std::optional<qint64> {
        if (count == 0)
            return 0;
        if (pos == count)
            return FLabel[size_t(FOrder.back())] + kLabelStep;
        if (pos == 0)
            return FLabel[size_t(FOrder.front())] - kLabelStep;
        const qint64 lo = FLabel[size_t(FOrder[size_t(pos - 1)])];
        const qint64 hi = FLabel[size_t(FOrder[size_t(pos)])];
        if (hi - lo < 2)
            return std::nullopt;
        return lo + (hi - lo) / 2;
    };
    std::optional<qint64> label = labelFor();
    if (!label || std::abs(*label) > (qint64(1) << 61)) {
        Relabel();
        label = labelFor();
    }
    FLabel[size_t(r)] = *label;
    FLive[size_t(r)] = 1;
    FOrder.insert(FOrder.begin() + pos, r);
}

void TqxRowData::RemoveAt(int pos)
{
    FLive[size_t(FOrder[size_t(pos)])] = 0;
    FOrder.erase(FOrder.begin() + pos);
}

void TqxRowData::SetOrder(std::vector<TqxRecId> order)
{
    for (const TqxRecId r : FOrder)
        FLive[size_t(r)] = 0;
    FOrder = std::move(order);
    for (const TqxRecId r : FOrder)
        FLive[size_t(r)] = 1;
    Relabel();
}

TqxRecId TqxRowData::AppendRow()
{
    const TqxRecId r = NewSlot();
    FLabel[size_t(r)] = FOrder.empty() ? 0 : FLabel[size_t(FOrder.back())] + kLabelStep;
    FLive[size_t(r)] = 1;
    FOrder.push_back(r);
    return r;
}

void TqxRowData::Relabel()
{
    qint64 label = 0;
    for (const TqxRecId r : FOrder) {
        FLabel[size_t(r)] = label;
        label += kLabelStep;
    }
}

void TqxRowData::Reserve(qsizetype rows, qsizetype textBytes)
{
    FSerial.reserve(size_t(rows));
    FLive.reserve(size_t(rows));
    FLabel.reserve(size_t(rows));
    FOrder.reserve(size_t(rows));
    FCells.reserve(size_t(rows) * size_t(FN));
    FNulls.reserve(size_t(rows) * size_t(FN));
    FText.reserve(textBytes);
}

void TqxRowData::CompactText(bool force)
{
    if (!force && (FGarbage < 1 << 20 || FGarbage * 2 < FText.size()))
        return;
    QByteArray text;
    text.reserve(std::max<qsizetype>(0, FText.size() - FGarbage));
    for (TqxRecId r = 0; r < SlotCount(); ++r) {
        if (FSerial[size_t(r)] == 0)
            continue;
        for (int f = 0; f < FN; ++f) {
            const size_t at = size_t(r) * size_t(FN) + size_t(f);
            if (FDefs[size_t(f)].Kind != TqxFieldKind::String || FNulls[at])
                continue;
            const QByteArrayView bytes = Row(r).Bytes(f);
            const auto offset = quint32(text.size());
            text.append(bytes);
            FCells[at] = qxCell::FromText(offset, quint32(bytes.size()));
        }
    }
    FText = std::move(text);
    FGarbage = 0;
}
