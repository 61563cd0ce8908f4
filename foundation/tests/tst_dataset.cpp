// The table store as the windows use it: field kinds, navigation, editing,
// events, clone cursors, the change log, bookmarks and files.

#include "KvTestSupport.h"
#include "TableTestSupport.h"
#include "qxErrors.h"
#include "qxNumbers.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>

using namespace KvTable;

class TestDataSet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fieldKindsRoundTrip();
    void moneyRounding_data();
    void moneyRounding();
    void numberForms_data();
    void numberForms();
    void navigation();
    void appendInsertAndDelete();
    void editAndCancel();
    void insertWithoutChangesIsDropped();
    void fieldAccessRules();
    void requiredField();
    void eventOrder();
    void beforePostAbort();
    void subclassHooks();
    void cloneSharesRowsAndChanges();
    void cloneHasOwnOrderFilterAndPosition();
    void changeLog();
    void bookmarks();
    void disableControlsNests();
    void tableFiles();
};

namespace {

void fillAbc(TqxDataSet& t)
{
    Create(t, ItemDefs());
    Fill(t, {{u"a"_s, u"木"_s}, {u"b"_s, u"木"_s}, {u"c"_s, u"砖"_s}});
    t.MergeChangeLog();
    t.First();
}

} // namespace

void TestDataSet::fieldKindsRoundTrip()
{
    TqxDataSet t;
    Create(t, {{u"名称"_s, TqxFieldKind::String, 6, false},
               {u"整数"_s, TqxFieldKind::Integer, 0, false},
               {u"小数"_s, TqxFieldKind::Float, 0, false},
               {u"金额"_s, TqxFieldKind::Money, 0, false},
               {u"标志"_s, TqxFieldKind::Boolean, 0, true},
               {u"日期"_s, TqxFieldKind::Date, 0, false},
               {u"时刻"_s, TqxFieldKind::DateTime, 0, false}});
    const QDateTime when(QDate(2006, 10, 6), QTime(19, 44, 27, 984));
    Fill(t, {{u"木工安装"_s, -5, 0.1, 12.34565, true, QDate(2006, 10, 6), when},
             {QVariant(), QVariant(), QVariant(), QVariant(), false},
             {u"ab木工"_s, std::numeric_limits<qint32>::min(), 1e300, -0.5, true},
             {u"abc木工"_s, std::numeric_limits<qint32>::max(), -0.0, 0.0, false}});
    // Text is cut to 6 GBK bytes at a character boundary; money keeps 4 decimals.
    const QList<QVariantList> expected = {
        {u"木工安"_s, -5, 0.1, 12.3457, true, QDate(2006, 10, 6), when},
        {QVariant(), QVariant(), QVariant(), QVariant(), false, QVariant(), QVariant()},
        {u"ab木工"_s, std::numeric_limits<qint32>::min(), 1e300, -0.5, true, QVariant(), QVariant()},
        {u"abc木"_s, std::numeric_limits<qint32>::max(), -0.0, 0.0, false, QVariant(), QVariant()},
    };

    TqxDataSet u;
    u.LoadFromBytes(t.SaveToBytes(), u"test"_s);
    QCOMPARE(u.FieldDefs(), t.FieldDefs());
    QCOMPARE(u.RecordCount(), 4);
    for (TqxDataSet* ds : {&t, &u}) {
        ds->First();
        for (const QVariantList& row : expected) {
            for (int f = 0; f < ds->FieldCount(); ++f) {
                QCOMPARE(ds->Fields(f)->IsNull(), !row[f].isValid());
                QCOMPARE(ds->Fields(f)->AsVariant(), row[f]);
            }
            ds->Next();
        }
    }
    u.First();
    QCOMPARE(u.FieldByName(u"金额"_s)->DisplayText(), u"12.35"_s);
    QCOMPARE(u.FieldByName(u"时刻"_s)->AsString(), u"2006-10-06 19:44:27.984"_s);
    QCOMPARE(u.FieldByName(u"标志"_s)->AsString(), u"True"_s);
    u.Next();
    QCOMPARE(u.FieldByName(u"金额"_s)->DisplayText(), QString());
    QCOMPARE(u.FieldByName(u"整数"_s)->AsInteger(), 0);
}

