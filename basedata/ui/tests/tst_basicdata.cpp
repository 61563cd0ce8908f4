// The basic data window over a copy of the shipped tables: its pages, the
// remark categories, the place and word rules, saving and the close question.

#include "BaseDataFixture.h"
#include "KvTestSupport.h"
#include "Win_BasicData.h"
#include "Win_RecordFind.h"
#include "qxDBCtrls.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

using Page = TForm_BasicData::TPage;

const QStringList kLookupPages{u"施工地点"_s, u"项目类别"_s, u"项目名称"_s, u"单位"_s, u"备注"_s};

QStringList checkedEntries(const QListWidget* list)
{
    QStringList checked;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            checked << list->item(i)->text();
    return checked;
}

QListWidgetItem* entry(const QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// Keys carrying text the way an input method delivers it, Chinese included.
void typeText(QWidget* widget, const QString& text)
{
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}

// The values a cursor shows, in its order and filter.
QStringList fieldValues(TqxDataSet& table, const QString& field)
{
    QStringList values;
    TqxDataSet walk;
    walk.CloneCursor(table, true);
    for (walk.First(); !walk.Eof(); walk.Next())
        values << walk.FieldByName(field)->AsString();
    return values;
}

// Typing into a cell: a key on the grid opens its editor, the rest goes there.
void typeInto(TqxDBGrid* grid, const QString& text)
{
    if (!grid->EditorMode())
        typeText(grid, text.left(1));
    QVERIFY(grid->EditorMode());
    typeText(grid->InplaceEditor(), grid->InplaceEditor()->text().isEmpty() ? text : text.mid(1));
}

bool showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

} // namespace

class TestBasicData : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(F.SetUp()); }
    void cleanup() { F.TearDown(); }
    void opening();
    void pagesShareSourceAndNavigator();
    void inputMethodPerColumn_data();
    void inputMethodPerColumn();
    void remarkShowsItsCategories_data();
    void remarkShowsItsCategories();
    void checkingCategories_data();
    void checkingCategories();
    void newRemarkByKeyboard();
    void firstRemarkOfAnEmptyTable();
    void newPlaceJoinsThePlaces();
    void wordKinds_data();
    void wordKinds();
    void wordKindFilter();
    void saveWritesTheChangedTables();
    void namelessUnitIsToldOrDropped();
    void saveFailureKeepsWindowOpen();
    void closeQuestion_data();
    void closeQuestion();
    void libraryCategoriesMakeCancelAsk();
    void editBasicData_data();
    void editBasicData();
    void findOnActivePage();

private:
    TBaseDataFixture F;
};

