// kvtool calc as a script sees it: one line of kind and value, or the
// failure with the evaluator's error text and position, and the exit codes.

#include "KvtoolRun.h"
#include <QDate>
#include <QTest>

using namespace Qt::StringLiterals;
using KvTest::Run;
using KvTest::kvtool;

class TestKvtoolCalc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void calc_data();
    void calc();
    void today();
    void usage();
};

void TestKvtoolCalc::calc_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");

    const auto row = [](const char* tag, const QStringList& args, int code, const QString& out) {
        QTest::newRow(tag) << args << code << out;
    };
    row("fee row", {u"[1]*0.17"_s, u"--var"_s, u"1=169424.2"_s}, 0, u"double\t28802.114\n"_s);
    row("direct cost", {u"--var"_s, u"工程直接费=169424.2"_s, u"[工程直接费]"_s}, 0, u"double\t169424.2\n"_s);
    row("names are upper-cased", {u"[a]+[B]"_s, u"--var"_s, u"a=2"_s, u"--var"_s, u"b=3"_s}, 0, u"integer\t5\n"_s);
    row("whole number beyond 32 bits", {u"[A]"_s, u"--var"_s, u"A=2147483648"_s}, 0, u"double\t2147483648\n"_s);
    row("integer overflow", {u"[A]+1"_s, u"--var"_s, u"A=2147483647"_s}, 0, u"double\t2147483648\n"_s);
    row("boolean", {u"[A]"_s, u"--var"_s, u"A=True"_s}, 0, u"boolean\tTrue\n"_s);
    row("comparison", {u"[A]>1"_s, u"--var"_s, u"A=false"_s}, 0, u"boolean\tFalse\n"_s);
    row("null", {u"[A]"_s, u"--var"_s, u"A=null"_s}, 0, u"null\t\n"_s);
    row("unknown variable", {u"[X]*2"_s}, 0, u"null\t\n"_s);
    row("string", {u"[A]+\"!\""_s, u"--var"_s, u"A=整体 吊顶"_s}, 0, u"string\t整体 吊顶!\n"_s);
    row("number with blanks is a string", {u"[A]"_s, u"--var"_s, u"A= 5"_s}, 0, u"string\t 5\n"_s);
    row("15 significant digits", {u"1/3"_s}, 0, u"double\t0.333333333333333\n"_s);
    row("large double", {u"100000000000000000000"_s}, 0, u"double\t1E20\n"_s);
    row("small double", {u"0.0001"_s}, 0, u"double\t0.0001\n"_s);
    row("smaller double in exponent form", {u"0.00001"_s}, 0, u"double\t1E-5\n"_s);
    row("remainder", {u"7.5\\2"_s}, 0, u"integer\t0\n"_s);
    row("days between dates", {u"TODAY-TODAY"_s}, 0, u"double\t0\n"_s);
    row("checker failure", {u"2*-3"_s}, 1, u"error\t在单词 - 处有错\t2\n"_s);
    row("tokenizer failure", {u"[abc"_s}, 1, u"error\t未结束的变量单词，缺少 ]\t-1\n"_s);
    row("evaluation failure", {u"1/0"_s}, 1, u"error\t\t-1\n"_s);
    row("empty formula", {QString()}, 1, u"error\t\t-1\n"_s);
}

void TestKvtoolCalc::calc()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, out);
    const Run r = kvtool(QStringList{u"calc"_s} + args);
    QCOMPARE(r.out, out);
    QCOMPARE(r.code, code);
    QCOMPARE(r.err.isEmpty(), code == 0);
}

void TestKvtoolCalc::today()
{
    const QString before = QDate::currentDate().toString(Qt::ISODate);
    const Run r = kvtool({u"calc"_s, u"today"_s});
    const QString after = QDate::currentDate().toString(Qt::ISODate);
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out == u"date\t"_s + before + u'\n' || r.out == u"date\t"_s + after + u'\n', qPrintable(r.out));
    const Run now = kvtool({u"calc"_s, u"NOW"_s});
    QVERIFY2(now.out.startsWith(u"date\t"_s) && now.out.contains(u'T'), qPrintable(now.out));
}

void TestKvtoolCalc::usage()
{
    QVERIFY(kvtool({u"--help"_s}).out.contains(u"kvtool calc EXPR"_s));
    for (const QStringList& args : {QStringList{u"calc"_s}, QStringList{u"calc"_s, u"1"_s, u"2"_s},
                                    QStringList{u"calc"_s, u"1"_s, u"--var"_s},
                                    QStringList{u"calc"_s, u"1"_s, u"--var"_s, u"A"_s}}) {
        const Run r = kvtool(args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(u"kvtool calc EXPR"_s));
    }
}

QTEST_GUILESS_MAIN(TestKvtoolCalc)
#include "tst_kvtool_calc.moc"