void TestDataSet::moneyRounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("half up at the 5th decimal") << 1.00005 << 1.0001 << u"1.00"_s;
    QTest::newRow("half away from zero") << -2.34565 << -2.3457 << u"-2.35"_s;
    QTest::newRow("binary value below the half") << 2.675 << 2.675 << u"2.68"_s;
    QTest::newRow("shown half") << 0.125 << 0.125 << u"0.13"_s;
    QTest::newRow("below the half") << 1.00004999 << 1.0 << u"1.00"_s;
    QTest::newRow("tiny negative") << -0.00004 << 0.0 << u"0.00"_s;
    QTest::newRow("large") << 123456789.12345 << 123456789.1235 << u"123456789.12"_s;
    QTest::newRow("amount") << 6297.6 << 6297.6 << u"6297.60"_s;
}

void TestDataSet::moneyRounding()
{
    QFETCH(double, value);
    QFETCH(double, stored);
    QFETCH(QString, shown);
    TqxDataSet t;
    Create(t, ItemDefs());
    t.AppendRecord({u"x"_s, QVariant(), QVariant(), value});
    TqxField* price = t.FieldByName(u"单价"_s);
    QCOMPARE(price->AsFloat(), stored);
    QCOMPARE(price->DisplayText(), shown);
    QVERIFY(!std::signbit(price->AsFloat()) || stored < 0);
}

void TestDataSet::numberForms_data()
{
    // One text form for numbers wherever they are printed or shown unformatted:
    // the formulas' FLOATTOSTR general format, money with at most 4 decimals.
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("money");
    QTest::newRow("small") << 0.0001 << u"0.0001"_s << u"0.0001"_s;
    QTest::newRow("smaller: exponent form") << 0.00001 << u"1E-5"_s << u"0"_s;
    QTest::newRow("large") << 1e20 << u"1E20"_s << u"1E20"_s;
    QTest::newRow("15 digits") << 1.0 / 3 << u"0.333333333333333"_s << u"0.3333"_s;
    QTest::newRow("binary noise") << 148392205.18229997 << u"148392205.1823"_s << u"148392205.1823"_s;
    QTest::newRow("whole") << -2.0 << u"-2"_s << u"-2"_s;
}

void TestDataSet::numberForms()
{
    QFETCH(double, value);
    QFETCH(QString, number);
    QFETCH(QString, money);
    QCOMPARE(FloatToStr(value), number);
    QCOMPARE(MoneyToStr(value), money);
    TqxDataSet t;
    Create(t, {{u"数"_s, TqxFieldKind::Float}, {u"金额"_s, TqxFieldKind::Money}});
    t.AppendRecord({value, value});
    QCOMPARE(t.Fields(0)->AsString(), number);
    QCOMPARE(t.Fields(0)->DisplayText(), number); // what the grid shows
    QCOMPARE(t.Fields(1)->AsString(), money);
}

void TestDataSet::navigation()
{
    TqxDataSet t;
    Create(t, ItemDefs());
    t.First();
    QVERIFY(t.Bof() && t.Eof());
    QCOMPARE(t.RecNo(), 0);
    QVERIFY(t.FieldByName(u"项目名称"_s)->IsNull());
    QCOMPARE(t.MoveBy(3), 0);

    fillAbc(t);
    QVERIFY(t.Bof() && !t.Eof());
    QCOMPARE(Current(t), u"a"_s);
    t.Next();
    QVERIFY(!t.Bof());
    t.Next();
    QCOMPARE(Current(t), u"c"_s);
    QVERIFY(!t.Eof());
    t.Next();
    QVERIFY(t.Eof());
    QCOMPARE(Current(t), u"c"_s);
    t.Prior();
    QVERIFY(!t.Eof());
    QCOMPARE(t.RecNo(), 2);
    QCOMPARE(t.MoveBy(-5), -1);
    QVERIFY(t.Bof());
    QCOMPARE(t.MoveBy(10), 2);
    QVERIFY(t.Eof());
    t.SetRecNo(2);
    QCOMPARE(Current(t), u"b"_s);
    t.Last();
    QVERIFY(t.Eof() && !t.Bof());
    QCOMPARE(t.RecordCount(), 3);
}

