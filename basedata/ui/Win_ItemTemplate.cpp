#include "Win_ItemTemplate.h"

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_EditItem.h"
#include "Win_RecordFind.h"
#include "kvActionTable.h"
#include "kvProject.h"
#include "kvTreeView.h"
#include "qxDBCtrls.h"
#include "qxNotices.h"
#include "qxDragInfo.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxPrompter.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSplitter>
#include <QTabBar>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

const QString fName = u"项目名称"_s;
const QString kTradeParent = u"项目类别"_s;
const QString kDropFields = u"项目类别;项目名称;单价;单位;备注"_s;


} // namespace

const QString TForm_ItemTemp::LayoutKey = u"模板网格"_s;

TForm_ItemTemp::TForm_ItemTemp(TDataModule_Data& data, const TAppGlobalInfo& info, TqxDragInfo& drag, QWidget* parent)
    : TForm_KavelinDialog(parent), FData(data), FInfo(info), FDrag(drag)
{
    setObjectName(u"TForm_ItemTemp"_s);
    setWindowTitle(u"项目库"_s);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    qxHeadPanel1->SetDescription(u"分类项目库，以便能更好的使用项目..."_s);
    setMinimumSize(MinWidth, MinHeight);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    const QList<QAction*> actions = CreateActions(this, {
        {u"Action_NewCate"_s, u"新建分类(&N)..."_s, {}, [this] { NewCategory(); }, u"folder-new"_s, u"新建"_s},
        {u"Action_ModifyCate"_s, u"修改分类(&M)"_s, {}, [this] { ModifyCategory(); }, u"document-edit"_s, u"修改"_s},
        {u"Action_DeleteCate"_s, u"删除分类(&D)"_s, {}, [this] { DeleteCategory(); }, u"edit-delete"_s, u"删除"_s},
        {u"Action_Expand"_s, u"展开所有"_s, {}, [this] { ExpandAll(); }},
        {u"Action_InExpand"_s, u"闭合所有"_s, {}, [this] { CollapseAll(); }},
        {u"Action_CopyItem"_s, u"复制项目"_s, {}, [this] { CopyItems(); }, u"edit-copy"_s, u"复制"_s},
        {u"Action_PasteItem"_s, u"粘贴项目"_s, {}, [this] { PasteItems(); }, u"edit-paste"_s, u"粘贴"_s},
        {u"Action_NewItem"_s, u"新增项目(&N)"_s, {}, [this] { NewItem(); }, u"list-add"_s, u"新增"_s},
        {u"Action_ModifyItem"_s, u"修改项目(&M)"_s, {}, [this] { ModifyItem(); }},
        {u"Action_DeleteItem"_s, u"删除项目(&D)"_s, {}, [this] { DeleteItems(); }, u"list-remove"_s},
        {u"Action_Find"_s, u"查找项目..."_s, {}, [this] { FindItem(); }, u"edit-find"_s, u"查找"_s},
        {u"Action_Refresh"_s, u"刷新树(&R)"_s, {}, [this] { RefreshTree(); }, u"view-refresh"_s, u"刷新"_s},
    });
    const QStringList hints{u"新建分类"_s, u"修改分类"_s, u"删除分类"_s, QString(), QString(), u"复制项目"_s,
                            u"粘贴项目"_s, u"新增项目"_s, u"修改项目"_s, u"删除项目"_s, u"查找项目"_s, u"刷新树"_s};
    for (int i = 0; i < actions.size(); ++i) {
        actions[i]->setToolTip(hints[i].isEmpty() ? actions[i]->iconText() : hints[i]);
        actions[i]->setStatusTip(hints[i]);
    }

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(u"ToolBar1"_s);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->setIconSize(QSize(16, 16));
    FillToolBar(ToolBar1, this,
                {u"Action_NewCate"_s, u"Action_ModifyCate"_s, u"Action_DeleteCate"_s, u"Action_Refresh"_s, u"-"_s,
                 u"Action_CopyItem"_s, u"Action_PasteItem"_s, u"Action_NewItem"_s, u"Action_Find"_s});

    DataSource_Cate = new TqxDataSource(&FData.CDS_SYSItemCate, this);
    DataSource_Cate->setObjectName(u"DataSource_Cate"_s);
    kvTreeView1 = new TkvTreeView;
    kvTreeView1->setObjectName(u"kvTreeView1"_s);
    kvTreeView1->SetRootName(u"项目类别树"_s);
    kvTreeView1->SetDataSource(DataSource_Cate);
    kvTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    kvTreeView1->setMouseTracking(true); // hot tracking
    kvTreeView1->setMinimumWidth(80);
    connect(kvTreeView1, &TkvTreeView::Change, this, &TForm_ItemTemp::CategoryChanged);

    CDS_SYSItems.OnFilterRecord = [this](TqxDataSet* ds, bool& accept) { accept = PassesCategoryFilter(FPath, *ds); };
    CDS_SYSItems.CloneCursor(FData.CDS_SYSItems);
    DataSource_Items = new TqxDataSource(&CDS_SYSItems, this);
    DataSource_Items->setObjectName(u"DataSource_Items"_s);
    DataSource_Items->SetAutoEdit(false);
    qxDBGrid1 = new TqxDBGrid;
    qxDBGrid1->setObjectName(u"qxDBGrid1"_s);
    qxDBGrid1->SetEnterToNext(true);
    qxDBGrid1->SetEofCanAppend(true);
    qxDBGrid1->SetAutoBeginDrag(true);
    qxDBGrid1->SetDataSource(DataSource_Items);
    qxDBGrid1->AddColumn(fName, QString(), 119);
    qxDBGrid1->AddColumn(u"单位"_s);
    qxDBGrid1->AddColumn(u"单价"_s, QString(), 49);
    qxDBGrid1->AddColumn(u"备注"_s, QString(), 143);
    connect(qxDBGrid1, &TqxDBGrid::OnRowDblClick, this, &TForm_ItemTemp::ModifyItem);
    connect(qxDBGrid1, &TqxDBGrid::OnStartDrag, this,
            [this] { FDrag.BeginDrag(TqxDragInfo::skItemLibrary, qxDBGrid1, true); });
    connect(qxDBGrid1, &TqxDBGrid::OnEndDrag, this, [this](QObject*) { FDrag.EndDrag(); });
    qxDBGrid1->OnDragOver = [this](TqxDBGrid*, QObject*, int x, int y, TDragState state, bool& accept) {
        if (state == dsDragLeave)
            accept = false;
        else
            GridDragOver(x, y, accept);
    };
    connect(qxDBGrid1, &TqxDBGrid::OnDragDrop, this, [this](QObject* source, int, int) {
        if (FDrag.SourceKind == TqxDragInfo::skBudgetGrid)
            DropBudgetRows(qobject_cast<TqxDBGrid*>(source));
    });
    connect(qxDBGrid1, &TqxDBGrid::OnAfterRowSelect, this, &TForm_ItemTemp::UpdateActions);

    PopupMenu_Tree = new QMenu(this);
    PopupMenu_Tree->setObjectName(u"PopupMenu_Tree"_s);
    FillMenu(PopupMenu_Tree, this,
             {u"Action_Expand"_s, u"Action_InExpand"_s, u"-"_s, u"Action_NewCate"_s, u"Action_ModifyCate"_s,
              u"Action_DeleteCate"_s});
    kvTreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(kvTreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu_Tree->popup(kvTreeView1->viewport()->mapToGlobal(at)); });
    PopupMenu_Grid = new QMenu(this);
    PopupMenu_Grid->setObjectName(u"PopupMenu_Grid"_s);
    FillMenu(PopupMenu_Grid, this,
             {u"Action_CopyItem"_s, u"Action_PasteItem"_s, u"-"_s, u"Action_NewItem"_s, u"Action_ModifyItem"_s,
              u"Action_DeleteItem"_s, u"-"_s, u"Action_Find"_s});
    qxDBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(qxDBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu_Grid->popup(qxDBGrid1->viewport()->mapToGlobal(at)); });

    TabSet1 = new QTabBar(this);
    TabSet1->setObjectName(u"TabSet1"_s);
    TabSet1->setShape(QTabBar::RoundedSouth);
    TabSet1->addTab(u"系统项目库"_s);
    TabSet1->setDrawBase(false);
    TabSet1->setExpanding(false);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(u"Splitter1"_s);
    splitter->addWidget(kvTreeView1);
    splitter->addWidget(qxDBGrid1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({150, 410});
    splitter->setChildrenCollapsible(false);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, HeadHeight, 0, 0);
    rows->setSpacing(0);
    rows->addWidget(ToolBar1);
    rows->addWidget(splitter, 1);
    rows->addWidget(TabSet1);
    resize(560, 400);

    FClipboardCount = FData.ClipboardCount();
    LoadGridLayout();
    kvTreeView1->LoadTree();
    ShowCategory(nullptr);
    UpdateActions();
}

