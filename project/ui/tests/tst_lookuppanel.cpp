// The quick-input panel hosted as the project window hosts it: a real budget
// grid over the shipped sample project, the base data of a fresh copy of the
// shipped installation, keys and mouse through QTest.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "KavelinFiles.h"
#include "kvLookupPanel.h"
#include "kvTakeItem.h"
#include "kvYssDataSet.h"
#include "qxDBCtrls.h"
#include "qxErrors.h"
#include "qxScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kPlace = u"施工地点"_s;
const QString kKind = u"项目类别"_s;
const QString kName = u"项目名称"_s;
const QString kUnit = u"单位"_s;
const QString kMemo = u"备注"_s;

// Typing as an input method delivers it: Chinese characters arrive as key
// events that carry their text.
void typeText(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

// The shipped installation's base data and sample project, copied so nothing
// a test does reaches the pristine files.
struct TShippedData {
    QTemporaryDir Dir;
    TAppGlobalInfo Info;
    TDataModule_Data Data;
    QByteArray SamplePacket;
    QString SampleView;

    TShippedData()
    {
        const QString stage = qEnvironmentVariable("KV_PRISTINE_STAGE_DIR");
        QDir().mkpath(Dir.path() + u"/Data"_s);
        QFile::copy(stage + u"/App"_s, Dir.path() + u"/App"_s);
        for (const QString& f : {u"ItemsDB"_s, u"ItemCateDB"_s, u"MeasureUnit"_s, u"MemoDB"_s, u"WordsDb"_s})
            QFile::copy(stage + u"/Data/"_s + f, Dir.path() + u"/Data/"_s + f);
        Info.WriteBackOnFree = false;
        Info.Initialize(Dir.path(), {});
        Data.DataModuleCreate(Info);
        TKVFile sample;
        if (sample.LoadFromFile(stage + u"/工程/预算示例.KVP"_s)) {
            SamplePacket = sample.SectionData(u"预算书"_s).value_or(QByteArray());
            SampleView = sample.ReadValue(u"视图"_s);
        }
    }
};

// A budget page in miniature: the grid with the columns of the project
// window, its "录入板" action, a box outside the grid, and the panel.
struct THost {
    TDataModule_Data& Data;
    TkvYssDataSet Budget;
    QWidget Window;
    TqxDataSource Source{&Budget};
    TqxDBGrid* Grid;
    QLineEdit* Outside;
    QAction Row_InputPanel{u"录入板"_s};
    TkvLookupPanel* Panel;
    bool Active = false;

    THost(TShippedData& shipped, const QString& view, int gridHeight = 560) : Data(shipped.Data)
    {
        Budget.LoadBudget(shipped.SamplePacket);
        Budget.SetGroupField(view);
        Row_InputPanel.setObjectName(u"Row_InputPanel"_s);
        Row_InputPanel.setCheckable(true);
        Row_InputPanel.setChecked(true);

        Window.resize(840, gridHeight + 40);
        auto* layout = new QVBoxLayout(&Window);
        layout->setContentsMargins(0, 0, 0, 0);
        Grid = new TqxDBGrid(&Window);
        Grid->setObjectName(u"qxDBGrid_Yss"_s);
        Grid->setFixedHeight(gridHeight);
        Grid->SetOptions(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                         dgAlwaysShowSelection | dgCancelOnExit);
        const QList<std::pair<QString, int>> columns{{u"序号"_s, 44}, {kPlace, 79},       {kKind, 86},
                                                     {kName, 115},    {kUnit, 44},        {u"单价"_s, 58},
                                                     {u"数量"_s, 53}, {u"金额"_s, 76},    {kMemo, 194}};
        for (const auto& [name, width] : columns) {
            TqxColumn* c = Grid->AddColumn(name, QString(), width);
            if (name == kPlace || name == kKind || name == kName || name == kUnit || name == kMemo)
                c->SetButtonStyle(cbsEllipsis);
        }
        Grid->SetDataSource(&Source);
        layout->addWidget(Grid);
        Outside = new QLineEdit(&Window);
        Outside->setObjectName(u"Outside"_s);
        layout->addWidget(Outside);
        Panel = new TkvLookupPanel(*Grid, Budget, Data, Row_InputPanel);
        Window.show();
        Window.activateWindow();
        Active = QTest::qWaitForWindowActive(&Window);
        Grid->setFocus();
    }

    // A new, empty item at the end of the named group, with its cell of
    // field current.
    void NewItemIn(const QString& group, const QString& field)
    {
        Budget.AppendItem(Budget.FindGroup(group));
        Select(field);
    }
    void Select(const QString& field) { Grid->SetSelectedIndex(Grid->FindColumn(field)->Index()); }

    // Opens the panel as the cell's ellipsis button does.
    void Open(const QString& field)
    {
        Select(field);
        Grid->SetEditorMode(true);
        QTest::mouseClick(Grid->InplaceEditor()->EditButton(), Qt::LeftButton);
    }

    QString Cell(const QString& field) const { return Budget.FieldByName(field)->AsString(); }
    QLineEdit* Input() const { return Panel->Edit_SelectInput; }
    void Type(const QString& text)
    {
        Input()->clear();
        typeText(Input(), text);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Input(), key, modifiers);
    }
    // Every display text the lookup offers, in its order.
    QStringList Offered(const QString& field)
    {
        QStringList out;
        TqxDataSet& l = Panel->CDS_LookUp;
        const int f = l.FieldByName(field)->Index();
        for (int row = 0; row < l.RecordCount(); ++row)
            out << l.TextAt(l.BookmarkAt(row), f);
        return out;
    }
    void ClickRow(TqxDBGrid* grid, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QRect cell = grid->visualRect(grid->Model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
    }
};

} // namespace

class TestLookupPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void components();
    void placeKeys_data();
    void placeKeys();
    void placeClick();
    void arrowKeysKeepTheEntry();
    void keysInTheLookupGrid();
    void itemPageOffersTheRowCategory();
    void itemEnterTakesTheCurrentItem();
    void itemNotInLibrary();
    void keyword();
    void remarksForTheCategory_data();
    void remarksForTheCategory();
    void remarksJoined();
    void takeItemKeepsTheGroup_data();
    void takeItemKeepsTheGroup();
    void refusedByTheBudget_data();
    void refusedByTheBudget();
    void automaticOpening_data();
    void automaticOpening();
    void typedBeforeThePanelCame();
    void placement_data();
    void placement();
    void hideTriggers_data();
    void hideTriggers();

private:
    std::unique_ptr<TShippedData> FShipped;
    std::unique_ptr<THost> FHost;
    TqxScriptedPrompter FPrompter;
};

void TestLookupPanel::initTestCase() { SetPrompter(&FPrompter); }

void TestLookupPanel::init()
{
    FShipped = std::make_unique<TShippedData>();
    QVERIFY(!FShipped->SamplePacket.isEmpty());
    QCOMPARE(FShipped->Data.CDS_SYSItems.RecordCount(), 292);
}

void TestLookupPanel::cleanup()
{
    FHost.reset();
    FShipped.reset();
    const QStringList asked = FPrompter.MessageTexts();
    FPrompter.Reset();
    QVERIFY2(asked.isEmpty(), qPrintable(asked.join(u'\n')));
}