void TestDataSet::appendInsertAndDelete()
{
    TqxDataSet t;
    fillAbc(t);
    t.Next();
    t.Insert();
    t.FieldByName(u"项目名称"_s)->SetAsString(u"x"_s);
    t.Post();
    QCOMPARE(Column(t, u"项目名称"_s), (QStringList{u"a"_s, u"x"_s, u"b"_s, u"c"_s}));
    QCOMPARE(t.RecNo(), 2);
    t.Append();
    t.FieldByName(u"项目名称"_s)->SetAsString(u"y"_s);
    t.Post();
    QCOMPARE(Current(t), u"y"_s);

    t.Delete(); // the last row: the new last becomes current
    QCOMPARE(Current(t), u"c"_s);
    t.SetRecNo(3);
    t.Delete(); // b: the next row takes its place
    QCOMPARE(Current(t), u"c"_s);
    QCOMPARE(Column(t, u"项目名称"_s), (QStringList{u"a"_s, u"x"_s, u"c"_s}));
    while (!t.IsEmpty())
        t.Delete();
    QVERIFY(t.Bof() && t.Eof());
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, t.Delete());
}

void TestDataSet::editAndCancel()
{
    TqxDataSet t;
    fillAbc(t);
    TqxDataSet other;
    other.CloneCursor(t);
    t.Next();
    t.Edit();
    t.FieldByName(u"数量"_s)->SetAsInteger(5);
    QVERIFY(t.Modified());
    QCOMPARE(t.FieldByName(u"数量"_s)->AsInteger(), 5); // the buffer
    other.Next();
    QVERIFY(other.FieldByName(u"数量"_s)->IsNull()); // not posted yet
    t.Cancel();
    QVERIFY(t.FieldByName(u"数量"_s)->IsNull());
    QCOMPARE(t.ChangeCount(), 0);

    t.Edit();
    t.FieldByName(u"数量"_s)->SetAsString(u" 7 "_s);
    t.Post();
    QCOMPARE(t.State(), TqxDataSetState::Browse);
    QCOMPARE(other.FieldByName(u"数量"_s)->AsInteger(), 7);
    QCOMPARE(t.ChangeCount(), 1);

    // Edit on an empty table inserts.
    TqxDataSet e;
    Create(e, ItemDefs());
    e.Edit();
    QCOMPARE(e.State(), TqxDataSetState::Insert);
}

void TestDataSet::insertWithoutChangesIsDropped()
{
    TqxDataSet t;
    fillAbc(t);
    t.OnNewRecord = [](TqxDataSet* ds) { ds->FieldByName(u"类别"_s)->SetAsString(u"默认"_s); };
    t.Append();
    t.First(); // nothing typed: dropped, like a blank grid row left behind
    QCOMPARE(t.RecordCount(), 3);
    t.Append();
    t.FieldByName(u"项目名称"_s)->SetAsString(u"d"_s);
    t.First(); // typed: posted
    QCOMPARE(t.RecordCount(), 4);
    t.Last();
    QCOMPARE(Current(t, u"类别"_s), u"默认"_s);
}

void TestDataSet::fieldAccessRules()
{
    TqxDataSet t;
    Create(t, {{u"Name"_s, TqxFieldKind::String, 10, false}, {u"数量"_s, TqxFieldKind::Integer, 0, false}});
    t.AppendRecord({u"x"_s, 1});
    QCOMPARE(t.FindField(u"name"_s), t.Fields(0));
    QVERIFY(!t.FindField(u"单价"_s));
    try {
        t.FieldByName(u"单价"_s);
        QFAIL("no error");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"字段“单价”不存在！"_s);
    }
    try {
        t.Fields(0)->SetAsString(u"y"_s);
        QFAIL("written outside an edit");
    } catch (const EKavelinErr& e) {
        QVERIFY(e.Message.contains(u"Name"_s));
    }
    t.Edit();
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, t.Fields(1)->SetAsString(u"12a"_s));
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, t.Fields(1)->SetAsFloat(1e12));
    t.Fields(1)->SetAsVariant(2.5); // rounds half away from zero
    QCOMPARE(t.Fields(1)->AsInteger(), 3);
    t.Fields(0)->SetAsString(QString());
    QVERIFY(t.Fields(0)->IsNull()); // empty text is null
    t.Post();
}

void TestDataSet::requiredField()
{
    TqxDataSet t;
    fillAbc(t);
    t.Append();
    t.FieldByName(u"类别"_s)->SetAsString(u"木"_s);
    try {
        t.Post();
        QFAIL("posted without a name");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"字段“项目名称”必须有值，不能为空！"_s);
    }
    QCOMPARE(t.State(), TqxDataSetState::Insert);
    t.Cancel();
    QCOMPARE(t.RecordCount(), 3);
}

