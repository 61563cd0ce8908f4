#include "Win_BasicData.h"

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_RecordFind.h"
#include "qxDBCtrls.h"
#include "qxErrors.h"
#include "qxPrompter.h"
#include "qxUiFunctions.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include <array>

using namespace Qt::StringLiterals;

namespace {

const QString kAllCategories = u"<所有类别>"_s;
const QString kPlaceParent = u"施工地点"_s;
const QString fCategories = u"项目类别"_s;
const QString fWordKind = u"类别"_s;
const QString fQueryCode = u"查询码"_s;

// The word kinds a word can serve; the first one means all of them.
const QStringList kWordKinds = u"<无分类>,项目名称,项目类别,施工地点,备注"_s.split(u',');


// A remark being inserted into an empty table is a row all the same.
bool HasRow(const TqxDataSet& table)
{
    return !table.IsEmpty() || table.State() == TqxDataSetState::Insert;
}

} // namespace

TForm_BasicData::TForm_BasicData(TDataModule_Data& data, const TAppGlobalInfo& info, QWidget* parent)
    : TForm_KavelinDialog(parent), FData(data), FInfo(info)
{
    setObjectName(u"TForm_BasicData"_s);
    setWindowTitle(u"基础数据维护"_s);
    qxHeadPanel1->SetDescription(u"基础数据维护..."_s);

    DataSource_Basic = new TqxDataSource(this);
    DataSource_Basic->setObjectName(u"DataSource_Basic"_s);

    PageControl_Basic = new QTabWidget(this);
    PageControl_Basic->setObjectName(u"PageControl_Basic"_s);
    PageControl_Basic->setGeometry(8, HeadHeight + 8, 544, 344);

    qxDBGrid_Unit = AddPage(u"计量单位"_s, u"Unit"_s, nullptr, nullptr);
    qxDBGrid_Unit->AddColumn(u"单位"_s, u"计量单位"_s, 220)->SetImeMode(imOpen);
    qxDBGrid_Unit->AddColumn(fQueryCode, QString(), 160)->SetImeMode(imClose);

    CheckListBox_Cate = new QListWidget;
    CheckListBox_Cate->setObjectName(u"CheckListBox_Cate"_s);
    CheckListBox_Cate->setFixedWidth(150);
    qxDBGrid_Memo = AddPage(u"工艺材料、备注"_s, u"Memo"_s, nullptr, CheckListBox_Cate);
    qxDBGrid_Memo->AddColumn(u"备注"_s, u"工艺材料、备注"_s, 200)->SetImeMode(imOpen);
    qxDBGrid_Memo->AddColumn(fQueryCode, QString(), 110)->SetImeMode(imClose);

    qxDBGrid_Place = AddPage(u"施工地点"_s, u"Place"_s, nullptr, nullptr);
    qxDBGrid_Place->AddColumn(u"类别名称"_s, u"地点名称"_s, 220)->SetImeMode(imOpen);
    qxDBGrid_Place->AddColumn(fQueryCode, QString(), 160)->SetImeMode(imClose);

    auto* kindRow = new QWidget;
    auto* kindLayout = new QHBoxLayout(kindRow);
    kindLayout->setContentsMargins(0, 0, 0, 0);
    Label_WordKind = new QLabel(u"单词分类(&T):"_s);
    Label_WordKind->setObjectName(u"Label_WordKind"_s);
    ComboBox_WordKind = new QComboBox;
    ComboBox_WordKind->setObjectName(u"ComboBox_WordKind"_s);
    ComboBox_WordKind->setMinimumWidth(160);
    Label_WordKind->setBuddy(ComboBox_WordKind);
    kindLayout->addWidget(Label_WordKind);
    kindLayout->addWidget(ComboBox_WordKind);
    kindLayout->addStretch();
    qxDBGrid_Words = AddPage(u"单词库"_s, u"Words"_s, kindRow, nullptr);
    qxDBGrid_Words->AddColumn(u"单词"_s, QString(), 220)->SetImeMode(imOpen);

    qxDBNavigator_Basic = new TqxDBNavigator(this);
    qxDBNavigator_Basic->setObjectName(u"qxDBNavigator_Basic"_s);
    qxDBNavigator_Basic->SetVisibleButtons({nbInsert, nbDelete, nbEdit, nbPost, nbCancel});
    qxDBNavigator_Basic->SetCaptions({u"首记录"_s, u"上一条"_s, u"下一条"_s, u"尾记录"_s, u"插入"_s, u"删除"_s,
                                      u"编辑"_s, u"提交"_s, u"撤销"_s});
    qxDBNavigator_Basic->SetShowCaptions(true);
    qxDBNavigator_Basic->SetConfirmDelete(false);
    qxDBNavigator_Basic->SetDataSource(DataSource_Basic);
    qxDBNavigator_Basic->setGeometry(8, HeadHeight + 360, 290, 27);

    Button_Find = AddButton(u"查询(&F)..."_s, QRect(305, HeadHeight + 361, 80, 25));
    Button_Find->setObjectName(u"Button_Find"_s);
    Button_Save = AddButton(u"保存(&S)"_s, QRect(391, HeadHeight + 361, 78, 25), true);
    Button_Save->setObjectName(u"Button_Save"_s);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(474, HeadHeight + 361, 78, 25));
    Button_Cancel->setObjectName(u"Button_Cancel"_s);
    connect(Button_Find, &QPushButton::clicked, this, &TForm_BasicData::FindClick);
    connect(Button_Save, &QPushButton::clicked, this, &TForm_BasicData::SaveClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_BasicData::reject);

    SetClientSize(560, HeadHeight + 397);
    FormCreate();
    qxDBGrid_Unit->setFocus();
}

