#include "Win_EditItem.h"

#include "DataModule_App.h"
#include "qxCtrls_LabeledComboBox.h"
#include "qxCtrls_LabeledEdit.h"
#include "qxErrors.h"
#include "qxPrompter.h"

#include <QCoreApplication>
#include <QDoubleValidator>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString fCategory = u"项目类别"_s;
const QString fName = u"项目名称"_s;
const QString fUnit = u"单位"_s;
const QString fPrice = u"单价"_s;
const QString fMemo = u"备注"_s;
const QString fQueryCode = u"查询码"_s;
const QString kNone = u"<无>"_s;


} // namespace

TForm_EditItem::TForm_EditItem(TDataModule_Data& data, QWidget* parent)
    : TForm_KavelinDialog(parent), FData(data), FTable(data.CDS_SYSItems)
{
    setObjectName(u"TForm_EditItem"_s);
    setWindowTitle(u"项目的维护"_s);
    qxHeadPanel1->SetDescription(u"新增、修改某一项目信息..."_s);
    const int top = HeadHeight + 12;
    const int left = 96;

    auto combo = [this](const QString& caption, int y) {
        auto* c = new TqxLabeledComboBox(this);
        c->SetLabelPosition(lpLeft);
        c->EditLabel()->setText(caption);
        c->SetKeyEnterToNext(true);
        c->setMaxVisibleItems(20);
        c->setGeometry(left, y, 260, 21);
        return c;
    };
    auto edit = [this](const QString& caption, int y) {
        auto* e = new TqxLabeledEdit(this);
        e->SetLabelPosition(lpLeft);
        e->EditLabel()->setText(caption);
        e->SetKeyEnterToNext(true);
        e->setGeometry(left, y, 260, 21);
        return e;
    };

    ComboBox_Category = combo(u"项目类别(&T):"_s, top);
    ComboBox_Category->setObjectName(u"ComboBox_Category"_s);
    ComboBox_Category->SetComboStyle(csDropDownList);
    QStringList categories{kNone};
    FData.ListItemCategories(categories);
    ComboBox_Category->addItems(categories);
    Edit_Name = edit(u"名称(&N):"_s, top + 28);
    Edit_Name->setObjectName(u"Edit_Name"_s);
    ComboBox_Unit = combo(u"单位(&D):"_s, top + 56);
    ComboBox_Unit->setObjectName(u"ComboBox_Unit"_s);
    ComboBox_Unit->SetComboStyle(csDropDown);
    QStringList units;
    FData.ListUnits(units);
    ComboBox_Unit->addItems(units);
    Edit_Price = edit(u"单价(&P):"_s, top + 84);
    Edit_Price->setObjectName(u"Edit_Price"_s);
    Edit_Price->setValidator(new QDoubleValidator(-1e12, 1e12, 4, Edit_Price));
    Edit_Memo = edit(u"备注(&M):"_s, top + 112);
    Edit_Memo->setObjectName(u"Edit_Memo"_s);
    Edit_QueryCode = edit(u"查询码(&F):"_s, top + 140);
    Edit_QueryCode->setObjectName(u"Edit_QueryCode"_s);
    Edit_QueryCode->SetKeyEnterToNext(false);
    Edit_QueryCode->installEventFilter(this);
    ComboBox_Category->installEventFilter(this);

    const int by = top + 176;
    Button_New = AddButton(u"新增(&A)"_s, QRect(12, by, 84, 25));
    Button_Delete = AddButton(u"删除(&D)"_s, QRect(100, by, 84, 25));
    Button_Save = AddButton(u"保存修改(&S)"_s, QRect(188, by, 90, 25));
    Button_Prior = AddButton(u"上一项目(&U)"_s, QRect(12, by + 30, 84, 25));
    Button_Next = AddButton(u"下一项目(&W)"_s, QRect(100, by + 30, 84, 25));
    Button_Close = AddButton(u"关闭(&C)"_s, QRect(282, by + 30, 84, 25));
    Button_New->setObjectName(u"Button_New"_s);
    Button_Delete->setObjectName(u"Button_Delete"_s);
    Button_Save->setObjectName(u"Button_Save"_s);
    Button_Prior->setObjectName(u"Button_Prior"_s);
    Button_Next->setObjectName(u"Button_Next"_s);
    Button_Close->setObjectName(u"Button_Close"_s);
    for (QPushButton* b : {Button_New, Button_Delete, Button_Save, Button_Prior, Button_Next, Button_Close})
        b->setAutoDefault(false);
    connect(Button_New, &QPushButton::clicked, this, &TForm_EditItem::NewClick);
    connect(Button_Delete, &QPushButton::clicked, this, &TForm_EditItem::DeleteClick);
    connect(Button_Save, &QPushButton::clicked, this, &TForm_EditItem::SaveClick);
    connect(Button_Prior, &QPushButton::clicked, this, &TForm_EditItem::PriorClick);
    connect(Button_Next, &QPushButton::clicked, this, &TForm_EditItem::NextClick);
    connect(Button_Close, &QPushButton::clicked, this, &QDialog::reject);

    // "<无>" means no category: the item is stored without one.
    connect(ComboBox_Category, &QComboBox::textActivated, this,
            [this](const QString& text) { FieldEdited(fCategory, text == kNone ? QString() : text); });
    connect(Edit_Name, &QLineEdit::textEdited, this, [this](const QString& t) { FieldEdited(fName, t); });
    connect(ComboBox_Unit, &QComboBox::editTextChanged, this, [this](const QString& t) { FieldEdited(fUnit, t); });
    connect(Edit_Price, &QLineEdit::textEdited, this, [this](const QString& t) { FieldEdited(fPrice, t); });
    connect(Edit_Memo, &QLineEdit::textEdited, this, [this](const QString& t) { FieldEdited(fMemo, t); });
    connect(Edit_QueryCode, &QLineEdit::textEdited, this, [this](const QString& t) { FieldEdited(fQueryCode, t); });

    SetClientSize(378, by + 64);
    CenterOnScreen();
    ShowRow();
    ComboBox_Category->setFocus();
}

