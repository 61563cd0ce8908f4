#pragma once
// The basic data window: measure units, craft and material remarks with the
// categories they apply to, construction places and the word list, edited on
// four pages through one data source and one navigator. It is the only window
// that edits and saves the unit and word tables.

#include "Win_KavelinDialog.h"
#include "qxDataSet.h"

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class TAppGlobalInfo;
class TDataModule_Data;
class TqxDBGrid;
class TqxDBNavigator;
class TqxDataSource;

class TForm_BasicData : public TForm_KavelinDialog {
    Q_OBJECT
public:
    enum TPage { pgUnit, pgMemo, pgPlace, pgWords, PageCount };

    TForm_BasicData(TDataModule_Data& data, const TAppGlobalInfo& info, QWidget* parent = nullptr);
    ~TForm_BasicData() override;

    // Writes each of the four tables that has unsaved changes to its file, in
    // the order units, remarks, places, words. Pending edits are posted first.
    // A failure is told and the other tables are still saved; false when
    // something could not be posted or saved.
    bool SaveBasicData();
    // Drops the unsaved changes of the four tables (on a clone: of the whole
    // shared table).
    void CancelBasicData();
    // Posts pending edits (remarks, places, units, words) and tells whether
    // any of the four tables has unsaved changes. A row that cannot be posted
    // stays in edit and counts as a change.
    bool HasBasicDataChanges();

    // The table a page edits and its grid.
    TqxDataSet* PageTable(int page);
    TqxDBGrid* PageGrid(int page) const;
    // The remark's categories as the check list shows them, ";"-joined.
    QString CheckedCategories() const;

    // Closing by Cancel or the close box asks about unsaved changes first.
    void reject() override;

    TqxDataSet cds_Memos; // clones over the module's tables
    TqxDataSet cds_Place;
    TqxDataSet cds_Words;

    TqxDataSource* DataSource_Basic;
    QTabWidget* PageControl_Basic;
    TqxDBGrid* qxDBGrid_Unit;
    TqxDBGrid* qxDBGrid_Memo;
    TqxDBGrid* qxDBGrid_Place;
    TqxDBGrid* qxDBGrid_Words;
    QListWidget* CheckListBox_Cate;
    QLabel* Label_WordKind;
    QComboBox* ComboBox_WordKind;
    TqxDBNavigator* qxDBNavigator_Basic;
    QPushButton* Button_Find;
    QPushButton* Button_Save;
    QPushButton* Button_Cancel;

private:
    void FormCreate();
    TqxDBGrid* AddPage(const QString& caption, const QString& name, QWidget* above, QWidget* beside);
    void PageChanged(int page);
    void SaveClick();
    void FindClick();
    bool PostPendingEdits();
    bool CloseQuery();

    void cds_PlaceBeforePost(TqxDataSet* dataSet);
    void cds_WordsBeforePost(TqxDataSet* dataSet);
    void cds_MemosNewRecord(TqxDataSet* dataSet);
    void ShowMemoCategories();
    void CategoryChanged(QListWidgetItem* item);
    void WordKindChanged(int index);

    TDataModule_Data& FData;
    const TAppGlobalInfo& FInfo;
    bool FShowingCategories = false;
    int FWordKind = 0; // the kind new and posted words get; 0: all kinds
};

// Shows the basic data window modally and frees it. Closed with OK, the unit
// table is saved once more; otherwise it is read again from its file, so
// unsaved unit edits disappear. True when the window closed with OK.
bool EditBasicData(TDataModule_Data& data, const TAppGlobalInfo& info, QWidget* owner = nullptr);
