#include "Win_Main.h"

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_About.h"
#include "Win_BasicData.h"
#include "Win_ConfigTools.h"
#include "Win_EveryDayTip.h"
#include "Win_KavelinDialog.h"
#include "Win_Project.h"
#include "Win_Setup.h"
#include "kvActionTable.h"
#include "kvItemWindows.h"
#include "kvMakerInfo.h"
#include "kvToolsMenu.h"
#include "qxCtrls_ChildWinSet.h"
#include "qxCtrls_Label.h"
#include "qxCtrls_StatusBar.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxFunctions.h"
#include "qxNotices.h"
#include "qxPrompter.h"
#include "qxUiFunctions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using FileSystem::FileExists;
using FileSystem::NativePath;

namespace {

const QString ProjectOrTemplateFilter = u"家装工程(*.KVP)|*.KVP|家装工程模板(*.KVT)|*.KVT"_s;

// The layout keys are integers that every orderly exit rewrites; a value that
// is not one stops the restore as a conversion error does.
int SetupInteger(const TAppGlobalInfo& info, const QString& key)
{
    const QString text = info.GetSetupValue(key);
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw Exception(u"'"_s + text + u"' 不是有效的整数值（"_s + key + u"）"_s);
    return value;
}

// Captions built from paths must not grow accelerators from a "&".
QString PlainCaption(const QString& text)
{
    QString out = text;
    return out.replace(u'&', u"&&"_s);
}

} // namespace

TForm_Main::TForm_Main(TAppGlobalInfo& info, TDataModule_Data& data, const TItemWindows& itemWindows,
                       QWidget* parent)
    : QMainWindow(parent), ItemTemp(itemWindows.ItemTemp), ItemClipboard(itemWindows.ItemClipboard), FInfo(info),
      FData(data)
{
    setObjectName(u"TForm_Main"_s);
    setWindowTitle(info.Title());
    setAttribute(Qt::WA_DeleteOnClose, false);
    SetNoticeTarget(this);

    // The item windows float over the main window, never behind it.
    for (QWidget* w : {static_cast<QWidget*>(ItemTemp), static_cast<QWidget*>(ItemClipboard)})
        if (w)
            w->setParent(this, w->windowFlags());

    OnCompanySettings = [this] { ShowCompanySettings(FInfo, this); };
    OnBasicData = [this] { EditBasicData(FData, FInfo, this); };
    OnAbout = [this] {
        TForm_About about(QPixmap(NativePath(FInfo.GetFileName(u"图片_关于"_s))), FInfo.Title(), this);
        about.exec();
    };
    OnEditTools = [this](QStringList& lines) { return EditTools(lines, this); };

    MdiArea = new QMdiArea;
    MdiArea->setObjectName(u"MdiArea"_s);
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->viewport()->installEventFilter(this);

    qxChildWinSet1 = new TqxChildWinSet;
    qxChildWinSet1->setObjectName(u"qxChildWinSet1"_s);
    qxChildWinSet1->SetNoWindowHide(true);
    qxChildWinSet1->setContextMenuPolicy(Qt::CustomContextMenu);
    qxChildWinSet1->hide();

    Splitter_Main = new QSplitter(Qt::Horizontal);
    Splitter_Main->setObjectName(u"Splitter_Main"_s);
    Splitter_Main->addWidget(MdiArea);
    CreateWizardPanel();
    Splitter_Main->addWidget(Panel_Wizard);
    Splitter_Main->setStretchFactor(0, 1);
    Splitter_Main->setStretchFactor(1, 0);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(qxChildWinSet1);
    layout->addWidget(Splitter_Main, 1);
    setCentralWidget(central);

    CreateCommands();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    connect(qxChildWinSet1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu_WinSet->popup(qxChildWinSet1->mapToGlobal(pos)); });

    // The tools and the recent projects.
    try {
        const QString toolsFile = NativePath(FInfo.GetFileName(u"配置_外挂程序"_s));
        if (FileExists(toolsFile))
            FTools.LoadFromFile(toolsFile);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
    BuildTools();
    const QString historyFile = NativePath(FInfo.GetFileName(u"历史文件列表"_s));
    if (FileExists(historyFile))
        FHistory.LoadFromFile(historyFile);
    BuildReopenMenu(Menu_Reopen);

    try {
        RestoreLayout();
        FLayoutRestored = true;
        if (FAutoShowTip)
            ShowTip(false);
    } catch (const Exception& e) {
        // The window still opens; what the layout could not tell stays as built.
        ShowExceptionMessage(e.Message);
    }
    UpdateActions();
}

