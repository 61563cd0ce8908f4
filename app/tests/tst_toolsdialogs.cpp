// The Tools menu and the two tool dialogs, driven as a user would on a copy
// of the shipped installation; every question is answered by script.

#include "AppStage.h"
#include "GbkText.h"
#include "KvTestSupport.h"
#include "Win_ConfigTools.h"
#include "Win_EditConfigTool.h"
#include "kvExternalTools.h"
#include "kvHotKey.h"
#include "kvToolsMenu.h"
#include "qxCtrls_LabeledEdit.h"
#include "qxScriptedPrompter.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class TestToolsDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void shippedToolsMenu();
    void configDialogRows();
    void addEditDelete();
    void deleteAllAndConfirm();
    void cancelKeepsFileAndMenu();
    void roundTripThroughPropertyDialog();
    void propertyDialog();
    void propertyRefusals_data();
    void propertyRefusals();
    void browseProgram();
    void hotKey_data();
    void hotKey();

private:
    QString toolsFile() const { return FStage->Info->GetFileName(u"配置_外挂程序"_s); }
    // What the main window does after the tools dialog was confirmed.
    void applyConfirmed(const QStringList& lines);
    QStringList menuTexts() const;

    std::unique_ptr<TAppStage> FStage;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
    std::unique_ptr<QMainWindow> FWindow;
    QMenu* FMenu = nullptr;
    QAction* FConfigTools = nullptr;
    TkvToolList FTools;
    QList<int> FLaunched;
};

void TestToolsDialogs::init()
{
    FPrompter = std::make_unique<TqxScriptedPrompter>();
    FStage = std::make_unique<TAppStage>();
    QVERIFY(FStage->Create());
    FWindow = std::make_unique<QMainWindow>();
    FMenu = FWindow->menuBar()->addMenu(u"工具(&T)"_s);
    FConfigTools = new QAction(u"配置工具(&S)"_s, FWindow.get());
    FConfigTools->setObjectName(u"Tools_ConfigTools"_s);
    FLaunched.clear();
    FTools.LoadFromFile(toolsFile());
    FTools.BuildCommands(FWindow.get(), [this](int i) { FLaunched << i; });
    BuildToolsMenu(*FMenu, *FConfigTools, FTools);
}

void TestToolsDialogs::cleanup()
{
    FWindow.reset();
    FStage.reset();
    FPrompter.reset();
}

void TestToolsDialogs::applyConfirmed(const QStringList& lines)
{
    FTools.Lines = lines;
    FTools.SaveToFile(toolsFile());
    FTools.BuildCommands(FWindow.get(), [this](int i) { FLaunched << i; });
    BuildToolsMenu(*FMenu, *FConfigTools, FTools);
}

QStringList TestToolsDialogs::menuTexts() const
{
    QStringList texts;
    for (const QAction* a : FMenu->actions())
        texts << (a->isSeparator() ? u"-"_s : a->text());
    return texts;
}

