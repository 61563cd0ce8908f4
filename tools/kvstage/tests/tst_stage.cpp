// The staged installation as the programs will find it.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "GbkText.h"
#include "KavelinFiles.h"
#include "KvTestSupport.h"
#include "kvQfbDataSet.h"
#include "kvYssDataSet.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"
#include "qxStrings.h"

#include <QDir>
#include <QImageReader>
#include <QTest>

using namespace Qt::StringLiterals;

class TestStage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void configuredFilesExist();
    void textFiles_data();
    void textFiles();
    void configuration();
    void tables();
    void standardTemplate();
    void sampleProject();
    void pictures();

private:
    QString path(const QString& rel) const { return FStage + u'/' + rel; }
    QString FStage;
    TAppGlobalInfo FInfo;
};

void TestStage::initTestCase()
{
    // The shipped files as the build wrote them; the stage the programs run
    // from may have been changed by running them.
    FStage = qEnvironmentVariable("KV_PRISTINE_STAGE_DIR");
    FInfo.WriteBackOnFree = false;
    QVERIFY(FileSystem::FileExists(path(u"App"_s)));
    const TqxIniFile app(path(u"App"_s));
    FInfo.AppPath = FStage + u'/';
    FInfo.Paths = app.ReadSectionValues(u"Paths"_s);
    FInfo.Files = app.ReadSectionValues(u"Files"_s);
    FInfo.SetPath(u"App"_s, FInfo.AppPath);
}

void TestStage::configuredFilesExist()
{
    // Every configured file that some part of the programs reads.
    for (const QString& key : {u"配置_参数"_s, u"配置_外挂程序"_s, u"历史文件列表"_s, u"每日一贴"_s, u"标准预算书"_s,
                               u"系统项目库"_s, u"系统项目类别库"_s, u"计量单位库"_s, u"工艺材料"_s, u"单词库"_s,
                               u"图片_启动画面"_s, u"无分组打印"_s, u"按项目类别打印"_s, u"按施工地点打印"_s, u"封面"_s,
                               u"工程信息"_s, u"取费表"_s})
        QVERIFY2(FileSystem::FileExists(FInfo.GetFileName(key)), qPrintable(key));
    // The programs live in the stage proper.
    QCOMPARE(FInfo.Files.Value(u"备份与恢复"_s), u"[App]Restorix"_s);
    QVERIFY(QFileInfo(qEnvironmentVariable("KV_STAGE_DIR") + u"/Restorix"_s).isExecutable());
    for (const QString& folder : {u"工程"_s, u"备份"_s, u"模板"_s, u"数据"_s, u"配置"_s, u"图片"_s, u"帮助"_s, u"程序"_s})
        QVERIFY2(FileSystem::DirectoryExists(FInfo.GetPath(folder)), qPrintable(folder));
    QVERIFY(QFileInfo(path(u"IniFiles/Grids"_s)).isDir());
    QVERIFY(QFileInfo(path(u"License.TXT"_s)).size() > 0);
}

void TestStage::textFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("lines");
    QTest::newRow("App") << u"App"_s << -1;
    QTest::newRow("Setup.ini") << u"IniFiles/Setup.ini"_s << -1;
    QTest::newRow("tools") << u"IniFiles/ExternalProgram.lst"_s << 2;
    QTest::newRow("history") << u"IniFiles/HistoryFiles.lst"_s << 0;
    QTest::newRow("tips") << u"Help/EveryDayTip"_s << 13;
    QTest::newRow("licence") << u"License.TXT"_s << -1;
}

void TestStage::textFiles()
{
    QFETCH(QString, file);
    QFETCH(int, lines);
    const QByteArray bytes = KvTest::ReadBytes(path(file));
    // GBK with CR LF: every line feed follows a carriage return, and the text
    // reads back to the same bytes.
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(Gbk::Encode(Gbk::Decode(bytes)), bytes);
    if (lines >= 0)
        QCOMPARE(int(bytes.count("\r\n")), lines);
}

void TestStage::configuration()
{
    const TqxIniFile setup(path(u"IniFiles/Setup.ini"_s));
    QCOMPARE(setup.ReadString(u"Setup"_s, u"TW_Left"_s), u"98"_s);
    QCOMPARE(setup.ReadString(u"Setup"_s, u"MW_WindowState"_s), u"2"_s);
    QCOMPARE(setup.ReadString(u"Setup"_s, u"AutoShowEveryDayTip"_s), u"True"_s);
    QCOMPARE(setup.ReadSection(u"Variant"_s),
             (QStringList{u"单位名称"_s, u"单位地址"_s, u"单位电话"_s, u"单位传真"_s, u"单位徽标"_s, u"公司宗旨"_s, u"工程直接费"_s}));
    QCOMPARE(setup.ReadString(u"Variant"_s, u"单位徽标"_s), u"[图片]Tag.ico"_s);
    QCOMPARE(setup.ReadString(u"Variant"_s, u"工程直接费"_s), u"工程直接费"_s);

    const TqxIniFile app(path(u"App"_s));
    QCOMPARE(app.ReadString(u"Software"_s, u"SoftName"_s), u"Kavelin"_s);
    QCOMPARE(app.ReadString(u"Other"_s, u"QuitExcept"_s), u"0"_s);
    QCOMPARE(app.ReadSection(u"Paths"_s).size(), 10);

    const QStringList tools = Gbk::Decode(KvTest::ReadBytes(path(u"IniFiles/ExternalProgram.lst"_s))).split(u"\r\n"_s);
    QCOMPARE(tools.first(), u"备份与恢复=[App]Restorix|Ctrl+B||备份与恢复"_s);
}

