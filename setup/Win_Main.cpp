#include "Win_Main.h"

#include "kvSetup.h"
#include "qxCtrls_LabeledEdit.h"
#include "qxPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 396;
constexpr int kPageTop = TForm_CustomBasicDialog::HeadHeight + 4;
constexpr int kPageHeight = 292;

struct PageRow {
    TForm_Main::Page page;
    TkvSetupState state;
    bool prev, next, cancel, finish;
    const char16_t* header;
};

// Entering a page sets the state, the buttons and the head text.
const PageRow kPages[] = {
    {TForm_Main::pgPrepare, ssPreparing, false, false, true, false, u"安装程序现在正在做准备..."},
    {TForm_Main::pgFolders, ssAsking, false, true, true, false, u"选择您将本软件安装到的目录..."},
    {TForm_Main::pgLicense, ssAsking, true, false, true, false,
     u"版权声明: 请认真阅读下面的声明，如果您可以接受请选择“我接受”按钮！"},
    {TForm_Main::pgCopy, ssCopying, false, false, true, false, u"复制程序文件，请稍等片刻..."},
    {TForm_Main::pgConfigure, ssConfiguring, false, false, false, false, u"安装向导正在配置软件系统，请稍等..."},
    {TForm_Main::pgFinish, ssFinished, false, false, false, true, u"安装向导已完成软件Kavelin的安装。"},
    {TForm_Main::pgError, ssFailed, false, false, false, true, u"安装过程发生错误，停止安装！"},
};

const PageRow* pageRow(TForm_Main::Page page)
{
    for (const PageRow& row : kPages)
        if (row.page == page)
            return &row;
    return nullptr;
}

QWidget* addPage(QStackedWidget* book, const QString& name)
{
    auto* page = new QWidget(book);
    page->setObjectName(name);
    book->addWidget(page);
    return page;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& at)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(at);
    return l;
}

QProgressBar* gauge(QWidget* parent, const QString& name, const QRect& at)
{
    auto* g = new QProgressBar(parent);
    g->setObjectName(name);
    g->setGeometry(at);
    g->setTextVisible(false);
    g->setValue(0);
    return g;
}

TqxLabeledEdit* folderField(QWidget* parent, const QString& name, const QString& caption, int top)
{
    auto* edit = new TqxLabeledEdit(parent);
    edit->setObjectName(name);
    edit->SetLabelPosition(lpAbove);
    edit->EditLabel()->setText(caption);
    edit->SetShowButton(true);
    edit->setGeometry(24, top, 460, 24);
    return edit;
}

} // namespace

