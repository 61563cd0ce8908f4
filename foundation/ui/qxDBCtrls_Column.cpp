#include "qxDBCtrls_Column.h"

#include "qxDBCtrls_DBGrid.h"

int TqxColumn::Index() const
{
    for (int i = 0; i < FGrid->ColumnCount(); ++i)
        if (FGrid->Columns(i) == this)
            return i;
    return -1;
}

void TqxColumn::SetFieldName(const QString& name)
{
    if (name == FFieldName)
        return;
    FFieldName = name;
    FGrid->ColumnChanged(this, true);
}

TqxField* TqxColumn::Field() const
{
    const TqxDataSet* ds = FGrid->DataSet();
    return ds && ds->Active() ? ds->FindField(FFieldName) : nullptr;
}

QString TqxColumn::Title() const
{
    if (!FTitle.isEmpty())
        return FTitle;
    const TqxField* field = Field();
    return field ? field->DisplayLabel() : FFieldName;
}

void TqxColumn::SetTitle(const QString& title)
{
    FTitle = title;
    FGrid->ColumnChanged(this, false);
}

void TqxColumn::SetWidth(int width)
{
    FWidth = std::max(0, width);
    FGrid->ColumnChanged(this, false);
}

void TqxColumn::SetVisible(bool visible)
{
    FVisible = visible;
    FGrid->ColumnChanged(this, false);
}

TAlignment TqxColumn::Alignment() const
{
    if (FAlignment)
        return *FAlignment;
    const TqxField* field = Field();
    return field && field->IsNumeric() ? taRightJustify : taLeftJustify;
}

void TqxColumn::SetAlignment(TAlignment alignment)
{
    FAlignment = alignment;
    FGrid->ColumnChanged(this, false);
}

void TqxColumn::SetLookup(const TqxColumnLookup& lookup)
{
    FLookup = lookup;
    FGrid->ColumnChanged(this, false);
}
