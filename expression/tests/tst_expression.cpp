// The formula language of the fee table: one table of formulas with their
// values or failures, then what the host sees through the events, and the
// limits that keep a hostile formula from taking the program down.

#include "qxExpFunctions.h"
#include "qxExpression.h"

#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

using Vars = QList<QPair<QString, TqxVariant>>;
Q_DECLARE_METATYPE(TqxVariant)

char* toString(const TqxVariant& v)
{
    static const char* const kinds[] = {"Empty", "Null", "integer", "double", "boolean", "string", "date"};
    QString text;
    switch (v.Type()) {
    case vtInteger: text = QString::number(v.AsInteger()); break;
    case vtDouble:
    case vtDate: text = QString::number(v.AsDouble(), 'g', 17); break;
    case vtBoolean: text = v.AsBoolean() ? u"True"_s : u"False"_s; break;
    case vtString: text = u'"' + v.AsString() + u'"'; break;
    default: break;
    }
    return qstrdup((QString::fromLatin1(kinds[v.Type()]) + u' ' + text).toUtf8().constData());
}

namespace {

// 2024-05-17 14:30:15: day 45429 of the day numbers.
const QDateTime kNow(QDate(2024, 5, 17), QTime(14, 30, 15));
constexpr double kToday = 45429;
const double kNowDays = kToday + (14 * 3600 + 30 * 60 + 15) / 86400.0;

void ok(const char* tag, const QString& expr, const TqxVariant& value, const Vars& vars = {})
{
    QTest::newRow(tag) << expr << vars << true << value << QString() << -1;
}

// A failure in evaluation leaves ErrorText empty and ErrorPos -1.
void fails(const char* tag, const QString& expr, const QString& errorText = {}, int errorPos = -1,
           const Vars& vars = {})
{
    QTest::newRow(tag) << expr << vars << false << TqxVariant() << errorText << errorPos;
}

TqxVariant date(double days) { return TqxVariant::FromDate(days); }
const TqxVariant Null = TqxVariant::Null();

// Runs work on a thread with the default 8 MB stack, whatever the test
// runner's own limit is.
template <typename F>
void onDefaultStack(F work)
{
    QThread* t = QThread::create(work);
    t->setStackSize(8u << 20);
    t->start();
    t->wait();
    delete t;
}

} // namespace

class TestExpression : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void formula_data();
    void formula();
    void words();
    void variableNames();
    void functionArguments();
    void functionHandlerSuppliesValue();
    void nestedEvaluatorsHaveTheirOwnTag();
    void failureKeepsValue();
    void handlerThatThrowsOrReenters();
    void deepNesting();
    void dateTextsFollowLocale();
    void containers();
};

void TestExpression::initTestCase()
{
    SetExpClock([] { return kNow; });
    SetExpLocale(QLocale(QLocale::Chinese, QLocale::China));
}

void TestExpression::cleanupTestCase()
{
    SetExpClock(nullptr);
    SetExpLocale(std::nullopt);
}

