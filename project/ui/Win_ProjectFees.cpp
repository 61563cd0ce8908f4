#include "Win_ProjectFees.h"

#include "AppClasses.h"
#include "kvActionTable.h"
#include "kvProject.h"
#include "qxDBCtrls_DBGrid.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxPrompter.h"

#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const QString TProjectFeePage::TemplateFilter = u"取费表(*.KVD)|*.KVD"_s;

TProjectFeePage::TProjectFeePage(kvProject& document, const TAppGlobalInfo& info, QWidget* parent)
    : QWidget(parent), FDoc(document), FInfo(info)
{
    CreateActions(this, {
        {u"Qfb_Append"_s, u"新增一行"_s, {}, [this] { AppendRow(); }, u"list-add"_s},
        {u"Qfb_Insert"_s, u"插入一行"_s, {}, [this] { InsertRow(); }, u"insert-table-row"_s},
        {u"Qfb_Delete"_s, u"删除一行"_s, {}, [this] { DeleteRow(); }, u"list-remove"_s},
        {u"Qfb_Comput"_s, u"计算取费"_s, {}, [this] { Compute(); }, u"accessories-calculator"_s},
        {u"Qfb_LoadFromTemp"_s, u"载入取费模板"_s, {}, [this] { LoadFromTemplate(); }, u"document-open"_s},
        {u"Qfb_SaveToTemp"_s, u"保存取费到模板"_s, {}, [this] { SaveToTemplate(); }, u"document-save"_s},
    });
    ToolBar_Qfb = new QToolBar(this);
    ToolBar_Qfb->setObjectName(u"ToolBar_Qfb"_s);
    ToolBar_Qfb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FillToolBar(ToolBar_Qfb, this,
                {u"Qfb_Append"_s, u"Qfb_Insert"_s, u"Qfb_Delete"_s, u"-"_s, u"Qfb_Comput"_s, u"-"_s,
                 u"Qfb_LoadFromTemp"_s, u"Qfb_SaveToTemp"_s});

    // A row is referred to in formulas as "[n]", so that is how its number shows.
    FDoc.kvQfbDS.FieldByName(u"序号"_s)->OnGetText = [](TqxField* sender, QString& text, bool) {
        text = sender->IsNull() ? QString() : u"[%1]"_s.arg(sender->AsInteger());
    };
    DataSource_Qfb = new TqxDataSource(&FDoc.kvQfbDS, this);
    qxDBGrid_Qfb = new TqxDBGrid(this);
    qxDBGrid_Qfb->setObjectName(u"qxDBGrid_Qfb"_s);
    qxDBGrid_Qfb->SetDataSource(DataSource_Qfb);
    qxDBGrid_Qfb->AddColumn(u"序号"_s, {}, 50)->SetReadOnly(true);
    qxDBGrid_Qfb->AddColumn(u"取费名称"_s, {}, 180);
    qxDBGrid_Qfb->AddColumn(u"计算公式"_s, {}, 180);
    qxDBGrid_Qfb->AddColumn(u"金额"_s, {}, 110);
    qxDBGrid_Qfb->AddColumn(u"说明"_s, {}, 230);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar_Qfb);
    layout->addWidget(qxDBGrid_Qfb, 1);
}

TProjectFeePage::~TProjectFeePage() { FDoc.kvQfbDS.FieldByName(u"序号"_s)->OnGetText = nullptr; }

void TProjectFeePage::AppendRow() { FDoc.kvQfbDS.AppendRow(); }

void TProjectFeePage::InsertRow() { FDoc.kvQfbDS.InsertCommand(); }

void TProjectFeePage::DeleteRow()
{
    if (!FDoc.kvQfbDS.DeleteCommand())
        ShowMessage(u"第一行不能够被删除！"_s, u"提示"_s, TMsgIcon::Information);
}

void TProjectFeePage::Compute() { FDoc.RunFeeComputation(); }

// Both fee-template dialogs start in the data folder.
QString TProjectFeePage::AskTemplateFile(TFileDialogKind kind, const QString& title) const
{
    TFileRequest ask;
    ask.Kind = kind;
    ask.Title = title;
    ask.Filter = TemplateFilter;
    ask.DefaultExt = u"KVD"_s;
    ask.InitialDir = FileSystem::NativePath(FInfo.GetPath(u"数据"_s));
    ask.OverwritePrompt = kind == TFileDialogKind::Save;
    const QStringList chosen = Prompter().ChooseFiles(ask);
    return chosen.isEmpty() ? QString() : chosen.first();
}

void TProjectFeePage::LoadFromTemplate()
{
    const QString file = AskTemplateFile(TFileDialogKind::Open, u"载入取费模板"_s);
    if (!file.isEmpty())
        FDoc.LoadFeeTemplate(file);
}

void TProjectFeePage::SaveToTemplate()
{
    const QString file = AskTemplateFile(TFileDialogKind::Save, u"保存取费表"_s);
    if (!file.isEmpty())
        FDoc.SaveFeeTemplate(file);
}
