#include "Win_ProjectBudget.h"

#include "DataModule_App.h"
#include "kvActionTable.h"
#include "kvBudgetDrop.h"
#include "kvLookupPanel.h"
#include "kvProject.h"
#include "qxDBCtrls_DBGrid.h"
#include "qxErrors.h"
#include "qxPrompter.h"
#include "Win_RecordFind.h"

#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString fNo = u"序号"_s;
const QString fType = u"行类型"_s;
const QString fGroupNo = u"组号"_s;
const QString fQuantity = u"数量"_s;
const QString fAmount = u"金额"_s;

const QColor HeaderColor(233, 232, 228);
const QColor SubtotalColor(224, 222, 218);

} // namespace

const QStringList TProjectBudgetPage::GroupLines{
    u"1=施工地点,项目类别,项目名称,单位,单价,数量,金额,备注;<Alignment>0</Alignment><Color>33023</Color>"_s,
    u"2=施工地点,项目类别,项目名称;<Alignment>1</Alignment><Color>0</Color>"_s,
    u"3=单位,单价;<Alignment>1</Alignment><Color>0</Color>"_s,
    u"4=数量,金额;<Alignment>1</Alignment><Color>0</Color>"_s,
};

TProjectBudgetPage::TProjectBudgetPage(kvProject& document, TDataModule_Data& data, QWidget* parent)
    : QWidget(parent), FDoc(document), FData(data)
{
    CreateActions(this, {
        {u"View_Place"_s, u"施工地点"_s, {}, [this] { SetView(kvProject::ViewPlace); }, {}, {}, true},
        {u"View_ItemKind"_s, u"项目类别"_s, {}, [this] { SetView(kvProject::ViewKind); }, {}, {}, true},
        {u"Row_New"_s, u"新增项目"_s, QKeySequence(u"Ctrl+R"_s), [this] { NewRow(); }, u"list-add"_s, u"新行"_s},
        {u"Row_Insert"_s, u"插入项目"_s, QKeySequence(u"Ctrl+I"_s), [this] { InsertRow(); }, u"insert-table-row"_s,
         u"插入"_s},
        {u"Row_Delete"_s, u"删除项目"_s, {}, [this] { DeleteRows(); }, u"list-remove"_s, u"删除"_s},
        {u"Row_InputPanel"_s, u"录入板"_s, {}, {}, u"input-keyboard"_s, {}, true},
        {u"Row_Copy"_s, u"复制项目"_s, {}, [this] { CopyRows(); }, u"edit-copy"_s},
        {u"Row_Paste"_s, u"粘贴项目"_s, {}, [this] { PasteRows(); }, u"edit-paste"_s},
        {u"Row_Find"_s, u"查找项目(&F)..."_s, {}, [this] { FindRow(); }, u"edit-find"_s},
        {u"Group_New"_s, u"新增组..."_s, {}, [this] { NewGroup(); }, u"folder-new"_s, u"新组"_s},
        {u"Group_Modify"_s, u"修改组..."_s, {}, [this] { ModifyGroup(); }, u"document-edit"_s, u"修改"_s},
        {u"Group_Delete"_s, u"删除组"_s, {}, [this] { DeleteGroup(); }, u"edit-delete"_s, u"删除"_s},
        {u"Group_MoveToHead"_s, u"移动到头"_s, {}, [this] { MoveToHead(); }, u"go-top"_s},
        {u"Group_MoveToTail"_s, u"移动到尾"_s, {}, [this] { MoveToTail(); }, u"go-bottom"_s},
    });
    ActionGroup_View = new QActionGroup(this);
    ActionGroup_View->addAction(ActionOf(this, u"View_Place"_s));
    ActionGroup_View->addAction(ActionOf(this, u"View_ItemKind"_s));
    Row_InputPanel = ActionOf(this, u"Row_InputPanel"_s);
    Row_InputPanel->setToolTip(u"显示/隐藏录入板"_s);
    Row_InputPanel->setChecked(FDoc.InputPanel);
    connect(Row_InputPanel, &QAction::toggled, this, [this](bool on) { FDoc.InputPanel = on; });

    ToolBar_Yss = new QToolBar(this);
    ToolBar_Yss->setObjectName(u"ToolBar_Yss"_s);
    ToolBar_Yss->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FillToolBar(ToolBar_Yss, this,
                {u"View_ItemKind"_s, u"View_Place"_s, u"-"_s, u"Row_New"_s, u"Row_Insert"_s, u"Row_Delete"_s,
                 u"Row_InputPanel"_s, u"Row_Copy"_s, u"Row_Paste"_s, u"Row_Find"_s, u"-"_s, u"Group_New"_s,
                 u"Group_Modify"_s, u"Group_Delete"_s});

    DataSource_Yss = new TqxDataSource(&FDoc.kvYssDS_Main, this);
    qxDBGrid_Yss = new TqxDBGrid(this);
    qxDBGrid_Yss->setObjectName(u"qxDBGrid_Yss"_s);
    qxDBGrid_Yss->SetOptions(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                             dgAlwaysShowSelection | dgCancelOnExit);
    qxDBGrid_Yss->SetRowSelect(true);
    qxDBGrid_Yss->SetEnterToNext(false);
    qxDBGrid_Yss->SetEofCanAppend(false);
    qxDBGrid_Yss->SetGroups(GroupLines);
    qxDBGrid_Yss->SetDataSource(DataSource_Yss);
    CreateColumns();
    // It opens on the columns with an ellipsis button and follows Row_InputPanel itself.
    qxFloatPanel_Selected = new TkvLookupPanel(*qxDBGrid_Yss, FDoc.kvYssDS_Main, FData, *Row_InputPanel);

    PopupMenu_Yss = new QMenu(this);
    PopupMenu_Yss->setObjectName(u"PopupMenu_Yss"_s);
    FillMenu(PopupMenu_Yss, this,
             {u"Row_New"_s, u"Row_Insert"_s, u"Row_Delete"_s, u"-"_s, u"Row_Copy"_s, u"Row_Paste"_s, u"-"_s,
              u"Row_Find"_s, u"-"_s, u"Group_New"_s, u"Group_Modify"_s, u"Group_Delete"_s, u"Group_MoveToHead"_s,
              u"Group_MoveToTail"_s, u"-"_s, u"View_Place"_s, u"View_ItemKind"_s});
    qxDBGrid_Yss->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(qxDBGrid_Yss, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu_Yss->popup(qxDBGrid_Yss->viewport()->mapToGlobal(at)); });

    qxDBGrid_Yss->OnDrawCellCanvas = [this](QString& text, TqxColumn* column, TqxCellCanvas& canvas) {
        DrawCellCanvas(text, column, canvas);
    };
    qxDBGrid_Yss->OnDrawGroupCell = [this](TqxDBGrid*, TqxColumn* column, QString& group, QString& text,
                                           TqxCellCanvas& canvas) { DrawGroupCell(column, group, text, canvas); };
    qxDBGrid_Yss->OnCellCanInput = [this](TqxDBGrid*, TqxColumn*, bool& can) { can = can && CurrentIsItem(); };
    qxDBGrid_Yss->OnBeforeRowSelect = [this](TqxDBGrid*, bool& can) { can = can && CurrentIsItem(); };
    connect(qxDBGrid_Yss, &TqxDBGrid::OnAfterRowSelect, this, &TProjectBudgetPage::UpdateActions);
    // The line number is not typed: entering it moves on.
    connect(qxDBGrid_Yss, &TqxDBGrid::OnColEnter, this, [this] {
        if (qxDBGrid_Yss->SelectedIndex() == 0 && !(qxDBGrid_Yss->Options() & dgRowSelect))
            qxDBGrid_Yss->SetSelectedIndex(1);
    });

    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    ds.AfterScroll = [this](TqxDataSet*) { AfterScroll(); };
    ds.AfterInsert = [this](TqxDataSet*) { qxDBGrid_Yss->ClearSelectedRows(); };
    ds.OnGroupChanging = [this](TkvYssDataSet*, const QString& oldGroup, const QString& newGroup) {
        GroupChanging(oldGroup, newGroup);
    };
    // The line-number column: "2-5" on an item, the group number on a header.
    ds.FieldByName(fNo)->OnGetText = [&ds](TqxField* sender, QString& text, bool) {
        const int type = ds.FieldByName(fType)->AsInteger();
        const int group = ds.FieldByName(fGroupNo)->AsInteger();
        if (type == rtGroupHeader)
            text = QString::number(group);
        else if (type == rtItem)
            text = QString::number(group) + u'-' + QString::number(sender->AsInteger());
        else if (type == rtSubtotal)
            text.clear();
        else
            text = u"****"_s;
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar_Yss);
    layout->addWidget(qxDBGrid_Yss, 1);
    FClipboardCount = FData.ClipboardCount();
    UpdateActions();
}

