#include "qxExpression.h"

#include "qxExpFunctions.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The tokenizer classifies characters by their GBK form: ASCII bytes by the
// rules below, and a two-byte character never counts as a digit, letter or
// operator. Walking the text's own characters, not its bytes, also keeps a
// second byte that looks like ASCII ("]" in 乚, "a" in 乤) part of its
// character instead of ending a variable or being upper-cased.
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; }
bool isRelation(char16_t c) { return c == u'<' || c == u'=' || c == u'>'; }

// The unit a character takes in the text: two for a surrogate pair.
qsizetype charLength(const QString& s, qsizetype i)
{
    return s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate() ? 2 : 1;
}

// Operator words share static texts: the tokenizer allocates nothing for them.
const QString& operatorText(char16_t c)
{
    static const QString texts[] = {u"*"_s, u"+"_s, u"-"_s, u"/"_s, u"\\"_s, u"^"_s,
                                    u"<"_s, u"="_s, u">"_s, u"("_s, u")"_s};
    switch (c) {
    case u'*': return texts[0];
    case u'+': return texts[1];
    case u'-': return texts[2];
    case u'/': return texts[3];
    case u'\\': return texts[4];
    case u'^': return texts[5];
    case u'<': return texts[6];
    case u'=': return texts[7];
    case u'>': return texts[8];
    case u'(': return texts[9];
    default: return texts[10];
    }
}

bool endsOperand(quint8 kind) { return kind >= wkCloseBracket && kind <= wkNumber; }
bool isOperator(quint8 kind) { return kind >= wkArithmetic && kind <= wkLogic; }

// The left operand raised to the right by repeated multiplication from 1.0,
// as the formulas always computed it. Exponents of millions are taken by
// squaring instead, without the wait: the result differs from the stepwise
// one only by the rounding error that millions of steps pile up.
double power(double base, int exponent)
{
    constexpr int kStepwise = 1 << 20;
    double p = 1.0;
    if (exponent <= kStepwise) {
        for (int k = 0; k < exponent && p != 0 && !std::isinf(p); ++k)
            p *= base;
    } else {
        for (unsigned e = unsigned(exponent); e != 0; e >>= 1, base *= base)
            if (e & 1)
                p *= base;
    }
    if (!std::isfinite(p))
        throw EqxExpErr(u"浮点运算溢出！"_s);
    return p;
}

EqxExpErr expressionError(const QString& word)
{
    return EqxExpErr(u"表达式错误，错误位置 "_s + word + u" ！"_s);
}

} // namespace

void TqxExp::Calculate(const QString& text, TqxVariant& Value)
{
    if (FBusy) {
        // A handler called back into the evaluator that is walking its words:
        // refused, and the outer call fails too, its state being disturbed.
        FReentered = true;
        Succeeded = false;
        return;
    }
    FBusy = true;
    FReentered = false;
    Succeeded = true;
    // Each call describes only itself: a message left from an earlier formula
    // would name the wrong fault.
    ErrorText.clear();
    ErrorPos = -1;
    bool ok = false;
    try {
        ClearWords();
        Expression = text;
        if (!ParseWords())
            throw EqxExpErr(ErrorText);
        if (!CheckWords())
            throw EqxExpErr(ErrorText);
        ResolveVariables();
        TqxVariant result;
        CalcWords(result);
        ok = !FReentered;
        if (ok)
            Value = std::move(result);
    } catch (...) {
    }
    Succeeded = ok;
    FBusy = false;
}

int TqxExp::AddWord(const QString& Text, quint8 Kind, quint8 DataType)
{
    TqxExpWord& w = Words.emplace_back();
    w.Text = Text;
    w.Kind = Kind;
    w.DataType = DataType;
    return int(Words.size()) - 1;
}

TqxExpWord& TqxExp::GetWord(int Index)
{
    if (Index < 0 || size_t(Index) >= Words.size())
        throw EqxExpErr(u"单词下标超出范围！"_s);
    return Words[size_t(Index)];
}

