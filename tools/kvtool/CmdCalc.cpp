// kvtool calc EXPR [--var NAME=VALUE]...: evaluates a fee formula the way the
// fee table does and prints the value with its kind.

#include "KvtoolCommon.h"
#include "qxExpFunctions.h"
#include "qxExpression.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {

bool isWholeNumber(const QString& text)
{
    qsizetype i = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    return true;
}

TqxVariant readValue(const QString& text)
{
    if (isWholeNumber(text)) {
        if (const std::optional<int> i = TryStrToInt(text))
            return *i;
    }
    if (const std::optional<double> d = TryStrToFloat(text); d && text.trimmed() == text)
        return *d;
    if (text.compare(u"True"_s, Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"False"_s, Qt::CaseInsensitive) == 0)
        return false;
    if (text.compare(u"null"_s, Qt::CaseInsensitive) == 0)
        return TqxVariant::Null();
    return text;
}

QString isoDate(double dayNumber)
{
    const std::optional<QDateTime> dt = DayNumberToDateTime(dayNumber);
    if (!dt)
        return FloatToStr(dayNumber);
    const QTime t = dt->time();
    if (t.msecsSinceStartOfDay() == 0)
        return dt->date().toString(Qt::ISODate);
    return dt->toString(t.msec() != 0 ? Qt::ISODateWithMs : Qt::ISODate);
}

QString describe(const TqxVariant& v)
{
    switch (v.Type()) {
    case vtEmpty:
        return u"empty\t"_s;
    case vtNull:
        return u"null\t"_s;
    case vtInteger:
        return u"integer\t"_s + QString::number(v.AsInteger());
    case vtDouble:
        return u"double\t"_s + FloatToStr(v.AsDouble());
    case vtBoolean:
        return v.AsBoolean() ? u"boolean\tTrue"_s : u"boolean\tFalse"_s;
    case vtString:
        return u"string\t"_s + v.AsString();
    case vtDate:
        return u"date\t"_s + isoDate(v.AsDouble());
    }
    return QString();
}

} // namespace

namespace Kvtool {

int RunCalc(const QStringList& args)
{
    const QString usage = u"kvtool calc EXPR [--var NAME=VALUE]..."_s;
    std::optional<QString> expr;
    QHash<QString, TqxVariant> vars;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == u"--var"_s) {
            if (i + 1 == args.size() || !args.at(i + 1).contains(u'='))
                return UsageError(usage);
            const QString& pair = args.at(++i);
            const qsizetype eq = pair.indexOf(u'=');
            vars.insert(UpperAscii(pair.left(eq)), readValue(pair.mid(eq + 1)));
        } else if (!expr) {
            expr = args.at(i);
        } else {
            return UsageError(usage);
        }
    }
    if (!expr)
        return UsageError(usage);

    TqxExp exp;
    exp.OnGetValue = [&](TqxExp*, const QString& name, TqxVariant& value) {
        const auto it = vars.constFind(name);
        if (it != vars.constEnd())
            value = *it;
    };
    TqxVariant value = TqxVariant::Null();
    exp.Calculate(*expr, value);
    if (!exp.Succeeded) {
        Out(u"error\t"_s + exp.ErrorText + u'\t' + QString::number(exp.ErrorPos));
        Err(u"公式无法计算："_s + (exp.ErrorText.isEmpty() ? u"计算出错"_s : exp.ErrorText));
        return Failed;
    }
    Out(describe(value));
    return Ok;
}

} // namespace Kvtool