void TestLookupPanel::components()
{
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    TkvLookupPanel* p = FHost->Panel;
    QCOMPARE(p->parentWidget(), FHost->Grid);
    QCOMPARE(FHost->Grid->findChild<TkvLookupPanel*>(u"qxFloatPanel_Selected"_s), p);
    QVERIFY(!p->isVisible());
    QCOMPARE(p->width(), 337);
    QCOMPARE(p->Timer_ShowPanel->interval(), 500);
    QCOMPARE(p->findChild<QPushButton*>(u"Button_SelectInput"_s)->text(), u"录入确定"_s);
    QCOMPARE(p->CheckBox_Filtered->text(), u"所有(&A)"_s);
    QCOMPARE(p->Panel_SelectInput->height(), 24);
    const QList<std::tuple<QString, QString, QStringList, QList<int>>> pages{
        {kPlace, u"qxDBGrid_LK_Place"_s, {u"类别名称"_s, u"查询码"_s}, {230, 70}},
        {kKind, u"qxDBGrid_LK_ItemKind"_s, {u"类别名称"_s, u"查询码"_s}, {230, 70}},
        {kName, u"qxDBGrid_LK_ItemName"_s, {kName, u"查询码"_s, u"单价"_s, kKind}, {156, 62, 56, 79}},
        {kUnit, u"qxDBGrid_LK_MeasureUnit"_s, {kUnit, u"查询码"_s}, {230, 70}},
        {kMemo, u"qxDBGrid_LK_Memo"_s, {kMemo, u"查询码"_s}, {230, 70}}};
    for (const auto& [page, name, fields, widths] : pages) {
        QWidget* w = p->Notebook_Lookup->findChild<QWidget*>(page);
        QVERIFY2(w, qPrintable(page));
        auto* grid = w->findChild<TqxDBGrid*>(name);
        QVERIFY2(grid, qPrintable(name));
        QCOMPARE(grid->ColumnCount(), fields.size());
        for (int i = 0; i < grid->ColumnCount(); ++i) {
            QCOMPARE(grid->Columns(i)->FieldName(), fields[i]);
            QCOMPARE(grid->Columns(i)->Width(), widths[i]);
        }
        QCOMPARE(grid->RowSelect(), page == kMemo);
    }
}

// The shipped places, in stored order: 厨房 客厅 卧室 (ws) 卫生间 (wsj) ...
void TestLookupPanel::placeKeys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("keys"); // before the commit; Ctrl+Enter given as -1
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("stored");

    QTest::newRow("a query code, Enter stores it as typed") << u"ws"_s << QList<int>{Qt::Key_Return} << u"卧室"_s
                                                              << u"ws"_s;
    QTest::newRow("query code in capitals") << u"WS"_s << QList<int>{Qt::Key_Return} << u"卧室"_s << u"WS"_s;
    QTest::newRow("Ctrl+Enter takes the entry") << u"ws"_s << QList<int>{-1} << u"卧室"_s << u"卧室"_s;
    QTest::newRow("Down moves on in stored order")
        << u"ws"_s << QList<int>{Qt::Key_Down, Qt::Key_Return} << u"卫生间"_s << u"卫生间"_s;
    QTest::newRow("Up, then Down again") << u"ws"_s << QList<int>{Qt::Key_Up, Qt::Key_Down, Qt::Key_Return}
                                         << u"卧室"_s << u"卧室"_s;
    QTest::newRow("the start of a name") << u"卫"_s << QList<int>{Qt::Key_Return} << u"卫生间"_s << u"卫"_s;
    QTest::newRow("no match stays") << u"wsq"_s << QList<int>{-1} << u"卧室"_s << u"卧室"_s;
}

void TestLookupPanel::placeKeys()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, keys);
    QFETCH(QString, current);
    QFETCH(QString, stored);
    FHost = std::make_unique<THost>(*FShipped, kKind);
    FHost->NewItemIn(u"油漆工程"_s, kPlace);
    FHost->Open(kPlace);
    TkvLookupPanel* p = FHost->Panel;
    QVERIFY(p->isVisible());
    QCOMPARE(p->ActivePage(), kPlace);
    QCOMPARE(FHost->Offered(u"类别名称"_s).size(), 16);
    QCOMPARE(FHost->Offered(u"类别名称"_s).value(2), u"卧室"_s);
    QVERIFY(FHost->Grid->PopWindow());

    FHost->Type(typed);
    for (int key : keys) {
        if (key == Qt::Key_Return)
            QCOMPARE(p->CurrentText(), current);
        if (key == -1) {
            QCOMPARE(p->CurrentText(), current);
            FHost->Key(Qt::Key_Return, Qt::ControlModifier);
        } else {
            FHost->Key(Qt::Key(key));
        }
        if (key == Qt::Key_Down || key == Qt::Key_Up) {
            QCOMPARE(FHost->Input()->text(), p->CurrentText());
            QCOMPARE(FHost->Input()->selectedText(), p->CurrentText());
        }
    }
    QVERIFY(!p->isVisible());
    QVERIFY(!FHost->Grid->PopWindow());
    QCOMPARE(FHost->Cell(kPlace), stored);
    QCOMPARE(FHost->Budget.State(), TqxDataSetState::Browse);
    QVERIFY(FHost->Grid->hasFocus());
}

