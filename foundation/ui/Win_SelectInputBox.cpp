#include "Win_SelectInputBox.h"

#include "qxCtrls_LabeledComboBox.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_SelectInputBox::TForm_SelectInputBox(const QString& caption, const QString& prompt, const QString& value,
                                           const QStringList& items, QWidget* parent)
    : TForm_CustomBasicDialog(parent)
{
    setWindowTitle(caption.trimmed().isEmpty() ? u"输入对话框"_s : caption);
    qxHeadPanel1->SetDescription(u"请输入或选择所需的内容..."_s);

    ComboBox_Value = new TqxLabeledComboBox(this);
    ComboBox_Value->setGeometry(16, 80, 328, 24);
    ComboBox_Value->SetComboStyle(csSimple);
    ComboBox_Value->SetSimpleListHeight(150);
    if (!prompt.trimmed().isEmpty())
        ComboBox_Value->EditLabel()->SetCaption(prompt);
    else
        ComboBox_Value->EditLabel()->hide();
    ComboBox_Value->addItems(items);
    ComboBox_Value->setCurrentIndex(int(items.indexOf(value)));
    ComboBox_Value->setEditText(value);

    Button_OK = AddButton(u"确定(&Y)"_s, QRect(184, 270, 75, 25), true);
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(269, 270, 75, 25));
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    SetClientSize(360, 308);
    CenterOnScreen();
    ComboBox_Value->setFocus();
}

QString TForm_SelectInputBox::Value() const { return ComboBox_Value->currentText(); }

bool SelectInputBox(const QString& caption, const QString& prompt, QString& value, const QStringList& items)
{
    TForm_SelectInputBox dialog(caption, prompt, value, items);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.Value();
    return true;
}