bool TqxExp::ParseWords()
{
    const QString& s = Expression;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = s.at(i).unicode();
        const bool minusStartsNumber = c == u'-' && (Words.empty() || Words.back().Text.startsWith(u'('));
        if (c == u'*' || c == u'+' || c == u'/' || c == u'\\' || c == u'^' || (c == u'-' && !minusStartsNumber)) {
            AddWord(operatorText(c), wkArithmetic, wdOther);
            ++i;
        } else if (isRelation(c)) {
            if (i + 1 < n && isRelation(s.at(i + 1).unicode())) {
                AddWord(s.sliced(i, 2), wkRelation, wdOther);
                i += 2;
            } else {
                AddWord(operatorText(c), wkRelation, wdOther);
                ++i;
            }
        } else if (c == 7 || c == 10 || c == 13 || c == 32) {
            ++i;
        } else if (c == u'-' || c == u'.' || isDigit(c)) {
            qsizetype j = i + 1;
            while (j < n && (s.at(j) == u'.' || isDigit(s.at(j).unicode())))
                ++j;
            AddWord(s.sliced(i, j - i), wkNumber, wdNumber);
            i = j;
        } else if (isLetter(c)) {
            qsizetype j = i + 1;
            while (j < n && (isLetter(s.at(j).unicode()) || isDigit(s.at(j).unicode())))
                ++j;
            bool closed = true;
            if (j < n && s.at(j) == u'(') {
                // Only round brackets count, also inside quoted strings.
                int depth = 0;
                closed = false;
                for (; j < n; ++j) {
                    if (s.at(j) == u'(') {
                        ++depth;
                    } else if (s.at(j) == u')' && --depth == 0) {
                        ++j;
                        closed = true;
                        break;
                    }
                }
            }
            const QString word = s.sliced(i, j - i);
            const QString upper = UpperAscii(word);
            if (upper == u"AND"_s || upper == u"OR"_s || upper == u"NOT"_s)
                AddWord(upper, wkLogic, wdOther);
            else
                AddWord(word, wkFunction, wdOther);
            i = j;
            if (!closed) {
                ErrorText = u"未结束的括号，缺少 ) "_s;
                return false;
            }
        } else if (c == u'(' || c == u')') {
            AddWord(operatorText(c), c == u'(' ? wkOpenBracket : wkCloseBracket, wdOther);
            ++i;
        } else if (c == u'[') {
            int depth = 0;
            qsizetype j = i;
            for (; j < n; j += charLength(s, j)) {
                if (s.at(j) == u'[') {
                    ++depth;
                } else if (s.at(j) == u']' && --depth == 0) {
                    break;
                }
            }
            if (j >= n) {
                AddWord(s.sliced(i), wkVariable, wdOther);
                ErrorText = u"未结束的变量单词，缺少 ]"_s;
                return false;
            }
            const QString name = UpperAscii(s.sliced(i + 1, j - i - 1));
            Words[size_t(AddWord(name, wkVariable, wdOther))].VarName = name;
            i = j + 1;
        } else if (c == u'"') {
            QString text;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                const qsizetype quote = s.indexOf(u'"', j);
                if (quote < 0) {
                    text += QStringView(s).sliced(j);
                    j = n;
                    break;
                }
                text += QStringView(s).sliced(j, quote - j);
                if (quote + 1 < n && s.at(quote + 1) == u'"') {
                    text += u'"';
                    j = quote + 2;
                } else {
                    j = quote + 1;
                    closed = true;
                    break;
                }
            }
            AddWord(text, wkString, wdString);
            i = j;
            if (!closed) {
                ErrorText = u"未结束的字符串，缺少 \""_s;
                return false;
            }
        } else {
            const QString ch = s.sliced(i, charLength(s, i));
            AddWord(ch, wkUnknown, wdOther);
            ErrorText = u"未知字符 "_s + ch;
            return false;
        }
    }
    return true;
}