void TestLookupPanel::placeClick()
{
    FHost = std::make_unique<THost>(*FShipped, kKind);
    FHost->NewItemIn(u"油漆工程"_s, kPlace);
    FHost->Open(kPlace);
    FHost->ClickRow(FHost->Panel->qxDBGrid_LK_Place, 2);
    QVERIFY(!FHost->Panel->isVisible());
    QCOMPARE(FHost->Cell(kPlace), u"卧室"_s);
}

// An entry whose name starts an earlier entry's name: the arrow keys put its
// name into the box, and the lookup stays on it.
// Keys typed in the lookup grid itself: Enter takes the entry it is on, Esc goes.
void TestLookupPanel::keysInTheLookupGrid()
{
    FHost = std::make_unique<THost>(*FShipped, kKind);
    FHost->NewItemIn(u"油漆工程"_s, kPlace);
    FHost->Open(kPlace);
    TqxDBGrid* grid = FHost->Panel->qxDBGrid_LK_Place;
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(!FHost->Panel->isVisible());
    QCOMPARE(FHost->Cell(kPlace), u"客厅"_s);

    FHost->Open(kPlace);
    FHost->Panel->qxDBGrid_LK_Place->setFocus();
    QTest::keyClick(FHost->Panel->qxDBGrid_LK_Place, Qt::Key_Escape);
    QVERIFY(!FHost->Panel->isVisible());
    QVERIFY(FHost->Grid->hasFocus());
    QCOMPARE(FHost->Cell(kPlace), u"客厅"_s);
}

void TestLookupPanel::arrowKeysKeepTheEntry()
{
    FShipped->Data.CDS_MeasureUnit.AppendRecord({u"立方"_s, u"zzlf"_s});
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    FHost->NewItemIn(u"厨房"_s, kUnit);
    FHost->Open(kUnit);
    TkvLookupPanel* p = FHost->Panel;
    FHost->Type(u"mm"_s);
    QCOMPARE(p->CurrentText(), u"M*M"_s);
    FHost->Key(Qt::Key_Down);
    QCOMPARE(p->CurrentText(), u"立方"_s);
    QCOMPARE(FHost->Input()->text(), u"立方"_s);
    FHost->Key(Qt::Key_Return);
    QCOMPARE(FHost->Cell(kUnit), u"立方"_s);
}

void TestLookupPanel::itemPageOffersTheRowCategory()
{
    FHost = std::make_unique<THost>(*FShipped, kKind);
    FHost->NewItemIn(u"材料"_s, kName);
    FHost->Open(kName);
    TkvLookupPanel* p = FHost->Panel;
    const QStringList kinds = FHost->Offered(kKind);
    QVERIFY(kinds.size() > 10);
    QCOMPARE(kinds.count(u"材料"_s), kinds.size());

    QTest::mouseClick(p->CheckBox_Filtered, Qt::LeftButton);
    QVERIFY(p->CheckBox_Filtered->isChecked());
    QCOMPARE(p->CDS_LookUp.RecordCount(), 292);
    QVERIFY(p->Edit_SelectInput->hasFocus());
    QTest::mouseClick(p->CheckBox_Filtered, Qt::LeftButton);
    QCOMPARE(p->CDS_LookUp.RecordCount(), kinds.size());
}

