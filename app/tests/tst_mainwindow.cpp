// The main window on a private copy of the shipped files: the file commands
// and their enabling, the window switcher, the recent projects, the layout in
// [Setup], the start-up checks and an orderly shut-down.

#include "AppStage.h"
#include "DataModule_App.h"
#include "GbkText.h"
#include "KvTestSupport.h"
#include "Win_KavelinDialog.h"
#include "Win_Main.h"
#include "Win_Project.h"
#include "Win_ProjectBudget.h"
#include "kvItemWindows.h"
#include "kvMakerInfo.h"
#include "kvProject.h"
#include "kvYssDataSet.h"
#include "qxCtrls_ChildWinSet.h"
#include "qxCtrls_StatusBar.h"
#include "qxFileSystem.h"
#include "qxFunctions.h"
#include "qxIniFile.h"
#include "qxNotices.h"
#include "qxScriptedPrompter.h"

#include <QAction>
#include <QHelpEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;
using FileSystem::NativePath;

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menusAndToolBarInOrder();
    void noProjectDisablesTheFileCommands();
    void historyFollowsTheProjectWindows_data();
    void historyFollowsTheProjectWindows();
    void aProjectOpenTwiceKeepsOneWindow();
    void commandLine_data();
    void commandLine();
    void openDialogsTitlesAndFolders();
    void layoutRestore_data();
    void layoutRestore();
    void companyNameCheckAfterPainting_data();
    void companyNameCheckAfterPainting();
    void itemWindowsFollowTheirCommands();
    void closingCanBeCancelled();
    void toolsAndInternetCommands();
    void unwritableHistoryIsToldAndTheLayoutStillSaved();
    void startEditSaveQuit();

private:
    TForm_Main* make();
    QAction* action(const QString& name) const { return FMain->findChild<QAction*>(name); }
    QString sample() const { return FStage->Path(u"工程/预算示例.KVP"_s); }
    static QStringList menuTexts(const QMenu* menu);

    std::unique_ptr<TAppStage> FStage;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
    std::unique_ptr<TDataModule_Data> FData;
    std::unique_ptr<TForm_Main> FMain;
    int FSettingsAsked = 0;
    bool FVisibleWhenAsked = false;
};

void TestMainWindow::init()
{
    FStage = std::make_unique<TAppStage>();
    QVERIFY(FStage->Create());
    FPrompter = std::make_unique<TqxScriptedPrompter>();
    FData = std::make_unique<TDataModule_Data>();
    FData->DataModuleCreate(*FStage->Info);
    FSettingsAsked = 0;
}

void TestMainWindow::cleanup()
{
    if (FMain) {
        for (QMdiSubWindow* w : FMain->MdiArea->subWindowList())
            delete w;
    }
    FMain.reset();
    FData.reset();
    FPrompter.reset();
    FStage.reset();
}

TForm_Main* TestMainWindow::make()
{
    FMain = std::make_unique<TForm_Main>(*FStage->Info, *FData, CreateItemWindows(*FStage->Info, *FData));
    FMain->OnCompanySettings = [this] {
        ++FSettingsAsked;
        FVisibleWhenAsked = FMain->isVisible();
    };
    FMain->OnAbout = [] {};
    FMain->OnBasicData = [] {};
    return FMain.get();
}

QStringList TestMainWindow::menuTexts(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? u"-"_s : a->objectName().isEmpty() ? a->text() : a->objectName());
    return out;
}

