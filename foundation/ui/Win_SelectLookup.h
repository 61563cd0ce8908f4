#pragma once
// The lookup-selection dialog: a table shown in a grid, narrowed as the user
// types the start of the search field, and the result field of the chosen
// row handed back. The table gets back its filter, filter options and
// position when the dialog goes.

#include "Win_BasicDialog.h"
#include "qxDataSet.h"

#include <QVariant>

class TqxDataSource;
class TqxDBGrid;
class TqxLabeledEdit;

class TForm_SelectLookup : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    // Raises EKavelinErr (leaving the table as it was) when a field is
    // missing or the filter is malformed.
    TForm_SelectLookup(TqxDataSet* table, const QString& searchField, const QString& resultField,
                       const QString& filter, QWidget* parent = nullptr);
    ~TForm_SelectLookup() override;

    // ResultField of the current row.
    QVariant Value() const;

    TqxLabeledEdit* Edit_Search;
    TqxDBGrid* qxDBGrid_Lookup;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;
    QPushButton* Button_Refresh;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SearchChanged(const QString& text);
    void Refresh();
    void Choose();
    void Restore();

    TqxDataSet* FTable;
    TqxDataSource* FSource;
    QString FSearchField;
    QString FResultField;
    bool FStringSearch = false;
    // The table as the caller left it.
    TqxBookmark FBookmark;
    QString FFilter;
    bool FFiltered = false;
    TqxFilterOptions FFilterOptions;
};

// True when closed with OK; value then holds resultField of the chosen row.
bool SelectLookup(TqxDataSet* table, const QString& searchField, const QString& resultField, QVariant& value,
                  const QString& filter);