TForm_ItemTemp::~TForm_ItemTemp()
{
    // The view goes before the grid that shows it.
    DataSource_Items->SetDataSet(nullptr);
    CDS_SYSItems.OnFilterRecord = nullptr;
}

void TForm_ItemTemp::Guard(const std::function<void()>& work)
{
    try {
        work();
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"提示"_s, TMsgIcon::Error);
    }
}

void TForm_ItemTemp::UpdateActions()
{
    const TItemCate* cate = kvTreeView1->SelectedCategory();
    ActionOf(this, u"Action_ModifyCate"_s)->setEnabled(cate && !cate->IsRoot);
    ActionOf(this, u"Action_DeleteCate"_s)->setEnabled(cate && !cate->IsRoot && !cate->IsSystem);
    ActionOf(this, u"Action_PasteItem"_s)->setEnabled(FClipboardCount > 0);
}

void TForm_ItemTemp::SetClipboardCount(int count)
{
    FClipboardCount = count;
    UpdateActions();
}

bool TForm_ItemTemp::event(QEvent* event)
{
    if (event->type() == TqxMessageEvent::EventType()) {
        const auto* m = static_cast<TqxMessageEvent*>(event);
        if (m->Msg == MSG_CLIPBOARD_COUNT && m->WParam == 1) {
            SetClipboardCount(int(m->LParam));
            return true;
        }
    }
    return TForm_KavelinDialog::event(event);
}

