#include "qxFilter.h"

#include "GbkText.h"
#include "qxErrors.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

enum class TqxCompareOp : quint8 { Eq, Ne, Lt, Gt, Le, Ge };

struct TqxFilterExpr::Node {
    enum Kind : quint8 { And, Or, Not, Compare, IsNull, NotNull, False } kind = False;
    int left = -1;
    int right = -1;
    int field = -1;
    TqxFieldKind fieldKind = TqxFieldKind::String;
    TqxCompareOp op = TqxCompareOp::Eq;
    bool prefix = false;
    QByteArray text; // string fields
    double number = 0; // the other kinds
};

namespace {

struct Token {
    enum Kind { End, Word, Field, String, Number, Op, Open, Close } kind = End;
    QString text;
    int pos = 0; // 1-based character position
};

bool isWordChar(QChar c)
{
    return !c.isSpace() && c != u'=' && c != u'<' && c != u'>' && c != u'!' && c != u'(' && c != u')' &&
           c != u'\'' && c != u'[' && c != u']';
}

double dayNumber(const QDate& d) { return double(d.toJulianDay() - QDate(1, 1, 1).toJulianDay() + 1); }

class Parser {
public:
    Parser(const QString& text, const TqxFieldDefs& defs, TqxFilterOptions options,
           std::vector<TqxFilterExpr::Node>& nodes)
        : FText(text), FDefs(defs), FOptions(options), FNodes(nodes)
    {
        Advance();
    }

    int Parse()
    {
        const int root = ParseOr();
        if (FTok.kind != Token::End)
            Fail(FTok.pos, u"处有多余的内容“"_s + FText.mid(FTok.pos - 1) + u"”"_s);
        return root;
    }

private:
    [[noreturn]] void Fail(int pos, const QString& what) const
    {
        throw EKavelinErr(u"过滤条件“"_s + FText + u"”有错误：第 "_s + QString::number(pos) + u" 个字符"_s + what +
                          u"。"_s);
    }

    void Advance()
    {
        while (FAt < FText.size() && FText[FAt].isSpace())
            ++FAt;
        FTok = Token{};
        FTok.pos = int(FAt) + 1;
        if (FAt >= FText.size())
            return;
        const QChar c = FText[FAt];
        if (c == u'\'') {
            QString value;
            qsizetype i = FAt + 1;
            for (;;) {
                if (i >= FText.size())
                    Fail(FTok.pos, u"起的字符串没有结束的单引号"_s);
                if (FText[i] == u'\'') {
                    if (i + 1 < FText.size() && FText[i + 1] == u'\'') {
                        value += u'\'';
                        i += 2;
                        continue;
                    }
                    break;
                }
                value += FText[i++];
            }
            FTok.kind = Token::String;
            FTok.text = value;
            FAt = i + 1;
        } else if (c == u'[') {
            const qsizetype close = FText.indexOf(u']', FAt + 1);
            if (close < 0)
                Fail(FTok.pos, u"起的字段名没有结束的“]”"_s);
            FTok.kind = Token::Field;
            FTok.text = FText.mid(FAt + 1, close - FAt - 1).trimmed();
            FAt = close + 1;
        } else if (c == u'(' || c == u')') {
            FTok.kind = c == u'(' ? Token::Open : Token::Close;
            ++FAt;
        } else if (c == u'=' || c == u'<' || c == u'>' || c == u'!') {
            qsizetype n = 1;
            if (FAt + 1 < FText.size()) {
                const QChar d = FText[FAt + 1];
                if ((c == u'<' && (d == u'>' || d == u'=')) || (c == u'>' && d == u'=') || (c == u'!' && d == u'='))
                    n = 2;
            }
            FTok.text = FText.mid(FAt, n);
            if (FTok.text == u"!"_s)
                Fail(FTok.pos, u"“!”无法识别"_s);
            FTok.kind = Token::Op;
            FAt += n;
        } else {
            qsizetype i = FAt;
            while (i < FText.size() && isWordChar(FText[i]))
                ++i;
            FTok.text = FText.mid(FAt, i - FAt);
            bool isNumber = false;
            FTok.text.toDouble(&isNumber);
            FTok.kind = isNumber ? Token::Number : Token::Word;
            FAt = i;
        }
    }

