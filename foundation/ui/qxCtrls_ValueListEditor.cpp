#include "qxCtrls_ValueListEditor.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The frame around every cell. Neighbouring frames share their line, so each
// cell draws its right and bottom edge and the outer cells the rest.
void drawCellFrame(QPainter* painter, const QRect& cell, const QColor& color, bool left, bool top)
{
    painter->setPen(color);
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    if (left)
        painter->drawLine(cell.topLeft(), cell.bottomLeft());
    if (top)
        painter->drawLine(cell.topLeft(), cell.topRight());
}

class TTitleRow final : public QHeaderView {
public:
    explicit TTitleRow(TqxValueListEditor* editor) : QHeaderView(Qt::Horizontal, editor), FEditor(editor) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override
    {
        painter->save();
        painter->fillRect(rect, palette().color(QPalette::Button));
        painter->setFont(FEditor->KeyFont());
        painter->setPen(palette().color(QPalette::ButtonText));
        const QString text = model()->headerData(logicalIndex, Qt::Horizontal).toString();
        const int textWidth = painter->fontMetrics().horizontalAdvance(text);
        int x = 2;
        if (FEditor->KeyAlignment() == taRightJustify)
            x = rect.width() - textWidth - 2;
        else if (FEditor->KeyAlignment() == taCenter)
            x = (rect.width() - textWidth) / 2;
        painter->setClipRect(rect);
        painter->drawText(QRect(rect.left() + x, rect.top(), textWidth, rect.height()), Qt::AlignLeft | Qt::AlignVCenter,
                          text);
        painter->setClipping(false);
        drawCellFrame(painter, rect, FEditor->LineColor(), logicalIndex == 0, true);
        painter->restore();
    }

private:
    TqxValueListEditor* FEditor;
};

class TValueDelegate final : public QStyledItemDelegate {
public:
    explicit TValueDelegate(TqxValueListEditor* editor) : QStyledItemDelegate(editor), FEditor(editor) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        const QRect cell = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        QColor text = option.palette.color(QPalette::Text);
        if (index.column() == 0) {
            painter->fillRect(cell, option.palette.color(QPalette::Button));
            text = option.palette.color(QPalette::ButtonText);
        } else if (selected) {
            painter->fillRect(cell, option.palette.color(QPalette::Highlight));
            text = option.palette.color(QPalette::HighlightedText);
        } else {
            painter->fillRect(cell, option.palette.color(QPalette::Base));
        }
        painter->setFont(option.font);
        painter->setPen(text);
        painter->setClipRect(cell);
        const int lineHeight = painter->fontMetrics().height();
        const QStringList lines = index.data().toString().split(u"\r\n"_s);
        for (qsizetype i = 0; i < lines.size(); ++i)
            painter->drawText(QRect(cell.left() + 2, cell.top() + 2 + int(i) * lineHeight, cell.width() - 2, lineHeight),
                              Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines.at(i));
        painter->setClipping(false);
        drawCellFrame(painter, cell, FEditor->LineColor(), index.column() == 0, index.row() == 0 && !FEditor->ShowTitle());
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        const TItemProp prop = FEditor->ItemProp(index.row());
        if (prop.EditStyle == esPickList) {
            auto* combo = new QComboBox(parent);
            combo->setEditable(!prop.ReadOnly);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->addItems(prop.PickList);
            return combo;
        }
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->setReadOnly(prop.ReadOnly);
        if (prop.EditStyle == esEllipsis) {
            auto* button = new QToolButton(edit);
            button->setObjectName(u"EllipsisButton"_s);
            button->setText(u"..."_s);
            button->setCursor(Qt::ArrowCursor);
            button->setFocusPolicy(Qt::NoFocus);
            const int row = index.row();
            QObject::connect(button, &QToolButton::clicked, FEditor, [editor = FEditor, row] {
                Q_EMIT editor->EditButtonClick(row);
            });
        }
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const QString text = index.data().toString();
            const int at = combo->findText(text);
            if (combo->isEditable())
                combo->setEditText(text);
            else if (at >= 0)
                combo->setCurrentIndex(at);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        editor->setGeometry(option.rect);
        if (auto* button = editor->findChild<QToolButton*>(u"EllipsisButton"_s, Qt::FindDirectChildrenOnly)) {
            const int h = option.rect.height();
            button->setGeometry(option.rect.width() - h, 0, h, h);
            static_cast<QLineEdit*>(editor)->setTextMargins(0, 0, h, 0);
        }
    }