void TestMainWindow::menusAndToolBarInOrder()
{
    make();
    QStringList bar;
    for (const QAction* a : FMain->menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{u"文件(&F)"_s, u"编辑(&E)"_s, u"查看(&V)"_s, u"维护(&S)"_s, u"&Internet"_s,
                               u"工具(&T)"_s, u"窗口(&W)"_s, u"帮助(&H)"_s}));
    QCOMPARE(menuTexts(FMain->findChild<QMenu*>(u"Menu_File"_s)),
             (QStringList{u"File_New"_s, u"File_NewFromTemp"_s, u"File_NewFromOther"_s, u"File_Open"_s, u"重新打开"_s,
                          u"File_Close"_s, u"-"_s, u"File_Save"_s, u"File_SaveAs"_s, u"File_SaveAsTemp"_s, u"-"_s,
                          u"File_Quit"_s}));
    // The shipped tools list: the configure command, a separator, then the tools.
    const QStringList tools = menuTexts(FMain->Menu_Tools);
    QCOMPARE(tools.mid(0, 2), (QStringList{u"Tools_ConfigTools"_s, u"-"_s}));
    QCOMPARE(tools.size(), 2 + FMain->Tools().Lines.size());
    QStringList toolBar;
    for (const QAction* a : FMain->ToolBar_Main->actions())
        toolBar << (a->isSeparator() ? u"-"_s : a->iconText());
    QCOMPARE(toolBar, (QStringList{u"新建"_s, u"打开"_s, u"保存"_s, u"关闭"_s, u"-"_s, u"项目"_s, u"导购"_s,
                                   u"剪贴板"_s, u"-"_s, u"设置"_s, u"-"_s, u"退出"_s}));
    QCOMPARE(menuTexts(FMain->PopupMenu_WinSet),
             (QStringList{u"File_Close"_s, u"-"_s, u"File_New"_s, u"File_Open"_s, u"File_Save"_s, u"File_SaveAs"_s}));
    QCOMPARE(FMain->PopupMenu_WinSet->defaultAction(), action(u"File_Close"_s));
    QCOMPARE(action(u"File_Save"_s)->shortcut(), QKeySequence(u"Ctrl+S"_s));
    QVERIFY(!action(u"View_Wizard"_s)->isEnabled());
    QVERIFY(!action(u"Internet_OnlineUpdate"_s)->isEnabled());
    QCOMPARE(FMain->StatusBar1->PanelCount(), 4);
    QCOMPARE(FMain->StatusBar1->PanelText(0), u"欢迎您使用本软件！"_s);
    // Panel 1 repeats the tooltip being shown.
    QWidget* save = FMain->ToolBar_Main->widgetForAction(action(u"File_Save"_s));
    QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), save->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(save, &tip);
    QCOMPARE(FMain->StatusBar1->PanelText(1), save->toolTip());
    QVERIFY(!save->toolTip().isEmpty());
    QCOMPARE(FMain->windowTitle(), FStage->Info->Title());
    QCOMPARE(NoticeTarget(), FMain.get());
}

void TestMainWindow::noProjectDisablesTheFileCommands()
{
    make();
    FMain->Start();
    const QStringList fileCommands{u"File_Close"_s, u"File_Save"_s, u"File_SaveAs"_s, u"File_SaveAsTemp"_s};
    auto enabled = [&] {
        QStringList on;
        for (const QString& n : fileCommands)
            if (action(n)->isEnabled())
                on << n;
        return on;
    };
    QCOMPARE(enabled(), QStringList());
    QVERIFY(FMain->qxChildWinSet1->isHidden());
    // An empty history in both menus.
    FMain->Menu_History->popup(FMain->mapToGlobal(QPoint(0, 0)));
    FMain->Menu_History->hide();
    QCOMPARE(menuTexts(FMain->Menu_Reopen), QStringList{u"<无>"_s});
    QCOMPARE(menuTexts(FMain->Menu_History), QStringList{u"<无>"_s});
    QVERIFY(!FMain->Menu_Reopen->actions().first()->isEnabled());

    // Opened: everything but save; a change enables save.
    TForm_Project* w = FMain->OpenProjectFile(sample());
    QVERIFY(w);
    QCOMPARE(FMain->OpenProjectCount(), 1);
    QCOMPARE(enabled(), (QStringList{u"File_Close"_s, u"File_SaveAs"_s, u"File_SaveAsTemp"_s}));
    QVERIFY(FMain->qxChildWinSet1->isVisible());
    QCOMPARE(FMain->qxChildWinSet1->tabText(0), u"工程预算样本"_s);
    // A new project counts as changed from the start.
    TForm_Project* fresh = FMain->NewProjectFromFile(FStage->Info->GetFileName(u"标准预算书"_s));
    QVERIFY(fresh);
    QCOMPARE(FMain->OpenProjectCount(), 2);
    QCOMPARE(enabled(), fileCommands);
    QCOMPARE(FMain->qxChildWinSet1->count(), 2);

    FPrompter->AnswerButton(mbNo);
    action(u"File_Close"_s)->trigger(); // the active one: the new project
    QTRY_COMPARE(FMain->OpenProjectCount(), 1);
    w->close();
    QCOMPARE(FMain->OpenProjectCount(), 0);
    QCOMPARE(enabled(), QStringList());
    QVERIFY(FMain->qxChildWinSet1->isHidden());
}

