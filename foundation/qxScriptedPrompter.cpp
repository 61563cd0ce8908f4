#include "qxScriptedPrompter.h"

TqxScriptedPrompter::TqxScriptedPrompter() { SetPrompter(this); }

TqxScriptedPrompter::~TqxScriptedPrompter()
{
    if (&Prompter() == this)
        SetPrompter(nullptr);
}

TqxScriptedPrompter& TqxScriptedPrompter::AnswerButton(int button)
{
    FScript.push_back({false, button, {}});
    return *this;
}

TqxScriptedPrompter& TqxScriptedPrompter::AnswerFiles(const QStringList& files)
{
    FScript.push_back({false, mbOK, files});
    return *this;
}

TqxScriptedPrompter& TqxScriptedPrompter::AnswerText(const QString& text)
{
    FScript.push_back({false, mbOK, {text}});
    return *this;
}

TqxScriptedPrompter& TqxScriptedPrompter::AnswerCancel()
{
    FScript.push_back({true, mbCancel, {}});
    return *this;
}

std::optional<TqxScriptedPrompter::Answer> TqxScriptedPrompter::Next()
{
    if (FScript.empty()) {
        ++Unscripted;
        return std::nullopt;
    }
    Answer a = FScript.front();
    FScript.pop_front();
    return a;
}

int TqxScriptedPrompter::Message(const TMessageRequest& request)
{
    Record r;
    r.kind = Kind::Message;
    r.message = request;
    Records.push_back(r);
    const auto a = Next();
    if (!a)
        return request.DefaultButton != mbNone ? request.DefaultButton : FirstButton(request.Buttons);
    return a->button;
}

QStringList TqxScriptedPrompter::ChooseFiles(const TFileRequest& request)
{
    Record r;
    r.kind = Kind::Files;
    r.file = request;
    Records.push_back(r);
    const auto a = Next();
    return a && !a->cancel ? a->texts : QStringList();
}

std::optional<QString> TqxScriptedPrompter::ChooseFolder(const QString& title, const QString& initialDir)
{
    Record r;
    r.kind = Kind::Folder;
    r.folderTitle = title;
    r.folderInitial = initialDir;
    Records.push_back(r);
    const auto a = Next();
    if (!a || a->cancel || a->texts.isEmpty())
        return std::nullopt;
    return a->texts.first();
}

std::optional<QString> TqxScriptedPrompter::InputText(const TInputRequest& request)
{
    Record r;
    r.kind = Kind::Input;
    r.input = request;
    Records.push_back(r);
    const auto a = Next();
    if (!a || a->cancel || a->texts.isEmpty())
        return std::nullopt;
    return a->texts.first();
}

QStringList TqxScriptedPrompter::MessageTexts() const
{
    QStringList texts;
    for (const Record& r : Records)
        if (r.kind == Kind::Message)
            texts.append(r.message.Text);
    return texts;
}

void TqxScriptedPrompter::Reset()
{
    Records.clear();
    FScript.clear();
    Unscripted = 0;
}
