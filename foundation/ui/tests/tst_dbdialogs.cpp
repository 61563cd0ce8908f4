// The dialogs that work on tables: lookup selection and record find, built,
// shown and worked through their controls; message boxes are answered by the
// scripted prompter and no modal loop runs.

#include "qxCtrls.h"
#include "qxDBCtrls.h"
#include "qxDialogs.h"
#include "qxErrors.h"
#include "qxScriptedPrompter.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

bool showActive(QWidget* w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// Types text as keys; characters beyond ASCII come as key events carrying
// the text, the way a keyboard layout delivers them.
void typeText(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Places and categories with query codes, in stored order.
void fillCategories(TqxDataSet& t)
{
    t.SetFieldDefs({{u"编号"_s, TqxFieldKind::Integer},
                    {u"类别名称"_s, TqxFieldKind::String, 20},
                    {u"查询码"_s, TqxFieldKind::String, 10},
                    {u"父类别"_s, TqxFieldKind::String, 20}});
    t.CreateDataSet();
    t.AppendRecord({1, u"客厅"_s, u"kt"_s, u"施工地点"_s});
    t.AppendRecord({2, u"木工"_s, u"mg"_s, u"项目类别"_s});
    t.AppendRecord({13, u"Abc工程"_s, u"abc"_s, u"项目类别"_s});
    t.AppendRecord({14, u"abd安装"_s, u"abd"_s, u"施工地点"_s});
    t.AppendRecord({15, u"xab"_s, u"xab"_s, u"项目类别"_s});
    t.AppendRecord({16, u"ABx卫生间"_s, u"abx"_s, u"施工地点"_s});
}

QStringList names(TqxDataSet& t, const QString& field = u"类别名称"_s)
{
    QStringList out;
    const int f = t.FieldByName(field)->Index();
    for (int i = 0; i < t.RecordCount(); ++i)
        out.append(t.TextAt(t.BookmarkAt(i), f));
    return out;
}

QString current(TqxDataSet& t, const QString& field = u"类别名称"_s)
{
    return t.FieldByName(field)->AsString();
}

} // namespace

class TestDBDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookupFiltersAndRestores();
    void lookupChooses();
    void lookupByNumber();
    void lookupSetupFailure();

    void recordFindSetup();
    void recordFindBoolean_data();
    void recordFindBoolean();
    void recordFindMatching_data();
    void recordFindMatching();
    void recordFindBlankOrMissing();
    void recordFindTypedContent();
    void recordFindLookupColumn();
    void recordFindClearAndClose();
};

// ---------------------------------------------------------------- lookup selection