void TestMainWindow::historyFollowsTheProjectWindows_data()
{
    QTest::addColumn<QStringList>("before"); // history lines; SAMPLE stands for the sample's path
    QTest::addColumn<int>("count");          // entries after the sample was closed
    QTest::newRow("empty") << QStringList() << 1;
    QTest::newRow("already there in another case")
        << QStringList{u"旧名=SAMPLE_UPPER"_s, u"其它=STAGE/工程/0.KVP"_s} << 2;
    QStringList full;
    for (int i = 1; i <= 20; ++i)
        full << u"工程%1=STAGE/工程/%1.KVP"_s.arg(i);
    QTest::newRow("full: the oldest drops") << full << 20;
}

void TestMainWindow::historyFollowsTheProjectWindows()
{
    QFETCH(QStringList, before);
    QFETCH(int, count);
    // The sample entered in other letters (a file system that ignores case)
    // comes in after start-up, as a history menu here drops what it cannot find.
    const bool upper = before.removeAll(u"旧名=SAMPLE_UPPER"_s) > 0;
    before.replaceInStrings(u"STAGE"_s, FStage->Path(QString()).chopped(1));
    // Entries of files that exist: a history menu drops the others.
    for (const QString& line : before)
        QVERIFY(KvTest::WriteBytes(TNameValueList::ValueOf(line), "x"));
    const QString historyFile = NativePath(FStage->Info->GetFileName(u"历史文件列表"_s));
    QVERIFY(KvTest::WriteBytes(historyFile, Gbk::Encode(QString(before.join(u"\r\n"_s) + u"\r\n"_s))));
    make();
    if (upper)
        FMain->History().Add(u"旧名"_s, sample().toUpper());
    TForm_Project* w = FMain->OpenProjectFile(sample());
    QVERIFY(w);
    // Absent while open, whatever the letter case it was entered with.
    for (const QString& line : FMain->History().Entries().Lines())
        QVERIFY2(!line.contains(sample(), Qt::CaseInsensitive), qPrintable(line));
    w->close();
    delete w; // destroyed now, as at shut-down
    QCOMPARE(FMain->History().Count(), count);
    QCOMPARE(FMain->History().Entries().Line(0), u"工程预算样本="_s + sample());
    if (before.size() == 20)
        QCOMPARE(FMain->History().Entries().Line(19), u"工程19="_s + FStage->Path(u"工程/19.KVP"_s));
    // The reopen menu leads back to the project.
    QCOMPARE(menuTexts(FMain->Menu_Reopen).value(0), u"1. 工程预算样本 ["_s + sample() + u']');
    QCOMPARE(menuTexts(FMain->Menu_Reopen).size(), count);
    FMain->Menu_Reopen->actions().first()->trigger();
    QCOMPARE(FMain->Projects().size(), 1);
    QCOMPARE(TForm_Project::FileNameOf(FMain->Projects().first()), sample());

    // A never-saved project never enters.
    FPrompter->AnswerButton(mbNo);
    TForm_Project* fresh = FMain->NewProjectFromFile(FStage->Info->GetFileName(u"标准预算书"_s));
    QVERIFY(fresh && fresh->close());
    delete fresh;
    QCOMPARE(FMain->History().Count(), count - 1); // the sample is open again: absent
}

