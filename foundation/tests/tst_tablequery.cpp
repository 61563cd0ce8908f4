// Order, search and filtering of the table store: indexes in GBK byte order,
// locate with its options, filter expressions and the filter-record event.

#include "TableTestSupport.h"
#include "qxErrors.h"

#include <QTest>

using namespace KvTable;

class TestTableQuery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void indexOrder_data();
    void indexOrder();
    void indexFollowsEdits();
    void locate_data();
    void locate();
    void locateBoolean();
    void filter_data();
    void filter();
    void malformedFilter_data();
    void malformedFilter();
    void filterFollowsEdits();
    void filterRecordEvent();
};

namespace {

// Stored order r1..r9. 阿 (B0 A2) sorts before 木 (C4 BE) in GBK although it
// comes after it in Unicode; 丄 and 乤 differ only in a trail byte that looks
// like A and a.
void fillKinds(TqxDataSet& t)
{
    Create(t, {{u"项目名称"_s, TqxFieldKind::String, 10, false},
               {u"类别"_s, TqxFieldKind::String, 20, false},
               {u"数量"_s, TqxFieldKind::Integer, 0, false},
               {u"单价"_s, TqxFieldKind::Money, 0, false}});
    const QVariant null;
    Fill(t, {{u"r1"_s, u"木工"_s, 3, 1.5},
             {u"r2"_s, null, null, 2},
             {u"r3"_s, u"b"_s, 1, null},
             {u"r4"_s, u"B"_s, 3, 0.5},
             {u"r5"_s, u"木工"_s, -2, 1.5},
             {u"r6"_s, u"砖"_s, 1, -1},
             {u"r7"_s, u"Ab"_s, null, 2},
             {u"r8"_s, u"阿"_s, 0, 3},
             {u"r9"_s, u"丄"_s, 5, 4}});
}

QStringList ids(const QString& list)
{
    return list.split(u' ', Qt::SkipEmptyParts);
}

// Places and categories in the shape the base-data windows filter them.
void fillCategories(TqxDataSet& t)
{
    Create(t, {{u"名称"_s, TqxFieldKind::String, 10, false},
               {u"父类别"_s, TqxFieldKind::String, 50, false},
               {u"类别"_s, TqxFieldKind::String, 50, false},
               {u"项目名称"_s, TqxFieldKind::String, 50, false},
               {u"行类型"_s, TqxFieldKind::Integer, 0, false},
               {u"单价"_s, TqxFieldKind::Money, 0, false},
               {u"系统"_s, TqxFieldKind::Boolean, 0, false}});
    const QVariant null;
    Fill(t, {{u"f1"_s, u"施工地点"_s, u"厨房"_s, u"ab砖"_s, 1, 10, false},
             {u"f2"_s, u"项目类别"_s, u"项目名称"_s, u"AB门"_s, 0, 2.5, true},
             {u"f3"_s, u"施工地点"_s, u""_s, u""_s, 1, null, null},
             {u"f4"_s, u"<顶级分类>"_s, u"O'Neil"_s, u"abc"_s, 9, -3, false},
             {u"f5"_s, u"项目类别"_s, null, u"x"_s, null, 0, null}});
}

} // namespace

void TestTableQuery::indexOrder_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("stored order") << QString() << ids(u"r1 r2 r3 r4 r5 r6 r7 r8 r9"_s);
    // Empty first, Latin before Chinese, upper case before lower, GBK order, equal keys as stored.
    QTest::newRow("text") << u"类别"_s << ids(u"r2 r7 r4 r3 r9 r8 r1 r5 r6"_s);
    QTest::newRow("two fields") << u"类别;数量"_s << ids(u"r2 r7 r4 r3 r9 r8 r5 r1 r6"_s);
    QTest::newRow("integers, null first") << u" 数量 ;"_s << ids(u"r2 r7 r5 r8 r3 r6 r1 r4 r9"_s);
    QTest::newRow("money, then name") << u"单价;项目名称"_s << ids(u"r3 r6 r4 r1 r5 r2 r7 r8 r9"_s);
}

