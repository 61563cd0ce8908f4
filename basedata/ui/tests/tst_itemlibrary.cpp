// The item library over a copy of the shipped tables: the category tree and
// its dialog, the library window's commands, the item editor, the clipboard
// window and drag and drop between the library and a budget grid (the drop
// handlers are called with real rows: a real drag cannot run offscreen).

#include "BaseDataFixture.h"
#include "KvTestSupport.h"
#include "KavelinFiles.h"
#include "Win_EditItem.h"
#include "Win_EditItemCate.h"
#include "Win_ItemClipboard.h"
#include "Win_ItemTemplate.h"
#include "kvActionTable.h"
#include "kvBudgetDrop.h"
#include "kvTreeView.h"
#include "kvYssDataSet.h"
#include "qxDBCtrls.h"
#include "qxCtrls_LabeledComboBox.h"
#include "qxCtrls_LabeledEdit.h"
#include "qxDragInfo.h"
#include "qxErrors.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace {

const QString kName = u"项目名称"_s;
const QString kKind = u"项目类别"_s;

void typeText(QWidget* widget, const QString& text)
{
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}

// The values a cursor shows, in its order and filter (its own filter handler included).
QStringList shown(TqxDataSet& view, const QString& field)
{
    QStringList values;
    const int f = view.FieldByName(field)->Index();
    for (int r = 0; r < view.RecordCount(); ++r)
        values << view.TextAt(view.BookmarkAt(r), f);
    return values;
}

QStringList library(TqxDataSet& items, const std::function<bool(const QString& kind, const QString& name)>& keep)
{
    QStringList names;
    TqxDataSet walk;
    walk.CloneCursor(items);
    for (walk.First(); !walk.Eof(); walk.Next())
        if (keep(walk.FieldByName(kKind)->AsString(), walk.FieldByName(kName)->AsString()))
            names << walk.FieldByName(kName)->AsString();
    return names;
}

QStringList childNames(QTreeWidgetItem* node)
{
    QStringList names;
    for (int i = 0; node && i < node->childCount(); ++i)
        names << node->child(i)->text(0);
    return names;
}

// Selects the rows of the view at these positions, in this order.
void selectRows(TqxDBGrid* grid, const QList<int>& rows)
{
    TqxDataSet* ds = grid->DataSet();
    for (int r : rows) {
        ds->GotoBookmark(ds->BookmarkAt(r));
        grid->SetCurrentRowSelected(true);
    }
}

int rowsNamed(TqxDataSet& table, const QString& name) { return shown(table, kName).count(name); }

} // namespace

class TestItemLibrary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QVERIFY(F.SetUp());
        Drag = std::make_unique<TqxDragInfo>();
    }
    void cleanup()
    {
        Win.reset();
        Drag.reset();
        F.TearDown();
    }

    void treeLoadsLazily();
    void treeWithoutTable();
    void categoryFilter_data();
    void categoryFilter();
    void latinCaseIgnored();
    void categoryValidation_data();
    void categoryValidation();
    void renameMovesSubCategories_data();
    void renameMovesSubCategories();
    void newCategoryUnderNode();
    void deleteCategory();
    void refreshKeepsTheFilterSound();
    void actionsAndMenus();
    void copyAndPaste();
    void deleteItems();
    void newItemCategory_data();
    void newItemCategory();
    void editorOpensOnSelectedItem();
    void editorNoneCategory();
    void editorCloseQuestion_data();
    void editorCloseQuestion();
    void minimumSize();
    void gridLayoutKept();
    void clipboardWindow();
    void dropBudgetRowsOnLibrary();
    void dropLibraryRowsOnBudget();
    void dragOverAcceptsOnlyTheOtherSide();

private:
    TForm_ItemTemp& Window()
    {
        Win = std::make_unique<TForm_ItemTemp>(*F.Data, *F.Info, *Drag);
        return *Win;
    }
    // Selects the node at this path of captions below the root.
    QTreeWidgetItem* Choose(const QStringList& path)
    {
        QTreeWidgetItem* node = Win->kvTreeView1->FindPath(path);
        if (node)
            Win->kvTreeView1->setCurrentItem(node);
        return node;
    }
    QAction* Action(const QString& name) { return ActionOf(Win.get(), name); }

    TBaseDataFixture F;
    std::unique_ptr<TqxDragInfo> Drag;
    std::unique_ptr<TForm_ItemTemp> Win;
};

