// The configuration object: start-up, path macros, setters and what reaches
// the files at the orderly shutdown.

#include "AppClasses.h"
#include "GbkText.h"
#include "KvTestSupport.h"
#include "qxErrors.h"
#include "qxFunctions.h"
#include "qxIniFile.h"
#include "qxScriptedPrompter.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAppClasses : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void missingAppFile();
    void initializeReadsEverything();
    void missingSoftwareKey();
    void expandMacros_data();
    void expandMacros();
    void getPathOfApp();
    void variantValues();
    void shutdownWritesBack();
    void restorixWritesOnlyTheMarker();
    void debugSwitch_data();
    void debugSwitch();
    void dragInfo();

private:
    void writeFile(const QString& rel, const QString& text);
    QString readFile(const QString& rel) const;
    QString exeDir() const { return FDir.path() + u"/bin/"_s; }
    std::unique_ptr<TAppGlobalInfo> initialized(const QStringList& args = {u"kavelin"_s});

    QTemporaryDir FDir;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
};

void TestAppClasses::writeFile(const QString& rel, const QString& text)
{
    const QString path = FDir.path() + u'/' + rel;
    QDir().mkpath(QFileInfo(path).path());
    QVERIFY(KvTest::WriteBytes(path, Gbk::Encode(text)));
}

QString TestAppClasses::readFile(const QString& rel) const
{
    return Gbk::Decode(KvTest::ReadBytes(FDir.path() + u'/' + rel));
}

void TestAppClasses::init()
{
    FPrompter = std::make_unique<TqxScriptedPrompter>();
    QDir(FDir.path()).removeRecursively();
    QDir().mkpath(exeDir());
    // The App file as an installation holds it: [Paths] App names the folder
    // the setup program installed into (here "old/"), not the running one.
    writeFile(u"bin/App"_s,
              u"[Software]\r\nSoftName=Kavelin\r\nVersion=1.0\r\nLastUpdate=\r\n"
              "[Other]\r\nQuitExcept=1\r\n"
              "; 文件\r\n[Files]\r\n配置_参数=[配置]Setup.ini\r\n配置_环境=[配置]Env.ini\r\n标准预算书=[数据]Standard.kvt\r\n"
              "[Paths]\r\nApp=%1/old/\r\n配置=[App]IniFiles\\\r\n数据=[App]Data\\\r\n"_s.arg(FDir.path()));
    writeFile(u"old/IniFiles/Setup.ini"_s,
              u"[Setup]\r\nTW_Left=10\r\nTW_Top=20\r\n[Variant]\r\n单位名称=美家装饰\r\n公司宗旨=\r\n"_s);
    writeFile(u"old/IniFiles/Env.ini"_s, u"[USER]\r\nID=张工\r\nExit=300\r\n"_s);
    // What the running folder holds is only seen by the shutdown.
    writeFile(u"bin/IniFiles/Setup.ini"_s,
              u"[Setup]\r\nTW_Left=99\r\nTW_Top=99\r\nMW_Left=5\r\n[Variant]\r\n单位名称=旧名\r\n单位传真=1\r\n"_s);
}

std::unique_ptr<TAppGlobalInfo> TestAppClasses::initialized(const QStringList& args)
{
    auto info = std::make_unique<TAppGlobalInfo>();
    if (!info->Initialize(exeDir(), args))
        return nullptr;
    return info;
}

