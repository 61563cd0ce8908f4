#pragma once
// The data grid of every table window: a table view over a cursor, with an
// indicator column, a title row and one in-place editor. Besides showing and
// editing rows it draws group cells merged across their neighbours (the
// header and subtotal rows of a budget), shows booleans as words or marks,
// lets the host veto editing per cell, moves on with Enter, keeps a list of
// rows selected through the indicator column, and drags those rows.
//
// Only the visible cells are painted, there is no widget per row, and single
// edits reach the view as single-row model signals.

#include "qxDBCtrls_BookmarkList.h"
#include "qxDBCtrls_Column.h"
#include "qxDBCtrls_DataSource.h"
#include "qxDBCtrls_InplaceEdit.h"
#include "qxDataSetModel.h"

#include <QFont>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TqxDBGridDelegate;
class TqxDBGridIndicator;
class TqxDBGridTitle;

enum TDBGridOption : int {
    dgEditing = 0x001,
    dgTitles = 0x002,
    dgIndicator = 0x004,
    dgColumnResize = 0x008,
    dgColLines = 0x010,
    dgRowLines = 0x020,
    dgTabs = 0x040,
    dgRowSelect = 0x080, // whole-row selection; no editing
    dgAlwaysShowSelection = 0x100,
    dgCancelOnExit = 0x200, // leaving the grid drops a row being inserted that got no value
};
Q_DECLARE_FLAGS(TDBGridOptions, TDBGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TDBGridOptions)

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// What a data cell is drawn with. The hooks may change font and colours.
struct TqxCellCanvas {
    QFont Font;
    QColor BrushColor; // the background
    QColor FontColor;
    int Row = -1;         // the grid's data row being drawn
    TqxBookmark Bookmark; // its table row; null for the row being inserted
};

using TDrawCellCanvas = std::function<void(QString& DisplayText, TqxColumn* Column, TqxCellCanvas& Canvas)>;
// ACurrentGroup arrives empty; naming a key of Groups makes the cell a group cell.
using TDrawGroupCell = std::function<void(TqxDBGrid* Sender, TqxColumn* Column, QString& ACurrentGroup,
                                          QString& DisplayText, TqxCellCanvas& Canvas)>;
using TCellCanInput = std::function<void(TqxDBGrid* Sender, TqxColumn* Column, bool& ACanInput)>;
using TBeforeRowAction = std::function<void(TqxDBGrid* Sender, bool& CanAccept)>;
using TqxDebugEvent = std::function<void(const QString& DebugStatus)>;
// X and Y in grid coordinates; Accept arrives true.
using TGridDragOverEvent =
    std::function<void(TqxDBGrid* Sender, QObject* Source, int X, int Y, TDragState State, bool& Accept)>;

// A colour number as the forms store it: red in the lowest byte, then green, then blue.
QColor ColorFromNumber(qint64 number);

class TqxDBGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int IndicatorWidth = 11;
    static const TDBGridOptions DefaultOptions;

    explicit TqxDBGrid(QWidget* parent = nullptr);
    ~TqxDBGrid() override;

    // ---- the table
    TqxDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TqxDataSource* source);
    TqxDataSet* DataSet() const;
    bool TableOpen() const;
    TqxDataSetModel* Model() const { return FModel; }

    // ---- columns. Without columns of its own the grid shows one per field,
    // rebuilt whenever the table's fields change.
    int ColumnCount() const { return int(FColumns.size()); }
    TqxColumn* Columns(int index) const;
    TqxColumn* AddColumn(const QString& fieldName, const QString& title = QString(),
                         int width = TqxColumn::DefaultWidth);
    void ClearColumns(); // back to the columns of the fields
    bool DefaultColumns() const { return FDefaultColumns; }
    // The first column whose field name equals fieldName, Latin letters in any case.
    TqxColumn* FindColumn(const QString& fieldName) const;

    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions options);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool on) { FReadOnly = on; }

    // ---- the current cell
    int SelectedIndex() const { return FCurrentColumn; } // column index; -1 without columns
    void SetSelectedIndex(int column);
    TqxColumn* SelectedColumn() const { return Columns(FCurrentColumn); }
    TqxField* SelectedField() const;

    // ---- behaviour
    bool EnterToNext() const { return FEnterToNext; }
    void SetEnterToNext(bool on) { FEnterToNext = on; }
    bool EofCanAppend() const { return FEofCanAppend; }
    void SetEofCanAppend(bool on) { FEofCanAppend = on; }
    const QStringList& Groups() const { return FGroups; }
    void SetGroups(const QStringList& lines);
    // The true text, ";", the false text (at most 10 characters are shown).
    const QString& BoolDisplay() const { return FBoolDisplay; }
    void SetBoolDisplay(const QString& text);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool on) { FRowSelect = on; }
    bool AutoBeginDrag() const { return FAutoBeginDrag; }
    void SetAutoBeginDrag(bool on) { FAutoBeginDrag = on; }
    // Set by the host while it shows a pop-up over the grid; the grid does not read it.
    bool PopWindow() const { return FPopWindow; }
    void SetPopWindow(bool on) { FPopWindow = on; }
    // Kept with the form; they change nothing.
    bool AutoWidth() const { return FAutoWidth; }
    void SetAutoWidth(bool on) { FAutoWidth = on; }
    const QStringList& ColumnsInfo() const { return FColumnsInfo; }
    void SetColumnsInfo(const QStringList& lines) { FColumnsInfo = lines; }

    // ---- rows selected through the indicator column
    const TqxBookmarkList& SelectedRows() const { return FSelectedRows; }
    void ClearSelectedRows();
    // Selects or unselects the current row.
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool on);
    // From the first row to the last, each row the host accepts changes its
    // selection; the table's position is kept.
    void ToggleAllRows();

    // ---- the in-place editor; it is made the first time a cell is edited.
    TqxInplaceEdit* InplaceEditor() const { return FEditor; }
    bool InplaceEditorFocused() const;
    bool EditorMode() const;
    void SetEditorMode(bool on); // shows the editor on the current cell, or posts and hides it
    // The editor's bounds in grid coordinates; rect is left alone without an editor.
    void GetEditorBounds(QRect& rect) const;

    // Grid cells count the indicator as column 0 and the title as row 0; rows
    // count from the top visible row.
    QPoint MouseCoord(int x, int y) const; // (-1, -1) off the cells
    // With both above 0: makes that cell current and scrolls it into view.
    void MoveToCell(int aCol, int aRow);

    // ---- events with in/out parameters
    TDrawCellCanvas OnDrawCellCanvas;
    TDrawGroupCell OnDrawGroupCell;
    TCellCanInput OnCellCanInput;
    TBeforeRowAction OnBeforeRowDrag;
    TBeforeRowAction OnBeforeRowSelect;
    TGridDragOverEvent OnDragOver;
    TqxDebugEvent OnDebug; // kept with the form; never raised

    using QTableView::edit;

