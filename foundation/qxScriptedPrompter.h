#pragma once
// A prompter for tests: answers come from a script given in advance, and every
// question is recorded so a test can check its text, caption, icon and buttons.
// Creating it installs it; destroying it goes back to the default prompter.

#include "qxPrompter.h"

#include <deque>
#include <vector>

class TqxScriptedPrompter final : public TqxPrompter {
public:
    enum class Kind { Message, Files, Folder, Input };

    struct Record {
        Kind kind = Kind::Message;
        TMessageRequest message;
        TFileRequest file;
        TInputRequest input;
        QString folderTitle;
        QString folderInitial;
    };

    TqxScriptedPrompter();
    ~TqxScriptedPrompter() override;

    // Script the next answers, in the order the questions will come.
    TqxScriptedPrompter& AnswerButton(int button);
    TqxScriptedPrompter& AnswerFiles(const QStringList& files);
    TqxScriptedPrompter& AnswerText(const QString& text);
    TqxScriptedPrompter& AnswerCancel();

    int Message(const TMessageRequest& request) override;
    QStringList ChooseFiles(const TFileRequest& request) override;
    std::optional<QString> ChooseFolder(const QString& title, const QString& initialDir) override;
    std::optional<QString> InputText(const TInputRequest& request) override;

    std::vector<Record> Records;
    // Questions asked when the script had no answer left; they got the default.
    int Unscripted = 0;

    // Texts of the recorded message boxes, for compact assertions.
    QStringList MessageTexts() const;
    const Record& Last() const { return Records.back(); }
    void Reset();

private:
    struct Answer {
        bool cancel = false;
        int button = mbNone;
        QStringList texts;
    };
    std::optional<Answer> Next();
    std::deque<Answer> FScript;
};
