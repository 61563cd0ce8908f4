#include "kvBudgetDrop.h"

#include "kvTakeItem.h"
#include "kvYssDataSet.h"
#include "qxDBCtrls_DBGrid.h"
#include "qxDragInfo.h"
#include "qxErrors.h"
#include "qxPrompter.h"

#include <QMdiArea>
#include <QMdiSubWindow>

using namespace Qt::StringLiterals;

TkvBudgetDrop::TkvBudgetDrop(TqxDBGrid& grid, TkvYssDataSet& budget, TqxDragInfo& drag, QObject* parent)
    : QObject(parent), FGrid(grid), FBudget(budget), FDrag(drag)
{
    FGrid.SetAutoBeginDrag(true);
    connect(&FGrid, &TqxDBGrid::OnStartDrag, this,
            [this] { FDrag.BeginDrag(TqxDragInfo::skBudgetGrid, &FGrid, true); });
    connect(&FGrid, &TqxDBGrid::OnEndDrag, this, [this](QObject*) { FDrag.EndDrag(); });
    FGrid.OnDragOver = [this](TqxDBGrid*, QObject*, int x, int y, TDragState state, bool& accept) {
        accept = state != dsDragLeave && DragOver(x, y);
    };
    connect(&FGrid, &TqxDBGrid::OnDragDrop, this, [this](QObject* source, int, int) { DropRows(source); });
}

bool TkvBudgetDrop::DragOver(int x, int y)
{
    const QPoint cell = FGrid.MouseCoord(x, y);
    if (FDrag.SourceKind != TqxDragInfo::skItemLibrary || cell.x() < 0 || cell.y() <= 0)
        return false;
    FDrag.DragOver();
    try {
        if (FBudget.Editing())
            FBudget.Post();
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"提示"_s, TMsgIcon::Error);
        return false;
    }
    FGrid.MoveToCell(std::max(cell.x(), 2), cell.y());
    FGrid.viewport()->update();
    return true;
}

bool TkvBudgetDrop::DropRows(QObject* source)
{
    auto* from = qobject_cast<TqxDBGrid*>(source);
    TqxDataSet* items = from && from != &FGrid ? from->DataSet() : nullptr;
    if (!items)
        return false;
    // Inserting rows may touch selections; the rows to take are fixed now.
    const QList<TqxBookmark> rows = from->SelectedRows().Items();
    bool inserted = false;
    if (!rows.isEmpty() && FBudget.CurrentGroup()) {
        try {
            if (FBudget.Editing())
                FBudget.Post();
            TqxControlsLock hold(FBudget);
            const TqxBookmark keep = items->GetBookmark();
            for (const TqxBookmark& row : rows) {
                if (!items->BookmarkValid(row))
                    continue;
                FBudget.InsertItem(FBudget.CurrentGroup());
                items->GotoBookmark(row);
                TakeItem(*items, FBudget);
                inserted = true;
            }
            if (items->BookmarkValid(keep))
                items->GotoBookmark(keep);
        } catch (const Exception& e) {
            ShowMessage(e.Message, u"提示"_s, TMsgIcon::Error);
        }
        if (TqxColumn* quantity = FGrid.FindColumn(u"数量"_s))
            FGrid.SetSelectedIndex(quantity->Index());
        FGrid.setFocus();
    }
    FDrag.Dropped();
    // The project window comes forward: the user goes on typing the quantity.
    for (QWidget* w = FGrid.parentWidget(); w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            if (sub->mdiArea())
                sub->mdiArea()->setActiveSubWindow(sub);
            break;
        }
    FGrid.activateWindow();
    return inserted;
}