void TestToolsDialogs::shippedToolsMenu()
{
    QCOMPARE(menuTexts(), (QStringList{u"配置工具(&S)"_s, u"-"_s, u"备份与恢复"_s, u"计算器"_s}));
    QCOMPARE(FMenu->actions().first(), FConfigTools);
    const QList<QAction*> commands = FTools.Commands();
    QCOMPARE(commands.size(), 2);
    QCOMPARE(commands[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    QVERIFY(commands[1]->shortcut().isEmpty());
    QCOMPARE(commands[1]->data().toInt(), 1);
    QCOMPARE(commands[0]->parent(), FWindow.get());
    commands[1]->trigger();
    commands[0]->trigger();
    QCOMPARE(FLaunched, (QList<int>{1, 0}));

    // The shipped Restorix entry names the program staged beside Kavelin.
    const TToolCommandLine restorix = ToolCommandLine(FTools.Lines.first(), *FStage->Info);
    QCOMPARE(restorix.Program, FStage->Info->AppPath + u"Restorix"_s);
}

void TestToolsDialogs::configDialogRows()
{
    const QStringList lines{FTools.Lines.first(), u"编辑=gedit|Alt+E|reserved|编辑文本"_s};
    TForm_ConfigTools dialog(lines);
    QCOMPARE(dialog.windowTitle(), u"配置工具"_s);
    QCOMPARE(dialog.qxHeadPanel1->Description(), u"配置工具菜单，这样您就可以方便的使用外部程序..."_s);
    QCOMPARE(dialog.Label_Tools->text(), u"工具(&T):"_s);
    QTreeWidget* list = dialog.ListView_Tools;
    QCOMPARE(list->headerItem()->text(2), u"运行的程序文件"_s);
    QStringList headers;
    for (int c = 0; c < list->columnCount(); ++c)
        headers << list->headerItem()->text(c);
    QCOMPARE(headers, (QStringList{u"标题"_s, u"描述"_s, u"运行的程序文件"_s, u"快捷键"_s}));
    QCOMPARE(list->topLevelItemCount(), 2);
    QStringList row;
    for (int c = 0; c < 4; ++c)
        row << list->topLevelItem(1)->text(c);
    QCOMPARE(row, (QStringList{u"编辑"_s, u"编辑文本"_s, u"gedit"_s, u"Alt+E"_s}));
    QVERIFY(dialog.Button_OK->isDefault());
    QCOMPARE(dialog.Button_Add->text(), u"增加(&A)..."_s);
    // Confirmed untouched: the shipped line comes back as it was, the
    // reserved field is gone.
    QCOMPARE(dialog.ToolLines(), (QStringList{lines.first(), u"编辑=gedit|Alt+E||编辑文本"_s}));
}

void TestToolsDialogs::addEditDelete()
{
    TForm_ConfigTools dialog(FTools.Lines);
    QList<TExternalProgram> asked;
    QList<std::optional<TExternalProgram>> answers;
    dialog.OnEditTool = [&](TExternalProgram& tool) {
        asked << tool;
        const std::optional<TExternalProgram> answer = answers.takeFirst();
        if (answer)
            tool = *answer;
        return bool(answer);
    };

    // Added on an empty record; a cancelled addition adds nothing.
    const TExternalProgram notes{u"记事"_s, u"写点什么"_s, u"gedit"_s, u"Ctrl+G"_s, u"ignored"_s};
    answers << notes << std::nullopt;
    dialog.Button_Add->click();
    dialog.Button_Add->click();
    QCOMPARE(asked.at(0), TExternalProgram());
    QCOMPARE(dialog.ListView_Tools->topLevelItemCount(), 3);
    QCOMPARE(dialog.ListView_Tools->currentItem()->text(0), u"记事"_s);

    // Changed: the record comes from the row; the answer goes back into it.
    asked.clear();
    dialog.ListView_Tools->setCurrentItem(dialog.ListView_Tools->topLevelItem(1));
    TExternalProgram calc = ParseToolLine(FTools.Lines.at(1));
    calc.ShortCut = u"Alt+C"_s;
    answers << calc;
    dialog.Button_Edit->click();
    QCOMPARE(asked.at(0), ParseToolLine(FTools.Lines.at(1)));
    QCOMPARE(dialog.ListView_Tools->topLevelItem(1)->text(3), u"Alt+C"_s);

    // Deleted only on Yes, after the question.
    dialog.ListView_Tools->setCurrentItem(dialog.ListView_Tools->topLevelItem(0));
    FPrompter->AnswerButton(mbNo).AnswerButton(mbYes);
    dialog.Button_Delete->click();
    QCOMPARE(dialog.ListView_Tools->topLevelItemCount(), 3);
    const TMessageRequest& q = FPrompter->Last().message;
    QCOMPARE(q.Text, u"是否真的删除与程序【备份与恢复】的连接？"_s);
    QCOMPARE(q.Caption, u"删除"_s);
    QCOMPARE(q.Icon, TMsgIcon::Question);
    QCOMPARE(q.Buttons, mbYes | mbNo);
    dialog.Button_Delete->click();
    QCOMPARE(dialog.ListView_Tools->topLevelItemCount(), 2);

    QCOMPARE(dialog.ToolLines(), (QStringList{u"计算器=galculator|Alt+C||打开计算器"_s, u"记事=gedit|Ctrl+G||写点什么"_s}));
    QVERIFY(answers.isEmpty());

    // The keys of the list do what the buttons do.
    answers << std::nullopt;
    QTest::keyClick(dialog.ListView_Tools, Qt::Key_Insert);
    QVERIFY(answers.isEmpty());
    FPrompter->AnswerButton(mbYes);
    QTest::keyClick(dialog.ListView_Tools, Qt::Key_Delete);
    QCOMPARE(dialog.ListView_Tools->topLevelItemCount(), 1);

    // With no row selected, change and delete have nothing to act on.
    dialog.ListView_Tools->clearSelection();
    QVERIFY(!dialog.Button_Edit->isEnabled());
    QVERIFY(!dialog.Button_Delete->isEnabled());
    dialog.EditSelectedTool();
    dialog.DeleteSelectedTool();
    QCOMPARE(FPrompter->Records.size(), size_t(3));
}

void TestToolsDialogs::deleteAllAndConfirm()
{
    TForm_ConfigTools dialog(FTools.Lines);
    const QList<QAction*> commands = FTools.Commands();
    const QList<QPointer<QAction>> old(commands.begin(), commands.end());
    while (dialog.ListView_Tools->topLevelItemCount() > 0) {
        dialog.ListView_Tools->setCurrentItem(dialog.ListView_Tools->topLevelItem(0));
        FPrompter->AnswerButton(mbYes);
        dialog.Button_Delete->click();
    }
    dialog.Button_OK->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    applyConfirmed(dialog.ToolLines());

    QCOMPARE(KvTest::ReadBytes(toolsFile()), QByteArray());
    QCOMPARE(menuTexts(), (QStringList{u"配置工具(&S)"_s, u"-"_s}));
    // The commands of the old list are gone with it.
    for (const QPointer<QAction>& command : old)
        QVERIFY(command.isNull());
}

void TestToolsDialogs::cancelKeepsFileAndMenu()
{
    const QByteArray before = KvTest::ReadBytes(toolsFile());
    const QStringList menuBefore = menuTexts();
    TForm_ConfigTools dialog(FTools.Lines);
    dialog.OnEditTool = [](TExternalProgram& tool) {
        tool.Title = u"新工具"_s;
        return true;
    };
    dialog.Button_Add->click();
    dialog.Button_Add->click();
    dialog.Button_Cancel->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    // The main window acts only on a confirmation.
    QCOMPARE(KvTest::ReadBytes(toolsFile()), before);
    QCOMPARE(menuTexts(), menuBefore);
}

void TestToolsDialogs::roundTripThroughPropertyDialog()
{
    TForm_ConfigTools dialog(FTools.Lines);
    // The real property dialog, filled in and confirmed by its buttons.
    std::function<void(TForm_EditToolProperty&)> fill;
    dialog.OnEditTool = [&](TExternalProgram& tool) {
        TForm_EditToolProperty edit(tool, &dialog);
        fill(edit);
        if (edit.result() != QDialog::Accepted)
            return false;
        tool = edit.Tool();
        return true;
    };
    fill = [](TForm_EditToolProperty& edit) {
        edit.Edit_Title->setText(u"终端"_s);
        edit.Edit_Description->setText(u"打开终端 | 任意文字 = 也行"_s);
        edit.Edit_Program->setText(u"x-terminal-emulator -e \"[App]Restorix\""_s);
        edit.HotKey_ShortCut->SetHotKey(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T));
        edit.Button_OK->click();
    };
    dialog.Button_Add->click();
    // Changing the Restorix row without touching a field keeps it as it was.
    dialog.ListView_Tools->setCurrentItem(dialog.ListView_Tools->topLevelItem(0));
    fill = [](TForm_EditToolProperty& edit) { edit.Button_OK->click(); };
    dialog.Button_Edit->click();
    dialog.Button_OK->click();
    applyConfirmed(dialog.ToolLines());

    TkvToolList reread;
    reread.LoadFromFile(toolsFile());
    QCOMPARE(reread.Lines, (QStringList{u"备份与恢复=[App]Restorix|Ctrl+B||备份与恢复"_s,
                                        u"计算器=galculator|||打开计算器"_s,
                                        u"终端=x-terminal-emulator -e \"[App]Restorix\"|Ctrl+Alt+T||打开终端 | 任意文字 = 也行"_s}));
    QCOMPARE(menuTexts().last(), u"终端"_s);
    QCOMPARE(FTools.Commands().last()->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T));
    const TToolCommandLine command = ToolCommandLine(reread.Lines.last(), *FStage->Info);
    QCOMPARE(command.Arguments, (QStringList{u"-e"_s, FStage->Info->AppPath + u"Restorix"_s}));
}

