#include "Win_InputBox.h"

#include "qxCtrls_LabeledEdit.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_InputBox::TForm_InputBox(const QString& caption, const QString& prompt, int maxLength, bool password,
                               const QString& value, QWidget* parent)
    : TForm_CustomBasicDialog(parent)
{
    setWindowTitle(caption.trimmed().isEmpty() ? u"输入对话框"_s : caption);
    qxHeadPanel1->SetDescription(u"请输入所需的内容:"_s);

    Edit_Value = new TqxLabeledEdit(this);
    Edit_Value->setGeometry(16, 80, 328, 24);
    if (!prompt.trimmed().isEmpty())
        Edit_Value->EditLabel()->SetCaption(prompt);
    else
        Edit_Value->EditLabel()->hide();
    Edit_Value->setMaxLength(maxLength > 0 ? maxLength : 32767);
    if (password)
        Edit_Value->SetPasswordChar(u'*');
    Edit_Value->setText(value);

    Button_OK = AddButton(u"确定(&Y)"_s, QRect(184, 124, 75, 25), true);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(269, 124, 75, 25));
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    SetClientSize(360, 162);
    CenterOnScreen();
    Edit_Value->setFocus();
}

QString TForm_InputBox::Value() const { return Edit_Value->text(); }

bool InputBox(const QString& caption, const QString& prompt, int maxLength, bool password, QString& value)
{
    TForm_InputBox dialog(caption, prompt, maxLength, password, value);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.Value();
    return true;
}
