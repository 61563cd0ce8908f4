#include "Win_EditItemCate.h"

#include "qxCtrls_LabeledComboBox.h"
#include "qxCtrls_LabeledEdit.h"
#include "qxDataSet.h"
#include "qxPrompter.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {

const QString fParent = u"父类别"_s;
const QString fName = u"类别名称"_s;
const QString fField = u"条件字段"_s;
const QString fMode = u"过滤模式"_s;
const QString fValue = u"过滤内容"_s;
const QString fQueryCode = u"查询码"_s;
const QString fSystem = u"系统"_s;

TqxLabeledEdit* labeledEdit(QWidget* parent, const QString& caption, const QRect& at)
{
    auto* edit = new TqxLabeledEdit(parent);
    edit->SetLabelPosition(lpLeft);
    edit->EditLabel()->setText(caption);
    edit->SetKeyEnterToNext(true);
    edit->setGeometry(at);
    return edit;
}


} // namespace

int ExecDialog(QDialog& dialog) { return dialog.exec(); }

TForm_EditItemCate::TForm_EditItemCate(TqxDataSet& categories, QWidget* parent)
    : TForm_CustomBasicDialog(parent), FTable(categories)
{
    setObjectName(u"TForm_EditItemCate"_s);
    setWindowTitle(u"项目分类定义"_s);
    qxHeadPanel1->SetDescription(u"定义不同的项目分类，以便能更好的使用项目..."_s);
    const int top = HeadHeight + 12;

    auto* parentCaption = new QLabel(u"上级分类:"_s, this);
    parentCaption->setGeometry(16, top, 90, 21);
    Label_Parent = new QLabel(this);
    Label_Parent->setObjectName(u"Label_Parent"_s);
    Label_Parent->setGeometry(110, top, 250, 21);

    Edit_Name = labeledEdit(this, u"分类名称(&K):"_s, QRect(110, top + 28, 250, 21));
    Edit_Name->setObjectName(u"Edit_Name"_s);

    ComboBox_Field = new TqxLabeledComboBox(this);
    ComboBox_Field->setObjectName(u"ComboBox_Field"_s);
    ComboBox_Field->SetLabelPosition(lpLeft);
    ComboBox_Field->EditLabel()->setText(u"分类内容(&A):"_s);
    ComboBox_Field->SetComboStyle(csDropDown);
    ComboBox_Field->SetKeyEnterToNext(true);
    ComboBox_Field->addItems({u"项目类别"_s, u"项目名称"_s, u"单位"_s, u"备注"_s});
    ComboBox_Field->setGeometry(110, top + 56, 250, 21);

    auto* modes = new QGroupBox(u"分类方式"_s, this);
    modes->setObjectName(u"RadioGroup_Mode"_s);
    modes->setGeometry(16, top + 86, 344, 48);
    auto* modeRow = new QHBoxLayout(modes);
    const QStringList captions{u"所有项目"_s, u"内容等于值"_s, u"内容包含值"_s};
    for (int i = 0; i < 3; ++i) {
        RadioButton_Mode[i] = new QRadioButton(captions[i], modes);
        RadioButton_Mode[i]->setObjectName(u"RadioButton_Mode%1"_s.arg(i));
        modeRow->addWidget(RadioButton_Mode[i]);
    }

    Edit_Value = labeledEdit(this, u"分类值(&V):"_s, QRect(110, top + 144, 250, 21));
    Edit_Value->setObjectName(u"Edit_Value"_s);
    Edit_QueryCode = labeledEdit(this, u"查询码(&S):"_s, QRect(110, top + 172, 250, 21));
    Edit_QueryCode->setObjectName(u"Edit_QueryCode"_s);
    CheckBox_System = new QCheckBox(u"系统分类"_s, this);
    CheckBox_System->setObjectName(u"CheckBox_System"_s);
    CheckBox_System->setGeometry(110, top + 200, 120, 21);
    CheckBox_System->setAttribute(Qt::WA_TransparentForMouseEvents);
    CheckBox_System->setFocusPolicy(Qt::NoFocus);

    Button_OK = AddButton(u"确定(&Y)"_s, QRect(200, top + 232, 76, 25), true);
    Button_OK->setObjectName(u"Button_OK"_s);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(284, top + 232, 76, 25));
    Button_Cancel->setObjectName(u"Button_Cancel"_s);
    connect(Button_OK, &QPushButton::clicked, this, &TForm_EditItemCate::OKClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    SetClientSize(376, top + 266);
    CenterOnScreen();
}

void TForm_EditItemCate::BeginNew(const QString& parentName)
{
    FIsNew = true;
    FTable.Append();
    FTable.FieldByName(fParent)->SetAsString(parentName);
    FTable.FieldByName(fSystem)->SetAsBoolean(false);
    FTable.FieldByName(fMode)->SetAsInteger(2);
    ShowRow();
}

