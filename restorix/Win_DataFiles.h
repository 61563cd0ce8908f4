#pragma once
// The part the backup and restore dialogs share: the list of table files with
// a check box on each row, and the buttons that check, invert and give up.

#include "BackupData.h"
#include "qxPrompter.h"
#include "Win_KavelinDialog.h"

class QLabel;
class QPushButton;
class QTableWidget;

class TForm_DataFiles : public TForm_KavelinDialog {
    Q_OBJECT
public:
    TForm_DataFiles(const QString& caption, const QString& head, const QString& label, const QString& pathColumn,
                    QWidget* parent);

    void SetRows(const QList<TDataFileRow>& rows);
    // The rows with the check marks as the user left them.
    QList<TDataFileRow> Rows() const;

    void CheckAll();
    void InvertChecks();

    // The file dialog both dialogs ask through: backup files, starting in InitialDir.
    TFileRequest BackupFileRequest(TFileDialogKind kind, const QString& title) const;

    QString InitialDir; // where the file dialog starts: the configured backup folder

    QLabel* Label_Files;
    QTableWidget* ListView_Files;
    QPushButton* Button_All;
    QPushButton* Button_Invert;
    QPushButton* Button_Action; // 备份 or 恢复, placed by the derived dialog
    QPushButton* Button_Cancel;

private:
    QList<TDataFileRow> FRows;
};
