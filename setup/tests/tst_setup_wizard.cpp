// The installation wizard driven as a user would, offscreen, every question
// answered by script.

#include "SetupTestSupport.h"
#include "Win_Main.h"
#include "kvInstallFiles.h"
#include "kvSetup.h"
#include "qxCtrls_LabeledEdit.h"
#include "qxScriptedPrompter.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

struct Wizard {
    explicit Wizard(const QString& root, bool asRoot = false) : setup(environment(root, asRoot)), window(setup, prompter, {0, 0, 0})
    {
        window.StartProgram = [this](const QString& program) {
            started << program;
            return true;
        };
    }
    static TkvSetupEnvironment environment(const QString& root, bool asRoot)
    {
        TkvSetupEnvironment env;
        env.TempPath = root + u"/tmp"_s;
        env.Home = root + u"/home"_s;
        env.Root = asRoot;
        env.ResourceRoot = u":/"_s;
        env.Desktop = TkvDesktopFolders::ForHome(env.Home);
        return env;
    }
    QString buttons() const
    {
        QString s;
        for (const QPushButton* b : {window.Button_Prev, window.Button_Next, window.Button_Cancel, window.Button_Finish})
            s += b->isEnabled() ? u'1' : u'0';
        return s;
    }

    TqxScriptedPrompter prompter;
    TkvSetup setup;
    TForm_Main window;
    QStringList started;
};

} // namespace

class TestSetupWizard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void defaultFolders_data();
    void defaultFolders();
    void agreementBackAndForth();
    void incompleteFolder_data();
    void incompleteFolder();
    void install_data();
    void install();
    void stopQuestion_data();
    void stopQuestion();
    void failureInTheMiddle();
    void cancelWhileAsking();
    void temporaryFolderFails();

private:
    bool toFolders(Wizard& w);
    // From the folders page through the agreement into the copying.
    void accept(Wizard& w);
    QStringList filesUnder(const QString& dir) const;

    std::unique_ptr<QTemporaryDir> FRoot;
};

void TestSetupWizard::initTestCase() { QVERIFY(RegisterInstallFiles()); }

void TestSetupWizard::init()
{
    FRoot = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(FRoot->path() + u"/home"_s));
    // The file-type tools write into the user's folders: this home's.
    qputenv("HOME", QFile::encodeName(FRoot->path() + u"/home"_s));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
}

bool TestSetupWizard::toFolders(Wizard& w)
{
    w.window.show();
    return QTest::qWaitFor([&] { return w.window.CurrentPage() == TForm_Main::pgFolders; }, 10000);
}

void TestSetupWizard::accept(Wizard& w)
{
    w.window.Button_Next->click();
    w.window.Radio_Accept->click();
    w.prompter.AnswerButton(mbYes);
    w.window.Button_Next->click();
}

QStringList TestSetupWizard::filesUnder(const QString& dir) const
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

void TestSetupWizard::defaultFolders_data()
{
    QTest::addColumn<bool>("asRoot");
    QTest::addColumn<QString>("program"); // under the home when it starts with "~"
    QTest::newRow("user") << false << u"~/.local/opt/Orbelle软件/Kavelin/"_s;
    QTest::newRow("root") << true << u"/opt/Orbelle软件/Kavelin/"_s;
}