void TestItemLibrary::treeLoadsLazily()
{
    TqxDataSource source(&F.Data->CDS_SYSItemCate);
    TkvTreeView tree;
    tree.SetDataSource(&source);
    tree.SetRootName(u"项目类别树"_s);
    int childrenAtFilter = -1;
    tree.OnTreeFilter = [&](TkvTreeView*, QTreeWidgetItem* node, TItemCate* cate) {
        childrenAtFilter = node->childCount();
        QCOMPARE(cate, TkvTreeView::CateOf(node));
    };
    tree.LoadTree();
    QTreeWidgetItem* root = tree.topLevelItem(0);
    QCOMPARE(root->text(0), u"项目类别树"_s);
    QVERIFY(TkvTreeView::CateOf(root)->IsRoot);
    // The places hang under 施工地点, which no root reaches.
    QCOMPARE(childNames(root), (QStringList{u"项目类别"_s, u"关键词"_s, u"其它"_s}));
    QTreeWidgetItem* trades = root->child(0);
    QCOMPARE(trades->childCount(), 0);
    QCOMPARE(trades->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    QVERIFY(root->child(2)->childIndicatorPolicy() != QTreeWidgetItem::ShowIndicator);

    tree.setCurrentItem(trades);
    QCOMPARE(childrenAtFilter, 13);
    QCOMPARE(tree.SelectedCategory()->Name, u"项目类别"_s);
    QTreeWidgetItem* material = trades->child(0);
    QCOMPARE(material->text(0), u"材料"_s);
    tree.setCurrentItem(material);
    QCOMPARE(childNames(material), (QStringList{u"砖"_s, u"板"_s, u"缸"_s}));
    QCOMPARE(TkvTreeView::CateOf(material->child(0))->Parent, u"材料"_s);

    // Loading the tree again keeps the root and drops what was loaded below it.
    tree.LoadTree();
    QCOMPARE(tree.topLevelItemCount(), 1);
    QCOMPARE(tree.topLevelItem(0)->child(0)->childCount(), 0);
}

void TestItemLibrary::treeWithoutTable()
{
    TkvTreeView tree;
    try {
        tree.LoadTree();
        QFAIL("no error");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"类别树没有连接类别数据表！"_s);
    }
    try {
        tree.AddCategoryNode(nullptr, TItemCate());
        QFAIL("no error");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"类别数没有连接类别数据表！"_s);
    }
}

void TestItemLibrary::categoryFilter_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<int>("which");
    // which: 0 all, 1 材料, 2 材料 with 砖 in the name, 3 nothing, 4 吊顶 trades, 5 安装 in the name
    QTest::newRow("root") << QStringList() << 0;
    QTest::newRow("项目类别 tests no field") << QStringList{u"项目类别"_s} << 0;
    QTest::newRow("材料 equals") << QStringList{u"项目类别"_s, u"材料"_s} << 1;
    QTest::newRow("砖 below 材料") << QStringList{u"项目类别"_s, u"材料"_s, u"砖"_s} << 2;
    QTest::newRow("其它: equal to an empty value") << QStringList{u"其它"_s} << 3;
    QTest::newRow("吊顶工程 contains") << QStringList{u"项目类别"_s, u"吊顶工程"_s} << 4;
    QTest::newRow("安装 under a mode-0 parent") << QStringList{u"关键词"_s, u"安装"_s} << 5;
}

void TestItemLibrary::categoryFilter()
{
    QFETCH(QStringList, path);
    QFETCH(int, which);
    Window();
    if (!path.isEmpty())
        QVERIFY(Choose(path));
    else
        Win->kvTreeView1->setCurrentItem(Win->kvTreeView1->topLevelItem(0));
    const QStringList expected = library(F.Data->CDS_SYSItems, [&](const QString& kind, const QString& name) {
        switch (which) {
        case 0: return true;
        case 1: return kind == u"材料"_s;
        case 2: return kind == u"材料"_s && name.contains(u'砖');
        case 3: return false;
        case 4: return kind.contains(u"吊顶工程"_s);
        default: return name.contains(u"安装"_s);
        }
    });
    if (which != 3)
        QVERIFY(!expected.isEmpty());
    QCOMPARE(shown(Win->CDS_SYSItems, kName), expected);
    // The view is a cursor of its own: the library is not narrowed.
    QVERIFY(F.Data->CDS_SYSItems.RecordCount() >= Win->CDS_SYSItems.RecordCount());
    QVERIFY(!F.Data->CDS_SYSItems.Filtered());
}

void TestItemLibrary::latinCaseIgnored()
{
    TqxDataSet& items = F.Data->CDS_SYSItems;
    items.Append();
    items.FieldByName(kKind)->SetAsString(u"材料"_s);
    items.FieldByName(kName)->SetAsString(u"XQZ扣板"_s);
    items.Post();
    TqxDataSet& cates = F.Data->CDS_SYSItemCate;
    cates.AppendRecord({u"材料"_s, u"塑料"_s, kName, false, u"sl"_s, u"xqz"_s, 2});
    cates.AppendRecord({u"材料"_s, u"全角"_s, kName, false, u"qj"_s, u"ｘｑｚ"_s, 2});
    Window();
    QVERIFY(Choose({u"项目类别"_s, u"材料"_s, u"塑料"_s}));
    QCOMPARE(shown(Win->CDS_SYSItems, kName), QStringList{u"XQZ扣板"_s});
    // Only a to z fold: wide letters compare as they are.
    QVERIFY(Choose({u"项目类别"_s, u"材料"_s, u"全角"_s}));
    QCOMPARE(shown(Win->CDS_SYSItems, kName), QStringList());
}

