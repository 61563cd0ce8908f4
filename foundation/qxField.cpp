#include "qxField.h"

#include "GbkText.h"
#include "qxDataSet.h"
#include "qxErrors.h"
#include "qxNumbers.h"

#include <QDateTime>
#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kMsPerDay = 86400000;

qint64 firstDay() { return QDate(1, 1, 1).toJulianDay(); }
QDate dateOf(qint64 dayNumber) { return QDate::fromJulianDay(firstDay() + dayNumber - 1); }
qint64 dayNumberOf(const QDate& d) { return d.toJulianDay() - firstDay() + 1; }

QDateTime dateTimeOf(double ms)
{
    const double days = std::floor(ms / double(kMsPerDay));
    if (!(std::fabs(days) < 1e9)) // also NaN: no date of a calendar
        return QDateTime();
    return QDateTime(dateOf(qint64(days)), QTime::fromMSecsSinceStartOfDay(int(ms - days * double(kMsPerDay))));
}

double msOf(const QDateTime& dt)
{
    return double(dayNumberOf(dt.date())) * double(kMsPerDay) + dt.time().msecsSinceStartOfDay();
}

QString timeText(const QTime& t)
{
    return t.toString(t.msec() != 0 ? u"HH:mm:ss.zzz"_s : u"HH:mm:ss"_s);
}

