#pragma once
// A one-line edit with a caption label, keyboard moves between fields, input
// filtering, a focus look, an optional flat look and an optional button at
// its right end.

#include "qxCtrls_BoundLabel.h"
#include "qxCtrls_Field.h"

#include <QLineEdit>
#include <QPointer>

class QStyle;
#include <QToolButton>

class TqxLabeledEdit : public QLineEdit, public TqxFieldBehaviour {
    Q_OBJECT
public:
    explicit TqxLabeledEdit(QWidget* parent = nullptr);
    ~TqxLabeledEdit() override;

    // Null once the label has been destroyed.
    TqxBoundLabel* EditLabel() const { return FLabel; }
    TLabelPosition LabelPosition() const;
    void SetLabelPosition(TLabelPosition position);
    int LabelSpacing() const;
    void SetLabelSpacing(int spacing);

    bool Flat() const { return FFlat; }
    void SetFlat(bool flat);

    // The button named "SubButton"; null once it has been destroyed.
    QToolButton* SpeedButton() const { return FButton; }
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool show);

    // Every character shows as this one; a null character shows the text.
    QChar PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(QChar c);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void HotLook();
    void NormalLook();
    void PlaceButton();
    void UpdateTextMargins();

    QPointer<TqxBoundLabel> FLabel;
    QPointer<QToolButton> FButton;
    bool FFlat = false;
    bool FShowButton = false;
    QChar FPasswordChar;
    QPointer<QStyle> FPasswordStyle;
};
