#pragma once
// One column of a data grid: the field it shows, its title, width,
// visibility, alignment and how its cells are edited. A lookup column shows,
// instead of its key field's value, the result field of the row of another
// table whose key field holds that value.

#include "qxCtrls_ValueListEditor.h" // TAlignment

#include <QString>
#include <optional>

class TqxDBGrid;
class TqxDataSet;
class TqxField;

enum TColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };
// How a cell editor treats the input method: Chinese text, Latin letters only, or as it is.
enum TImeMode { imDontCare, imOpen, imClose };

struct TqxColumnLookup {
    TqxDataSet* DataSet = nullptr; // not owned
    QString KeyField;              // the lookup table's field matching the column's field
    QString ResultField;           // the lookup table's field shown
    bool IsEmpty() const { return !DataSet || KeyField.isEmpty() || ResultField.isEmpty(); }
};

class TqxColumn {
public:
    static constexpr int DefaultWidth = 64;

    TqxDBGrid* Grid() const { return FGrid; }
    int Index() const;

    const QString& FieldName() const { return FFieldName; }
    void SetFieldName(const QString& name);
    // The field of the grid's open table; null when there is none of that name.
    TqxField* Field() const;

    // The title shown; the field's display label until one is set.
    QString Title() const;
    void SetTitle(const QString& title);
    // -1 while the column is hidden, as the saved layouts expect.
    int Width() const { return FVisible ? FWidth : -1; }
    void SetWidth(int width);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
    // Numbers right, everything else left, until one is set.
    TAlignment Alignment() const;
    void SetAlignment(TAlignment alignment);
    TColumnButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TColumnButtonStyle style) { FButtonStyle = style; }
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode mode) { FImeMode = mode; }

    const TqxColumnLookup& Lookup() const { return FLookup; }
    void SetLookup(const TqxColumnLookup& lookup);
    bool IsLookup() const { return !FLookup.IsEmpty(); }

private:
    friend class TqxDBGrid;
    TqxColumn(TqxDBGrid* grid, const QString& fieldName) : FGrid(grid), FFieldName(fieldName) {}

    TqxDBGrid* FGrid;
    QString FFieldName;
    QString FTitle;
    int FWidth = DefaultWidth;
    bool FVisible = true;
    bool FReadOnly = false;
    std::optional<TAlignment> FAlignment;
    TColumnButtonStyle FButtonStyle = cbsAuto;
    TImeMode FImeMode = imDontCare;
    TqxColumnLookup FLookup;
};