void TestBasicData::opening()
{
    TForm_BasicData w(*F.Data, *F.Info);
    QCOMPARE(w.objectName(), u"TForm_BasicData"_s);
    QCOMPARE(w.windowTitle(), u"基础数据维护"_s);
    QCOMPARE(w.qxHeadPanel1->Description(), u"基础数据维护..."_s);

    QStringList pages;
    for (int i = 0; i < w.PageControl_Basic->count(); ++i)
        pages << w.PageControl_Basic->tabText(i);
    QCOMPARE(pages, (QStringList{u"计量单位"_s, u"工艺材料、备注"_s, u"施工地点"_s, u"单词库"_s}));

    const QList<QStringList> columns{{u"单位=计量单位"_s, u"查询码=查询码"_s},
                                     {u"备注=工艺材料、备注"_s, u"查询码=查询码"_s},
                                     {u"类别名称=地点名称"_s, u"查询码=查询码"_s},
                                     {u"单词=单词"_s}};
    for (int page = 0; page < Page::PageCount; ++page) {
        TqxDBGrid* grid = w.PageGrid(page);
        QVERIFY(grid->EnterToNext() && grid->EofCanAppend());
        QStringList shown;
        for (int c = 0; c < grid->ColumnCount(); ++c)
            shown << grid->Columns(c)->FieldName() + u'=' + grid->Columns(c)->Title();
        QCOMPARE(shown, columns[page]);
    }
    QCOMPARE(w.qxDBGrid_Place->objectName(), u"qxDBGrid_Place"_s);

    TqxDBNavigator* nav = w.qxDBNavigator_Basic;
    QStringList captions;
    for (int b = nbFirst; b <= nbRefresh; ++b)
        if (nav->ButtonVisible(TNavigateBtn(b)))
            captions << nav->Button(TNavigateBtn(b))->text();
    QCOMPARE(captions, (QStringList{u"插入"_s, u"删除"_s, u"编辑"_s, u"提交"_s, u"撤销"_s}));
    QVERIFY(!nav->ConfirmDelete());

    QCOMPARE(w.CheckListBox_Cate->count(), 14);
    QCOMPARE(w.CheckListBox_Cate->item(0)->text(), u"<所有类别>"_s);
    QCOMPARE(w.CheckListBox_Cate->item(1)->text(), u"材料"_s);
    QCOMPARE(w.CheckListBox_Cate->item(13)->text(), u"装修工程"_s);

    QStringList kinds;
    for (int i = 0; i < w.ComboBox_WordKind->count(); ++i)
        kinds << w.ComboBox_WordKind->itemText(i);
    QCOMPARE(kinds, (QStringList{u"<无分类>"_s, u"项目名称"_s, u"项目类别"_s, u"施工地点"_s, u"备注"_s}));
    QCOMPARE(w.ComboBox_WordKind->currentIndex(), 0);
    QCOMPARE(w.Label_WordKind->text(), u"单词分类(&T):"_s);

    QCOMPARE(w.DataSource_Basic->DataSet(), &F.Data->CDS_MeasureUnit);
    QCOMPARE(w.cds_Place.RecordCount(), 16);
    QCOMPARE(w.cds_Place.FieldByName(u"类别名称"_s)->AsString(), u"厨房"_s);
    QCOMPARE(w.cds_Words.RecordCount(), 6);
    QCOMPARE(w.cds_Memos.RecNo(), 1);

    QCOMPARE(w.Button_Save->text(), u"保存(&S)"_s);
    QVERIFY(w.Button_Save->isDefault());
    QCOMPARE(w.Button_Cancel->text(), u"取消(&C)"_s);
    QCOMPARE(w.Button_Find->text(), u"查询(&F)..."_s);
}

void TestBasicData::pagesShareSourceAndNavigator()
{
    TForm_BasicData w(*F.Data, *F.Info);
    for (int page : {2, 1, 3, 0}) {
        w.PageControl_Basic->setCurrentIndex(page);
        QCOMPARE(w.DataSource_Basic->DataSet(), w.PageTable(page));
        QCOMPARE(w.qxDBNavigator_Basic->DataSource(), w.DataSource_Basic);
        for (int other = 0; other < Page::PageCount; ++other)
            QCOMPARE(w.PageGrid(other)->DataSet(), other == page ? w.PageTable(page) : nullptr);
    }
    // Deleting asks nothing.
    w.PageControl_Basic->setCurrentIndex(Page::pgPlace);
    w.qxDBNavigator_Basic->Button(nbDelete)->click();
    QCOMPARE(w.cds_Place.RecordCount(), 15);
    QVERIFY(F.Prompter->Records.empty());
    QStringList places;
    F.Data->ListPlaces(places);
    QVERIFY(!places.contains(u"厨房"_s));
}

void TestBasicData::inputMethodPerColumn_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("latin");
    QTest::newRow("单位") << int(Page::pgUnit) << 0 << false;
    QTest::newRow("单位 查询码") << int(Page::pgUnit) << 1 << true;
    QTest::newRow("备注") << int(Page::pgMemo) << 0 << false;
    QTest::newRow("备注 查询码") << int(Page::pgMemo) << 1 << true;
    QTest::newRow("地点名称") << int(Page::pgPlace) << 0 << false;
    QTest::newRow("地点 查询码") << int(Page::pgPlace) << 1 << true;
    QTest::newRow("单词") << int(Page::pgWords) << 0 << false;
}

