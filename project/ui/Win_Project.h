#pragma once
// The project window: one open project in an MDI child. The shell holds the
// four pages and the tab set under them, the information page, the save
// commands with their dialogs, the close query and the notices to the main
// window; the budget and fee pages hold their own grids and commands. The
// document under it (kvProject) does the reading, writing and computing.

#include "Win_Child.h"
#include "kvProject.h"

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QPlainTextEdit;
class QStackedWidget;
class QTabBar;
class QToolBar;
class TAppGlobalInfo;
class TDataModule_Data;
class TProjectBudgetPage;
class TProjectFeePage;
class TProjectPreview;
class TkvPrintChooser;
class TkvReportSource;
class TqxValueListEditor;

class TForm_Project : public TForm_Child {
    Q_OBJECT
public:
    static const QStringList PageCaptions; // 工程信息, 预算书, 取费表, 预览
    static const QString ProjectFilter;    // "家装工程书(*.KVP)|*.KVP"
    static const QString TemplateFilter;   // "家装工程模板(*.KVT)|*.KVT"

    TForm_Project(QMdiArea* area, const TAppGlobalInfo& info, TDataModule_Data& data);
    ~TForm_Project() override;

    // ---- entry operations of the main window. A window that cannot be
    // opened is closed: nullptr after the user was told (password, not a
    // project file); other errors are raised after closing it, for the
    // caller to report.
    static TForm_Project* OpenProject(QMdiArea* area, const TAppGlobalInfo& info, TDataModule_Data& data,
                                      const QString& path);
    static TForm_Project* NewProject(QMdiArea* area, const TAppGlobalInfo& info, TDataModule_Data& data,
                                     const QString& path);
    static TForm_Project* NewStandardProject(QMdiArea* area, const TAppGlobalInfo& info, TDataModule_Data& data);
    // The main window's window list; empty answers for other windows.
    static QString ProjectNameOf(const QObject* window);
    static QString FileNameOf(const QObject* window);
    static bool IsNewOf(const QObject* window);

    kvProject& Document() { return FDoc; }
    bool Modified() const { return FDoc.Modified(); }
    bool Loading() const { return FDoc.Loading(); }
    const QString& LastPage() const { return FLastPage; }
    QString CurrentPage() const;
    void ShowPage(const QString& caption);

    bool OpenFile(const QString& path);
    void NewFromFile(const QString& path);
    // Each false when cancelled or failed; the window stays open either way.
    bool SaveProject();
    bool SaveProjectAs();
    bool SaveAsTemplate();
    void ChangePassword();

    // The new-password dialog; tests answer it.
    std::function<bool(QString& password)> AskNewPassword;

    QLabel* Label_Loading;
    QStackedWidget* Notebook_Main;
    QTabBar* TabSet_Main;
    QWidget* Panel_Project;
    TqxValueListEditor* qxVLE_ProjectInfo;
    QPlainTextEdit* Memo_Project;
    QToolBar* ToolBar_Project;
    TProjectBudgetPage* BudgetPage;
    TProjectFeePage* FeePage;
    TProjectPreview* PreviewPage;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateInfoPage(QWidget* page);
    void ShowDocument();
    void FormResize();
    void Activated();
    void ForwardNotice(int code);
    void InfoChanged();
    void RemarksChanged();
    void FillControls();
    void CollectLayouts();
    bool AskFileAndSaveCopy(const QString& title, const QString& filter, const QString& ext, const QString& folder);

    kvProject FDoc;
    const TAppGlobalInfo& FInfo;
    std::unique_ptr<TkvReportSource> FReportSource;
    std::unique_ptr<TkvPrintChooser> FPrintChooser;
    TDataModule_Data& FData;
    QString FLastPage;
    QString FDialogFolder; // where the save dialog was last pointed
    bool FFilling = false;
    bool FDestroying = false; // the pages are going: their events concern nobody
};
