#include "qxVariant.h"

#include "GbkText.h"
#include "qxBasicClasses.h"
#include "qxExpFunctions.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

bool isIntegral(const TqxVariant& v) { return v.Type() == vtInteger || v.Type() == vtBoolean; }

qint64 integralValue(const TqxVariant& v)
{
    return v.Type() == vtBoolean ? (v.AsBoolean() ? -1 : 0) : v.AsInteger();
}

void refuseEmpty(const TqxVariant& a, const TqxVariant& b)
{
    if (a.IsEmpty() || b.IsEmpty())
        throw EqxExpErr(u"未赋值的变量不能参加运算！"_s);
}

// The platform raised on floating overflow; a fee of infinity helps no one.
double checkedFinite(double v)
{
    if (!std::isfinite(v))
        throw EqxExpErr(u"浮点运算溢出！"_s);
    return v;
}

TqxVariant fromInt64(qint64 v)
{
    if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max())
        return TqxVariant(int(v));
    return TqxVariant(double(v));
}

// Rounded to the nearest integer, halves to even (the default rounding mode).
qint64 roundToInt64(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throw EqxExpErr(u"数值 %1 超出整数范围！"_s.arg(FloatToStr(v)));
    return qint64(r);
}

qint64 toInt64(const TqxVariant& v)
{
    return isIntegral(v) ? integralValue(v) : roundToInt64(v.ToDouble());
}

// "+" and "-" keep a date a date, except that the difference of two dates
// is a number of days.
bool dateResult(char op, const TqxVariant& a, const TqxVariant& b)
{
    const bool da = a.Type() == vtDate;
    const bool db = b.Type() == vtDate;
    return (op == '+' && (da || db)) || (op == '-' && da && !db);
}

TqxVariant arithmetic(char op, const TqxVariant& a, const TqxVariant& b)
{
    refuseEmpty(a, b);
    if (a.IsNull() || b.IsNull())
        return TqxVariant::Null();
    if (op == '+' && a.Type() == vtString && b.Type() == vtString)
        return TqxVariant(a.AsString() + b.AsString());
    if (isIntegral(a) && isIntegral(b)) {
        const qint64 x = integralValue(a);
        const qint64 y = integralValue(b);
        const qint64 r = op == '+' ? x + y : op == '-' ? x - y : x * y;
        if (r >= std::numeric_limits<int>::min() && r <= std::numeric_limits<int>::max())
            return TqxVariant(int(r));
        const double dx = double(x), dy = double(y);
        return TqxVariant(op == '+' ? dx + dy : op == '-' ? dx - dy : dx * dy);
    }
    const double x = a.ToDouble();
    const double y = b.ToDouble();
    const double r = checkedFinite(op == '+' ? x + y : op == '-' ? x - y : x * y);
    return dateResult(op, a, b) ? TqxVariant::FromDate(r) : TqxVariant(r);
}

int compareBytes(const QString& a, const QString& b)
{
    const QByteArray x = Gbk::Encode(a);
    const QByteArray y = Gbk::Encode(b);
    const int c = std::memcmp(x.constData(), y.constData(), size_t(std::min(x.size(), y.size())));
    if (c != 0)
        return c < 0 ? -1 : 1;
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    // Characters GBK cannot hold all encode as "?": their codes still tell
    // two such texts apart.
    const int u = QStringView(a).compare(QStringView(b));
    return u < 0 ? -1 : u > 0 ? 1 : 0;
}

template <typename T>
int sign(T x, T y)
{
    return x < y ? -1 : x > y ? 1 : 0;
}

} // namespace

TqxVariant TqxVariant::Null()
{
    TqxVariant v;
    v.FType = vtNull;
    return v;
}

TqxVariant TqxVariant::FromDate(double dayNumber)
{
    TqxVariant v(dayNumber);
    v.FType = vtDate;
    return v;
}

double TqxVariant::ToDouble() const
{
    switch (FType) {
    case vtEmpty:
        return 0;
    case vtInteger:
        return FInt;
    case vtDouble:
    case vtDate:
        return FDouble;
    case vtBoolean:
        return FBool ? -1 : 0;
    case vtString:
        if (const std::optional<double> d = TryStrToFloat(FString))
            return *d;
        throw EqxExpErr(u"\"%1\" 不是有效的数值！"_s.arg(FString));
    case vtNull:
        break;
    }
    throw EqxExpErr(u"空值（Null）不能转换为数值！"_s);
}

int TqxVariant::ToInteger() const
{
    if (FType == vtInteger)
        return FInt;
    if (FType == vtBoolean)
        return FBool ? -1 : 0;
    const qint64 v = roundToInt64(ToDouble());
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw EqxExpErr(u"数值 %1 超出整数范围！"_s.arg(v));
    return int(v);
}

