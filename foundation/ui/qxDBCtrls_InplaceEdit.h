#pragma once
// The grid's one cell editor: a frameless line edit in its own background
// colour, with an ellipsis button at its right end for columns that have one.
// The grid keeps it for its whole life and moves it from cell to cell.

#include <QLineEdit>

class QToolButton;

class TqxInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    static const QColor Background;

    explicit TqxInplaceEdit(QWidget* parent = nullptr);

    QToolButton* EditButton() const { return FButton; }
    bool ButtonVisible() const;
    void SetButtonVisible(bool visible);

    // The text the cell had when the editor was put on it.
    const QString& OriginalText() const { return FOriginal; }
    void SetOriginalText(const QString& text) { FOriginal = text; }

Q_SIGNALS:
    void ButtonClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceButton();

    QToolButton* FButton;
    QString FOriginal;
};