void TestDBDialogs::lookupFiltersAndRestores()
{
    TqxDataSet table;
    fillCategories(table);
    table.SetFilterOptions(foNoPartialCompare);
    table.SetFilter(u"父类别='施工地点'"_s);
    table.SetFiltered(true);
    table.Locate(u"类别名称"_s, u"abd安装"_s);
    {
        TForm_SelectLookup dialog(&table, u"类别名称"_s, u"查询码"_s, u"父类别='项目类别'"_s);
        QVERIFY(showActive(&dialog));
        QCOMPARE(dialog.windowTitle(), u"查找选择..."_s);
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog.Edit_Search->EditLabel()->text(), u"类别名称(&F):"_s);
        QCOMPARE(dialog.Button_OK->text(), u"确定(&O)"_s);
        QCOMPARE(dialog.Button_Cancel->text(), u"取消(&C)"_s);
        QCOMPARE(dialog.Button_Refresh->text(), u"刷新(&R)"_s);
        QVERIFY(dialog.qxDBGrid_Lookup->Options() & dgRowSelect);
        // The caller's filter, with the options of a text search.
        QCOMPARE(names(table), (QStringList{u"木工"_s, u"Abc工程"_s, u"xab"_s}));
        QCOMPARE(table.FilterOptions(), TqxFilterOptions(foCaseInsensitive));

        // Typing replaces it: the rows beginning with the text, in any letter case.
        QTest::keyClicks(dialog.Edit_Search, u"ab"_s);
        QCOMPARE(names(table), (QStringList{u"Abc工程"_s, u"abd安装"_s, u"ABx卫生间"_s}));
        QCOMPARE(dialog.qxDBGrid_Lookup->Model()->rowCount(), 3);
        QTest::keyClick(dialog.Edit_Search, u'x');
        QCOMPARE(names(table), QStringList{u"ABx卫生间"_s});
        // An empty edit shows every row; the caller's filter is gone.
        dialog.Edit_Search->clear();
        QCOMPARE(names(table).size(), 6);
        QTest::keyClicks(dialog.Edit_Search, u"a"_s);
        QTest::keyClick(dialog.Edit_Search, Qt::Key_Down);
        QCOMPARE(current(table), u"abd安装"_s);
        QCOMPARE(dialog.Edit_Search->text(), u"a"_s); // the arrows are not passed on
        QTest::keyClick(dialog.Edit_Search, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    // Gone: the table's own filter, options and row are back.
    QCOMPARE(table.Filter(), u"父类别='施工地点'"_s);
    QVERIFY(table.Filtered());
    QCOMPARE(table.FilterOptions(), TqxFilterOptions(foNoPartialCompare));
    QCOMPARE(names(table), (QStringList{u"客厅"_s, u"abd安装"_s, u"ABx卫生间"_s}));
    QCOMPARE(current(table), u"abd安装"_s);
}

void TestDBDialogs::lookupChooses()
{
    TqxDataSet table;
    fillCategories(table);
    table.Last();
    TForm_SelectLookup dialog(&table, u"类别名称"_s, u"查询码"_s, QString());
    QVERIFY(showActive(&dialog));
    typeText(dialog.Edit_Search, u"木"_s);
    QTest::keyClick(dialog.Edit_Search, Qt::Key_Return); // OK is the default button
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Value(), QVariant(u"mg"_s));

    // Nothing to choose: OK does not close the dialog.
    TForm_SelectLookup empty(&table, u"类别名称"_s, u"查询码"_s, QString());
    QVERIFY(showActive(&empty));
    typeText(empty.Edit_Search, u"没有"_s);
    QCOMPARE(table.RecordCount(), 0);
    QTest::mouseClick(empty.Button_OK, Qt::LeftButton);
    QVERIFY(empty.isVisible());
    // Refresh reopens the table under the same filter.
    QTest::mouseClick(empty.Button_Refresh, Qt::LeftButton);
    QVERIFY(table.Active());
    QCOMPARE(table.RecordCount(), 0);
}

void TestDBDialogs::lookupByNumber()
{
    TqxDataSet table;
    fillCategories(table);
    TForm_SelectLookup dialog(&table, u"编号"_s, u"类别名称"_s, QString());
    QVERIFY(showActive(&dialog));
    QCOMPARE(table.FilterOptions(), TqxFilterOptions());
    // A number is looked for by its start, without filtering.
    QTest::keyClicks(dialog.Edit_Search, u"1"_s);
    QCOMPARE(current(table), u"客厅"_s);
    QTest::keyClick(dialog.Edit_Search, u'5');
    QCOMPARE(current(table), u"xab"_s);
    QCOMPARE(table.RecordCount(), 6);
    QCOMPARE(dialog.Value(), QVariant(u"xab"_s));
}

void TestDBDialogs::lookupSetupFailure()
{
    TqxDataSet table;
    fillCategories(table);
    table.SetFilter(u"编号>1"_s);
    table.SetFiltered(true);
    table.Last();
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, TForm_SelectLookup(&table, u"没有"_s, u"查询码"_s, QString()));
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, TForm_SelectLookup(&table, u"类别名称"_s, u"查询码"_s, u"父类别='"_s));
    QCOMPARE(table.Filter(), u"编号>1"_s);
    QCOMPARE(table.RecordCount(), 5);
    QCOMPARE(current(table), u"ABx卫生间"_s);
    // The launcher reports it and leaves the value alone.
    TqxScriptedPrompter prompter;
    QVariant value(u"原值"_s);
    QVERIFY(!SelectLookup(&table, u"没有"_s, u"查询码"_s, value, QString()));
    QCOMPARE(value, QVariant(u"原值"_s));
    QCOMPARE(prompter.Records.size(), size_t(1));
    QCOMPARE(prompter.Last().message.Icon, TMsgIcon::Error);
}

// ---------------------------------------------------------------- record find