bool TqxVariant::ToBoolean() const
{
    switch (FType) {
    case vtEmpty:
        return false;
    case vtBoolean:
        return FBool;
    case vtInteger:
        return FInt != 0;
    case vtDouble:
    case vtDate:
        return FDouble != 0;
    case vtString:
        if (FString.compare(u"True"_s, Qt::CaseInsensitive) == 0)
            return true;
        if (FString.compare(u"False"_s, Qt::CaseInsensitive) == 0)
            return false;
        if (const std::optional<double> d = TryStrToFloat(FString))
            return *d != 0;
        throw EqxExpErr(u"\"%1\" 不是有效的逻辑值！"_s.arg(FString));
    case vtNull:
        break;
    }
    throw EqxExpErr(u"空值（Null）不能转换为逻辑值！"_s);
}

QString TqxVariant::ToString() const
{
    switch (FType) {
    case vtEmpty:
        return QString();
    case vtInteger:
        return QString::number(FInt);
    case vtDouble:
        return FloatToStr(FDouble);
    case vtBoolean:
        return FBool ? u"True"_s : u"False"_s;
    case vtString:
        return FString;
    case vtDate:
        return DateTimeToStr(FDouble);
    case vtNull:
        break;
    }
    throw EqxExpErr(u"空值（Null）不能转换为字符串！"_s);
}

TqxVariant TqxVariant::Add(const TqxVariant& a, const TqxVariant& b) { return arithmetic('+', a, b); }
TqxVariant TqxVariant::Subtract(const TqxVariant& a, const TqxVariant& b) { return arithmetic('-', a, b); }
TqxVariant TqxVariant::Multiply(const TqxVariant& a, const TqxVariant& b) { return arithmetic('*', a, b); }

TqxVariant TqxVariant::Divide(const TqxVariant& a, const TqxVariant& b)
{
    refuseEmpty(a, b);
    if (a.IsNull() || b.IsNull())
        return Null();
    const double x = a.ToDouble();
    const double y = b.ToDouble();
    if (y == 0)
        throw EqxExpErr(u"除数不能为零！"_s);
    return TqxVariant(checkedFinite(x / y));
}

TqxVariant TqxVariant::Modulus(const TqxVariant& a, const TqxVariant& b)
{
    refuseEmpty(a, b);
    if (a.IsNull() || b.IsNull())
        return Null();
    const qint64 x = toInt64(a);
    const qint64 y = toInt64(b);
    if (y == 0)
        throw EqxExpErr(u"除数不能为零！"_s);
    if (y == -1)
        return TqxVariant(0); // the one quotient 64 bits cannot hold
    return fromInt64(x % y);
}

int TqxVariant::Compare(const TqxVariant& a, const TqxVariant& b)
{
    refuseEmpty(a, b);
    if (a.IsNull() || b.IsNull())
        return a.IsNull() && b.IsNull() ? 0 : a.IsNull() ? -1 : 1;
    if (a.FType == vtString && b.FType == vtString)
        return compareBytes(a.FString, b.FString);
    if (isIntegral(a) && isIntegral(b))
        return sign(integralValue(a), integralValue(b));
    return sign(a.ToDouble(), b.ToDouble());
}

TqxVariant TqxVariant::And(const TqxVariant& a, const TqxVariant& b)
{
    refuseEmpty(a, b);
    if (a.IsNull() || b.IsNull())
        return Null();
    if (a.FType == vtBoolean && b.FType == vtBoolean)
        return TqxVariant(a.FBool && b.FBool);
    return fromInt64(toInt64(a) & toInt64(b));
}

TqxVariant TqxVariant::Or(const TqxVariant& a, const TqxVariant& b)
{
    refuseEmpty(a, b);
    if (a.IsNull() || b.IsNull())
        return Null();
    if (a.FType == vtBoolean && b.FType == vtBoolean)
        return TqxVariant(a.FBool || b.FBool);
    return fromInt64(toInt64(a) | toInt64(b));
}

TqxVariant TqxVariant::Not(const TqxVariant& a)
{
    if (a.IsEmpty())
        throw EqxExpErr(u"未赋值的变量不能参加运算！"_s);
    if (a.IsNull())
        return Null();
    if (a.FType == vtBoolean)
        return TqxVariant(!a.FBool);
    return fromInt64(~toInt64(a));
}

bool TqxVariant::operator==(const TqxVariant& other) const
{
    if (FType != other.FType)
        return false;
    switch (FType) {
    case vtEmpty:
    case vtNull:
        return true;
    case vtInteger:
        return FInt == other.FInt;
    case vtDouble:
    case vtDate:
        return FDouble == other.FDouble;
    case vtBoolean:
        return FBool == other.FBool;
    case vtString:
        return FString == other.FString;
    }
    return false;
}
