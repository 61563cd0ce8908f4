// Text, path and small-function helpers of the foundation library.

#include "GbkText.h"
#include "KvTestSupport.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxFunctions.h"
#include "qxStrings.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFoundationText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void gbkRoundTrip();
    void gbkCutAtCharacterBoundary_data();
    void gbkCutAtCharacterBoundary();
    void gbkInvalidBytes();

    void nameValueSetters();

    void splitHead_data();
    void splitHead();
    void splitHeadConsumesList();
    void textToBool_data();
    void textToBool();
    void shellOpenAndMail();

    void nativePathIgnoresCase();
    void atomicWriteKeepsOldFileOnFailure();
};

void TestFoundationText::gbkRoundTrip()
{
    const QString text = u"工程预算样本 ABC 面积（平方米）€"_s;
    const QByteArray bytes = Gbk::Encode(text);
    // 工 is B9 A4 in GBK; the euro sign is the single byte 0x80 of code page 936.
    QCOMPARE(bytes.left(2), QByteArray("\xB9\xA4"));
    QCOMPARE(bytes.right(1), QByteArray("\x80"));
    QCOMPARE(Gbk::ByteLength(text), bytes.size());
    QCOMPARE(Gbk::Decode(bytes), text);
}

void TestFoundationText::gbkCutAtCharacterBoundary_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("kept");
    QTest::newRow("fits") << u"ab木"_s << 4 << u"ab木"_s;
    QTest::newRow("inside a character") << u"ab木"_s << 3 << u"ab"_s;
    QTest::newRow("on a boundary") << u"木工安装"_s << 4 << u"木工"_s;
    QTest::newRow("odd width, all Chinese") << u"木工安装"_s << 7 << u"木工安"_s;
    QTest::newRow("zero") << u"木"_s << 0 << QString();
}

void TestFoundationText::gbkCutAtCharacterBoundary()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, kept);
    QCOMPARE(Gbk::Decode(Gbk::EncodeLimited(text, width)), kept);
}

void TestFoundationText::gbkInvalidBytes()
{
    // A lead byte at the end and an unmapped pair decode to the replacement
    // character instead of being dropped silently or read past the end.
    QCOMPARE(Gbk::Decode(QByteArray("a\xB9")), u"a\uFFFD"_s);
    QCOMPARE(Gbk::Encode(u"\U0001F600"_s), QByteArray("?"));
}

void TestFoundationText::nameValueSetters()
{
    TNameValueList l(QStringList{u"A=1"_s, u"b=2"_s, u"x"_s, u"C=3=4"_s});
    QCOMPARE(l.Value(u"B"_s), u"2"_s);
    QCOMPARE(l.Value(u"c"_s), u"3=4"_s);
    QCOMPARE(l.Value(u"x"_s), QString()); // a line without "=" has no name
    l.SetOrRemoveValue(u"a"_s, u"9"_s);
    l.SetOrRemoveValue(u"B"_s, QString());
    l.SetOrRemoveValue(u"new"_s, QString());
    l.SetValue(u"c"_s, QString());
    QCOMPARE(l.Lines(), (QStringList{u"A=9"_s, u"x"_s, u"C="_s, u"new="_s}));
}

void TestFoundationText::splitHead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("remove");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("rest");
    QTest::newRow("found, removed") << u"门窗;地面;"_s << u";"_s << true << u"门窗"_s << u"地面;"_s;
    QTest::newRow("found, kept") << u"门窗;地面;"_s << u";"_s << false << u"门窗"_s << u"门窗;地面;"_s;
    QTest::newRow("not found, removed") << u"门窗"_s << u";"_s << true << u"门窗"_s << QString();
    QTest::newRow("not found, kept") << u"门窗"_s << u";"_s << false << u"门窗"_s << u"门窗"_s;
    QTest::newRow("long separator") << u"a<->b"_s << u"<->"_s << true << u"a"_s << u"b"_s;
    QTest::newRow("empty text") << QString() << u";"_s << true << QString() << QString();
}

void TestFoundationText::splitHead()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(bool, remove);
    QFETCH(QString, head);
    QCOMPARE(SplitHead(text, separator, remove), head);
    QTEST(text, "rest");
}

void TestFoundationText::splitHeadConsumesList()
{
    QString list = u"材料;人工;"_s;
    QStringList heads;
    while (!list.isEmpty())
        heads.append(SplitHead(list, u";"_s, true));
    QCOMPARE(heads, (QStringList{u"材料"_s, u"人工"_s}));
}

void TestFoundationText::textToBool_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("value");
    QTest::newRow("TRUE") << u"TRUE"_s << true;
    QTest::newRow("Yes") << u"Yes"_s << true;
    QTest::newRow("是") << u"是"_s << true;
    QTest::newRow("True, as written") << BoolToText(true) << true;
    QTest::newRow("False, as written") << BoolToText(false) << false;
    QTest::newRow("1") << u"1"_s << false;
    QTest::newRow("on") << u"on"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("padded") << u" true"_s << false;
}

void TestFoundationText::textToBool()
{
    QFETCH(QString, text);
    QTEST(TextToBool(text), "value");
}

void TestFoundationText::shellOpenAndMail()
{
    QStringList opened;
    SetShellOpener([&](const QString& t) {
        opened.append(t);
        return t != u"mailto:"_s;
    });
    QVERIFY(ShellOpen(u"https://example.com/"_s));
    QVERIFY(SendMailTo(u"sales@example.com"_s));
    QVERIFY(!SendMailTo(QString()));
    SetShellOpener(nullptr);
    QCOMPARE(opened, (QStringList{u"https://example.com/"_s, u"mailto:sales@example.com"_s, u"mailto:"_s}));
}

void TestFoundationText::nativePathIgnoresCase()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"Data/模板"_s));
    QVERIFY(KvTest::WriteBytes(dir.path() + u"/Data/Standard.kvt"_s, "x"));
    const QString base = dir.path() + u'/';

    QCOMPARE(FileSystem::NativePath(base + u"data\\standard.KVT"_s), base + u"Data/Standard.kvt"_s);
    QVERIFY(FileSystem::FileExists(base + u"DATA\\Standard.kvt"_s));
    QVERIFY(FileSystem::DirectoryExists(base + u"data\\模板\\"_s));
    QVERIFY(!FileSystem::FileExists(base + u"data"_s)); // a folder is not a file
    // A file still to be created lands in the existing folder, whatever its case.
    QCOMPARE(FileSystem::NativePath(base + u"DATA\\New.kvp"_s), base + u"Data/New.kvp"_s);
    QCOMPARE(FileSystem::NativePath(base + u"nosuch\\Data"_s), base + u"nosuch/Data"_s);
}

void TestFoundationText::atomicWriteKeepsOldFileOnFailure()
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"/table"_s;
    FileSystem::WriteFileAtomic(path, "old contents");
    QCOMPARE(KvTest::ReadBytes(path), QByteArray("old contents"));
    {
        KvTest::FileSizeLimit limit(64);
        QVERIFY_THROWS_EXCEPTION(EFileError, FileSystem::WriteFileAtomic(path, QByteArray(4096, 'n')));
    }
    QCOMPARE(KvTest::ReadBytes(path), QByteArray("old contents"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"table"_s}); // no temporary left behind
}

QTEST_GUILESS_MAIN(TestFoundationText)
#include "tst_foundation_text.moc"
