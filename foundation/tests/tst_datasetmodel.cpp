// The item model over a cursor: what the grids read, and the signals they get.

#include "TableTestSupport.h"
#include "qxDataSetModel.h"
#include "qxErrors.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace KvTable;

class TestDataSetModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsRowsAndText();
    void singleRowSignals();
    void rowBeingInserted();
    void editsThroughTheCursor();
    void bulkChangeWhileDisabled();
};

namespace {

struct Spies {
    explicit Spies(QAbstractItemModel* m)
        : reset(m, &QAbstractItemModel::modelReset), changed(m, &QAbstractItemModel::dataChanged),
          inserted(m, &QAbstractItemModel::rowsInserted), removed(m, &QAbstractItemModel::rowsRemoved),
          moved(m, &QAbstractItemModel::rowsMoved), layout(m, &QAbstractItemModel::layoutChanged)
    {
    }
    void clear()
    {
        for (QSignalSpy* s : {&reset, &changed, &inserted, &removed, &moved, &layout})
            s->clear();
    }
    QSignalSpy reset, changed, inserted, removed, moved, layout;
};

void fill(TqxDataSet& t)
{
    Create(t, ItemDefs());
    Fill(t, {{u"a"_s, u"木"_s, 3, 1.5, true}, {u"b"_s, u"砖"_s, 1}, {u"c"_s, u"木"_s, 2, 6297.6}});
    t.MergeChangeLog();
    t.First();
}

QStringList column(const QAbstractItemModel& m, int c, int role = Qt::DisplayRole)
{
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out.append(m.data(m.index(r, c), role).toString());
    return out;
}

} // namespace

void TestDataSetModel::showsRowsAndText()
{
    TqxDataSet t;
    fill(t);
    t.FieldByName(u"数量"_s)->OnGetText = [](TqxField* f, QString& text, bool display) {
        if (display && !f->IsNull())
            text = u"["_s + text + u"]"_s;
    };
    t.FieldByName(u"单价"_s)->SetDisplayLabel(u"单价(元)"_s);
    TqxDataSetModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), u"单价(元)"_s);
    QCOMPARE(column(model, 2), (QStringList{u"[3]"_s, u"[1]"_s, u"[2]"_s}));
    QCOMPARE(column(model, 2, Qt::EditRole), (QStringList{u"3"_s, u"1"_s, u"2"_s}));
    QCOMPARE(column(model, 3), (QStringList{u"1.50"_s, QString(), u"6297.60"_s}));
    QCOMPARE(model.data(model.index(1, 3), TqxDataSetModel::ValueRole), QVariant());
    QCOMPARE(model.data(model.index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(t.RecNo(), 1); // drawing other rows does not move the cursor

    // A named column the table lacks keeps its place, empty.
    model.SetColumns({u"类别"_s, u"项目名称"_s, u"没有"_s});
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.FieldOfColumn(2), -1);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), u"没有"_s);
    QCOMPARE(column(model, 2), (QStringList{QString(), QString(), QString()}));
    t.SetIndexFieldNames(u"类别;项目名称"_s);
    QCOMPARE(column(model, 1), (QStringList{u"a"_s, u"c"_s, u"b"_s}));
    t.SetFilter(u"类别='木'"_s);
    t.SetFiltered(true);
    QCOMPARE(column(model, 1), (QStringList{u"a"_s, u"c"_s}));
    QCOMPARE(model.ColumnOfField(u"项目名称"_s), 1);
}

void TestDataSetModel::singleRowSignals()
{
    TqxDataSet t;
    fill(t);
    TqxDataSetModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Spies spy(&model);
    TqxDataSet other; // changes made through another cursor reach this model too
    other.CloneCursor(t);

    other.Next();
    other.Edit();
    other.FieldByName(u"数量"_s)->SetAsInteger(9);
    other.Post();
    QCOMPARE(spy.reset.count(), 0);
    QCOMPARE(spy.changed.count(), 1);
    QCOMPARE(spy.changed.first().at(0).toModelIndex().row(), 1);
    QCOMPARE(model.data(model.index(1, 2)).toString(), u"9"_s);

    spy.clear();
    other.Insert();
    other.FieldByName(u"项目名称"_s)->SetAsString(u"x"_s);
    other.Post();
    QCOMPARE(spy.inserted.count(), 1);
    QCOMPARE(spy.inserted.first().at(1).toInt(), 1);
    QCOMPARE(column(model, 0), (QStringList{u"a"_s, u"x"_s, u"b"_s, u"c"_s}));

    spy.clear();
    other.Delete();
    QCOMPARE(spy.removed.count(), 1);
    QCOMPARE(spy.removed.first().at(1).toInt(), 1);

    t.SetIndexFieldNames(u"项目名称"_s);
    spy.clear();
    other.First();
    other.Edit();
    other.FieldByName(u"项目名称"_s)->SetAsString(u"z"_s); // moves to the end of t's order
    other.Post();
    QCOMPARE(spy.moved.count(), 1);
    QCOMPARE(spy.reset.count(), 0);
    QCOMPARE(column(model, 0), (QStringList{u"b"_s, u"c"_s, u"z"_s}));

    spy.clear();
    t.SetIndexFieldNames(QString());
    QCOMPARE(spy.layout.count(), 1);
    QCOMPARE(spy.reset.count(), 0);
    QCOMPARE(column(model, 0), (QStringList{u"z"_s, u"b"_s, u"c"_s}));
}

