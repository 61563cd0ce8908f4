// The fee table: row operations, the single-pass computation and templates.

#include "BudgetFixture.h"
#include "kvQfbDataSet.h"
#include "qxErrors.h"
#include "qxExpression.h"

#include <QTemporaryDir>
#include <QTest>

using namespace KvBudget;

class TestFees : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void standardFees();
    void references_data();
    void references();
    void failuresStopAtTheirRow_data();
    void failuresStopAtTheirRow();
    void rowCommands_data();
    void rowCommands();
    void noEvaluator();
    void templateRoundTrip();

private:
    void setRows(const QStringList& formulas, const QList<double>& amounts = {});
    QList<double> amounts();
    QStringList numbers();

    std::unique_ptr<TkvYssDataSet> FBudget;
    std::unique_ptr<TkvQfbDataSet> FFees;
    TqxExp FExp;
};

void TestFees::init()
{
    FBudget = std::make_unique<TkvYssDataSet>();
    AddItem(*FBudget, {u"整体"_s, u"装修工程"_s, u"全部工程"_s, 169424.2, 1});
    FBudget->SetGroupField(u"施工地点"_s);
    FFees = std::make_unique<TkvQfbDataSet>();
    FFees->qxExp = &FExp;
    FExp.OnGetValue = [this](TqxExp* sender, const QString& name, TqxVariant& value) {
        FeeVariableValue(*FBudget, *FFees, sender, name, value);
    };
}

void TestFees::setRows(const QStringList& formulas, const QList<double>& amounts)
{
    FFees->EmptyDataSet();
    for (int i = 0; i < formulas.size(); ++i) {
        FFees->AppendRow();
        FFees->Edit();
        FFees->FieldByName(u"取费名称"_s)->SetAsString(u"第%1项"_s.arg(i + 1));
        FFees->FieldByName(u"计算公式"_s)->SetAsString(formulas[i]);
        if (i < amounts.size())
            FFees->FieldByName(u"金额"_s)->SetAsFloat(amounts[i]);
        FFees->Post();
    }
}

QList<double> TestFees::amounts()
{
    QList<double> out;
    for (FFees->First(); !FFees->Eof(); FFees->Next())
        out << FFees->FieldByName(u"金额"_s)->AsFloat();
    return out;
}

QStringList TestFees::numbers()
{
    QStringList out;
    for (FFees->First(); !FFees->Eof(); FFees->Next())
        out << FFees->FieldByName(u"序号"_s)->AsString() + u':' + FFees->FieldByName(u"取费名称"_s)->AsString();
    return out;
}

void TestFees::standardFees()
{
    setRows({u"[工程直接费]"_s, u"[1]*0.17"_s, u"[1]*.03"_s, u"[1]+[2]+[3]"_s});
    FFees->Last();
    FFees->ComputeFees();
    QCOMPARE(FFees->RecNo(), 1);
    QCOMPARE(FExp.Tag, 0);
    QCOMPARE(amounts(), (QList<double>{169424.2, 28802.114, 5082.726, 203309.04}));
}

void TestFees::references_data()
{
    QTest::addColumn<QStringList>("formulas");
    QTest::addColumn<QList<double>>("before");
    QTest::addColumn<QList<double>>("after");
    QTest::newRow("a row beyond the table") << QStringList{u"1"_s, u"2"_s, u"3"_s, u"[5]"_s} << QList<double>{}
                                            << QList<double>{1, 2, 3, 0};
    QTest::newRow("upwards sees the old amount")
        << QStringList{u"[2]"_s, u"7"_s} << QList<double>{0, 5} << QList<double>{5, 7};
    QTest::newRow("blank formula keeps its amount")
        << QStringList{u" "_s, u"[1]*2"_s} << QList<double>{4.5, 0} << QList<double>{4.5, 9};
    QTest::newRow("direct cost inside a function")
        << QStringList{u"IIF([工程直接费]>1,1,2)"_s} << QList<double>{} << QList<double>{1};
    QTest::newRow("booleans and texts convert") << QStringList{u"1=1"_s, u"\"12.5\""_s} << QList<double>{}
                                                << QList<double>{-1, 12.5};
}

void TestFees::references()
{
    QFETCH(QStringList, formulas);
    QFETCH(QList<double>, before);
    setRows(formulas, before);
    FFees->ComputeFees();
    QTEST(amounts(), "after");
}

void TestFees::failuresStopAtTheirRow_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown variable") << u"[未知]*2"_s << u"取费表第 2 行的计算结果不能转换为数值"_s;
    QTest::newRow("row inside a function") << u"IIF(1>0,[1],0)"_s << u"取费表第 2 行的计算结果不能转换为数值"_s;
    QTest::newRow("rejected formula") << u"[1]*"_s << u"取费表第 2 行的计算公式“[1]*”有错："_s;
    QTest::newRow("text that is no number") << u"\"abc\""_s << u"取费表第 2 行的计算结果不能转换为数值"_s;
}

