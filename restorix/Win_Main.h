#pragma once
// Restorix's window: two short explanations, each with the link that starts
// a backup or a restore.

#include <QWidget>

class TAppGlobalInfo;
class TqxHeadPanel;
class TqxLabel;

class TForm_Main : public QWidget {
    Q_OBJECT
public:
    TForm_Main(const TAppGlobalInfo& info, const QString& title, QWidget* parent = nullptr);

    void StartBackUp();
    void StartRestore();

    TqxHeadPanel* qxHeadPanel1;
    TqxLabel* Label_BackUp;
    TqxLabel* Label_Restore;

private:
    const TAppGlobalInfo& FInfo;
};