void TestExpression::formula_data()
{
    QTest::addColumn<QString>("expr");
    QTest::addColumn<Vars>("vars"); // without vars no OnGetValue handler is installed
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<TqxVariant>("value");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<int>("errorPos");

    const auto checkErr = [](const QString& word) -> QString { return u"在单词 "_s + word + u" 处有错"_s; };

    // The standard fee table.
    ok("direct cost", u"[工程直接费]"_s, 169424.2, {{u"工程直接费"_s, 169424.2}});
    ok("tax", u"[1]*0.17"_s, 169424.2 * 0.17, {{u"1"_s, 169424.2}});
    ok("number starting with a point", u"[1]*.03"_s, 100 * .03, {{u"1"_s, 100}});
    ok("sum of rows", u"[1]+[2]+[3]"_s, 6.5, {{u"1"_s, 1}, {u"2"_s, 2}, {u"3"_s, 3.5}});

    // Numbers and signs. Number words are doubles.
    ok("leading minus", u"-5+2"_s, -3.0);
    ok("minus after bracket", u"(-5)*2"_s, -10.0);
    fails("minus after operator", u"2*-3"_s, checkErr(u"-"_s), 2);
    fails("minus before variable", u"-[A]"_s, checkErr(u"A"_s), 1);
    ok("5.", u"5."_s, 5.0);
    ok("-.5", u"-.5"_s, -0.5);
    ok("leading zeros", u"007"_s, 7.0);
    fails("two points", u"1.2.3"_s);
    fails("lone point", u"."_s);
    fails("lone minus", u"-"_s);
    fails("huge literal", u"9"_s.repeated(400));

    // Precedence and grouping.
    ok("products before sum", u"2*3*4+1"_s, 25.0);
    ok("left to right sums", u"1-2*3+4"_s, -1.0);
    ok("arithmetic before relation", u"1+2*3>4"_s, true);
    ok("division groups from the right", u"8/4/2"_s, 4.0);
    ok("power groups with product", u"2^3*2"_s, 64.0);
    ok("power zero", u"2^0"_s, 1.0);
    ok("negative power", u"2^(-1)"_s, 1.0);
    fails("power of minus", u"2^-1"_s, checkErr(u"-"_s), 2);
    ok("power rounds the exponent", u"2^2.5"_s, 4.0);
    ok("power of a fraction", u"0.5^3"_s, 0.125);
    fails("power overflows", u"10^400"_s);
    ok("huge power settles at zero", u"0.5^2000000000"_s, 0.0);
    ok("remainder", u"7\\2"_s, 1);
    ok("remainder rounds halves to even", u"7.5\\2"_s, 0);
    ok("remainder 2.5 rounds down", u"2.5\\10"_s, 2);
    ok("remainder 3.5 rounds up", u"3.5\\10"_s, 4);
    ok("remainder keeps the sign", u"[A]\\2"_s, -1, {{u"A"_s, -7}});
    ok("remainder of the smallest integer", u"[A]\\[B]"_s, 0, {{u"A"_s, std::numeric_limits<int>::min()}, {u"B"_s, -1}});
    fails("division by zero", u"1/0"_s);
    fails("zero by zero", u"0/0"_s);
    fails("remainder by zero", u"1\\0"_s);
    fails("remainder by a half", u"1\\0.5"_s);

    // Relations and logic.
    ok("and without brackets", u"[A]>1 AND [B]<2"_s, true, {{u"A"_s, 2}, {u"B"_s, 1}});
    ok("not binds the relation", u"NOT [A]>1"_s, false, {{u"A"_s, 2}});
    ok("not binds the relation 2", u"NOT [A]>1"_s, true, {{u"A"_s, 0}});
    ok("and not", u"[A] AND NOT [B]"_s, true, {{u"A"_s, true}, {u"B"_s, false}});
    ok("or and group from the left", u"[A] OR [B] AND [C]"_s, false, {{u"A"_s, true}, {u"B"_s, true}, {u"C"_s, false}});
    ok("keywords in any case", u"1=1 and not 1=2 or 1=2"_s, true);
    ok("not before bracket", u"NOT (1=1)"_s, false);
    ok("not of a number", u"NOT 1"_s, -2);
    ok("and is bit-wise", u"1 AND 2"_s, false);
    ok("and of integers", u"[A] AND [B]"_s, true, {{u"A"_s, 6}, {u"B"_s, 3}});
    ok("or of numbers", u"1 OR 2"_s, true);
    ok("bracketed right side", u"[A]>(1+2) AND [B]<3"_s, true, {{u"A"_s, 4}, {u"B"_s, 1}});
    fails("chained relations", u"1<[A]<3"_s, {}, -1, {{u"A"_s, 2}});
    fails("arithmetic pending at and", u"[A]>1+2 AND [B]<3"_s, {}, -1, {{u"A"_s, 4}, {u"B"_s, 1}});
    fails("sum before and", u"1+2 AND 3"_s);
    ok("<>", u"1<>2"_s, true);
    ok(">=", u"1>=1"_s, true);
    ok("<=", u"1<=0"_s, false);
    fails("==", u"1==1"_s);
    fails("=<", u"1=<2"_s);
    fails("><", u"1><2"_s);

    // Brackets and the checker.
    fails("bracket after bracket", u"((1+2))"_s, checkErr(u"("_s), 1);
    ok("bracket after operator", u"(1+(2))"_s, 3.0);
    fails("empty brackets", u"()"_s, checkErr(u")"_s), 1);
    fails("unclosed bracket", u"(1+2"_s, u"未结束的括号"_s);
    fails("close without open", u"1)"_s, checkErr(u")"_s), 1);
    fails("string after not", u"NOT \"a\""_s, checkErr(u"a"_s), 1);
    fails("and first", u"AND 1"_s, checkErr(u"AND"_s), 0);
    fails("two numbers", u"1 2"_s, checkErr(u"2"_s), 1);
    fails("trailing operator", u"1+"_s);
    fails("empty", QString());
    fails("blanks only", u"  \r\n"_s);

    // The tokenizer.
    fails("tab", u"1\t+2"_s, u"未知字符 \t"_s);
    fails("comma", u"a,b"_s, u"未知字符 ,"_s);
    fails("chinese outside brackets", u"1+工程"_s, u"未知字符 工"_s);
    fails("unterminated variable", u"[abc"_s, u"未结束的变量单词，缺少 ]"_s);
    fails("unterminated string", u"\"abc"_s, u"未结束的字符串，缺少 \""_s);
    fails("unclosed call", u"STR(1"_s, u"未结束的括号，缺少 ) "_s);
    fails("bracket in quotes counts", u"STR(\"(\")"_s, u"未结束的括号，缺少 ) "_s);
    ok("doubled quote", u"\"a\"\"b\""_s, u"a\"b"_s);
    ok("chinese in quotes", u"\"工程\"+\"费\""_s, u"工程费"_s);

    // Strings.
    ok("concatenation", u"\"ab\"+\"cd\""_s, u"abcd"_s);
    ok("string plus number", u"\"2\"+3"_s, 5.0);
    fails("word plus number", u"\"x\"+1"_s);
    ok("strings subtract as numbers", u"\"5\"-\"2\""_s, 3.0);
    ok("strings remainder as integers", u"\"7\"\\\"2\""_s, 1);
    ok("text comparison", u"\"10\"<\"9\""_s, true);
    ok("text against number", u"\"10\"<9"_s, false);
    ok("comparison is case-sensitive", u"\"B\"<\"a\""_s, true);
    ok("comparison is by gbk bytes", u"\"啊\"<\"一\""_s, true);
    ok("chinese after latin", u"\"中\">\"z\""_s, true);
    ok("characters beyond gbk differ", u"\"😀\"=\"😁\""_s, false);
    ok("equal strings", u"\"a\"=\"a\""_s, true);

    // Value rules through variables.
    ok("integer sum", u"[A]+[B]"_s, 5, {{u"A"_s, 2}, {u"B"_s, 3}});
    ok("sum overflows into double", u"[A]+[B]"_s, 2147483648.0, {{u"A"_s, 2147483647}, {u"B"_s, 1}});
    ok("difference overflows", u"[A]-[B]"_s, -2147483649.0, {{u"A"_s, std::numeric_limits<int>::min()}, {u"B"_s, 1}});
    ok("product overflows", u"[A]*[B]"_s, 4294967296.0, {{u"A"_s, 65536}, {u"B"_s, 65536}});
    ok("integer division is double", u"[A]/[B]"_s, 2.0, {{u"A"_s, 6}, {u"B"_s, 3}});
    ok("integer against number", u"[A]=2"_s, true, {{u"A"_s, 2}});
    ok("true counts -1", u"[A]+[B]"_s, 0, {{u"A"_s, true}, {u"B"_s, 1}});
    ok("true times double", u"[A]*2.5"_s, -2.5, {{u"A"_s, true}});
    ok("false is 0", u"[A]=0"_s, true, {{u"A"_s, false}});
    ok("not of an integer", u"NOT [A]"_s, -2, {{u"A"_s, 1}});
    fails("double overflow fails", u"[A]*[A]"_s, {}, -1, {{u"A"_s, 1e200}});
    ok("null propagates", u"[A]*2+1"_s, Null, {{u"A"_s, Null}});
    ok("null concatenation", u"\"a\"+[A]"_s, Null, {{u"A"_s, Null}});
    ok("null remainder", u"[A]\\2"_s, Null, {{u"A"_s, Null}});
    ok("null equals null", u"[A]=[B]"_s, true, {{u"A"_s, Null}, {u"B"_s, Null}});
    ok("null below numbers", u"[A]<[B]"_s, true, {{u"A"_s, Null}, {u"B"_s, -1000}});
    ok("null below strings", u"[A]<\"\""_s, true, {{u"A"_s, Null}});
    ok("null differs", u"[A]<>0"_s, true, {{u"A"_s, Null}});
    fails("null in and", u"1=1 AND [A]"_s, {}, -1, {{u"A"_s, Null}});
    fails("null as power base", u"[A]^2"_s, {}, -1, {{u"A"_s, Null}});
    fails("empty in a sum", u"[A]+1"_s, {}, -1, {{u"A"_s, TqxVariant()}});
    fails("empty against null", u"[A]=[B]"_s, {}, -1, {{u"A"_s, TqxVariant()}, {u"B"_s, Null}});
    fails("empty in not", u"NOT [A]"_s, {}, -1, {{u"A"_s, TqxVariant()}});
    ok("empty alone is the value", u"[A]"_s, TqxVariant(), {{u"A"_s, TqxVariant()}});
    ok("no handler sum", u"[A]+1"_s, Null);
    ok("no handler relation", u"[A]>1"_s, false);

    // Dates are day numbers.
    ok("today", u"TODAY"_s, date(kToday));
    ok("today with brackets", u"TODAY()"_s, date(kToday));
    ok("today in lower case", u"today"_s, date(kToday));
    ok("today ignores its arguments", u"TODAY(1, \"x\")"_s, date(kToday));
    ok("now", u"NOW"_s, date(kNowDays));
    ok("date plus days", u"TODAY+1"_s, date(kToday + 1));
    ok("days between dates", u"TODAY-TODAY"_s, 0.0);
    ok("dates compare", u"NOW>TODAY"_s, true);
    ok("date text", u"DATETOSTR(TODAY)"_s, u"2024/5/17"_s);
    ok("time text", u"TIMETOSTR(NOW)"_s, u"14:30:15"_s);
    ok("date and time text", u"STR(NOW)"_s, u"2024/5/17 14:30:15"_s);
    ok("midnight has no time", u"STR(TODAY)"_s, u"2024/5/17"_s);
    ok("day number as date", u"DATETOSTR(2)"_s, u"1900/1/1"_s);
    fails("no such date", u"DATETOSTR(99999999)"_s);

    // Built-in functions.
    ok("iif true", u"IIF([A]>1, \"big\", \"small\")"_s, u"big"_s, {{u"A"_s, 2}});
    ok("iif false returns argument 3", u"IIF(1>2, 1, \"x\")"_s, u"x"_s);
    ok("iif on a text condition", u"IIF(\"True\", 1, 2)"_s, 1.0);
    fails("iif with two arguments", u"IIF(1, 2)"_s);
    fails("iif on a word", u"IIF(\"abc\", 1, 2)"_s);
    ok("strtofloat", u"STRTOFLOAT(\"12.5\")"_s, 12.5);
    ok("strtofloat exponent", u"STRTOFLOAT(\" 1e3 \")"_s, 1000.0);
    ok("strtofloat of a word", u"STRTOFLOAT(\"abc\")"_s, 0.0);
    ok("strtofloat underflow", u"STRTOFLOAT(\"1e-400\")"_s, 0.0);
    ok("strtofloat overflow", u"STRTOFLOAT(\"1e400\")"_s, 0.0);
    fails("strtofloat of null", u"STRTOFLOAT([A])"_s);
    ok("strtoint of a fraction", u"STRTOINT(\"12.5\")"_s, 0);
    ok("strtoint", u"STRTOINT(\" -42 \")"_s, -42);
    ok("strtoint beyond 32 bits", u"STRTOINT(\"2147483648\")"_s, 0);
    ok("floattostr of a word", u"FLOATTOSTR(\"abc\")"_s, QString());
    ok("floattostr of null", u"FLOATTOSTR([A])"_s, QString());
    ok("floattostr rounds to 15 digits", u"FLOATTOSTR(0.1+0.2)"_s, u"0.3"_s);
    ok("floattostr third", u"FLOATTOSTR(1/3)"_s, u"0.333333333333333"_s);
    ok("floattostr two thirds", u"STR(2/3)"_s, u"0.666666666666667"_s);
    ok("floattostr 15 digits stay fixed", u"STR(123456789012345)"_s, u"123456789012345"_s);
    ok("floattostr large", u"STR(1000000000000000)"_s, u"1E15"_s);
    ok("floattostr small", u"STR(0.0001)"_s, u"0.0001"_s);
    ok("floattostr smaller", u"STR(0.000015)"_s, u"1.5E-5"_s);
    ok("floattostr negative", u"STR(-0.5)"_s, u"-0.5"_s);
    fails("float of a word", u"FLOAT(\"abc\")"_s);
    ok("double", u"DOUBLE(\"2.5\")"_s, 2.5);
    ok("int halves down to even", u"INT(2.5)"_s, 2);
    ok("int halves up to even", u"INT(3.5)"_s, 4);
    ok("integer negative half", u"INTEGER(-2.5)"_s, -2);
    fails("int beyond 32 bits", u"INT(3000000000)"_s);
    ok("str of boolean", u"STRING(1=1)"_s, u"True"_s);
    ok("str of integer", u"STR(INT(7))"_s, u"7"_s);
    fails("str of null", u"STR([A])"_s);
    fails("not with brackets is a function", u"NOT([A])"_s);
    fails("unknown function", u"PI"_s);
    ok("name with blanks in arguments", u"INT( 2.5 )"_s, 2);
    ok("nested calls", u"INT(STRTOFLOAT(STR(41.6)))"_s, 42);
    ok("empty argument is null", u"IIF(1=1,, 2)"_s, Null);

    // A failing argument fails the whole formula instead of handing the
    // function an earlier argument's value.
    fails("failing argument fails the call", u"IIF(1=1, 1, \"x\"+1)"_s);
    fails("rejected argument fails the call", u"STR(1 2)"_s);
    fails("failing argument of an ignored call", u"TODAY(1+)"_s);
    fails("blank argument is evaluated", u"IIF(1=1, , 2)"_s);

    // FORMAT.
    ok("format", u"FORMAT(\"%s-%s\", 1, \"a\")"_s, u"1-a"_s);
    ok("format comma in quotes", u"FORMAT(\"%s, %s\", 1, 2)"_s, u"1, 2"_s);
    ok("format ten arguments", u"FORMAT(\"%s%s%s%s%s%s%s%s%s\", 1, 2, 3, 4, 5, 6, 7, 8, 9)"_s, u"123456789"_s);
    fails("format eleven arguments", u"FORMAT(\"%s%s%s%s%s%s%s%s%s%s\", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10)"_s);
    fails("format without arguments", u"FORMAT()"_s);
    ok("format string alone", u"FORMAT(\"abc\")"_s, u"abc"_s);
    ok("format percent", u"FORMAT(\"100%%\")"_s, u"100%"_s);
    fails("format %d", u"FORMAT(\"%d\", INT(1))"_s);
    fails("format %f", u"FORMAT(\"%f\", 1.5)"_s);
    fails("format without a value left", u"FORMAT(\"%s%s\", 1)"_s);
    fails("format percent at the end", u"FORMAT(\"%\", 1)"_s);
    ok("format indexes", u"FORMAT(\"%1:s%0:s%s\", \"a\", \"b\")"_s, u"bab"_s);
    fails("format index beyond the values", u"FORMAT(\"%2:s\", \"a\", \"b\")"_s);
    ok("format width and precision", u"FORMAT(\"[%5s|%-5s|%.2s|%3.1S]\", \"ab\", \"cd\", \"xyz\", \"q\")"_s,
       u"[   ab|cd   |xy|  q]"_s);
    ok("format counts gbk bytes", u"FORMAT(\"%6s|%.3s\", \"工程\", \"工程\")"_s, u"  工程|工"_s);
    ok("format null is empty", u"FORMAT(\"<%s>\", [A])"_s, u"<>"_s);
    ok("format of numbers and dates", u"FORMAT(\"%s %s %s\", 1.5, INT(2), TODAY)"_s, u"1.5 2 2024/5/17"_s);
    fails("format width beyond reason", u"FORMAT(\"%999999999s\", 1)"_s);
}