void TestDataSet::eventOrder()
{
    TqxDataSet t;
    fillAbc(t);
    QStringList log;
    auto record = [&](const QString& name) {
        return [&log, name, &t](TqxDataSet* sender) {
            QCOMPARE(sender, &t);
            log.append(name);
        };
    };
    t.BeforeInsert = record(u"BeforeInsert"_s);
    t.AfterInsert = record(u"AfterInsert"_s);
    t.OnNewRecord = record(u"NewRecord"_s);
    t.BeforeEdit = record(u"BeforeEdit"_s);
    t.AfterEdit = record(u"AfterEdit"_s);
    t.BeforePost = record(u"BeforePost"_s);
    t.AfterPost = record(u"AfterPost"_s);
    t.BeforeCancel = record(u"BeforeCancel"_s);
    t.AfterCancel = record(u"AfterCancel"_s);
    t.BeforeDelete = record(u"BeforeDelete"_s);
    t.AfterDelete = record(u"AfterDelete"_s);
    t.BeforeScroll = record(u"BeforeScroll"_s);
    t.AfterScroll = record(u"AfterScroll"_s);
    for (int f = 0; f < t.FieldCount(); ++f)
        t.Fields(f)->OnChange = [&log](TqxField* sender) { log.append(u"Change "_s + sender->FieldName()); };

    t.Append();
    t.FieldByName(u"项目名称"_s)->SetAsString(u"d"_s);
    t.Post();
    t.Edit();
    t.FieldByName(u"数量"_s)->SetAsInteger(2);
    t.Post();
    t.Delete();
    t.Append();
    t.Cancel();
    t.Next();
    QCOMPARE(log, (QStringList{u"BeforeInsert"_s, u"BeforeScroll"_s, u"NewRecord"_s, u"AfterInsert"_s, u"AfterScroll"_s,
                               u"Change 项目名称"_s, u"BeforePost"_s, u"AfterPost"_s,
                               u"BeforeEdit"_s, u"AfterEdit"_s, u"Change 数量"_s, u"BeforePost"_s, u"AfterPost"_s,
                               u"BeforeDelete"_s, u"BeforeScroll"_s, u"AfterDelete"_s, u"AfterScroll"_s,
                               u"BeforeInsert"_s, u"BeforeScroll"_s, u"NewRecord"_s, u"AfterInsert"_s, u"AfterScroll"_s,
                               u"BeforeCancel"_s, u"AfterCancel"_s, u"AfterScroll"_s,
                               u"BeforeScroll"_s})); // Next on the last row does not scroll
}

void TestDataSet::beforePostAbort()
{
    TqxDataSet t;
    fillAbc(t);
    t.BeforePost = [](TqxDataSet* ds) {
        if (ds->FieldByName(u"数量"_s)->AsInteger() < 0)
            throw EKavelinErr(u"数量不能为负！"_s);
    };
    TqxDataSet view;
    view.CloneCursor(t);
    t.Edit();
    t.FieldByName(u"数量"_s)->SetAsInteger(-1);
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, t.Post());
    QCOMPARE(t.State(), TqxDataSetState::Edit); // the user may correct the value
    QVERIFY(view.FieldByName(u"数量"_s)->IsNull());
    QCOMPARE(t.ChangeCount(), 0);
    t.FieldByName(u"数量"_s)->SetAsInteger(1);
    t.Post();
    QCOMPARE(view.FieldByName(u"数量"_s)->AsInteger(), 1);

    // The item library's rule: cancel the pending edit, then refuse.
    t.BeforePost = [](TqxDataSet* ds) {
        if (ds->FieldByName(u"项目名称"_s)->AsString().isEmpty()) {
            ds->Cancel();
            throw EKavelinErr(u"保存项目出错：项目名称不能为空！"_s);
        }
    };
    t.Append();
    t.FieldByName(u"类别"_s)->SetAsString(u"木"_s);
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, t.Post());
    QCOMPARE(t.State(), TqxDataSetState::Browse);
    QCOMPARE(t.RecordCount(), 3);
}

namespace {

// A table whose bulk operations keep the user's events quiet, as the budget does.
class TQuietTable : public TqxDataSet {
public:
    int Updating = 0;
    int Changed = 0;

protected:
    void DoAfterPost() override
    {
        if (Updating == 0)
            TqxDataSet::DoAfterPost();
        ++Changed;
        MergeChangeLog();
    }
};

} // namespace