// Enter on the item-name page takes the lookup's current item, whatever was
// typed, and leaves the quantity to be typed.
void TestLookupPanel::itemEnterTakesTheCurrentItem()
{
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    FHost->NewItemIn(u"厨房"_s, kName);
    FHost->Open(kName);
    TkvLookupPanel* p = FHost->Panel;
    QCOMPARE(p->CDS_LookUp.RecordCount(), 292); // no category in the row: the whole library
    FHost->Type(u"MTJXAZ"_s);
    QCOMPARE(p->CurrentText(), u"木踢脚线安装"_s);
    FHost->Type(u"木踢脚线安装xyz"_s); // matches nothing: the lookup stays
    FHost->Key(Qt::Key_Return);
    QVERIFY(!p->isVisible());
    QCOMPARE(FHost->Cell(kName), u"木踢脚线安装"_s);
    QCOMPARE(FHost->Cell(kUnit), u"米"_s);
    QCOMPARE(FHost->Budget.FieldByName(u"单价"_s)->AsFloat(), 25.0);
    QCOMPARE(FHost->Cell(kMemo), u"人工费"_s);
    QCOMPARE(FHost->Cell(kKind), u"地板工程"_s);
    QCOMPARE(FHost->Cell(kPlace), u"厨房"_s);
    QVERIFY(FHost->Budget.FieldByName(u"数量"_s)->IsNull());
    QCOMPARE(FHost->Grid->SelectedField()->FieldName(), u"数量"_s);
    QVERIFY(FHost->Grid->hasFocus());
}

// A name that is not in the library is stored as typed only when the list is empty.
void TestLookupPanel::itemNotInLibrary()
{
    FHost = std::make_unique<THost>(*FShipped, kKind);
    FHost->NewItemIn(u"材料"_s, kName);
    FHost->Open(kName);
    TkvLookupPanel* p = FHost->Panel;
    p->ComboBox_LookUpKey->setEditText(u"没有这个词"_s);
    QCOMPARE(p->CDS_LookUp.RecordCount(), 0);
    FHost->Type(u"特制拉手"_s);
    FHost->Key(Qt::Key_Down); // nothing to move to: the text stays
    QCOMPARE(FHost->Input()->text(), u"特制拉手"_s);
    FHost->Key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(FHost->Cell(kName), u"特制拉手"_s);
    QCOMPARE(FHost->Cell(kKind), u"材料"_s);
}

void TestLookupPanel::keyword()
{
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    FHost->NewItemIn(u"厨房"_s, kName);
    FHost->Open(kName);
    TkvLookupPanel* p = FHost->Panel;
    QComboBox* box = p->ComboBox_LookUpKey;
    QStringList words;
    for (int i = 0; i < box->count(); ++i)
        words << box->itemText(i);
    QCOMPARE(words, (QStringList{QString(), u"木"_s, u"安装"_s, u"修理"_s, u"砌"_s, u"安装"_s}));

    box->setCurrentIndex(2);
    const QStringList names = FHost->Offered(kName);
    QVERIFY(names.size() > 5);
    for (const QString& n : names)
        QVERIFY2(n.contains(u"安装"_s), qPrintable(n));

    // A word of one's own joins the list when the box is left.
    box->setFocus();
    box->setEditText(u"吊顶"_s);
    QVERIFY(!FHost->Offered(kName).isEmpty());
    p->Edit_SelectInput->setFocus();
    QVERIFY(p->isVisible());
    QVERIFY(box->findText(u"吊顶"_s) > 0);
    QCOMPARE(box->count(), 7);

    // The next opening starts from the whole list again.
    FHost->Key(Qt::Key_Escape);
    QVERIFY(!p->isVisible());
    FHost->Open(kName);
    QCOMPARE(p->CDS_LookUp.RecordCount(), 292);
    QCOMPARE(box->count(), 6);
}

void TestLookupPanel::remarksForTheCategory_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("电器工程") << u"电器工程"_s << QStringList{u"不含人工"_s};
    QTest::newRow("门窗工程") << u"门窗工程"_s << QStringList{u"人工费"_s, u"不含人工"_s};
    QTest::newRow("材料") << u"材料"_s << QStringList{};
}