void TestItemLibrary::categoryValidation_data()
{
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("focus");
    QTest::newRow("empty name") << true << QString() << kName << 2 << u"分类名称不能为空，请重新输入！"_s
                                << u"重新输入"_s << u"Edit_Name"_s;
    QTest::newRow("empty name before empty field") << true << u" "_s << QString() << 2
                                                   << u"分类名称不能为空，请重新输入！"_s << u"重新输入"_s
                                                   << u"Edit_Name"_s;
    QTest::newRow("no field with mode 2") << true << u"瓷砖"_s << QString() << 2 << u"分类内容不能为空！"_s
                                          << u"为空"_s << u"ComboBox_Field"_s;
    QTest::newRow("no field with mode 0") << true << u"瓷砖"_s << QString() << 0 << QString() << QString()
                                          << QString();
    QTest::newRow("named like a place") << true << u"厨房"_s << kName << 2 << u"类别已存在，请重新输入类别名称！"_s
                                        << u"重复类别"_s << u"Edit_Name"_s;
    QTest::newRow("named like a category") << true << u"砖"_s << kName << 2
                                           << u"类别已存在，请重新输入类别名称！"_s << u"重复类别"_s
                                           << u"Edit_Name"_s;
    QTest::newRow("modify keeps its name") << false << u"砖"_s << kName << 2 << QString() << QString() << QString();
    QTest::newRow("modify to a place name") << false << u"厨房"_s << kName << 2 << QString() << QString()
                                            << QString();
}

void TestItemLibrary::categoryValidation()
{
    QFETCH(bool, isNew);
    QFETCH(QString, name);
    QFETCH(QString, field);
    QFETCH(int, mode);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    QFETCH(QString, focus);
    TqxDataSet& cates = F.Data->CDS_SYSItemCate;
    const int before = cates.RecordCount();
    TForm_EditItemCate dialog(cates);
    QCOMPARE(dialog.windowTitle(), u"项目分类定义"_s);
    if (isNew) {
        dialog.BeginNew(u"材料"_s);
        QVERIFY(dialog.RadioButton_Mode[2]->isChecked());
        QCOMPARE(dialog.Label_Parent->text(), u"材料"_s);
    } else {
        QVERIFY(dialog.BeginModify(u"材料"_s, u"砖"_s));
    }
    dialog.Edit_Name->setText(name);
    dialog.ComboBox_Field->setEditText(field);
    dialog.RadioButton_Mode[mode]->setChecked(true);
    dialog.OKClick();
    if (message.isEmpty()) {
        QVERIFY(F.Prompter->Records.empty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        dialog.Finish(true);
        QCOMPARE(cates.RecordCount(), before + (isNew ? 1 : 0));
        QVERIFY(cates.Locate(u"父类别;类别名称"_s, QVariantList{u"材料"_s, name}));
        QCOMPARE(cates.FieldByName(u"过滤模式"_s)->AsInteger(), mode);
    } else {
        QCOMPARE(F.Prompter->MessageTexts(), QStringList{message});
        QCOMPARE(F.Prompter->Last().message.Caption, caption);
        QCOMPARE(F.Prompter->Last().message.Icon, TMsgIcon::Information);
        QCOMPARE(dialog.focusWidget()->objectName(), focus);
        QCOMPARE(dialog.result(), 0);
        QVERIFY(cates.State() != TqxDataSetState::Browse); // still open for correction
        dialog.Finish(false);
        QCOMPARE(cates.RecordCount(), before);
    }
}

void TestItemLibrary::renameMovesSubCategories_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("childrenParent");
    QTest::newRow("renamed") << u"建材"_s << u"建材"_s;
    QTest::newRow("only the filter changed") << u"材料"_s << u"材料"_s;
}

void TestItemLibrary::renameMovesSubCategories()
{
    QFETCH(QString, newName);
    QFETCH(QString, childrenParent);
    TqxDataSet& cates = F.Data->CDS_SYSItemCate;
    Window();
    QTreeWidgetItem* material = Choose({u"项目类别"_s, u"材料"_s});
    QVERIFY(material);
    bool modifyMode = false;
    Win->RunDialog = [&](QDialog& d) {
        auto& dialog = static_cast<TForm_EditItemCate&>(d);
        modifyMode = !dialog.IsNew();
        dialog.Edit_Name->setText(newName);
        dialog.Edit_Value->setText(u"主材"_s);
        dialog.OKClick();
        return dialog.result();
    };
    Win->ModifyCategory();
    QVERIFY(modifyMode);
    const QStringList subs{u"砖"_s, u"板"_s, u"缸"_s};
    for (const QString& sub : subs) {
        QVERIFY(cates.Locate(u"类别名称"_s, sub));
        QCOMPARE(cates.FieldByName(u"父类别"_s)->AsString(), childrenParent);
    }
    QVERIFY(cates.Locate(u"类别名称"_s, newName));
    QCOMPARE(cates.FieldByName(u"过滤内容"_s)->AsString(), u"主材"_s);
    // The parent node was read again and shows the category under its new name with its children.
    QTreeWidgetItem* renamed = Win->kvTreeView1->FindPath({u"项目类别"_s, newName});
    QVERIFY(renamed);
    Win->kvTreeView1->setCurrentItem(renamed);
    QCOMPARE(childNames(renamed), subs);
}