void TestDataSet::subclassHooks()
{
    TQuietTable t;
    fillAbc(t);
    t.Changed = 0;
    int userEvents = 0;
    t.AfterPost = [&](TqxDataSet*) { ++userEvents; };
    t.Edit();
    t.FieldByName(u"数量"_s)->SetAsInteger(1);
    t.Post();
    t.Updating = 1;
    t.AppendRecord({u"d"_s});
    QCOMPARE(userEvents, 1);
    QCOMPARE(t.Changed, 2);
    QCOMPARE(t.ChangeCount(), 0);
}

void TestDataSet::cloneSharesRowsAndChanges()
{
    TqxDataSet t;
    fillAbc(t);
    t.Last();
    TqxDataSet c;
    c.CloneCursor(t);
    QCOMPARE(Current(c), u"a"_s); // a position of its own
    c.Last();
    c.Edit();
    c.FieldByName(u"数量"_s)->SetAsInteger(7);
    c.Post();
    QCOMPARE(t.FieldByName(u"数量"_s)->AsInteger(), 7); // t's current row, seen at once
    c.AppendRecord({u"d"_s});
    t.First();
    t.Delete();
    QCOMPARE(Column(c, u"项目名称"_s), (QStringList{u"b"_s, u"c"_s, u"d"_s}));
    QCOMPARE(t.ChangeCount(), 3);
    QCOMPARE(c.ChangeCount(), 3);

    TqxDataSet saved;
    saved.LoadFromBytes(c.SaveToBytes());
    QCOMPARE(Column(saved, u"项目名称"_s), Column(t, u"项目名称"_s));

    c.CancelUpdates(); // reverts every change to the shared rows
    QCOMPARE(Column(t, u"项目名称"_s), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(Column(t, u"数量"_s), (QStringList{QString(), QString(), QString()}));
    QCOMPARE(t.ChangeCount(), 0);

    t.AppendRecord({u"e"_s});
    c.MergeChangeLog();
    QCOMPARE(t.ChangeCount(), 0);
    t.CancelUpdates();
    QCOMPARE(c.RecordCount(), 4);
}

void TestDataSet::cloneHasOwnOrderFilterAndPosition()
{
    TqxDataSet t;
    fillAbc(t);
    t.SetIndexFieldNames(u"类别;项目名称"_s);
    t.SetFilter(u"类别='木'"_s);
    t.SetFiltered(true);
    int scrolls = 0;
    t.AfterScroll = [&](TqxDataSet*) { ++scrolls; };
    t.Last();
    QCOMPARE(Current(t), u"b"_s);
    scrolls = 0;

    TqxDataSet c;
    c.CloneCursor(t);
    QCOMPARE(c.IndexFieldNames(), QString());
    QVERIFY(!c.Filtered());
    QCOMPARE(Column(c, u"项目名称"_s), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(Current(c), u"a"_s);
    c.SetIndexFieldNames(u"项目名称"_s);
    c.Last();
    c.Edit();
    c.FieldByName(u"项目名称"_s)->SetAsString(u"0"_s); // now first in c's index
    c.Post();
    QCOMPARE(c.RecNo(), 1); // the cursor follows its row
    QCOMPARE(Current(c), u"0"_s);
    QCOMPARE(Column(t, u"项目名称"_s), (QStringList{u"a"_s, u"b"_s})); // c's row is filtered out of t
    QCOMPARE(Current(t), u"b"_s);
    QCOMPARE(scrolls, 0); // t's events are its own

    TqxDataSet k;
    k.CloneCursor(t, true);
    QCOMPARE(k.IndexFieldNames(), t.IndexFieldNames());
    QVERIFY(k.Filtered());
    QCOMPARE(Current(k), u"b"_s);
}

void TestDataSet::changeLog()
{
    TqxDataSet t;
    fillAbc(t);
    t.SetRecNo(2);
    t.Edit();
    t.FieldByName(u"项目名称"_s)->SetAsString(u"b"_s); // same value: nothing to log
    t.Post();
    QCOMPARE(t.ChangeCount(), 0);
    t.Edit();
    t.FieldByName(u"单价"_s)->SetAsFloat(3.5);
    t.Post();
    t.Insert();
    t.FieldByName(u"项目名称"_s)->SetAsString(u"x"_s);
    t.Post();
    t.Last();
    t.Delete();
    QCOMPARE(t.ChangeCount(), 3);
    QCOMPARE(Column(t, u"项目名称"_s), (QStringList{u"a"_s, u"x"_s, u"b"_s}));
    QCOMPARE(Current(t), u"b"_s);
    t.CancelUpdates();
    QCOMPARE(Column(t, u"项目名称"_s), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(Current(t), u"b"_s); // the cursor stays on its row
    QCOMPARE(Column(t, u"单价"_s), (QStringList{QString(), QString(), QString()}));
    QCOMPARE(t.ChangeCount(), 0);

    t.EmptyDataSet(); // emptying is a change like any other
    QCOMPARE(t.RecordCount(), 0);
    QCOMPARE(t.ChangeCount(), 3);
    t.CancelUpdates();
    QCOMPARE(t.RecordCount(), 3);

    t.AppendRecord({u"d"_s});
    t.MergeChangeLog();
    t.CancelUpdates();
    QCOMPARE(t.RecordCount(), 4);
}

void TestDataSet::bookmarks()
{
    TqxDataSet t;
    fillAbc(t);
    t.Next();
    TqxBookmark b = t.GetBookmark();
    t.Last();
    t.GotoBookmark(b);
    QCOMPARE(Current(t), u"b"_s);

    t.SetIndexFieldNames(u"类别;项目名称"_s);
    QVERIFY(t.BookmarkValid(b));
    t.SetFilter(u"类别='砖'"_s);
    t.SetFiltered(true);
    QVERIFY(!t.BookmarkValid(b)); // hidden by the filter
    t.SetFiltered(false);
    QVERIFY(t.BookmarkValid(b));

    t.GotoBookmark(b);
    t.Delete();
    QVERIFY(!t.BookmarkValid(b));
    try {
        t.GotoBookmark(b);
        QFAIL("went to a deleted row");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"记录已经不存在！"_s);
    }
    t.CancelUpdates(); // the row is back, and so is its bookmark
    QVERIFY(t.BookmarkValid(b));

    t.LoadFromBytes(t.SaveToBytes());
    QVERIFY(!t.BookmarkValid(b)); // other rows now, even if equal
    t.FreeBookmark(b);
    QVERIFY(b.IsNull());
}

namespace {

struct Counter : TqxDataSetObserver {
    int rows = 0;
    int changed = 0;
    void DataSetRowInserted(int) override { ++rows; }
    void DataSetRowRemoved(int) override { ++rows; }
    void DataSetRowChanged(int) override { ++rows; }
    void DataSetChanged() override { ++changed; }
};

} // namespace

void TestDataSet::disableControlsNests()
{
    TqxDataSet t;
    fillAbc(t);
    Counter seen;
    t.AddObserver(&seen);
    t.DisableControls();
    t.DisableControls();
    QVERIFY(t.ControlsDisabled());
    t.AppendRecord({u"d"_s});
    t.First();
    t.Delete();
    t.EnableControls();
    QCOMPARE(seen.changed, 0);
    t.EnableControls();
    QVERIFY(!t.ControlsDisabled());
    QCOMPARE(seen.rows, 0);
    QCOMPARE(seen.changed, 1);
    t.EnableControls(); // unbalanced: ignored
    t.AppendRecord({u"e"_s});
    QCOMPARE(seen.rows, 1);
    t.RemoveObserver(&seen);
}

void TestDataSet::tableFiles()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(u"MeasureUnit"_s);
    TqxDataSet t;
    t.SetFieldDefs(ItemDefs());
    QVERIFY(!t.OpenTableFile(name)); // no file: an empty table, no error
    QVERIFY(t.Active());
    Fill(t, {{u"立方米"_s}, {u"吨"_s}});
    t.SaveTableFile(name);
    QCOMPARE(t.ChangeCount(), 0);
    QCOMPARE(KvTest::ReadBytes(name), t.SaveToBytes());

    TqxDataSet u;
    u.SetFieldDefs(ItemDefs());
    QVERIFY(u.OpenTableFile(name));
    QCOMPARE(Column(u, u"项目名称"_s), (QStringList{u"立方米"_s, u"吨"_s}));

    const QByteArray before = KvTest::ReadBytes(name);
    u.AppendRecord({u"公斤"_s});
    {
        KvTest::FileSizeLimit limit(before.size());
        QVERIFY_THROWS_EXCEPTION(EFileError, u.SaveTableFile(name));
    }
    QCOMPARE(KvTest::ReadBytes(name), before);
    QCOMPARE(u.ChangeCount(), 1); // still unsaved, so still offered for saving
}

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_dataset.moc"