void TestSetupWizard::defaultFolders()
{
    QFETCH(bool, asRoot);
    QFETCH(QString, program);
    program.replace(u"~"_s, FRoot->path() + u"/home"_s);
    Wizard w(FRoot->path(), asRoot);
    QCOMPARE(w.window.windowTitle(), u"软件安装向导 － Kavelin"_s);
    QVERIFY(toFolders(w));
    QCOMPARE(w.setup.State, ssAsking);
    QCOMPARE(w.buttons(), u"0110"_s);
    QCOMPARE(w.window.qxHeadPanel1->Description(), u"选择您将本软件安装到的目录..."_s);
    QCOMPARE(w.window.Gauge_Prepare->value(), 6);
    QVERIFY(w.window.Memo_License->toPlainText().size() > 20);

    QCOMPARE(w.window.Edit_Program->text(), program);
    QCOMPARE(w.window.Edit_Project->text(), program + u"工程/"_s);
    QCOMPARE(w.window.Edit_Backup->text(), program + u"备份/"_s);
    QCOMPARE(w.window.Edit_Template->text(), program + u"模板/"_s);

    // The data folders follow the program folder until the user edits one.
    w.window.Edit_Backup->setFocus();
    w.window.Edit_Backup->selectAll();
    QTest::keyClicks(w.window.Edit_Backup, u"/srv/backup"_s);
    w.window.Edit_Program->setText(u"/srv/Kavelin"_s);
    QCOMPARE(w.window.Edit_Project->text(), u"/srv/Kavelin/工程/"_s);
    QCOMPARE(w.window.Edit_Backup->text(), u"/srv/backup"_s);
    QCOMPARE(w.window.Edit_Template->text(), u"/srv/Kavelin/模板/"_s);

    // Browsing: the program folder gets "Kavelin" appended, the others not.
    w.prompter.AnswerText(u"/data/apps"_s).AnswerText(u"/data/templates"_s).AnswerCancel();
    w.window.Edit_Program->SpeedButton()->click();
    QCOMPARE(w.prompter.Records.back().folderTitle, u"选择安装目录"_s);
    QCOMPARE(w.window.Edit_Program->text(), u"/data/apps/Kavelin/"_s);
    w.window.Edit_Template->SpeedButton()->click();
    QCOMPARE(w.window.Edit_Template->text(), u"/data/templates"_s);
    w.window.Edit_Project->SpeedButton()->click();
    QCOMPARE(w.window.Edit_Project->text(), u"/data/apps/Kavelin/工程/"_s);
    w.window.Edit_Program->setText(u"/x/"_s);
    QCOMPARE(w.window.Edit_Template->text(), u"/data/templates"_s);
    QCOMPARE(w.window.Edit_Project->text(), u"/x/工程/"_s);
}

void TestSetupWizard::agreementBackAndForth()
{
    Wizard w(FRoot->path());
    QVERIFY(toFolders(w));
    w.window.Button_Next->click();
    QCOMPARE(w.window.CurrentPage(), TForm_Main::pgLicense);
    QCOMPARE(w.buttons(), u"1010"_s);
    QVERIFY(w.window.Radio_Reject->isChecked());
    w.window.Radio_Accept->click();
    QCOMPARE(w.buttons(), u"1110"_s);

    // Back and forward again: "下一步" waits for a new choice.
    w.window.Button_Prev->click();
    QCOMPARE(w.window.CurrentPage(), TForm_Main::pgFolders);
    w.window.Button_Next->click();
    QVERIFY(w.window.Radio_Accept->isChecked());
    QCOMPARE(w.buttons(), u"1010"_s);
    w.window.Radio_Reject->click();
    QCOMPARE(w.buttons(), u"1010"_s);
    w.window.Radio_Accept->click();
    QCOMPARE(w.buttons(), u"1110"_s);

    // No to the confirmation stays on the agreement.
    w.prompter.AnswerButton(mbNo);
    w.window.Button_Next->click();
    QCOMPARE(w.prompter.Last().message.Text, u"已获取足够的信息，下一步就开始复制文件，是否继续？"_s);
    QCOMPARE(w.prompter.Last().message.Caption, u"确认"_s);
    QCOMPARE(w.prompter.Last().message.Icon, TMsgIcon::Question);
    QCOMPARE(w.prompter.Last().message.Buttons, mbYes | mbNo);
    QCOMPARE(w.window.CurrentPage(), TForm_Main::pgLicense);
    QCOMPARE(w.setup.State, ssAsking);
}

void TestSetupWizard::incompleteFolder_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty program folder") << u"Edit_Program"_s << QString() << u"主程序安装目录:请输入一个完整的目录路径！"_s;
    QTest::newRow("blank backup folder") << u"Edit_Backup"_s << u"   "_s << u"备份数据存放目录:请输入一个完整的目录路径！"_s;
    QTest::newRow("relative template folder") << u"Edit_Template"_s << u"模板"_s << u"模板存放目录:请输入一个完整的目录路径！"_s;
}

void TestSetupWizard::incompleteFolder()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    Wizard w(FRoot->path());
    QVERIFY(toFolders(w));
    auto* edit = w.window.findChild<TqxLabeledEdit*>(field);
    QVERIFY(edit);
    edit->setText(text);
    w.prompter.AnswerButton(mbOK);
    w.window.Button_Next->click();
    QCOMPARE(w.window.CurrentPage(), TForm_Main::pgFolders);
    QCOMPARE(w.prompter.Records.size(), 1u);
    QTEST(w.prompter.Last().message.Text, "message");
    QCOMPARE(w.prompter.Last().message.Icon, TMsgIcon::Warning);
}

