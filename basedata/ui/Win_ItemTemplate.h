#pragma once
// The item library window ("项目库"): the category tree beside the items
// of the library that pass the selected category. It lives for the whole run
// beside the project windows; from it the user keeps categories and items,
// copies items to the item clipboard and pastes them back, and drags items
// into a budget or budget rows into the library.

#include "Win_EditItemCate.h"
#include "Win_KavelinDialog.h"
#include "kvCategoryFilter.h"
#include "qxDataSet.h"

class QMenu;
class QTabBar;
class QToolBar;
class QTreeWidgetItem;
class TAppGlobalInfo;
class TDataModule_Data;
class TkvTreeView;
class TqxDBGrid;
class TqxDataSource;
class TqxDragInfo;

class TForm_ItemTemp : public TForm_KavelinDialog {
    Q_OBJECT
public:
    static constexpr int MinWidth = 350;
    static constexpr int MinHeight = 200;
    static const QString LayoutKey; // "模板网格"

    TForm_ItemTemp(TDataModule_Data& data, const TAppGlobalInfo& info, TqxDragInfo& drag, QWidget* parent = nullptr);
    ~TForm_ItemTemp() override;

    // The enabling of every command, from the selection and the clipboard.
    void UpdateActions();
    // The clipboard's count as the base-data module broadcasts it.
    void SetClipboardCount(int count);

    // The commands, as the actions run them.
    void NewCategory();
    void ModifyCategory();
    void DeleteCategory();
    void ExpandAll();
    void CollapseAll();
    void CopyItems();
    void PasteItems();
    void NewItem();
    void ModifyItem();
    void DeleteItems();
    void FindItem();
    void RefreshTree();

    // The category a new item starts with: the selected category when it is a
    // trade directly under "项目类别", else none.
    QString DefaultCategory() const;

    // Budget rows dropped on the item grid: each selected row of the source
    // grid whose name the shown items lack is added. True when rows were added.
    bool DropBudgetRows(TqxDBGrid* source);

    void LoadGridLayout();
    void SaveGridLayout();
    QString GridLayoutFile() const;

    void done(int result) override;

protected:
    // MSG_CLIPBOARD_COUNT keeps Action_PasteItem in step with the clipboard.
    bool event(QEvent* event) override;

public:
    TqxDataSet CDS_SYSItems; // the window's own cursor over the library
    TqxDataSource* DataSource_Cate;
    TqxDataSource* DataSource_Items;
    TkvTreeView* kvTreeView1;
    TqxDBGrid* qxDBGrid1;
    QTabBar* TabSet1;
    QToolBar* ToolBar1;
    QMenu* PopupMenu_Tree;
    QMenu* PopupMenu_Grid;

    // How the category dialog and the item editor are run.
    TDialogRunner RunDialog = ExecDialog;

private:
    void CategoryChanged(QTreeWidgetItem* node);
    void ShowCategory(QTreeWidgetItem* node);
    void GridDragOver(int x, int y, bool& accept);
    void RunEditor(bool isNew);
    void Guard(const std::function<void()>& work);

    TDataModule_Data& FData;
    const TAppGlobalInfo& FInfo;
    TqxDragInfo& FDrag;
    // Copies of the selected category and its ancestors: the filter must not
    // reach into tree nodes that a refresh may free.
    QList<TItemCate> FPathRecords;
    QList<const TItemCate*> FPath;
    int FClipboardCount = 0;
};