void TestExpression::formula()
{
    QFETCH(QString, expr);
    QFETCH(Vars, vars);
    QFETCH(bool, succeeds);
    QFETCH(TqxVariant, value);
    QFETCH(QString, errorText);
    QFETCH(int, errorPos);

    TqxExp e;
    if (!vars.isEmpty()) {
        e.OnGetValue = [&](TqxExp*, const QString& name, TqxVariant& v) {
            for (const auto& [n, val] : std::as_const(vars))
                if (n == name)
                    v = val;
        };
    }
    const TqxVariant before(u"before"_s);
    TqxVariant result = before;
    e.Calculate(expr, result);
    QCOMPARE(e.Succeeded, succeeds);
    QCOMPARE(result, succeeds ? value : before);
    QCOMPARE(e.ErrorText, errorText);
    QCOMPARE(e.ErrorPos, errorPos);
}

void TestExpression::words()
{
    TqxExp e;
    TqxVariant v;
    e.Calculate(u"-1.5+[abc]*\"q\"\"s\" <= f(1, (2)) and not x"_s, v);
    QCOMPARE(e.Expression, u"-1.5+[abc]*\"q\"\"s\" <= f(1, (2)) and not x"_s);
    struct W {
        QString text;
        quint8 kind;
        quint8 dataType;
    };
    const QList<W> expected = {
        {u"-1.5"_s, wkNumber, wdNumber},   {u"+"_s, wkArithmetic, wdOther}, {u"ABC"_s, wkVariable, wdOther},
        {u"*"_s, wkArithmetic, wdOther},   {u"q\"s"_s, wkString, wdString}, {u"<="_s, wkRelation, wdOther},
        {u"f(1, (2))"_s, wkFunction, wdOther}, {u"AND"_s, wkLogic, wdOther}, {u"NOT"_s, wkLogic, wdOther},
        {u"x"_s, wkFunction, wdOther},
    };
    QCOMPARE(e.Words.size(), size_t(expected.size()));
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const TqxExpWord& w = e.GetWord(int(i));
        QCOMPARE(w.Text, expected[i].text);
        QCOMPARE(w.Kind, expected[i].kind);
        QCOMPARE(w.DataType, expected[i].dataType);
        QCOMPARE(w.VarName, w.Kind == wkVariable ? w.Text : QString());
    }
    QVERIFY_THROWS_EXCEPTION(EqxExpErr, e.GetWord(10));
    QVERIFY_THROWS_EXCEPTION(EqxExpErr, e.GetWord(-1));
    try {
        e.GetWord(10);
    } catch (const EqxExpErr& err) {
        QCOMPARE(err.Message, u"单词下标超出范围！"_s);
    }
    QCOMPARE(e.AddWord(u"?"_s, wkUnknown, wdOther), 10);
    QVERIFY(e.GetWord(10).Value.IsNull());
}