void TestDataSetModel::rowBeingInserted()
{
    TqxDataSet t;
    fill(t);
    TqxDataSetModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy current(&model, &TqxDataSetModel::currentRowChanged);
    t.Next();
    QCOMPARE(current.last().at(0).toInt(), 1);
    t.Insert(); // shows at the current row, before b
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.CurrentRow(), 1);
    QVERIFY(model.BookmarkAt(1).IsNull());
    QVERIFY(model.setData(model.index(1, 1), u"砖"_s));
    QCOMPARE(model.data(model.index(1, 1)).toString(), u"砖"_s);
    model.setData(model.index(1, 0), u"d"_s);
    t.Post(); // and then goes where it belongs: stored before b
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(column(model, 0), (QStringList{u"a"_s, u"d"_s, u"b"_s, u"c"_s}));
    QVERIFY(!model.BookmarkAt(1).IsNull());

    t.Append();
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(model.CurrentRow(), 4);
    t.Cancel();
    QCOMPARE(model.rowCount(), 4);

    // Rows another cursor adds or removes meanwhile keep the new row where the cursor enters it.
    TqxDataSet other;
    other.CloneCursor(t);
    t.SetRecNo(2);
    t.Insert(); // before d
    other.SetRecNo(2);
    other.Insert(); // also before d
    other.FieldByName(u"项目名称"_s)->SetAsString(u"e"_s);
    other.Post();
    QCOMPARE(model.CurrentRow(), t.InsertRow());
    QCOMPARE(column(model, 0), (QStringList{u"a"_s, u"e"_s, QString(), u"d"_s, u"b"_s, u"c"_s}));
    other.Last();
    other.Delete();
    other.First();
    other.Delete();
    QCOMPARE(model.CurrentRow(), t.InsertRow());
    QCOMPARE(column(model, 0), (QStringList{u"e"_s, QString(), u"d"_s, u"b"_s}));
    t.Cancel();

    // Choosing the row a new one was appended after leaves the new row: it is posted.
    t.Last();
    t.Append();
    QVERIFY(model.setData(model.index(3, 0), u"f"_s));
    model.SetCurrentRow(2);
    QCOMPARE(t.State(), TqxDataSetState::Browse);
    QCOMPARE(column(model, 0), (QStringList{u"e"_s, u"d"_s, u"b"_s, u"f"_s}));
    QCOMPARE(model.CurrentRow(), 2);
}

void TestDataSetModel::editsThroughTheCursor()
{
    TqxDataSet t;
    fill(t);
    t.BeforePost = [](TqxDataSet* ds) {
        if (ds->FieldByName(u"数量"_s)->AsInteger() > 100)
            throw EKavelinErr(u"数量太大！"_s);
    };
    TqxDataSetModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy errors(&model, &TqxDataSetModel::errorOccurred);
    QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);

    QVERIFY(model.setData(model.index(2, 3), u"12.34567"_s));
    QCOMPARE(t.RecNo(), 3); // the cursor went to the row and posted
    QCOMPARE(t.State(), TqxDataSetState::Browse);
    QCOMPARE(model.data(model.index(2, 3), TqxDataSetModel::ValueRole).toDouble(), 12.3457);
    QCOMPARE(t.ChangeCount(), 1);

    QVERIFY(!model.setData(model.index(0, 2), 500));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().at(0).toString(), u"数量太大！"_s);
    QCOMPARE(model.data(model.index(0, 2)).toString(), u"3"_s);
    QCOMPARE(t.State(), TqxDataSetState::Browse);
    QVERIFY(!model.setData(model.index(0, 2), u"三"_s));
    QCOMPARE(errors.count(), 2);

    model.SetReadOnly(true);
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
}

void TestDataSetModel::bulkChangeWhileDisabled()
{
    TqxDataSet t;
    fill(t);
    TqxDataSetModel model(&t);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Spies spy(&model);

    t.DisableControls();
    for (t.First(); !t.Eof(); t.Next()) {
        t.Edit();
        t.FieldByName(u"数量"_s)->SetAsInteger(t.FieldByName(u"数量"_s)->AsInteger() * 10);
        t.Post();
    }
    QCOMPARE(spy.changed.count(), 0);
    t.EnableControls(); // same rows: one repaint of the values, no reset
    QCOMPARE(spy.changed.count(), 1);
    QCOMPARE(spy.reset.count(), 0);
    QCOMPARE(column(model, 2), (QStringList{u"30"_s, u"10"_s, u"20"_s}));

    spy.clear();
    t.DisableControls();
    t.AppendRecord({u"d"_s});
    t.First();
    t.Delete();
    QCOMPARE(model.rowCount(), 3); // the model keeps its rows until told
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString()); // a deleted row shows nothing
    t.EnableControls();
    QCOMPARE(spy.inserted.count() + spy.removed.count(), 0);
    QCOMPARE(spy.reset.count(), 1);
    QCOMPARE(column(model, 0), (QStringList{u"b"_s, u"c"_s, u"d"_s}));
}

QTEST_GUILESS_MAIN(TestDataSetModel)
#include "tst_datasetmodel.moc"