// The document may outlive the page: it keeps no handler of it.
TProjectBudgetPage::~TProjectBudgetPage()
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    ds.AfterScroll = nullptr;
    ds.AfterInsert = nullptr;
    ds.OnGroupChanging = nullptr;
    ds.FieldByName(fNo)->OnGetText = nullptr;
}

TkvYssDataSet& TProjectBudgetPage::DataSet() const { return FDoc.kvYssDS_Main; }

void TProjectBudgetPage::AttachDragInfo(TqxDragInfo& drag)
{
    if (!FDrop)
        // A child of the grid: the grid's drag handler never outlives the object it calls.
        FDrop = new TkvBudgetDrop(*qxDBGrid_Yss, FDoc.kvYssDS_Main, drag, qxDBGrid_Yss);
}

void TProjectBudgetPage::CreateColumns()
{
    struct Col {
        QString field;
        int width;
        bool readOnly;
        bool lookup;
        QString title;
    };
    const Col cols[] = {
        {u"序号"_s, 44, true, false, {}},       {u"施工地点"_s, 79, false, true, {}},
        {u"项目类别"_s, 86, false, true, {}},   {u"项目名称"_s, 115, false, true, {}},
        {u"单位"_s, 44, false, true, {}},       {u"单价"_s, 58, false, false, {}},
        {u"数量"_s, 53, false, false, {}},      {u"金额"_s, 76, true, false, u"合计"_s},
        {u"备注"_s, 194, false, true, {}},
    };
    for (const Col& c : cols) {
        TqxColumn* column = qxDBGrid_Yss->AddColumn(c.field, c.title, c.width);
        column->SetReadOnly(c.readOnly);
        if (c.lookup)
            column->SetButtonStyle(cbsEllipsis);
    }
}

