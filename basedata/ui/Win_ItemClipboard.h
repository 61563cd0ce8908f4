#pragma once
// The item clipboard window ("项目剪贴板"): shows the items copied from a
// budget or the library, lets the user drop single rows or empty it. It lives
// for the whole run, shown and hidden by the main window.

#include "Win_KavelinDialog.h"

class QToolBar;
class QToolButton;
class TDataModule_Data;
class TqxDBGrid;
class TqxDataSource;

class TForm_ItemClipboard : public TForm_KavelinDialog {
    Q_OBJECT
public:
    explicit TForm_ItemClipboard(TDataModule_Data& data, QWidget* parent = nullptr);
    ~TForm_ItemClipboard() override;

    void ClearClick();
    void DeleteClick();

    TqxDataSource* DataSource_Clip;
    TqxDBGrid* qxDBGrid_Clip;
    QToolBar* ToolBar_Clip;
    QToolButton* ToolButton_Clear;
    QToolButton* ToolButton_Delete;

private:
    TDataModule_Data& FData;
};
