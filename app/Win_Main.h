#pragma once
// Kavelin's main window: the MDI area of the project windows with the menus,
// tool bars, window switcher and status bar around it. It owns no document:
// project windows tell it about their lives through MSG_CHILD_NOTIFY and it
// orders the active one through MSG_CHILD_COMMAND. It keeps the recent
// projects and the tools list, and the window layout in [Setup].

#include "kvExternalTools.h"
#include "kvHistoryList.h"

#include <QMainWindow>
#include <QHash>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSet>
#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class TAppGlobalInfo;
class TDataModule_Data;
class TForm_KavelinDialog;
class TForm_Project;
class TqxChildWinSet;
class TqxStatusBar;
struct TItemWindows;

class TForm_Main : public QMainWindow {
    Q_OBJECT
public:
    // The main window adopts the two item windows. It becomes the notice target.
    TForm_Main(TAppGlobalInfo& info, TDataModule_Data& data, const TItemWindows& itemWindows,
               QWidget* parent = nullptr);
    // Writes the history file and the window layout.
    ~TForm_Main() override;

    // Shows the window as the layout says, lets it paint, then asks for the
    // company settings when the company has no name yet.
    void Start();
    // The first argument after the program, when it names an existing file.
    void OpenCommandLine(const QStringList& arguments);

    // The file commands; a project already open is brought up instead of
    // being loaded a second time. nullptr when nothing was opened.
    TForm_Project* OpenProjectFile(const QString& path);
    TForm_Project* NewProjectFromFile(const QString& path);
    TForm_Project* ActiveProject() const;
    QList<TForm_Project*> Projects() const;

    // Asks every project window to close; false when one refused. Those that
    // agreed are gone when it returns.
    bool CloseAllProjects();

    int OpenProjectCount() const { return FOpenCount; }
    TkvHistoryList& History() { return FHistory; }
    TkvToolList& Tools() { return FTools; }
    bool AutoShowTip() const { return FAutoShowTip; }
    // Whether the layout could be read whole; a bad value stops the rest of creation.
    bool LayoutRestored() const { return FLayoutRestored; }

    // The history menus as they are now (the open button's menu is rebuilt as it drops down).
    void BuildReopenMenu(QMenu* menu);
    void UpdateActions();

    // The modal dialogs behind the commands; tests put their own in place.
    std::function<void()> OnCompanySettings;
    std::function<void()> OnBasicData;
    std::function<void()> OnAbout;
    std::function<bool(QStringList& toolLines)> OnEditTools;

    QMdiArea* MdiArea;
    QSplitter* Splitter_Main;
    QWidget* Panel_Wizard;
    QToolBar* ToolBar_Main;
    QToolButton* ToolButton_Open;
    TqxChildWinSet* qxChildWinSet1;
    TqxStatusBar* StatusBar1;
    QMenu* Menu_Reopen;
    QMenu* Menu_Tools;
    QMenu* Menu_History; // the open button's drop-down
    QMenu* PopupMenu_WinSet;
    TForm_KavelinDialog* ItemTemp;
    TForm_KavelinDialog* ItemClipboard;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateWizardPanel();
    void RestoreLayout();
    void SaveLayout();
    void SaveHistory();
    void BuildTools();

    void ChildNotice(quintptr handle, int code);
    void DialogNotice(quintptr handle, int code);
    QMdiSubWindow* ChildOf(quintptr handle);
    QString TabTextOf(QMdiSubWindow* window) const;
    void SendCommand(int command);

    QString ChooseProjectFile(const QString& title, const QString& filter, const QString& folderKey);
    void FileNewFromTemp();
    void FileNewFromOther();
    void FileOpen();
    void ShowItemTemp(bool visible);
    void ShowItemClipboard(bool visible);
    void ShowWizard(bool visible);
    void ShowTip(bool now);
    void ConfigTools();
    void TileWindows(Qt::Orientation orientation);
    void MinimizeAll();
    void ArrangeIcons();
    void EditCommand(const char* method);

    TAppGlobalInfo& FInfo;
    TDataModule_Data& FData;
    TkvToolList FTools;
    TkvHistoryList FHistory;
    int FOpenCount = 0;
    bool FSaveEnabled = false;
    bool FAutoShowTip = true;
    bool FLayoutRestored = false;
    int FWindowState = 0;
    int FWizardWidth = 200;
    bool FClosing = false;
    QString FOpenDefaultExt; // once set, the open dialog keeps it
    QSet<quintptr> FPendingTabs; // created, not yet among the MDI children
    QHash<quintptr, QPointer<QMdiSubWindow>> FChildren; // every child seen in the area
};