// ---------------------------------------------------------------- drawing

int TProjectBudgetPage::RowTypeAt(const TqxCellCanvas& canvas) const
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    if (canvas.Bookmark.IsNull()) // the row being inserted is an item
        return rtItem;
    return ds.ValueAt(canvas.Bookmark, ds.FieldByName(fType)->Index()).toInt();
}

void TProjectBudgetPage::DrawCellCanvas(QString&, TqxColumn*, TqxCellCanvas& canvas)
{
    const int type = RowTypeAt(canvas);
    if (type != rtGroupHeader && type != rtSubtotal)
        return;
    canvas.Font.setBold(true);
    canvas.BrushColor = type == rtGroupHeader ? HeaderColor : SubtotalColor;
}

void TProjectBudgetPage::DrawGroupCell(TqxColumn* column, QString& group, QString& text, TqxCellCanvas& canvas)
{
    if (!column || column->Index() == 0)
        return;
    const int type = RowTypeAt(canvas);
    if (type != rtGroupHeader && type != rtSubtotal)
        return;
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    const auto value = [&](const QString& field) { return ds.ValueAt(canvas.Bookmark, ds.FieldByName(field)->Index()); };
    const QString& name = column->FieldName();
    const auto inGroup = [&](int n) { return GroupLines[n - 1].section(u';', 0, 0).contains(name); };
    if (type == rtGroupHeader) {
        if (!inGroup(1))
            return;
        group = u"1"_s;
        const TGroupInfo* info = ds.FindGroupByNo(value(fGroupNo).toInt());
        text = u"【"_s + (info ? info->GroupName() : QString()) + u"】"_s;
        return;
    }
    if (inGroup(2)) {
        group = u"2"_s;
        text = u"小计: "_s;
    } else if (inGroup(3)) {
        group = u"3"_s;
        text = u"项目数：%1 条"_s.arg(qRound64(value(fQuantity).toDouble()));
    } else if (inGroup(4)) {
        group = u"4"_s;
        text = QString::asprintf("%5.2f", value(fAmount).toDouble());
    }
}