void TestTableQuery::indexOrder()
{
    QFETCH(QString, index);
    QFETCH(QStringList, order);
    TqxDataSet t;
    fillKinds(t);
    t.SetIndexFieldNames(index);
    QCOMPARE(Column(t, u"项目名称"_s), order);
    t.First();
    QCOMPARE(Current(t), order.first());

    TqxDataSet u; // an index set before opening applies on open
    u.SetIndexFieldNames(index);
    u.CloneCursor(t, true);
    QCOMPARE(Column(u, u"项目名称"_s), order);
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, t.SetIndexFieldNames(u"类别;名称"_s));
    QCOMPARE(t.IndexFieldNames(), index);
}

void TestTableQuery::indexFollowsEdits()
{
    TqxDataSet t;
    fillKinds(t);
    t.SetIndexFieldNames(u"数量"_s);
    t.Insert();
    t.FieldByName(u"项目名称"_s)->SetAsString(u"n"_s);
    t.FieldByName(u"数量"_s)->SetAsInteger(2);
    t.Post();
    QCOMPARE(Column(t, u"项目名称"_s), ids(u"r2 r7 r5 r8 r3 r6 n r1 r4 r9"_s));
    QCOMPARE(t.RecNo(), 7);
    t.Edit();
    t.FieldByName(u"数量"_s)->SetAsInteger(-5);
    t.Post();
    QCOMPARE(t.RecNo(), 3); // after the nulls, and the cursor follows the row

    // A clone keeping t's index takes t's order as edited, and then follows edits on its own.
    TqxDataSet c;
    c.CloneCursor(t, true);
    QCOMPARE(Column(c, u"项目名称"_s), Column(t, u"项目名称"_s));
    QCOMPARE(c.RecNo(), 3);
    c.Last();
    c.Edit();
    c.FieldByName(u"数量"_s)->SetAsInteger(-9);
    c.Post();
    QCOMPARE(Column(c, u"项目名称"_s), Column(t, u"项目名称"_s));
    QCOMPARE(Current(t), u"n"_s);
}

void TestTableQuery::locate_data()
{
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QVariant>("values");
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("found");
    const int ci = loCaseInsensitive;
    const int partial = loPartialKey;
    QTest::newRow("exact") << u"类别"_s << QVariant(u"木工"_s) << 0 << u"r1"_s;
    QTest::newRow("case matters") << u"类别"_s << QVariant(u"ab"_s) << 0 << QString();
    QTest::newRow("case-insensitive") << u"类别"_s << QVariant(u"aB"_s) << ci << u"r7"_s;
    QTest::newRow("no prefix without partial key") << u"类别"_s << QVariant(u"木"_s) << 0 << QString();
    QTest::newRow("prefix") << u"类别"_s << QVariant(u"木"_s) << partial << u"r1"_s;
    QTest::newRow("prefix, case matters") << u"类别"_s << QVariant(u"a"_s) << partial << QString();
    QTest::newRow("prefix, any case") << u"类别"_s << QVariant(u"a"_s) << (partial | ci) << u"r7"_s;
    QTest::newRow("trail bytes are not letters") << u"类别"_s << QVariant(u"乤"_s) << ci << QString();
    QTest::newRow("two fields") << u"类别;数量"_s << QVariant(QVariantList{u"木工"_s, -2}) << 0 << u"r5"_s;
    QTest::newRow("two fields, one wrong") << u"类别;数量"_s << QVariant(QVariantList{u"木工"_s, 1}) << 0 << QString();
    QTest::newRow("number") << u"数量"_s << QVariant(1) << 0 << u"r3"_s;
    QTest::newRow("number as text") << u"单价"_s << QVariant(u" 1.5"_s) << 0 << u"r1"_s;
    QTest::newRow("not a number") << u"数量"_s << QVariant(u"abc"_s) << 0 << QString();
    QTest::newRow("number by prefix") << u"单价"_s << QVariant(u"0."_s) << partial << u"r4"_s;
    QTest::newRow("null text is empty") << u"类别"_s << QVariant() << 0 << u"r2"_s;
    QTest::newRow("null number") << u"数量"_s << QVariant() << 0 << u"r2"_s;
}

void TestTableQuery::locate()
{
    QFETCH(QString, fields);
    QFETCH(QVariant, values);
    QFETCH(int, options);
    QFETCH(QString, found);
    TqxDataSet t;
    fillKinds(t);
    t.Last();
    QCOMPARE(t.Locate(fields, values, TqxLocateOptions(options)), !found.isEmpty());
    QCOMPARE(Current(t), found.isEmpty() ? u"r9"_s : found); // not found: the cursor stays
}