TForm_BasicData::~TForm_BasicData()
{
    // The clones go before the controls that show them.
    DataSource_Basic->SetDataSet(nullptr);
}

TqxDBGrid* TForm_BasicData::AddPage(const QString& caption, const QString& name, QWidget* above, QWidget* beside)
{
    auto* page = new QWidget;
    page->setObjectName(u"TabSheet_"_s + name);
    auto* rows = new QVBoxLayout(page);
    rows->setContentsMargins(6, 6, 6, 6);
    if (above)
        rows->addWidget(above);
    auto* grid = new TqxDBGrid;
    grid->setObjectName(u"qxDBGrid_"_s + name);
    grid->SetEnterToNext(true);
    grid->SetEofCanAppend(true);
    if (beside) {
        auto* columns = new QHBoxLayout;
        columns->addWidget(grid);
        columns->addWidget(beside);
        rows->addLayout(columns);
    } else {
        rows->addWidget(grid);
    }
    PageControl_Basic->addTab(page, caption);
    return grid;
}

void TForm_BasicData::FormCreate()
{
    QStringList categories{kAllCategories};
    FData.ListItemCategories(categories);
    for (const QString& name : categories) {
        auto* item = new QListWidgetItem(name, CheckListBox_Cate);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    connect(CheckListBox_Cate, &QListWidget::itemChanged, this, &TForm_BasicData::CategoryChanged);

    cds_Place.BeforePost = [this](TqxDataSet* ds) { cds_PlaceBeforePost(ds); };
    cds_Words.BeforePost = [this](TqxDataSet* ds) { cds_WordsBeforePost(ds); };
    cds_Memos.OnNewRecord = [this](TqxDataSet* ds) { cds_MemosNewRecord(ds); };
    cds_Memos.AfterScroll = [this](TqxDataSet*) { ShowMemoCategories(); };
    cds_Memos.AfterCancel = [this](TqxDataSet*) { ShowMemoCategories(); };

    cds_Place.CloneCursor(FData.CDS_SYSItemCate);
    cds_Place.SetFilter(u"父类别='"_s + kPlaceParent + u'\'');
    cds_Place.SetFiltered(true);
    cds_Place.First();
    cds_Words.CloneCursor(FData.CDS_Words);
    cds_Words.First();
    cds_Memos.CloneCursor(FData.CDS_Memos);
    cds_Memos.First();
    ShowMemoCategories();

    PageChanged(pgUnit);
    connect(PageControl_Basic, &QTabWidget::currentChanged, this, &TForm_BasicData::PageChanged);

    ComboBox_WordKind->addItems(kWordKinds);
    ComboBox_WordKind->setCurrentIndex(0);
    FWordKind = 0;
    connect(ComboBox_WordKind, &QComboBox::currentIndexChanged, this, &TForm_BasicData::WordKindChanged);
}

TqxDataSet* TForm_BasicData::PageTable(int page)
{
    switch (page) {
    case pgUnit:
        return &FData.CDS_MeasureUnit;
    case pgMemo:
        return &cds_Memos;
    case pgPlace:
        return &cds_Place;
    case pgWords:
        return &cds_Words;
    default:
        return nullptr;
    }
}

TqxDBGrid* TForm_BasicData::PageGrid(int page) const
{
    const std::array<TqxDBGrid*, PageCount> grids{qxDBGrid_Unit, qxDBGrid_Memo, qxDBGrid_Place, qxDBGrid_Words};
    return page >= 0 && page < PageCount ? grids[size_t(page)] : nullptr;
}

void TForm_BasicData::PageChanged(int page)
{
    // What is being typed belongs to the row of the page being left.
    DataSource_Basic->UpdateRecord();
    DataSource_Basic->SetDataSet(PageTable(page));
    // Only the shown grid follows the data source: a hidden grid over a
    // table without its first column would lose its place in its own rows.
    for (int p = 0; p < PageCount; ++p)
        PageGrid(p)->SetDataSource(p == page ? DataSource_Basic : nullptr);
}

// ---------------------------------------------------------------- saving and closing

bool TForm_BasicData::HasBasicDataChanges()
{
    DataSource_Basic->UpdateRecord();
    bool pending = false;
    for (const int page : {pgMemo, pgPlace, pgUnit, pgWords}) {
        TqxDataSet* table = PageTable(page);
        try {
            table->CheckBrowseMode();
        } catch (const Exception&) {
            pending = true; // still being edited: a change all the same
        }
    }
    for (int page = 0; page < PageCount; ++page)
        if (PageTable(page)->ChangeCount() > 0)
            return true;
    return pending;
}

// A row appended by Enter and left untouched is dropped, not saved as an empty row.
bool TForm_BasicData::PostPendingEdits()
{
    DataSource_Basic->UpdateRecord();
    for (const int page : {pgMemo, pgPlace, pgUnit, pgWords}) {
        try {
            PageTable(page)->CheckBrowseMode();
        } catch (const Exception& e) {
            PageControl_Basic->setCurrentIndex(page); // show the row that needs mending
            ShowExceptionMessage(e.Message);
            return false;
        }
    }
    return true;
}

bool TForm_BasicData::SaveBasicData()
{
    if (!PostPendingEdits())
        return false;
    const struct {
        int Page;
        const QString& Key;
    } files[] = {{pgUnit, TDataModule_Data::UnitsKey},
                 {pgMemo, TDataModule_Data::MemosKey},
                 {pgPlace, TDataModule_Data::ItemCateKey},
                 {pgWords, TDataModule_Data::WordsKey}};
    bool saved = true;
    for (const auto& file : files) {
        TqxDataSet* table = PageTable(file.Page);
        if (table->ChangeCount() == 0)
            continue;
        try {
            table->SaveTableFile(FInfo.GetFileName(file.Key));
        } catch (const Exception& e) {
            // The changes stay counted, so they are still offered for saving.
            ShowMessage(e.Message, u"保存失败"_s, TMsgIcon::Error);
            saved = false;
        }
    }
    return saved;
}

void TForm_BasicData::CancelBasicData()
{
    for (int page = 0; page < PageCount; ++page) {
        TqxDataSet* table = PageTable(page);
        table->Cancel();
        if (table->ChangeCount() > 0)
            table->CancelUpdates();
    }
}

bool TForm_BasicData::CloseQuery()
{
    if (!HasBasicDataChanges())
        return true;
    switch (ShowMessage(u"数据已被修改，是否保存？"_s, u"提示"_s, TMsgIcon::Question, mbYes | mbNo | mbCancel)) {
    case mbYes:
        return SaveBasicData(); // what could not be saved keeps the window open
    case mbNo:
        CancelBasicData();
        return true;
    default:
        return false;
    }
}

void TForm_BasicData::reject()
{
    if (CloseQuery())
        TForm_KavelinDialog::reject();
}

void TForm_BasicData::SaveClick()
{
    if (SaveBasicData())
        accept();
}

void TForm_BasicData::FindClick()
{
    ShowRecordFind(PageGrid(PageControl_Basic->currentIndex()));
}

// ---------------------------------------------------------------- table rules

void TForm_BasicData::cds_PlaceBeforePost(TqxDataSet* dataSet)
{
    dataSet->FieldByName(u"父类别"_s)->SetAsString(kPlaceParent);
}

void TForm_BasicData::cds_WordsBeforePost(TqxDataSet* dataSet)
{
    const int kind = FWordKind;
    // While all words are shown, an edited word keeps the kind it has; only
    // a new one becomes a word for all kinds.
    if (kind <= 0 && dataSet->State() != TqxDataSetState::Insert)
        return;
    dataSet->FieldByName(fWordKind)->SetAsString(kind > 0 ? kWordKinds[kind] : QString());
}

void TForm_BasicData::cds_MemosNewRecord(TqxDataSet* dataSet)
{
    dataSet->FieldByName(fCategories)->SetAsString(QString());
}

void TForm_BasicData::WordKindChanged(int index)
{
    // A word still being typed gets the kind it was typed under.
    DataSource_Basic->UpdateRecord();
    try {
        cds_Words.CheckBrowseMode();
    } catch (const Exception& e) {
        const QSignalBlocker quiet(ComboBox_WordKind);
        ComboBox_WordKind->setCurrentIndex(FWordKind);
        ShowExceptionMessage(e.Message);
        return;
    }
    FWordKind = index;
    try {
        if (index <= 0) {
            cds_Words.SetFiltered(false);
        } else {
            cds_Words.SetFilter(fWordKind + u"='"_s + kWordKinds[index] + u'\'');
            cds_Words.SetFiltered(true);
        }
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
}

// ---------------------------------------------------------------- remark categories

void TForm_BasicData::ShowMemoCategories()
{
    FShowingCategories = true;
    for (int i = 0; i < CheckListBox_Cate->count(); ++i)
        CheckListBox_Cate->item(i)->setCheckState(Qt::Unchecked);
    if (HasRow(cds_Memos)) {
        const QString value = cds_Memos.FieldByName(fCategories)->AsString();
        if (value.isEmpty()) {
            CheckListBox_Cate->item(0)->setCheckState(Qt::Checked);
        } else {
            for (const QString& part : value.split(u';'))
                for (QListWidgetItem* item : CheckListBox_Cate->findItems(part, Qt::MatchExactly))
                    item->setCheckState(Qt::Checked);
        }
    }
    FShowingCategories = false;
}

QString TForm_BasicData::CheckedCategories() const
{
    QStringList checked;
    for (int i = 1; i < CheckListBox_Cate->count(); ++i)
        if (CheckListBox_Cate->item(i)->checkState() == Qt::Checked)
            checked << CheckListBox_Cate->item(i)->text();
    return checked.join(u';');
}

void TForm_BasicData::CategoryChanged(QListWidgetItem* item)
{
    if (FShowingCategories)
        return;
    if (!HasRow(cds_Memos)) {
        ShowMemoCategories(); // nothing to tick
        return;
    }
    const bool checked = item->checkState() == Qt::Checked;
    const int row = CheckListBox_Cate->row(item);
    QString text;
    FShowingCategories = true;
    if (CheckListBox_Cate->count() > 1) {
        if (row == 0) {
            if (checked)
                for (int i = 1; i < CheckListBox_Cate->count(); ++i)
                    CheckListBox_Cate->item(i)->setCheckState(Qt::Unchecked);
        } else {
            if (checked)
                CheckListBox_Cate->item(0)->setCheckState(Qt::Unchecked);
            text = CheckedCategories();
        }
    }
    FShowingCategories = false;
    try {
        DataSource_Basic->UpdateRecord();
        if (!cds_Memos.Editing())
            cds_Memos.Edit();
        cds_Memos.FieldByName(fCategories)->SetAsString(text);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
}

// ---------------------------------------------------------------- the window's life

bool EditBasicData(TDataModule_Data& data, const TAppGlobalInfo& info, QWidget* owner)
{
    bool ok = false;
    {
        TForm_BasicData form(data, info, owner);
        form.CenterOn(owner);
        ok = form.exec() == QDialog::Accepted;
    }
    if (!ok) {
        data.ReopenMeasureUnit(info);
        return false;
    }
    try {
        data.CDS_MeasureUnit.SaveTableFile(info.GetFileName(TDataModule_Data::UnitsKey));
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"保存失败"_s, TMsgIcon::Error);
    }
    return true;
}