    bool IsKeyword(const char16_t* word) const
    {
        return FTok.kind == Token::Word && FTok.text.compare(QStringView(word), Qt::CaseInsensitive) == 0;
    }

    int Add(TqxFilterExpr::Node n)
    {
        FNodes.push_back(std::move(n));
        return int(FNodes.size()) - 1;
    }

    int Join(TqxFilterExpr::Node::Kind kind, int left, int right)
    {
        TqxFilterExpr::Node n;
        n.kind = kind;
        n.left = left;
        n.right = right;
        return Add(std::move(n));
    }

    int ParseOr()
    {
        int left = ParseAnd();
        while (IsKeyword(u"or")) {
            Advance();
            left = Join(TqxFilterExpr::Node::Or, left, ParseAnd());
        }
        return left;
    }

    int ParseAnd()
    {
        int left = ParseNot();
        while (IsKeyword(u"and")) {
            Advance();
            left = Join(TqxFilterExpr::Node::And, left, ParseNot());
        }
        return left;
    }

    int ParseNot()
    {
        if (IsKeyword(u"not")) {
            Advance();
            return Join(TqxFilterExpr::Node::Not, ParseNot(), -1);
        }
        if (FTok.kind == Token::Open) {
            Advance();
            const int inner = ParseOr();
            if (FTok.kind != Token::Close)
                Fail(FTok.pos, u"处缺少右括号“)”"_s);
            Advance();
            return inner;
        }
        return ParseComparison();
    }

    bool IsOperand() const
    {
        return FTok.kind == Token::Word || FTok.kind == Token::Field || FTok.kind == Token::String ||
               FTok.kind == Token::Number;
    }