namespace {

// Items whose 类别编号 column shows the category name through a lookup.
struct TFindFixture {
    TqxDataSet Categories;
    TqxDataSet Items;
    TqxDataSource Source{&Items};
    QWidget Window;
    TqxDBGrid* Grid;
    TqxScriptedPrompter Prompter;

    TFindFixture()
    {
        fillCategories(Categories);
        Items.SetFieldDefs({{u"项目名称"_s, TqxFieldKind::String, 20},
                            {u"编码"_s, TqxFieldKind::String, 10},
                            {u"数量"_s, TqxFieldKind::Integer},
                            {u"系统"_s, TqxFieldKind::Boolean},
                            {u"类别编号"_s, TqxFieldKind::Integer},
                            {u"备注"_s, TqxFieldKind::String, 20}});
        Items.CreateDataSet();
        Items.AppendRecord({u"石膏板"_s, u"A100"_s, 5, true, 1});
        Items.AppendRecord({u"乳胶漆"_s, u"123"_s, 7, false, 2});
        Items.AppendRecord({u"木地板"_s, u"12"_s, 7, true, 2});
        Items.AppendRecord({u"石膏线"_s, u"B200"_s, 9, false, 1});
        Items.Last();
        Window.resize(500, 300);
        Grid = new TqxDBGrid(&Window);
        Grid->resize(500, 300);
        Grid->SetDataSource(&Source);
        Grid->AddColumn(u"项目名称"_s);
        Grid->AddColumn(u"编码"_s, u"项目编码"_s);
        Grid->AddColumn(u"数量"_s);
        Grid->AddColumn(u"系统"_s, u"系统项目"_s);
        Grid->AddColumn(u"类别编号"_s, u"类别"_s)->SetLookup({&Categories, u"编号"_s, u"类别名称"_s});
        Grid->AddColumn(u"备注"_s)->SetVisible(false);
    }

    TForm_RecordFind* Open()
    {
        Window.show();
        TForm_RecordFind* dialog = ShowRecordFind(Grid);
        if (dialog)
            dialog->activateWindow();
        return dialog;
    }

    // Fills the list by title; the rest stays blank.
    static void Fill(TForm_RecordFind* d, const QMap<QString, QString>& contents)
    {
        d->ClearContents();
        for (auto it = contents.begin(); it != contents.end(); ++it)
            d->qxVLE_Find->SetValue(d->qxVLE_Find->FindRow(it.key()), it.value());
    }

    QString Current() { return Items.FieldByName(u"项目名称"_s)->AsString(); }
};

} // namespace

void TestDBDialogs::recordFindSetup()
{
    TFindFixture f;
    TForm_RecordFind* d = f.Open();
    QVERIFY(d);
    QCOMPARE(d->parentWidget(), &f.Window);
    QCOMPARE(d->windowTitle(), u"查找..."_s);
    QCOMPARE(d->qxHeadPanel1->Description(), u"根据查找字段填写查找内容，有选择的进行查找记录..."_s);
    QVERIFY(d->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(d->qxVLE_Find->horizontalHeaderItem(0)->text(), u"<查找字段>"_s);
    QCOMPARE(d->qxVLE_Find->horizontalHeaderItem(1)->text(), u"<查找内容>"_s);
    // One row per shown column, in column order, with blank contents.
    QCOMPARE(d->qxVLE_Find->Strings(),
             (QStringList{u"项目名称="_s, u"项目编码="_s, u"数量="_s, u"系统项目="_s, u"类别="_s}));
    QCOMPARE(d->FieldMap(), (QStringList{u"项目名称=项目名称"_s, u"项目编码=编码"_s, u"数量=数量"_s,
                                          u"系统项目=系统"_s, u"类别=类别编号"_s}));
    QCOMPARE(d->qxVLE_Find->ItemProp(3).EditStyle, esPickList);
    QCOMPARE(d->qxVLE_Find->ItemProp(3).PickList, (QStringList{u"是"_s, u"否"_s}));
    QCOMPARE(d->qxVLE_Find->ItemProp(4).EditStyle, esEllipsis);
    QCOMPARE(d->qxVLE_Find->ItemProp(0).EditStyle, esSimple);
    QVERIFY(!d->CheckBox_Exact->isChecked() && !d->CheckBox_Case->isChecked());
    QCOMPARE(d->CheckBox_Exact->text(), u"完全匹配"_s);
    QCOMPARE(d->CheckBox_Case->text(), u"区分大小写"_s);
    QCOMPARE(d->Button_Find->text(), u"查找(&F)"_s);
    QVERIFY(d->Button_Find->isDefault());
    QCOMPARE(d->Button_Close->text(), u"关闭(&C)"_s);
    QCOMPARE(d->Button_Clear->text(), u"清除内容(&L)"_s);

    // No table behind the grid: nothing opens.
    f.Items.Close();
    QCOMPARE(ShowRecordFind(f.Grid), nullptr);
    QCOMPARE(ShowRecordFind(nullptr), nullptr);
}

void TestDBDialogs::recordFindBoolean_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("found");
    QTest::newRow("否: the first false row") << u"否"_s << u"乳胶漆"_s;
    QTest::newRow("是: the first true row") << u"是"_s << u"石膏板"_s;
    QTest::newRow("yes in any case") << u"yes"_s << u"石膏板"_s;
    QTest::newRow("a letter of a true word counts as true") << u"t"_s << u"石膏板"_s;
    QTest::newRow("anything else is false") << u"no"_s << u"乳胶漆"_s;
}

