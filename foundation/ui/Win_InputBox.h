#pragma once
// The input box: one line of text, optionally masked.

#include "Win_BasicDialog.h"

class TqxLabeledEdit;

class TForm_InputBox : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    // A blank caption keeps "输入对话框"; maxLength 0 sets no limit.
    TForm_InputBox(const QString& caption, const QString& prompt, int maxLength, bool password, const QString& value,
                   QWidget* parent = nullptr);

    QString Value() const;

    TqxLabeledEdit* Edit_Value;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;
};

// True when closed with OK; value then holds the text.
bool InputBox(const QString& caption, const QString& prompt, int maxLength, bool password, QString& value);