void TestLookupPanel::remarksForTheCategory()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, offered);
    FHost = std::make_unique<THost>(*FShipped, kKind);
    FHost->NewItemIn(kind, kMemo);
    FHost->Open(kMemo);
    QCOMPARE(FHost->Offered(kMemo), offered);
}

// Rows picked in the remark grid are joined in list order, whatever the
// order of the clicks; Ctrl+Enter adds the current one to what is typed.
void TestLookupPanel::remarksJoined()
{
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    FHost->NewItemIn(u"厨房"_s, kMemo);
    FHost->Open(kMemo);
    TkvLookupPanel* p = FHost->Panel;
    QCOMPARE(FHost->Offered(kMemo), (QStringList{u"人工费"_s, u"不含人工"_s}));
    FHost->Type(u"rgf"_s); // typing does not move on this page
    QCOMPARE(p->CDS_LookUp.RecNo(), 1);
    FHost->Key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(FHost->Input()->text(), u"rgf,人工费"_s);
    QVERIFY(p->isVisible());

    FHost->ClickRow(p->qxDBGrid_LK_Memo, 1);
    FHost->ClickRow(p->qxDBGrid_LK_Memo, 0, Qt::ControlModifier);
    QCOMPARE(FHost->Input()->text(), u"人工费,不含人工"_s);
    QVERIFY(p->isVisible());
    QVERIFY(p->qxDBGrid_LK_Memo->hasFocus());
    QTest::keyClick(p->qxDBGrid_LK_Memo, Qt::Key_Return); // where the clicks left the focus
    QVERIFY(!p->isVisible());
    QCOMPARE(FHost->Cell(kMemo), u"人工费,不含人工"_s);
}

// In the category view a taken item stays in the group it was put in; in
// the place view it brings its own category.
void TestLookupPanel::takeItemKeepsTheGroup_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("kind");
    QTest::newRow("category view") << kKind << u"材料"_s << u"材料"_s;
    QTest::newRow("place view") << kPlace << u"厨房"_s << u"电器工程"_s;
}

void TestLookupPanel::takeItemKeepsTheGroup()
{
    QFETCH(QString, view);
    QFETCH(QString, group);
    QFETCH(QString, kind);
    TDataModule_Data& data = FShipped->Data;
    TkvYssDataSet budget;
    budget.LoadBudget(FShipped->SamplePacket);
    budget.SetGroupField(view);
    int modified = 0;
    budget.OnAfterYssModified = [&](TkvYssDataSet*) { ++modified; };
    const int groupNo = budget.FindGroup(group)->GroupNo;
    budget.AppendItem(budget.FindGroup(group));
    QVERIFY(data.CDS_SYSItems.Locate(kName, u"开关插座安装"_s));
    TakeItem(data.CDS_SYSItems, budget);
    QCOMPARE(budget.CurrentGroup()->GroupNo, groupNo);
    QCOMPARE(budget.FieldByName(kName)->AsString(), u"开关插座安装"_s);
    QCOMPARE(budget.FieldByName(kKind)->AsString(), kind);
    QCOMPARE(budget.FieldByName(u"单价"_s)->AsFloat(), 15.0);
    QCOMPARE(budget.FieldByName(kPlace)->AsString(), view == kPlace ? group : QString());
    QCOMPARE(budget.State(), TqxDataSetState::Browse);
    QVERIFY(modified > 0);
    budget.Regroup();
    QVERIFY(budget.Locate(kName, u"开关插座安装"_s));
    QCOMPARE(budget.CurrentGroup()->GroupName(), group);
}

// A row the budget refuses to store is reported, and the row is left as it was.
void TestLookupPanel::refusedByTheBudget_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("typed text") << kUnit << u"pf"_s;
    QTest::newRow("library item") << kName << u"mtjxaz"_s;
}