void TestBasicData::inputMethodPerColumn()
{
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(bool, latin);
    TForm_BasicData w(*F.Data, *F.Info);
    QVERIFY(showActive(&w));
    w.PageControl_Basic->setCurrentIndex(page);
    TqxDBGrid* grid = w.PageGrid(page);
    grid->setFocus();
    grid->SetSelectedIndex(column);
    grid->SetEditorMode(true);
    QVERIFY(grid->InplaceEditor());
    QCOMPARE(grid->InplaceEditor()->testAttribute(Qt::WA_InputMethodEnabled), !latin);
    QCOMPARE(bool(grid->InplaceEditor()->inputMethodHints() & Qt::ImhLatinOnly), latin);
}

void TestBasicData::remarkShowsItsCategories_data()
{
    QTest::addColumn<QString>("categories");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("two") << u"电器工程;门窗工程"_s << QStringList{u"电器工程"_s, u"门窗工程"_s};
    QTest::newRow("all") << QString() << QStringList{u"<所有类别>"_s};
    QTest::newRow("unknown part ignored") << u"门窗工程;阳光房"_s << QStringList{u"门窗工程"_s};
}

void TestBasicData::remarkShowsItsCategories()
{
    QFETCH(QString, categories);
    QFETCH(QStringList, checked);
    TqxDataSet& memos = F.Data->CDS_Memos;
    QVERIFY(memos.Locate(u"备注"_s, u"人工费"_s));
    memos.Edit();
    memos.FieldByName(u"项目类别"_s)->SetAsString(categories);
    memos.Post();

    TForm_BasicData w(*F.Data, *F.Info);
    // Moving to the remark shows its categories; moving away shows the next one's.
    QVERIFY(w.cds_Memos.Locate(u"备注"_s, u"人工费"_s));
    QCOMPARE(checkedEntries(w.CheckListBox_Cate), checked);
    QVERIFY(w.cds_Memos.Locate(u"备注"_s, u"不含人工"_s));
    QCOMPARE(checkedEntries(w.CheckListBox_Cate), (QStringList{u"电器工程"_s, u"门窗工程"_s}));
}

void TestBasicData::checkingCategories_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("all clears the others") << u"电器工程;门窗工程"_s << QStringList{u"<所有类别>"_s} << QString()
                                           << QStringList{u"<所有类别>"_s};
    QTest::newRow("list order, not click order")
        << QString() << QStringList{u"门窗工程"_s, u"地板工程"_s} << u"地板工程;门窗工程"_s
        << QStringList{u"地板工程"_s, u"门窗工程"_s};
    QTest::newRow("uncheck one") << u"地板工程;门窗工程"_s << QStringList{u"地板工程"_s} << u"门窗工程"_s
                                 << QStringList{u"门窗工程"_s};
    QTest::newRow("uncheck the last") << u"门窗工程"_s << QStringList{u"门窗工程"_s} << QString() << QStringList{};
    QTest::newRow("uncheck all") << QString() << QStringList{u"<所有类别>"_s} << QString() << QStringList{};
}