void TestDBDialogs::recordFindBoolean()
{
    QFETCH(QString, content);
    QFETCH(QString, found);
    TFindFixture f;
    TForm_RecordFind* d = f.Open();
    for (bool caseSensitive : {false, true}) {
        f.Items.Last();
        d->CheckBox_Case->setChecked(caseSensitive);
        TFindFixture::Fill(d, {{u"系统项目"_s, content}});
        QList<TFindField> criteria;
        QVERIFY(d->Criteria(criteria));
        QCOMPARE(criteria.size(), 1);
        QCOMPARE(criteria.first().FieldName, u"系统"_s);
        QCOMPARE(criteria.first().Value.typeId(), QMetaType::Bool);
        QTest::mouseClick(d->Button_Find, Qt::LeftButton);
        QCOMPARE(f.Current(), found);
    }
    QVERIFY(f.Prompter.Records.empty());
}

void TestDBDialogs::recordFindMatching_data()
{
    QTest::addColumn<QStringList>("contents"); // title, content, title, content...
    QTest::addColumn<bool>("exact");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("found"); // empty: not found
    const auto pairs = [](std::initializer_list<QString> l) { return QStringList(l); };
    QTest::newRow("partial: 12 finds 123") << pairs({u"项目编码"_s, u"12"_s}) << false << false << u"乳胶漆"_s;
    QTest::newRow("exact: 12 finds 12") << pairs({u"项目编码"_s, u"12"_s}) << true << false << u"木地板"_s;
    QTest::newRow("any letter case") << pairs({u"项目编码"_s, u"a1"_s}) << false << false << u"石膏板"_s;
    QTest::newRow("letter case counts") << pairs({u"项目编码"_s, u"a1"_s}) << false << true << QString();
    QTest::newRow("a number by its start") << pairs({u"数量"_s, u"9"_s}) << false << false << u"石膏线"_s;
    QTest::newRow("two criteria: both must match")
        << pairs({u"项目名称"_s, u"石膏"_s, u"数量"_s, u"9"_s}) << false << false << u"石膏线"_s;
    QTest::newRow("two criteria, no row has both")
        << pairs({u"项目名称"_s, u"木"_s, u"项目编码"_s, u"B"_s}) << false << false << QString();
}

void TestDBDialogs::recordFindMatching()
{
    QFETCH(QStringList, contents);
    QFETCH(bool, exact);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, found);
    TFindFixture f;
    TForm_RecordFind* d = f.Open();
    QMap<QString, QString> fill;
    for (qsizetype i = 0; i + 1 < contents.size(); i += 2)
        fill.insert(contents.at(i), contents.at(i + 1));
    TFindFixture::Fill(d, fill);
    d->CheckBox_Exact->setChecked(exact);
    d->CheckBox_Case->setChecked(caseSensitive);
    f.Items.Last();
    QTest::mouseClick(d->Button_Find, Qt::LeftButton);
    if (found.isEmpty()) {
        QCOMPARE(f.Current(), u"石膏线"_s); // not moved
        QCOMPARE(f.Prompter.Records.size(), size_t(1));
        QCOMPARE(f.Prompter.Last().message.Text, u"对不起，没有找到您所需匹配的记录！"_s);
        QCOMPARE(f.Prompter.Last().message.Caption, u"没找到"_s);
        QCOMPARE(f.Prompter.Last().message.Icon, TMsgIcon::Information);
        return;
    }
    QCOMPARE(f.Current(), found);
    QVERIFY(f.Prompter.Records.empty());
    // Every search starts at the first row: again, the same row.
    QTest::mouseClick(d->Button_Find, Qt::LeftButton);
    QCOMPARE(f.Current(), found);
    QCOMPARE(f.Grid->Model()->CurrentRow(), f.Items.RecNo() - 1); // the grid follows
}