void TForm_ItemTemp::CategoryChanged(QTreeWidgetItem* node)
{
    UpdateActions();
    ShowCategory(node);
}

void TForm_ItemTemp::ShowCategory(QTreeWidgetItem* node)
{
    TqxControlsLock hold(CDS_SYSItems);
    FPath.clear();
    FPathRecords.clear();
    for (const TItemCate* c : TkvTreeView::PathOf(node))
        FPathRecords.append(*c);
    for (const TItemCate& c : FPathRecords)
        FPath.append(&c);
    CDS_SYSItems.CloneCursor(FData.CDS_SYSItems);
    CDS_SYSItems.SetFiltered(false);
    CDS_SYSItems.SetFiltered(true);
    CDS_SYSItems.First();
    qxDBGrid1->ClearSelectedRows();
}

// ---------------------------------------------------------------- categories

void TForm_ItemTemp::NewCategory()
{
    QTreeWidgetItem* node = kvTreeView1->currentItem();
    if (!node)
        node = kvTreeView1->topLevelItem(0);
    const TItemCate* cate = TkvTreeView::CateOf(node);
    if (!cate)
        return;
    const bool expanded = node->isExpanded();
    Guard([&] {
        if (NewCategoryDialog(FData.CDS_SYSItemCate, cate->Name, this, RunDialog))
            kvTreeView1->RefreshNode(node, expanded);
    });
}

void TForm_ItemTemp::ModifyCategory()
{
    QTreeWidgetItem* node = kvTreeView1->currentItem();
    const TItemCate* cate = TkvTreeView::CateOf(node);
    if (!cate || cate->IsRoot)
        return;
    QTreeWidgetItem* parent = node->parent();
    Guard([&] {
        if (ModifyCategoryDialog(FData.CDS_SYSItemCate, cate->Parent, cate->Name, this, RunDialog) && parent) {
            kvTreeView1->RefreshNode(parent, true);
            UpdateActions();
        }
    });
}

