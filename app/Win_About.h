#pragma once
// The about box: the product picture with the maker's lines. A click on the
// picture closes it.

#include <QDialog>
#include <QPixmap>

class TForm_About : public QDialog {
    Q_OBJECT
public:
    TForm_About(const QPixmap& picture, const QString& title, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