bool TForm_EditItemCate::BeginModify(const QString& parentName, const QString& name)
{
    FIsNew = false;
    if (!FTable.Locate(fParent + u';' + fName, QVariantList{parentName, name}))
        return false;
    FOldName = name;
    FTable.Edit();
    ShowRow();
    Edit_Name->setEnabled(!FTable.FieldByName(fSystem)->AsBoolean());
    return true;
}

void TForm_EditItemCate::ShowRow()
{
    Label_Parent->setText(FTable.FieldByName(fParent)->AsString());
    Edit_Name->setText(FTable.FieldByName(fName)->AsString());
    ComboBox_Field->setEditText(FTable.FieldByName(fField)->AsString());
    const int mode = FTable.FieldByName(fMode)->AsInteger();
    for (int i = 0; i < 3; ++i)
        RadioButton_Mode[i]->setChecked(i == mode);
    Edit_Value->setText(FTable.FieldByName(fValue)->AsString());
    Edit_QueryCode->setText(FTable.FieldByName(fQueryCode)->AsString());
    CheckBox_System->setChecked(FTable.FieldByName(fSystem)->AsBoolean());
    Edit_Name->setFocus();
}

int TForm_EditItemCate::Mode() const
{
    for (int i = 0; i < 3; ++i)
        if (RadioButton_Mode[i]->isChecked())
            return i;
    return FTable.FieldByName(fMode)->AsInteger();
}

void TForm_EditItemCate::WriteRow()
{
    FTable.FieldByName(fName)->SetAsString(Edit_Name->text().trimmed());
    FTable.FieldByName(fField)->SetAsString(ComboBox_Field->currentText().trimmed());
    FTable.FieldByName(fMode)->SetAsInteger(Mode());
    FTable.FieldByName(fValue)->SetAsString(Edit_Value->text());
    FTable.FieldByName(fQueryCode)->SetAsString(Edit_QueryCode->text());
}

void TForm_EditItemCate::OKClick()
{
    if (!FTable.Editing())
        return;
    WriteRow();
    const QString name = FTable.FieldByName(fName)->AsString();
    if (name.isEmpty()) {
        ShowMessage(u"分类名称不能为空，请重新输入！"_s, u"重新输入"_s, TMsgIcon::Information);
        Edit_Name->setFocus();
        return;
    }
    if (FTable.FieldByName(fMode)->AsInteger() != 0 && FTable.FieldByName(fField)->AsString().isEmpty()) {
        ShowMessage(u"分类内容不能为空！"_s, u"为空"_s, TMsgIcon::Information);
        ComboBox_Field->setFocus();
        return;
    }
    if (FIsNew) {
        TqxDataSet all;
        all.CloneCursor(FTable);
        if (all.Locate(fName, name)) {
            ShowMessage(u"类别已存在，请重新输入类别名称！"_s, u"重复类别"_s, TMsgIcon::Information);
            Edit_Name->setFocus();
            return;
        }
    }
    accept();
}

void TForm_EditItemCate::Finish(bool ok)
{
    if (!ok) {
        if (FTable.Editing())
            FTable.Cancel();
        return;
    }
    if (FTable.Editing())
        FTable.Post();
    const QString newName = FTable.FieldByName(fName)->AsString();
    if (FIsNew || newName == FOldName)
        return;
    // The sub-categories name their parent: they follow it to its new name.
    TqxDataSet walk;
    walk.CloneCursor(FTable);
    QList<TqxBookmark> children;
    for (walk.First(); !walk.Eof(); walk.Next())
        if (walk.FieldByName(fParent)->AsString() == FOldName)
            children.append(walk.GetBookmark());
    for (const TqxBookmark& b : children) {
        walk.GotoBookmark(b);
        walk.Edit();
        walk.FieldByName(fParent)->SetAsString(newName);
        walk.Post();
    }
}

bool NewCategoryDialog(TqxDataSet& categories, const QString& parentName, QWidget* owner, const TDialogRunner& run)
{
    TForm_EditItemCate dialog(categories, owner);
    dialog.BeginNew(parentName);
    const bool ok = run(dialog) == QDialog::Accepted;
    dialog.Finish(ok);
    return ok;
}

bool ModifyCategoryDialog(TqxDataSet& categories, const QString& parentName, const QString& name, QWidget* owner,
                          const TDialogRunner& run)
{
    TForm_EditItemCate dialog(categories, owner);
    if (!dialog.BeginModify(parentName, name))
        return false;
    const bool ok = run(dialog) == QDialog::Accepted;
    dialog.Finish(ok);
    return ok;
}