void TestBasicData::checkingCategories()
{
    QFETCH(QString, start);
    QFETCH(QStringList, clicks);
    QFETCH(QString, result);
    QFETCH(QStringList, checked);
    TForm_BasicData w(*F.Data, *F.Info);
    w.PageControl_Basic->setCurrentIndex(Page::pgMemo);
    QVERIFY(w.cds_Memos.Locate(u"备注"_s, u"人工费"_s));
    w.cds_Memos.Edit();
    w.cds_Memos.FieldByName(u"项目类别"_s)->SetAsString(start);
    w.cds_Memos.Post();
    QVERIFY(w.cds_Memos.Locate(u"备注"_s, u"人工费"_s)); // shows the categories just set

    for (const QString& click : clicks) {
        QListWidgetItem* item = entry(w.CheckListBox_Cate, click);
        QVERIFY(item);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
    QCOMPARE(checkedEntries(w.CheckListBox_Cate), checked);
    QCOMPARE(w.cds_Memos.State(), TqxDataSetState::Edit);
    w.cds_Memos.Post();
    QCOMPARE(F.Data->CDS_Memos.Lookup(u"备注"_s, u"人工费"_s, u"项目类别"_s).toString(), result);
}

void TestBasicData::newRemarkByKeyboard()
{
    TForm_BasicData w(*F.Data, *F.Info);
    QVERIFY(showActive(&w));
    w.PageControl_Basic->setCurrentIndex(Page::pgMemo);
    // A remark ticked for a category is changed; then a new one starts with all categories.
    QVERIFY(w.cds_Memos.Locate(u"备注"_s, u"不含人工"_s));
    w.qxDBNavigator_Basic->Button(nbInsert)->click();
    QCOMPARE(checkedEntries(w.CheckListBox_Cate), QStringList{u"<所有类别>"_s});

    w.qxDBGrid_Memo->setFocus();
    typeInto(w.qxDBGrid_Memo, u"辅料费"_s);
    QTest::keyClick(w.qxDBGrid_Memo->InplaceEditor(), Qt::Key_Return);
    typeInto(w.qxDBGrid_Memo, u"flf"_s);

    // Straight from typing to the check list: what was typed stays with the row.
    w.CheckListBox_Cate->setFocus();
    w.CheckListBox_Cate->setCurrentItem(entry(w.CheckListBox_Cate, u"油漆工程"_s));
    QTest::keyClick(w.CheckListBox_Cate, Qt::Key_Space);
    QCOMPARE(checkedEntries(w.CheckListBox_Cate), QStringList{u"油漆工程"_s});
    w.qxDBNavigator_Basic->Button(nbPost)->click();

    TqxDataSet& memos = F.Data->CDS_Memos;
    QVERIFY(memos.Locate(u"备注"_s, u"辅料费"_s));
    QCOMPARE(memos.FieldByName(u"查询码"_s)->AsString(), u"flf"_s);
    QCOMPARE(memos.FieldByName(u"项目类别"_s)->AsString(), u"油漆工程"_s);
    QCOMPARE(memos.RecordCount(), 3);
}

void TestBasicData::firstRemarkOfAnEmptyTable()
{
    F.Data->CDS_Memos.EmptyDataSet();
    TForm_BasicData w(*F.Data, *F.Info);
    w.PageControl_Basic->setCurrentIndex(Page::pgMemo);
    // Nothing to tick without a remark.
    entry(w.CheckListBox_Cate, u"材料"_s)->setCheckState(Qt::Checked);
    QCOMPARE(checkedEntries(w.CheckListBox_Cate), QStringList{});
    QCOMPARE(w.cds_Memos.State(), TqxDataSetState::Browse);

    w.qxDBNavigator_Basic->Button(nbInsert)->click();
    QCOMPARE(checkedEntries(w.CheckListBox_Cate), QStringList{u"<所有类别>"_s});
    entry(w.CheckListBox_Cate, u"材料"_s)->setCheckState(Qt::Checked);
    w.cds_Memos.FieldByName(u"备注"_s)->SetAsString(u"运费"_s);
    w.qxDBNavigator_Basic->Button(nbPost)->click();
    QCOMPARE(F.Data->CDS_Memos.Lookup(u"备注"_s, u"运费"_s, u"项目类别"_s).toString(), u"材料"_s);
}

void TestBasicData::newPlaceJoinsThePlaces()
{
    TForm_BasicData w(*F.Data, *F.Info);
    QVERIFY(showActive(&w));
    w.PageControl_Basic->setCurrentIndex(Page::pgPlace);
    TqxDBGrid* grid = w.qxDBGrid_Place;
    grid->setFocus();
    w.cds_Place.Last();
    grid->SetSelectedIndex(1);
    QTest::keyClick(grid, Qt::Key_Return); // Enter after the last cell appends a row
    QCOMPARE(w.cds_Place.State(), TqxDataSetState::Insert);
    typeInto(grid, u"衣帽间"_s);
    QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return);
    typeInto(grid, u"ymj"_s);
    QTest::keyClick(grid->InplaceEditor(), Qt::Key_Return); // posts it and appends one more row
    QCOMPARE(w.cds_Place.State(), TqxDataSetState::Insert);
    QVERIFY(w.isVisible()); // Enter in the grid is not the default button's

    QStringList places;
    F.Data->ListPlaces(places);
    QCOMPARE(places.size(), 17);
    QCOMPARE(places.last(), u"衣帽间"_s);

    w.Button_Save->click();
    QVERIFY(!w.isVisible());
    QVERIFY(F.Prompter->Records.empty());
    // The untouched row is not saved as an empty place.
    const auto saved = F.Reread();
    QStringList savedPlaces;
    saved->ListPlaces(savedPlaces);
    QCOMPARE(savedPlaces, places);
    QVERIFY(saved->CDS_SYSItemCate.Locate(u"类别名称"_s, u"衣帽间"_s));
    QCOMPARE(saved->CDS_SYSItemCate.FieldByName(u"查询码"_s)->AsString(), u"ymj"_s);
    QCOMPARE(saved->CDS_SYSItemCate.RecordCount(), F.Data->CDS_SYSItemCate.RecordCount());
}

