#pragma once
// Every question the programs put to the user (message boxes, file and folder
// choosers, input boxes) goes through one prompter. The programs install the
// one that shows real dialogs; tests install a scripted one that answers and
// records each question. Nothing here knows a widget.

#include <QString>
#include <QStringList>
#include <optional>

enum class TMsgIcon { None, Information, Warning, Error, Question };

// Buttons of a message box; a set is a bitwise or of them.
enum TMsgButton : int {
    mbNone = 0,
    mbOK = 0x01,
    mbCancel = 0x02,
    mbYes = 0x04,
    mbNo = 0x08,
    mbAbort = 0x10,
    mbRetry = 0x20,
    mbIgnore = 0x40,
};

struct TMessageRequest {
    QString Text;
    QString Caption;
    TMsgIcon Icon = TMsgIcon::None;
    int Buttons = mbOK;
    int DefaultButton = mbNone; // mbNone: the first button of the set
};

enum class TFileDialogKind { Open, Save };

struct TFileRequest {
    TFileDialogKind Kind = TFileDialogKind::Open;
    QString Title;
    // The filter as the programs write it: "家装工程书(*.KVP)|*.KVP|所有文件(*.*)|*.*".
    QString Filter;
    QString InitialDir;
    QString DefaultExt;
    QString FileName;
    bool OverwritePrompt = false;
    bool MultiSelect = false;
};

struct TInputRequest {
    QString Caption;
    QString Prompt;
    QString Value;
    bool Password = false;
    QStringList Choices; // a selection among these instead of free text
};

class TqxPrompter {
public:
    virtual ~TqxPrompter() = default;
    // Returns the button pressed (one of TMsgButton).
    virtual int Message(const TMessageRequest& request) = 0;
    // The chosen files; empty when the user cancelled.
    virtual QStringList ChooseFiles(const TFileRequest& request) = 0;
    virtual std::optional<QString> ChooseFolder(const QString& title, const QString& initialDir) = 0;
    virtual std::optional<QString> InputText(const TInputRequest& request) = 0;
};

// The prompter in use. Without one installed, questions are written to the
// standard error stream and answered with the default button or cancelled.
TqxPrompter& Prompter();
// Installs a prompter (not owned); nullptr goes back to the default one.
void SetPrompter(TqxPrompter* prompter);

// The first button of a set, in the order OK, Cancel, Yes, No, Abort, Retry, Ignore.
int FirstButton(int buttons);

// Shorthand for the common message box.
int ShowMessage(const QString& text, const QString& caption, TMsgIcon icon, int buttons = mbOK,
                int defaultButton = mbNone);
