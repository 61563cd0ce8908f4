#pragma once
// The record-find dialog: one line per shown column of a grid, the user fills
// in what to look for, and the grid's table moves to the first row matching
// every filled-in line. It stays open beside its grid and frees itself when
// closed.

#include "Win_BasicDialog.h"

#include <QPointer>
#include <QVariant>

class QCheckBox;
class TqxColumn;
class TqxDBGrid;
class TqxValueListEditor;

// One criterion: a field (for a lookup column, its key field) and the value to find.
struct TFindField {
    QString FieldName;
    QVariant Value;
};

class TForm_RecordFind : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    // Raises EKavelinErr when the grid has no open table.
    explicit TForm_RecordFind(TqxDBGrid* grid, QWidget* parent = nullptr);

    TqxDBGrid* Grid() const;
    // title=field name, one line per row of the list.
    const QStringList& FieldMap() const { return FFieldMap; }
    // The criteria of the filled-in rows, in row order. False when one of
    // them can match no row (a lookup text its table does not hold).
    bool Criteria(QList<TFindField>& fields) const;

    void Find();
    void ClearContents();

    TqxValueListEditor* qxVLE_Find;
    QCheckBox* CheckBox_Exact;
    QCheckBox* CheckBox_Case;
    QPushButton* Button_Find;
    QPushButton* Button_Close;
    QPushButton* Button_Clear;

private:
    void EditButtonClick(int row);
    TqxColumn* ColumnOfRow(int row) const;

    QPointer<TqxDBGrid> FGrid;
    QStringList FFieldMap;
};

// Opens the dialog on the grid and returns it; nothing opens when it cannot be set up.
TForm_RecordFind* ShowRecordFind(TqxDBGrid* grid);
