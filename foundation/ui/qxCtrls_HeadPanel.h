#pragma once
// The white band at the top of every dialog: an icon at the left, one line of
// description beside it and a grey line along the bottom.

#include <QColor>
#include <QPixmap>
#include <QWidget>

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

class TqxHeadPanel : public QWidget {
    Q_OBJECT
public:
    explicit TqxHeadPanel(QWidget* parent = nullptr);

    QPixmap Picture() const { return FPicture; }
    void SetPicture(const QPixmap& picture);
    int LabelLeftSide() const { return FLabelLeftSide; }
    void SetLabelLeftSide(int pixels);
    int PictureLeftSide() const { return FPictureLeftSide; }
    void SetPictureLeftSide(int pixels);
    QColor BevelColor() const { return FBevelColor; }
    void SetBevelColor(const QColor& color);
    QString Description() const { return FDescription; }
    void SetDescription(const QString& text);
    // alTop and alBottom put the text at the top or bottom; anything else centres it.
    TAlign DescAlign() const { return FDescAlign; }
    void SetDescAlign(TAlign align);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap FPicture;
    int FLabelLeftSide = 5;
    int FPictureLeftSide = 5;
    QColor FBevelColor{128, 128, 128};
    QString FDescription;
    TAlign FDescAlign = alNone;
};
