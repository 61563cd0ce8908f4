#pragma once
// A dialog that tells the main window about its life: created, shown,
// closed (before it hides) and hidden, as MSG_DIALOG_NOTIFY to the notice
// target with its own handle.

#include "Win_BasicDialog.h"

class TForm_KavelinDialog : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    explicit TForm_KavelinDialog(QWidget* parent = nullptr);

    // Every way of closing (OK, Cancel, the close box, close()) ends here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Notify(int code);
};
