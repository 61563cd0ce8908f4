// kvtool budget on a small project made here: the regrouped rows, the direct
// cost and the computed fees, exactly as a script reads them.

#include "KavelinFiles.h"
#include "KvTestSupport.h"
#include "KvtoolRun.h"
#include "kvQfbDataSet.h"
#include "kvYssDataSet.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using KvTest::kvtool;
using KvTest::Run;

class TestKvtoolBudget : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void placeViewFromFile();
    void otherView();
    void failures_data();
    void failures();
    void moneyForm();
    void stagedSample();

private:
    QString project(const QString& name, const QString& view, const QStringList& formulas);
    QTemporaryDir FDir;
};

namespace {

void addItem(TkvYssDataSet& ds, const QString& place, const QString& kind, const QString& name, double price,
             double quantity)
{
    ds.Append();
    ds.FieldByName(u"行类型"_s)->SetAsInteger(rtItem);
    ds.FieldByName(u"施工地点"_s)->SetAsString(place);
    ds.FieldByName(u"项目类别"_s)->SetAsString(kind);
    ds.FieldByName(u"项目名称"_s)->SetAsString(name);
    ds.FieldByName(u"单位"_s)->SetAsString(u"平方米"_s);
    ds.FieldByName(u"单价"_s)->SetAsFloat(price);
    ds.FieldByName(u"数量"_s)->SetAsFloat(quantity);
    ds.Post();
}

const QString kBudgetHeader = u"序号\t行类型\t项目名称\t组号\t项目类别\t施工地点\t单位\t单价\t数量\t金额\t备注\t市场价\t差价\t项目编码"_s;
const QString kFeeHeader = u"序号\t取费名称\t计算公式\t金额\t说明"_s;

} // namespace

void TestKvtoolBudget::initTestCase() { QVERIFY(FDir.isValid()); }

QString TestKvtoolBudget::project(const QString& name, const QString& view, const QStringList& formulas)
{
    TkvYssDataSet budget;
    addItem(budget, u"客厅"_s, u"油漆工程"_s, u"墙面乳胶漆"_s, 25, 40);
    addItem(budget, u"餐厅"_s, u"地板工程"_s, u"地砖铺贴"_s, 60, 12.5);
    addItem(budget, u"客厅"_s, u"地板工程"_s, u"地砖铺贴"_s, 60, 30);
    TkvQfbDataSet fees;
    for (const QString& f : formulas) {
        fees.AppendRow();
        fees.Edit();
        fees.FieldByName(u"计算公式"_s)->SetAsString(f);
        fees.Post();
    }
    TKVFile file;
    file.SaveSection(u"预算书"_s, budget.SaveToBytes());
    file.SaveSection(u"取费表"_s, fees.SaveToBytes());
    if (!view.isEmpty())
        file.WriteValue(u"视图"_s, view);
    const QString path = FDir.filePath(name);
    file.SaveToFile(path);
    return path;
}

void TestKvtoolBudget::placeViewFromFile()
{
    const Run r = kvtool({u"budget"_s, project(u"p.KVP"_s, u"施工地点"_s, {u"[工程直接费]"_s, u"[1]*0.17"_s})});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    const QString expected = kBudgetHeader + u"\n"
        "0\t0\t餐厅\t1\t\t\t\t\t\t\t\t\t\t\n"
        "1\t1\t地砖铺贴\t1\t地板工程\t餐厅\t平方米\t60\t12.5\t750\t\t\t\t\n"
        "2\t9\t\t1\t\t\t\t\t1\t750\t\t\t\t\n"
        "0\t0\t客厅\t2\t\t\t\t\t\t\t\t\t\t\n"
        "1\t1\t地砖铺贴\t2\t地板工程\t客厅\t平方米\t60\t30\t1800\t\t\t\t\n"
        "2\t1\t墙面乳胶漆\t2\t油漆工程\t客厅\t平方米\t25\t40\t1000\t\t\t\t\n"
        "3\t9\t\t2\t\t\t\t\t2\t2800\t\t\t\t\n"
        "工程直接费\t3550\n"_s
        + kFeeHeader + u"\n"
        "1\t\t[工程直接费]\t3550\t\n"
        "2\t\t[1]*0.17\t603.5\t\n"_s;
    QCOMPARE(r.out, expected);
}

