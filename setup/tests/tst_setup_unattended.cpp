// The staged Kavsetup run without a window, as a firm installs many
// computers: into temporary folders, for a temporary home.

#include "SetupTestSupport.h"
#include "kvDesktop.h"

#include <QDirIterator>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class TestSetupUnattended : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void install();
    void reinstallOverAnInstallation();
    void failureRemovesWrittenFiles();
    void badArguments();
    void installedKavelinStarts();

private:
    // Runs the staged Kavsetup; returns its exit code, its output in FOutput.
    int runSetup(const QStringList& args);
    QProcessEnvironment environment() const;
    TkvMacroList folders() const;
    QString program() const { return FRoot->path() + u"/Orbelle软件 1/Kavelin"_s; }

    std::unique_ptr<QTemporaryDir> FRoot;
    QString FHome;
    QString FTemp;
    QString FOutput;
};

void TestSetupUnattended::init()
{
    FRoot = std::make_unique<QTemporaryDir>();
    QVERIFY(FRoot->isValid());
    FHome = FRoot->path() + u"/home"_s;
    FTemp = FRoot->path() + u"/tmp"_s;
    QVERIFY(QDir().mkpath(FHome) && QDir().mkpath(FTemp));
}

QProcessEnvironment TestSetupUnattended::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, FHome);
    env.insert(u"TMPDIR"_s, FTemp);
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        env.remove(QString::fromLatin1(name));
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    return env;
}

