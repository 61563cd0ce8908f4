#include "qxPacket.h"

#include "GbkText.h"
#include "qxErrors.h"

#include <QtEndian>
#include <cstring>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace {

constexpr char kMagic[4] = {char(0x96), char(0x19), char(0xE0), char(0xBD)};
constexpr int kHeaderSize = 24;

enum : quint16 {
    ptInteger = 1,
    ptUnsigned = 2,
    ptBoolean = 3,
    ptDouble = 4,
    ptDate = 6,
    ptTime = 7,
    ptDateTime = 8,
    ptString = 0x49,
    ptVarying = 0x40,
    ptArray = 0x80,
};

// A row is part of the table unless it is an old copy, deleted or unused.
constexpr quint8 kNotInTable = 0x01 | 0x02 | 0x20;

// How one field's values sit in the rows.
struct Layout {
    TqxFieldKind kind;
    int size;      // bytes of a fixed value, or of a text's length prefix
    bool isSigned; // integers
};

quint32 uintAt(const char* p, int size)
{
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v |= quint32(quint8(p[i])) << (8 * i);
    return v;
}

// The longest head of GBK bytes within width that ends on a character boundary.
qsizetype fitWidth(QByteArrayView text, qsizetype width)
{
    qsizetype pos = 0;
    while (pos < text.size()) {
        const auto b = quint8(text[pos]);
        const int w = b >= 0x81 && b <= 0xFE && pos + 1 < text.size() ? 2 : 1;
        if (pos + w > width)
            break;
        pos += w;
    }
    return pos;
}

class Reader {
public:
    Reader(QByteArrayView bytes, const QString& source) : FData(bytes), FSource(source) {}
    TqxRowData Read();

private:
    struct Property {
        QByteArrayView name;
        quint16 size = 0;
        quint16 type = 0;
        QByteArrayView value; // varying: without its prefix; array: the elements
        quint32 count = 0;    // array elements
    };

    [[noreturn]] void Fail(const QString& what) const
    {
        throw EFileError(u"表文件“"_s + FSource + u"”已损坏："_s + what);
    }
    qsizetype Left() const { return FData.size() - FPos; }
    void Need(qsizetype n, const QString& what) const
    {
        if (n < 0 || Left() < n)
            Fail(what + u"超出了文件末尾。"_s);
    }
    quint8 U8() { return quint8(FData[FPos++]); }
    quint16 U16()
    {
        const auto v = qFromLittleEndian<quint16>(FData.data() + FPos);
        FPos += 2;
        return v;
    }
    quint32 U32()
    {
        const auto v = qFromLittleEndian<quint32>(FData.data() + FPos);
        FPos += 4;
        return v;
    }
    QString FieldOf(int f) const { return u"字段“"_s + FDefs[size_t(f)].Name + u"”"_s; }
    [[noreturn]] void FailValue(qsizetype row, int f) const
    {
        Fail(u"第 "_s + QString::number(row + 1) + u" 行"_s + FieldOf(f) + u"的数据超出了文件末尾。"_s);
    }

    Property ReadProperty(const QString& owner);
    void ReadField(int index);
    // Reads one value into the table, or passes over it when rec < 0.
    void ReadValue(TqxRowData& data, TqxRecId rec, int f, qsizetype row);
    void ResolveUnchanged(TqxRowData& data, TqxRecId rec, int f, quint32 row);

    QByteArrayView FData;
    const QString& FSource;
    qsizetype FPos = 0;
    TqxFieldDefs FDefs;
    std::vector<QByteArray> FNameKeys;
    std::vector<Layout> FLayouts;
    int FNullBytes = 0;
    std::vector<qsizetype> FRowStart;
    std::unordered_map<quint32, quint32> FReplaces; // stored row -> the row it replaces (1-based)
};