void TestKvtoolBudget::otherView()
{
    // Without a view in the file the budget shows categories, as the program does.
    const QString path = project(u"q.KVP"_s, QString(), {});
    const Run byKind = kvtool({u"budget"_s, path});
    QCOMPARE(byKind.code, 0);
    const QStringList lines = byKind.out.split(u'\n');
    QCOMPARE(lines[1], u"0\t0\t地板工程\t1\t\t\t\t\t\t\t\t\t\t"_s);
    QCOMPARE(lines.last(), QString());
    QCOMPARE(lines[lines.size() - 2], kFeeHeader);
    const Run byPlace = kvtool({u"budget"_s, path, u"--view"_s, u"施工地点"_s});
    QCOMPARE(byPlace.out.split(u'\n')[1], u"0\t0\t餐厅\t1\t\t\t\t\t\t\t\t\t\t"_s);
}

void TestKvtoolBudget::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString bad = project(u"bad.KVP"_s, u"施工地点"_s, {u"[工程直接费]"_s, u"[1]*"_s});
    QTest::newRow("formula") << QStringList{bad} << 1 << u"取费表第 2 行"_s;
    QTest::newRow("missing file") << QStringList{FDir.filePath(u"none.KVP"_s)} << 1 << u"无法打开文件"_s;
    QTest::newRow("unknown view") << QStringList{bad, u"--view"_s, u"房间"_s} << 2 << u"用法"_s;
    // A backup has no budget: no zero budget printed as if it were one.
    TKVFile backup;
    backup.SaveSection(u"系统项目库"_s, QByteArray("table"));
    const QString backupName = FDir.filePath(u"base.KVB"_s);
    backup.SaveToFile(backupName);
    QTest::newRow("backup") << QStringList{backupName} << 1 << u"无法读取不存在的数据区[预算书]！"_s;
    // A damaged section is named by the file and the section, not as a stream.
    TKVFile damaged;
    damaged.SaveSection(u"预算书"_s, QByteArray("no table packet at all"));
    const QString damagedName = FDir.filePath(u"damaged.KVP"_s);
    damaged.SaveToFile(damagedName);
    QTest::newRow("damaged budget") << QStringList{damagedName} << 1 << u"文件“"_s + damagedName + u" [预算书]”不是表数据文件"_s;
}

void TestKvtoolBudget::failures()
{
    QFETCH(QStringList, args);
    args.prepend(u"budget"_s);
    const Run r = kvtool(args);
    QTEST(r.code, "code");
    QCOMPARE(r.out, QString());
    QFETCH(QString, message);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

void TestKvtoolBudget::moneyForm()
{
    // Money prints with at most 4 decimals, never the binary noise of a sum.
    TkvYssDataSet budget;
    addItem(budget, u"客厅"_s, u"油漆工程"_s, u"踢脚线"_s, 0.1, 1);
    addItem(budget, u"客厅"_s, u"油漆工程"_s, u"门套"_s, 0.2, 1);
    TKVFile file;
    file.SaveSection(u"预算书"_s, budget.SaveToBytes());
    const QString path = FDir.filePath(u"money.KVP"_s);
    file.SaveToFile(path);
    const Run r = kvtool({u"budget"_s, path});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.split(u'\n').contains(u"工程直接费\t0.3"_s), qPrintable(r.out));
}

void TestKvtoolBudget::stagedSample()
{
    const Run r = kvtool({u"budget"_s, qEnvironmentVariable("KV_PRISTINE_STAGE_DIR") + u"/工程/预算示例.KVP"_s});
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split(u'\n');
    QCOMPARE(lines[1], u"0\t0\t餐厅\t1\t\t\t\t\t\t\t\t\t\t"_s);
    QCOMPARE(lines[11], u"10\t9\t\t1\t\t\t\t\t9\t6297.6\t\t\t\t"_s);
    QVERIFY(lines.contains(u"工程直接费\t169424.2"_s));
    QCOMPARE(lines.mid(lines.size() - 5, 4), (QStringList{u"1\t工程定额直接费费用\t[工程直接费]\t169424.2\t"_s,
                                                          u"2\t税费\t[1]*0.17\t28802.114\t"_s,
                                                          u"3\t人工费\t[1]*.03\t5082.726\t"_s,
                                                          u"4\t总费用\t[1]+[2]+[3]\t203309.04\t"_s}));
}

QTEST_GUILESS_MAIN(TestKvtoolBudget)
#include "tst_kvtool_budget.moc"