void TestExpression::variableNames()
{
    TqxExp e;
    QStringList names;
    e.OnGetValue = [&](TqxExp* sender, const QString& name, TqxVariant& v) {
        QCOMPARE(sender, &e);
        QVERIFY(v.IsNull());
        names.append(name);
        v = 1;
    };
    TqxVariant v;
    e.Calculate(u"[工程直接费]+[abc]+[ 1 ]+[a[b]c]+[abc]+[]+[Ab工c]"_s, v);
    QVERIFY(e.Succeeded);
    QCOMPARE(v, TqxVariant(7));
    QCOMPARE(names, (QStringList{u"工程直接费"_s, u"ABC"_s, u" 1 "_s, u"A[B]C"_s, u"ABC"_s, QString(), u"AB工C"_s}));
    QCOMPARE(e.GetWord(0).Value, TqxVariant(1));
}

void TestExpression::functionArguments()
{
    struct Call {
        bool fromTop; // raised by the evaluator given the formula, not a nested one
        QString name;
        QStringList args;
    };
    QList<Call> calls;
    TqxExp e;
    e.OnGetValue = [](TqxExp*, const QString&, TqxVariant& v) { v = 2; };
    e.OnGetFunctionValue = [&](TqxExp* sender, const QString& name, TqxVariantList& params, TqxVariant& v) {
        QVERIFY(v.IsNull());
        Call c{sender == &e, name, {}};
        for (int i = 0; i < params.Count(); ++i) {
            TqxVar item;
            params.GetItem(i, item);
            QVERIFY(item.Value.IsNull());
            c.args.append(item.Name);
        }
        calls.append(c);
    };
    TqxVariant v;
    e.Calculate(u"IIF([A]>1, \"big\", \"small\")"_s, v);
    QCOMPARE(v, TqxVariant(u"big"_s));
    e.Calculate(u"format(\"%s, %s\", 1,FORMAT(\"(%s)\", 2))"_s, v);
    QCOMPARE(v, TqxVariant(u"1, (2)"_s));
    e.Calculate(u"Today( )"_s, v);
    QCOMPARE(v, TqxVariant::FromDate(kToday));
    e.Calculate(u"STR(1,)"_s, v);
    QCOMPARE(v, TqxVariant(u"1"_s));

    QCOMPARE(calls.size(), 5);
    QVERIFY(calls[0].fromTop);
    QCOMPARE(calls[0].name, u"IIF"_s);
    QCOMPARE(calls[0].args, (QStringList{u"[A]>1"_s, u" \"big\""_s, u" \"small\""_s}));
    QVERIFY(calls[1].fromTop);
    QCOMPARE(calls[1].name, u"format"_s);
    QCOMPARE(calls[1].args, (QStringList{u"\"%s, %s\""_s, u" 1"_s, u"FORMAT(\"(%s)\", 2)"_s}));
    QVERIFY(!calls[2].fromTop);
    QCOMPARE(calls[2].name, u"FORMAT"_s);
    QCOMPARE(calls[2].args, (QStringList{u"\"(%s)\""_s, u" 2"_s}));
    QCOMPARE(calls[3].name, u"Today"_s);
    QCOMPARE(calls[3].args, QStringList());
    QCOMPARE(calls[4].name, u"STR"_s);
    QCOMPARE(calls[4].args, (QStringList{u"1"_s, QString()}));
}