bool TqxExp::CheckWords()
{
    ErrorPos = -1;
    int depth = 0;
    for (size_t i = 0; i < Words.size(); ++i) {
        const TqxExpWord& w = Words[i];
        const bool first = i == 0;
        const quint8 prev = first ? quint8(wkUnknown) : Words[i - 1].Kind;
        bool ok = false;
        switch (w.Kind) {
        case wkOpenBracket:
            ok = first || isOperator(prev);
            if (ok)
                ++depth;
            break;
        case wkCloseBracket:
            ok = !first && depth > 0 && endsOperand(prev);
            if (ok)
                --depth;
            break;
        case wkVariable:
        case wkFunction:
        case wkNumber:
            ok = first || prev == wkOpenBracket || isOperator(prev);
            break;
        case wkString:
            ok = first || prev == wkOpenBracket || prev == wkArithmetic || prev == wkRelation;
            break;
        case wkArithmetic:
        case wkRelation:
            ok = !first && endsOperand(prev);
            break;
        case wkLogic:
            if (w.Text == u"NOT"_s)
                ok = first || prev == wkOpenBracket || prev == wkRelation || prev == wkLogic;
            else
                ok = !first && endsOperand(prev);
            break;
        default:
            ok = false;
        }
        if (!ok) {
            ErrorText = u"在单词 "_s + w.Text + u" 处有错"_s;
            ErrorPos = int(i);
            return false;
        }
    }
    if (depth > 0) {
        ErrorText = u"未结束的括号"_s;
        return false;
    }
    return true;
}

void TqxExp::ResolveVariables()
{
    if (!OnGetValue)
        return;
    for (TqxExpWord& w : Words) {
        if (w.Kind != wkVariable)
            continue;
        TqxVariant value = w.Value;
        OnGetValue(this, w.VarName, value);
        w.Value = std::move(value);
    }
}

int TqxExp::TopKind(const TqxStack& operators)
{
    if (operators.IsEmpty())
        return -1;
    TqxVar top;
    operators.Peek(top);
    return GetWord(top.Value.AsInteger()).Kind;
}

void TqxExp::ApplyTop(TqxStack& operands, TqxStack& operators)
{
    TqxVariant index;
    operators.Pop(index);
    const TqxExpWord& op = GetWord(index.AsInteger());
    const QString& t = op.Text;
    if (op.Kind == wkLogic && t == u"NOT"_s) {
        TqxVariant a;
        operands.Pop(a);
        operands.Push(QString(), TqxVariant::Not(a), dtLogic);
        return;
    }
    if (op.Kind != wkArithmetic && op.Kind != wkRelation && op.Kind != wkLogic)
        throw EqxExpErr(u"未知的算术运算符 "_s + t + u" !"_s);
    TqxVariant right, left;
    operands.Pop(right);
    operands.Pop(left);
    if (op.Kind == wkArithmetic) {
        TqxVariant r;
        if (t == u"+"_s)
            r = TqxVariant::Add(left, right);
        else if (t == u"-"_s)
            r = TqxVariant::Subtract(left, right);
        else if (t == u"*"_s)
            r = TqxVariant::Multiply(left, right);
        else if (t == u"/"_s)
            r = TqxVariant::Divide(left, right);
        else if (t == u"\\"_s)
            r = TqxVariant::Modulus(left, right);
        else if (t == u"^"_s)
            r = TqxVariant(power(left.ToDouble(), right.ToInteger()));
        else
            throw EqxExpErr(u"未知的算术运算符 "_s + t + u" !"_s);
        operands.Push(QString(), r, dtNumber);
        return;
    }
    if (op.Kind == wkRelation) {
        bool r;
        if (t == u"="_s)
            r = TqxVariant::Compare(left, right) == 0;
        else if (t == u"<>"_s)
            r = TqxVariant::Compare(left, right) != 0;
        else if (t == u"<"_s)
            r = TqxVariant::Compare(left, right) < 0;
        else if (t == u">"_s)
            r = TqxVariant::Compare(left, right) > 0;
        else if (t == u"<="_s)
            r = TqxVariant::Compare(left, right) <= 0;
        else if (t == u">="_s)
            r = TqxVariant::Compare(left, right) >= 0;
        else
            throw EqxExpErr(u"未知的关系运算符 "_s + t + u" ！"_s);
        operands.Push(QString(), TqxVariant(r), dtLogic);
        return;
    }
    if (t == u"AND"_s)
        operands.Push(QString(), TqxVariant(TqxVariant::And(left, right).ToBoolean()), dtLogic);
    else if (t == u"OR"_s)
        operands.Push(QString(), TqxVariant(TqxVariant::Or(left, right).ToBoolean()), dtLogic);
    else
        throw EqxExpErr(u"不是 NOT 运算符！"_s);
}

