#pragma once
// The installation wizard: a notebook of pages behind a head panel, moved on
// by four buttons. Each page sets the installer's state, the buttons and the
// head text from one table; the work itself is the installer's.

#include "Win_BasicDialog.h"

#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TkvSetup;
class TqxLabeledEdit;
class TqxPrompter;

// The pauses that let a person read a page; tests set them to zero.
struct TkvWizardTimings {
    int AboutMs = 1000;
    int PreparedMs = 500;
    int ShortcutsMs = 500;
};

class TForm_Main : public TForm_CustomBasicDialog {
    Q_OBJECT
public:
    // The notebook's pages, in its order.
    enum Page { pgPrepare, pgFolders, pgLicense, pgCopy, pgConfigure, pgFinish, pgError, pgAbout };

    TForm_Main(TkvSetup& setup, TqxPrompter& prompter, TkvWizardTimings timings = {}, QWidget* parent = nullptr);

    // Starts the installed program at the end; the program entry's default
    // starts it detached, tests record the call.
    std::function<bool(const QString& program)> StartProgram;

    Page CurrentPage() const;
    // The preparation; runs by itself once the window is first shown.
    void Prepare();

    QStackedWidget* Notebook1;
    QPushButton* Button_Prev;
    QPushButton* Button_Next;
    QPushButton* Button_Finish;
    QPushButton* Button_Cancel;
    QLabel* Label_Orbelle;

    QProgressBar* Gauge_Prepare;
    TqxLabeledEdit* Edit_Program;
    TqxLabeledEdit* Edit_Project;
    TqxLabeledEdit* Edit_Backup;
    TqxLabeledEdit* Edit_Template;
    QPlainTextEdit* Memo_Tip;
    QPlainTextEdit* Memo_License;
    QRadioButton* Radio_Reject;
    QRadioButton* Radio_Accept;
    QLabel* Label_Target;
    QProgressBar* Gauge_Copy;
    QLabel* Label_Status;
    QCheckBox* Check_Run;
    QLabel* Label_Reason;

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowPage(Page page);
    // The buttons of the current page, with the agreement's choice.
    void UpdateButtons();
    void PrevClick();
    void NextClick();
    void BrowseClick(TqxLabeledEdit* edit);
    void ProgramFolderChanged();
    void RunCopy();
    void RunConfigure();
    void ShowFailure();
    // Lets the window repaint and act on its buttons for a while.
    void Wait(int ms);
    bool CanClose();

    TkvSetup& FSetup;
    TqxPrompter& FPrompter;
    TkvWizardTimings FTimings;
    bool FPrepared = false;
    bool FClosed = false;
    bool FLicenseChosen = false;
    // The data folders follow the program folder until the user edits them.
    bool FProjectEdited = false;
    bool FBackupEdited = false;
    bool FTemplateEdited = false;
};