void TestExpression::functionHandlerSuppliesValue()
{
    TqxExp e;
    QStringList asked;
    e.OnGetValue = [&](TqxExp*, const QString& name, TqxVariant& v) {
        asked.append(name);
        v = 1;
    };
    e.OnGetFunctionValue = [](TqxExp*, const QString& name, TqxVariantList& params, TqxVariant& v) {
        if (name.compare(u"rate"_s, Qt::CaseInsensitive) == 0)
            v = params.Count() * 10;
        if (name == u"STR"_s) { // a handler may replace the list it was handed
            params = TqxVariantList();
            params.Add(u"40+2"_s, TqxVariant::Null());
        }
    };
    TqxVariant v;
    e.Calculate(u"RATE([X], [Y])+[Z]"_s, v);
    QVERIFY(e.Succeeded);
    QCOMPARE(v, TqxVariant(21));
    QCOMPARE(asked, QStringList{u"Z"_s}); // the arguments were never evaluated
    e.Calculate(u"rate()"_s, v);
    QCOMPARE(v, TqxVariant(0));
    e.Calculate(u"STR(PI)"_s, v);
    QCOMPARE(v, TqxVariant(u"42"_s));
}

void TestExpression::nestedEvaluatorsHaveTheirOwnTag()
{
    TqxExp e;
    e.Tag = 1;
    QList<QPair<int, bool>> seen; // (Tag, Sender is e) per variable
    e.OnGetValue = [&](TqxExp* sender, const QString& name, TqxVariant& v) {
        seen.append({sender->Tag, sender == &e});
        if (name == u"1"_s && sender->Tag == 1)
            v = 100;
    };
    TqxVariant v;
    e.Calculate(u"[1]+INT(IIF([1]=100, 1, 2))"_s, v);
    QVERIFY(e.Succeeded);
    QCOMPARE(v, TqxVariant(102)); // inside the call the row reference is Null
    QCOMPARE(seen, (QList<QPair<int, bool>>{{1, true}, {0, false}}));
    QCOMPARE(e.Tag, 1);
}