void TestItemLibrary::newCategoryUnderNode()
{
    Window();
    QTreeWidgetItem* material = Choose({u"项目类别"_s, u"材料"_s});
    material->setExpanded(false);
    QString parentShown;
    Win->RunDialog = [&](QDialog& d) {
        auto& dialog = static_cast<TForm_EditItemCate&>(d);
        parentShown = dialog.Label_Parent->text();
        dialog.Edit_Name->setText(u"瓷砖"_s);
        dialog.ComboBox_Field->setEditText(kName);
        dialog.Edit_Value->setText(u"瓷"_s);
        dialog.OKClick();
        return dialog.result();
    };
    Win->NewCategory();
    QCOMPARE(parentShown, u"材料"_s);
    QCOMPARE(childNames(material), (QStringList{u"砖"_s, u"板"_s, u"缸"_s, u"瓷砖"_s}));
    QVERIFY(!material->isExpanded());
    // Cancelled: no row is left behind.
    const int rows = F.Data->CDS_SYSItemCate.RecordCount();
    Win->RunDialog = [](QDialog&) { return int(QDialog::Rejected); };
    Win->NewCategory();
    QCOMPARE(F.Data->CDS_SYSItemCate.RecordCount(), rows);
    QCOMPARE(F.Data->CDS_SYSItemCate.State(), TqxDataSetState::Browse);
}

void TestItemLibrary::deleteCategory()
{
    TqxDataSet& cates = F.Data->CDS_SYSItemCate;
    const int rows = cates.RecordCount();
    Window();
    QTreeWidgetItem* material = Choose({u"项目类别"_s, u"材料"_s});
    QVERIFY(Action(u"Action_DeleteCate"_s)->isEnabled());
    Win->DeleteCategory();
    QCOMPARE(F.Prompter->MessageTexts(), QStringList{u"请先删除子类别！"_s});
    QCOMPARE(cates.RecordCount(), rows);
    QCOMPARE(material->childCount(), 3);

    Choose({u"项目类别"_s, u"材料"_s, u"砖"_s});
    Win->DeleteCategory();
    QCOMPARE(cates.RecordCount(), rows - 1);
    QVERIFY(!cates.Locate(u"类别名称"_s, u"砖"_s));
    QCOMPARE(childNames(material), (QStringList{u"板"_s, u"缸"_s}));
}

void TestItemLibrary::refreshKeepsTheFilterSound()
{
    Window();
    Choose({u"项目类别"_s, u"材料"_s, u"砖"_s});
    const QStringList bricks = shown(Win->CDS_SYSItems, kName);
    // Reading the tree again frees the nodes; an item posted afterwards is
    // still judged by a filter that stands.
    Win->RefreshTree();
    TqxDataSet& items = F.Data->CDS_SYSItems;
    items.Append();
    items.FieldByName(kKind)->SetAsString(u"材料"_s);
    items.FieldByName(kName)->SetAsString(u"新地砖"_s);
    items.Post();
    QVERIFY(shown(Win->CDS_SYSItems, kName).size() >= bricks.size());
    Choose({u"项目类别"_s, u"材料"_s, u"砖"_s});
    QCOMPARE(shown(Win->CDS_SYSItems, kName), bricks + QStringList{u"新地砖"_s});
}