void TestStage::tables()
{
    TqxDataSet t;
    t.LoadFromFile(path(u"Data/ItemsDB"_s));
    QCOMPARE(t.FieldDefs(), TDataModule_Data::ItemFieldDefs());
    QCOMPARE(t.RecordCount(), 292);
    for (t.First(); !t.Eof(); t.Next()) {
        QVERIFY(!t.FieldByName(u"项目名称"_s)->AsString().isEmpty());
        QVERIFY(!t.FieldByName(u"查询码"_s)->AsString().isEmpty()); // every item has its code
    }
    const std::pair<QString, int> counts[] = {{u"ItemCateDB"_s, 41}, {u"MeasureUnit"_s, 18}, {u"MemoDB"_s, 2}, {u"WordsDb"_s, 6}};
    for (const auto& [file, rows] : counts) {
        t.LoadFromFile(path(u"Data/"_s + file));
        QCOMPARE(t.RecordCount(), rows);
    }
}

void TestStage::standardTemplate()
{
    TKVFile file;
    QVERIFY(file.LoadFromFile(path(u"Data/standard.kvt"_s))); // the name the installer writes
    QCOMPARE(Gbk::Decode(*file.SectionData(u"工程信息"_s)),
             u"工程名称=\r\n客户姓名=\r\n房型=\r\n面积（平方米）=\r\n地址=\r\n电话=\r\n手机=\r\n传呼=\r\n编制日期=\r\n编制人=\r\n"_s);
    QCOMPARE(file.ReadValue(u"视图"_s), u"项目类别"_s); // a new project starts in the category view
    TkvYssDataSet budget;
    budget.LoadBudget(*file.SectionData(u"预算书"_s));
    QCOMPARE(budget.RecordCount(), 0);
    TkvQfbDataSet fees;
    fees.LoadFromBytes(*file.SectionData(u"取费表"_s));
    QCOMPARE(fees.RecordCount(), 4);
    QStringList formulas;
    for (fees.First(); !fees.Eof(); fees.Next())
        formulas << fees.FieldByName(u"计算公式"_s)->AsString();
    QCOMPARE(formulas, (QStringList{u"[工程直接费]"_s, u"[1]*0.17"_s, u"[1]*.03"_s, u"[1]+[2]+[3]"_s}));
}

void TestStage::sampleProject()
{
    TKVFile file;
    file.SetFileName(path(u"工程/预算示例.KVP"_s));
    QCOMPARE(file.ProjectName(), u"工程预算样本"_s);
    QCOMPARE(file.ReadValue(u"视图"_s), u"施工地点"_s);
    QCOMPARE(file.PassWord(), QString());

    TkvYssDataSet budget;
    budget.LoadBudget(*file.SectionData(u"预算书"_s));
    budget.SetGroupField(file.ReadValue(u"视图"_s));
    QStringList groups;
    for (int i = 0; i < budget.GroupCount(); ++i)
        groups << budget.Groups(i)->GroupName();
    QCOMPARE(groups, (QStringList{u"餐厅"_s, u"厨房"_s, u"客厅"_s, u"书房"_s, u"卫生间"_s, u"整体"_s, u"主卧室"_s}));
    QVERIFY(budget.LocateSubtotal(1));
    QCOMPARE(budget.FieldByName(u"数量"_s)->AsFloat(), 9.0);
    QCOMPARE(budget.FieldByName(u"金额"_s)->AsFloat(), 6297.6);
    QCOMPARE(budget.TotalAmount(), 169424.2);

    TkvQfbDataSet fees;
    fees.LoadFromBytes(*file.SectionData(u"取费表"_s));
    QList<double> amounts;
    for (fees.First(); !fees.Eof(); fees.Next())
        amounts << fees.FieldByName(u"金额"_s)->AsFloat();
    QCOMPARE(amounts, (QList<double>{169424.2, 28802.114, 5082.726, 203309.04}));
    QVERIFY(Gbk::Decode(*file.SectionData(u"工程信息"_s)).startsWith(u"工程名称=工程预算样本\r\n"_s));
}

void TestStage::pictures()
{
    QCOMPARE(QImageReader(path(u"Picture/Flash.jpg"_s)).size(), QSize(440, 318));
    QImageReader icon(path(u"Picture/Tag.ico"_s));
    QVERIFY2(icon.canRead(), qPrintable(icon.errorString()));
    QCOMPARE(icon.size(), QSize(32, 32));
}

QTEST_GUILESS_MAIN(TestStage)
#include "tst_stage.moc"