Reader::Property Reader::ReadProperty(const QString& owner)
{
    const QString what = owner + u"的属性"_s;
    Need(1, what);
    const int nameLen = U8();
    Need(nameLen + 4, what);
    Property p;
    p.name = FData.sliced(FPos, nameLen);
    FPos += nameLen;
    p.size = U16();
    p.type = U16() & 0x7FFF;
    const QString named = owner + u"的属性 "_s + QString::fromLatin1(p.name) + u" "_s;
    if (p.type & ptArray) {
        Need(4, named);
        p.count = U32();
        if (p.size != 0 && p.count > quint64(Left()) / p.size)
            Fail(named + u"超出了文件末尾。"_s);
        const qsizetype n = qsizetype(p.count) * p.size;
        p.value = FData.sliced(FPos, n);
        FPos += n;
    } else if (p.type & ptVarying) {
        if (p.size != 1 && p.size != 2 && p.size != 4)
            Fail(named + u"的长度前缀（"_s + QString::number(p.size) + u" 字节）无效。"_s);
        Need(p.size, named);
        const quint32 n = uintAt(FData.data() + FPos, p.size);
        FPos += p.size;
        if (n > quint64(Left()))
            Fail(named + u"超出了文件末尾。"_s);
        p.value = FData.sliced(FPos, qsizetype(n));
        FPos += qsizetype(n);
    } else {
        Need(p.size, named);
        p.value = FData.sliced(FPos, p.size);
        FPos += p.size;
    }
    return p;
}

void Reader::ReadField(int index)
{
    const QString what = u"第 "_s + QString::number(index + 1) + u" 个字段的描述"_s;
    Need(1, what);
    const int nameLen = U8();
    Need(nameLen + 8, what);
    TqxFieldDef def;
    def.Name = Gbk::Decode(FData.sliced(FPos, nameLen));
    FPos += nameLen;
    if (def.Name.isEmpty())
        Fail(what + u"没有字段名。"_s);
    // Compared as they will be written again: bytes that are no GBK text
    // must not turn two names into one on the next save.
    const QByteArray key = Gbk::Encode(def.Name);
    for (const QByteArray& k : FNameKeys)
        if (qxCompare::Equal(k, key, true))
            Fail(u"字段名“"_s + def.Name + u"”重复。"_s);
    FNameKeys.push_back(key);
    const QString named = u"字段“"_s + def.Name + u"”"_s;
    const quint16 size = U16();
    const quint16 type = U16();
    const quint16 attributes = U16();
    const int propCount = U16();
    def.Required = attributes & 4;

    int width = 0;
    bool money = false;
    if (qsizetype(propCount) * 5 > Left())
        Fail(named + u"的属性超出了文件末尾。"_s);
    for (int i = 0; i < propCount; ++i) {
        const Property p = ReadProperty(named);
        if (p.name == "WIDTH" && !(p.type & (ptArray | ptVarying)) && p.size >= 1 && p.size <= 4) {
            width = int(std::min<quint32>(uintAt(p.value.data(), p.size), 0xFFFF));
        } else if (p.name == "SUBTYPE") {
            QByteArray value = p.value.toByteArray();
            value.replace('\0', QByteArray());
            money = value == "Money";
        }
    }

    const auto unsupported = [&]() {
        throw EFileError(u"表文件“"_s + FSource + u"”中"_s + named + u"的类型（0x"_s +
                         QString::number(type, 16).toUpper().rightJustified(2, u'0') + u"，"_s +
                         QString::number(size) + u" 字节）不受支持。"_s);
    };
    Layout l{TqxFieldKind::String, size, false};
    switch (type) {
    case ptInteger:
    case ptUnsigned:
        if (size != 1 && size != 2 && (size != 4 || type == ptUnsigned))
            unsupported();
        l = {TqxFieldKind::Integer, size, type == ptInteger};
        break;
    case ptBoolean:
        if (size < 1 || size > 4)
            unsupported();
        l = {TqxFieldKind::Boolean, size, false};
        break;
    case ptDouble:
        if (size != 8)
            unsupported();
        l = {money ? TqxFieldKind::Money : TqxFieldKind::Float, size, true};
        break;
    case ptDate:
    case ptTime:
        if (size != 4)
            unsupported();
        l = {type == ptDate ? TqxFieldKind::Date : TqxFieldKind::Time, size, false};
        break;
    case ptDateTime:
        if (size != 8)
            unsupported();
        l = {TqxFieldKind::DateTime, size, true};
        break;
    case ptString:
        if (size != 1 && size != 2)
            unsupported();
        def.Size = width > 0 ? width : (size == 1 ? 0xFF : 0xFFFF);
        break;
    default:
        unsupported();
    }
    def.Kind = l.kind;
    FDefs.push_back(def);
    FLayouts.push_back(l);
}