void TestExpression::failureKeepsValue()
{
    // A host that reuses one value across rows sees the previous row's value
    // after a failure; Succeeded is what tells them apart.
    TqxExp e;
    TqxVariant v;
    e.Calculate(u"1+1"_s, v);
    QVERIFY(e.Succeeded);
    e.Calculate(u"1+"_s, v);
    QVERIFY(!e.Succeeded);
    QCOMPARE(v, TqxVariant(2.0));

    // Messages describe the call that failed, never an earlier one.
    e.Calculate(u"1 2"_s, v);
    QCOMPARE(e.ErrorText, u"在单词 2 处有错"_s);
    QCOMPARE(e.ErrorPos, 1);
    e.Calculate(u"1/0"_s, v);
    QVERIFY(!e.Succeeded);
    QCOMPARE(e.ErrorText, QString());
    QCOMPARE(e.ErrorPos, -1);
    QCOMPARE(v, TqxVariant(2.0));
    QCOMPARE(e.Words.size(), size_t(3)); // the words of the last formula stay
}

void TestExpression::handlerThatThrowsOrReenters()
{
    TqxExp e;
    e.OnGetValue = [](TqxExp*, const QString&, TqxVariant&) { throw std::runtime_error("host failure"); };
    TqxVariant v = 5;
    e.Calculate(u"[A]"_s, v);
    QVERIFY(!e.Succeeded);
    QCOMPARE(v, TqxVariant(5));

    // Calling back into the evaluator that asks would free the words it is
    // walking: the inner call is refused and the outer one fails.
    bool innerSucceeded = true;
    e.OnGetValue = [&](TqxExp* sender, const QString&, TqxVariant& value) {
        sender->Calculate(u"2"_s, value);
        innerSucceeded = sender->Succeeded;
    };
    e.Calculate(u"[A]+[B]"_s, v);
    QVERIFY(!innerSucceeded);
    QVERIFY(!e.Succeeded);
    QCOMPARE(v, TqxVariant(5));
    e.OnGetValue = nullptr;
    e.Calculate(u"3"_s, v);
    QVERIFY(e.Succeeded);
    QCOMPARE(v, TqxVariant(3.0));

    // Another instance may be used freely.
    TqxExp other;
    e.OnGetValue = [&](TqxExp*, const QString& name, TqxVariant& value) { other.Calculate(name + u"*2"_s, value); };
    e.Calculate(u"[4]+[5]"_s, v);
    QCOMPARE(v, TqxVariant(18.0));
}

