#include "DataModule_App.h"

#include "AppClasses.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxPrompter.h"

using namespace Qt::StringLiterals;

TDataModule_Data* DataModule_Data = nullptr;

const QString TDataModule_Data::ItemsKey = u"系统项目库"_s;
const QString TDataModule_Data::ItemCateKey = u"系统项目类别库"_s;
const QString TDataModule_Data::UnitsKey = u"计量单位库"_s;
const QString TDataModule_Data::MemosKey = u"工艺材料"_s;
const QString TDataModule_Data::WordsKey = u"单词库"_s;

namespace {

const QString fName = u"项目名称"_s;
const QString kDefaultItemFields = u"项目编码;项目类别;项目名称;施工地点;单价;单位;数量;备注"_s;

// A value in single quotes for a filter expression.
QString quoted(const QString& value)
{
    QString v = value;
    return u'\'' + v.replace(u'\'', u"''"_s) + u'\'';
}

} // namespace

TDataModule_Data::TDataModule_Data()
{
    CDS_SYSItems.BeforePost = [this](TqxDataSet* ds) { CDS_SYSItemsBeforePost(ds); };
    CDS_SYSItemCate.AfterInsert = [this](TqxDataSet* ds) { CDS_SYSItemCateAfterInsert(ds); };
}

TDataModule_Data::~TDataModule_Data() = default;

TqxFieldDefs TDataModule_Data::ItemFieldDefs()
{
    using K = TqxFieldKind;
    return {{u"项目编码"_s, K::String, 20}, {u"施工地点"_s, K::String, 100}, {u"项目类别"_s, K::String, 100},
            {fName, K::String, 200},       {u"单位"_s, K::String, 20},      {u"单价"_s, K::Money},
            {u"数量"_s, K::Float},          {u"备注"_s, K::String, 200},     {u"查询码"_s, K::String, 50}};
}

TqxFieldDefs TDataModule_Data::ItemCateFieldDefs()
{
    using K = TqxFieldKind;
    return {{u"父类别"_s, K::String, 50},   {u"类别名称"_s, K::String, 50}, {u"条件字段"_s, K::String, 100},
            {u"系统"_s, K::Boolean},        {u"查询码"_s, K::String, 50},   {u"过滤内容"_s, K::String, 100},
            {u"过滤模式"_s, K::Integer}};
}

TqxFieldDefs TDataModule_Data::MeasureUnitFieldDefs()
{
    using K = TqxFieldKind;
    return {{u"单位"_s, K::String, 20, true}, {u"查询码"_s, K::String, 50}};
}

TqxFieldDefs TDataModule_Data::MemoFieldDefs()
{
    using K = TqxFieldKind;
    return {{u"项目类别"_s, K::String, 200}, {u"备注"_s, K::String, 100}, {u"查询码"_s, K::String, 20}};
}

TqxFieldDefs TDataModule_Data::WordFieldDefs()
{
    using K = TqxFieldKind;
    return {{u"类别"_s, K::String, 50}, {u"单词"_s, K::String, 50}};
}

void TDataModule_Data::OpenTable(TqxDataSet& table, const TqxFieldDefs& defs, const QString& key,
                                 const TAppGlobalInfo& info)
{
    table.SetFieldDefs(defs);
    const QString fileName = info.GetFileName(key);
    try {
        table.OpenTableFile(fileName);
        // A readable table of another kind is as unusable as a damaged one:
        // the windows and indexes rely on these fields.
        for (const TqxFieldDef& def : defs)
            if (!table.FindField(def.Name))
                throw EFileError(u"文件 "_s + fileName + u" 不是所需的数据表：缺少字段“"_s + def.Name + u"”！"_s);
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"读取出错"_s, TMsgIcon::Error);
        table.SetFieldDefs(defs);
        table.CreateDataSet();
    }
}

void TDataModule_Data::DataModuleCreate(const TAppGlobalInfo& info)
{
    FItemsFile = info.GetFileName(ItemsKey);
    FItemCateFile = info.GetFileName(ItemCateKey);
    FMemosFile = info.GetFileName(MemosKey);
    OpenTable(CDS_MeasureUnit, MeasureUnitFieldDefs(), UnitsKey, info);
    OpenTable(CDS_Memos, MemoFieldDefs(), MemosKey, info);
    OpenTable(CDS_Words, WordFieldDefs(), WordsKey, info);
    OpenTable(CDS_SYSItems, ItemFieldDefs(), ItemsKey, info);
    OpenTable(CDS_SYSItemCate, ItemCateFieldDefs(), ItemCateKey, info);
    CDS_SYSItems.SetIndexFieldNames(u"项目类别;项目名称"_s);
    CDS_Memos.SetIndexFieldNames(u"备注"_s);
    CDS_TempItems.SetFieldDefs(ItemFieldDefs());
    CDS_TempItems.CreateDataSet();
}

void TDataModule_Data::ReopenMeasureUnit(const TAppGlobalInfo& info)
{
    OpenTable(CDS_MeasureUnit, MeasureUnitFieldDefs(), UnitsKey, info);
}