// The texts a boolean is read from: True/False as written, and the words the
// configuration files use.
std::optional<bool> parseBoolText(const QString& text)
{
    const QString t = text.trimmed();
    for (const char16_t* w : {u"true", u"yes", u"是", u"1", u"-1"})
        if (t.compare(QStringView(w), Qt::CaseInsensitive) == 0)
            return true;
    for (const char16_t* w : {u"false", u"no", u"否", u"0"})
        if (t.compare(QStringView(w), Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

QString boolText(bool v) { return v ? u"True"_s : u"False"_s; }

} // namespace

std::optional<bool> TqxField::ParseBool(const QString& text)
{
    return parseBoolText(text);
}

QString FieldKindName(TqxFieldKind kind)
{
    switch (kind) {
    case TqxFieldKind::String:
        return u"字符串"_s;
    case TqxFieldKind::Integer:
        return u"整数"_s;
    case TqxFieldKind::Float:
        return u"浮点数"_s;
    case TqxFieldKind::Money:
        return u"货币"_s;
    case TqxFieldKind::Boolean:
        return u"布尔"_s;
    case TqxFieldKind::Date:
        return u"日期"_s;
    case TqxFieldKind::Time:
        return u"时间"_s;
    case TqxFieldKind::DateTime:
        return u"日期时间"_s;
    }
    return QString();
}

TqxField::TqxField(TqxDataSet* dataSet, int index, const TqxFieldDef& def)
    : FDataSet(dataSet), FIndex(index), FDef(def)
{
}

bool TqxField::IsNumeric() const
{
    return FDef.Kind == TqxFieldKind::Integer || FDef.Kind == TqxFieldKind::Float || FDef.Kind == TqxFieldKind::Money;
}

bool TqxField::IsNull() const
{
    const TqxRowView row = FDataSet->ActiveRow();
    return row.IsNull(FIndex);
}

QString TqxField::AsString() const
{
    const TqxRowView row = FDataSet->ActiveRow();
    if (row.IsNull(FIndex))
        return QString();
    switch (FDef.Kind) {
    case TqxFieldKind::String:
        return Gbk::Decode(row.Bytes(FIndex));
    case TqxFieldKind::Integer:
        return QString::number(row.Int(FIndex));
    case TqxFieldKind::Float:
        return FloatToStr(row.Float(FIndex));
    case TqxFieldKind::Money:
        return MoneyToStr(row.Float(FIndex));
    case TqxFieldKind::Boolean:
        return boolText(row.Bool(FIndex));
    case TqxFieldKind::Date:
        return dateOf(row.Int(FIndex)).toString(Qt::ISODate);
    case TqxFieldKind::Time:
        return timeText(QTime::fromMSecsSinceStartOfDay(int(quint32(row.Cells[FIndex]))));
    case TqxFieldKind::DateTime: {
        const QDateTime dt = dateTimeOf(row.Float(FIndex));
        return dt.date().toString(Qt::ISODate) + u' ' + timeText(dt.time());
    }
    }
    return QString();
}

qint32 TqxField::AsInteger() const
{
    const TqxRowView row = FDataSet->ActiveRow();
    if (row.IsNull(FIndex))
        return 0;
    switch (FDef.Kind) {
    case TqxFieldKind::String: {
        bool ok = false;
        const QString text = AsString();
        const qint32 v = text.trimmed().toInt(&ok);
        if (!ok)
            BadValue(text);
        return v;
    }
    case TqxFieldKind::Float:
    case TqxFieldKind::Money:
    case TqxFieldKind::DateTime: {
        const double v = std::round(row.Float(FIndex));
        if (!(v >= double(std::numeric_limits<qint32>::min()) && v <= double(std::numeric_limits<qint32>::max())))
            throw EKavelinErr(u"字段“"_s + FDef.Name + u"”的值 "_s + AsString() + u" 超出了整数的范围！"_s);
        return qint32(v);
    }
    case TqxFieldKind::Boolean:
        return row.Bool(FIndex) ? 1 : 0;
    case TqxFieldKind::Time:
        return qint32(quint32(row.Cells[FIndex]));
    default:
        return row.Int(FIndex);
    }
}

double TqxField::AsFloat() const
{
    const TqxRowView row = FDataSet->ActiveRow();
    if (row.IsNull(FIndex))
        return 0;
    switch (FDef.Kind) {
    case TqxFieldKind::String: {
        bool ok = false;
        const QString text = AsString();
        const double v = text.trimmed().toDouble(&ok);
        if (!ok)
            BadValue(text);
        return v;
    }
    case TqxFieldKind::Float:
    case TqxFieldKind::Money:
    case TqxFieldKind::DateTime:
        return row.Float(FIndex);
    case TqxFieldKind::Boolean:
        return row.Bool(FIndex) ? 1 : 0;
    case TqxFieldKind::Time:
        return double(quint32(row.Cells[FIndex]));
    default:
        return row.Int(FIndex);
    }
}

bool TqxField::AsBoolean() const
{
    const TqxRowView row = FDataSet->ActiveRow();
    if (row.IsNull(FIndex))
        return false;
    switch (FDef.Kind) {
    case TqxFieldKind::String: {
        const QString text = AsString();
        const std::optional<bool> v = TqxField::ParseBool(text);
        if (!v)
            BadValue(text);
        return *v;
    }
    case TqxFieldKind::Boolean:
        return row.Bool(FIndex);
    default:
        return AsFloat() != 0;
    }
}

QVariant TqxField::AsVariant() const
{
    const TqxRowView row = FDataSet->ActiveRow();
    if (row.IsNull(FIndex))
        return QVariant();
    switch (FDef.Kind) {
    case TqxFieldKind::String:
        return AsString();
    case TqxFieldKind::Integer:
        return row.Int(FIndex);
    case TqxFieldKind::Float:
    case TqxFieldKind::Money:
        return row.Float(FIndex);
    case TqxFieldKind::Boolean:
        return row.Bool(FIndex);
    case TqxFieldKind::Date:
        return dateOf(row.Int(FIndex));
    case TqxFieldKind::Time:
        return QTime::fromMSecsSinceStartOfDay(int(quint32(row.Cells[FIndex])));
    case TqxFieldKind::DateTime:
        return dateTimeOf(row.Float(FIndex));
    }
    return QVariant();
}

void TqxField::BadValue(const QString& text) const
{
    throw EKavelinErr(u"“"_s + text + u"”不是字段“"_s + FDef.Name + u"”的有效"_s + FieldKindName(FDef.Kind) +
                      u"值！"_s);
}

void TqxField::Clear()
{
    FDataSet->BeginFieldWrite(this);
    FDataSet->Buffer().SetNull(FIndex);
    FDataSet->EndFieldWrite(this);
}

void TqxField::SetAsString(const QString& value)
{
    FDataSet->BeginFieldWrite(this);
    TqxRecord& buffer = FDataSet->Buffer();
    if (FDef.Kind == TqxFieldKind::String) {
        buffer.SetBytes(FIndex, Gbk::EncodeLimited(value, FDef.Size));
        FDataSet->EndFieldWrite(this);
        return;
    }
    const QString t = value.trimmed();
    if (t.isEmpty()) {
        buffer.SetNull(FIndex);
        FDataSet->EndFieldWrite(this);
        return;
    }
    bool ok = false;
    quint64 bits = 0;
    switch (FDef.Kind) {
    case TqxFieldKind::Integer:
        bits = qxCell::FromInt(t.toInt(&ok));
        break;
    case TqxFieldKind::Float:
    case TqxFieldKind::Money: {
        // toDouble takes "nan" and "inf"; neither is an amount or a quantity,
        // and either would spread through every total computed from it.
        const double v = t.toDouble(&ok);
        ok = ok && std::isfinite(v);
        bits = qxCell::FromFloat(FDef.Kind == TqxFieldKind::Money ? RoundMoney(v) : v);
        break;
    }
    case TqxFieldKind::Boolean:
        if (const std::optional<bool> b = TqxField::ParseBool(t)) {
            bits = qxCell::FromBool(*b);
            ok = true;
        }
        break;
    case TqxFieldKind::Date:
        if (const QDate d = QDate::fromString(t, Qt::ISODate); d.isValid()) {
            bits = qxCell::FromInt(qint32(dayNumberOf(d)));
            ok = true;
        }
        break;
    case TqxFieldKind::Time:
        if (const QTime tm = QTime::fromString(t, Qt::ISODateWithMs); tm.isValid()) {
            bits = quint32(tm.msecsSinceStartOfDay());
            ok = true;
        }
        break;
    case TqxFieldKind::DateTime: {
        QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs);
        if (!dt.isValid())
            dt = QDateTime(QDate::fromString(t, Qt::ISODate), QTime(0, 0));
        if (dt.isValid()) {
            bits = qxCell::FromFloat(msOf(dt));
            ok = true;
        }
        break;
    }
    case TqxFieldKind::String:
        break;
    }
    if (!ok)
        BadValue(value);
    buffer.SetCell(FIndex, bits);
    FDataSet->EndFieldWrite(this);
}

void TqxField::SetAsInteger(qint32 value)
{
    switch (FDef.Kind) {
    case TqxFieldKind::Integer:
    case TqxFieldKind::Date:
        FDataSet->BeginFieldWrite(this);
        FDataSet->Buffer().SetCell(FIndex, qxCell::FromInt(value));
        FDataSet->EndFieldWrite(this);
        return;
    case TqxFieldKind::Boolean:
        SetAsBoolean(value != 0);
        return;
    case TqxFieldKind::String:
        SetAsString(QString::number(value));
        return;
    default:
        SetAsFloat(value);
        return;
    }
}

void TqxField::SetAsFloat(double value)
{
    quint64 bits = 0;
    switch (FDef.Kind) {
    case TqxFieldKind::String:
        SetAsString(FloatToStr(value));
        return;
    case TqxFieldKind::Boolean:
        SetAsBoolean(value != 0);
        return;
    case TqxFieldKind::Integer:
    case TqxFieldKind::Date:
    case TqxFieldKind::Time: {
        const double v = std::round(value);
        const double lo = FDef.Kind == TqxFieldKind::Time ? 0 : double(std::numeric_limits<qint32>::min());
        const double hi = FDef.Kind == TqxFieldKind::Time ? double(kMsPerDay - 1) : double(std::numeric_limits<qint32>::max());
        if (!(v >= lo && v <= hi))
            throw EKavelinErr(u"数值 "_s + QString::number(value, 'g', 15) + u" 超出了字段“"_s + FDef.Name +
                              u"”的范围！"_s);
        bits = FDef.Kind == TqxFieldKind::Time ? quint64(quint32(v)) : qxCell::FromInt(qint32(v));
        break;
    }
    case TqxFieldKind::Money:
        bits = qxCell::FromFloat(RoundMoney(value));
        break;
    default:
        bits = qxCell::FromFloat(value);
        break;
    }
    FDataSet->BeginFieldWrite(this);
    FDataSet->Buffer().SetCell(FIndex, bits);
    FDataSet->EndFieldWrite(this);
}

void TqxField::SetAsBoolean(bool value)
{
    if (FDef.Kind == TqxFieldKind::String) {
        SetAsString(boolText(value));
        return;
    }
    if (FDef.Kind != TqxFieldKind::Boolean) {
        SetAsInteger(value ? 1 : 0);
        return;
    }
    FDataSet->BeginFieldWrite(this);
    FDataSet->Buffer().SetCell(FIndex, qxCell::FromBool(value));
    FDataSet->EndFieldWrite(this);
}

void TqxField::SetAsVariant(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        Clear();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        SetAsBoolean(value.toBool());
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort: {
        bool ok = false;
        const qlonglong v = value.toLongLong(&ok);
        if (ok && v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max())
            SetAsInteger(qint32(v));
        else
            SetAsFloat(value.toDouble());
        return;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        SetAsFloat(value.toDouble());
        return;
    case QMetaType::QDate:
        if (FDef.Kind == TqxFieldKind::Date || FDef.Kind == TqxFieldKind::DateTime) {
            SetAsString(value.toDate().toString(Qt::ISODate));
            return;
        }
        break;
    case QMetaType::QDateTime:
        if (FDef.Kind == TqxFieldKind::DateTime) {
            SetAsFloat(msOf(value.toDateTime()));
            return;
        }
        if (FDef.Kind == TqxFieldKind::Date) {
            SetAsString(value.toDateTime().date().toString(Qt::ISODate));
            return;
        }
        break;
    default:
        break;
    }
    SetAsString(value.toString());
}

QString TqxField::DefaultText(bool display) const
{
    if (display && FDef.Kind == TqxFieldKind::Money) {
        const TqxRowView row = FDataSet->ActiveRow();
        return row.IsNull(FIndex) ? QString() : FormatFixed(row.Float(FIndex), 2);
    }
    return AsString();
}

QString TqxField::DisplayText() const
{
    QString text = DefaultText(true);
    if (OnGetText)
        OnGetText(const_cast<TqxField*>(this), text, true);
    return text;
}

QString TqxField::Text() const
{
    QString text = DefaultText(false);
    if (OnGetText)
        OnGetText(const_cast<TqxField*>(this), text, false);
    return text;
}
