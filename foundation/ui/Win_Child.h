#pragma once
// The base of the program's MDI child windows (the project windows): it
// tells the notice target about the window's life, created, shown,
// activated and closing, as MSG_CHILD_NOTIFY with its own handle, always
// before the derived window does its own work. It opens maximised and is
// freed when it closes. With no notice target nothing is sent anywhere.

#include <QMdiSubWindow>

class QMdiArea;

class TForm_Child : public QMdiSubWindow {
    Q_OBJECT
public:
    // The window is added to the area but not shown yet: the creator shows
    // it with Show once it holds what it should show.
    explicit TForm_Child(QMdiArea* area);

    // Shows the window maximised, as every child opens.
    void Show();

protected:
    void Notify(int code);
    void showEvent(QShowEvent* event) override;
    // A derived window decides first whether it may close; once it has
    // accepted, the base sends its closing notice.
    void closeEvent(QCloseEvent* event) override;

private:
    void NoticeShown();
    bool FShown = false;
};
