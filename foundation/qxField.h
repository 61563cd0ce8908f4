#pragma once
// One field of a cursor: reads and writes the value of the cursor's active
// row (the row being edited, the row a filter or a view is looking at, or the
// current row). Every cursor has its own field objects, with their own
// events; they survive a reload of a table that still has the field.

#include "qxFieldDef.h"

#include <QVariant>
#include <functional>
#include <optional>

class TqxDataSet;
class TqxField;

using TqxFieldNotifyEvent = std::function<void(TqxField* Sender)>;
// Text arrives as the default text; DisplayText is true for display, false for editing.
using TqxFieldGetTextEvent = std::function<void(TqxField* Sender, QString& Text, bool DisplayText)>;

class TqxField {
public:
    TqxField(TqxDataSet* dataSet, int index, const TqxFieldDef& def);
    TqxField(const TqxField&) = delete;
    TqxField& operator=(const TqxField&) = delete;

    TqxDataSet* DataSet() const { return FDataSet; }
    int Index() const { return FIndex; }
    const QString& FieldName() const { return FDef.Name; }
    TqxFieldKind Kind() const { return FDef.Kind; }
    int Size() const { return FDef.Size; }
    bool Required() const { return FDef.Required; }
    const TqxFieldDef& Def() const { return FDef; }
    bool IsNumeric() const;

    QString DisplayLabel() const { return FDisplayLabel.isEmpty() ? FDef.Name : FDisplayLabel; }
    void SetDisplayLabel(const QString& value) { FDisplayLabel = value; }
    // Advisory for views and grids: code may still set the value.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }

    bool IsNull() const;
    QString AsString() const;  // null: empty text
    qint32 AsInteger() const;  // null: 0
    double AsFloat() const;    // null: 0
    bool AsBoolean() const;    // null: false
    QVariant AsVariant() const; // null: an invalid QVariant
    QVariant Value() const { return AsVariant(); }

    // The cursor must be in edit or insert state. Text longer than the field
    // is cut at a character boundary; empty text stores null; money is
    // rounded to 4 decimals. A value of the wrong form raises EKavelinErr.
    void SetAsString(const QString& value);
    void SetAsInteger(qint32 value);
    void SetAsFloat(double value);
    void SetAsBoolean(bool value);
    void SetAsVariant(const QVariant& value);
    void SetValue(const QVariant& value) { SetAsVariant(value); }
    void Clear();

    // Through OnGetText. Default display: money with 2 decimals, booleans
    // True/False, dates in ISO form; the edit text is AsString.
    QString DisplayText() const;
    QString Text() const;

    // True/False and the words of the configuration files (是, yes, 1 ...).
    static std::optional<bool> ParseBool(const QString& text);

    TqxFieldNotifyEvent OnChange;
    TqxFieldGetTextEvent OnGetText;

private:
    friend class TqxDataSet;
    void Rebind(int index, const TqxFieldDef& def)
    {
        FIndex = index;
        FDef = def;
    }
    QString DefaultText(bool display) const;
    [[noreturn]] void BadValue(const QString& text) const;

    TqxDataSet* FDataSet;
    int FIndex;
    TqxFieldDef FDef;
    QString FDisplayLabel;
    bool FReadOnly = false;
};
