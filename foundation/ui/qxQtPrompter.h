#pragma once
// The prompter the programs install: real message boxes, file and folder
// dialogs and input boxes. The Build* functions make each dialog without
// showing it, so its set-up can be checked without a modal loop.

#include "qxPrompter.h"

#include <memory>

class QAbstractButton;
class QFileDialog;
class QMessageBox;
class QWidget;

class TqxQtPrompter final : public TqxPrompter {
public:
    int Message(const TMessageRequest& request) override;
    QStringList ChooseFiles(const TFileRequest& request) override;
    std::optional<QString> ChooseFolder(const QString& title, const QString& initialDir) override;
    std::optional<QString> InputText(const TInputRequest& request) override;

    static std::unique_ptr<QMessageBox> BuildMessageBox(const TMessageRequest& request, QWidget* parent = nullptr);
    // The TMsgButton of a button of such a box; mbNone for any other.
    static int ButtonOf(const QAbstractButton* button);
    static std::unique_ptr<QFileDialog> BuildFileDialog(const TFileRequest& request, QWidget* parent = nullptr);
    static std::unique_ptr<QFileDialog> BuildFolderDialog(const QString& title, const QString& initialDir,
                                                          QWidget* parent = nullptr);
    // "家装工程书(*.KVP)|*.KVP|所有文件(*.*)|*.*" as the file dialog's name filters.
    static QStringList NameFilters(const QString& filter);
    // The question asked before a chosen file is replaced.
    static TMessageRequest OverwriteQuestion(const QString& fileName, const QString& title);
};