void TqxExp::CalcWords(TqxVariant& Value)
{
    TqxStack operands;
    TqxStack operators;
    for (size_t i = 0; i < Words.size(); ++i) {
        const TqxExpWord& w = Words[i];
        const int index = int(i);
        switch (w.Kind) {
        case wkNumber: {
            const std::optional<double> d = TryStrToFloat(w.Text);
            if (!d)
                throw EqxExpErr(u"\"%1\" 不是有效的数值！"_s.arg(w.Text));
            operands.Push(w.Text, TqxVariant(*d), dtNumber);
            break;
        }
        case wkString:
            operands.Push(w.Text, TqxVariant(w.Text), dtString);
            break;
        case wkVariable:
            operands.Push(w.Text, w.Value, dtOther);
            break;
        case wkFunction: {
            TqxVariant v;
            CalcFunction(index, v);
            operands.Push(w.Text, v, dtOther);
            break;
        }
        case wkOpenBracket:
            operators.Push(QString(), TqxVariant(index), dtOther);
            break;
        case wkCloseBracket:
            while (TopKind(operators) != wkOpenBracket)
                ApplyTop(operands, operators);
            {
                TqxVariant open;
                operators.Pop(open);
            }
            break;
        case wkArithmetic:
            if (w.Text == u"+"_s || w.Text == u"-"_s) {
                while (TopKind(operators) == wkArithmetic)
                    ApplyTop(operands, operators);
            }
            operators.Push(QString(), TqxVariant(index), dtOther);
            break;
        case wkRelation:
            if (TopKind(operators) == wkRelation)
                throw expressionError(w.Text);
            while (TopKind(operators) == wkArithmetic)
                ApplyTop(operands, operators);
            if (TopKind(operators) == wkRelation)
                throw expressionError(w.Text);
            operators.Push(QString(), TqxVariant(index), dtOther);
            break;
        case wkLogic:
            if (w.Text != u"NOT"_s) {
                if (TopKind(operators) == wkArithmetic)
                    throw expressionError(w.Text);
                if (TopKind(operators) == wkRelation)
                    ApplyTop(operands, operators);
                while (TopKind(operators) == wkLogic)
                    ApplyTop(operands, operators);
            }
            operators.Push(QString(), TqxVariant(index), dtOther);
            break;
        default:
            throw EqxExpErr(u"在单词 "_s + w.Text + u" 处有错"_s);
        }
    }
    while (!operators.IsEmpty())
        ApplyTop(operands, operators);
    operands.Pop(Value);
}

