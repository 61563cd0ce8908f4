#pragma once
// How the data grid draws and edits its cells: the hooks and colours of each
// data cell, group cells widened over their neighbours, and the grid's one
// in-place editor lent to the cell being edited.

#include <QStyledItemDelegate>

class TqxDBGrid;

class TqxDBGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static const QColor SelectedColor;    // the current cell or row
    static const QColor RowSelectedColor; // rows selected through the indicator
    static const QColor LineColor;

    explicit TqxDBGridDelegate(TqxDBGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The text of a boolean: what BoolDisplay holds before its ";" for true,
    // at most 10 characters after it for false.
    static QString BoolText(const QString& boolDisplay, bool value);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QRect ContentRect(const QRect& cell) const;

    TqxDBGrid* FGrid;
};