void TForm_ItemTemp::DeleteCategory()
{
    QTreeWidgetItem* node = kvTreeView1->currentItem();
    const TItemCate* cate = TkvTreeView::CateOf(node);
    if (!cate || cate->IsRoot || cate->IsSystem)
        return;
    if (node->childCount() > 0) {
        ShowMessage(u"请先删除子类别！"_s, u"删除"_s, TMsgIcon::Information);
        return;
    }
    Guard([&] { kvTreeView1->DeleteCategoryNode(node); });
}

void TForm_ItemTemp::ExpandAll()
{
    if (QTreeWidgetItem* root = kvTreeView1->topLevelItem(0)) {
        root->setExpanded(true);
        QList<QTreeWidgetItem*> todo{root};
        while (!todo.isEmpty()) {
            QTreeWidgetItem* n = todo.takeFirst();
            for (int i = 0; i < n->childCount(); ++i) {
                n->child(i)->setExpanded(n->child(i)->childCount() > 0);
                todo.append(n->child(i));
            }
        }
    }
}

void TForm_ItemTemp::CollapseAll()
{
    if (QTreeWidgetItem* root = kvTreeView1->topLevelItem(0))
        root->setExpanded(false);
}

void TForm_ItemTemp::RefreshTree()
{
    Guard([&] {
        kvTreeView1->LoadTree();
        ShowCategory(kvTreeView1->currentItem());
        UpdateActions();
    });
}

// ---------------------------------------------------------------- items

QString TForm_ItemTemp::DefaultCategory() const
{
    const TItemCate* cate = kvTreeView1->SelectedCategory();
    return cate && !cate->IsRoot && cate->Parent == kTradeParent ? cate->Name : QString();
}

void TForm_ItemTemp::CopyItems()
{
    if (qxDBGrid1->SelectedRows().IsEmpty()) {
        ShowMessage(u"请您先选择项目行，然后在做复制！"_s, u"提示"_s, TMsgIcon::Information);
        return;
    }
    Guard([&] { FData.CopyToClipboard(qxDBGrid1->SelectedRows().Items(), &CDS_SYSItems); });
}

void TForm_ItemTemp::PasteItems()
{
    Guard([&] {
        const int pasted = FData.PasteFromClipboard(&CDS_SYSItems, -1);
        if (pasted <= 0)
            return;
        FData.SaveItems();
        ShowMessage(u"成功粘贴了 %1 条项目到项目库！"_s.arg(pasted), u"提示"_s, TMsgIcon::Information);
    });
}

void TForm_ItemTemp::RunEditor(bool isNew)
{
    Guard([&] {
        if (CDS_SYSItems.Editing())
            CDS_SYSItems.Post();
        // The editor opens on the item chosen in the grid, not wherever the
        // library's own cursor happens to stand.
        if (!isNew && !CDS_SYSItems.IsEmpty())
            FData.CDS_SYSItems.GotoBookmark(CDS_SYSItems.GetBookmark());
    });
    Guard([&] { EditItem(FData, DefaultCategory(), isNew, this, RunDialog); });
    // Items appended or changed in the editor show under the category they now have.
    Guard([&] {
        const TqxBookmark at = FData.CDS_SYSItems.GetBookmark();
        ShowCategory(kvTreeView1->currentItem());
        if (CDS_SYSItems.BookmarkValid(at))
            CDS_SYSItems.GotoBookmark(at);
    });
}

void TForm_ItemTemp::NewItem() { RunEditor(true); }

void TForm_ItemTemp::ModifyItem()
{
    if (!CDS_SYSItems.IsEmpty())
        RunEditor(false);
}