void TDataModule_Data::DataModuleDestroy()
{
    // One table that cannot be written must not cost the others their
    // changes: each failure is told and the next table still saved.
    const auto attempt = [](const std::function<void()>& save) {
        try {
            save();
        } catch (const Exception& e) {
            ShowMessage(e.Message, u"保存失败"_s, TMsgIcon::Error);
        }
    };
    if (CDS_SYSItemCate.Active() && !CDS_SYSItemCate.IsEmpty() && CDS_SYSItemCate.ChangeCount() > 0)
        attempt([this] { CDS_SYSItemCate.SaveTableFile(FItemCateFile); });
    if (CDS_SYSItems.Active() && CDS_SYSItems.ChangeCount() > 0 &&
        ShowMessage(u"系统项目数据库已被修改，是否保存？"_s, u"保存"_s, TMsgIcon::Question, mbYes | mbNo) == mbYes)
        attempt([this] { SaveItems(); });
    if (CDS_Memos.Active() && CDS_Memos.ChangeCount() > 0)
        attempt([this] { CDS_Memos.SaveTableFile(FMemosFile); });
}

void TDataModule_Data::ListField(TqxDataSet& table, const QString& filter, const QString& field, QStringList& into)
{
    if (!table.Active())
        return;
    TqxDataSet walk;
    walk.CloneCursor(table);
    if (!filter.isEmpty()) {
        walk.SetFilter(filter);
        walk.SetFiltered(true);
    }
    TqxField* f = walk.FieldByName(field);
    for (walk.First(); !walk.Eof(); walk.Next())
        into.append(f->AsString());
}

void TDataModule_Data::ListItemCategories(QStringList& into)
{
    ListField(CDS_SYSItemCate, u"父类别="_s + quoted(u"项目类别"_s), u"类别名称"_s, into);
}

void TDataModule_Data::ListPlaces(QStringList& into)
{
    ListField(CDS_SYSItemCate, u"父类别="_s + quoted(u"施工地点"_s), u"类别名称"_s, into);
}

void TDataModule_Data::ListUnits(QStringList& into) { ListField(CDS_MeasureUnit, QString(), u"单位"_s, into); }

void TDataModule_Data::ListWords(const QString& kind, QStringList& into)
{
    ListField(CDS_Words, u"类别="_s + quoted(kind) + u" Or 类别=''"_s, u"单词"_s, into);
}

void TDataModule_Data::SaveItems()
{
    if (CDS_SYSItems.Editing())
        CDS_SYSItems.Post();
    CDS_SYSItems.SaveTableFile(FItemsFile);
}

void TDataModule_Data::CopyItemFields(TqxDataSet* source, TqxDataSet* target, const QString& fieldList)
{
    if (!source || !target)
        throw EKavelinErr(u"空数据集！"_s);
    const QStringList names = (fieldList.isEmpty() ? kDefaultItemFields : fieldList).split(u';', Qt::SkipEmptyParts);
    if (target->State() != TqxDataSetState::Insert)
        target->Edit();
    for (const QString& name : names)
        target->FieldByName(name)->SetAsVariant(source->FieldByName(name)->AsVariant());
    target->Post();
}

void TDataModule_Data::CopyToClipboard(const QList<TqxBookmark>& selectedRows, TqxDataSet* source)
{
    if (selectedRows.isEmpty() || !source)
        return;
    CDS_TempItems.EmptyDataSet();
    {
        TqxControlsLock hold(*source);
        const TqxBookmark keep = source->GetBookmark();
        for (const TqxBookmark& row : selectedRows) {
            try {
                source->GotoBookmark(row);
                CDS_TempItems.Append();
                CopyItemFields(source, &CDS_TempItems);
            } catch (const Exception&) {
                if (CDS_TempItems.State() != TqxDataSetState::Browse)
                    CDS_TempItems.Cancel();
                ShowMessage(u"记录已经不存在!"_s, u"出错"_s, TMsgIcon::Error);
            }
        }
        if (source->BookmarkValid(keep))
            source->GotoBookmark(keep);
    }
    CDS_TempItems.MergeChangeLog();
    NotifyClipboard();
}

int TDataModule_Data::PasteFromClipboard(TqxDataSet* target, int index)
{
    const int count = ClipboardCount();
    if (index < 0) {
        TqxControlsLock hold(*target);
        int pasted = 0;
        for (CDS_TempItems.First(); !CDS_TempItems.Eof(); CDS_TempItems.Next()) {
            target->Append();
            CopyItemFields(&CDS_TempItems, target);
            ++pasted;
        }
        return pasted;
    }
    if (index >= count)
        return 0;
    CDS_TempItems.SetRecNo(index + 1);
    CopyItemFields(&CDS_TempItems, target);
    return 1;
}

void TDataModule_Data::DeleteClipboardItem()
{
    if (CDS_TempItems.IsEmpty())
        return;
    CDS_TempItems.Delete();
    CDS_TempItems.MergeChangeLog();
    NotifyClipboard();
}

void TDataModule_Data::ClearClipboard()
{
    CDS_TempItems.EmptyDataSet();
    CDS_TempItems.MergeChangeLog();
    NotifyClipboard();
}

void TDataModule_Data::NotifyClipboard()
{
    if (OnClipboardCount)
        OnClipboardCount(ClipboardCount());
}

void TDataModule_Data::CDS_SYSItemsBeforePost(TqxDataSet* dataSet)
{
    if (!dataSet->FieldByName(fName)->AsString().isEmpty())
        return;
    dataSet->Cancel();
    throw EKavelinErr(u"保存项目出错：项目名称不能为空！"_s);
}

void TDataModule_Data::CDS_SYSItemCateAfterInsert(TqxDataSet* dataSet)
{
    dataSet->FieldByName(u"父类别"_s)->Clear();
    dataSet->FieldByName(u"系统"_s)->SetAsBoolean(false);
}