void Reader::ReadValue(TqxRowData& data, TqxRecId rec, int f, qsizetype row)
{
    const Layout& l = FLayouts[size_t(f)];
    if (Left() < l.size)
        FailValue(row, f);
    const char* p = FData.data() + FPos;
    FPos += l.size;
    if (l.kind != TqxFieldKind::String) {
        if (rec < 0)
            return;
        quint64 bits = 0;
        switch (l.kind) {
        case TqxFieldKind::Integer: {
            const quint32 raw = uintAt(p, l.size);
            qint32 v = qint32(raw);
            if (l.isSigned && l.size < 4) {
                const int shift = 32 - 8 * l.size;
                v = qint32(raw << shift) >> shift;
            }
            bits = qxCell::FromInt(v);
            break;
        }
        case TqxFieldKind::Boolean:
            bits = qxCell::FromBool(uintAt(p, l.size) != 0);
            break;
        case TqxFieldKind::Date:
        case TqxFieldKind::Time:
            bits = uintAt(p, 4);
            break;
        default:
            bits = qFromLittleEndian<quint64>(p);
            break;
        }
        data.SetCell(rec, f, bits);
        return;
    }
    const quint32 n = uintAt(p, l.size);
    if (quint64(Left()) < n)
        FailValue(row, f);
    QByteArrayView text = FData.sliced(FPos, qsizetype(n));
    FPos += qsizetype(n);
    if (rec < 0)
        return;
    // Some shipped values are a single zero byte: text ends at the first zero.
    if (const void* zero = std::memchr(text.data(), 0, size_t(text.size())))
        text = text.first(static_cast<const char*>(zero) - text.data());
    const int width = FDefs[size_t(f)].Size;
    if (text.size() > width)
        text = text.first(fitWidth(text, width));
    data.SetBytes(rec, f, text);
}

// A changed row marks the values it did not change; they are those of the
// row it replaces, which the change log names.
void Reader::ResolveUnchanged(TqxRowData& data, TqxRecId rec, int f, quint32 row)
{
    quint32 current = row + 1;
    for (size_t steps = 0; steps < FRowStart.size(); ++steps) {
        const auto it = FReplaces.find(current);
        if (it == FReplaces.end() || it->second == 0 || it->second > FRowStart.size())
            return;
        current = it->second;
        FPos = FRowStart[current - 1] + 1;
        const char* nulls = FData.data() + FPos;
        FPos += FNullBytes;
        for (int g = 0; g <= f; ++g) {
            const int code = (quint8(nulls[g / 4]) >> (2 * (g % 4))) & 3;
            if (g < f) {
                if (code == 0)
                    ReadValue(data, -1, g, current - 1);
            } else if (code == 0) {
                ReadValue(data, rec, f, current - 1);
                return;
            } else if (code != 2) {
                return;
            }
        }
    }
}