void TestFees::failuresStopAtTheirRow()
{
    QFETCH(QString, formula);
    QFETCH(QString, message);
    setRows({u"[工程直接费]"_s, formula, u"[1]"_s}, {0, 11, 22});
    try {
        FFees->ComputeFees();
        QFAIL("the computation must stop");
    } catch (const EKavelinErr& e) {
        QVERIFY2(e.Message.startsWith(message), qPrintable(e.Message));
    }
    // The row above kept its new amount; the failing row and those below did not change.
    QCOMPARE(amounts(), (QList<double>{169424.2, 11, 22}));
    QVERIFY(!FFees->ControlsDisabled());
    QCOMPARE(FExp.Tag, 0);
}

void TestFees::rowCommands_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("insert on the first row appends")
        << 1 << u"insert"_s << QStringList{u"1:第1项"_s, u"2:第2项"_s, u"3:第3项"_s, u"4:第4项"_s, u"5:"_s};
    QTest::newRow("insert on row 3")
        << 3 << u"insert"_s << QStringList{u"1:第1项"_s, u"2:第2项"_s, u"3:"_s, u"4:第3项"_s, u"5:第4项"_s};
    QTest::newRow("append") << 2 << u"append"_s
                            << QStringList{u"1:第1项"_s, u"2:第2项"_s, u"3:第3项"_s, u"4:第4项"_s, u"5:"_s};
    QTest::newRow("delete row 2") << 2 << u"delete"_s << QStringList{u"1:第1项"_s, u"2:第3项"_s, u"3:第4项"_s};
    QTest::newRow("delete row 1 refused")
        << 1 << u"delete"_s << QStringList{u"1:第1项"_s, u"2:第2项"_s, u"3:第3项"_s, u"4:第4项"_s};
}

void TestFees::rowCommands()
{
    QFETCH(int, row);
    QFETCH(QString, command);
    setRows({u"1"_s, u"2"_s, u"3"_s, u"4"_s});
    QVERIFY(FFees->Locate(u"序号"_s, row));
    if (command == u"insert"_s)
        FFees->InsertCommand();
    else if (command == u"append"_s)
        FFees->AppendRow();
    else
        QCOMPARE(FFees->DeleteCommand(), row != 1);
    QTEST(numbers(), "after");
}

void TestFees::noEvaluator()
{
    setRows({u"1"_s});
    FFees->qxExp = nullptr;
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, FFees->ComputeFees());
    try {
        FFees->Compute();
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"没有连接运算对象！"_s);
    }
}

void TestFees::templateRoundTrip()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(u"标准取费.KVD"_s);
    setRows({u"[工程直接费]"_s, u"[1]*0.17"_s, u"[1]*.03"_s, u"[1]+[2]+[3]"_s});
    FFees->SaveTemplate(name);

    setRows({u"9"_s, u"8"_s});
    FFees->LoadTemplate(name); // replaces the whole table and computes
    QCOMPARE(numbers(), (QStringList{u"1:第1项"_s, u"2:第2项"_s, u"3:第3项"_s, u"4:第4项"_s}));
    QCOMPARE(amounts(), (QList<double>{169424.2, 28802.114, 5082.726, 203309.04}));
    FFees->First();
    QCOMPARE(FFees->FieldByName(u"计算公式"_s)->AsString(), u"[工程直接费]"_s);

    // A packet of another table is refused and the fee table stays as it was.
    const QString other = dir.filePath(u"单位.KVD"_s);
    TqxDataSet units;
    units.SetFieldDefs({{u"单位"_s, TqxFieldKind::String, 20, true}, {u"查询码"_s, TqxFieldKind::String, 50}});
    units.CreateDataSet();
    units.AppendRecord({u"平方米"_s, u"pf"_s});
    units.SaveToFile(other);
    try {
        FFees->LoadTemplate(other);
        QFAIL("a table that is no fee table must be refused");
    } catch (const EFileError& e) {
        QVERIFY2(e.Message.contains(u"单位.KVD"_s), qPrintable(e.Message));
    }
    QCOMPARE(FFees->FieldDefs(), TkvQfbDataSet::FeeFieldDefs());
    QCOMPARE(FFees->IndexFieldNames(), u"序号"_s);
    QCOMPARE(amounts(), (QList<double>{169424.2, 28802.114, 5082.726, 203309.04}));
}

QTEST_GUILESS_MAIN(TestFees)
#include "tst_fees.moc"
