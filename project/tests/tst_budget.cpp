// The budget sheet: grouping, numbering, subtotals and the change notice.

#include "BudgetFixture.h"
#include "kvYssDataSet.h"
#include "qxErrors.h"

#include <QTest>

using namespace KvBudget;

class TestBudget : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void regroupSampleShape();
    void regroupByKindAndBack();
    void emptyBudget();
    void emptyGroupNameFirst();
    void subtotalRules();
    void otherRowTypesSurvive();
    void addGroupThenAppendItem();
    void addExistingGroup();
    void insertItemInTheMiddle();
    void renameGroup();
    void deleteRowsAcrossGroups();
    void deleteGroup();
    void changedOncePerOperation_data();
    void changedOncePerOperation();
    void amountFollowsPriceAndQuantity();
    void loadBudgetPacket();

private:
    TGroupInfo* group(const QString& name) { return FDs->FindGroup(name); }
    QString at(int groupNo, int type, int no, const QString& field);
    std::unique_ptr<TkvYssDataSet> FDs;
    int FChanged = 0;
};

void TestBudget::init()
{
    FDs = std::make_unique<TkvYssDataSet>();
    FChanged = 0;
    FDs->OnAfterYssModified = [this](TkvYssDataSet*) { ++FChanged; };
}

QString TestBudget::at(int groupNo, int type, int no, const QString& field)
{
    const QVariant v = FDs->Lookup(u"组号;行类型;序号"_s, QVariantList{groupNo, type, no}, field);
    return v.isValid() ? v.toString() : u"<none>"_s;
}

void TestBudget::regroupSampleShape()
{
    FillSampleShape(*FDs);
    FDs->SetGroupField(u"施工地点"_s);
    QCOMPARE(FDs->GroupCount(), 7);
    QStringList names;
    for (int i = 0; i < FDs->GroupCount(); ++i) {
        names << FDs->Groups(i)->GroupName();
        QCOMPARE(FDs->Groups(i)->GroupNo, i + 1);
    }
    QCOMPARE(names, (QStringList{u"餐厅"_s, u"厨房"_s, u"客厅"_s, u"书房"_s, u"卫生间"_s, u"整体"_s, u"主卧室"_s}));

    // Group 1 in order: header, nine items numbered 1..9, the subtotal.
    QCOMPARE(FDs->IndexFieldNames(), u"组号;行类型;序号"_s);
    FDs->First();
    QVERIFY(FDs->IsGroupHeader());
    QCOMPARE(FDs->FieldByName(u"项目名称"_s)->AsString(), u"餐厅"_s);
    for (int i = 1; i <= 9; ++i) {
        FDs->Next();
        QCOMPARE(FDs->FieldByName(u"序号"_s)->AsInteger(), i);
        QCOMPARE(FDs->FieldByName(u"组号"_s)->AsInteger(), 1);
    }
    FDs->Next();
    QCOMPARE(FDs->FieldByName(u"行类型"_s)->AsInteger(), int(rtSubtotal));
    QCOMPARE(FDs->FieldByName(u"序号"_s)->AsInteger(), 10);
    QCOMPARE(FDs->FieldByName(u"数量"_s)->AsFloat(), 9.0);
    QCOMPARE(FDs->FieldByName(u"金额"_s)->AsFloat(), 6297.6);
    QCOMPARE(FDs->RecordCount(), 9 + 6 * 2 + 7 * 2);
    QCOMPARE(FDs->TotalAmount(), 6297.6 + 6 * (60 + 1000));
    QCOMPARE(FDs->Groups(0)->FieldSum(u"金额"_s), 6297.6);
    FChanged = 0;
    FDs->SetGroupField(u"施工地点"_s);
    QCOMPARE(FChanged, 0); // regrouping is not an edit
}

void TestBudget::regroupByKindAndBack()
{
    FillSampleShape(*FDs);
    QStringList changes;
    FDs->OnGroupChanging = [&](TkvYssDataSet*, const QString& from, const QString& to) { changes << from + u'>' + to; };
    FDs->SetGroupField(u"施工地点"_s);
    FDs->SetGroupField(u"项目类别"_s);
    QCOMPARE(changes, (QStringList{u">施工地点"_s, u"施工地点>项目类别"_s}));
    QStringList kinds;
    for (int i = 0; i < FDs->GroupCount(); ++i)
        kinds << FDs->Groups(i)->GroupName();
    QCOMPARE(kinds, (QStringList{u"地板工程"_s, u"电器工程"_s, u"油漆工程"_s, u"装修工程"_s}));
    // Inside a kind, items follow their place: 餐厅 before 主卧室.
    QCOMPARE(at(3, rtSubtotal, 9, u"数量"_s), u"8"_s);
    QCOMPARE(at(2, rtItem, 1, u"施工地点"_s), u"厨房"_s);
    QCOMPARE(at(2, rtItem, 6, u"施工地点"_s), u"主卧室"_s);
    FDs->SetGroupField(u"施工地点"_s);
    QCOMPARE(FDs->RecordCount(), 9 + 12 + 14);
    QCOMPARE(at(1, rtSubtotal, 10, u"金额"_s), u"6297.6"_s);
}