int TestSetupUnattended::runSetup(const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(SetupTest::StageDir() + u"/Kavsetup"_s, QStringList{u"--unattended"_s} + args);
    if (!p.waitForFinished(240000))
        return -1;
    FOutput = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TkvMacroList TestSetupUnattended::folders() const
{
    return SetupTest::FoldersUnder(program(), FRoot->path() + u"/工程"_s, FRoot->path() + u"/备份"_s,
                                   FRoot->path() + u"/模板"_s);
}

void TestSetupUnattended::install()
{
    // The data folders chosen without a trailing separator still get their files.
    QCOMPARE(runSetup({u"--program"_s, program(), u"--project"_s, FRoot->path() + u"/工程"_s, u"--backup"_s,
                       FRoot->path() + u"/备份"_s, u"--template"_s, FRoot->path() + u"/模板"_s, u"--no-run"_s}),
             0);
    QVERIFY2(FOutput.contains(u"Kavelin 1.0 已成功安装！"_s), qPrintable(FOutput));
    QVERIFY2(FOutput.contains(program() + u"/Data/ItemsDB"_s), qPrintable(FOutput));

    int compared = 0;
    SetupTest::VerifyInstalledFiles(folders(), &compared);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(compared, 22);
    for (const QString& dir : {u"Data"_s, u"IniFiles/Grids"_s, u"Bin"_s, u"Picture"_s, u"Help"_s})
        QVERIFY2(QFileInfo(program() + u'/' + dir).isDir(), qPrintable(dir));
    for (const QString& dir : {u"/备份"_s, u"/模板"_s})
        QVERIFY(QFileInfo(FRoot->path() + dir).isDir());
    QVERIFY(QFileInfo(program() + u"/Restorix"_s).isExecutable());
    QVERIFY(!QFileInfo(program() + u"/App"_s).isExecutable());

    // The App file: the four folders, and everything else as shipped.
    const TqxIniFile app(program() + u"/App"_s);
    QCOMPARE(app.ReadString(u"Paths"_s, u"工程"_s), FRoot->path() + u"/工程/"_s);
    QCOMPARE(app.ReadString(u"Paths"_s, u"备份"_s), FRoot->path() + u"/备份/"_s);
    QCOMPARE(app.ReadString(u"Paths"_s, u"模板"_s), FRoot->path() + u"/模板/"_s);
    QCOMPARE(app.ReadString(u"Paths"_s, u"App"_s), program() + u'/');
    const TqxIniFile shipped(SetupTest::PristineDir() + u"/App"_s);
    QCOMPARE(app.ReadSectionValues(u"Files"_s), shipped.ReadSectionValues(u"Files"_s));
    QCOMPARE(app.ReadString(u"Paths"_s, u"配置"_s), u"[App]IniFiles\\"_s);
    QVERIFY(KvTest::ReadBytes(program() + u"/App"_s).contains("\r\n"));

    // The shortcuts: the menu entries, the desktop, no quick launch.
    const QString apps = FHome + u"/.local/share/applications/Kavelin/"_s;
    const QString kavelinEntry = apps + u"Kavelin 1.0(测试版).desktop"_s;
    for (const QString& entry : QStringList{kavelinEntry, apps + u"备份与恢复.desktop"_s, FHome + u"/Desktop/Kavelin 1.0.desktop"_s}) {
        QVERIFY2(QFileInfo(entry).isFile(), qPrintable(entry));
        QCOMPARE(SetupTest::ValidateDesktopEntry(entry), QString());
    }
    const QString text = QString::fromUtf8(KvTest::ReadBytes(kavelinEntry));
    QVERIFY2(text.contains(u"\nExec=\""_s + program() + u"/Kavelin\" %f\n"_s), qPrintable(text));
    QVERIFY(text.contains(u"\nMimeType=application/x-kavelin-project;application/x-kavelin-template;\n"_s));
    QVERIFY(text.contains(u"\nComment=Orbelle家装系列软件－Kavelin\n"_s));
    QVERIFY(QString::fromUtf8(KvTest::ReadBytes(apps + u"备份与恢复.desktop"_s))
                .contains(u"\nExec=\""_s + program() + u"/Restorix\"\n"_s));

    // The file types: the package, the refreshed database and the default.
    QCOMPARE(KvTest::ReadBytes(FHome + u"/.local/share/mime/packages/kavelin.xml"_s), MimePackage());
    if (!QStandardPaths::findExecutable(u"update-mime-database"_s).isEmpty()) {
        const QByteArray globs = KvTest::ReadBytes(FHome + u"/.local/share/mime/globs2"_s);
        QVERIFY2(globs.contains("application/x-kavelin-project:*.kvp"), globs.constData());
        QVERIFY(globs.contains("application/x-kavelin-template:*.kvt"));
        QVERIFY(globs.contains("application/x-kavelin-backup:*.kvb"));
    }
    if (!QStandardPaths::findExecutable(u"xdg-mime"_s).isEmpty()) {
        QProcess query;
        query.setProcessEnvironment(environment());
        query.start(u"xdg-mime"_s, {u"query"_s, u"default"_s, QString::fromUtf16(kMimeProject)});
        QVERIFY(query.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(query.readAllStandardOutput()).trimmed(), u"Kavelin-Kavelin 1.0(测试版).desktop"_s);
    }

    // Nothing of the run is left in the temporary folder.
    QCOMPARE(QDir(FTemp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestSetupUnattended::reinstallOverAnInstallation()
{
    const QStringList args{u"--program"_s, program(), u"--project"_s, FRoot->path() + u"/工程"_s, u"--backup"_s,
                           FRoot->path() + u"/备份"_s, u"--template"_s, FRoot->path() + u"/模板"_s, u"--no-run"_s};
    QCOMPARE(runSetup(args), 0);
    // A used installation: a changed library, and a template written in
    // another letter case than the list gives it.
    QVERIFY(KvTest::WriteBytes(program() + u"/Data/ItemsDB"_s, "changed"));
    QVERIFY(QFile::rename(program() + u"/Data/standard.kvt"_s, program() + u"/Data/Standard.kvt"_s));
    QVERIFY(KvTest::WriteBytes(FRoot->path() + u"/工程/mine.KVP"_s, "mine"));

    QCOMPARE(runSetup(args), 0);
    SetupTest::VerifyInstalledFiles(folders());
    // The existing file was replaced where it lies, not doubled.
    QCOMPARE(QDir(program() + u"/Data"_s).entryList({u"*.kvt"_s}, QDir::Files), QStringList{u"Standard.kvt"_s});
    QCOMPARE(KvTest::ReadBytes(FRoot->path() + u"/工程/mine.KVP"_s), QByteArray("mine"));
}

void TestSetupUnattended::failureRemovesWrittenFiles()
{
    // A folder where the item library goes: the copying fails in the middle.
    QVERIFY(QDir().mkpath(program() + u"/Data/ItemsDB"_s));
    QCOMPARE(runSetup({u"--program"_s, program(), u"--project"_s, FRoot->path() + u"/工程"_s, u"--backup"_s,
                       FRoot->path() + u"/备份"_s, u"--template"_s, FRoot->path() + u"/模板"_s, u"--no-run"_s}),
             1);
    QVERIFY2(FOutput.contains(u"失败原因：复制文件 "_s + program() + u"/Data/ItemsDB 失败！"_s), qPrintable(FOutput));

    // The files written before it are gone again, the folders stay.
    QStringList left;
    QDirIterator it(FRoot->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        left << it.next();
    QCOMPARE(left, QStringList());
    for (const QString& dir : {u"Data/ItemsDB"_s, u"IniFiles/Grids"_s, u"Help"_s})
        QVERIFY2(QFileInfo(program() + u'/' + dir).isDir(), qPrintable(dir));
    QVERIFY(QFileInfo(FRoot->path() + u"/工程"_s).isDir());
    QVERIFY(!QFileInfo::exists(FHome + u"/.local/share/applications"_s));
}

void TestSetupUnattended::badArguments()
{
    QCOMPARE(runSetup({u"--program"_s}), 2);
    QVERIFY(FOutput.contains(u"usage: Kavsetup --unattended"_s));
    QCOMPARE(runSetup({u"--bogus"_s}), 2);
    QCOMPARE(runSetup({u"--program"_s, u" "_s, u"--no-run"_s}), 2);
    QCOMPARE(QDir(FRoot->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{u"home"_s, u"tmp"_s}));
}

void TestSetupUnattended::installedKavelinStarts()
{
    QCOMPARE(runSetup({u"--program"_s, program(), u"--project"_s, FRoot->path() + u"/工程"_s, u"--backup"_s,
                       FRoot->path() + u"/备份"_s, u"--template"_s, FRoot->path() + u"/模板"_s, u"--no-run"_s}),
             0);
    const QString sample = FRoot->path() + u"/工程/预算示例.KVP"_s;
    QVERIFY(QFileInfo(sample).isFile());

    // The file manager's way: the project file as the first argument.
    QProcess kavelin;
    kavelin.setProcessEnvironment(environment());
    kavelin.setWorkingDirectory(program());
    kavelin.setProcessChannelMode(QProcess::MergedChannels);
    kavelin.start(program() + u"/Kavelin"_s, {sample});
    QVERIFY(kavelin.waitForStarted(30000));
    // Started on the installed App file, it marks the run there at once.
    QTRY_COMPARE_WITH_TIMEOUT(TqxIniFile(program() + u"/App"_s).ReadString(u"Other"_s, u"QuitExcept"_s), u"1"_s,
                              30000);
    QTest::qWait(1000);
    QCOMPARE(kavelin.state(), QProcess::Running);
    kavelin.kill();
    kavelin.waitForFinished(10000);
    QVERIFY2(!QString::fromUtf8(kavelin.readAll()).contains(u"系统配置文件未找到"_s), "Kavelin missed its App file");
}

QTEST_GUILESS_MAIN(TestSetupUnattended)
#include "tst_setup_unattended.moc"