Q_SIGNALS:
    void OnInplaceEditorEnter(); // the focus moved from the grid to its editor
    void OnInplaceEditorExit();  // ... and back to the grid
    // The editor was found hidden after being visible (or the other way
    // round) when the focus moved between the grid and the editor.
    void OnInplaceEditorHide();
    void OnInplaceEditorShow();
    void OnRowDblClick();
    void OnAfterRowSelect();
    void OnColEnter();
    void OnCellClick(TqxColumn* column);
    void OnTitleClick(TqxColumn* column);
    void OnEditButtonClick();
    void OnStartDrag();
    void OnEndDrag(QObject* target);
    void OnDragDrop(QObject* source, int x, int y);

protected:
    // Runs the drag of the selected rows, once the mouse has moved far enough.
    virtual void StartRowDrag();

    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TqxColumn;
    friend class TqxDBGridDelegate;
    friend class TqxDBGridIndicator;
    friend class TqxDBGridTitle;

    struct TGroup {
        QString Key;
        QString Value;
        std::optional<int> Alignment;
        std::optional<QColor> Color;
    };
    enum class THitArea { Outside, Title, Indicator, Data };
    struct THit {
        THitArea Area = THitArea::Outside;
        bool IndicatorColumn = false; // an indicator cell, or the title row's corner
        bool Sizing = false;          // on a title border being dragged
    };

    // Column bookkeeping between grid columns and the model's columns.
    int ViewOfColumn(int column) const;
    int ColumnOfView(int view) const;
    bool ColumnShown(int column) const;
    int LineWidth() const { return FOptions & dgColLines ? 1 : 0; }
    int RowLineWidth() const { return FOptions & dgRowLines ? 1 : 0; }
    void ColumnChanged(const TqxColumn* column, bool fields);
    void SetModelColumns();
    void RebuildColumnMap();
    void ApplyColumnsToView();
    void ApplyOptions();
    void UpdateRowHeight();
    void DataSourceChanged();
    void AfterModelChange(bool reset);
    void SyncFromDataSet();

    // Drawing
    const TGroup* FindGroup(const QString& key) const;
    QRect WidenGroupRect(QRect rect, int column, const QString& groupValue) const;
    bool CellHighlighted(const QModelIndex& index) const;
    QString LookupText(const TqxColumn* column, const TqxBookmark& row) const;

    // Editing
    bool CanEditShow(const QModelIndex& index);
    TqxInplaceEdit* EnsureEditor(QWidget* parent);
    void CommitEditor();
    void DiscardEditor();
    bool EnterKey();
    void FocusMoved(QWidget* old, QWidget* now);

    // Mouse
    void GridMouseDown(const THit& hit, Qt::MouseButton button, Qt::MouseButtons buttons,
                       Qt::KeyboardModifiers modifiers, bool doubleClick, const QPoint& globalPos);
    void SelectClickedRow(bool ctrl);
    void ArmDrag(const QPoint& globalPos);
    bool DragMoved(const QPoint& globalPos, Qt::MouseButtons buttons);
    void HandleDragOver(QDropEvent* event, TDragState state);
    void RepaintSelection();
    THit HitOfViewport(const QPoint& pos) const;

    TqxDataSetModel* FModel;
    TqxDBGridTitle* FTitle;
    TqxDBGridIndicator* FIndicator;
    QPointer<TqxDataSource> FDataSource;
    QPointer<TqxInplaceEdit> FEditor;
    QPointer<QWidget> FCorner;

    std::vector<std::unique_ptr<TqxColumn>> FColumns;
    std::vector<int> FViewOfColumn;
    std::vector<int> FColumnOfView;
    bool FDefaultColumns = true;
    int FCurrentColumn = -1;

    TDBGridOptions FOptions;
    bool FReadOnly = false;
    bool FEnterToNext = false;
    bool FEofCanAppend = false;
    bool FAutoWidth = false;
    QStringList FColumnsInfo;
    QStringList FGroups;
    std::vector<TGroup> FGroupDefs;
    QString FBoolDisplay;
    bool FPopWindow = false;
    bool FRowSelect = false;
    bool FAutoBeginDrag = false;
    TqxBookmarkList FSelectedRows;

    bool FEditorVisible = false; // as last seen while the focus moved between grid and editor
    bool FClosingEditor = false;
    int FModelChanging = 0;
    int FSyncing = 0;
    bool FApplyingColumns = false;
    bool FDestroying = false;
    bool FDoubleClick = false;
    QPersistentModelIndex FPressIndex;
    bool FPressOnCurrent = false;
    bool FDragArmed = false;
    QPoint FDragStart;
};