void TestMainWindow::aProjectOpenTwiceKeepsOneWindow()
{
    make();
    FMain->Start();
    TForm_Project* first = FMain->OpenProjectFile(sample());
    QVERIFY(first);
    TForm_Project* other = FMain->NewProjectFromFile(FStage->Info->GetFileName(u"标准预算书"_s));
    QCOMPARE(FMain->ActiveProject(), other);
    QCOMPARE(FMain->OpenProjectFile(FStage->Path(u"工程/../工程/预算示例.KVP"_s)), first);
    QCOMPARE(FMain->Projects().size(), 2);
    QCOMPARE(FMain->OpenProjectCount(), 2);
    QCOMPARE(FMain->ActiveProject(), first);
    QCOMPARE(FMain->qxChildWinSet1->currentIndex(), 0);
    // Choosing a tab brings its window up, maximised like the one before.
    FMain->qxChildWinSet1->setCurrentIndex(1);
    QCOMPARE(FMain->ActiveProject(), other);
    QVERIFY(other->isVisible() && other->isMaximized());
    FMain->qxChildWinSet1->setCurrentIndex(0);
    QCOMPARE(FMain->ActiveProject(), first);
    QVERIFY(first->isVisible() && first->isMaximized());
}

void TestMainWindow::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("opened");
    QTest::newRow("none") << QStringList{u"Kavelin"_s} << 0;
    QTest::newRow("the sample") << QStringList{u"Kavelin"_s, u"SAMPLE"_s} << 1;
    QTest::newRow("not a file") << QStringList{u"Kavelin"_s, u"/nowhere/x.KVP"_s} << 0;
    QTest::newRow("a folder") << QStringList{u"Kavelin"_s, u"FOLDER"_s} << 0;
    QTest::newRow("only the first is read") << QStringList{u"Kavelin"_s, u"debug"_s, u"SAMPLE"_s} << 0;
}

void TestMainWindow::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, opened);
    arguments.replaceInStrings(u"SAMPLE"_s, sample());
    arguments.replaceInStrings(u"FOLDER"_s, FStage->Path(u"工程"_s));
    make();
    FMain->OpenCommandLine(arguments);
    QCOMPARE(FMain->Projects().size(), opened);
    QCOMPARE(FPrompter->MessageTexts(), QStringList());
}

void TestMainWindow::openDialogsTitlesAndFolders()
{
    make();
    const QString both = u"家装工程(*.KVP)|*.KVP|家装工程模板(*.KVT)|*.KVT"_s;
    FPrompter->AnswerCancel().AnswerCancel().AnswerFiles({sample()}).AnswerCancel();
    action(u"File_NewFromTemp"_s)->trigger();
    action(u"File_Open"_s)->trigger();
    action(u"File_NewFromOther"_s)->trigger();
    // A double click on the empty area opens too.
    QTest::mouseDClick(FMain->MdiArea->viewport(), Qt::LeftButton);
    QCOMPARE(int(FPrompter->Records.size()), 4);
    const auto& r = FPrompter->Records;
    QCOMPARE(r[0].file.Title, u"选择家装工程模板..."_s);
    QCOMPARE(r[0].file.Filter, u"家装工程模板(*.KVT)|*.KVT"_s);
    QCOMPARE(QDir(r[0].file.InitialDir), QDir(FStage->Path(u"模板"_s)));
    QCOMPARE(r[0].file.DefaultExt, QString());
    QCOMPARE(r[1].file.Title, u"打开家装工程..."_s);
    QCOMPARE(r[1].file.Filter, both);
    QCOMPARE(QDir(r[1].file.InitialDir), QDir(FStage->Path(u"工程"_s)));
    QCOMPARE(r[2].file.Title, u"选择家装工程或模板..."_s);
    QCOMPARE(r[2].file.DefaultExt, u"KVP"_s);
    QCOMPARE(r[3].file.Title, u"打开家装工程..."_s);
    QCOMPARE(r[3].file.DefaultExt, u"KVP"_s); // it stays once set
    // New from another project: an untitled copy, counted as changed.
    QCOMPARE(FMain->Projects().size(), 1);
    QVERIFY(TForm_Project::IsNewOf(FMain->Projects().first()));
    QVERIFY(action(u"File_Save"_s)->isEnabled());
}