void TestBudget::emptyBudget()
{
    FDs->SetGroupField(u"施工地点"_s);
    QCOMPARE(FDs->GroupCount(), 0);
    QCOMPARE(FDs->RecordCount(), 0);
    QCOMPARE(FDs->TotalAmount(), 0.0);
    QVERIFY(!FDs->CurrentGroup());
    QVERIFY(!FDs->IsGroupHeader());
}

void TestBudget::emptyGroupNameFirst()
{
    AddItem(*FDs, {u"厨房"_s, u"a"_s, u"x"_s, 1, 1});
    AddItem(*FDs, {QString(), u"a"_s, u"y"_s, 2, 1});
    FDs->SetGroupField(u"施工地点"_s);
    QCOMPARE(FDs->GroupCount(), 2);
    QCOMPARE(FDs->Groups(0)->GroupName(), QString());
    QCOMPARE(FDs->Groups(0)->GroupNo, 1);
    QCOMPARE(at(1, rtItem, 1, u"项目名称"_s), u"y"_s);
    QCOMPARE(at(2, rtGroupHeader, 0, u"项目名称"_s), u"厨房"_s);
}

void TestBudget::subtotalRules()
{
    // Halves go away from zero at 2 decimals; unnamed items are counted in
    // the line numbers but not in the subtotal's item count.
    AddItem(*FDs, {u"厨房"_s, u"a"_s, u"x"_s, 1.005, 1});
    AddItem(*FDs, {u"厨房"_s, u"a"_s, QString(), 2, 1});
    FDs->SetGroupField(u"施工地点"_s);
    QCOMPARE(at(1, rtSubtotal, 3, u"数量"_s), u"1"_s);
    QCOMPARE(at(1, rtSubtotal, 3, u"金额"_s), u"3.01"_s);
}

void TestBudget::otherRowTypesSurvive()
{
    AddItem(*FDs, {u"厨房"_s, u"a"_s, u"x"_s, 1, 1});
    FDs->Append();
    FDs->FieldByName(u"行类型"_s)->SetAsInteger(5);
    FDs->FieldByName(u"项目名称"_s)->SetAsString(u"说明行"_s);
    FDs->FieldByName(u"序号"_s)->SetAsInteger(77);
    FDs->Post();
    FDs->SetGroupField(u"施工地点"_s);
    FDs->SetGroupField(u"项目类别"_s);
    QCOMPARE(FDs->Lookup(u"行类型"_s, 5, u"序号"_s).toInt(), 77);
    QCOMPARE(FDs->GroupCount(), 1);
    QCOMPARE(FDs->RecordCount(), 4);
}

void TestBudget::addGroupThenAppendItem()
{
    FillSampleShape(*FDs);
    FDs->SetGroupField(u"施工地点"_s);
    TGroupInfo* g = FDs->AddGroup(u"阳台"_s);
    QCOMPARE(g->GroupNo, 8);
    QVERIFY(FDs->IsGroupHeader());
    QCOMPARE(FDs->CurrentGroup(), g);
    QCOMPARE(at(8, rtGroupHeader, 0, u"项目名称"_s), u"阳台"_s);
    QCOMPARE(at(8, rtSubtotal, 1, u"项目名称"_s), u"小计"_s);

    FDs->AppendItem(g);
    QCOMPARE(FDs->FieldByName(u"序号"_s)->AsInteger(), 1);
    QCOMPARE(FDs->FieldByName(u"施工地点"_s)->AsString(), u"阳台"_s);
    QCOMPARE(at(8, rtSubtotal, 2, u"项目名称"_s), u"小计"_s);
    FDs->AppendItem(g);
    QCOMPARE(FDs->FieldByName(u"序号"_s)->AsInteger(), 2);
    QCOMPARE(at(8, rtSubtotal, 3, u"项目名称"_s), u"小计"_s);
}

void TestBudget::addExistingGroup()
{
    FillSampleShape(*FDs);
    FDs->SetGroupField(u"施工地点"_s);
    FChanged = 0;
    const int rows = FDs->RecordCount();
    try {
        FDs->AddGroup(u"厨房"_s);
        QFAIL("an existing group must be refused");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"该组“厨房”已存在！"_s);
    }
    QCOMPARE(FDs->RecordCount(), rows);
    QCOMPARE(FDs->GroupCount(), 7);
    QCOMPARE(FChanged, 0);
}