private:
    TqxValueListEditor* FEditor;
};

QTableWidgetItem* keyItem(const QString& key)
{
    auto* item = new QTableWidgetItem(key);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

} // namespace

TqxValueListEditor::TqxValueListEditor(QWidget* parent) : QTableWidget(0, 2, parent), FKeyFont(font())
{
    setHorizontalHeader(new TTitleRow(this));
    setItemDelegate(new TValueDelegate(this));
    SetTitleCaptions(u"名称"_s, u"值"_s);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    setColumnWidth(0, 120);
    setShowGrid(false);
    setSelectionMode(SingleSelection);
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
    // The key column is not for editing: the cursor stays in the value column.
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (row >= 0 && column == 0)
            setCurrentCell(row, 1);
    });
}

void TqxValueListEditor::SetLineColor(const QColor& color)
{
    FLineColor = color;
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

void TqxValueListEditor::SetKeyFont(const QFont& font)
{
    FKeyFont = font;
    horizontalHeader()->viewport()->update();
}

void TqxValueListEditor::SetKeyAlignment(TAlignment alignment)
{
    FKeyAlignment = alignment;
    horizontalHeader()->viewport()->update();
}

bool TqxValueListEditor::ShowTitle() const { return !horizontalHeader()->isHidden(); }

void TqxValueListEditor::SetShowTitle(bool show) { horizontalHeader()->setVisible(show); }

void TqxValueListEditor::SetTitleCaptions(const QString& keyTitle, const QString& valueTitle)
{
    setHorizontalHeaderLabels({keyTitle, valueTitle});
}

QStringList TqxValueListEditor::Strings() const
{
    QStringList lines;
    for (int row = 0; row < rowCount(); ++row)
        lines.append(Key(row) + u'=' + Value(row));
    return lines;
}

void TqxValueListEditor::SetStrings(const QStringList& lines)
{
    setRowCount(0);
    for (const QString& line : lines) {
        const qsizetype at = line.indexOf(u'=');
        InsertRow(at < 0 ? line : line.left(at), at < 0 ? QString() : line.mid(at + 1));
    }
}

int TqxValueListEditor::InsertRow(const QString& key, const QString& value)
{
    const int row = rowCount();
    insertRow(row);
    setItem(row, 0, keyItem(key));
    setItem(row, 1, new QTableWidgetItem(value));
    return row;
}

QString TqxValueListEditor::Key(int row) const
{
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? cell->text() : QString();
}

QString TqxValueListEditor::Value(int row) const
{
    const QTableWidgetItem* cell = item(row, 1);
    return cell ? cell->text() : QString();
}

void TqxValueListEditor::SetValue(int row, const QString& value)
{
    if (QTableWidgetItem* cell = item(row, 1))
        cell->setText(value);
}

int TqxValueListEditor::FindRow(const QString& key) const
{
    for (int row = 0; row < rowCount(); ++row)
        if (Key(row).compare(key, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

QString TqxValueListEditor::Values(const QString& key) const { return Value(FindRow(key)); }

// The editing style travels with the row's value cell, so it stays with its
// row however rows are inserted or removed.
TItemProp TqxValueListEditor::ItemProp(int row) const
{
    const QTableWidgetItem* cell = item(row, 1);
    return cell ? cell->data(Qt::UserRole).value<TItemProp>() : TItemProp();
}

void TqxValueListEditor::SetItemProp(int row, const TItemProp& prop)
{
    if (QTableWidgetItem* cell = item(row, 1))
        cell->setData(Qt::UserRole, QVariant::fromValue(prop));
}
