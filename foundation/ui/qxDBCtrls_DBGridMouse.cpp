// The grid's mouse: row selection through the indicator column and the
// title's corner, the drag of the selected rows, cells by position and
// drops on the grid.

#include "qxDBCtrls_DBGrid.h"

#include "qxDBCtrls_GridHeaders.h"
#include "qxErrors.h"
#include "qxUiFunctions.h"

#include <QAbstractButton>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace {

const QString kRowsMimeType = u"application/x-kavelin-grid-rows"_s;

} // namespace

// ---------------------------------------------------------------- row selection

void TqxDBGrid::RepaintSelection()
{
    viewport()->update();
    FIndicator->viewport()->update();
}

void TqxDBGrid::ClearSelectedRows()
{
    if (FSelectedRows.IsEmpty())
        return;
    FSelectedRows.Clear();
    RepaintSelection();
}

bool TqxDBGrid::CurrentRowSelected() const
{
    return TableOpen() && FSelectedRows.Contains(DataSet()->GetBookmark());
}

void TqxDBGrid::SetCurrentRowSelected(bool on)
{
    if (!TableOpen() || DataSet()->State() == TqxDataSetState::Insert)
        return;
    const TqxBookmark b = DataSet()->GetBookmark();
    if (on)
        FSelectedRows.Add(b);
    else
        FSelectedRows.Remove(b);
    RepaintSelection();
}

void TqxDBGrid::SelectClickedRow(bool ctrl)
{
    TqxDataSet* ds = DataSet();
    if (ds->State() == TqxDataSetState::Insert || ds->IsEmpty())
        return;
    const TqxBookmark b = ds->GetBookmark();
    if (ctrl) {
        FSelectedRows.Toggle(b);
    } else {
        // A plain click on the only selected row unselects it; otherwise that row alone is selected.
        const bool onlyThis = FSelectedRows.Count() == 1 && FSelectedRows.Contains(b);
        FSelectedRows.Clear();
        if (!onlyThis)
            FSelectedRows.Add(b);
    }
    RepaintSelection();
}

void TqxDBGrid::ToggleAllRows()
{
    if (!TableOpen())
        return;
    TqxDataSet* ds = DataSet();
    QList<TqxBookmark> accepted;
    {
        TqxControlsLock lock(*ds);
        ds->CheckBrowseMode();
        const TqxBookmark keep = ds->GetBookmark();
        try {
            for (ds->First(); !ds->Eof(); ds->Next()) {
                bool accept = true;
                if (OnBeforeRowSelect)
                    OnBeforeRowSelect(this, accept);
                if (accept)
                    accepted.append(ds->GetBookmark());
            }
        } catch (...) {
            if (ds->BookmarkValid(keep))
                ds->GotoBookmark(keep);
            throw;
        }
        FSelectedRows.ToggleAll(accepted);
        if (ds->BookmarkValid(keep))
            ds->GotoBookmark(keep);
    }
    RepaintSelection();
}

// ---------------------------------------------------------------- mouse

TqxDBGrid::THit TqxDBGrid::HitOfViewport(const QPoint& pos) const
{
    return {indexAt(pos).isValid() ? THitArea::Data : THitArea::Outside, false, false};
}

void TqxDBGrid::GridMouseDown(const THit& hit, Qt::MouseButton button, Qt::MouseButtons buttons,
                              Qt::KeyboardModifiers modifiers, bool doubleClick, const QPoint& globalPos)
{
    FDragArmed = false;
    if (doubleClick)
        Q_EMIT OnRowDblClick();
    if (!TableOpen() || hit.Area == THitArea::Outside || hit.Sizing)
        return;
    if (!FRowSelect || (!hit.IndicatorColumn && !(FOptions & dgRowSelect))) {
        ClearSelectedRows();
        return;
    }
    try {
        if (button == Qt::LeftButton) {
            if (hit.Area == THitArea::Title) {
                ToggleAllRows();
            } else {
                bool accept = true;
                if (OnBeforeRowSelect)
                    OnBeforeRowSelect(this, accept);
                if (accept)
                    SelectClickedRow(modifiers & Qt::ControlModifier);
            }
            Q_EMIT OnAfterRowSelect();
        }
        if (!(buttons & Qt::RightButton) && !FSelectedRows.IsEmpty() && FAutoBeginDrag) {
            bool accept = true;
            if (OnBeforeRowDrag)
                OnBeforeRowDrag(this, accept);
            if (accept)
                ArmDrag(globalPos);
        }
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
}

void TqxDBGrid::ArmDrag(const QPoint& globalPos)
{
    FDragArmed = true;
    FDragStart = globalPos;
}

// True when the move started the drag.
bool TqxDBGrid::DragMoved(const QPoint& globalPos, Qt::MouseButtons buttons)
{
    if (!FDragArmed || !(buttons & Qt::LeftButton))
        return false;
    const QPoint d = globalPos - FDragStart;
    if (std::abs(d.x()) < 4 && std::abs(d.y()) < 4)
        return false;
    FDragArmed = false;
    StartRowDrag();
    return true;
}

void TqxDBGrid::StartRowDrag()
{
    Q_EMIT OnStartDrag();
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(kRowsMimeType, QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    Q_EMIT OnEndDrag(drag->target());
}

void TqxDBGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex before = currentIndex();
    const bool doubleClick = FDoubleClick;
    FDoubleClick = false;
    QTableView::mousePressEvent(event); // makes the clicked cell current
    FPressIndex = indexAt(pos);
    FPressOnCurrent = FPressIndex.isValid() && FPressIndex == before && event->button() == Qt::LeftButton;
    GridMouseDown(HitOfViewport(pos), event->button(), event->buttons(), event->modifiers(), doubleClick,
                  event->globalPosition().toPoint());
}

void TqxDBGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (DragMoved(event->globalPosition().toPoint(), event->buttons()))
        return;
    QTableView::mouseMoveEvent(event);
}

void TqxDBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    FDragArmed = false;
    QTableView::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid() || index != FPressIndex)
        return;
    Q_EMIT OnCellClick(Columns(ColumnOfView(index.column())));
    // A click on the cell that was already current starts editing it.
    if (FPressOnCurrent && currentIndex() == index)
        edit(index, SelectedClicked, event);
}

void TqxDBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The view may turn the double click into a press of its own; that press is the double click.
    FDoubleClick = true;
    QTableView::mouseDoubleClickEvent(event);
    if (FDoubleClick) {
        FDoubleClick = false;
        GridMouseDown(HitOfViewport(event->position().toPoint()), event->button(), event->buttons(),
                      event->modifiers(), true, event->globalPosition().toPoint());
    }
}

bool TqxDBGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FCorner) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* e = static_cast<QMouseEvent*>(event);
            GridMouseDown({THitArea::Title, true, false}, e->button(), e->buttons(), e->modifiers(),
                          event->type() == QEvent::MouseButtonDblClick, e->globalPosition().toPoint());
            return true;
        }
        case QEvent::MouseButtonRelease:
            FDragArmed = false;
            return true;
        case QEvent::MouseMove:
            DragMoved(static_cast<QMouseEvent*>(event)->globalPosition().toPoint(),
                      static_cast<QMouseEvent*>(event)->buttons());
            return true;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

// ---------------------------------------------------------------- cells by position

QPoint TqxDBGrid::MouseCoord(int x, int y) const
{
    const QPoint origin = viewport()->geometry().topLeft();
    const int indicator = FOptions & dgIndicator ? 1 : 0;
    const int title = FOptions & dgTitles ? 1 : 0;
    int col = -1;
    if (indicator && x >= FIndicator->x() && x < origin.x())
        col = 0;
    else if (x >= origin.x() && ColumnOfView(columnAt(x - origin.x())) >= 0)
        col = ColumnOfView(columnAt(x - origin.x())) + indicator;
    int row = -1;
    if (title && y >= FTitle->y() && y < origin.y())
        row = 0;
    else if (y >= origin.y() && rowAt(y - origin.y()) >= 0)
        row = rowAt(y - origin.y()) - rowAt(0) + title;
    return col >= 0 && row >= 0 ? QPoint(col, row) : QPoint(-1, -1);
}

void TqxDBGrid::MoveToCell(int aCol, int aRow)
{
    if (aCol <= 0 || aRow <= 0 || !TableOpen())
        return;
    const int column = aCol - (FOptions & dgIndicator ? 1 : 0);
    const int top = rowAt(0);
    const int row = top + aRow - (FOptions & dgTitles ? 1 : 0);
    if (column < 0 || column >= ColumnCount() || top < 0 || row < 0 || row >= FModel->rowCount())
        return;
    SetSelectedIndex(column);
    const int view = ViewOfColumn(FCurrentColumn);
    if (view >= 0)
        setCurrentIndex(FModel->index(row, view));
    else
        FModel->SetCurrentRow(row);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

// ---------------------------------------------------------------- dropping on the grid

void TqxDBGrid::HandleDragOver(QDropEvent* event, TDragState state)
{
    if (!OnDragOver) {
        event->ignore();
        return;
    }
    bool accept = true;
    const QPoint pos = event->position().toPoint() + viewport()->geometry().topLeft();
    OnDragOver(this, event->source(), pos.x(), pos.y(), state, accept);
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TqxDBGrid::dragEnterEvent(QDragEnterEvent* event) { HandleDragOver(event, dsDragEnter); }

void TqxDBGrid::dragMoveEvent(QDragMoveEvent* event) { HandleDragOver(event, dsDragMove); }

void TqxDBGrid::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
    if (OnDragOver) {
        bool accept = false;
        OnDragOver(this, nullptr, -1, -1, dsDragLeave, accept);
    }
}

void TqxDBGrid::dropEvent(QDropEvent* event)
{
    const QPoint pos = event->position().toPoint() + viewport()->geometry().topLeft();
    event->acceptProposedAction();
    Q_EMIT OnDragDrop(event->source(), pos.x(), pos.y());
}
