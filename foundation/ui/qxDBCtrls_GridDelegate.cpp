#include "qxDBCtrls_GridDelegate.h"

#include "qxDBCtrls_DBGrid.h"
#include "qxDBCtrls_InplaceEdit.h"
#include "qxDataSetModel.h"
#include "qxErrors.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

using namespace Qt::StringLiterals;

const QColor TqxDBGridDelegate::SelectedColor(223, 221, 255);
const QColor TqxDBGridDelegate::RowSelectedColor(122, 148, 194);
const QColor TqxDBGridDelegate::LineColor(192, 192, 192);

TqxDBGridDelegate::TqxDBGridDelegate(TqxDBGrid* grid) : QStyledItemDelegate(grid), FGrid(grid) {}

QString TqxDBGridDelegate::BoolText(const QString& boolDisplay, bool value)
{
    const qsizetype at = boolDisplay.indexOf(u';');
    if (value)
        return at < 0 ? QString() : boolDisplay.left(at);
    return boolDisplay.mid(at + 1, 10);
}

// The cell without the grid lines at its right and bottom.
QRect TqxDBGridDelegate::ContentRect(const QRect& cell) const
{
    return cell.adjusted(0, 0, -FGrid->LineWidth(), -FGrid->RowLineWidth());
}

void TqxDBGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect cell = option.rect;
    QRect rect = ContentRect(cell);
    painter->save();
    TqxCellCanvas canvas{FGrid->font(), option.palette.color(QPalette::Base), option.palette.color(QPalette::Text),
                         index.row(), FGrid->FModel->BookmarkAt(index.row())};
    if (!FGrid->TableOpen()) {
        painter->fillRect(rect, canvas.BrushColor);
    } else {
        const int columnIndex = FGrid->ColumnOfView(index.column());
        TqxColumn* column = FGrid->Columns(columnIndex);
        QString text;
        try {
            const TqxField* field = column ? column->Field() : nullptr;
            if (field) {
                text = column->IsLookup() ? FGrid->LookupText(column, canvas.Bookmark) : index.data().toString();
                if (FGrid->OnDrawCellCanvas)
                    FGrid->OnDrawCellCanvas(text, column, canvas);
                if (field->Kind() == TqxFieldKind::Boolean && !column->IsLookup())
                    text = BoolText(FGrid->BoolDisplay(), index.data(TqxDataSetModel::ValueRole).toBool());
            }
            if (FGrid->CellHighlighted(index)) {
                canvas.BrushColor = SelectedColor;
                canvas.FontColor = Qt::black;
            }
            if (FGrid->FSelectedRows.Contains(canvas.Bookmark)) {
                canvas.BrushColor = RowSelectedColor;
                canvas.FontColor = Qt::white;
            }
            QString group;
            if (FGrid->OnDrawGroupCell)
                FGrid->OnDrawGroupCell(FGrid, column, group, text, canvas);

            TAlignment alignment = column ? column->Alignment() : taLeftJustify;
            QColor fontColor = canvas.FontColor;
            if (!group.isEmpty()) {
                const TqxDBGrid::TGroup* def = FGrid->FindGroup(group);
                rect = FGrid->WidenGroupRect(rect, columnIndex, def ? def->Value : QString());
                if (def && def->Alignment && *def->Alignment >= taLeftJustify && *def->Alignment <= taCenter)
                    alignment = TAlignment(*def->Alignment);
                if (def && def->Color)
                    fontColor = *def->Color;
            }
            painter->fillRect(rect, canvas.BrushColor);

            const QFontMetrics metrics(canvas.Font);
            const int textWidth = metrics.horizontalAdvance(text);
            int x = rect.left() + 2;
            if (alignment == taRightJustify)
                x = rect.left() + rect.width() - textWidth - 2;
            else if (alignment == taCenter)
                x = rect.left() + (rect.width() - textWidth) / 2;
            const int y = rect.top() + (rect.height() - metrics.height()) / 2;
            painter->setClipRect(rect);
            painter->setFont(canvas.Font);
            painter->setPen(fontColor);
            painter->drawText(QPoint(x, y + metrics.ascent()), text);
            painter->setClipping(false);
        } catch (const Exception&) {
            // A failing text hook leaves the cell blank rather than breaking the paint.
            painter->fillRect(rect, canvas.BrushColor);
        }
    }
    // The grid lines, along the right and bottom of the (possibly merged) cell.
    painter->setPen(LineColor);
    if (FGrid->LineWidth())
        painter->drawLine(rect.right() + 1, rect.top(), rect.right() + 1, rect.bottom() + FGrid->RowLineWidth());
    if (FGrid->RowLineWidth())
        painter->drawLine(rect.left(), rect.bottom() + 1, rect.right() + FGrid->LineWidth(), rect.bottom() + 1);
    painter->restore();
}

QWidget* TqxDBGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    TqxInplaceEdit* editor = FGrid->EnsureEditor(parent);
    const TqxColumn* column = FGrid->Columns(FGrid->ColumnOfView(index.column()));
    editor->SetButtonVisible(column && column->ButtonStyle() == cbsEllipsis);
    const TImeMode ime = column ? column->ImeMode() : imDontCare;
    editor->setAttribute(Qt::WA_InputMethodEnabled, ime != imClose);
    editor->setInputMethodHints(ime == imClose ? Qt::ImhLatinOnly : Qt::ImhNone);
    return editor;
}

void TqxDBGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    // The grid's editor is kept for the next cell.
    if (editor != FGrid->FEditor)
        QStyledItemDelegate::destroyEditor(editor, index);
}

void TqxDBGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* edit = qobject_cast<TqxInplaceEdit*>(editor);
    if (!edit)
        return;
    const QString text = index.data(Qt::EditRole).toString();
    edit->SetOriginalText(text);
    // A value arriving while the user types (another cursor posted the row) does not overwrite the typing.
    if (!edit->isModified())
        edit->setText(text);
}

void TqxDBGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* edit = qobject_cast<TqxInplaceEdit*>(editor);
    // Text left as it was changes nothing: no edit, no post, no modified table.
    if (edit && edit->text() != edit->OriginalText() && model->setData(index, edit->text(), Qt::EditRole))
        edit->SetOriginalText(edit->text());
}

void TqxDBGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const
{
    editor->setGeometry(ContentRect(option.rect));
}

bool TqxDBGridDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* edit = qobject_cast<TqxInplaceEdit*>(object);
    if (edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if ((key->modifiers() & Qt::ControlModifier) && edit->ButtonVisible())
                edit->EditButton()->click();
            else
                FGrid->EnterKey();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