void TestBudget::insertItemInTheMiddle()
{
    for (int i = 1; i <= 5; ++i)
        AddItem(*FDs, {u"厨房"_s, u"a"_s, u"项目%1"_s.arg(i), 1, 1});
    FDs->SetGroupField(u"施工地点"_s);
    FChanged = 0;
    QVERIFY(FDs->Locate(u"项目名称"_s, u"项目3"_s));
    FDs->InsertItem(FDs->CurrentGroup());
    QCOMPARE(FDs->FieldByName(u"序号"_s)->AsInteger(), 3);
    QCOMPARE(FDs->FieldByName(u"项目名称"_s)->AsString(), QString());
    QCOMPARE(Column(*FDs, u"项目名称"_s),
             (QStringList{u"厨房"_s, u"项目1"_s, u"项目2"_s, QString(), u"项目3"_s, u"项目4"_s, u"项目5"_s, QString()}));
    QCOMPARE(Column(*FDs, u"序号"_s),
             (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s}));
    QCOMPARE(FChanged, 0); // an empty new row is not yet a change

    // On the header the new item goes first.
    FDs->LocateHeader(1);
    FDs->InsertItem(FDs->CurrentGroup());
    QCOMPARE(FDs->RecNo(), 2);
    QCOMPARE(Column(*FDs, u"序号"_s).last(), u"8"_s);
}

void TestBudget::renameGroup()
{
    FillSampleShape(*FDs);
    FDs->SetGroupField(u"施工地点"_s);
    FChanged = 0;
    FDs->FindGroup(u"餐厅"_s)->SetGroupName(u"饭厅"_s);
    QCOMPARE(FChanged, 1);
    QCOMPARE(FDs->Groups(0)->GroupName(), u"饭厅"_s);
    QVERIFY(!FDs->FindGroup(u"餐厅"_s));
    for (int no = 1; no <= 9; ++no)
        QCOMPARE(at(1, rtItem, no, u"施工地点"_s), u"饭厅"_s);
    QCOMPARE(at(1, rtSubtotal, 10, u"施工地点"_s), u"饭厅"_s);
    // The stored header keeps the old name until the next regrouping.
    QCOMPARE(at(1, rtGroupHeader, 0, u"项目名称"_s), u"餐厅"_s);
    FDs->Regroup();
    QCOMPARE(at(2, rtGroupHeader, 0, u"项目名称"_s), u"饭厅"_s); // 饭 sorts between 厨 and 客
    QCOMPARE(FDs->ChangeCount(), 0);
}

void TestBudget::deleteRowsAcrossGroups()
{
    FillSampleShape(*FDs);
    FDs->SetGroupField(u"施工地点"_s);
    FChanged = 0;
    QList<TqxBookmark> rows;
    QVERIFY(FDs->Locate(u"组号;行类型;序号"_s, QVariantList{1, int(rtItem), 2}));
    rows << FDs->GetBookmark();
    QVERIFY(FDs->Locate(u"组号;行类型;序号"_s, QVariantList{3, int(rtItem), 1}));
    rows << FDs->GetBookmark();
    FDs->DeleteRows(rows);
    QCOMPARE(FChanged, 1);
    QVERIFY(!FDs->BookmarkValid(rows[0]));
    // Both groups renumbered and re-totalled, wherever the cursor ended.
    QCOMPARE(at(1, rtSubtotal, 9, u"数量"_s), u"8"_s);
    QCOMPARE(at(1, rtSubtotal, 9, u"金额"_s), u"5597.6"_s);
    QCOMPARE(at(1, rtItem, 2, u"项目名称"_s), u"项目1"_s);
    QCOMPARE(at(1, rtItem, 8, u"项目名称"_s), u"项目7"_s);
    QCOMPARE(at(3, rtItem, 1, u"项目名称"_s), u"墙面乳胶漆"_s);
    QCOMPARE(at(3, rtSubtotal, 2, u"金额"_s), u"1000"_s);
    QCOMPARE(FDs->TotalAmount(), 5597.6 + 1000 + 5 * 1060);
}

void TestBudget::deleteGroup()
{
    FillSampleShape(*FDs);
    FDs->SetGroupField(u"施工地点"_s);
    FDs->DeleteGroup(u"厨房"_s, true);
    QCOMPARE(FDs->GroupCount(), 6);
    QCOMPARE(at(2, rtGroupHeader, 0, u"项目名称"_s), u"<none>"_s);
    QCOMPARE(FDs->RecordCount(), 35 - 4);
    FDs->DeleteGroup(u"nosuch"_s, true);
    FDs->Regroup();
    QCOMPARE(FDs->Groups(1)->GroupName(), u"客厅"_s);
    QCOMPARE(FDs->Groups(1)->GroupNo, 2);
}