void TestAppClasses::missingAppFile()
{
    QFile::remove(exeDir() + u"App"_s);
    const QStringList before = QDir(exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    {
        TAppGlobalInfo info;
        QVERIFY(!info.Initialize(exeDir(), {u"kavelin"_s}));
    }
    QCOMPARE(FPrompter->Records.size(), size_t(1));
    const TMessageRequest& m = FPrompter->Last().message;
    QCOMPARE(m.Text, u"系统配置文件未找到！"_s);
    QCOMPARE(m.Caption, u"致命错"_s);
    QCOMPARE(m.Icon, TMsgIcon::Error);
    QCOMPARE(QDir(exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before); // nothing written
    QVERIFY(!QFile::exists(exeDir() + u"IniFiles/Env.ini"_s));
}

void TestAppClasses::initializeReadsEverything()
{
    auto info = initialized();
    QVERIFY(info);
    QCOMPARE(info->AppPath, exeDir());
    QCOMPARE(info->AppFileName, exeDir() + u"APP"_s);
    QVERIFY(info->LastQuitAbnormal);
    QVERIFY(!info->DebugMode);
    QCOMPARE(info->Title(), u"Kavelin (1.0)"_s);
    // Setup.ini and Env.ini came from the folder stored in the App file.
    QCOMPARE(info->GetSetupValue(u"tw_left"_s), u"10"_s);
    QCOMPARE(info->UserID, u"张工"_s);
    QCOMPARE(int(info->UserExit), 300 & 0xFF);
    // From now on the running folder is the program folder.
    QCOMPARE(info->Paths.Value(u"App"_s), exeDir());
    QCOMPARE(info->GetFileName(u"标准预算书"_s), exeDir() + u"Data\\Standard.kvt"_s);
    QCOMPARE(info->GetFileName(u"nosuch"_s), QString());
    QCOMPARE(TqxIniFile(exeDir() + u"App"_s).ReadString(u"Other"_s, u"QuitExcept"_s), u"1"_s);
    QVERIFY(FPrompter->Records.empty());
    info->WriteBackOnFree = false;
}

void TestAppClasses::missingSoftwareKey()
{
    writeFile(u"bin/App"_s, u"[Software]\r\nSoftName=Kavelin\r\n[Other]\r\nQuitExcept=0\r\n"_s);
    TAppGlobalInfo info;
    info.WriteBackOnFree = false;
    try {
        info.Initialize(exeDir(), {});
        QFAIL("a missing version must end start-up");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"不存在的系统信息项【Version】"_s);
    }
    QVERIFY(!info.LastQuitAbnormal);
}

void TestAppClasses::expandMacros_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expanded");
    QTest::newRow("nested macro") << u"[配置]Setup.ini"_s << u"C:\\P\\IniFiles\\Setup.ini"_s;
    QTest::newRow("name in other case") << u"[app]x"_s << u"C:\\P\\x"_s;
    QTest::newRow("twice") << u"[App]a;[App]b"_s << u"C:\\P\\a;C:\\P\\b"_s;
    QTest::newRow("unknown macro") << u"[nosuch]x.ini"_s << u"x.ini"_s;
    QTest::newRow("no macro") << u"D:\\x.ini"_s << u"D:\\x.ini"_s;
    QTest::newRow("unclosed") << u"[App"_s << u"[App"_s;
    QTest::newRow("] before [") << u"a]b[App]c"_s << u"a]b[App]c"_s;
    QTest::newRow("refers to itself") << u"[Self]x"_s << u"[Self]yx"_s;
    QTest::newRow("refer to each other") << u"[A]!"_s << u"[A]!"_s;
    QTest::newRow("cycle below a good macro") << u"[Deep]"_s << u"C:\\P\\[Self]y"_s;
}

void TestAppClasses::expandMacros()
{
    TAppGlobalInfo info;
    info.Paths.SetLines({u"配置=[App]IniFiles\\"_s, u"App=C:\\P\\"_s, u"Self=[Self]y"_s, u"A=[B]"_s, u"B=[A]"_s,
                         u"Deep=[App][Self]"_s});
    QFETCH(QString, text);
    QTEST(info.ExpandMacros(text), "expanded");
}

void TestAppClasses::getPathOfApp()
{
    auto info = initialized();
    QVERIFY(info);
    info->SetPath(u"App"_s, u"Z:\\elsewhere\\"_s);
    for (const QString& name : {u"app"_s, u"App"_s, u"APP"_s})
        QCOMPARE(info->GetPath(name), exeDir());
    QCOMPARE(info->GetPath(u"配置"_s), u"Z:\\elsewhere\\IniFiles\\"_s);
    info->WriteBackOnFree = false;
}

void TestAppClasses::variantValues()
{
    auto info = initialized();
    QVERIFY(info);
    QVERIFY(info->GetVariantValue(u"单位传真"_s).isNull());
    const QVariant empty = info->GetVariantValue(u"公司宗旨"_s);
    QVERIFY(!empty.isNull());
    QCOMPARE(empty.toString(), QString());
    info->SetVariantValue(u"单位电话"_s, 12345);
    QCOMPARE(info->GetVariantValue(u"单位电话"_s).toString(), u"12345"_s);
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, info->GetSoftwareInfo(u"nosuch"_s));
    info->WriteBackOnFree = false;
}