void TestToolsDialogs::propertyDialog()
{
    const TExternalProgram tool{u"备份与恢复"_s, u"说明"_s, u"[App]Restorix"_s, u"ctrl+b"_s, u"keep"_s};
    TForm_EditToolProperty dialog(tool);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.windowTitle(), u"工具属性"_s);
    QCOMPARE(dialog.qxHeadPanel1->Description(), u"定义一个工具的信息，使它能正确运行..."_s);
    QCOMPARE(dialog.Edit_Title->EditLabel()->text(), u"工具标题(&T):"_s);
    QCOMPARE(dialog.Edit_Program->EditLabel()->text(), u"程序(&P):"_s);
    QCOMPARE(dialog.Label_HotKey->text(), u"快捷键(&A):"_s);
    QCOMPARE(dialog.Button_Browse->toolTip(), u"浏览程序..."_s);
    QCOMPARE(QApplication::focusWidget(), dialog.Edit_Title);
    QCOMPARE(dialog.HotKey_ShortCut->text(), u"Ctrl+B"_s);
    // The reserved field goes back as it came; the shortcut as the key's text.
    QCOMPARE(dialog.Tool(), (TExternalProgram{u"备份与恢复"_s, u"说明"_s, u"[App]Restorix"_s, u"Ctrl+B"_s, u"keep"_s}));
    dialog.Button_Cancel->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestToolsDialogs::propertyRefusals_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focused");

    QTest::newRow("empty title") << QString() << u"gedit"_s << u"请输入工具标题！"_s << u"Edit_Title"_s;
    QTest::newRow("equals in title") << u"a=b"_s << u"gedit"_s << u"工具标题中不能含有“=”！"_s << u"Edit_Title"_s;
    QTest::newRow("bar in program") << u"T"_s << u"sh -c 'a|b'"_s << u"程序中不能含有“|”！"_s << u"Edit_Program"_s;
    QTest::newRow("fit") << u"T"_s << QString() << QString() << QString();
}

