#pragma once
// The data grid's title row and indicator column. Both pass their mouse
// presses to the grid, which decides about row selection; the indicator
// marks the current row and the rows selected through it.

#include <QHeaderView>

class TqxDBGrid;

class TqxDBGridTitle : public QHeaderView {
    Q_OBJECT
public:
    explicit TqxDBGridTitle(TqxDBGrid* grid);

    // The section whose border is at pos, ready to be dragged; -1 when none.
    int SizingSectionAt(int pos) const;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TqxDBGrid* FGrid;
    int FPressed = -1;
};

class TqxDBGridIndicator : public QHeaderView {
    Q_OBJECT
public:
    explicit TqxDBGridIndicator(TqxDBGrid* grid);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Press(QMouseEvent* event, bool doubleClick);

    TqxDBGrid* FGrid;
};