void TestTableQuery::locateBoolean()
{
    TqxDataSet t;
    Create(t, ItemDefs());
    const QVariant null;
    Fill(t, {{u"a"_s, null, 1, 1, null}, {u"b"_s, null, 2, 2, true}, {u"c"_s, null, 3, 3, false}});
    // Every option set finds a boolean by its value, whatever the letter case of its text.
    for (const TqxLocateOptions options : {TqxLocateOptions(), TqxLocateOptions(loPartialKey),
                                           TqxLocateOptions(loPartialKey | loCaseInsensitive)}) {
        QVERIFY(t.Locate(u"系统"_s, true, options));
        QCOMPARE(Current(t), u"b"_s);
        QVERIFY(t.Locate(u"系统"_s, false, options));
        QCOMPARE(Current(t), u"c"_s); // a null boolean is not false
        QVERIFY(t.Locate(u"系统"_s, u"是"_s, options));
        QCOMPARE(Current(t), u"b"_s);
    }
}

void TestTableQuery::filter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("options");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("places") << u"父类别='施工地点'"_s << 0 << ids(u"f1 f3"_s);
    QTest::newRow("words of a kind or of all") << u"类别='项目名称' Or 类别=''"_s << 0 << ids(u"f2 f3 f5"_s);
    QTest::newRow("named items") << u"项目名称<>'' And 行类型=1"_s << 0 << ids(u"f1"_s);
    QTest::newRow("prefix") << u"项目名称='ab*'"_s << 0 << ids(u"f1 f4"_s);
    QTest::newRow("prefix, any case") << u"项目名称='ab*'"_s << int(foCaseInsensitive) << ids(u"f1 f2 f4"_s);
    QTest::newRow("no partial compare") << u"项目名称='ab*'"_s << int(foNoPartialCompare) << QStringList();
    QTest::newRow("not the prefix") << u"项目名称<>'ab*'"_s << 0 << ids(u"f2 f3 f5"_s);
    QTest::newRow("doubled quote") << u"类别='O''Neil'"_s << 0 << ids(u"f4"_s);
    QTest::newRow("range, keywords in any case") << u"行类型>0 and 行类型<9"_s << 0 << ids(u"f1 f3"_s);
    QTest::newRow("money") << u"单价>=2.5"_s << 0 << ids(u"f1 f2"_s);
    QTest::newRow("negative") << u"单价<-1"_s << 0 << ids(u"f4"_s);
    QTest::newRow("empty number") << u"单价=''"_s << 0 << ids(u"f3"_s);
    QTest::newRow("number given") << u"单价<>''"_s << 0 << ids(u"f1 f2 f4 f5"_s);
    QTest::newRow("null matches no comparison") << u"行类型<>1"_s << 0 << ids(u"f2 f4"_s);
    QTest::newRow("not, boolean") << u"not (父类别='施工地点') and 系统=True"_s << 0 << ids(u"f2"_s);
    QTest::newRow("false") << u"系统=False"_s << 0 << ids(u"f1 f4"_s);
    QTest::newRow("parentheses") << u"(行类型=0 Or 行类型=9) And 单价<5"_s << 0 << ids(u"f2 f4"_s);
    QTest::newRow("bracketed field, value first") << u"'项目类别'=[父类别]"_s << 0 << ids(u"f2 f5"_s);
    QTest::newRow("is null") << u"项目名称 is null Or 行类型 IS NULL"_s << 0 << ids(u"f3 f5"_s);
    QTest::newRow("text order") << u"类别>='项目'"_s << 0 << ids(u"f2"_s);
    QTest::newRow("blank") << u"  "_s << 0 << ids(u"f1 f2 f3 f4 f5"_s);
}

void TestTableQuery::filter()
{
    QFETCH(QString, filter);
    QFETCH(int, options);
    QFETCH(QStringList, rows);
    TqxDataSet t;
    fillCategories(t);
    t.SetFilter(filter);
    t.SetFilterOptions(TqxFilterOptions(options));
    t.SetFiltered(true);
    QCOMPARE(Column(t, u"名称"_s), rows);
    QCOMPARE(t.RecordCount(), rows.size());
}