TForm_Main::TForm_Main(TkvSetup& setup, TqxPrompter& prompter, TkvWizardTimings timings, QWidget* parent)
    : TForm_CustomBasicDialog(parent), FSetup(setup), FPrompter(prompter), FTimings(timings)
{
    setObjectName(u"TForm_Main"_s);
    setWindowTitle(u"软件安装向导 － Kavelin"_s);
    // A single border with the system menu only: no sizing, no help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    SetClientSize(kWidth, kHeight);
    qxHeadPanel1->SetPicture(QPixmap(FSetup.ResourcePath(u"INSTALLFILE"_s, u"TAG"_s)).scaled(32, 32));

    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName(u"Notebook1"_s);
    Notebook1->setGeometry(0, kPageTop, kWidth, kPageHeight);

    // 准备安装
    QWidget* page = addPage(Notebook1, u"Page_Prepare"_s);
    label(page, u"准备进度..."_s, QRect(40, 110, 440, 20));
    Gauge_Prepare = gauge(page, u"Gauge_Prepare"_s, QRect(40, 136, 440, 18));
    Gauge_Prepare->setMaximum(TkvSetup::PrepareSteps);

    // 安装目录
    page = addPage(Notebook1, u"Page_Folders"_s);
    Edit_Program = folderField(page, u"Edit_Program"_s, u"主程序安装目录:"_s, 28);
    Edit_Project = folderField(page, u"Edit_Project"_s, u"工程文件存放目录:"_s, 80);
    Edit_Backup = folderField(page, u"Edit_Backup"_s, u"备份数据存放目录:"_s, 132);
    Edit_Template = folderField(page, u"Edit_Template"_s, u"模板存放目录:"_s, 184);
    Memo_Tip = new QPlainTextEdit(page);
    Memo_Tip->setObjectName(u"Memo_Tip"_s);
    Memo_Tip->setReadOnly(true);
    Memo_Tip->setFocusPolicy(Qt::NoFocus);
    Memo_Tip->setGeometry(24, 220, 460, 62);
    Memo_Tip->setPlainText(u"提示：建议把工程文件、备份数据和模板存放在主程序目录以外的地方。"
                           "这样以后重新安装或删除程序时，您的工程、备份和模板不会被误删。"_s);
    for (TqxLabeledEdit* edit : {Edit_Program, Edit_Project, Edit_Backup, Edit_Template})
        connect(edit->SpeedButton(), &QToolButton::clicked, this, [this, edit] { BrowseClick(edit); });
    connect(Edit_Program, &QLineEdit::textChanged, this, &TForm_Main::ProgramFolderChanged);
    connect(Edit_Project, &QLineEdit::textEdited, this, [this] { FProjectEdited = true; });
    connect(Edit_Backup, &QLineEdit::textEdited, this, [this] { FBackupEdited = true; });
    connect(Edit_Template, &QLineEdit::textEdited, this, [this] { FTemplateEdited = true; });

    // 版权声明
    page = addPage(Notebook1, u"Page_License"_s);
    Memo_License = new QPlainTextEdit(page);
    Memo_License->setObjectName(u"Memo_License"_s);
    Memo_License->setReadOnly(true);
    Memo_License->setGeometry(24, 10, 472, 236);
    Radio_Reject = new QRadioButton(u"我不接受(&N)"_s, page);
    Radio_Reject->setObjectName(u"Radio_Reject"_s);
    Radio_Reject->setGeometry(24, 254, 140, 24);
    Radio_Reject->setChecked(true);
    Radio_Accept = new QRadioButton(u"我接受(&A)"_s, page);
    Radio_Accept->setObjectName(u"Radio_Accept"_s);
    Radio_Accept->setGeometry(180, 254, 140, 24);
    for (QRadioButton* radio : {Radio_Reject, Radio_Accept})
        connect(radio, &QRadioButton::clicked, this, [this] {
            FLicenseChosen = true;
            UpdateButtons();
        });

    // 复制文件
    page = addPage(Notebook1, u"Page_Copy"_s);
    label(page, u"目标文件:"_s, QRect(40, 80, 440, 20));
    Label_Target = label(page, QString(), QRect(40, 104, 440, 20));
    Label_Target->setObjectName(u"Label_Target"_s);
    Label_Target->setTextFormat(Qt::PlainText);
    label(page, u"复制进度:"_s, QRect(40, 140, 440, 20));
    Gauge_Copy = gauge(page, u"Gauge_Copy"_s, QRect(40, 164, 440, 18));

    // The configuration page
    page = addPage(Notebook1, u"Page_Configure"_s);
    Label_Status = label(page, QString(), QRect(20, 130, 480, 20));
    Label_Status->setObjectName(u"Label_Status"_s);
    Label_Status->setAlignment(Qt::AlignCenter);

    // 完成
    page = addPage(Notebook1, u"Page_Finish"_s);
    QLabel* done = label(page, u"Kavelin 1.0 已成功安装！"_s, QRect(40, 70, 440, 28));
    QFont big = done->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    done->setFont(big);
    label(page, u"感谢您使用本软件，祝您使用愉快！"_s, QRect(40, 110, 440, 20));
    Check_Run = new QCheckBox(u"运行Kavelin..."_s, page);
    Check_Run->setObjectName(u"Check_Run"_s);
    Check_Run->setGeometry(40, 160, 300, 24);
    Check_Run->setChecked(true);

    // 出错
    page = addPage(Notebook1, u"Page_Error"_s);
    QLabel* failed = label(page, u"安装失败！"_s, QRect(40, 70, 440, 28));
    failed->setFont(big);
    Label_Reason = label(page, QString(), QRect(40, 110, 440, 60));
    Label_Reason->setObjectName(u"Label_Reason"_s);
    Label_Reason->setWordWrap(true);
    Label_Reason->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label_Reason->setTextFormat(Qt::PlainText);

    // About: the product picture
    page = addPage(Notebook1, u"Page_About"_s);
    auto* picture = new QLabel(page);
    picture->setObjectName(u"Image_About"_s);
    picture->setGeometry(0, 0, kWidth, kPageHeight);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(QPixmap(FSetup.ResourcePath(u"INSTALLFILE"_s, u"FLASH"_s))
                           .scaled(kWidth - 16, kPageHeight - 8, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, kPageTop + kPageHeight + 2, kWidth - 16, 4);
    const int buttonsTop = kPageTop + kPageHeight + 14;
    Label_Orbelle = label(this, u"<Orbelle软件>"_s, QRect(12, buttonsTop + 4, 110, 20));
    Label_Orbelle->setObjectName(u"Label_Orbelle"_s);
    Label_Orbelle->setTextFormat(Qt::PlainText);
    QPalette blue = Label_Orbelle->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label_Orbelle->setPalette(blue);

    Button_Prev = AddButton(u"上一步(&U)"_s, QRect(170, buttonsTop, 82, 26));
    Button_Next = AddButton(u"下一步(&D)"_s, QRect(254, buttonsTop, 82, 26), true);
    Button_Finish = AddButton(u"完成(&F)"_s, QRect(344, buttonsTop, 82, 26));
    Button_Cancel = AddButton(u"取消(&C)"_s, QRect(428, buttonsTop, 82, 26));
    Button_Prev->setObjectName(u"Button_Prev"_s);
    Button_Next->setObjectName(u"Button_Next"_s);
    Button_Finish->setObjectName(u"Button_Finish"_s);
    Button_Cancel->setObjectName(u"Button_Cancel"_s);
    connect(Button_Prev, &QPushButton::clicked, this, &TForm_Main::PrevClick);
    connect(Button_Next, &QPushButton::clicked, this, &TForm_Main::NextClick);
    connect(Button_Finish, &QPushButton::clicked, this, &TForm_Main::close);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_Main::close);

    StartProgram = [](const QString&) { return false; };
    Notebook1->setCurrentIndex(pgAbout);
    UpdateButtons();
}

