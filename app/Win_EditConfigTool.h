#pragma once
// The properties of one external tool: title, description, program and
// shortcut. The dialog gathers them; the tools dialog keeps the list.

#include "Win_BasicDialog.h"
#include "kvExternalTools.h"

class QLabel;
class QPushButton;
class QToolButton;
class TkvHotKey;
class TqxLabeledEdit;

class TForm_EditToolProperty : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    explicit TForm_EditToolProperty(const TExternalProgram& tool, QWidget* parent = nullptr);

    // The fields as the user left them; the reserved field as it came.
    TExternalProgram Tool() const;

    // Checks the fields and closes with confirmation when they are fit.
    void Confirm();
    // Asks for the program file; the chosen path replaces the program text.
    void BrowseProgram();

    TqxLabeledEdit* Edit_Title;
    TqxLabeledEdit* Edit_Description;
    TqxLabeledEdit* Edit_Program;
    QToolButton* Button_Browse;
    QLabel* Label_HotKey;
    TkvHotKey* HotKey_ShortCut;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;

private:
    bool Refuse(TqxLabeledEdit* field, const QString& message);

    QString FReserved;
};

// Shows the dialog modally; on confirmation tool holds the new values.
bool EditTool(TExternalProgram& tool, QWidget* parent);