// ---------------------------------------------------------------- state

bool TProjectBudgetPage::CurrentIsItem() const
{
    const TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    return ds.Active() && !ds.IsEmpty() && ds.FieldByName(fType)->AsInteger() == rtItem;
}

void TProjectBudgetPage::AfterScroll()
{
    const TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    const bool generated = !ds.IsEmpty() && !CurrentIsItem();
    const bool wasRowSelect = qxDBGrid_Yss->Options() & dgRowSelect;
    if (generated && !wasRowSelect) {
        qxDBGrid_Yss->SetOptions(qxDBGrid_Yss->Options() | dgRowSelect);
    } else if (!generated && wasRowSelect) {
        qxDBGrid_Yss->SetOptions(qxDBGrid_Yss->Options() & ~TDBGridOptions(dgRowSelect));
        qxDBGrid_Yss->SetSelectedIndex(1);
    }
    UpdateActions();
}

void TProjectBudgetPage::GroupChanging(const QString& oldGroup, const QString& newGroup)
{
    if (TqxColumn* c = qxDBGrid_Yss->FindColumn(oldGroup))
        c->SetVisible(true);
    if (TqxColumn* c = qxDBGrid_Yss->FindColumn(newGroup))
        c->SetVisible(false);
    if (QAction* a = ActionOf(this, newGroup == kvProject::ViewPlace ? u"View_Place"_s : u"View_ItemKind"_s))
        a->setChecked(true);
    UpdateActions();
}

void TProjectBudgetPage::SetClipboardCount(int count)
{
    FClipboardCount = count;
    UpdateActions();
}

void TProjectBudgetPage::UpdateActions()
{
    const TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    const bool selected = !qxDBGrid_Yss->SelectedRows().IsEmpty();
    const bool hasGroupField = !ds.GroupField().isEmpty() && ds.FindField(ds.GroupField());
    ActionOf(this, u"Row_Copy"_s)->setEnabled(selected);
    ActionOf(this, u"Row_Delete"_s)->setEnabled(selected);
    ActionOf(this, u"Row_Paste"_s)->setEnabled(FClipboardCount > 0);
    for (const QString& name : {u"Group_New"_s, u"Group_Modify"_s, u"Group_Delete"_s})
        ActionOf(this, name)->setEnabled(hasGroupField);
}

// ---------------------------------------------------------------- commands

void TProjectBudgetPage::SetView(const QString& groupField)
{
    qxDBGrid_Yss->ClearSelectedRows();
    FDoc.SetView(groupField);
}

void TProjectBudgetPage::NewRow()
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    ds.AppendItem(ds.CurrentGroup());
    qxDBGrid_Yss->ClearSelectedRows(); // the bulk insert raises no insert or scroll event
    AfterScroll(); // the new item is edited cell by cell, also when a header was current
}