void TestToolsDialogs::propertyRefusals()
{
    QFETCH(QString, title);
    QFETCH(QString, program);
    QFETCH(QString, message);
    QFETCH(QString, focused);
    TForm_EditToolProperty dialog(TExternalProgram{});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.Edit_Title->setText(title);
    dialog.Edit_Program->setText(program);
    dialog.Edit_Description->setFocus();
    dialog.Button_OK->click();
    if (message.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(FPrompter->Records.empty());
        return;
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(FPrompter->MessageTexts(), QStringList{message});
    QCOMPARE(FPrompter->Last().message.Caption, u"提示"_s);
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
}

void TestToolsDialogs::browseProgram()
{
    TForm_EditToolProperty dialog(TExternalProgram{u"T"_s, {}, u"old"_s, {}, {}});
    FPrompter->AnswerCancel().AnswerFiles({u"/usr/bin/galculator"_s}).AnswerFiles({u"/opt/My Tools/run"_s});
    dialog.Button_Browse->click();
    QCOMPARE(dialog.Edit_Program->text(), u"old"_s);
    const TFileRequest& ask = FPrompter->Last().file;
    QCOMPARE(ask.Kind, TFileDialogKind::Open);
    QCOMPARE(ask.Title, u"选择可运行的程序"_s);
    QVERIFY(ask.Filter.contains(u"可执行程序(*.EXE)|*.EXE"_s));
    QVERIFY(ask.Filter.contains(u"所有文件(*.*)|*.*"_s));
    dialog.Button_Browse->click();
    QCOMPARE(dialog.Edit_Program->text(), u"/usr/bin/galculator"_s);
    // A path with a blank stays one word of the command line.
    dialog.Button_Browse->click();
    QCOMPARE(dialog.Edit_Program->text(), u"\"/opt/My Tools/run\""_s);
    QCOMPARE(ToolCommandLine(FormatToolLine(dialog.Tool()), *FStage->Info).Program, u"/opt/My Tools/run"_s);
}

void TestToolsDialogs::hotKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text"); // what the field holds afterwards; it starts with "Alt+X"

    QTest::newRow("Ctrl+B") << int(Qt::Key_B) << int(Qt::ControlModifier) << u"Ctrl+B"_s;
    QTest::newRow("Shift+Ctrl+F5") << int(Qt::Key_F5) << int(Qt::ControlModifier | Qt::ShiftModifier) << u"Shift+Ctrl+F5"_s;
    QTest::newRow("Alt+PgDn") << int(Qt::Key_PageDown) << int(Qt::AltModifier) << u"Alt+PgDn"_s;
    // The letter of the title label's mnemonic goes into the field, not to the title.
    QTest::newRow("Alt+T") << int(Qt::Key_T) << int(Qt::AltModifier) << u"Alt+T"_s;
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier) << u"Ctrl+Tab"_s;
    QTest::newRow("no modifier refused") << int(Qt::Key_B) << int(Qt::NoModifier) << u"Alt+X"_s;
    QTest::newRow("F5 alone refused") << int(Qt::Key_F5) << int(Qt::NoModifier) << u"Alt+X"_s;
    QTest::newRow("Shift alone refused") << int(Qt::Key_B) << int(Qt::ShiftModifier) << u"Alt+X"_s;
    QTest::newRow("nameless key refused") << int(Qt::Key_Semicolon) << int(Qt::ControlModifier) << u"Alt+X"_s;
    QTest::newRow("modifier key alone") << int(Qt::Key_Control) << int(Qt::ControlModifier) << u"Alt+X"_s;
    QTest::newRow("Backspace clears") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << QString();
    QTest::newRow("Del clears") << int(Qt::Key_Delete) << int(Qt::NoModifier) << QString();
    QTest::newRow("Ctrl+Del taken") << int(Qt::Key_Delete) << int(Qt::ControlModifier) << u"Ctrl+Del"_s;
}

void TestToolsDialogs::hotKey()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    TForm_EditToolProperty dialog(TExternalProgram{u"T"_s, {}, {}, u"Alt+X"_s, {}});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.HotKey_ShortCut->setFocus();
    QTest::keyClick(dialog.HotKey_ShortCut, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(dialog.HotKey_ShortCut->text(), text);
    QCOMPARE(dialog.Tool().ShortCut, text);
    QCOMPARE(QApplication::focusWidget(), dialog.HotKey_ShortCut);
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestToolsDialogs)
#include "tst_toolsdialogs.moc"