void TestLookupPanel::refusedByTheBudget()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    FHost->NewItemIn(u"厨房"_s, field);
    FHost->Budget.BeforePost = [](TqxDataSet*) { throw EKavelinErr(u"预算书不能保存这一行！"_s); };
    FHost->Open(field);
    FHost->Type(typed);
    FHost->Key(Qt::Key_Return);
    QCOMPARE(FPrompter.MessageTexts(), QStringList{u"预算书不能保存这一行！"_s});
    QCOMPARE(FPrompter.Last().message.Icon, TMsgIcon::Error);
    FPrompter.Reset();
    QCOMPARE(FHost->Budget.State(), TqxDataSetState::Browse);
    QVERIFY(FHost->Budget.FieldByName(field)->IsNull());
    QVERIFY(FHost->Budget.FieldByName(u"单价"_s)->IsNull());
    QVERIFY(!FHost->Panel->isVisible());
    FHost->Budget.BeforePost = nullptr;
}

void TestLookupPanel::automaticOpening_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("filled");
    QTest::addColumn<bool>("inputPanel");
    QTest::addColumn<bool>("opens");
    QTest::newRow("empty unit cell") << kUnit << false << true << true;
    QTest::newRow("empty name cell") << kName << false << true << true;
    QTest::newRow("filled cell") << kUnit << true << true << false;
    QTest::newRow("录入板 off") << kUnit << false << false << false;
    QTest::newRow("a column without lookup") << u"数量"_s << false << true << false;
}

void TestLookupPanel::automaticOpening()
{
    QFETCH(QString, field);
    QFETCH(bool, filled);
    QFETCH(bool, inputPanel);
    QFETCH(bool, opens);
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    FHost->NewItemIn(u"厨房"_s, field);
    if (filled) {
        FHost->Budget.Edit();
        FHost->Budget.FieldByName(field)->SetAsString(u"平方米"_s);
        FHost->Budget.Post();
    }
    FHost->Row_InputPanel.setChecked(inputPanel);
    FHost->Grid->SetEditorMode(true);
    QVERIFY(FHost->Grid->EditorMode());
    if (opens) {
        QTRY_VERIFY_WITH_TIMEOUT(FHost->Panel->isVisible(), 3000);
        QCOMPARE(FHost->Panel->ActivePage(), field);
        QVERIFY(FHost->Input()->hasFocus());
    } else {
        QTest::qWait(700);
        QVERIFY(!FHost->Panel->isVisible());
    }
    // The ellipsis button opens it anyway, starting from the cell's text.
    if (field != u"数量"_s && !opens) {
        QTest::mouseClick(FHost->Grid->InplaceEditor()->EditButton(), Qt::LeftButton);
        QVERIFY(FHost->Panel->isVisible());
        QCOMPARE(FHost->Input()->text(), filled ? u"平方米"_s : QString());
        if (filled)
            QCOMPARE(FHost->Panel->CurrentText(), u"平方米"_s);
    }
}

