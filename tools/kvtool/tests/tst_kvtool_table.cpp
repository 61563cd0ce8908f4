// kvtool table dump and import as a script sees them. The packets below were
// written byte by byte from the published description of the format, not by
// our own writer: two published examples, and an item library with a deleted
// row, an unused row, an old copy of an edited row and a change log.

#include "KvtoolRun.h"
#include "KvTestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using KvTest::Run;
using KvTest::kvtool;

namespace {


QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// One double field PLNCODIGO, the table property LCID, no rows.
const QByteArray kEmptyExample = hex("96 19 E0 BD 01 00 00 00 18 00 00 00 01 00 00 00 00 00 03 00 00 00 39 00"
                                     "09 50 4C 4E 43 4F 44 49 47 4F 08 00 04 00 00 00 00 00 01 00 04 4C 43 49"
                                     "44 04 00 01 00 09 08 00 00");

// id (text 10), name (text 255), DateTime; CHANGE_LOG 1 0 4; one inserted row.
const QByteArray kInsertedExample = hex("96 19 E0 BD 01 00 00 00 18 00 00 00 03 00 01 00 00 00 03 00 00 00 7A 00"
                                        "02 69 64 01 00 49 00 10 00 01 00 05 57 49 44 54 48 02 00 02 00 0A 00 04"
                                        "6E 61 6D 65 02 00 49 00 10 00 01 00 05 57 49 44 54 48 02 00 02 00 FF 00"
                                        "08 44 61 74 65 54 69 6D 65 08 00 08 00 10 00 00 00 01 00 0A 43 48 41 4E"
                                        "47 45 5F 4C 4F 47 04 00 82 00 03 00 00 00 01 00 00 00 00 00 00 00 04 00"
                                        "00 00 04 00 05 31 35 37 33 38 10 00 74 65 73 74 30 35 2E 33 2E 63 75 74"
                                        "6C 69 73 74 00 A8 78 3D 9B C8 CC 42");

// 项目编码 (20), 项目名称 (200, required), 单位 (20), 单价 (money), 数量 (double),
// 系统 (boolean), 行类型 (integer); CHANGE_LOG (5 4 8) (6 0 4). Rows:
// 1 A01 kept; 2 A02 deleted; 3 unused; 4 A03 the old copy, 88;
// 5 its new copy: only 单价 = 6297.6 given, the rest marked unchanged;
// 6 A04 inserted, a name with quotes, no unit and no quantity.
const QByteArray kItemLibrary = hex(
    "9619E0BD010000001800000007000600000003000000E20008CFEEC4BFB1E0C2EB010049000000010005574944544802"
    "000200140008CFEEC4BFC3FBB3C6010049000400010005574944544802000200C80004B5A5CEBB010049000000010005"
    "574944544802000200140004B5A5BCDB080004000000010007535542545950450200490006004D6F6E65790004CAFDC1"
    "BF080004000000000004CFB5CDB3020003000000000006D0D0C0E0D0CD040001000000000001000A4348414E47455F4C"
    "4F470400820006000000050000000400000008000000060000000000000004000000000000034130310ACAAFB8E0B0E5"
    "B5F5B6A506C6BDB7BDC3D70000000000605F40000000000000F43F0100010000000250150341303208C9BEB3FDB5C4D0"
    "D0205515010000034130330FC2C1BFDBB0E52C203630307836303002B8F6000000000000564000000000000000400000"
    "00000000082A2A9A9999999999B8400410010341303406CBB522BAC3229A9999999999B93F0000FDFFFFFF");

} // namespace

class TestKvtoolTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dumpCsv_data();
    void dumpCsv();
    void dumpFields();
    void dumpFailures_data();
    void dumpFailures();
    void importAppendsAndSaves();
    void importRefuses_data();
    void importRefuses();
    void stagedTables_data();
    void stagedTables();

private:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = FDir.filePath(name);
        KvTest::WriteBytes(path, bytes);
        return path;
    }
    QTemporaryDir FDir;
};

void TestKvtoolTable::dumpCsv_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QString>("csv");
    QTest::newRow("no rows") << kEmptyExample << u"PLNCODIGO\n"_s;
    QTest::newRow("inserted row") << kInsertedExample
                                  << u"id,name,DateTime\n15738,test05.3.cutlist,2006-10-06 19:44:27.984\n"_s;
    QTest::newRow("item library") << kItemLibrary
                                  << u"项目编码,项目名称,单位,单价,数量,系统,行类型\n"
                                     u"A01,石膏板吊顶,平方米,125.5,1.25,True,1\n"
                                     u"A03,\"铝扣板, 600x600\",个,6297.6,2,False,0\n"
                                     u"A04,\"说\"\"好\"\"\",,0.1,,False,-3\n"_s;
}

void TestKvtoolTable::dumpCsv()
{
    QFETCH(QByteArray, packet);
    QFETCH(QString, csv);
    const Run r = kvtool({u"table"_s, u"dump"_s, Write(u"table"_s, packet), u"--csv"_s});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, csv);
}

void TestKvtoolTable::dumpFields()
{
    const Run r = kvtool({u"table"_s, u"dump"_s, Write(u"ItemsDB"_s, kItemLibrary)});
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split(u'\n');
    QCOMPARE(lines.mid(0, 9), (QStringList{u"字段（7）："_s, u"  项目编码  字符串(20)"_s, u"  项目名称  字符串(200)  必填"_s,
                                           u"  单位  字符串(20)"_s, u"  单价  货币"_s, u"  数量  浮点数"_s,
                                           u"  系统  布尔"_s, u"  行类型  整数"_s, u"记录（3）："_s}));
    QCOMPARE(lines.at(11), u"  [3] 项目编码=A04，项目名称=说\"好\"，单位=(空)，单价=0.1，数量=(空)，系统=False，行类型=-3"_s);
}