void TestExpression::deepNesting()
{
    const int depth = 100000;
    const QString calls = u"STR("_s.repeated(depth) + u'1' + u")"_s.repeated(depth);
    const QString brackets = u"(1+"_s.repeated(depth) + u'1' + u")"_s.repeated(depth);
    const QString limit = u"INT("_s.repeated(TqxExp::MaxCallDepth) + u'1' + u")"_s.repeated(TqxExp::MaxCallDepth);
    const QString beyond = u"INT("_s + limit + u')';
    bool callsOk = true, limitOk = false, beyondOk = true, bracketsOk = false;
    TqxVariant callsValue = 7, limitValue, bracketsValue;
    onDefaultStack([&] {
        TqxExp e;
        e.Calculate(calls, callsValue);
        callsOk = e.Succeeded;
        e.Calculate(limit, limitValue);
        limitOk = e.Succeeded;
        TqxVariant v;
        e.Calculate(beyond, v);
        beyondOk = e.Succeeded;
        e.Calculate(brackets, bracketsValue);
        bracketsOk = e.Succeeded;
    });
    QVERIFY(!callsOk);
    QCOMPARE(callsValue, TqxVariant(7));
    QVERIFY(limitOk);
    QCOMPARE(limitValue, TqxVariant(1));
    QVERIFY(!beyondOk);
    QVERIFY(bracketsOk);
    QCOMPARE(bracketsValue, TqxVariant(double(depth + 1)));
}