void TestItemLibrary::actionsAndMenus()
{
    Window();
    QCOMPARE(Win->windowTitle(), u"项目库"_s);
    QVERIFY(Win->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(Win->TabSet1->count(), 1);
    QCOMPARE(Win->TabSet1->tabText(0), u"系统项目库"_s);
    QCOMPARE(Win->kvTreeView1->topLevelItem(0)->text(0), u"项目类别树"_s);
    // Nothing chosen yet: the category commands that need a node are off.
    QVERIFY(!Action(u"Action_ModifyCate"_s)->isEnabled());
    QVERIFY(!Action(u"Action_DeleteCate"_s)->isEnabled());
    QVERIFY(!Action(u"Action_PasteItem"_s)->isEnabled());
    QCOMPARE(Action(u"Action_NewCate"_s)->text(), u"新建分类(&N)..."_s);
    QCOMPARE(Action(u"Action_NewCate"_s)->toolTip(), u"新建分类"_s);
    QCOMPARE(Action(u"Action_Find"_s)->text(), u"查找项目..."_s);

    Win->kvTreeView1->setCurrentItem(Win->kvTreeView1->topLevelItem(0));
    QVERIFY(!Action(u"Action_ModifyCate"_s)->isEnabled());
    QVERIFY(!Action(u"Action_DeleteCate"_s)->isEnabled());
    Choose({u"项目类别"_s}); // a system category
    QVERIFY(Action(u"Action_ModifyCate"_s)->isEnabled());
    QVERIFY(!Action(u"Action_DeleteCate"_s)->isEnabled());
    Choose({u"项目类别"_s, u"材料"_s});
    QVERIFY(Action(u"Action_DeleteCate"_s)->isEnabled());

    auto menuTexts = [](QMenu* menu) {
        QStringList t;
        for (QAction* a : menu->actions())
            t << (a->isSeparator() ? u"-"_s : a->objectName());
        return t;
    };
    QCOMPARE(menuTexts(Win->PopupMenu_Tree),
             (QStringList{u"Action_Expand"_s, u"Action_InExpand"_s, u"-"_s, u"Action_NewCate"_s,
                          u"Action_ModifyCate"_s, u"Action_DeleteCate"_s}));
    QCOMPARE(menuTexts(Win->PopupMenu_Grid),
             (QStringList{u"Action_CopyItem"_s, u"Action_PasteItem"_s, u"-"_s, u"Action_NewItem"_s,
                          u"Action_ModifyItem"_s, u"Action_DeleteItem"_s, u"-"_s, u"Action_Find"_s}));

    // Refresh reads the tree again.
    Win->RefreshTree();
    QCOMPARE(Win->kvTreeView1->topLevelItem(0)->child(0)->childCount(), 0);
}

void TestItemLibrary::copyAndPaste()
{
    Window();
    Choose({u"项目类别"_s, u"材料"_s, u"砖"_s});
    Win->CopyItems();
    QCOMPARE(F.Prompter->MessageTexts(), QStringList{u"请您先选择项目行，然后在做复制！"_s});
    QCOMPARE(F.Prompter->Last().message.Caption, u"提示"_s);
    QCOMPARE(F.Data->ClipboardCount(), 0);
    F.Prompter->Reset();

    const QStringList bricks = shown(Win->CDS_SYSItems, kName);
    QVERIFY(bricks.size() >= 3);
    selectRows(Win->qxDBGrid1, {2, 0, 1});
    Win->CopyItems();
    QCOMPARE(F.Data->ClipboardCount(), 3);
    QCOMPARE(shown(F.Data->CDS_TempItems, kName), (QStringList{bricks[2], bricks[0], bricks[1]}));
    QVERIFY(!Action(u"Action_PasteItem"_s)->isEnabled()); // until the module tells the count
    Win->SetClipboardCount(F.Data->ClipboardCount());
    QVERIFY(Action(u"Action_PasteItem"_s)->isEnabled());

    const int libraryRows = F.Data->CDS_SYSItems.RecordCount();
    Action(u"Action_PasteItem"_s)->trigger();
    QCOMPARE(F.Prompter->MessageTexts(), QStringList{u"成功粘贴了 3 条项目到项目库！"_s});
    QCOMPARE(F.Prompter->Last().message.Icon, TMsgIcon::Information);
    QCOMPARE(F.Data->CDS_SYSItems.RecordCount(), libraryRows + 3);
    QCOMPARE(rowsNamed(Win->CDS_SYSItems, bricks[0]), 2);
    // Written to the library file at once.
    QCOMPARE(F.Reread()->CDS_SYSItems.RecordCount(), libraryRows + 3);

    Win->SetClipboardCount(0);
    QVERIFY(!Action(u"Action_PasteItem"_s)->isEnabled());
}

void TestItemLibrary::deleteItems()
{
    Window();
    Choose({u"项目类别"_s, u"材料"_s, u"砖"_s});
    const int libraryRows = F.Data->CDS_SYSItems.RecordCount();
    Win->DeleteItems();
    QCOMPARE(F.Prompter->MessageTexts(), QStringList{u"请先选择项目，然后再做删除！"_s});
    QCOMPARE(F.Data->CDS_SYSItems.RecordCount(), libraryRows);

    const QStringList bricks = shown(Win->CDS_SYSItems, kName);
    selectRows(Win->qxDBGrid1, {0, 2});
    // A selected row deleted elsewhere in the meantime is passed over.
    F.Data->CDS_SYSItems.Locate(kName, bricks[2]);
    F.Data->CDS_SYSItems.Delete();
    F.Prompter->Reset();
    Win->DeleteItems();
    QVERIFY(F.Prompter->Records.empty());
    QCOMPARE(F.Data->CDS_SYSItems.RecordCount(), libraryRows - 2);
    QVERIFY(Win->qxDBGrid1->SelectedRows().IsEmpty());
    QCOMPARE(shown(Win->CDS_SYSItems, kName), bricks.mid(1, 1) + bricks.mid(3));
    QCOMPARE(F.Reread()->CDS_SYSItems.RecordCount(), libraryRows - 2);
}

void TestItemLibrary::newItemCategory_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("category");
    QTest::newRow("材料") << QStringList{u"项目类别"_s, u"材料"_s} << u"材料"_s;
    QTest::newRow("砖 below 材料") << QStringList{u"项目类别"_s, u"材料"_s, u"砖"_s} << QString();
    QTest::newRow("a keyword") << QStringList{u"关键词"_s, u"安装"_s} << QString();
}

