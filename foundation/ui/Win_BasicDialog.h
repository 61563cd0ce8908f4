#pragma once
// The base of the program's dialogs: a fixed window with the white head panel
// across its top. Derived dialogs set the panel's description and place their
// controls below it.

#include "qxCtrls_HeadPanel.h"

#include <QDialog>

class QPushButton;

class TForm_CustomBasicDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int HeadHeight = 41;

    explicit TForm_CustomBasicDialog(QWidget* parent = nullptr);

    TqxHeadPanel* qxHeadPanel1;

    // Gives the dialog this fixed size.
    void SetClientSize(int width, int height);
    // A push button at a fixed place; the default one answers Enter.
    QPushButton* AddButton(const QString& text, const QRect& geometry, bool isDefault = false);

    void CenterOnScreen();
    // Centres on the owner's frame; on the screen when there is no owner.
    void CenterOn(const QWidget* owner);
    // The application's main window (the first main window, else the active window).
    static QWidget* MainWindow();

protected:
    void resizeEvent(QResizeEvent* event) override;
};