TForm_Main::~TForm_Main()
{
    // Shut-down order: the history file, then the layout. The data module and
    // the configuration go after the window, in the program entry.
    SaveHistory();
    SaveLayout();
    if (NoticeTarget() == this)
        SetNoticeTarget(nullptr);
}

// ---------------------------------------------------------------- building

void TForm_Main::CreateCommands()
{
    auto sendCommand = [this](int c) { return [this, c] { SendCommand(c); }; };
    CreateActions(this, {
        {u"File_New"_s, u"新建(&N)"_s, QKeySequence(u"Ctrl+N"_s), [this] { NewProjectFromFile(FInfo.GetFileName(u"标准预算书"_s)); },
         u"document-new"_s, u"新建"_s},
        {u"File_NewFromTemp"_s, u"新建从模板(&T)..."_s, {}, [this] { FileNewFromTemp(); }},
        {u"File_NewFromOther"_s, u"新建从其它(&O)..."_s, {}, [this] { FileNewFromOther(); }},
        {u"File_Open"_s, u"打开(&O)"_s, QKeySequence(u"Ctrl+O"_s), [this] { FileOpen(); }, u"document-open"_s, u"打开"_s},
        {u"File_Close"_s, u"关闭(&C)"_s, {}, sendCommand(ccClose), u"document-close"_s, u"关闭"_s},
        {u"File_Save"_s, u"保存(&S)"_s, QKeySequence(u"Ctrl+S"_s), sendCommand(ccSave), u"document-save"_s, u"保存"_s},
        {u"File_SaveAs"_s, u"另存为(&A)..."_s, {}, sendCommand(ccSaveAs), u"document-save-as"_s},
        {u"File_SaveAsTemp"_s, u"另存为模板(&T)..."_s, {}, sendCommand(ccSaveAsTemplate)},
        {u"File_Quit"_s, u"退出(&E)"_s, QKeySequence(u"Ctrl+Q"_s), [this] { close(); }, u"application-exit"_s, u"退出"_s},
        {u"EditUndo1"_s, u"撤销(&O)"_s, QKeySequence(u"Ctrl+Z"_s), [this] { EditCommand("undo"); }, u"edit-undo"_s},
        {u"EditCopy1"_s, u"复制(&C)"_s, QKeySequence(u"Ctrl+C"_s), [this] { EditCommand("copy"); }, u"edit-copy"_s},
        {u"EditCut1"_s, u"剪切(&U)"_s, QKeySequence(u"Ctrl+X"_s), [this] { EditCommand("cut"); }, u"edit-cut"_s},
        {u"EditPaste1"_s, u"粘贴(&P)"_s, QKeySequence(u"Ctrl+V"_s), [this] { EditCommand("paste"); }, u"edit-paste"_s},
        {u"EditDelete1"_s, u"删除(&D)"_s, QKeySequence(Qt::Key_Delete), [this] { EditCommand("del"); }, u"edit-delete"_s},
        {u"EditSelectAll1"_s, u"全选(&A)"_s, QKeySequence(u"Ctrl+A"_s), [this] { EditCommand("selectAll"); },
         u"edit-select-all"_s},
        {u"View_Wizard"_s, u"产品导购(&W)"_s, {}, [this] { ShowWizard(ActionOf(this, u"View_Wizard"_s)->isChecked()); },
         u"help-hint"_s, u"导购"_s, true},
        {u"View_ItemTemplate"_s, u"项目模板"_s, {}, [this] { ShowItemTemp(ActionOf(this, u"View_ItemTemplate"_s)->isChecked()); },
         u"view-list-details"_s, u"项目"_s, true},
        {u"View_ItemClipboard"_s, u"项目剪贴板(&I)"_s, {},
         [this] { ShowItemClipboard(ActionOf(this, u"View_ItemClipboard"_s)->isChecked()); }, u"edit-paste"_s,
         u"剪贴板"_s, true},
        {u"Maintain_Setup"_s, u"设置(&S)..."_s, {}, [this] { OnCompanySettings(); }, u"configure"_s, u"设置"_s},
        {u"Maintain_BasicData"_s, u"基础数据维护(&B)..."_s, {}, [this] { OnBasicData(); }, u"document-properties"_s},
        {u"Internet_MaterialUpdate"_s, u"材料库更新(&M)"_s, {}, {}},
        {u"Internet_OnlineUpdate"_s, u"在线升级(&U)"_s, {}, {}},
        // A failure of the desktop's handler is not the user's business here.
        {u"Internet_WWW"_s, u"我们的网址(&W)"_s, {}, [] { ShellOpen(MakerInfo::WebSite()); }, u"internet-web-browser"_s},
        {u"Internet_Email"_s, u"联系我们&Email"_s, {}, [] { SendMailTo(MakerInfo::Email()); }, u"mail-message-new"_s},
        {u"Tools_ConfigTools"_s, u"配置工具(&S)"_s, {}, [this] { ConfigTools(); }, u"configure"_s},
        {u"WindowCascade1"_s, u"层叠排放(&C)"_s, {}, [this] { MdiArea->cascadeSubWindows(); }, u"window-duplicate"_s},
        {u"WindowTileHorizontal1"_s, u"水平排放(&H)"_s, {}, [this] { TileWindows(Qt::Vertical); }},
        {u"WindowTileVertical1"_s, u"纵向排放(&V)"_s, {}, [this] { TileWindows(Qt::Horizontal); }},
        {u"WindowMinimizeAll1"_s, u"最小化所有(&A)"_s, {}, [this] { MinimizeAll(); }},
        {u"WindowArrange1"_s, u"排列图标(&G)"_s, {}, [this] { ArrangeIcons(); }},
        {u"HelpAbout"_s, u"关于(&A)..."_s, {}, [this] { OnAbout(); }, u"help-about"_s},
        {u"HelpEveryDayTip"_s, u"每日一贴(&T)"_s, {}, [this] { ShowTip(true); }, u"help-hint"_s},
    });
    // The focused control handles its own edit keys (and the project window
    // has edit commands of the same keys): the menu only shows the keys.
    for (const char* name : {"EditUndo1", "EditCopy1", "EditCut1", "EditPaste1", "EditDelete1", "EditSelectAll1"})
        ActionOf(this, QString::fromLatin1(name))->setShortcutContext(Qt::WidgetShortcut);
    // The remaining commands act wherever the focus is in the program's window.
    for (QAction* a : findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly))
        if (a->shortcutContext() == Qt::WidgetWithChildrenShortcut)
            a->setShortcutContext(Qt::WindowShortcut);
    for (const char* name : {"View_Wizard", "Internet_MaterialUpdate", "Internet_OnlineUpdate", "File_Close", "File_Save",
                             "File_SaveAs", "File_SaveAsTemp"})
        ActionOf(this, QString::fromLatin1(name))->setEnabled(false);
}