void TestMainWindow::layoutRestore_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("boundsApplied");
    QTest::addColumn<bool>("restored");
    QTest::newRow("maximised keeps the bounds") << u"MW_WindowState"_s << u"2"_s << false << true;
    QTest::newRow("normal applies them") << u"MW_WindowState"_s << u"0"_s << true << true;
    QTest::newRow("not a number") << u"TW_Width"_s << u"宽"_s << false << false;
    QTest::newRow("missing") << u"PW_Width"_s << QString() << false << false;
}

void TestMainWindow::layoutRestore()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, boundsApplied);
    QFETCH(bool, restored);
    TAppGlobalInfo& info = *FStage->Info;
    info.SetSetupValue(u"MW_WindowState"_s, u"0"_s);
    info.SetSetupValue(u"MW_Left"_s, u"40"_s);
    info.SetSetupValue(u"MW_Top"_s, u"30"_s);
    info.SetSetupValue(u"MW_Width"_s, u"700"_s);
    info.SetSetupValue(u"MW_Height"_s, u"500"_s);
    if (value.isNull()) {
        TNameValueList rest;
        for (const QString& line : info.SetupValues.Lines())
            if (TNameValueList::NameOf(line) != key)
                rest.Add(line);
        info.SetupValues = rest;
    } else {
        info.SetSetupValue(key, value);
    }
    make();
    QCOMPARE(FMain->LayoutRestored(), restored);
    QCOMPARE(FMain->size() == QSize(700, 500), boundsApplied);
    // The item library shows as shipped only when the layout got that far.
    QCOMPARE(action(u"View_ItemTemplate"_s)->isChecked(), key != u"TW_Width"_s);
    QCOMPARE(FPrompter->MessageTexts().size(), restored ? 0 : 1);
    // A bad value skips the tip and the company check; the window still opens.
    QCOMPARE(FMain->findChild<QDialog*>(u"TForm_EveryDayTip"_s) != nullptr, restored);
    FMain->Start();
    QVERIFY(FMain->isVisible());
    QCOMPARE(FMain->isMaximized(), value == u"2"_s);
    QCOMPARE(FSettingsAsked, restored ? 1 : 0);
}

void TestMainWindow::companyNameCheckAfterPainting_data()
{
    QTest::addColumn<QString>("company");
    QTest::addColumn<int>("asked");
    QTest::newRow("empty") << QString() << 1;
    QTest::newRow("named") << u"安居装饰"_s << 0;
}

void TestMainWindow::companyNameCheckAfterPainting()
{
    QFETCH(QString, company);
    QFETCH(int, asked);
    FStage->Info->SetVariantValue(u"单位名称"_s, company);
    make();
    QCOMPARE(FSettingsAsked, 0); // not while being built
    FMain->Start();
    QCOMPARE(FSettingsAsked, asked);
    if (asked)
        QVERIFY(FVisibleWhenAsked);
}