void TestBasicData::wordKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("storedKind");
    QTest::addColumn<QStringList>("offeredOn");
    QTest::newRow("no kind") << 0 << QString() << kLookupPages;
    QTest::newRow("项目名称") << 1 << u"项目名称"_s << QStringList{u"项目名称"_s};
    QTest::newRow("备注") << 4 << u"备注"_s << QStringList{u"备注"_s};
}

void TestBasicData::wordKinds()
{
    QFETCH(int, kind);
    QFETCH(QString, storedKind);
    QFETCH(QStringList, offeredOn);
    TForm_BasicData w(*F.Data, *F.Info);
    w.PageControl_Basic->setCurrentIndex(Page::pgWords);
    w.ComboBox_WordKind->setCurrentIndex(kind);
    w.qxDBNavigator_Basic->Button(nbInsert)->click();
    w.cds_Words.FieldByName(u"单词"_s)->SetAsString(u"翻新"_s);
    w.qxDBNavigator_Basic->Button(nbPost)->click();
    QCOMPARE(F.Data->CDS_Words.Lookup(u"单词"_s, u"翻新"_s, u"类别"_s).toString(), storedKind);

    for (const QString& page : kLookupPages) {
        QStringList words;
        F.Data->ListWords(page, words);
        QCOMPARE(words.contains(u"翻新"_s), offeredOn.contains(page));
    }
}

void TestBasicData::wordKindFilter()
{
    TForm_BasicData w(*F.Data, *F.Info);
    w.PageControl_Basic->setCurrentIndex(Page::pgWords);
    w.ComboBox_WordKind->setCurrentIndex(1);
    QCOMPARE(fieldValues(w.cds_Words, u"单词"_s), (QStringList{u"木"_s, u"安装"_s}));
    QCOMPARE(w.qxDBGrid_Words->Model()->rowCount(), 2);
    w.ComboBox_WordKind->setCurrentIndex(2);
    QCOMPARE(fieldValues(w.cds_Words, u"单词"_s), QStringList{u"水"_s});
    w.ComboBox_WordKind->setCurrentIndex(0);
    QCOMPARE(w.cds_Words.RecordCount(), 6);

    // Mending a word while all words are shown leaves its kind alone.
    QVERIFY(w.cds_Words.Locate(u"单词"_s, u"木"_s));
    w.cds_Words.Edit();
    w.cds_Words.FieldByName(u"单词"_s)->SetAsString(u"木材"_s);
    w.cds_Words.Post();
    QCOMPARE(F.Data->CDS_Words.Lookup(u"单词"_s, u"木材"_s, u"类别"_s).toString(), u"项目名称"_s);

    // A word typed under one kind and not yet posted keeps that kind when the box changes.
    w.ComboBox_WordKind->setCurrentIndex(3);
    w.cds_Words.Append();
    w.cds_Words.FieldByName(u"单词"_s)->SetAsString(u"窗台"_s);
    w.ComboBox_WordKind->setCurrentIndex(0);
    QCOMPARE(F.Data->CDS_Words.Lookup(u"单词"_s, u"窗台"_s, u"类别"_s).toString(), u"施工地点"_s);
}

