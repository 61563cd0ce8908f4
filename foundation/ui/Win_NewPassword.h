#pragma once
// The new-password dialog: the old password, the new one and its
// confirmation. OK is enabled exactly while the new text and the confirmation
// are equal, and accepted only when the old text is the current password.

#include "Win_BasicDialog.h"

class QGroupBox;
class TqxLabeledEdit;

class TForm_NewPassword : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    explicit TForm_NewPassword(const QString& currentPassword, QWidget* parent = nullptr);

    // The new password after OK; empty means no password.
    QString NewPassword() const;

    QGroupBox* GroupBox_Password;
    TqxLabeledEdit* Edit_Old;
    TqxLabeledEdit* Edit_New;
    TqxLabeledEdit* Edit_Confirm;
    QPushButton* Button_OK;
    QPushButton* Button_Cancel;

private:
    void CheckAndAccept();

    QString FCurrent;
};

bool GetNewPassword(QString& password);