void TForm_Main::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(u"MenuBar_Main"_s);
    auto menu = [&](const QString& name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        return m;
    };
    QMenu* file = menu(u"Menu_File"_s, u"文件(&F)"_s);
    FillMenu(file, this, {u"File_New"_s, u"File_NewFromTemp"_s, u"File_NewFromOther"_s, u"File_Open"_s});
    Menu_Reopen = file->addMenu(u"重新打开"_s);
    Menu_Reopen->setObjectName(u"Menu_Reopen"_s);
    FillMenu(file, this, {u"File_Close"_s, u"-"_s, u"File_Save"_s, u"File_SaveAs"_s, u"File_SaveAsTemp"_s, u"-"_s,
                          u"File_Quit"_s});
    FillMenu(menu(u"Menu_Edit"_s, u"编辑(&E)"_s), this,
             {u"EditUndo1"_s, u"-"_s, u"EditCopy1"_s, u"EditCut1"_s, u"EditPaste1"_s, u"EditDelete1"_s, u"-"_s,
              u"EditSelectAll1"_s});
    FillMenu(menu(u"Menu_View"_s, u"查看(&V)"_s), this,
             {u"View_Wizard"_s, u"View_ItemTemplate"_s, u"View_ItemClipboard"_s});
    FillMenu(menu(u"Menu_Maintain"_s, u"维护(&S)"_s), this, {u"Maintain_Setup"_s, u"Maintain_BasicData"_s});
    FillMenu(menu(u"Menu_Internet"_s, u"&Internet"_s), this,
             {u"Internet_MaterialUpdate"_s, u"Internet_OnlineUpdate"_s, u"-"_s, u"Internet_WWW"_s,
              u"Internet_Email"_s});
    Menu_Tools = menu(u"Menu_Tools"_s, u"工具(&T)"_s);
    FillMenu(menu(u"Menu_Window"_s, u"窗口(&W)"_s), this,
             {u"WindowCascade1"_s, u"WindowTileHorizontal1"_s, u"WindowTileVertical1"_s, u"WindowMinimizeAll1"_s,
              u"WindowArrange1"_s});
    FillMenu(menu(u"Menu_Help"_s, u"帮助(&H)"_s), this, {u"HelpAbout"_s, u"-"_s, u"HelpEveryDayTip"_s});

    PopupMenu_WinSet = new QMenu(this);
    PopupMenu_WinSet->setObjectName(u"PopupMenu_WinSet"_s);
    FillMenu(PopupMenu_WinSet, this,
             {u"File_Close"_s, u"-"_s, u"File_New"_s, u"File_Open"_s, u"File_Save"_s, u"File_SaveAs"_s});
    PopupMenu_WinSet->setDefaultAction(ActionOf(this, u"File_Close"_s));
}