void TestAppClasses::shutdownWritesBack()
{
    AppGlobalInfo = initialized({u"kavelin"_s}).release();
    QVERIFY(AppGlobalInfo);
    TAppGlobalInfo& info = *AppGlobalInfo;
    info.SetSetupValue(u"TW_Left"_s, QString()); // present, empty: removed
    info.SetSetupValue(u"TW_Top"_s, u"25"_s);    // present: replaced in place
    info.SetSetupValue(u"CW_Left"_s, QString()); // absent, empty: written empty
    info.Variants.Delete(info.Variants.IndexOfName(u"单位名称"_s)); // never deleted from the file
    info.SetVariantValue(u"公司宗旨"_s, QString());
    info.SetVariantValue(u"单位电话"_s, u"8888"_s);
    info.Files.Delete(info.Files.IndexOfName(u"标准预算书"_s));
    info.Paths.Delete(info.Paths.IndexOfName(u"数据"_s));
    info.UserID = u"李工"_s;
    info.UserExit = 3;
    FreeAppGlobalInfo();
    QVERIFY(!AppGlobalInfo);

    QCOMPARE(readFile(u"bin/App"_s),
             u"[Software]\r\nSoftName=Kavelin\r\nVersion=1.0\r\nLastUpdate=\r\n"
             "[Other]\r\nQuitExcept=0\r\n"
             "; 文件\r\n[Files]\r\n配置_参数=[配置]Setup.ini\r\n配置_环境=[配置]Env.ini\r\n"
             "[Paths]\r\nApp=%1\r\n配置=[App]IniFiles\\\r\n"_s.arg(exeDir()));
    // The shutdown resolves the files through the running folder.
    // [Setup] loses the keys no longer in memory; [Variant] never loses one.
    QCOMPARE(readFile(u"bin/IniFiles/Setup.ini"_s),
             u"[Setup]\r\nTW_Top=25\r\nCW_Left=\r\n[Variant]\r\n单位名称=旧名\r\n单位传真=1\r\n公司宗旨=\r\n单位电话=8888\r\n"_s);
    QCOMPARE(readFile(u"bin/IniFiles/Env.ini"_s), u"[USER]\r\nID=李工\r\nExit=3\r\n"_s);
    // The next start learns that this run ended in order.
    auto next = initialized();
    QVERIFY(next);
    QVERIFY(!next->LastQuitAbnormal);
    next->WriteBackOnFree = false;
}

void TestAppClasses::restorixWritesOnlyTheMarker()
{
    const QString before = readFile(u"bin/App"_s);
    const QString setupBefore = readFile(u"bin/IniFiles/Setup.ini"_s);
    {
        auto info = initialized();
        QVERIFY(info);
        info->WriteBackOnFree = false;
        info->SetPath(u"新目录"_s, u"x"_s);
    }
    QCOMPARE(readFile(u"bin/App"_s), before); // QuitExcept was already 1
    QCOMPARE(readFile(u"bin/IniFiles/Setup.ini"_s), setupBefore);
    QVERIFY(!QFile::exists(exeDir() + u"IniFiles/Env.ini"_s));
}

void TestAppClasses::debugSwitch_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("debug");
    QTest::newRow("-debug") << QStringList{u"k"_s, u"-debug"_s} << true;
    QTest::newRow("/DEBUG") << QStringList{u"k"_s, u"x.KVP"_s, u"/DEBUG"_s} << true;
    QTest::newRow("-Debug") << QStringList{u"k"_s, u"-Debug"_s} << true;
    QTest::newRow("bare") << QStringList{u"k"_s, u"debug"_s} << false;
    QTest::newRow("--debug") << QStringList{u"k"_s, u"--debug"_s} << false;
    QTest::newRow("longer") << QStringList{u"k"_s, u"-debugger"_s} << false;
    QTest::newRow("program name only") << QStringList{u"-debug"_s} << false;
}

void TestAppClasses::debugSwitch()
{
    QFETCH(QStringList, args);
    auto info = initialized(args);
    QVERIFY(info);
    QTEST(info->DebugMode, "debug");
    info->WriteBackOnFree = false;
}

void TestAppClasses::dragInfo()
{
    TAppGlobalInfo info;
    TqxDragInfo& d = *info.DragInfo;
    QCOMPARE(d.State, TqxDragInfo::dsIdle);
    d.BeginDrag(TqxDragInfo::skItemLibrary, this, false);
    QCOMPARE(d.State, TqxDragInfo::dsStarted);
    QVERIFY(!d.Dragging);
    d.BeginDrag(TqxDragInfo::skBudgetGrid, this, true);
    QVERIFY(d.Dragging);
    d.DragOver();
    d.Dropped();
    d.EndDrag();
    QCOMPARE(d.State, TqxDragInfo::dsDropped); // a drop survives the end
    QVERIFY(!d.Dragging);
    d.BeginDrag(TqxDragInfo::skBudgetGrid, this, true);
    d.EndDrag();
    QCOMPARE(d.State, TqxDragInfo::dsEnded);
    QCOMPARE(d.Source, this);
}

QTEST_GUILESS_MAIN(TestAppClasses)
#include "tst_appclasses.moc"