// What was typed into the cell before the panel came moves into the input
// box; the cell itself takes nothing until the commit.
void TestLookupPanel::typedBeforeThePanelCame()
{
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    FHost->NewItemIn(u"厨房"_s, kUnit);
    QTest::keyClicks(FHost->Grid, u"p"_s);
    QVERIFY(FHost->Grid->EditorMode());
    QTest::keyClicks(FHost->Grid->InplaceEditor(), u"f"_s);
    QTRY_VERIFY_WITH_TIMEOUT(FHost->Panel->isVisible(), 3000);
    QCOMPARE(FHost->Input()->text(), u"pf"_s);
    QCOMPARE(FHost->Panel->CurrentText(), u"平方米"_s);
    QVERIFY(FHost->Budget.FieldByName(kUnit)->IsNull());
    FHost->Key(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(FHost->Cell(kUnit), u"平方米"_s);
}

void TestLookupPanel::placement_data()
{
    QTest::addColumn<int>("gridHeight");
    QTest::addColumn<bool>("lastRow");
    QTest::addColumn<bool>("below");
    QTest::addColumn<int>("height"); // 0: from the room left
    QTest::newRow("room below") << 560 << false << true << 250;
    QTest::newRow("near the bottom, room above") << 330 << true << false << 250;
    QTest::newRow("short grid, more room above") << 200 << true << false << 0;
    QTest::newRow("short grid, more room below") << 200 << false << true << 0;
}

void TestLookupPanel::placement()
{
    QFETCH(int, gridHeight);
    QFETCH(bool, lastRow);
    QFETCH(bool, below);
    QFETCH(int, height);
    FHost = std::make_unique<THost>(*FShipped, kPlace, gridHeight);
    TqxDBGrid* grid = FHost->Grid;
    // A cell in the first or the last visible row, in the right-most looked-up column.
    grid->SetSelectedIndex(grid->FindColumn(kMemo)->Index());
    const int row = lastRow ? grid->rowAt(grid->viewport()->height() - 2) : grid->rowAt(2);
    FHost->Budget.SetRecNo(row + 1);
    FHost->Open(kMemo);
    TkvLookupPanel* p = FHost->Panel;
    QVERIFY(p->isVisible());
    QRect cell;
    grid->GetEditorBounds(cell);
    const QRect panel = p->geometry();
    QCOMPARE(panel.width(), 337);
    const QRect viewport = grid->viewport()->geometry();
    QVERIFY(panel.right() < viewport.right()); // moved left, clear of the scroll bar
    const int client = viewport.y() + viewport.height();
    if (below) {
        QCOMPARE(panel.top(), cell.top() + cell.height() + 1);
        QCOMPARE(panel.height(), height ? height : client - (cell.top() + cell.height()) - 5);
        QVERIFY(p->Panel_SelectInput->y() < p->Notebook_Lookup->y());
    } else {
        QCOMPARE(panel.top() + panel.height(), cell.top() - 1);
        QCOMPARE(panel.height(), height ? height : cell.top() - 5);
        QVERIFY(p->Panel_SelectInput->y() > p->Notebook_Lookup->y());
    }
}

void TestLookupPanel::hideTriggers_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("Esc") << u"esc"_s;
    QTest::newRow("录入板 toggled") << u"action"_s;
    QTest::newRow("focus to a control outside the grid") << u"outside"_s;
    QTest::newRow("focus back into the budget grid") << u"grid"_s;
    QTest::newRow("the confirm button") << u"button"_s;
}

void TestLookupPanel::hideTriggers()
{
    QFETCH(QString, trigger);
    FHost = std::make_unique<THost>(*FShipped, kPlace);
    FHost->NewItemIn(u"厨房"_s, kUnit);
    FHost->Open(kUnit);
    TkvLookupPanel* p = FHost->Panel;
    QVERIFY(p->isVisible());
    QVERIFY(FHost->Grid->PopWindow());
    // Opening the keyword list does not count as leaving.
    p->ComboBox_LookUpKey->setFocus();
    p->ComboBox_LookUpKey->showPopup();
    QVERIFY(p->isVisible());
    p->ComboBox_LookUpKey->hidePopup();
    p->Edit_SelectInput->setFocus();
    FHost->Type(u"pf"_s);

    if (trigger == u"esc"_s)
        FHost->Key(Qt::Key_Escape);
    else if (trigger == u"action"_s)
        FHost->Row_InputPanel.trigger();
    else if (trigger == u"outside"_s)
        FHost->Outside->setFocus();
    else if (trigger == u"grid"_s)
        FHost->Grid->setFocus();
    else
        QTest::mouseClick(p->Button_SelectInput, Qt::LeftButton);
    QVERIFY(!p->isVisible());
    QVERIFY(!p->Timer_ShowPanel->isActive());
    QVERIFY(!FHost->Grid->PopWindow());
    QCOMPARE(FHost->Cell(kUnit), trigger == u"button"_s ? u"pf"_s : QString());
}

QTEST_MAIN(TestLookupPanel)
#include "tst_lookuppanel.moc"