TqxRowData Reader::Read()
{
    if (FData.size() < kHeaderSize || std::memcmp(FData.data(), kMagic, 4) != 0)
        throw EFileError(u"文件“"_s + FSource + u"”不是表数据文件。"_s);
    FPos = 4;
    const quint32 version = U32();
    if (version != 1 && version != 2)
        throw EFileError(u"表文件“"_s + FSource + u"”的版本 "_s + QString::number(version) + u" 不受支持。"_s);
    const quint32 headerSize = U32();
    const int fieldCount = U16();
    const quint32 rowCount = U32();
    if (headerSize < kHeaderSize || headerSize > quint64(FData.size()))
        Fail(u"文件头的长度无效。"_s);
    FPos = qsizetype(headerSize);
    if (fieldCount == 0)
        Fail(u"没有字段。"_s);
    if (qsizetype(fieldCount) * 9 > Left())
        Fail(u"字段数 "_s + QString::number(fieldCount) + u" 超出了文件的大小。"_s);
    FDefs.reserve(size_t(fieldCount));
    FLayouts.reserve(size_t(fieldCount));
    for (int i = 0; i < fieldCount; ++i)
        ReadField(i);

    Need(2, u"表属性"_s);
    const int propCount = U16();
    if (qsizetype(propCount) * 5 > Left())
        Fail(u"表属性超出了文件末尾。"_s);
    for (int i = 0; i < propCount; ++i) {
        const Property p = ReadProperty(u"表"_s);
        if (p.name == "CHANGE_LOG" && (p.type & ptArray) && p.size == 4) {
            for (quint32 e = 0; e + 2 < p.count; e += 3) {
                const quint32 stored = uintAt(p.value.data() + 4 * e, 4);
                const quint32 replaced = uintAt(p.value.data() + 4 * (e + 1), 4);
                if (replaced != 0)
                    FReplaces[stored] = replaced;
            }
        }
    }

    FNullBytes = (fieldCount + 3) / 4;
    const qsizetype minRow = 1 + FNullBytes;
    if (rowCount > quint64(Left()) / quint64(minRow))
        Fail(u"记录数 "_s + QString::number(rowCount) + u" 超出了文件的大小。"_s);
    TqxRowData data(FDefs);
    data.Reserve(qsizetype(rowCount), Left());
    FRowStart.reserve(rowCount);
    struct Unchanged {
        TqxRecId rec;
        int f;
        quint32 row;
    };
    std::vector<Unchanged> unchanged;
    for (quint32 row = 0; row < rowCount; ++row) {
        if (Left() < minRow)
            Fail(u"第 "_s + QString::number(row + 1) + u" 行超出了文件末尾。"_s);
        FRowStart.push_back(FPos);
        const quint8 status = U8();
        const char* nulls = FData.data() + FPos;
        FPos += FNullBytes;
        const TqxRecId rec = (status & kNotInTable) == 0 ? data.AppendRow() : -1;
        for (int f = 0; f < fieldCount; ++f) {
            const int code = (quint8(nulls[f / 4]) >> (2 * (f % 4))) & 3;
            if (code == 0)
                ReadValue(data, rec, f, row);
            else if (code == 2 && rec >= 0)
                unchanged.push_back({rec, f, row});
        }
    }
    // The row count is trusted by nothing else: bytes after the last row mean
    // it was damaged, and loading only the rows it names would lose the rest
    // for good on the next save.
    if (Left() != 0)
        Fail(u"记录数 "_s + QString::number(rowCount) + u" 之后还有 "_s + QString::number(Left()) +
             u" 字节的数据。"_s);
    for (const Unchanged& u : unchanged)
        ResolveUnchanged(data, u.rec, u.f, u.row);
    return data;
}

// Appends little-endian values to a buffer sized beforehand.
class Out {
public:
    explicit Out(char* p) : FP(p) {}
    void U8(quint8 v) { *FP++ = char(v); }
    void U16(quint16 v)
    {
        qToLittleEndian(v, FP);
        FP += 2;
    }
    void U32(quint32 v)
    {
        qToLittleEndian(v, FP);
        FP += 4;
    }
    void U64(quint64 v)
    {
        qToLittleEndian(v, FP);
        FP += 8;
    }
    void Bytes(const char* p, qsizetype n)
    {
        std::memcpy(FP, p, size_t(n));
        FP += n;
    }
    char* Pos() const { return FP; }

private:
    char* FP;
};

int prefixSize(const TqxFieldDef& d) { return d.Size < 0xFF ? 1 : 2; }

int valueSize(const TqxFieldDef& d)
{
    switch (d.Kind) {
    case TqxFieldKind::String:
        return prefixSize(d);
    case TqxFieldKind::Boolean:
        return 2;
    case TqxFieldKind::Integer:
    case TqxFieldKind::Date:
    case TqxFieldKind::Time:
        return 4;
    default:
        return 8;
    }
}

quint16 typeCode(TqxFieldKind kind)
{
    switch (kind) {
    case TqxFieldKind::String:
        return ptString;
    case TqxFieldKind::Integer:
        return ptInteger;
    case TqxFieldKind::Boolean:
        return ptBoolean;
    case TqxFieldKind::Date:
        return ptDate;
    case TqxFieldKind::Time:
        return ptTime;
    case TqxFieldKind::DateTime:
        return ptDateTime;
    default:
        return ptDouble;
    }
}

QByteArray descriptors(const TqxFieldDefs& defs)
{
    QByteArray out;
    for (const TqxFieldDef& d : defs) {
        const QByteArray name = Gbk::EncodeLimited(d.Name, 0xFF);
        out.append(char(name.size())).append(name);
        char fixed[8];
        qToLittleEndian<quint16>(quint16(valueSize(d)), fixed);
        qToLittleEndian<quint16>(typeCode(d.Kind), fixed + 2);
        qToLittleEndian<quint16>(d.Required ? 4 : 0, fixed + 4);
        const bool prop = d.Kind == TqxFieldKind::String || d.Kind == TqxFieldKind::Money;
        qToLittleEndian<quint16>(prop ? 1 : 0, fixed + 6);
        out.append(fixed, 8);
        if (d.Kind == TqxFieldKind::String) {
            char width[2];
            qToLittleEndian<quint16>(quint16(d.Size), width);
            out.append("\x05WIDTH\x02\x00\x02\x00", 10).append(width, 2);
        } else if (d.Kind == TqxFieldKind::Money) {
            out.append("\x07SUBTYPE\x02\x00\x49\x00\x06\x00Money\x00", 20);
        }
    }
    return out;
}

} // namespace