void TForm_Main::CreateToolBar()
{
    ToolBar_Main = addToolBar(u"工具栏"_s);
    ToolBar_Main->setObjectName(u"ToolBar_Main"_s);
    ToolBar_Main->setIconSize(QSize(24, 24));
    ToolBar_Main->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar_Main->setMovable(false);
    FillToolBar(ToolBar_Main, this,
                {u"File_New"_s, u"File_Open"_s, u"File_Save"_s, u"File_Close"_s, u"-"_s, u"View_ItemTemplate"_s,
                 u"View_Wizard"_s, u"View_ItemClipboard"_s, u"-"_s, u"Maintain_Setup"_s, u"-"_s, u"File_Quit"_s});
    Menu_History = new QMenu(this);
    Menu_History->setObjectName(u"Menu_History"_s);
    connect(Menu_History, &QMenu::aboutToShow, this, [this] { BuildReopenMenu(Menu_History); });
    ToolButton_Open = qobject_cast<QToolButton*>(ToolBar_Main->widgetForAction(ActionOf(this, u"File_Open"_s)));
    ToolButton_Open->setObjectName(u"ToolButton_Open"_s);
    ToolButton_Open->setMenu(Menu_History);
    ToolButton_Open->setPopupMode(QToolButton::MenuButtonPopup);
}

void TForm_Main::CreateStatusBar()
{
    StatusBar1 = new TqxStatusBar(this);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    setStatusBar(StatusBar1);
    StatusBar1->AddPanel(120, u"欢迎您使用本软件！"_s);
    StatusBar1->AddPanel(150);
    StatusBar1->AddPanel(120);
    StatusBar1->AddPanel(130);
    auto link = [this](const QString& name, const QString& caption, TLabelUsed used, const QString& value) {
        auto* l = new TqxLabel(caption, StatusBar1);
        l->setObjectName(name);
        l->SetLabelUsed(used);
        l->SetUsedValue(value);
        l->setStyleSheet(u"color: blue;"_s);
        StatusBar1->addPermanentWidget(l);
    };
    link(u"Label_WWW"_s, u"访问我们的网站"_s, luHttp, MakerInfo::WebSite());
    link(u"Label_Email"_s, u"给我们写信"_s, luEmail, MakerInfo::Email());
    // Panel 1 repeats the tooltip being shown.
    qApp->installEventFilter(this);
}