void TestKvtoolTable::dumpFailures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("usage") << QStringList{u"dump"_s} << 2 << u"用法"_s;
    QTest::newRow("bad option") << QStringList{u"dump"_s, u"x"_s, u"--json"_s} << 2 << u"用法"_s;
    QTest::newRow("missing") << QStringList{u"dump"_s, u"nosuch"_s} << 1 << u"无法打开文件"_s;
    QTest::newRow("damaged") << QStringList{u"dump"_s, u"damaged"_s} << 1 << u"第 6 行字段“单价”的数据超出了文件末尾"_s;
}

void TestKvtoolTable::dumpFailures()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    Write(u"damaged"_s, kItemLibrary.first(kItemLibrary.size() - 12));
    for (QString& a : args)
        if (a == u"damaged"_s || a == u"nosuch"_s)
            a = FDir.filePath(a);
    const Run r = kvtool(QStringList{u"table"_s} + args);
    QCOMPARE(r.code, code);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void TestKvtoolTable::importAppendsAndSaves()
{
    const QString table = Write(u"ItemsDB"_s, kItemLibrary);
    // Columns in any order, a BOM, CR LF, quoted fields, empty values as null, a unit too wide.
    const QString csv = Write(u"prices.csv"_s, "\xEF\xBB\xBF" "项目名称,单价,系统,单位\r\n"
                                               "\"木地板, 实木\",12.34567,是,\r\n"
                                               "瓷砖,-3,False,超长的单位名称超长的单位名称\r\n");
    Run r = kvtool({u"table"_s, u"import"_s, table, u"--csv"_s, csv});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, u"注意：CSV 文件第 3 行：“单位”超过 20 字节，已截断。\n"_s);
    QVERIFY(r.out.contains(u"追加 2 条记录"_s));
    r = kvtool({u"table"_s, u"dump"_s, table, u"--csv"_s});
    QCOMPARE(r.out.split(u'\n').mid(4), (QStringList{u",\"木地板, 实木\",,12.3457,,True,"_s,
                                                      u",瓷砖,超长的单位名称超长的,-3,,False,"_s, QString()}));
}

void TestKvtoolTable::importRefuses_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown column") << QByteArray("项目名称,价格\nx,1\n")
                                    << u"CSV 文件的列“价格”不是表的字段。表的字段有：项目编码、项目名称、单位、单价、数量、系统、行类型。"_s;
    QTest::newRow("not a number") << QByteArray("项目名称,单价\nx,1\ny,十元\n")
                                  << u"CSV 文件第 3 行：“十元”不是字段“单价”的有效货币值！"_s;
    // As 1e400 is refused: no amount or quantity is "not a number" or infinite.
    QTest::newRow("NaN money") << QByteArray("项目名称,单价\nx,NaN\n") << u"“NaN”不是字段“单价”的有效货币值！"_s;
    QTest::newRow("infinite number") << QByteArray("项目名称,数量\nx,-inf\n") << u"“-inf”不是字段“数量”的有效浮点数值！"_s;
    QTest::newRow("out of range") << QByteArray("项目名称,数量\nx,1e400\n") << u"“1e400”不是字段“数量”的有效浮点数值！"_s;
    QTest::newRow("required") << QByteArray("项目名称,单价\nx,1\n,2\n") << u"CSV 文件第 3 行：字段“项目名称”必须有值"_s;
    QTest::newRow("columns") << QByteArray("项目名称,单价\nx\n") << u"CSV 文件第 2 行：有 1 列，应为 2 列"_s;
    QTest::newRow("open quote") << QByteArray("项目名称\n\"x\n") << u"CSV 文件第 2 行：引号没有结束"_s;
    QTest::newRow("not UTF-8") << QByteArray("\xCF\xEE\xC4\xBF\n") << u"不是 UTF-8 编码"_s;
    QTest::newRow("empty") << QByteArray() << u"是空的"_s;
}

void TestKvtoolTable::importRefuses()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, message);
    const QString table = Write(u"ItemsDB"_s, kItemLibrary);
    const Run r = kvtool({u"table"_s, u"import"_s, table, u"--csv"_s, Write(u"in.csv"_s, csv)});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(KvTest::ReadBytes(table), kItemLibrary); // nothing written
}

void TestKvtoolTable::stagedTables_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("ItemsDB") << u"ItemsDB"_s << 292 << u"项目编码,施工地点,项目类别,项目名称,单位,单价,数量,备注,查询码"_s;
    QTest::newRow("ItemCateDB") << u"ItemCateDB"_s << 41 << u"父类别,类别名称,条件字段,系统,查询码,过滤内容,过滤模式"_s;
    QTest::newRow("MeasureUnit") << u"MeasureUnit"_s << 18 << u"单位,查询码"_s;
    QTest::newRow("MemoDB") << u"MemoDB"_s << 2 << u"项目类别,备注,查询码"_s;
    QTest::newRow("WordsDb") << u"WordsDb"_s << 6 << u"类别,单词"_s;
}

void TestKvtoolTable::stagedTables()
{
    QFETCH(QString, file);
    const Run r = kvtool({u"table"_s, u"dump"_s, qEnvironmentVariable("KV_PRISTINE_STAGE_DIR") + u"/Data/"_s + file, u"--csv"_s});
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QTEST(lines.first(), "firstLine");
    QTEST(int(lines.size()) - 1, "rows");
}

QTEST_GUILESS_MAIN(TestKvtoolTable)
#include "tst_kvtool_table.moc"
