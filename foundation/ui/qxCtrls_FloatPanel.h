#pragma once
// A panel that floats over its parent (the lookup panel of the budget grid).
// It starts hidden, reports when it is shown and hidden, and can take the
// mouse while it is shown.

#include <QFrame>
#include <QPointer>

class TqxFloatPanel : public QFrame {
    Q_OBJECT
public:
    explicit TqxFloatPanel(QWidget* parent = nullptr);

    bool EnableMouseCapture() const { return FEnableMouseCapture; }
    void SetEnableMouseCapture(bool on) { FEnableMouseCapture = on; }
    // Kept for the host; the panel itself does not use it.
    QWidget* InputControl() const { return FInputControl; }
    void SetInputControl(QWidget* control) { FInputControl = control; }

    void MoveTo(int left, int top) { move(left, top); }

    void setVisible(bool visible) override;

Q_SIGNALS:
    void OnShow();
    void OnHide();

private:
    bool FEnableMouseCapture = false;
    QPointer<QWidget> FInputControl;
};