void TestBudget::changedOncePerOperation_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("notices");
    QTest::newRow("regroup") << 0 << 0;
    QTest::newRow("add group") << 1 << 1;
    QTest::newRow("append item") << 2 << 0;
    QTest::newRow("delete three rows") << 3 << 1;
    QTest::newRow("delete a group with its rows") << 4 << 1;
    QTest::newRow("edit a quantity") << 5 << 1;
    QTest::newRow("delete one row directly") << 6 << 1;
}

void TestBudget::changedOncePerOperation()
{
    QFETCH(int, operation);
    FillSampleShape(*FDs);
    FDs->SetGroupField(u"施工地点"_s);
    FChanged = 0;
    switch (operation) {
    case 0: FDs->Regroup(); break;
    case 1: FDs->AddGroup(u"阳台"_s); break;
    case 2: FDs->AppendItem(FDs->Groups(0)); break;
    case 3: {
        QList<TqxBookmark> rows;
        for (int no = 1; no <= 3; ++no) {
            FDs->Locate(u"组号;行类型;序号"_s, QVariantList{1, int(rtItem), no});
            rows << FDs->GetBookmark();
        }
        FDs->DeleteRows(rows);
        break;
    }
    case 4: FDs->DeleteGroup(u"餐厅"_s, true); break;
    case 5:
        FDs->Locate(u"组号;行类型;序号"_s, QVariantList{1, int(rtItem), 1});
        FDs->Edit();
        FDs->FieldByName(u"数量"_s)->SetAsFloat(3);
        FDs->Post();
        break;
    case 6:
        FDs->Locate(u"组号;行类型;序号"_s, QVariantList{1, int(rtItem), 1});
        FDs->Delete();
        break;
    }
    QTEST(FChanged, "notices");
}

void TestBudget::amountFollowsPriceAndQuantity()
{
    AddItem(*FDs, {u"厨房"_s, u"a"_s, u"x"_s, 12.5, 2});
    QCOMPARE(FDs->FieldByName(u"金额"_s)->AsFloat(), 25.0);
    FDs->SetGroupField(u"施工地点"_s);
    FDs->Locate(u"项目名称"_s, u"x"_s);
    FDs->Edit();
    FDs->FieldByName(u"数量"_s)->SetAsFloat(0.33335); // the quantity counts at 4 decimals
    QCOMPARE(FDs->FieldByName(u"金额"_s)->AsFloat(), 4.1675);
    FDs->FieldByName(u"单价"_s)->SetAsFloat(3.33);
    QCOMPARE(FDs->FieldByName(u"金额"_s)->AsFloat(), 1.1102); // 0.3334 × 3.33
    FDs->Post();
    QCOMPARE(FDs->ChangeCount(), 0); // merged after every post
    // The subtotal follows at once, as the sum of the amounts at 4 decimals.
    QCOMPARE(at(1, rtSubtotal, 2, u"金额"_s), u"1.1102"_s);
    QCOMPARE(FDs->TotalAmount(), 1.1102);

    // Generated rows do not compute amounts.
    FDs->LocateSubtotal(1);
    FDs->Edit();
    FDs->FieldByName(u"数量"_s)->SetAsFloat(5);
    QCOMPARE(FDs->FieldByName(u"金额"_s)->AsFloat(), 1.1102);
    FDs->Cancel();
}

void TestBudget::loadBudgetPacket()
{
    FillSampleShape(*FDs);
    FDs->SetGroupField(u"施工地点"_s);
    const QByteArray packet = FDs->SaveToBytes();
    TkvYssDataSet other;
    AddItem(other, {u"x"_s, u"y"_s, u"z"_s, 1, 1});
    other.LoadBudget(packet);
    QCOMPARE(other.RecordCount(), FDs->RecordCount());
    QCOMPARE(other.GroupCount(), 0); // loading does not regroup
    other.SetGroupField(u"施工地点"_s);
    QCOMPARE(other.GroupCount(), 7);
    QCOMPARE(other.TotalAmount(), FDs->TotalAmount());
    // The amount rule survives a load.
    other.Locate(u"组号;行类型;序号"_s, QVariantList{2, int(rtItem), 1});
    other.Edit();
    other.FieldByName(u"数量"_s)->SetAsFloat(10);
    QCOMPARE(other.FieldByName(u"金额"_s)->AsFloat(), 150.0);
    other.Post();
}

QTEST_GUILESS_MAIN(TestBudget)
#include "tst_budget.moc"
