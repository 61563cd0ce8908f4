#pragma once
// Filling a budget row from a library item. The lookup panel commits an item
// name with it and the drop of library items onto the budget grid fills each
// new row with it, so both give an item the same fields.

class TqxDataSet;
class TkvYssDataSet;

// Copies the current item of source (a cursor over the item library) into
// the current row of the budget: name, price, remarks, unit and category.
// Code, place and quantity stay as they are. In the category view the row
// keeps the category of the group it stands in, so it does not leave its group.
void TakeItem(TqxDataSet& source, TkvYssDataSet& budget);
