#pragma once
// The category dialog ("项目分类定义"): creates or edits one category of
// the category table in place. A new category gets a row appended under
// its parent; a renamed one takes its sub-categories along.

#include "Win_BasicDialog.h"

#include <QString>
#include <functional>

class QCheckBox;
class QDialog;
class QLabel;
class QRadioButton;
class TqxDataSet;
class TqxLabeledComboBox;
class TqxLabeledEdit;

// How a modal dialog is run: exec() in the program, a script in tests.
using TDialogRunner = std::function<int(QDialog& dialog)>;
int ExecDialog(QDialog& dialog);

class TForm_EditItemCate : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    explicit TForm_EditItemCate(TqxDataSet& categories, QWidget* parent = nullptr);

    // New mode: appends a row under parentName.
    void BeginNew(const QString& parentName);
    // Modify mode on the row with exactly these parent and name; false when there is none.
    bool BeginModify(const QString& parentName, const QString& name);
    // After the dialog closed: with OK the sub-categories follow a rename,
    // otherwise the row is given up.
    void Finish(bool ok);

    // The validation of "确定(&Y)": closes the dialog with OK when it passes.
    void OKClick();
    bool IsNew() const { return FIsNew; }

    QLabel* Label_Parent;
    TqxLabeledEdit* Edit_Name;
    TqxLabeledComboBox* ComboBox_Field;
    QRadioButton* RadioButton_Mode[3];
    TqxLabeledEdit* Edit_Value;
    TqxLabeledEdit* Edit_QueryCode;
    QCheckBox* CheckBox_System;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;

private:
    void ShowRow();
    void WriteRow();
    int Mode() const;

    TqxDataSet& FTable;
    bool FIsNew = false;
    QString FOldName;
};

// The dialog in new mode under parentName; true when it closed with OK.
bool NewCategoryDialog(TqxDataSet& categories, const QString& parentName, QWidget* owner = nullptr,
                       const TDialogRunner& run = ExecDialog);
// The dialog in modify mode; false without showing anything when the row is gone.
bool ModifyCategoryDialog(TqxDataSet& categories, const QString& parentName, const QString& name,
                          QWidget* owner = nullptr, const TDialogRunner& run = ExecDialog);