void TestSetupWizard::install_data()
{
    QTest::addColumn<bool>("run");
    QTest::newRow("run Kavelin") << true;
    QTest::newRow("run unchecked") << false;
}

void TestSetupWizard::install()
{
    QFETCH(bool, run);
    Wizard w(FRoot->path());
    QVERIFY(toFolders(w));
    // A project folder chosen without a trailing separator.
    const QString projects = FRoot->path() + u"/我的工程"_s;
    w.prompter.AnswerText(FRoot->path() + u"/apps"_s).AnswerText(projects);
    w.window.Edit_Program->SpeedButton()->click();
    w.window.Edit_Project->SpeedButton()->click();
    const QString program = FRoot->path() + u"/apps/Kavelin/"_s;
    // The close box while configuring does nothing at all.
    bool closedWhileConfiguring = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &w.window, [&] {
        if (!closedWhileConfiguring && w.window.CurrentPage() == TForm_Main::pgConfigure) {
            closedWhileConfiguring = true;
            w.window.close();
        }
    });
    poll.start(0);
    accept(w);
    poll.stop();
    QVERIFY(closedWhileConfiguring);

    QCOMPARE(w.window.CurrentPage(), TForm_Main::pgFinish);
    QCOMPARE(w.setup.State, ssFinished);
    QCOMPARE(w.buttons(), u"0001"_s);
    QCOMPARE(w.window.qxHeadPanel1->Description(), u"安装向导已完成软件Kavelin的安装。"_s);
    QCOMPARE(w.window.Gauge_Copy->value(), w.window.Gauge_Copy->maximum());
    QCOMPARE(w.window.Label_Status->text(), u"安装程序正在创建快捷方式..."_s);
    QVERIFY(w.window.Check_Run->isChecked());

    SetupTest::VerifyInstalledFiles(SetupTest::FoldersUnder(program, projects, program + u"备份"_s, program + u"模板"_s));
    QVERIFY(QFileInfo(projects + u"/预算示例.KVP"_s).isFile());
    QCOMPARE(TqxIniFile(program + u"App"_s).ReadString(u"PATHS"_s, u"工程"_s), projects + u'/');
    QVERIFY(QFileInfo(FRoot->path() + u"/home/Desktop/Kavelin 1.0.desktop"_s).isFile());

    w.window.Check_Run->setChecked(run);
    w.window.Button_Finish->click();
    QVERIFY(!w.window.isVisible());
    QCOMPARE(w.started, run ? QStringList{program + u"Kavelin"_s} : QStringList());
    QCOMPARE(w.prompter.Records.size(), 3); // two folders and the confirmation, no question at the end
    QCOMPARE(filesUnder(FRoot->path() + u"/tmp"_s), QStringList());
    // Closing after a success removes nothing.
    SetupTest::VerifyInstalledFiles(SetupTest::FoldersUnder(program, projects, program + u"备份"_s, program + u"模板"_s));
}

void TestSetupWizard::stopQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No: the copying goes on") << int(mbNo);
    QTest::newRow("Yes: the copying stops") << int(mbYes);
}

void TestSetupWizard::stopQuestion()
{
    QFETCH(int, answer);
    Wizard w(FRoot->path());
    QVERIFY(toFolders(w));
    w.window.Edit_Program->setText(FRoot->path() + u"/p"_s);
    // The close box is clicked while the files are being copied.
    int lines = 0;
    QTimer::singleShot(0, &w.window, [&] {
        lines = w.window.Gauge_Copy->value();
        w.window.close();
    });
    w.window.Button_Next->click();
    w.window.Radio_Accept->click();
    w.prompter.AnswerButton(mbYes).AnswerButton(answer);
    w.window.Button_Next->click();

    QCOMPARE(w.prompter.Records.size(), 2);
    const TMessageRequest& ask = w.prompter.Last().message;
    QCOMPARE(ask.Text, u"真的不继续安装软件Kavelin？"_s);
    QCOMPARE(ask.Caption, u"退出"_s);
    QCOMPARE(ask.Buttons, mbYes | mbNo);
    QCOMPARE(ask.DefaultButton, int(mbNo));
    QVERIFY(lines < w.setup.LineCount);

    if (answer == mbNo) {
        QCOMPARE(w.window.CurrentPage(), TForm_Main::pgFinish);
        QVERIFY(w.window.isVisible());
        return;
    }
    QCOMPARE(w.window.CurrentPage(), TForm_Main::pgError);
    QCOMPARE(w.window.Label_Reason->text(), u"失败原因：用户中止！"_s);
    QCOMPARE(w.buttons(), u"0001"_s);
    QVERIFY(w.window.isVisible());
    w.window.Button_Finish->click();
    QVERIFY(!w.window.isVisible());
    QCOMPARE(filesUnder(FRoot->path()), QStringList());
    QCOMPARE(w.started, QStringList());
}