bool TForm_EditItem::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit_QueryCode && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Button_New->setFocus();
            return true;
        }
    }
    // Leaving the category field: what it shows is where new items go.
    if (watched == ComboBox_Category && event->type() == QEvent::FocusOut)
        FDefaultCategory = ComboBox_Category->currentText() == kNone ? QString() : ComboBox_Category->currentText();
    return TForm_KavelinDialog::eventFilter(watched, event);
}

void TForm_EditItem::Guard(const std::function<void()>& work)
{
    try {
        work();
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"提示"_s, TMsgIcon::Error);
    }
    ShowRow();
}

void TForm_EditItem::ShowRow()
{
    FShowing = true;
    const bool hasRow = !FTable.IsEmpty() || FTable.State() == TqxDataSetState::Insert;
    auto text = [&](const QString& field) { return hasRow ? FTable.FieldByName(field)->AsString() : QString(); };
    const QString category = text(fCategory);
    int at = ComboBox_Category->findText(category);
    if (at < 0 && !category.isEmpty()) {
        ComboBox_Category->addItem(category);
        at = ComboBox_Category->count() - 1;
    }
    ComboBox_Category->setCurrentIndex(hasRow && category.isEmpty() ? 0 : at);
    Edit_Name->setText(text(fName));
    ComboBox_Unit->setEditText(text(fUnit));
    Edit_Price->setText(hasRow && !FTable.FieldByName(fPrice)->IsNull() ? text(fPrice) : QString());
    Edit_Memo->setText(text(fMemo));
    Edit_QueryCode->setText(text(fQueryCode));
    FShowing = false;
}

void TForm_EditItem::FieldEdited(const QString& field, const QString& text)
{
    if (FShowing)
        return;
    try {
        if (!FTable.Editing())
            FTable.Edit();
        if (field == fPrice)
            FTable.FieldByName(field)->SetAsVariant(text.isEmpty() ? QVariant() : QVariant(text.toDouble()));
        else
            FTable.FieldByName(field)->SetAsString(text);
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"提示"_s, TMsgIcon::Error);
    }
}

void TForm_EditItem::NewClick()
{
    QCoreApplication::processEvents();
    Guard([&] {
        FTable.Append();
        if (!FDefaultCategory.isEmpty())
            FTable.FieldByName(fCategory)->SetAsString(FDefaultCategory);
    });
    if (isVisible()) {
        if (FDefaultCategory.isEmpty())
            ComboBox_Category->setFocus();
        else
            Edit_Name->setFocus();
    }
}

void TForm_EditItem::DeleteClick()
{
    Guard([&] {
        if (!FTable.IsEmpty() || FTable.State() == TqxDataSetState::Insert)
            FTable.Delete();
    });
}

void TForm_EditItem::SaveClick()
{
    Guard([&] { FData.SaveItems(); });
}

void TForm_EditItem::PriorClick()
{
    Guard([&] {
        if (!FTable.Bof())
            FTable.Prior();
    });
}

void TForm_EditItem::NextClick()
{
    Guard([&] {
        if (!FTable.Eof())
            FTable.Next();
    });
}

bool TForm_EditItem::CloseQuery()
{
    if (!FTable.Editing() && FTable.ChangeCount() == 0)
        return true;
    const int answer = ShowMessage(u"项目库已被修改，是否保存？"_s, u"提示"_s, TMsgIcon::Question,
                                   mbYes | mbNo | mbCancel);
    if (answer == mbCancel)
        return false;
    if (answer == mbYes) {
        try {
            FData.SaveItems();
        } catch (const Exception& e) {
            ShowMessage(e.Message, u"保存失败"_s, TMsgIcon::Error);
            return false;
        }
        return true;
    }
    if (FTable.Editing())
        FTable.Cancel();
    FTable.CancelUpdates();
    FTable.MergeChangeLog();
    return true;
}

void TForm_EditItem::done(int result)
{
    if (!CloseQuery())
        return;
    TForm_KavelinDialog::done(result);
}

void EditItem(TDataModule_Data& data, const QString& defaultCategory, bool isNew, QWidget* owner,
              const TDialogRunner& run)
{
    TForm_EditItem editor(data, owner);
    editor.SetDefaultCategory(defaultCategory);
    if (isNew)
        editor.NewClick();
    run(editor);
}
