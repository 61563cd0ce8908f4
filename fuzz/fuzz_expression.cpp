// The formula evaluator on arbitrary text: Calculate never throws, never
// crashes, and a failed call leaves the value it was handed untouched.

#include "GbkText.h"
#include "qxExpFunctions.h"
#include "qxExpression.h"

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// Variables of every kind, chosen by the first letter of their name.
void getValue(TqxExp*, const QString& name, TqxVariant& value)
{
    const QChar c = name.isEmpty() ? QChar() : name.front();
    if (c.isDigit())
        value = name.toDouble();
    else if (c == u'I')
        value = int(name.size() * 1000003);
    else if (c == u'M')
        value = std::numeric_limits<int>::min();
    else if (c == u'B')
        value = name.size() % 2 == 0;
    else if (c == u'S')
        value = name.mid(1);
    else if (c == u'E')
        value = TqxVariant();
    else if (c == u'D')
        value = TqxVariant::FromDate(45429.25);
    else if (c != u'N')
        value = 169424.2;
}

void getFunctionValue(TqxExp*, const QString& name, TqxVariantList& params, TqxVariant& value)
{
    if (name == u"HOST"_s)
        value = params.Count();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = [] {
        SetExpClock([] { return QDateTime(QDate(2024, 5, 17), QTime(14, 30, 15)); });
        SetExpLocale(QLocale(QLocale::Chinese, QLocale::China));
        return true;
    }();
    (void)once;
    const QString text = Gbk::Decode(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    TqxExp exp;
    exp.Tag = 1;
    exp.OnGetValue = getValue;
    exp.OnGetFunctionValue = getFunctionValue;
    TqxVariant value(u"before"_s);
    exp.Calculate(text, value);
    if (!exp.Succeeded && !(value == TqxVariant(u"before"_s)))
        std::abort();
    if (exp.Succeeded && exp.Words.empty())
        std::abort();
    if (exp.Succeeded && value.Type() != vtNull && value.Type() != vtEmpty) {
        try {
            value.ToString(); // every value has a text form, except a date beyond the calendar
        } catch (const EqxError&) {
            if (value.Type() != vtDate)
                std::abort();
        }
    }
    return 0;
}