void TestSetupWizard::failureInTheMiddle()
{
    Wizard w(FRoot->path());
    QVERIFY(toFolders(w));
    const QString program = FRoot->path() + u"/p/"_s;
    w.window.Edit_Program->setText(program);
    // Something else already holds the place of the item library.
    QVERIFY(QDir().mkpath(program + u"Data/ItemsDB/mine"_s));
    QVERIFY(KvTest::WriteBytes(program + u"Data/ItemsDB/mine/keep.txt"_s, "mine"));
    QVERIFY(KvTest::WriteBytes(program + u"Data/ItemCateDB"_s, "older"));
    accept(w);

    QCOMPARE(w.window.CurrentPage(), TForm_Main::pgError);
    QCOMPARE(w.window.Label_Reason->text(), u"失败原因：复制文件 "_s + program + u"Data/ItemsDB 失败！"_s);
    QCOMPARE(w.window.qxHeadPanel1->Description(), u"安装过程发生错误，停止安装！"_s);
    QCOMPARE(w.buttons(), u"0001"_s);
    // Before the failure the list's earlier files were written.
    QVERIFY(QFileInfo(program + u"License.TXT"_s).isFile());
    QVERIFY(KvTest::ReadBytes(program + u"Data/ItemCateDB"_s) != "older");

    w.window.Button_Finish->click();
    QVERIFY(!w.window.isVisible());
    // Exactly the written files are gone (the replaced one with them); the
    // folders and what was not the installer's stay.
    QCOMPARE(filesUnder(FRoot->path()), QStringList{program + u"Data/ItemsDB/mine/keep.txt"_s});
    for (const QString& dir : {u"Data"_s, u"IniFiles/Grids"_s, u"Bin"_s, u"Picture"_s, u"Help"_s, u"工程"_s, u"备份"_s,
                               u"模板"_s})
        QVERIFY2(QFileInfo(program + dir).isDir(), qPrintable(dir));
    QCOMPARE(w.started, QStringList());
}

void TestSetupWizard::cancelWhileAsking()
{
    Wizard w(FRoot->path());
    QVERIFY(toFolders(w));
    w.prompter.AnswerButton(mbNo);
    w.window.Button_Cancel->click();
    QVERIFY(w.window.isVisible());
    QCOMPARE(w.prompter.Last().message.Text, u"真的不继续安装软件Kavelin？"_s);
    QCOMPARE(QDir(FRoot->path() + u"/tmp"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    w.prompter.AnswerButton(mbYes);
    QTest::keyClick(&w.window, Qt::Key_Escape);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(QDir(FRoot->path() + u"/tmp"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QCOMPARE(filesUnder(FRoot->path()), QStringList());
}

void TestSetupWizard::temporaryFolderFails()
{
    // The temporary folder's place is taken by a file.
    QVERIFY(KvTest::WriteBytes(FRoot->path() + u"/tmp"_s, "x"));
    Wizard w(FRoot->path());
    w.window.show();
    QVERIFY(QTest::qWaitFor([&] { return w.window.CurrentPage() == TForm_Main::pgError; }, 10000));
    QCOMPARE(w.window.Label_Reason->text(), u"失败原因：不能创建临时目录，请检查您是否有读写文件的权限！"_s);
    QCOMPARE(w.setup.State, ssFailed);
    QCOMPARE(w.buttons(), u"0001"_s);
    w.window.Button_Finish->click();
    QVERIFY(!w.window.isVisible());
    QCOMPARE(w.prompter.Records.size(), 0u);
}

QTEST_MAIN(TestSetupWizard)
#include "tst_setup_wizard.moc"
