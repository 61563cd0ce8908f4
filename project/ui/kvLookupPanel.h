#pragma once
// The quick-input panel of the budget sheet: it floats inside the budget grid
// over the cell being filled and offers the base data of that column (places,
// categories, library items, units, remarks). A query code or the start of a
// name moves to an entry, a keyword narrows the list, the arrow keys or the
// mouse pick, Enter commits. An item name brings the whole library item.
//
// The panel is its own controller: it listens to the budget grid (editor
// shown, ellipsis button, leaving the grid) and to the host's "录入板" action,
// and writes into the budget through the budget table.

#include "qxCtrls_FloatPanel.h"
#include "qxDataSet.h"

#include <QPointer>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
class QVBoxLayout;
class TDataModule_Data;
class TkvYssDataSet;
class TqxDBGrid;
class TqxDataSource;

class TkvLookupPanel : public TqxFloatPanel {
    Q_OBJECT
public:
    static constexpr int PanelWidth = 337;
    static constexpr int PreferredHeight = 250;
    static constexpr int ShowDelay = 500; // ms from an empty cell's editor to the panel

    enum TFilterMode { fmNone = 0, fmEquals = 1, fmContains = 2 };

    // inputPanel is the host's check action "录入板": while checked, an empty
    // looked-up cell opens the panel by itself.
    TkvLookupPanel(TqxDBGrid& grid, TkvYssDataSet& budget, TDataModule_Data& data, QAction& inputPanel);
    ~TkvLookupPanel() override;

    // Opens the panel for a budget column (one of the five looked-up fields);
    // an open panel is only placed again.
    void ShowLookup(const QString& fieldName);
    void HideLookup();
    void SetLookupSource(TqxDataSet& table, const QString& filterField, TFilterMode filterMode,
                         const QString& filterValue);
    // Stores the input into the budget row (Enter).
    void Commit();

    // The page shown, named like its field.
    QString ActivePage() const;
    // The current entry's display text; empty when the lookup shows no rows.
    QString CurrentText() const;
    TqxDBGrid* LookupGrid(const QString& fieldName) const;

    TqxDataSet CDS_LookUp;
    TqxDataSource* DataSource_LookUp;
    QTimer* Timer_ShowPanel;
    QWidget* Panel_SelectInput;
    QLineEdit* Edit_SelectInput;
    QPushButton* Button_SelectInput;
    QLabel* Label_LookUpKey;
    QComboBox* ComboBox_LookUpKey;
    QCheckBox* CheckBox_Filtered;
    QStackedWidget* Notebook_Lookup;
    TqxDBGrid* qxDBGrid_LK_Place;
    TqxDBGrid* qxDBGrid_LK_ItemKind;
    TqxDBGrid* qxDBGrid_LK_ItemName;
    TqxDBGrid* qxDBGrid_LK_MeasureUnit;
    TqxDBGrid* qxDBGrid_LK_Memo;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TPage;
    void BuildControls();
    TqxDBGrid* AddPage(const QString& fieldName, const QString& gridName,
                       const QList<std::pair<QString, int>>& columns, bool multiSelect);
    void PlacePanel();
    void SetInputBarAtTop(bool top);
    void ReapplyFilter();
    void CDS_LookUpFilterRecord(TqxDataSet* dataSet, bool& accept);
    QString DisplayField() const;
    // Sets the input text from the lookup, without moving the lookup again.
    void SetInputFromLookup(const QString& text);

    void Edit_SelectInputChange();
    bool Edit_SelectInputKeyDown(QKeyEvent* event);
    bool LookupGridKeyDown(QKeyEvent* event);
    void ComboBox_LookUpKeyExit();
    void CheckBox_FilteredClick();
    void LookupGridCellClick();
    void MemoGridRowSelect();
    void GridEditorShow();
    void GridEditButtonClick();
    void TimerTick();
    void FocusMoved(QWidget* old, QWidget* now);
    bool InsidePanel(const QWidget* w) const;
    bool InsideGrid(const QWidget* w) const;

    TqxDBGrid& FGrid;
    TkvYssDataSet& FBudget;
    TDataModule_Data& FData;
    QAction& FInputPanel;
    QVBoxLayout* FLayout = nullptr;

    QString FFilterField;
    QString FFilterValue; // Latin letters already in upper case
    TFilterMode FFilterMode = fmNone;
    QString FKeyword;     // likewise
    int FFilterFieldIndex = -1;
    int FDisplayFieldIndex = -1;
    bool FSettingInput = false;
    bool FDestroying = false;
};