void TestBasicData::saveWritesTheChangedTables()
{
    const QByteArray wordsBefore = KvTest::ReadBytes(F.File(u"WordsDb"_s));
    TForm_BasicData w(*F.Data, *F.Info);
    w.show();
    w.PageTable(Page::pgUnit)->AppendRecord({u"延米"_s, u"ym"_s});
    w.PageTable(Page::pgUnit)->Append(); // left untouched: dropped
    w.cds_Memos.AppendRecord({QString(), u"辅料"_s, u"fl"_s});
    w.cds_Place.AppendRecord({QString(), u"花园"_s, QString(), false, u"hy"_s});
    w.PageControl_Basic->setCurrentIndex(Page::pgPlace);
    w.Button_Save->click();
    QVERIFY(F.Prompter->Records.empty());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(!w.isVisible());
    QCOMPARE(KvTest::ReadBytes(F.File(u"WordsDb"_s)), wordsBefore); // unchanged, not written

    const auto saved = F.Reread();
    QCOMPARE(fieldValues(saved->CDS_MeasureUnit, u"单位"_s).size(), 19);
    QCOMPARE(fieldValues(saved->CDS_MeasureUnit, u"单位"_s).last(), u"延米"_s);
    QVERIFY(saved->CDS_Memos.Locate(u"备注"_s, u"辅料"_s));
    QStringList places;
    saved->ListPlaces(places);
    QCOMPARE(places.last(), u"花园"_s);
    for (int page = 0; page < Page::PageCount; ++page)
        QCOMPARE(w.PageTable(page)->ChangeCount(), 0);
}

void TestBasicData::namelessUnitIsToldOrDropped()
{
    TForm_BasicData w(*F.Data, *F.Info);
    w.show();
    // A unit without a name cannot be posted: told, and its page shown.
    w.PageControl_Basic->setCurrentIndex(Page::pgWords);
    w.PageTable(Page::pgUnit)->Append();
    w.PageTable(Page::pgUnit)->FieldByName(u"查询码"_s)->SetAsString(u"xx"_s);
    w.Button_Save->click();
    QVERIFY(w.isVisible());
    QCOMPARE(F.Prompter->MessageTexts(), QStringList{u"字段“单位”必须有值，不能为空！"_s});
    QCOMPARE(w.PageControl_Basic->currentIndex(), int(Page::pgUnit));

    // Cancel still lets the user leave it behind.
    F.Prompter->Reset();
    F.Prompter->AnswerButton(mbNo);
    w.Button_Cancel->click();
    QCOMPARE(F.Prompter->MessageTexts(), QStringList{u"数据已被修改，是否保存？"_s});
    QVERIFY(!w.isVisible());
    QCOMPARE(F.Data->CDS_MeasureUnit.State(), TqxDataSetState::Browse);
    QCOMPARE(F.Data->CDS_MeasureUnit.RecordCount(), 18);
}

void TestBasicData::saveFailureKeepsWindowOpen()
{
    TForm_BasicData w(*F.Data, *F.Info);
    w.show();
    // A file that cannot be written: told, the window stays and the change stays counted.
    w.cds_Words.AppendRecord({QString(), u"刷"_s});
    {
        KvTest::FileSizeLimit full(16);
        w.Button_Save->click();
    }
    QVERIFY(w.isVisible());
    QCOMPARE(F.Prompter->Records.size(), size_t(1));
    QCOMPARE(F.Prompter->Last().message.Caption, u"保存失败"_s);
    QVERIFY(w.cds_Words.ChangeCount() > 0);
    w.Button_Save->click();
    QVERIFY(!w.isVisible());
    QVERIFY(F.Reread()->CDS_Words.Locate(u"单词"_s, u"刷"_s));
}

void TestBasicData::closeQuestion_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("stays");
    QTest::addColumn<bool>("inMemory");
    QTest::addColumn<bool>("inFile");
    QTest::newRow("nothing changed") << false << false << int(mbNone) << false << false << false;
    QTest::newRow("cancel") << true << false << int(mbCancel) << true << true << false;
    QTest::newRow("yes") << true << false << int(mbYes) << false << true << true;
    QTest::newRow("no") << true << false << int(mbNo) << false << false << false;
    QTest::newRow("close box, cancel") << true << true << int(mbCancel) << true << true << false;
    QTest::newRow("close box, no") << true << true << int(mbNo) << false << false << false;
}