void TestMainWindow::itemWindowsFollowTheirCommands()
{
    FStage->Info->SetSetupValue(u"CW_Visible"_s, u"yes"_s);
    make();
    QVERIFY(FMain->ItemTemp->isVisible());
    QCOMPARE(FMain->ItemTemp->pos(), QPoint(98, 145));
    QCOMPARE(FMain->ItemTemp->windowTitle(), u"项目库"_s);
    QVERIFY(FMain->ItemClipboard->isVisible() && action(u"View_ItemClipboard"_s)->isChecked());
    // Closed by its own close box: the command is unchecked.
    FMain->ItemTemp->close();
    QVERIFY(!action(u"View_ItemTemplate"_s)->isChecked());
    action(u"View_ItemTemplate"_s)->trigger();
    QVERIFY(FMain->ItemTemp->isVisible());
    action(u"View_ItemClipboard"_s)->trigger();
    QVERIFY(FMain->ItemClipboard->isHidden());
    FMain->ItemTemp->move(11, 22);

    // The layout goes back into [Setup] when the window goes.
    FMain.reset();
    const TAppGlobalInfo& info = *FStage->Info;
    QCOMPARE(info.GetSetupValue(u"TW_Visible"_s), u"True"_s);
    QCOMPARE(info.GetSetupValue(u"TW_Left"_s), u"11"_s);
    QCOMPARE(info.GetSetupValue(u"TW_Top"_s), u"22"_s);
    QCOMPARE(info.GetSetupValue(u"CW_Visible"_s), u"False"_s);
    QCOMPARE(info.GetSetupValue(u"AutoShowEveryDayTip"_s), u"True"_s);
}

void TestMainWindow::closingCanBeCancelled()
{
    make();
    FMain->Start();
    TForm_Project* changed = FMain->OpenProjectFile(sample());
    QVERIFY(changed);
    changed->Document().SetModified();
    FPrompter->AnswerButton(mbCancel);
    QVERIFY(!FMain->close());
    QVERIFY(FMain->isVisible());
    QCOMPARE(FMain->Projects().size(), 1);
    FPrompter->AnswerButton(mbNo);
    QVERIFY(FMain->close());
    QCOMPARE(FMain->Projects().size(), 0);
}

void TestMainWindow::toolsAndInternetCommands()
{
    make();
    const QString line = u"计算器=galculator|Ctrl+K||算一算"_s;
    FMain->OnEditTools = [&](QStringList& lines) {
        lines = {line};
        return true;
    };
    action(u"Tools_ConfigTools"_s)->trigger();
    QCOMPARE(KvTest::ReadBytes(FStage->Path(u"IniFiles/ExternalProgram.lst"_s)), Gbk::Encode(QString(line + u"\r\n"_s)));
    QCOMPARE(menuTexts(FMain->Menu_Tools).size(), 3);
    // The tool's key acts without its menu: the main window carries the command.
    const QList<QAction*> commands = FMain->Tools().Commands();
    QCOMPARE(commands.size(), 1);
    QVERIFY(FMain->actions().contains(commands.first()));
    QCOMPARE(commands.first()->shortcut(), QKeySequence(u"Ctrl+K"_s));

    QStringList opened;
    SetShellOpener([&](const QString& target) {
        opened << target;
        return false; // a failing shell is not reported
    });
    action(u"Internet_WWW"_s)->trigger();
    action(u"Internet_Email"_s)->trigger();
    SetShellOpener(nullptr);
    QCOMPARE(opened, (QStringList{MakerInfo::WebSite(), u"mailto:"_s + MakerInfo::Email()}));
    QCOMPARE(FPrompter->MessageTexts(), QStringList());
}

void TestMainWindow::unwritableHistoryIsToldAndTheLayoutStillSaved()
{
    make();
    // A folder where the history file should be.
    const QString historyFile = NativePath(FStage->Info->GetFileName(u"历史文件列表"_s));
    QFile::remove(historyFile);
    QVERIFY(QDir().mkpath(historyFile + u"/x"_s));
    FMain->ItemTemp->move(5, 6);
    FMain.reset();
    QCOMPARE(FPrompter->Records.size(), size_t(1));
    QCOMPARE(FPrompter->Last().message.Caption, u"保存失败"_s);
    QCOMPARE(FStage->Info->GetSetupValue(u"TW_Left"_s), u"5"_s);
}

