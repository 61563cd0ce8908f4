#pragma once
// The budget page of a project window: the grouped budget grid with its row,
// group and view commands, tool bar and context menu. Header and subtotal
// rows are drawn as merged group cells and can only be selected whole; item
// rows are edited cell by cell.

#include <QWidget>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class TDataModule_Data;
class TkvBudgetDrop;
class TkvLookupPanel;
class TkvYssDataSet;
class TqxDragInfo;
class TqxColumn;
class TqxDataSource;
class TqxDBGrid;
class kvProject;
struct TqxCellCanvas;

class TProjectBudgetPage : public QWidget {
    Q_OBJECT
public:
    // The grid's merged cells: the header across the item columns, and the
    // three parts of a subtotal row.
    static const QStringList GroupLines;

    TProjectBudgetPage(kvProject& document, TDataModule_Data& data, QWidget* parent = nullptr);
    ~TProjectBudgetPage() override;

    // What the lookup panel and the item library attach to.
    TqxDBGrid* Grid() const { return qxDBGrid_Yss; }
    TkvYssDataSet& DataSet() const;
    QAction* InputPanelAction() const { return Row_InputPanel; }

    // The enabling of every command, from the page's state.
    void UpdateActions();
    void SetClipboardCount(int count);
    // Takes items dragged from the item library, and lets budget rows be dragged to it.
    void AttachDragInfo(TqxDragInfo& drag);

    // The commands, as the actions run them.
    void SetView(const QString& groupField);
    void NewRow();
    void InsertRow();
    void DeleteRows();
    void CopyRows();
    void PasteRows();
    void FindRow();
    void NewGroup();
    void ModifyGroup();
    void DeleteGroup();
    void MoveToHead();
    void MoveToTail();

    TqxDBGrid* qxDBGrid_Yss;
    TqxDataSource* DataSource_Yss;
    QToolBar* ToolBar_Yss;
    QMenu* PopupMenu_Yss;
    QActionGroup* ActionGroup_View;
    QAction* Row_InputPanel;
    // The quick-input panel floating in the grid over the cell being filled.
    TkvLookupPanel* qxFloatPanel_Selected;

private:
    void CreateColumns();
    // The drawn row's type and fields, read through its bookmark: the
    // cursor may stand on another row while the grid paints.
    int RowTypeAt(const TqxCellCanvas& canvas) const;
    void DrawCellCanvas(QString& text, TqxColumn* column, TqxCellCanvas& canvas);
    void DrawGroupCell(TqxColumn* column, QString& group, QString& text, TqxCellCanvas& canvas);
    void AfterScroll();
    void GroupChanging(const QString& oldGroup, const QString& newGroup);
    bool CurrentIsItem() const;

    kvProject& FDoc;
    TDataModule_Data& FData;
    int FClipboardCount = 0;
    TkvBudgetDrop* FDrop = nullptr;
};