void TForm_Main::CreateWizardPanel()
{
    Panel_Wizard = new QWidget;
    Panel_Wizard->setObjectName(u"Panel_Wizard"_s);
    auto* layout = new QVBoxLayout(Panel_Wizard);
    auto* head = new QLabel(u"产品导购..."_s, Panel_Wizard);
    head->setStyleSheet(u"font-weight: bold;"_s);
    layout->addWidget(head);
    auto* label = new QLabel(u"搜索(&F):"_s, Panel_Wizard);
    auto* edit = new QLineEdit(Panel_Wizard);
    edit->setObjectName(u"Edit_WizardSearch"_s);
    label->setBuddy(edit);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addStretch(1);
    Panel_Wizard->hide();
}

void TForm_Main::BuildTools()
{
    FTools.BuildCommands(this, [this](int i) { LaunchTool(FTools.Lines, i, FInfo); });
    addActions(FTools.Commands());
    BuildToolsMenu(*Menu_Tools, *ActionOf(this, u"Tools_ConfigTools"_s), FTools);
}

void TForm_Main::BuildReopenMenu(QMenu* menu)
{
    menu->clear();
    const QStringList captions = FHistory.MenuCaptions();
    for (const QString& caption : captions) {
        QAction* a = menu->addAction(PlainCaption(caption));
        connect(a, &QAction::triggered, this, [this, caption] {
            const QString path = FHistory.PathOfCaption(caption);
            if (!path.isEmpty())
                OpenProjectFile(path);
        });
    }
    if (captions.isEmpty())
        menu->addAction(u"<无>"_s)->setEnabled(false);
}

// ---------------------------------------------------------------- layout

void TForm_Main::RestoreLayout()
{
    auto bounds = [this](QWidget* w, const QString& prefix) {
        const int left = SetupInteger(FInfo, prefix + u"Left"_s);
        const int top = SetupInteger(FInfo, prefix + u"Top"_s);
        const int width = SetupInteger(FInfo, prefix + u"Width"_s);
        const int height = SetupInteger(FInfo, prefix + u"Height"_s);
        if (w) {
            w->move(left, top);
            w->resize(width, height);
        }
    };
    bounds(ItemTemp, u"TW_"_s);
    if (TextToBool(FInfo.GetSetupValue(u"TW_Visible"_s)))
        ShowItemTemp(true);
    bounds(ItemClipboard, u"CW_"_s);
    if (TextToBool(FInfo.GetSetupValue(u"CW_Visible"_s)))
        ShowItemClipboard(true);
    FWizardWidth = SetupInteger(FInfo, u"PW_Width"_s);
    Panel_Wizard->resize(FWizardWidth, Panel_Wizard->height());
    if (TextToBool(FInfo.GetSetupValue(u"PW_Visible"_s)))
        ShowWizard(true);
    FWindowState = SetupInteger(FInfo, u"MW_WindowState"_s);
    if (FWindowState == 0) {
        const int width = SetupInteger(FInfo, u"MW_Width"_s);
        const int top = SetupInteger(FInfo, u"MW_Top"_s);
        const int left = SetupInteger(FInfo, u"MW_Left"_s);
        const int height = SetupInteger(FInfo, u"MW_Height"_s);
        move(left, top);
        resize(width, height);
    }
    FAutoShowTip = TextToBool(FInfo.GetSetupValue(u"AutoShowEveryDayTip"_s));
}