// The whole life of the program on a fresh copy of the shipped files: start
// with the sample named on the command line, change a quantity, save, quit.
void TestMainWindow::startEditSaveQuit()
{
    FStage->Info->WriteBackOnFree = true;
    FStage->Info->SetVariantValue(u"单位名称"_s, u"安居装饰"_s);
    make();
    FMain->Start();
    FMain->OpenCommandLine({u"Kavelin"_s, sample()});
    TForm_Project* w = FMain->ActiveProject();
    QVERIFY(w);
    QCOMPARE(FMain->qxChildWinSet1->tabText(0), u"工程预算样本"_s);
    w->ShowPage(u"预算书"_s);
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    QVERIFY(ds.LocateHeader(1));
    ds.Next();
    const QString code = ds.FieldByName(u"项目编码"_s)->AsString();
    ds.Edit();
    ds.FieldByName(u"数量"_s)->SetAsFloat(7.5);
    ds.Post();
    QVERIFY(action(u"File_Save"_s)->isEnabled());
    action(u"File_Save"_s)->trigger();
    QVERIFY(!action(u"File_Save"_s)->isEnabled());
    QVERIFY(FMain->close());
    FMain.reset();
    FData->DataModuleDestroy();
    FData.reset();
    FStage->Info.reset(); // the orderly end of the configuration

    QCOMPARE(KvTest::ReadBytes(FStage->Path(u"IniFiles/HistoryFiles.lst"_s)),
             Gbk::Encode(QString(u"工程预算样本="_s + sample() + u"\r\n"_s)));
    const TqxIniFile setup(FStage->Path(u"IniFiles/Setup.ini"_s));
    QStringList keys;
    const TNameValueList section = setup.ReadSectionValues(u"Setup"_s);
    for (const QString& line : section.Lines())
        keys << TNameValueList::NameOf(line);
    QCOMPARE(keys, (QStringList{u"TW_Visible"_s, u"TW_Left"_s, u"TW_Top"_s, u"TW_Width"_s, u"TW_Height"_s,
                                u"CW_Visible"_s, u"CW_Left"_s, u"CW_Top"_s, u"CW_Width"_s, u"CW_Height"_s,
                                u"PW_Visible"_s, u"PW_Width"_s, u"MW_WindowState"_s, u"MW_Top"_s, u"MW_Left"_s,
                                u"MW_Height"_s, u"MW_Width"_s, u"AutoShowEveryDayTip"_s}));
    QCOMPARE(setup.ReadString(u"Setup"_s, u"MW_WindowState"_s), u"2"_s);
    // As shipped: the item library shown, the hidden product guide keeping its width.
    QCOMPARE(setup.ReadString(u"Setup"_s, u"TW_Visible"_s), u"True"_s);
    QCOMPARE(setup.ReadString(u"Setup"_s, u"PW_Visible"_s), u"False"_s);
    QCOMPARE(setup.ReadString(u"Setup"_s, u"PW_Width"_s), u"200"_s);
    QCOMPARE(TqxIniFile(FStage->Path(u"App"_s)).ReadString(u"Other"_s, u"QuitExcept"_s), u"0"_s);

    kvProject saved;
    QVERIFY(saved.OpenFile(sample()));
    bool found = false;
    for (saved.kvYssDS_Main.First(); !saved.kvYssDS_Main.Eof(); saved.kvYssDS_Main.Next())
        if (saved.kvYssDS_Main.FieldByName(u"项目编码"_s)->AsString() == code)
            found = found || saved.kvYssDS_Main.FieldByName(u"数量"_s)->AsFloat() == 7.5;
    QVERIFY(found);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