void TqxExp::CalcFunction(int Index, TqxVariant& Value)
{
    const QString& text = GetWord(Index).Text;
    const qsizetype open = text.indexOf(u'(');
    const QString name = open < 0 ? text : text.left(open);
    // The argument text lies between the "(" and the last character, the ")".
    const qsizetype argLength = open < 0 ? 0 : std::max<qsizetype>(0, text.size() - open - 2);
    const QString argText = TrimBlanks(QStringView(text).sliced(open + 1, argLength)).toString();

    TqxVariantList params;
    if (!argText.isEmpty()) {
        // Commas split outside quotes and outside round brackets; brackets
        // count regardless of quotes, as the tokenizer counts them.
        bool quoted = false;
        int depth = 0;
        qsizetype from = 0;
        for (qsizetype i = 0; i < argText.size(); ++i) {
            const QChar c = argText.at(i);
            if (c == u'"')
                quoted = !quoted;
            else if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            else if (c == u',' && !quoted && depth == 0) {
                params.Add(argText.sliced(from, i - from), TqxVariant::Null());
                from = i + 1;
            }
        }
        params.Add(argText.sliced(from), TqxVariant::Null());
    }

    if (FDepth >= MaxCallDepth)
        throw EqxExpErr(u"函数调用嵌套过深，不得超过%1层！"_s.arg(MaxCallDepth));
    TqxExp nested;
    nested.FDepth = FDepth + 1;
    nested.OnGetValue = OnGetValue;
    nested.OnGetFunctionValue = OnGetFunctionValue;
    TqxVariant result = TqxVariant::Null();

    if (OnGetFunctionValue) {
        OnGetFunctionValue(this, name, params, result);
        if (!result.IsNull()) {
            Value = std::move(result);
            return;
        }
    }
    for (int i = 0; i < params.Count(); ++i) {
        TqxVar& arg = params.Items(i);
        if (arg.Name.isEmpty())
            continue;
        // An argument that cannot be evaluated fails the call: handing the
        // function some earlier value instead would compute a wrong amount.
        TqxVariant value;
        nested.Calculate(arg.Name, value);
        if (!nested.Succeeded)
            throw EqxExpErr(u"函数 %1 的参数 %2 有错！"_s.arg(name, arg.Name));
        params.Items(i).Value = std::move(value);
    }
    CallBuiltin(name, params, result);
    Value = std::move(result);
}

void CallBuiltin(const QString& Name, TqxVariantList& Params, TqxVariant& Value)
{
    const QString name = UpperAscii(TrimBlanks(Name).toString());
    const auto arg = [&](int index) {
        TqxVar item;
        Params.GetItem(index, item);
        return item.Value;
    };
    if (name == u"STRTOFLOAT"_s) {
        Value = TqxVariant(TryStrToFloat(arg(0).ToString()).value_or(0.0));
    } else if (name == u"STRTOINT"_s) {
        Value = TqxVariant(TryStrToInt(arg(0).ToString()).value_or(0));
    } else if (name == u"FLOATTOSTR"_s) {
        const TqxVariant v = arg(0);
        QString text;
        try {
            text = FloatToStr(v.ToDouble());
        } catch (const EqxError&) {
        }
        Value = TqxVariant(text);
    } else if (name == u"TIMETOSTR"_s) {
        Value = TqxVariant(TimeToStr(arg(0).ToDouble()));
    } else if (name == u"DATETOSTR"_s) {
        Value = TqxVariant(DateToStr(arg(0).ToDouble()));
    } else if (name == u"TODAY"_s) {
        Value = TqxVariant::FromDate(DateTimeToDayNumber(QDateTime(ExpNow().date(), QTime(0, 0))));
    } else if (name == u"NOW"_s) {
        Value = TqxVariant::FromDate(DateTimeToDayNumber(ExpNow()));
    } else if (name == u"IIF"_s) {
        const TqxVariant otherwise = arg(2);
        const TqxVariant then = arg(1);
        Value = arg(0).ToBoolean() ? then : otherwise;
    } else if (name == u"FLOAT"_s || name == u"DOUBLE"_s) {
        Value = TqxVariant(arg(0).ToDouble());
    } else if (name == u"INT"_s || name == u"INTEGER"_s) {
        Value = TqxVariant(arg(0).ToInteger());
    } else if (name == u"STR"_s || name == u"STRING"_s) {
        Value = TqxVariant(arg(0).ToString());
    } else if (name == u"FORMAT"_s) {
        Value = FuncFormat(Params);
    } else {
        throw EqxExpErr(u"未知函数<"_s + name + u">！"_s);
    }
}
