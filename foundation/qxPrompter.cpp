#include "qxPrompter.h"

#include <cstdio>

namespace {

// Used before a program installs its own prompter, and by command-line tools:
// nothing blocks, every question is logged and answered with its default.
class TConsolePrompter final : public TqxPrompter {
public:
    int Message(const TMessageRequest& r) override
    {
        std::fprintf(stderr, "%s: %s\n", r.Caption.toLocal8Bit().constData(), r.Text.toLocal8Bit().constData());
        return r.DefaultButton != mbNone ? r.DefaultButton : FirstButton(r.Buttons);
    }
    QStringList ChooseFiles(const TFileRequest&) override { return {}; }
    std::optional<QString> ChooseFolder(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> InputText(const TInputRequest&) override { return std::nullopt; }
};

TConsolePrompter gConsole;
TqxPrompter* gPrompter = &gConsole;

} // namespace

TqxPrompter& Prompter() { return *gPrompter; }

void SetPrompter(TqxPrompter* prompter) { gPrompter = prompter ? prompter : &gConsole; }

int FirstButton(int buttons)
{
    for (int b : {mbOK, mbCancel, mbYes, mbNo, mbAbort, mbRetry, mbIgnore})
        if (buttons & b)
            return b;
    return mbOK;
}

int ShowMessage(const QString& text, const QString& caption, TMsgIcon icon, int buttons, int defaultButton)
{
    return Prompter().Message({text, caption, icon, buttons, defaultButton});
}