void TestTableQuery::malformedFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("message");
    QTest::newRow("open quote") << u"类别='厨房"_s << u"第 4 个字符起的字符串没有结束的单引号"_s;
    QTest::newRow("no operator") << u"类别厨房"_s << u"第 5 个字符处缺少比较运算符"_s;
    QTest::newRow("unknown field") << u"名称x='a'"_s << u"第 1 个字符处的字段“名称x”不存在"_s;
    QTest::newRow("dangling Or") << u"类别='a' Or"_s << u"第 10 个字符处缺少比较条件"_s;
    QTest::newRow("missing Or") << u"类别='a' 类别='b'"_s << u"第 8 个字符处有多余的内容“类别='b'”"_s;
    QTest::newRow("open parenthesis") << u"(类别='a'"_s << u"第 8 个字符处缺少右括号"_s;
    QTest::newRow("text for a number") << u"行类型='abc'"_s << u"第 5 个字符处的“abc”不是字段“行类型”能比较的值"_s;
    QTest::newRow("no value") << u"行类型="_s << u"第 5 个字符处缺少比较的值"_s;
}

void TestTableQuery::malformedFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, message);
    TqxDataSet t;
    fillCategories(t);
    t.SetFilter(u"行类型=1"_s);
    t.SetFiltered(true);
    try {
        t.SetFilter(filter);
        QFAIL("accepted");
    } catch (const EKavelinErr& e) {
        QVERIFY2(e.Message.startsWith(u"过滤条件“"_s + filter + u"”有错误："_s + message), qPrintable(e.Message));
    }
    // The filter in force stays, rather than an empty table.
    QCOMPARE(t.Filter(), u"行类型=1"_s);
    QCOMPARE(Column(t, u"名称"_s), ids(u"f1 f3"_s));

    t.SetFiltered(false);
    t.SetFilter(filter); // not applied while filtering is off...
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, t.SetFiltered(true)); // ...but refused when switched on
    QVERIFY(!t.Filtered());
    QCOMPARE(t.RecordCount(), 5);
}

void TestTableQuery::filterFollowsEdits()
{
    TqxDataSet t;
    fillCategories(t);
    t.SetIndexFieldNames(u"单价"_s);
    t.SetFilter(u"父类别='施工地点'"_s);
    t.SetFiltered(true);
    TqxDataSet editor;
    editor.CloneCursor(t);
    editor.Locate(u"名称"_s, u"f2"_s);
    editor.Edit();
    editor.FieldByName(u"父类别"_s)->SetAsString(u"施工地点"_s);
    editor.Post();
    QCOMPARE(Column(t, u"名称"_s), ids(u"f3 f2 f1"_s));
    editor.First();
    editor.Edit();
    editor.FieldByName(u"父类别"_s)->SetAsString(u"项目类别"_s);
    editor.Post();
    QCOMPARE(Column(t, u"名称"_s), ids(u"f3 f2"_s));
    editor.AppendRecord({u"f6"_s, u"施工地点"_s, QVariant(), QVariant(), QVariant(), 1});
    QCOMPARE(Column(t, u"名称"_s), ids(u"f3 f6 f2"_s));
}

void TestTableQuery::filterRecordEvent()
{
    TqxDataSet t;
    fillCategories(t);
    QString wanted = u"A"_s;
    int calls = 0;
    t.OnFilterRecord = [&](TqxDataSet* ds, bool& accept) {
        QCOMPARE(ds, &t);
        QVERIFY(accept); // arrives true
        ++calls;
        // Fields show the row being filtered, not the current one.
        accept = ds->FieldByName(u"项目名称"_s)->AsString().toUpper().contains(wanted);
    };
    t.SetFilter(u"行类型<9"_s);
    t.SetFiltered(true);
    QCOMPARE(Column(t, u"名称"_s), ids(u"f1 f2"_s)); // both the expression and the event must accept
    QVERIFY(calls > 0);

    wanted = u"门"_s;
    QCOMPARE(Column(t, u"名称"_s), ids(u"f1 f2"_s)); // not re-applied by itself
    t.SetFiltered(false);
    t.SetFiltered(true);
    QCOMPARE(Column(t, u"名称"_s), ids(u"f2"_s));

    t.OnFilterRecord = [](TqxDataSet*, bool&) { throw EKavelinErr(u"坏的过滤"_s); };
    t.SetFiltered(false);
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, t.SetFiltered(true));
    QVERIFY(!t.Filtered());
    QCOMPARE(t.RecordCount(), 5);
}

QTEST_GUILESS_MAIN(TestTableQuery)
#include "tst_tablequery.moc"