void TForm_Main::SaveLayout()
{
    auto put = [this](const QString& key, const QString& value) { FInfo.SetSetupValue(key, value); };
    auto putInt = [&](const QString& key, int value) { put(key, QString::number(value)); };
    auto bounds = [&](QWidget* w, const QString& prefix, const QString& action) {
        put(prefix + u"Visible"_s, BoolToText(ActionOf(this, action)->isChecked()));
        const QRect r = w ? QRect(w->pos(), w->size()) : QRect();
        putInt(prefix + u"Left"_s, r.left());
        putInt(prefix + u"Top"_s, r.top());
        putInt(prefix + u"Width"_s, r.width());
        putInt(prefix + u"Height"_s, r.height());
    };
    bounds(ItemTemp, u"TW_"_s, u"View_ItemTemplate"_s);
    bounds(ItemClipboard, u"CW_"_s, u"View_ItemClipboard"_s);
    put(u"PW_Visible"_s, BoolToText(Panel_Wizard->isVisible()));
    // A hidden panel has no width of its own in the splitter: it keeps the stored one.
    putInt(u"PW_Width"_s, Panel_Wizard->isVisible() ? Panel_Wizard->width() : FWizardWidth);
    putInt(u"MW_WindowState"_s, isMinimized() ? 1 : isMaximized() ? 2 : 0);
    putInt(u"MW_Top"_s, y());
    putInt(u"MW_Left"_s, x());
    putInt(u"MW_Height"_s, height());
    putInt(u"MW_Width"_s, width());
    put(u"AutoShowEveryDayTip"_s, BoolToText(FAutoShowTip));
}

void TForm_Main::SaveHistory()
{
    // A history that cannot be written is told; the rest of the shut-down still runs.
    try {
        FHistory.SaveToFile(NativePath(FInfo.GetFileName(u"历史文件列表"_s)));
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"保存失败"_s, TMsgIcon::Error);
    }
}

// ---------------------------------------------------------------- start-up

void TForm_Main::Start()
{
    if (FWindowState == 2)
        showMaximized();
    else if (FWindowState == 1)
        showMinimized();
    else
        show();
    QCoreApplication::processEvents();
    if (!FLayoutRestored)
        return;
    if (FInfo.GetVariantValue(u"单位名称"_s).toString().isEmpty())
        OnCompanySettings();
}

void TForm_Main::OpenCommandLine(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return;
    const QString path = arguments.at(1);
    if (QFileInfo(path).isFile())
        OpenProjectFile(QFileInfo(path).absoluteFilePath());
}

void TForm_Main::ShowTip(bool now)
{
    auto* tip = new TForm_EveryDayTip(FAutoShowTip, this);
    tip->LoadFromFile(NativePath(FInfo.GetFileName(u"每日一贴"_s)));
    tip->SelectTip(-1);
    if (now)
        tip->show();
}

// ---------------------------------------------------------------- file commands

TForm_Project* TForm_Main::ActiveProject() const
{
    // The current window also while the main window itself is not active.
    return qobject_cast<TForm_Project*>(MdiArea->currentSubWindow());
}

QList<TForm_Project*> TForm_Main::Projects() const
{
    QList<TForm_Project*> out;
    for (QMdiSubWindow* w : MdiArea->subWindowList())
        if (auto* p = qobject_cast<TForm_Project*>(w))
            out.append(p);
    return out;
}

TForm_Project* TForm_Main::OpenProjectFile(const QString& path)
{
    // A second copy of an open project would overwrite the first on save.
    const QString wanted = QFileInfo(NativePath(path)).canonicalFilePath();
    for (TForm_Project* p : Projects()) {
        const QString file = TForm_Project::FileNameOf(p);
        if (!wanted.isEmpty() && !file.isEmpty() && QFileInfo(NativePath(file)).canonicalFilePath() == wanted) {
            MdiArea->setActiveSubWindow(p);
            return p;
        }
    }
    try {
        return TForm_Project::OpenProject(MdiArea, FInfo, FData, path);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
        return nullptr;
    }
}

TForm_Project* TForm_Main::NewProjectFromFile(const QString& path)
{
    try {
        return TForm_Project::NewProject(MdiArea, FInfo, FData, path);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
        return nullptr;
    }
}

QString TForm_Main::ChooseProjectFile(const QString& title, const QString& filter, const QString& folderKey)
{
    TFileRequest request;
    request.Kind = TFileDialogKind::Open;
    request.Title = title;
    request.Filter = filter;
    request.InitialDir = NativePath(FInfo.GetPath(folderKey));
    request.DefaultExt = FOpenDefaultExt;
    const QStringList files = Prompter().ChooseFiles(request);
    return files.value(0);
}