void TProjectBudgetPage::InsertRow()
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    ds.InsertItem(ds.CurrentGroup());
    qxDBGrid_Yss->ClearSelectedRows();
    AfterScroll();
}

void TProjectBudgetPage::DeleteRows()
{
    if (qxDBGrid_Yss->SelectedRows().IsEmpty())
        return;
    FDoc.kvYssDS_Main.DeleteRows(qxDBGrid_Yss->SelectedRows().Items());
    qxDBGrid_Yss->ClearSelectedRows();
    UpdateActions();
}

void TProjectBudgetPage::CopyRows()
{
    if (qxDBGrid_Yss->SelectedRows().IsEmpty()) {
        ShowMessage(u"您没有选中项目，请先选择项目！"_s, u"提示"_s, TMsgIcon::Information);
        return;
    }
    FData.CopyToClipboard(qxDBGrid_Yss->SelectedRows().Items(), &FDoc.kvYssDS_Main);
    FData.NotifyClipboard();
}

void TProjectBudgetPage::PasteRows()
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    TGroupInfo* group = ds.CurrentGroup();
    if (!group)
        return;
    const QString groupName = group->GroupName();
    const QString field = ds.GroupField() == kvProject::ViewPlace ? kvProject::ViewPlace : kvProject::ViewKind;
    qxDBGrid_Yss->setUpdatesEnabled(false);
    const int count = FData.ClipboardCount();
    for (int i = 0; i < count; ++i) {
        NewRow();
        FData.PasteFromClipboard(&ds, i);
        ds.Edit();
        ds.FieldByName(field)->SetAsString(groupName);
        ds.Post();
    }
    qxDBGrid_Yss->setUpdatesEnabled(true);
}

void TProjectBudgetPage::FindRow() { ShowRecordFind(qxDBGrid_Yss); }

void TProjectBudgetPage::NewGroup()
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    const QString field = ds.GroupField();
    QStringList suggestions;
    if (field == kvProject::ViewPlace)
        FData.ListPlaces(suggestions);
    else if (field == kvProject::ViewKind)
        FData.ListItemCategories(suggestions);
    const std::optional<QString> name =
        Prompter().InputText({u"新建"_s + field, u"请输入一个"_s + field, QString(), false, suggestions});
    if (!name)
        return;
    try {
        ds.AddGroup(*name);
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"提示"_s, TMsgIcon::Error);
    }
}

void TProjectBudgetPage::ModifyGroup()
{
    TGroupInfo* group = FDoc.kvYssDS_Main.CurrentGroup();
    if (!group)
        return;
    const std::optional<QString> name =
        Prompter().InputText({u"修改组信息"_s, u"请输入修改后的组名："_s, group->GroupName(), false, {}});
    if (name)
        group->SetGroupName(*name);
    qxDBGrid_Yss->viewport()->update();
}

void TProjectBudgetPage::DeleteGroup()
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    TGroupInfo* group = ds.CurrentGroup();
    if (!group)
        return;
    const QString name = group->GroupName();
    if (ShowMessage(u"您真的要删除"_s + ds.GroupField() + u"为【"_s + name + u"】吗？"_s, u"删除"_s,
                    TMsgIcon::Question, mbYes | mbNo, mbNo) != mbYes)
        return;
    qxDBGrid_Yss->ClearSelectedRows();
    ds.DeleteGroup(name, true);
    ds.Regroup();
}

void TProjectBudgetPage::MoveToHead()
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    if (const TGroupInfo* group = ds.CurrentGroup())
        ds.LocateHeader(group->GroupNo);
}

void TProjectBudgetPage::MoveToTail()
{
    TkvYssDataSet& ds = FDoc.kvYssDS_Main;
    if (const TGroupInfo* group = ds.CurrentGroup())
        ds.LocateSubtotal(group->GroupNo);
}