TForm_Main::Page TForm_Main::CurrentPage() const { return Page(Notebook1->currentIndex()); }

void TForm_Main::UpdateButtons()
{
    const PageRow* row = pageRow(CurrentPage());
    Button_Prev->setEnabled(row && row->prev);
    Button_Next->setEnabled(row && (row->next || (row->page == pgLicense && FLicenseChosen &&
                                                  Radio_Accept->isChecked())));
    Button_Finish->setEnabled(row && row->finish);
    Button_Cancel->setEnabled(row ? row->cancel : true);
    if (row)
        qxHeadPanel1->SetDescription(QString::fromUtf16(row->header));
}

void TForm_Main::ShowPage(Page page)
{
    if (const PageRow* row = pageRow(page))
        FSetup.State = row->state;
    if (page == pgLicense)
        FLicenseChosen = false;
    Notebook1->setCurrentIndex(page);
    UpdateButtons();
    if (Button_Finish->isEnabled())
        Button_Finish->setFocus();
    else if (Button_Next->isEnabled())
        Button_Next->setFocus();
    repaint();
}

void TForm_Main::Wait(int ms)
{
    QCoreApplication::processEvents();
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void TForm_Main::showEvent(QShowEvent* event)
{
    TForm_CustomBasicDialog::showEvent(event);
    if (!FPrepared) {
        FPrepared = true;
        CenterOnScreen();
        QTimer::singleShot(0, this, &TForm_Main::Prepare);
    }
}

void TForm_Main::Prepare()
{
    FPrepared = true;
    Notebook1->setCurrentIndex(pgAbout);
    repaint();
    Wait(FTimings.AboutMs);
    if (FClosed)
        return;
    ShowPage(pgPrepare);
    FSetup.OnPrepareStep = [this](int position) { Gauge_Prepare->setValue(position); };
    FSetup.OnIdle = [] { QCoreApplication::processEvents(); };
    if (!FSetup.Prepare()) {
        ShowFailure();
        return;
    }
    Memo_License->setPlainText(FSetup.LicenseText);
    Wait(FTimings.PreparedMs);
    if (FClosed)
        return;
    Edit_Program->setText(FSetup.DefaultProgramFolder);
    ShowPage(pgFolders);
}

void TForm_Main::ProgramFolderChanged()
{
    const QString program = TkvMacroList::WithSeparator(Edit_Program->text());
    if (!FProjectEdited)
        Edit_Project->setText(program + u"工程"_s + QDir::separator());
    if (!FBackupEdited)
        Edit_Backup->setText(program + u"备份"_s + QDir::separator());
    if (!FTemplateEdited)
        Edit_Template->setText(program + u"模板"_s + QDir::separator());
}

void TForm_Main::BrowseClick(TqxLabeledEdit* edit)
{
    const auto chosen = FPrompter.ChooseFolder(u"选择安装目录"_s, edit->text());
    if (!chosen)
        return;
    if (edit == Edit_Program) {
        edit->setText(TkvMacroList::WithSeparator(*chosen) + u"Kavelin"_s + QDir::separator());
        return;
    }
    if (edit == Edit_Project)
        FProjectEdited = true;
    else if (edit == Edit_Backup)
        FBackupEdited = true;
    else
        FTemplateEdited = true;
    edit->setText(*chosen);
}

void TForm_Main::PrevClick()
{
    if (CurrentPage() == pgLicense)
        ShowPage(pgFolders);
}

void TForm_Main::NextClick()
{
    if (!Button_Next->isEnabled())
        return;
    if (CurrentPage() == pgFolders) {
        // An empty or relative folder would put the files into the root or
        // wherever the installer was started from.
        for (TqxLabeledEdit* edit : {Edit_Program, Edit_Project, Edit_Backup, Edit_Template}) {
            if (!QDir::isAbsolutePath(edit->text().trimmed())) {
                TMessageRequest refuse;
                refuse.Text = edit->EditLabel()->text() + u"请输入一个完整的目录路径！"_s;
                refuse.Caption = u"提示"_s;
                refuse.Icon = TMsgIcon::Warning;
                FPrompter.Message(refuse);
                edit->setFocus();
                edit->selectAll();
                return;
            }
        }
        ShowPage(pgLicense);
        return;
    }
    if (CurrentPage() != pgLicense)
        return;
    TMessageRequest ask;
    ask.Text = u"已获取足够的信息，下一步就开始复制文件，是否继续？"_s;
    ask.Caption = u"确认"_s;
    ask.Icon = TMsgIcon::Question;
    ask.Buttons = mbYes | mbNo;
    if (FPrompter.Message(ask) != mbYes)
        return;
    RunCopy();
}

void TForm_Main::RunCopy()
{
    ShowPage(pgCopy);
    FSetup.SetFolders(Edit_Program->text(), Edit_Project->text(), Edit_Backup->text(), Edit_Template->text());
    FSetup.OnTarget = [this](const QString& target) { Label_Target->setText(target); };
    FSetup.OnCopyStep = [this](int position, int count) {
        Gauge_Copy->setMaximum(count);
        Gauge_Copy->setValue(position);
    };
    if (!FSetup.CopyFiles()) {
        ShowFailure();
        return;
    }
    RunConfigure();
}

void TForm_Main::RunConfigure()
{
    ShowPage(pgConfigure);
    Label_Status->setText(u"正在设置软件配置，请稍候..."_s);
    FSetup.OnStatus = [this](const QString& status) {
        Label_Status->setText(status);
        Label_Status->repaint();
    };
    FSetup.Configure();
    if (FSetup.State == ssFailed) {
        ShowFailure();
        return;
    }
    Wait(FTimings.ShortcutsMs);
    ShowPage(pgFinish);
}

void TForm_Main::ShowFailure()
{
    Label_Reason->setText(u"失败原因："_s + FSetup.FailReason);
    ShowPage(pgError);
}

bool TForm_Main::CanClose()
{
    const TkvSetupState state = FSetup.State;
    if (state == ssConfiguring || state == ssStopping)
        return false;
    if (state < ssConfiguring) {
        TMessageRequest ask;
        ask.Text = u"真的不继续安装软件Kavelin？"_s;
        ask.Caption = u"退出"_s;
        ask.Icon = TMsgIcon::Question;
        ask.Buttons = mbYes | mbNo;
        ask.DefaultButton = mbNo;
        const bool yes = FPrompter.Message(ask) == mbYes;
        // The copying is stopped, never cut off: it ends after its current line.
        if (state == ssCopying) {
            if (yes && FSetup.State == ssCopying)
                FSetup.RequestStop();
            return false;
        }
        return yes;
    }
    return true;
}

void TForm_Main::reject()
{
    // Escape is the cancel key: it asks as the close box does.
    close();
}

void TForm_Main::closeEvent(QCloseEvent* event)
{
    if (FClosed) {
        event->accept();
        return;
    }
    if (!CanClose()) {
        event->ignore();
        return;
    }
    FClosed = true;
    FSetup.OnIdle = nullptr;
    FSetup.Close();
    if (FSetup.State == ssFinished && Check_Run->isChecked())
        StartProgram(FSetup.ProgramFile());
    event->accept();
    setResult(QDialog::Accepted);
}