void TestExpression::dateTextsFollowLocale()
{
    TqxExp e;
    TqxVariant v;
    SetExpLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    e.Calculate(u"STR(NOW)"_s, v);
    SetExpLocale(QLocale(QLocale::Chinese, QLocale::China));
    QCOMPARE(v, TqxVariant(u"5/17/24 2:30:15 PM"_s));
    SetExpLocale(std::nullopt); // the tests run in the C locale
    e.Calculate(u"DATETOSTR(TODAY)"_s, v);
    SetExpLocale(QLocale(QLocale::Chinese, QLocale::China));
    QCOMPARE(v, TqxVariant(QLocale::system().toString(kNow.date(), QLocale::ShortFormat)));
}

void TestExpression::containers()
{
    TqxVariantList list;
    QCOMPARE(list.Add(u"a"_s, 1), 0);
    QCOMPARE(list.Add(u"b"_s, u"x"_s), 1);
    QCOMPARE(list.Count(), 2);
    list.Items(1).Value = 2.5;
    TqxVar item;
    list.GetItem(1, item);
    QCOMPARE(item.Name, u"b"_s);
    QCOMPARE(item.Value, TqxVariant(2.5));
    for (int bad : {2, -1}) {
        try {
            list.Items(bad);
            QFAIL("no error");
        } catch (const EqxError& err) {
            QCOMPARE(err.Message, u"变量下标出界[%1]！"_s.arg(bad));
        }
    }
    QVERIFY_THROWS_EXCEPTION(EqxError, list.GetItem(2, item));
    QCOMPARE(list.Count(), 2);
    list.Clear();
    QCOMPARE(list.Count(), 0);

    TqxStack stack;
    QVERIFY(stack.IsEmpty());
    stack.Push(u"1"_s, 1.0, dtNumber);
    stack.Peek(item);
    QCOMPARE(item.Name, u"1"_s);
    QCOMPARE(item.DataType, dtNumber);
    TqxVariant v;
    stack.Pop(v);
    QCOMPARE(v, TqxVariant(1.0));
    QVERIFY(stack.IsEmpty());
    try {
        stack.Pop(v);
        QFAIL("no error");
    } catch (const EqxStackErr& err) {
        QCOMPARE(err.Message, u"栈已空"_s);
    }
    QVERIFY_THROWS_EXCEPTION(EqxStackErr, stack.Peek(item));
    QCOMPARE(v, TqxVariant(1.0));
    static_assert(std::is_base_of_v<EqxError, EqxExpErr> && std::is_base_of_v<EqxError, EqxStackErr>
                  && std::is_base_of_v<Exception, EqxError>);
}

QTEST_GUILESS_MAIN(TestExpression)
#include "tst_expression.moc"