void TForm_Main::FileNewFromTemp()
{
    const QString file = ChooseProjectFile(u"选择家装工程模板..."_s, u"家装工程模板(*.KVT)|*.KVT"_s, u"模板"_s);
    if (!file.isEmpty())
        NewProjectFromFile(file);
}

void TForm_Main::FileNewFromOther()
{
    FOpenDefaultExt = u"KVP"_s;
    const QString file = ChooseProjectFile(u"选择家装工程或模板..."_s, ProjectOrTemplateFilter, u"工程"_s);
    if (!file.isEmpty())
        NewProjectFromFile(file);
}

void TForm_Main::FileOpen()
{
    const QString file = ChooseProjectFile(u"打开家装工程..."_s, ProjectOrTemplateFilter, u"工程"_s);
    if (!file.isEmpty())
        OpenProjectFile(file);
}

void TForm_Main::SendCommand(int command)
{
    if (TForm_Project* p = ActiveProject())
        SendMessageTo(p, MSG_CHILD_COMMAND, quintptr(command), 0);
}

bool TForm_Main::CloseAllProjects()
{
    for (QMdiSubWindow* w : MdiArea->subWindowList()) {
        if (!w->close())
            return false;
        // Closed windows were only scheduled for deletion; they go now, so
        // that each tells its history entry while the main window listens.
        delete w;
    }
    return true;
}

void TForm_Main::closeEvent(QCloseEvent* event)
{
    if (!CloseAllProjects()) {
        event->ignore();
        return;
    }
    // The item windows close with their owner; that is not the user hiding
    // them, and the layout keeps them shown for the next start.
    FClosing = true;
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------- other commands

void TForm_Main::ShowItemTemp(bool visible)
{
    ActionOf(this, u"View_ItemTemplate"_s)->setChecked(visible);
    if (ItemTemp)
        ItemTemp->setVisible(visible);
}

void TForm_Main::ShowItemClipboard(bool visible)
{
    ActionOf(this, u"View_ItemClipboard"_s)->setChecked(visible);
    if (ItemClipboard)
        ItemClipboard->setVisible(visible);
}

void TForm_Main::ShowWizard(bool visible)
{
    // The product guide has nothing behind it yet: its command stays disabled.
    QAction* a = ActionOf(this, u"View_Wizard"_s);
    if (!a->isEnabled())
        return;
    a->setChecked(visible);
    Panel_Wizard->setVisible(visible);
}

void TForm_Main::ConfigTools()
{
    QStringList lines = FTools.Lines;
    if (!OnEditTools(lines))
        return;
    FTools.Lines = lines;
    try {
        FTools.SaveToFile(NativePath(FInfo.GetFileName(u"配置_外挂程序"_s)));
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"保存失败"_s, TMsgIcon::Error);
    }
    BuildTools();
}

void TForm_Main::TileWindows(Qt::Orientation orientation)
{
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    const QRect area = MdiArea->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows.at(i);
        w->showNormal();
        if (orientation == Qt::Vertical) {
            const int h = area.height() / n;
            w->setGeometry(0, i * h, area.width(), h);
        } else {
            const int width = area.width() / n;
            w->setGeometry(i * width, 0, width, area.height());
        }
    }
}

void TForm_Main::MinimizeAll()
{
    for (QMdiSubWindow* w : MdiArea->subWindowList())
        w->showMinimized();
}

void TForm_Main::ArrangeIcons()
{
    // Minimised windows in a row along the foot of the area.
    int x = 0;
    const int bottom = MdiArea->viewport()->height();
    for (QMdiSubWindow* w : MdiArea->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, bottom - w->height());
        x += w->width();
    }
}

void TForm_Main::EditCommand(const char* method)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    if (qstrcmp(method, "del") == 0) {
        if (auto* e = qobject_cast<QLineEdit*>(focus)) {
            e->del();
            return;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(focus, &press);
        return;
    }
    QMetaObject::invokeMethod(focus, method);
}

// ---------------------------------------------------------------- notices