void TestItemLibrary::newItemCategory()
{
    QFETCH(QStringList, path);
    QFETCH(QString, category);
    Window();
    QVERIFY(Choose(path));
    QCOMPARE(Win->DefaultCategory(), category);
    TqxDataSet& items = F.Data->CDS_SYSItems;
    const int rows = items.RecordCount();
    bool ran = false;
    Win->RunDialog = [&](QDialog& d) {
        ran = true;
        auto& editor = static_cast<TForm_EditItem&>(d);
        [&] {
            QCOMPARE(editor.windowTitle(), u"项目的维护"_s);
            QCOMPARE(items.State(), TqxDataSetState::Insert);
            QCOMPARE(items.FieldByName(kKind)->AsString(), category);
            QCOMPARE(editor.focusWidget(), static_cast<QWidget*>(editor.ComboBox_Category));
            // Another new item from inside the open editor.
            editor.show();
            QVERIFY(QTest::qWaitForWindowExposed(&editor));
            typeText(editor.Edit_Name, u"新瓷砖"_s);
            editor.NewClick();
            QCOMPARE(items.State(), TqxDataSetState::Insert);
            QCOMPARE(items.FieldByName(kKind)->AsString(), category);
            QCOMPARE(editor.focusWidget(),
                     category.isEmpty() ? static_cast<QWidget*>(editor.ComboBox_Category) : editor.Edit_Name);
            typeText(editor.Edit_Name, u"新瓷砖二"_s);
            F.Prompter->AnswerButton(mbYes);
            editor.reject();
        }();
        return editor.result();
    };
    Win->NewItem();
    QVERIFY(ran);
    QCOMPARE(F.Prompter->MessageTexts(), QStringList{u"项目库已被修改，是否保存？"_s});
    QCOMPARE(items.RecordCount(), rows + 2);
    QCOMPARE(F.Reread()->CDS_SYSItems.RecordCount(), rows + 2);
    // New items show in the window when they pass its category.
    QCOMPARE(rowsNamed(Win->CDS_SYSItems, u"新瓷砖"_s), category.isEmpty() ? 0 : 1);
}

void TestItemLibrary::editorOpensOnSelectedItem()
{
    Window();
    Choose({u"项目类别"_s, u"材料"_s});
    F.Data->CDS_SYSItems.First();
    const QStringList materials = shown(Win->CDS_SYSItems, kName);
    Win->CDS_SYSItems.GotoBookmark(Win->CDS_SYSItems.BookmarkAt(4));
    QString opened;
    Win->RunDialog = [&](QDialog& d) {
        auto& editor = static_cast<TForm_EditItem&>(d);
        opened = editor.Edit_Name->text();
        return 0;
    };
    Win->ModifyItem();
    QCOMPARE(opened, materials[4]);
}

void TestItemLibrary::editorNoneCategory()
{
    TqxDataSet& items = F.Data->CDS_SYSItems;
    items.First();
    TForm_EditItem editor(*F.Data);
    QCOMPARE(editor.ComboBox_Category->itemText(0), u"<无>"_s);
    QCOMPARE(editor.ComboBox_Category->currentText(), items.FieldByName(kKind)->AsString());
    QCOMPARE(editor.ComboBox_Category->maxVisibleItems(), 20);
    editor.ComboBox_Category->setCurrentIndex(0);
    Q_EMIT editor.ComboBox_Category->textActivated(u"<无>"_s);
    QCOMPARE(items.State(), TqxDataSetState::Edit);
    QCOMPARE(items.FieldByName(kKind)->AsString(), QString());
    items.Post();
    editor.ShowRow();
    QCOMPARE(editor.ComboBox_Category->currentText(), u"<无>"_s);
    // Leaving the field on "<无>": new items start without a category.
    editor.SetDefaultCategory(u"材料"_s);
    QEvent out(QEvent::FocusOut);
    QApplication::sendEvent(editor.ComboBox_Category, &out);
    QCOMPARE(editor.DefaultCategory(), QString());
}

void TestItemLibrary::editorCloseQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("no discards") << int(mbNo);
    QTest::newRow("cancel keeps the editor") << int(mbCancel);
    QTest::newRow("yes saves") << int(mbYes);
}

void TestItemLibrary::editorCloseQuestion()
{
    QFETCH(int, answer);
    TqxDataSet& items = F.Data->CDS_SYSItems;
    const int rows = items.RecordCount();
    items.First();
    const QString firstName = items.FieldByName(kName)->AsString();
    TForm_EditItem editor(*F.Data);
    QCOMPARE(editor.Edit_Name->text(), firstName);
    // A changed item, an item appended and posted, one more being typed.
    typeText(editor.Edit_Name, u"改"_s);
    editor.NextClick();
    editor.NewClick();
    typeText(editor.Edit_Name, u"新增一"_s);
    editor.NewClick();
    typeText(editor.Edit_Name, u"新增二"_s);
    F.Prompter->AnswerButton(answer);
    editor.reject();
    const TMessageRequest& ask = F.Prompter->Last().message;
    QCOMPARE(ask.Text, u"项目库已被修改，是否保存？"_s);
    QCOMPARE(ask.Buttons, mbYes | mbNo | mbCancel);
    QCOMPARE(ask.Icon, TMsgIcon::Question);
    if (answer == mbCancel) {
        QCOMPARE(editor.result(), 0);
        QCOMPARE(items.State(), TqxDataSetState::Insert);
        return;
    }
    QCOMPARE(items.State(), TqxDataSetState::Browse);
    QCOMPARE(items.ChangeCount(), 0);
    const bool kept = answer == mbYes;
    QCOMPARE(items.RecordCount(), rows + (kept ? 2 : 0));
    QCOMPARE(rowsNamed(items, firstName), kept ? 0 : 1);
    QCOMPARE(rowsNamed(items, u"新增一"_s), kept ? 1 : 0);
    QCOMPARE(F.Reread()->CDS_SYSItems.RecordCount(), rows + (kept ? 2 : 0));
}

