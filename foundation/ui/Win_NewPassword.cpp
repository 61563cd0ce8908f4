#include "Win_NewPassword.h"

#include "qxCtrls_LabeledEdit.h"
#include "qxPrompter.h"

#include <QGroupBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

TqxLabeledEdit* passwordEdit(QWidget* parent, const QString& caption, int top)
{
    auto* edit = new TqxLabeledEdit(parent);
    edit->setGeometry(100, top, 200, 24);
    edit->SetPasswordChar(u'*');
    edit->SetLabelPosition(lpLeft);
    edit->EditLabel()->SetCaption(caption);
    return edit;
}

} // namespace

TForm_NewPassword::TForm_NewPassword(const QString& currentPassword, QWidget* parent)
    : TForm_CustomBasicDialog(parent), FCurrent(currentPassword)
{
    setWindowTitle(u"设置密码"_s);
    qxHeadPanel1->SetDescription(u"修改您的密码，修改后请一定记住新密码！"_s);

    GroupBox_Password = new QGroupBox(u"密码"_s, this);
    GroupBox_Password->setGeometry(12, 52, 336, 126);
    Edit_Old = passwordEdit(GroupBox_Password, u"旧密码(&O):"_s, 24);
    Edit_New = passwordEdit(GroupBox_Password, u"新密码(&N):"_s, 56);
    Edit_Confirm = passwordEdit(GroupBox_Password, u"确认密码(&R):"_s, 88);
    Edit_Old->SetKeyDownToNext(true);
    Edit_New->SetKeyDownToNext(true);
    Edit_New->SetKeyUpToPrior(true);
    Edit_Confirm->SetKeyUpToPrior(true);

    Button_OK = AddButton(u"确定(&O)"_s, QRect(188, 190, 75, 25), true);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(273, 190, 75, 25));
    connect(Button_OK, &QPushButton::clicked, this, &TForm_NewPassword::CheckAndAccept);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto enableOK = [this] { Button_OK->setEnabled(Edit_New->text() == Edit_Confirm->text()); };
    connect(Edit_New, &QLineEdit::textChanged, this, enableOK);
    connect(Edit_Confirm, &QLineEdit::textChanged, this, enableOK);
    enableOK();

    SetClientSize(360, 228);
    CenterOnScreen();
    Edit_Old->setFocus();
}

QString TForm_NewPassword::NewPassword() const { return Edit_New->text(); }

void TForm_NewPassword::CheckAndAccept()
{
    if (Edit_Old->text() != FCurrent) {
        ShowMessage(u"密码不正确，请重输！"_s, u"密码错"_s, TMsgIcon::Information);
        Edit_Old->setFocus();
        return;
    }
    accept();
}

bool GetNewPassword(QString& password)
{
    TForm_NewPassword dialog(password);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    password = dialog.NewPassword();
    return true;
}
