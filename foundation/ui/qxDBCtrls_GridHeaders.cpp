#include "qxDBCtrls_GridHeaders.h"

#include "qxDBCtrls_DBGrid.h"
#include "qxDBCtrls_GridDelegate.h"
#include "qxDataSetModel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

// ---------------------------------------------------------------- title row

TqxDBGridTitle::TqxDBGridTitle(TqxDBGrid* grid) : QHeaderView(Qt::Horizontal, grid), FGrid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TqxDBGridTitle::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (const TqxColumn* column = FGrid->Columns(FGrid->ColumnOfView(logicalIndex)))
        option->text = column->Title();
}

int TqxDBGridTitle::SizingSectionAt(int pos) const
{
    // As the header itself finds the border it resizes by.
    const int visual = visualIndexAt(pos);
    if (visual < 0)
        return -1;
    const int logical = logicalIndex(visual);
    const int start = sectionViewportPosition(logical);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    int handle = -1;
    if (pos < start + grip) {
        for (int v = visual - 1; v >= 0 && handle < 0; --v)
            if (!isSectionHidden(logicalIndex(v)))
                handle = logicalIndex(v);
    } else if (pos > start + sectionSize(logical) - grip) {
        handle = logical;
    }
    return handle >= 0 && sectionResizeMode(handle) == Interactive ? handle : -1;
}

void TqxDBGridTitle::mousePressEvent(QMouseEvent* event)
{
    const int pos = event->position().toPoint().x();
    const bool sizing = SizingSectionAt(pos) >= 0;
    QHeaderView::mousePressEvent(event);
    FPressed = sizing ? -1 : logicalIndexAt(pos);
    TqxDBGrid::THit hit{TqxDBGrid::THitArea::Title, false, sizing};
    if (!sizing && FPressed < 0)
        hit.Area = TqxDBGrid::THitArea::Outside;
    FGrid->GridMouseDown(hit, event->button(), event->buttons(), event->modifiers(), false,
                         event->globalPosition().toPoint());
}

void TqxDBGridTitle::mouseReleaseEvent(QMouseEvent* event)
{
    QHeaderView::mouseReleaseEvent(event);
    const int pressed = FPressed;
    FPressed = -1;
    if (pressed >= 0 && pressed == logicalIndexAt(event->position().toPoint()))
        Q_EMIT FGrid->OnTitleClick(FGrid->Columns(FGrid->ColumnOfView(pressed)));
}

void TqxDBGridTitle::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int pos = event->position().toPoint().x();
    const bool sizing = SizingSectionAt(pos) >= 0;
    QHeaderView::mouseDoubleClickEvent(event);
    TqxDBGrid::THit hit{TqxDBGrid::THitArea::Title, false, sizing};
    if (!sizing && logicalIndexAt(pos) < 0)
        hit.Area = TqxDBGrid::THitArea::Outside;
    FGrid->GridMouseDown(hit, event->button(), event->buttons(), event->modifiers(), true,
                         event->globalPosition().toPoint());
}

// ---------------------------------------------------------------- indicator column

TqxDBGridIndicator::TqxDBGridIndicator(TqxDBGrid* grid) : QHeaderView(Qt::Vertical, grid), FGrid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(Fixed);
    setMinimumSectionSize(1);
}

QSize TqxDBGridIndicator::sizeHint() const
{
    return {TqxDBGrid::IndicatorWidth + 1, QHeaderView::sizeHint().height()};
}

void TqxDBGridIndicator::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    painter->save();
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    const TqxDataSetModel* model = FGrid->Model();
    const TqxDataSet* table = FGrid->DataSet();
    const QRect mark(rect.left() + 2, rect.center().y() - 4, 7, 9);
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (FGrid->SelectedRows().Contains(model->BookmarkAt(logicalIndex))) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(TqxDBGridDelegate::RowSelectedColor);
        painter->drawRect(rect.left() + 1, rect.top() + 1, rect.width() - 3, rect.height() - 3);
    }
    if (table && logicalIndex == model->CurrentRow()) {
        painter->setPen(Qt::black);
        painter->setBrush(Qt::black);
        switch (table->State()) {
        case TqxDataSetState::Insert: // an asterisk: a new row
            painter->drawLine(mark.center().x(), mark.top() + 1, mark.center().x(), mark.bottom() - 1);
            painter->drawLine(mark.left(), mark.center().y(), mark.right(), mark.center().y());
            painter->drawLine(mark.left() + 1, mark.top() + 2, mark.right() - 1, mark.bottom() - 2);
            painter->drawLine(mark.left() + 1, mark.bottom() - 2, mark.right() - 1, mark.top() + 2);
            break;
        case TqxDataSetState::Edit: // an I-beam: the row is being edited
            painter->drawLine(mark.center().x(), mark.top(), mark.center().x(), mark.bottom());
            painter->drawLine(mark.center().x() - 2, mark.top(), mark.center().x() + 2, mark.top());
            painter->drawLine(mark.center().x() - 2, mark.bottom(), mark.center().x() + 2, mark.bottom());
            break;
        default: { // an arrowhead: the current row
            const QPoint arrow[3] = {{mark.left() + 1, mark.top()}, {mark.left() + 5, mark.center().y()},
                                     {mark.left() + 1, mark.bottom()}};
            painter->drawPolygon(arrow, 3);
            break;
        }
        }
    }
    painter->restore();
}

void TqxDBGridIndicator::Press(QMouseEvent* event, bool doubleClick)
{
    // A click puts the clicked row current, in the current column.
    const int row = logicalIndexAt(event->position().toPoint());
    TqxDBGrid::THit hit{TqxDBGrid::THitArea::Outside, true, false};
    if (row >= 0) {
        hit.Area = TqxDBGrid::THitArea::Indicator;
        const int view = FGrid->currentIndex().isValid() ? FGrid->currentIndex().column()
                                                         : FGrid->ViewOfColumn(FGrid->SelectedIndex());
        FGrid->setCurrentIndex(model()->index(row, std::max(view, 0)));
    }
    FGrid->GridMouseDown(hit, event->button(), event->buttons(), event->modifiers(), doubleClick,
                         event->globalPosition().toPoint());
}

void TqxDBGridIndicator::mousePressEvent(QMouseEvent* event) { Press(event, false); }

void TqxDBGridIndicator::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, true); }

void TqxDBGridIndicator::mouseMoveEvent(QMouseEvent* event)
{
    if (FGrid->DragMoved(event->globalPosition().toPoint(), event->buttons()))
        event->accept();
}

void TqxDBGridIndicator::mouseReleaseEvent(QMouseEvent*)
{
    FGrid->FDragArmed = false;
}
