#pragma once
// The tools dialog: the list of external tools with their description,
// program and shortcut, rows added, changed and deleted through the tool
// properties dialog. Only a confirmation hands the rows back.

#include "Win_BasicDialog.h"
#include "kvExternalTools.h"

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

class TForm_ConfigTools : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    explicit TForm_ConfigTools(const QStringList& toolLines, QWidget* parent = nullptr);

    // The rows as lines of the tools file, in row order, reserved fields empty.
    QStringList ToolLines() const;
    const QList<TExternalProgram>& Rows() const { return FRows; }

    void AddTool();
    void EditSelectedTool();
    void DeleteSelectedTool();
    // Buttons that need a row follow the selection.
    void UpdateActions();

    // Edits one record, true when confirmed. The tool properties dialog
    // unless a test puts a script in its place.
    std::function<bool(TExternalProgram&)> OnEditTool;

    QLabel* Label_Tools;
    QTreeWidget* ListView_Tools;
    QPushButton* Button_Add;
    QPushButton* Button_Edit;
    QPushButton* Button_Delete;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;

protected:
    // Ins adds and Del deletes in the list, as the buttons do.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int SelectedRow() const;
    void ShowRow(int row);

    QList<TExternalProgram> FRows;
};

// Shows the dialog modally; on confirmation toolLines has been replaced.
bool EditTools(QStringList& toolLines, QWidget* parent);
