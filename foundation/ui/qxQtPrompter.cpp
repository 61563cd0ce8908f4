#include "qxQtPrompter.h"

#include "Win_InputBox.h"
#include "Win_SelectInputBox.h"
#include "qxFileSystem.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const char* const kButtonProperty = "kvMsgButton";

struct TButtonText {
    int button;
    const char16_t* text;
    QMessageBox::ButtonRole role;
};

// The texts of the Chinese system's message boxes, in the order of the set.
const TButtonText kButtons[] = {
    {mbOK, u"确定", QMessageBox::AcceptRole},        {mbCancel, u"取消", QMessageBox::RejectRole},
    {mbYes, u"是(&Y)", QMessageBox::YesRole},        {mbNo, u"否(&N)", QMessageBox::NoRole},
    {mbAbort, u"中止(&A)", QMessageBox::RejectRole}, {mbRetry, u"重试(&R)", QMessageBox::AcceptRole},
    {mbIgnore, u"忽略(&I)", QMessageBox::AcceptRole},
};

QMessageBox::Icon iconOf(TMsgIcon icon)
{
    switch (icon) {
    case TMsgIcon::Information:
        return QMessageBox::Information;
    case TMsgIcon::Warning:
        return QMessageBox::Warning;
    case TMsgIcon::Error:
        return QMessageBox::Critical;
    case TMsgIcon::Question:
        return QMessageBox::Question;
    case TMsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QWidget* dialogParent() { return QApplication::activeWindow(); }

} // namespace

std::unique_ptr<QMessageBox> TqxQtPrompter::BuildMessageBox(const TMessageRequest& request, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(request.Caption);
    box->setTextFormat(Qt::PlainText);
    box->setText(request.Text);
    box->setIcon(iconOf(request.Icon));
    const int buttons = request.Buttons != mbNone ? request.Buttons : int(mbOK);
    const int defaultButton = request.DefaultButton & buttons ? request.DefaultButton : FirstButton(buttons);
    QPushButton* escape = nullptr;
    for (const TButtonText& b : kButtons) {
        if (!(buttons & b.button))
            continue;
        QPushButton* button = box->addButton(QString::fromUtf16(b.text), b.role);
        button->setProperty(kButtonProperty, b.button);
        if (b.button == defaultButton)
            box->setDefaultButton(button);
        // Escape and the close box answer Cancel, or No, or a lone OK.
        if (b.button == mbCancel || (b.button == mbNo && !(buttons & mbCancel)) || buttons == mbOK)
            escape = button;
    }
    box->setEscapeButton(escape);
    return box;
}

int TqxQtPrompter::ButtonOf(const QAbstractButton* button)
{
    return button ? button->property(kButtonProperty).toInt() : int(mbNone);
}

int TqxQtPrompter::Message(const TMessageRequest& request)
{
    const auto box = BuildMessageBox(request, dialogParent());
    box->exec();
    const int answer = ButtonOf(box->clickedButton());
    if (answer != mbNone)
        return answer;
    const int buttons = request.Buttons != mbNone ? request.Buttons : int(mbOK);
    return buttons & mbCancel ? int(mbCancel) : buttons & mbNo ? int(mbNo) : FirstButton(buttons);
}

QStringList TqxQtPrompter::NameFilters(const QString& filter)
{
    // Each pair becomes "description (patterns)"; the dialog hides the
    // bracket it reads the patterns from, so the user sees the description as
    // written. "*.*" means every file, with or without an extension.
    QStringList filters;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString given = i + 1 < parts.size() ? parts.at(i + 1) : description;
        QStringList patterns;
        for (const QString& p : given.split(u';', Qt::SkipEmptyParts))
            patterns.append(p.trimmed() == u"*.*"_s ? u"*"_s : p.trimmed());
        if (patterns.isEmpty())
            continue;
        filters.append((description.isEmpty() ? given : description) + u" ("_s + patterns.join(u' ') + u')');
    }
    return filters;
}

std::unique_ptr<QFileDialog> TqxQtPrompter::BuildFileDialog(const TFileRequest& request, QWidget* parent)
{
    auto dialog = std::make_unique<QFileDialog>(parent, request.Title);
    // Qt's own dialog: the same on every desktop, and filters match the
    // extension in any letter case (".KVP" and ".kvp").
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    if (!request.InitialDir.isEmpty())
        dialog->setDirectory(FileSystem::NativePath(request.InitialDir));
    const QStringList filters = NameFilters(request.Filter);
    if (!filters.isEmpty())
        dialog->setNameFilters(filters);
    QString ext = request.DefaultExt;
    while (ext.startsWith(u'.'))
        ext.remove(0, 1);
    dialog->setDefaultSuffix(ext);
    if (request.Kind == TFileDialogKind::Save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(request.MultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!request.FileName.isEmpty())
        dialog->selectFile(FileSystem::NativePath(request.FileName));
    return dialog;
}

TMessageRequest TqxQtPrompter::OverwriteQuestion(const QString& fileName, const QString& title)
{
    return {fileName + u" 已存在。\n要替换它吗？"_s, title.isEmpty() ? u"另存为"_s : title, TMsgIcon::Warning,
            mbYes | mbNo, mbNo};
}

QStringList TqxQtPrompter::ChooseFiles(const TFileRequest& request)
{
    TFileRequest ask = request;
    for (;;) {
        const auto dialog = BuildFileDialog(ask, dialogParent());
        if (dialog->exec() != QDialog::Accepted)
            return {};
        const QStringList files = dialog->selectedFiles();
        if (files.isEmpty())
            return {};
        if (ask.Kind != TFileDialogKind::Save || !ask.OverwritePrompt || !QFileInfo::exists(files.first()))
            return files;
        if (Message(OverwriteQuestion(QDir::toNativeSeparators(files.first()), ask.Title)) == mbYes)
            return files;
        // No: back to the dialog with the name the user chose.
        ask.FileName = files.first();
        ask.InitialDir = QFileInfo(files.first()).absolutePath();
    }
}

std::unique_ptr<QFileDialog> TqxQtPrompter::BuildFolderDialog(const QString& title, const QString& initialDir,
                                                              QWidget* parent)
{
    auto dialog = std::make_unique<QFileDialog>(parent, title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    if (!initialDir.isEmpty())
        dialog->setDirectory(FileSystem::NativePath(initialDir));
    return dialog;
}

std::optional<QString> TqxQtPrompter::ChooseFolder(const QString& title, const QString& initialDir)
{
    const auto dialog = BuildFolderDialog(title, initialDir, dialogParent());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog->selectedFiles().first());
}

std::optional<QString> TqxQtPrompter::InputText(const TInputRequest& request)
{
    QString value = request.Value;
    const bool ok = request.Choices.isEmpty()
                        ? InputBox(request.Caption, request.Prompt, 0, request.Password, value)
                        : SelectInputBox(request.Caption, request.Prompt, value, request.Choices);
    if (!ok)
        return std::nullopt;
    return value;
}