TqxRowData TqxPacket::Read(QByteArrayView bytes, const QString& sourceName)
{
    return Reader(bytes, sourceName).Read();
}

QByteArray TqxPacket::Write(const TqxRowData& data)
{
    const TqxFieldDefs& defs = data.Defs();
    const int n = int(defs.size());
    const int nullBytes = (n + 3) / 4;
    const QByteArray head = descriptors(defs);
    const std::vector<TqxRecId>& rows = data.Order();
    qsizetype fixedPerRow = 1 + nullBytes;
    for (const TqxFieldDef& d : defs)
        fixedPerRow += valueSize(d);
    const qsizetype bound = kHeaderSize + head.size() + 2 + qsizetype(rows.size()) * fixedPerRow + data.TextSize();

    QByteArray out(bound, Qt::Uninitialized);
    Out w(out.data());
    w.Bytes(kMagic, 4);
    w.U32(1);
    w.U32(kHeaderSize);
    w.U16(quint16(n));
    w.U32(quint32(rows.size()));
    const qsizetype firstRow = kHeaderSize + head.size() + 2;
    w.U32(firstRow <= 0xFFFF ? 3 : 1); // the offset field holds only 16 bits
    w.U16(quint16(firstRow <= 0xFFFF ? firstRow : 0));
    w.Bytes(head.constData(), head.size());
    w.U16(0);

    std::vector<quint8> nullBits(static_cast<size_t>(nullBytes));
    for (const TqxRecId r : rows) {
        const TqxRowView row = data.Row(r);
        w.U8(0);
        std::fill(nullBits.begin(), nullBits.end(), 0);
        for (int f = 0; f < n; ++f)
            if (row.IsNull(f))
                nullBits[size_t(f / 4)] |= quint8(1 << (2 * (f % 4)));
        w.Bytes(reinterpret_cast<const char*>(nullBits.data()), nullBytes);
        for (int f = 0; f < n; ++f) {
            if (row.IsNull(f))
                continue;
            const TqxFieldDef& d = defs[size_t(f)];
            switch (d.Kind) {
            case TqxFieldKind::String: {
                const QByteArrayView text = row.Bytes(f);
                const qsizetype len = std::min<qsizetype>(text.size(), prefixSize(d) == 1 ? 0xFF : 0xFFFF);
                if (prefixSize(d) == 1)
                    w.U8(quint8(len));
                else
                    w.U16(quint16(len));
                w.Bytes(text.data(), len);
                break;
            }
            case TqxFieldKind::Boolean:
                w.U16(row.Bool(f) ? 1 : 0);
                break;
            case TqxFieldKind::Integer:
            case TqxFieldKind::Date:
            case TqxFieldKind::Time:
                w.U32(quint32(row.Cells[f]));
                break;
            default:
                w.U64(row.Cells[f]);
                break;
            }
        }
    }
    out.truncate(w.Pos() - out.constData());
    return out;
}

void TqxPacket::CheckDefs(const TqxFieldDefs& defs)
{
    if (defs.empty())
        throw EKavelinErr(u"表没有定义字段，无法创建！"_s);
    for (size_t i = 0; i < defs.size(); ++i) {
        const TqxFieldDef& d = defs[i];
        if (d.Name.trimmed().isEmpty())
            throw EKavelinErr(u"第 "_s + QString::number(i + 1) + u" 个字段没有名称！"_s);
        if (Gbk::ByteLength(d.Name) > 0xFF)
            throw EKavelinErr(u"字段名“"_s + d.Name + u"”太长！"_s);
        for (size_t j = 0; j < i; ++j)
            if (defs[j].Name.compare(d.Name, Qt::CaseInsensitive) == 0)
                throw EKavelinErr(u"字段名“"_s + d.Name + u"”重复！"_s);
        if (d.Kind == TqxFieldKind::String && (d.Size < 1 || d.Size > 0xFFFF))
            throw EKavelinErr(u"字段“"_s + d.Name + u"”的宽度 "_s + QString::number(d.Size) + u" 无效！"_s);
    }
}