void TestBasicData::closeQuestion()
{
    QFETCH(bool, change);
    QFETCH(bool, closeBox);
    QFETCH(int, answer);
    QFETCH(bool, stays);
    QFETCH(bool, inMemory);
    QFETCH(bool, inFile);
    TForm_BasicData w(*F.Data, *F.Info);
    w.show();
    if (change) {
        // Typed in, not yet posted: still a change.
        w.cds_Words.Append();
        w.cds_Words.FieldByName(u"单词"_s)->SetAsString(u"刷"_s);
        F.Prompter->AnswerButton(answer);
    }
    if (closeBox)
        w.close();
    else
        w.Button_Cancel->click();

    QCOMPARE(F.Prompter->Records.size(), size_t(change ? 1 : 0));
    if (change) {
        const TMessageRequest& ask = F.Prompter->Last().message;
        QCOMPARE(ask.Text, u"数据已被修改，是否保存？"_s);
        QCOMPARE(ask.Caption, u"提示"_s);
        QCOMPARE(ask.Icon, TMsgIcon::Question);
        QCOMPARE(ask.Buttons, mbYes | mbNo | mbCancel);
    }
    QCOMPARE(w.isVisible(), stays);
    if (!stays)
        QCOMPARE(w.result(), int(QDialog::Rejected));
    QCOMPARE(F.Data->CDS_Words.Locate(u"单词"_s, u"刷"_s), inMemory);
    QCOMPARE(F.Reread()->CDS_Words.Locate(u"单词"_s, u"刷"_s), inFile);
}

void TestBasicData::libraryCategoriesMakeCancelAsk()
{
    // A category made in the item library and not yet saved.
    F.Data->CDS_SYSItemCate.AppendRecord({u"项目类别"_s, u"智能家居"_s, u"项目类别"_s, false, u"znjj"_s});
    TForm_BasicData w(*F.Data, *F.Info);
    w.show();
    F.Prompter->AnswerButton(mbNo);
    w.Button_Cancel->click();
    QCOMPARE(F.Prompter->MessageTexts(), QStringList{u"数据已被修改，是否保存？"_s});
    QVERIFY(!w.isVisible());
    QStringList categories;
    F.Data->ListItemCategories(categories);
    QCOMPARE(categories.size(), 13);
    QCOMPARE(F.Data->CDS_SYSItemCate.ChangeCount(), 0);
}

void TestBasicData::editBasicData_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("units");
    QTest::newRow("save") << true << 19;
    QTest::newRow("cancel, no") << false << 18;
}

void TestBasicData::editBasicData()
{
    QFETCH(bool, save);
    QFETCH(int, units);
    bool driven = false;
    QTimer::singleShot(0, this, [&] {
        auto* w = qobject_cast<TForm_BasicData*>(QApplication::activeModalWidget());
        if (!w)
            return;
        driven = true;
        w->PageTable(Page::pgUnit)->AppendRecord({u"延米"_s, u"ym"_s});
        F.Prompter->AnswerButton(mbNo);
        (save ? w->Button_Save : w->Button_Cancel)->click();
        if (w->isVisible())
            w->done(QDialog::Rejected); // never hang the test
    });
    QCOMPARE(EditBasicData(*F.Data, *F.Info), save);
    QVERIFY(driven);
    QCOMPARE(F.Data->CDS_MeasureUnit.RecordCount(), units);
    QCOMPARE(F.Data->CDS_MeasureUnit.ChangeCount(), 0);
    QCOMPARE(F.Reread()->CDS_MeasureUnit.RecordCount(), units);
}

void TestBasicData::findOnActivePage()
{
    TForm_BasicData w(*F.Data, *F.Info);
    w.show();
    w.PageControl_Basic->setCurrentIndex(Page::pgPlace);
    w.Button_Find->click();
    auto* find = w.findChild<TForm_RecordFind*>();
    QVERIFY(find);
    QCOMPARE(find->Grid(), w.qxDBGrid_Place);
    find->close();
}

QTEST_MAIN(TestBasicData)
#include "tst_basicdata.moc"
