#pragma once
// The item editor ("项目的维护"): edits the library table of the base-data
// module at that table's own current row, one item after another, and asks
// before closing when the library holds unsaved changes.

#include "Win_EditItemCate.h"
#include "Win_KavelinDialog.h"

class QComboBox;
class TDataModule_Data;
class TqxDataSet;
class TqxLabeledComboBox;
class TqxLabeledEdit;

class TForm_EditItem : public TForm_KavelinDialog {
    Q_OBJECT
public:
    explicit TForm_EditItem(TDataModule_Data& data, QWidget* parent = nullptr);

    QString DefaultCategory() const { return FDefaultCategory; }
    void SetDefaultCategory(const QString& category) { FDefaultCategory = category; }

    // The six commands.
    void NewClick();
    void DeleteClick();
    void SaveClick();
    void PriorClick();
    void NextClick();
    // Asks about unsaved changes; false when the editor stays open.
    bool CloseQuery();

    // Shows the library's current row in the fields.
    void ShowRow();

    void done(int result) override;

    TqxLabeledComboBox* ComboBox_Category;
    TqxLabeledEdit* Edit_Name;
    TqxLabeledComboBox* ComboBox_Unit;
    TqxLabeledEdit* Edit_Price;
    TqxLabeledEdit* Edit_Memo;
    TqxLabeledEdit* Edit_QueryCode;
    QPushButton* Button_New;
    QPushButton* Button_Delete;
    QPushButton* Button_Save;
    QPushButton* Button_Prior;
    QPushButton* Button_Next;
    QPushButton* Button_Close;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Typing into a field edits the row, as a data-aware control would.
    void FieldEdited(const QString& field, const QString& text);
    void Guard(const std::function<void()>& work);

    TDataModule_Data& FData;
    TqxDataSet& FTable;
    QString FDefaultCategory;
    bool FShowing = false;
};

// Creates the editor, sets its default category, starts a new item when
// isNew, runs it modally and frees it.
void EditItem(TDataModule_Data& data, const QString& defaultCategory, bool isNew, QWidget* owner = nullptr,
              const TDialogRunner& run = ExecDialog);