void TestItemLibrary::minimumSize()
{
    Window();
    Win->show();
    QVERIFY(QTest::qWaitForWindowExposed(Win.get()));
    Win->resize(200, 120);
    QCOMPARE(Win->size(), QSize(350, 200));
    Win->resize(600, 150);
    QCOMPARE(Win->size(), QSize(600, 200));
}

void TestItemLibrary::gridLayoutKept()
{
    Window();
    const QString file = Win->GridLayoutFile();
    QVERIFY(!file.isEmpty());
    QVERIFY(!QFile::exists(file));
    Win->qxDBGrid1->FindColumn(u"备注"_s)->SetWidth(211);
    Win->qxDBGrid1->FindColumn(u"单位"_s)->SetVisible(false);
    Win->show();
    Win->close();
    QVERIFY(QFile::exists(file));
    Window();
    QCOMPARE(Win->qxDBGrid1->FindColumn(u"备注"_s)->Width(), 211);
    QVERIFY(!Win->qxDBGrid1->FindColumn(u"单位"_s)->Visible());
    QCOMPARE(Win->qxDBGrid1->FindColumn(kName)->Width(), 119);
    // A damaged file costs only the widths.
    QVERIFY(KvTest::WriteBytes(file, "项目名称=x\r\n"_ba));
    Window();
    QCOMPARE(Win->qxDBGrid1->FindColumn(u"备注"_s)->Width(), 143);
}

void TestItemLibrary::clipboardWindow()
{
    TForm_ItemClipboard clip(*F.Data);
    QCOMPARE(clip.windowTitle(), u"项目剪贴板"_s);
    QVERIFY(clip.windowFlags() & Qt::WindowStaysOnTopHint);
    QStringList columns;
    for (int i = 0; i < clip.qxDBGrid_Clip->ColumnCount(); ++i)
        columns << clip.qxDBGrid_Clip->Columns(i)->FieldName();
    QCOMPARE(columns, (QStringList{u"施工地点"_s, kKind, kName, u"单位"_s, u"单价"_s, u"备注"_s}));
    QVERIFY(clip.qxDBGrid_Clip->ReadOnly());
    TqxDataSet view;
    view.CloneCursor(F.Data->CDS_SYSItems);
    QList<TqxBookmark> rows;
    for (int i = 0; i < 3; ++i) {
        rows << view.GetBookmark();
        view.Next();
    }
    F.Data->CopyToClipboard(rows, &view);
    QCOMPARE(clip.qxDBGrid_Clip->Model()->rowCount(), 3);
    F.Data->CDS_TempItems.First();
    clip.ToolButton_Delete->click();
    QCOMPARE(F.Data->ClipboardCount(), 2);
    clip.ToolButton_Clear->click();
    QCOMPARE(F.Data->ClipboardCount(), 0);
    QCOMPARE(clip.qxDBGrid_Clip->Model()->rowCount(), 0);
}

namespace {

// The shipped sample budget in a grid of its own, as a project window shows it.
struct TBudgetHost {
    TkvYssDataSet Budget;
    TqxDataSource Source{&Budget};
    TqxDBGrid Grid;

    explicit TBudgetHost(const QString& view)
    {
        TKVFile sample;
        const QString stage = qEnvironmentVariable("KV_PRISTINE_STAGE_DIR");
        if (sample.LoadFromFile(stage + u"/工程/预算示例.KVP"_s))
            Budget.LoadBudget(sample.SectionData(u"预算书"_s).value_or(QByteArray()));
        Budget.SetGroupField(view);
        Grid.setObjectName(u"qxDBGrid_Yss"_s);
        Grid.SetDataSource(&Source);
        for (const QString& f : {u"序号"_s, u"施工地点"_s, kKind, kName, u"单位"_s, u"单价"_s, u"数量"_s,
                                 u"金额"_s, u"备注"_s})
            Grid.AddColumn(f);
        Grid.resize(800, 400);
    }
    // Item rows of the budget, by name.
    QStringList Items()
    {
        QStringList names;
        TqxDataSet walk;
        walk.CloneCursor(Budget, true);
        for (walk.First(); !walk.Eof(); walk.Next())
            if (walk.FieldByName(u"行类型"_s)->AsInteger() == rtItem)
                names << walk.FieldByName(kName)->AsString();
        return names;
    }
};

} // namespace