void TestDBDialogs::recordFindBlankOrMissing()
{
    TFindFixture f;
    TForm_RecordFind* d = f.Open();
    TFindFixture::Fill(d, {{u"项目名称"_s, u"   "_s}});
    QTest::mouseClick(d->Button_Find, Qt::LeftButton);
    QCOMPARE(f.Current(), u"石膏线"_s);
    QVERIFY(f.Prompter.Records.empty());
    QList<TFindField> criteria;
    d->Criteria(criteria);
    QVERIFY(criteria.isEmpty());
}

void TestDBDialogs::recordFindTypedContent()
{
    TFindFixture f;
    TForm_RecordFind* d = f.Open();
    QVERIFY(QTest::qWaitForWindowActive(d));
    // Typed into the list and not yet confirmed when Find is pressed.
    d->qxVLE_Find->setCurrentCell(0, 1);
    d->qxVLE_Find->editItem(d->qxVLE_Find->item(0, 1));
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor && d->qxVLE_Find->isAncestorOf(editor));
    typeText(editor, u"乳"_s);
    QTest::mouseClick(d->Button_Find, Qt::LeftButton);
    QCOMPARE(d->qxVLE_Find->Value(0), u"乳"_s);
    QCOMPARE(f.Current(), u"乳胶漆"_s);
}

void TestDBDialogs::recordFindLookupColumn()
{
    TFindFixture f;
    TForm_RecordFind* d = f.Open();
    // The name is looked for in the category table; the items are searched by its number.
    TFindFixture::Fill(d, {{u"类别"_s, u"木"_s}});
    QList<TFindField> criteria;
    QVERIFY(d->Criteria(criteria));
    QCOMPARE(criteria.first().FieldName, u"类别编号"_s);
    QCOMPARE(criteria.first().Value.toInt(), 2);
    QTest::mouseClick(d->Button_Find, Qt::LeftButton);
    QCOMPARE(f.Current(), u"乳胶漆"_s);
    QCOMPARE(f.Categories.RecNo(), 6); // the category table did not move

    // A name the category table lacks matches no item, not the items without a category.
    f.Items.Append();
    f.Items.FieldByName(u"项目名称"_s)->SetAsString(u"无类别"_s);
    f.Items.Post();
    f.Items.First();
    TFindFixture::Fill(d, {{u"类别"_s, u"没有这类"_s}});
    QVERIFY(!d->Criteria(criteria));
    QTest::mouseClick(d->Button_Find, Qt::LeftButton);
    QCOMPARE(f.Current(), u"石膏板"_s);
    QCOMPARE(f.Prompter.MessageTexts(), QStringList{u"对不起，没有找到您所需匹配的记录！"_s});
}

void TestDBDialogs::recordFindClearAndClose()
{
    TFindFixture f;
    QPointer<TForm_RecordFind> d = f.Open();
    TFindFixture::Fill(d, {{u"项目名称"_s, u"石"_s}, {u"数量"_s, u"5"_s}});
    QTest::mouseClick(d->Button_Clear, Qt::LeftButton);
    QCOMPARE(d->qxVLE_Find->Strings(),
             (QStringList{u"项目名称="_s, u"项目编码="_s, u"数量="_s, u"系统项目="_s, u"类别="_s}));
    QTest::mouseClick(d->Button_Close, Qt::LeftButton);
    QVERIFY(d.isNull() || !d->isVisible());
    QTRY_VERIFY(d.isNull()); // it frees itself
}

QTEST_MAIN(TestDBDialogs)
#include "tst_dbdialogs.moc"
