// The INI reader and writer: what it reads and what a rewrite keeps.

#include "GbkText.h"
#include "KvTestSupport.h"
#include "qxErrors.h"
#include "qxIniFile.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestIniFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { FPath = FDir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u".ini"_s); }
    void readsGbkCaseInsensitiveTrimmed();
    void rewriteKeepsEverythingElse();
    void newSectionAndMissingFile();
    void failedWriteKeepsOldFile();

private:
    void writeText(const QString& text) { QVERIFY(KvTest::WriteBytes(FPath, Gbk::Encode(text))); }
    QString readText() const { return Gbk::Decode(KvTest::ReadBytes(FPath)); }
    QTemporaryDir FDir;
    QString FPath;
};

void TestIniFile::readsGbkCaseInsensitiveTrimmed()
{
    writeText(u"; 公司设置\r\n[Variant]\r\n 单位名称 = 美家装饰 \r\n公司宗旨=\r\nnokey\r\n[Setup]\nTW_Left=12\rTW_Top=x\r\n"_s);
    const TqxIniFile ini(FPath);
    QCOMPARE(ini.ReadString(u"VARIANT"_s, u"单位名称"_s), u"美家装饰"_s);
    QCOMPARE(ini.ReadString(u"variant"_s, u"公司宗旨"_s, u"d"_s), QString());
    QCOMPARE(ini.ReadString(u"variant"_s, u"nosuch"_s, u"d"_s), u"d"_s);
    QCOMPARE(ini.ReadInteger(u"setup"_s, u"tw_left"_s, 0), 12);
    QCOMPARE(ini.ReadInteger(u"setup"_s, u"TW_Top"_s, 7), 7);
    QCOMPARE(ini.ReadSectionValues(u"Variant"_s).Lines(), (QStringList{u"单位名称=美家装饰"_s, u"公司宗旨="_s}));
    QCOMPARE(ini.ReadSection(u"Setup"_s), (QStringList{u"TW_Left"_s, u"TW_Top"_s}));
    QVERIFY(!ini.SectionExists(u"Other"_s));
}

void TestIniFile::rewriteKeepsEverythingElse()
{
    writeText(u"; 系统配置\r\n[Paths]\r\nApp=\r\n图片=[App]Picture\\\r\n\r\n; 文件\r\n[Files]\r\nA=1\r\nB=2\r\nC=3\r\n"_s);
    TqxIniFile ini(FPath);
    ini.WriteString(u"FILES"_s, u"b"_s, u"20"_s);   // replaced in place
    ini.DeleteKey(u"files"_s, u"A"_s);
    ini.WriteString(u"PATHS"_s, u"配置"_s, u"[App]IniFiles\\"_s); // after the last key, before the comment
    ini.WriteString(u"Files"_s, u"D"_s, QString());
    QVERIFY(ini.Modified());
    ini.UpdateFile();
    QCOMPARE(readText(),
             u"; 系统配置\r\n[Paths]\r\nApp=\r\n图片=[App]Picture\\\r\n配置=[App]IniFiles\\\r\n\r\n; 文件\r\n"
             "[Files]\r\nb=20\r\nC=3\r\nD=\r\n"_s);
    QVERIFY(!ini.Modified());
}

void TestIniFile::newSectionAndMissingFile()
{
    TqxIniFile ini(FPath); // no such file: reads as empty
    QVERIFY(ini.Lines().isEmpty());
    ini.WriteInteger(u"USER"_s, u"Exit"_s, 0);
    ini.WriteString(u"USER"_s, u"ID"_s, u"张工"_s);
    ini.WriteString(u"Other"_s, u"QuitExcept"_s, u"1"_s);
    ini.UpdateFile();
    QCOMPARE(KvTest::ReadBytes(FPath),
             Gbk::Encode(u"[USER]\r\nExit=0\r\nID=张工\r\n\r\n[Other]\r\nQuitExcept=1\r\n"_s));
    ini.EraseSection(u"user"_s);
    ini.UpdateFile();
    QCOMPARE(readText(), u"[Other]\r\nQuitExcept=1\r\n"_s);
}

void TestIniFile::failedWriteKeepsOldFile()
{
    writeText(u"[Setup]\r\nTW_Left=1\r\n"_s);
    TqxIniFile ini(FPath);
    ini.WriteString(u"Setup"_s, u"Padding"_s, QString(200, u'x'));
    {
        KvTest::FileSizeLimit limit(32);
        QVERIFY_THROWS_EXCEPTION(EFileError, ini.UpdateFile());
    }
    QCOMPARE(readText(), u"[Setup]\r\nTW_Left=1\r\n"_s);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