void TForm_ItemTemp::DeleteItems()
{
    const QList<TqxBookmark> rows = qxDBGrid1->SelectedRows().Items();
    if (rows.isEmpty())
        ShowMessage(u"请先选择项目，然后再做删除！"_s, u"提示"_s, TMsgIcon::Information);
    Guard([&] {
        {
            TqxControlsLock hold(CDS_SYSItems);
            for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
                if (!CDS_SYSItems.BookmarkValid(*it))
                    continue;
                CDS_SYSItems.GotoBookmark(*it);
                CDS_SYSItems.Delete();
            }
        }
        qxDBGrid1->ClearSelectedRows();
        FData.SaveItems();
    });
}

void TForm_ItemTemp::FindItem() { ShowRecordFind(qxDBGrid1); }

// ---------------------------------------------------------------- drag and drop

void TForm_ItemTemp::GridDragOver(int x, int y, bool& accept)
{
    accept = FDrag.SourceKind == TqxDragInfo::skBudgetGrid;
    if (!accept)
        return;
    FDrag.DragOver();
    Guard([&] {
        if (CDS_SYSItems.Editing())
            CDS_SYSItems.Post();
    });
    const QPoint cell = qxDBGrid1->MouseCoord(x, y);
    if (cell.y() > 0)
        qxDBGrid1->MoveToCell(std::max(cell.x(), 1), cell.y());
    qxDBGrid1->viewport()->update();
}

bool TForm_ItemTemp::DropBudgetRows(TqxDBGrid* source)
{
    TqxDataSet* from = source ? source->DataSet() : nullptr;
    if (!from)
        return false;
    bool added = false;
    Guard([&] {
        const int nameField = CDS_SYSItems.FieldByName(fName)->Index();
        const QList<TqxBookmark> rows = source->SelectedRows().Items();
        TqxControlsLock hold(*from);
        const TqxBookmark keep = from->GetBookmark();
        for (const TqxBookmark& row : rows) {
            if (!from->BookmarkValid(row))
                continue;
            from->GotoBookmark(row);
            const QString name = from->FieldByName(fName)->AsString();
            bool shown = false;
            for (int r = 0; r < CDS_SYSItems.RecordCount() && !shown; ++r)
                shown = CDS_SYSItems.TextAt(CDS_SYSItems.BookmarkAt(r), nameField) == name;
            if (shown)
                continue;
            CDS_SYSItems.Append();
            TDataModule_Data::CopyItemFields(from, &CDS_SYSItems, kDropFields);
            added = true;
        }
        if (from->BookmarkValid(keep))
            from->GotoBookmark(keep);
        FData.SaveItems();
    });
    FDrag.Dropped();
    return added;
}

// ---------------------------------------------------------------- the layout of the grid

QString TForm_ItemTemp::GridLayoutFile() const { return FileSystem::NativePath(FInfo.GetFileName(LayoutKey)); }

void TForm_ItemTemp::LoadGridLayout()
{
    const QString file = GridLayoutFile();
    if (file.isEmpty() || !FileSystem::FileExists(file))
        return;
    try {
        QStringList names;
        for (int i = 0; i < qxDBGrid1->ColumnCount(); ++i)
            names.append(qxDBGrid1->Columns(i)->FieldName());
        for (const TColumnLayout& l : ParseGridLayout(FileSystem::ReadFile(file), names)) {
            TqxColumn* c = qxDBGrid1->FindColumn(l.FieldName);
            c->SetVisible(l.Visible);
            if (l.Visible && l.Width > 0)
                c->SetWidth(l.Width);
        }
    } catch (const Exception&) {
        // A damaged layout file only costs the user the column widths.
    }
}

void TForm_ItemTemp::SaveGridLayout()
{
    const QString file = GridLayoutFile();
    if (file.isEmpty())
        return;
    QList<TColumnLayout> columns;
    for (int i = 0; i < qxDBGrid1->ColumnCount(); ++i) {
        const TqxColumn* c = qxDBGrid1->Columns(i);
        columns.append({c->FieldName(), c->Visible(), c->Width()});
    }
    try {
        QDir().mkpath(QFileInfo(file).absolutePath());
        FileSystem::WriteFileAtomic(file, FormatGridLayout(columns));
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"保存失败"_s, TMsgIcon::Error);
    }
}

void TForm_ItemTemp::done(int result)
{
    SaveGridLayout();
    TForm_KavelinDialog::done(result);
}
