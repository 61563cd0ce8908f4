#pragma once
// Drag and drop on a budget grid: items dragged from the item library become
// item rows of the current group, and a drag started on the budget grid is
// announced to the drag payload so the item library can take budget rows.

#include <QObject>

class TkvYssDataSet;
class TqxDBGrid;
class TqxDragInfo;

class TkvBudgetDrop : public QObject {
    Q_OBJECT
public:
    TkvBudgetDrop(TqxDBGrid& grid, TkvYssDataSet& budget, TqxDragInfo& drag, QObject* parent = nullptr);

    // Whether a drag over the grid at (x, y), grid coordinates, is taken; the
    // row under the mouse becomes current while it is.
    bool DragOver(int x, int y);
    // The rows selected in source, each inserted as an item of the current
    // group before the current row. True when rows were inserted.
    bool DropRows(QObject* source);

private:
    TqxDBGrid& FGrid;
    TkvYssDataSet& FBudget;
    TqxDragInfo& FDrag;
};