    int FieldIndex(const Token& t) const
    {
        for (size_t i = 0; i < FDefs.size(); ++i)
            if (FDefs[i].Name.compare(t.text, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }

    bool IsFieldToken(const Token& t) const
    {
        if (t.kind == Token::Field)
            return true;
        if (t.kind != Token::Word)
            return false;
        const QString& w = t.text;
        return w.compare(u"true"_s, Qt::CaseInsensitive) != 0 && w.compare(u"false"_s, Qt::CaseInsensitive) != 0 &&
               w.compare(u"null"_s, Qt::CaseInsensitive) != 0;
    }

    static TqxCompareOp OpOf(const QString& s)
    {
        if (s == u"="_s)
            return TqxCompareOp::Eq;
        if (s == u"<>"_s || s == u"!="_s)
            return TqxCompareOp::Ne;
        if (s == u"<"_s)
            return TqxCompareOp::Lt;
        if (s == u">"_s)
            return TqxCompareOp::Gt;
        if (s == u"<="_s)
            return TqxCompareOp::Le;
        return TqxCompareOp::Ge;
    }

    static TqxCompareOp Mirror(TqxCompareOp op)
    {
        switch (op) {
        case TqxCompareOp::Lt:
            return TqxCompareOp::Gt;
        case TqxCompareOp::Gt:
            return TqxCompareOp::Lt;
        case TqxCompareOp::Le:
            return TqxCompareOp::Ge;
        case TqxCompareOp::Ge:
            return TqxCompareOp::Le;
        default:
            return op;
        }
    }

    int ParseComparison()
    {
        if (!IsOperand())
            Fail(FTok.pos, FTok.kind == Token::End ? u"处缺少比较条件"_s : u"处缺少字段名"_s);
        Token left = FTok;
        Advance();
        if (IsKeyword(u"is")) {
            Advance();
            bool negate = false;
            if (IsKeyword(u"not")) {
                negate = true;
                Advance();
            }
            if (!IsKeyword(u"null"))
                Fail(FTok.pos, u"处应为“Null”"_s);
            Advance();
            TqxFilterExpr::Node n;
            n.kind = negate ? TqxFilterExpr::Node::NotNull : TqxFilterExpr::Node::IsNull;
            n.field = ResolveField(left);
            n.fieldKind = FDefs[size_t(n.field)].Kind;
            return Add(std::move(n));
        }
        if (FTok.kind != Token::Op)
            Fail(FTok.pos, u"处缺少比较运算符"_s);
        TqxCompareOp op = OpOf(FTok.text);
        Advance();
        if (!IsOperand())
            Fail(FTok.pos, u"处缺少比较的值"_s);
        Token right = FTok;
        Advance();
        if (!IsFieldToken(left) && IsFieldToken(right)) {
            std::swap(left, right);
            op = Mirror(op);
        }
        const int field = ResolveField(left);
        if (right.kind == Token::Field || (right.kind == Token::Word && IsFieldToken(right)))
            Fail(right.pos, u"处应为一个值，不能是字段“"_s + right.text + u"”"_s);
        return Add(MakeCompare(field, op, right));
    }

    int ResolveField(const Token& t) const
    {
        if (!IsFieldToken(t))
            Fail(t.pos, u"处缺少字段名"_s);
        const int f = FieldIndex(t);
        if (f < 0)
            Fail(t.pos, u"处的字段“"_s + t.text + u"”不存在"_s);
        return f;
    }

    TqxFilterExpr::Node MakeCompare(int field, TqxCompareOp op, const Token& value) const
    {
        TqxFilterExpr::Node n;
        n.kind = TqxFilterExpr::Node::Compare;
        n.field = field;
        n.op = op;
        const TqxFieldKind kind = FDefs[size_t(field)].Kind;
        n.fieldKind = kind;
        const bool isNull = value.kind == Token::Word && value.text.compare(u"null"_s, Qt::CaseInsensitive) == 0;
        QString text = value.text;

        if (kind == TqxFieldKind::String) {
            if (isNull)
                text.clear();
            if (value.kind == Token::String && text.endsWith(u'*') && !(FOptions & foNoPartialCompare) &&
                (op == TqxCompareOp::Eq || op == TqxCompareOp::Ne)) {
                text.chop(1);
                n.prefix = true;
            }
            n.text = Gbk::Encode(text);
            return n;
        }
        // '' or Null against a number: = is "has no value", <> "has a value".
        if (isNull || (value.kind == Token::String && text.trimmed().isEmpty())) {
            if (op == TqxCompareOp::Eq)
                n.kind = TqxFilterExpr::Node::IsNull;
            else if (op == TqxCompareOp::Ne)
                n.kind = TqxFilterExpr::Node::NotNull;
            else
                n.kind = TqxFilterExpr::Node::False;
            return n;
        }
        const QString t = text.trimmed();
        bool ok = false;
        switch (kind) {
        case TqxFieldKind::Boolean:
            if (t.compare(u"true"_s, Qt::CaseInsensitive) == 0 || t == u"是"_s) {
                n.number = 1;
                ok = true;
            } else if (t.compare(u"false"_s, Qt::CaseInsensitive) == 0 || t == u"否"_s) {
                n.number = 0;
                ok = true;
            } else {
                n.number = t.toDouble(&ok) != 0 ? 1 : 0;
            }
            break;
        case TqxFieldKind::Date:
            if (const QDate d = QDate::fromString(t, Qt::ISODate); d.isValid()) {
                n.number = dayNumber(d);
                ok = true;
            }
            break;
        case TqxFieldKind::Time:
            if (const QTime tm = QTime::fromString(t, Qt::ISODateWithMs); tm.isValid()) {
                n.number = tm.msecsSinceStartOfDay();
                ok = true;
            }
            break;
        case TqxFieldKind::DateTime:
            if (const QDateTime dt = QDateTime::fromString(t, Qt::ISODateWithMs); dt.isValid()) {
                n.number = dayNumber(dt.date()) * 86400000.0 + dt.time().msecsSinceStartOfDay();
                ok = true;
            } else if (const QDate d = QDate::fromString(t, Qt::ISODate); d.isValid()) {
                n.number = dayNumber(d) * 86400000.0;
                ok = true;
            }
            break;
        default:
            n.number = t.toDouble(&ok);
            break;
        }
        if (!ok)
            Fail(value.pos, u"处的“"_s + text + u"”不是字段“"_s + FDefs[size_t(field)].Name + u"”能比较的值"_s);
        return n;
    }

    const QString& FText;
    const TqxFieldDefs& FDefs;
    TqxFilterOptions FOptions;
    std::vector<TqxFilterExpr::Node>& FNodes;
    qsizetype FAt = 0;
    Token FTok;
};

bool test(TqxCompareOp op, int c)
{
    switch (op) {
    case TqxCompareOp::Eq:
        return c == 0;
    case TqxCompareOp::Ne:
        return c != 0;
    case TqxCompareOp::Lt:
        return c < 0;
    case TqxCompareOp::Gt:
        return c > 0;
    case TqxCompareOp::Le:
        return c <= 0;
    case TqxCompareOp::Ge:
        return c >= 0;
    }
    return false;
}

} // namespace

TqxFilterExpr::TqxFilterExpr(const QString& text, const TqxFieldDefs& defs, TqxFilterOptions options)
    : FFolded(options & foCaseInsensitive)
{
    FRoot = Parser(text, defs, options, FNodes).Parse();
}

TqxFilterExpr::~TqxFilterExpr() = default;

bool TqxFilterExpr::Matches(const TqxRowView& row) const
{
    return Eval(FRoot, row);
}

bool TqxFilterExpr::Eval(int index, const TqxRowView& row) const
{
    const Node& n = FNodes[size_t(index)];
    switch (n.kind) {
    case Node::And:
        return Eval(n.left, row) && Eval(n.right, row);
    case Node::Or:
        return Eval(n.left, row) || Eval(n.right, row);
    case Node::Not:
        return !Eval(n.left, row);
    case Node::IsNull:
        return n.fieldKind == TqxFieldKind::String ? row.Bytes(n.field).isEmpty() : row.IsNull(n.field);
    case Node::NotNull:
        return n.fieldKind == TqxFieldKind::String ? !row.Bytes(n.field).isEmpty() : !row.IsNull(n.field);
    case Node::False:
        return false;
    case Node::Compare:
        break;
    }
    if (n.fieldKind == TqxFieldKind::String) {
        const QByteArrayView value = row.Bytes(n.field);
        if (n.prefix) {
            const bool starts = qxCompare::StartsWith(value, n.text, FFolded);
            return n.op == TqxCompareOp::Eq ? starts : !starts;
        }
        if (n.op == TqxCompareOp::Eq || n.op == TqxCompareOp::Ne)
            return qxCompare::Equal(value, n.text, FFolded) == (n.op == TqxCompareOp::Eq);
        return test(n.op, FFolded ? qxCompare::BytesFolded(value, n.text) : qxCompare::Bytes(value, n.text));
    }
    if (row.IsNull(n.field))
        return false;
    double v;
    switch (n.fieldKind) {
    case TqxFieldKind::Float:
    case TqxFieldKind::Money:
    case TqxFieldKind::DateTime:
        v = row.Float(n.field);
        break;
    case TqxFieldKind::Boolean:
        v = row.Bool(n.field) ? 1 : 0;
        break;
    case TqxFieldKind::Time:
        v = double(quint32(row.Cells[n.field]));
        break;
    default:
        v = row.Int(n.field);
        break;
    }
    return test(n.op, qxCompare::Doubles(v, n.number));
}