QMdiSubWindow* TForm_Main::ChildOf(quintptr handle)
{
    for (QMdiSubWindow* w : MdiArea->subWindowList())
        if (HandleOf(w) == handle) {
            FChildren.insert(handle, w);
            return w;
        }
    // A closing child has already left the area's list; it is still ours
    // until it is gone, and it tells its closing and destruction from there.
    const auto it = FChildren.constFind(handle);
    if (it == FChildren.cend())
        return nullptr;
    if (it->isNull()) {
        FChildren.erase(it);
        return nullptr;
    }
    return it->data();
}

QString TForm_Main::TabTextOf(QMdiSubWindow* window) const
{
    const QString name = TForm_Project::ProjectNameOf(window);
    return name.isEmpty() ? window->windowTitle() : name;
}

void TForm_Main::ChildNotice(quintptr handle, int code)
{
    QMdiSubWindow* w = ChildOf(handle);
    // A window announces its creation before it is among the area's children;
    // its tab follows with its first notice from inside the area.
    if (w && FPendingTabs.remove(handle) && code != cnClosing)
        qxChildWinSet1->AddWindow(w, TabTextOf(w));
    switch (code) {
    case cnModified: FSaveEnabled = true; break;
    case cnNotModified: FSaveEnabled = false; break;
    case cnCreated:
        ++FOpenCount;
        if (w)
            qxChildWinSet1->AddWindow(w, TabTextOf(w));
        else
            FPendingTabs.insert(handle);
        break;
    case cnClosing:
        if (w || FPendingTabs.remove(handle)) {
            --FOpenCount;
            qxChildWinSet1->RemoveWindow(handle);
        }
        break;
    case cnOpened:
        if (w) {
            FHistory.Remove(TForm_Project::FileNameOf(w));
            BuildReopenMenu(Menu_Reopen);
        }
        break;
    case cnDestroying:
        if (w && !TForm_Project::IsNewOf(w)) {
            FHistory.Add(TForm_Project::ProjectNameOf(w), TForm_Project::FileNameOf(w));
            BuildReopenMenu(Menu_Reopen);
        }
        break;
    case cnCaptionChanged:
        if (w && qxChildWinSet1->IndexOfWindow(handle) >= 0)
            qxChildWinSet1->RenameWindow(handle, TabTextOf(w));
        break;
    case cnActivated:
        // Only the tab follows: the window is already coming up.
        if (const int index = qxChildWinSet1->IndexOfWindow(handle); w && index >= 0) {
            const QSignalBlocker quiet(qxChildWinSet1);
            qxChildWinSet1->setCurrentIndex(index);
        }
        break;
    default: break;
    }
    UpdateActions();
}

void TForm_Main::DialogNotice(quintptr handle, int code)
{
    if (code != dnClosed || FClosing)
        return;
    if (ItemTemp && handle == HandleOf(ItemTemp))
        ActionOf(this, u"View_ItemTemplate"_s)->setChecked(false);
    else if (ItemClipboard && handle == HandleOf(ItemClipboard))
        ActionOf(this, u"View_ItemClipboard"_s)->setChecked(false);
}

void TForm_Main::UpdateActions()
{
    const bool any = FOpenCount > 0;
    for (const char* name : {"File_Close", "File_SaveAs", "File_SaveAsTemp"})
        ActionOf(this, QString::fromLatin1(name))->setEnabled(any);
    ActionOf(this, u"File_Save"_s)->setEnabled(any && FSaveEnabled);
}

bool TForm_Main::event(QEvent* event)
{
    if (event->type() == TqxMessageEvent::EventType()) {
        auto* m = static_cast<TqxMessageEvent*>(event);
        if (m->Msg == MSG_CHILD_NOTIFY)
            ChildNotice(m->WParam, int(m->LParam));
        else if (m->Msg == MSG_DIALOG_NOTIFY)
            DialogNotice(m->WParam, int(m->LParam));
        return true;
    }
    return QMainWindow::event(event);
}

bool TForm_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MdiArea->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        ActionOf(this, u"File_Open"_s)->trigger();
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == this) {
            w->setToolTipDuration(5000);
            StatusBar1->SetPanelText(1, w->toolTip());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