void TestItemLibrary::dropBudgetRowsOnLibrary()
{
    TBudgetHost host(kKind);
    QVERIFY(!host.Budget.IsEmpty());
    Window();
    Choose({u"项目类别"_s, u"材料"_s});
    const QStringList materials = shown(Win->CDS_SYSItems, kName);
    // One budget row named like a shown material, one new name, one named
    // like an item of another category (not shown here).
    TqxDataSet& b = host.Budget;
    const QString elsewhere = library(F.Data->CDS_SYSItems, [](const QString& kind, const QString&) {
                                  return kind == u"吊顶工程"_s;
                              }).value(0);
    QVERIFY(!elsewhere.isEmpty());
    const QStringList names{materials[0], u"特制防水砂浆"_s, elsewhere};
    b.First();
    int row = 0;
    for (b.First(); !b.Eof() && row < names.size(); b.Next()) {
        if (b.FieldByName(u"行类型"_s)->AsInteger() != rtItem)
            continue;
        b.Edit();
        b.FieldByName(kName)->SetAsString(names[row++]);
        b.Post();
        host.Grid.SetCurrentRowSelected(true);
    }
    QCOMPARE(row, 3);
    const int libraryRows = F.Data->CDS_SYSItems.RecordCount();
    Drag->BeginDrag(TqxDragInfo::skBudgetGrid, &host.Grid, true);
    QVERIFY(Win->DropBudgetRows(&host.Grid));
    QCOMPARE(Drag->State, TqxDragInfo::dsDropped);
    QCOMPARE(F.Data->CDS_SYSItems.RecordCount(), libraryRows + 2);
    QCOMPARE(rowsNamed(F.Data->CDS_SYSItems, materials[0]), 1);
    QCOMPARE(rowsNamed(F.Data->CDS_SYSItems, u"特制防水砂浆"_s), 1);
    QCOMPARE(rowsNamed(F.Data->CDS_SYSItems, elsewhere), 2);
    QCOMPARE(F.Reread()->CDS_SYSItems.RecordCount(), libraryRows + 2);
    // Dropped again: every name is there now.
    QVERIFY(!Win->DropBudgetRows(&host.Grid));
    QCOMPARE(F.Data->CDS_SYSItems.RecordCount(), libraryRows + 2);
}

void TestItemLibrary::dropLibraryRowsOnBudget()
{
    TBudgetHost host(kKind);
    TkvBudgetDrop drop(host.Grid, host.Budget, *Drag);
    Window();
    Choose({u"项目类别"_s, u"材料"_s, u"砖"_s});
    const QStringList bricks = shown(Win->CDS_SYSItems, kName);
    QVERIFY(bricks.size() >= 2);
    selectRows(Win->qxDBGrid1, {1, 0});
    // The current budget row: the first item of the first group.
    TkvYssDataSet& b = host.Budget;
    for (b.First(); b.FieldByName(u"行类型"_s)->AsInteger() != rtItem; b.Next()) {
    }
    const QString group = b.CurrentGroup()->GroupName();
    const QString before = b.FieldByName(kName)->AsString();
    const QStringList items = host.Items();
    Drag->BeginDrag(TqxDragInfo::skItemLibrary, Win->qxDBGrid1, true);
    QVERIFY(drop.DropRows(Win->qxDBGrid1));
    QCOMPARE(Drag->State, TqxDragInfo::dsDropped);
    QCOMPARE(host.Items().size(), items.size() + 2);
    // Each row goes before the current one, so the last dropped stands first.
    const qsizetype at = host.Items().indexOf(bricks[0]);
    QCOMPARE(host.Items().mid(at, 3), (QStringList{bricks[0], bricks[1], before}));
    QVERIFY(b.Locate(kName, bricks[1]));
    QCOMPARE(b.FieldByName(kKind)->AsString(), group);
    QCOMPARE(b.CurrentGroup()->GroupName(), group);
    QCOMPARE(host.Grid.SelectedColumn()->FieldName(), u"数量"_s);

    // A source that is not a grid, or no selection: nothing.
    QVERIFY(!drop.DropRows(this));
    QVERIFY(!drop.DropRows(&host.Grid));
    Win->qxDBGrid1->ClearSelectedRows();
    QVERIFY(!drop.DropRows(Win->qxDBGrid1));
    QCOMPARE(host.Items().size(), items.size() + 2);
}

void TestItemLibrary::dragOverAcceptsOnlyTheOtherSide()
{
    TBudgetHost host(kKind);
    TkvBudgetDrop drop(host.Grid, host.Budget, *Drag);
    host.Grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host.Grid));
    const QRect cell = host.Grid.visualRect(host.Grid.Model()->index(3, 3));
    const QPoint at = cell.center() + host.Grid.viewport()->geometry().topLeft();
    Drag->BeginDrag(TqxDragInfo::skBudgetGrid, &host.Grid, true);
    QVERIFY(!drop.DragOver(at.x(), at.y()));
    Drag->BeginDrag(TqxDragInfo::skItemLibrary, this, true);
    QVERIFY(!drop.DragOver(2, 2)); // the title row's corner
    QVERIFY(drop.DragOver(at.x(), at.y()));
    QCOMPARE(Drag->State, TqxDragInfo::dsOver);
    QCOMPARE(host.Budget.RecNo(), 4);

    Window();
    bool accept = true;
    Win->qxDBGrid1->OnDragOver(Win->qxDBGrid1, this, 40, 40, dsDragMove, accept);
    QVERIFY(!accept);
    Drag->BeginDrag(TqxDragInfo::skBudgetGrid, &host.Grid, true);
    accept = true;
    Win->qxDBGrid1->OnDragOver(Win->qxDBGrid1, this, 40, 40, dsDragMove, accept);
    QVERIFY(accept);
    Drag->EndDrag();
    QCOMPARE(Drag->State, TqxDragInfo::dsEnded);
    QVERIFY(!Drag->Dragging);
}

QTEST_MAIN(TestItemLibrary)
#include "tst_itemlibrary.moc"
