// The project file container: byte layout, header rules, events, passwords
// and what a damaged or unwritable file does.

#include "GbkText.h"
#include "KavelinFiles.h"
#include "KvTestSupport.h"
#include "qxErrors.h"
#include "qxScriptedPrompter.h"
#include "qxStrings.h"

#include <QBuffer>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

QByteArray le32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray container(const QString& header, const QByteArray& data)
{
    const QByteArray h = Gbk::Encode(header);
    return le32(quint32(h.size())) + h + data;
}

} // namespace

class TestKavelinFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { FPrompter = std::make_unique<TqxScriptedPrompter>(); }
    void emptyContainerIsFourBytes();
    void layoutAndRoundTrip();
    void sectionSavedTwiceStaysInPlace();
    void emptySection();
    void writeValue_data();
    void writeValue();
    void headerLinesSplitAtAnyLineEnd();
    void loadSectionOfAbsentSection();
    void fileNameAndEvents();
    void password_data();
    void password();
    void emptyFile();
    void damaged_data();
    void damaged();
    void failedSaveKeepsOldFile();

private:
    QString path(const QString& name) const { return FDir.filePath(name); }
    QTemporaryDir FDir;
    std::unique_ptr<TqxScriptedPrompter> FPrompter;
};

void TestKavelinFiles::emptyContainerIsFourBytes()
{
    TKVFile f;
    QVERIFY(f.SaveToFile(path(u"empty.KVP"_s)));
    QCOMPARE(KvTest::ReadBytes(path(u"empty.KVP"_s)), QByteArray(4, '\0'));
    TKVFile g;
    g.WriteValue(u"x"_s, u"1"_s);
    QVERIFY(g.LoadFromFile(path(u"empty.KVP"_s)));
    QCOMPARE(g.LineCount(), 0);
    QCOMPARE(g.ProjectName(), QString());
}

void TestKavelinFiles::layoutAndRoundTrip()
{
    TKVFile f;
    f.SaveSection(u"预算书"_s, QByteArray("budget"));
    f.SaveSection(u"工程信息"_s, Gbk::Encode(u"工程名称=样本"_s));
    f.SetProjectName(u"工程预算样本"_s);
    f.WriteValue(u"视图"_s, u"施工地点"_s);
    f.SaveSection(u"取费表"_s, QByteArray("fees"));
    QVERIFY(f.SaveToFile(path(u"a.KVP"_s)));

    const QString header = u"<SECTION>预算书=6\r\n<SECTION>工程信息=13\r\n工程名称=工程预算样本\r\n视图=施工地点\r\n"
                           "<SECTION>取费表=4\r\n"_s;
    const QByteArray expected = container(header, "budget" + Gbk::Encode(u"工程名称=样本"_s) + "fees");
    QCOMPARE(KvTest::ReadBytes(path(u"a.KVP"_s)), expected);

    TKVFile g;
    QVERIFY(g.LoadFromFile(path(u"a.KVP"_s)));
    QCOMPARE(g.HeaderLines(), f.HeaderLines());
    QVERIFY(g.HasSection(u"取费表"_s));
    QVERIFY(!g.HasSection(u"工程名称"_s));
    QCOMPARE(g.SectionData(u"预算书"_s), QByteArray("budget"));
    QCOMPARE(g.ReadValue(u"<section>取费表"_s), u"4"_s);
    QCOMPARE(g.ProjectName(), u"工程预算样本"_s);
    QBuffer target;
    target.open(QIODevice::ReadWrite);
    target.write("xy");
    g.LoadSection(u"取费表"_s, &target);
    QCOMPARE(target.pos(), 0);
    QCOMPARE(target.data(), QByteArray("xyfees")); // written at the stream's position
    QCOMPARE(g.ToBytes(), expected);
}

void TestKavelinFiles::sectionSavedTwiceStaysInPlace()
{
    TKVFile f;
    f.SaveSection(u"A"_s, QByteArray("1234"));
    f.WriteValue(u"p"_s, u"v"_s);
    QBuffer source;
    source.setData("zz");
    source.open(QIODevice::ReadOnly);
    source.seek(2); // read from the start, wherever the stream stands
    f.SaveSection(u"a"_s, &source);
    QCOMPARE(f.HeaderLines(), (QStringList{u"<SECTION>A=2"_s, u"p=v"_s}));
    QCOMPARE(f.ToBytes(), container(u"<SECTION>A=2\r\np=v\r\n"_s, "zz"));
    QVERIFY_THROWS_EXCEPTION(EKavelinErr, f.SaveSection(u"B"_s, nullptr));
}

void TestKavelinFiles::emptySection()
{
    TKVFile f;
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    f.SaveSection(u"备注"_s, &empty);
    f.SaveSection(u"取费表"_s, QByteArray("q"));
    QVERIFY(f.SaveToFile(path(u"e.KVP"_s)));
    QCOMPARE(KvTest::ReadBytes(path(u"e.KVP"_s)), container(u"<SECTION>备注=0\r\n<SECTION>取费表=1\r\n"_s, "q"));

    TKVFile g;
    QVERIFY(g.LoadFromFile(path(u"e.KVP"_s)));
    QBuffer target;
    target.setData("keep");
    target.open(QIODevice::ReadWrite);
    target.seek(4);
    g.LoadSection(u"备注"_s, &target);
    QCOMPARE(target.data(), QByteArray("keep"));
    QCOMPARE(target.pos(), 4);
    QCOMPARE(g.SectionData(u"取费表"_s), QByteArray("q"));
    QVERIFY(FPrompter->Records.empty());
}

void TestKavelinFiles::writeValue_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("after");
    const QStringList two{u"视图=项目类别"_s, u"录入板=-1"_s};
    QTest::newRow("replace in place") << two << u"视图"_s << u"施工地点"_s
                                      << QStringList{u"视图=施工地点"_s, u"录入板=-1"_s};
    QTest::newRow("empty removes") << two << u"视图"_s << QString() << QStringList{u"录入板=-1"_s};
    QTest::newRow("empty appends when missing") << QStringList{u"录入板=-1"_s} << u"视图"_s << QString()
                                                << QStringList{u"录入板=-1"_s, u"视图="_s};
    QTest::newRow("other case") << two << u"录入板"_s.toUpper() << u"0"_s
                                << QStringList{u"视图=项目类别"_s, u"录入板=0"_s};
}

void TestKavelinFiles::writeValue()
{
    QFETCH(QStringList, before);
    QFETCH(QString, name);
    QFETCH(QString, value);
    TKVFile f;
    for (const QString& line : before)
        f.WriteValue(TNameValueList::NameOf(line), TNameValueList::ValueOf(line));
    f.WriteValue(name, value);
    QTEST(f.HeaderLines(), "after");
}

void TestKavelinFiles::headerLinesSplitAtAnyLineEnd()
{
    // CR, LF and CR LF all end a line; text after a NUL byte is not header.
    const QByteArray header = Gbk::Encode(u"a=1\rb=2\nc=3\r\n\r\nd=4"_s) + QByteArray("\0junk", 5);
    KvTest::WriteBytes(path(u"h.KVP"_s), le32(quint32(header.size())) + header);
    TKVFile f;
    QVERIFY(f.LoadFromFile(path(u"h.KVP"_s)));
    QCOMPARE(f.HeaderLines(), (QStringList{u"a=1"_s, u"b=2"_s, u"c=3"_s, QString(), u"d=4"_s}));
    // The password and the project name are plain property lines.
    f.SetPassWord(u"abc"_s);
    f.SetProjectName(u"样本"_s);
    QCOMPARE(f.ReadValue(u"密码"_s), u"abc"_s);
    f.SetPassWord(QString());
    f.SetProjectName(QString());
    f.SetProjectName(QString()); // removing an absent name appends nothing
    QCOMPARE(f.HeaderLines(), (QStringList{u"a=1"_s, u"b=2"_s, u"c=3"_s, QString(), u"d=4"_s}));
}

void TestKavelinFiles::loadSectionOfAbsentSection()
{
    TKVFile f;
    QBuffer target;
    target.open(QIODevice::ReadWrite);
    f.LoadSection(u"预算书"_s, &target); // no lines at all: nothing, not even a message
    QVERIFY(FPrompter->Records.empty());

    f.WriteValue(u"工程名称"_s, u"x"_s);
    f.LoadSection(u"预算书"_s, &target);
    QCOMPARE(FPrompter->Records.size(), size_t(1));
    QCOMPARE(FPrompter->Last().message.Text, u"无法读取不存在的数据区[预算书]！"_s);
    QCOMPARE(FPrompter->Last().message.Caption, u"读取出错"_s);
    QCOMPARE(FPrompter->Last().message.Icon, TMsgIcon::Error);
    QCOMPARE(target.size(), 0);
}

void TestKavelinFiles::fileNameAndEvents()
{
    {
        TKVFile src;
        src.SetProjectName(u"甲"_s);
        QVERIFY(src.SaveToFile(path(u"one.KVP"_s)));
    }
    TKVFile f;
    QStringList events;
    f.OnAfterLoad = [&](TKVFile*) { events << u"load"_s; };
    f.OnAfterSave = [&](TKVFile*) { events << u"save"_s; };
    f.OnFileNameChanged = [&](TKVFile*) { events << u"name"_s; };
    QVERIFY(!f.IsNew());

    f.SetFileName(path(u"one.KVP"_s)); // not new: the name loads the file
    QCOMPARE(events, (QStringList{u"load"_s, u"name"_s}));
    QCOMPARE(f.ProjectName(), u"甲"_s);

    events.clear();
    f.SetFileName(path(u"ONE.kvp"_s)); // the same name in other case does nothing
    QVERIFY(events.isEmpty());
    QCOMPARE(f.FileName(), path(u"one.KVP"_s));

    try {
        f.SetFileName(path(u"missing.KVP"_s));
        QFAIL("a missing file must not load");
    } catch (const EKavelinErr& e) {
        QCOMPARE(e.Message, u"文件 "_s + path(u"missing.KVP"_s) + u" 不存在！"_s);
    }

    events.clear();
    f.New();
    QVERIFY(f.IsNew());
    QCOMPARE(f.FileName(), QString());
    QCOMPARE(f.LineCount(), 0);
    f.SetFileName(path(u"two.KVP"_s)); // new: only names the document
    QCOMPARE(events, (QStringList{u"name"_s, u"name"_s}));
    f.SetProjectName(u"乙"_s);
    QVERIFY(f.Save());
    QVERIFY(!f.IsNew());
    QCOMPARE(events.last(), u"save"_s);

    // SaveToFile and LoadFromFile leave the name and the new flag alone.
    QVERIFY(f.SaveToFile(path(u"copy.KVP"_s)));
    QVERIFY(f.LoadFromFile(path(u"one.KVP"_s)));
    QCOMPARE(f.FileName(), path(u"two.KVP"_s));
    QCOMPARE(events.count(u"load"_s), 0);
}

void TestKavelinFiles::password_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("handler");
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("wrong");
    QTest::newRow("no handler") << u"abc"_s << false << QString() << false << true;
    QTest::newRow("right") << u"abc"_s << true << u"abc"_s << true << false;
    QTest::newRow("other case") << u"abc"_s << true << u"ABC"_s << true << true;
    QTest::newRow("unprotected") << QString() << true << u"x"_s << false << false;
}

void TestKavelinFiles::password()
{
    QFETCH(QString, stored);
    QFETCH(bool, handler);
    QFETCH(QString, given);
    {
        TKVFile src;
        src.SetPassWord(stored);
        src.SaveSection(u"预算书"_s, QByteArray("rows"));
        QVERIFY(src.SaveToFile(path(u"p.KVP"_s)));
    }
    TKVFile f;
    bool asked = false;
    QList<TKVErr> errors;
    if (handler)
        f.OnPassWord = [&](TKVFile*, QString& pw) { asked = true; pw = given; };
    f.OnError = [&](TKVFile*, TKVErr e) { errors << e; };
    QVERIFY(f.LoadFromFile(path(u"p.KVP"_s)));
    QTEST(asked, "asked");
    QFETCH(bool, wrong);
    QCOMPARE(errors, wrong ? QList<TKVErr>{feWrongPassWord} : QList<TKVErr>{});
    QCOMPARE(f.SectionData(u"预算书"_s), QByteArray("rows")); // loaded completely either way
}

void TestKavelinFiles::emptyFile()
{
    KvTest::WriteBytes(path(u"zero.KVP"_s), {});
    TKVFile f;
    QList<TKVErr> errors;
    bool loaded = false;
    f.OnError = [&](TKVFile*, TKVErr e) { errors << e; };
    f.OnAfterLoad = [&](TKVFile*) { loaded = true; };
    f.SetFileName(path(u"zero.KVP"_s));
    QCOMPARE(errors, QList<TKVErr>{feUnknownFormat});
    QVERIFY(!loaded);
}

void TestKavelinFiles::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("what");
    const QByteArray h = Gbk::Encode(u"工程名称=x\r\n<SECTION>预算书=10\r\n"_s);
    QTest::newRow("shorter than the length") << QByteArray("\x01\x00", 2) << u"文件头长度不完整"_s;
    QTest::newRow("header beyond the end") << le32(500) + "abc" << u"文件头长度 500 字节"_s;
    QTest::newRow("huge header length") << le32(0xFFFFFFF0u) << u"文件头长度 4294967280 字节"_s;
    QTest::newRow("section beyond the end") << le32(quint32(h.size())) + h + "12345" << u"数据区[预算书]的大小 10 字节"_s;
    const QByteArray big = Gbk::Encode(u"<SECTION>A=2147483647\r\n"_s);
    QTest::newRow("huge section") << le32(quint32(big.size())) + big << u"数据区[A]的大小 2147483647"_s;
}

void TestKavelinFiles::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, what);
    const QString name = path(u"bad.KVP"_s);
    KvTest::WriteBytes(name, bytes);
    TKVFile f;
    f.WriteValue(u"old"_s, u"1"_s);
    try {
        f.LoadFromFile(name);
        QFAIL("a damaged file must not load");
    } catch (const EKavelinErr& e) {
        QVERIFY2(e.Message.startsWith(u"文件 "_s + name + u" 已损坏："_s), qPrintable(e.Message));
        QVERIFY2(e.Message.contains(what), qPrintable(e.Message));
    }
    QCOMPARE(f.LineCount(), 0); // nothing half loaded
}

void TestKavelinFiles::failedSaveKeepsOldFile()
{
    const QString name = path(u"keep.KVP"_s);
    TKVFile f;
    f.SetProjectName(u"旧"_s);
    QVERIFY(f.SaveToFile(name));
    const QByteArray old = KvTest::ReadBytes(name);

    f.New();
    f.SaveSection(u"预算书"_s, QByteArray(8192, 'r'));
    f.SetFileName(name);
    QList<TKVErr> errors;
    f.OnError = [&](TKVFile*, TKVErr e) { errors << e; };
    {
        KvTest::FileSizeLimit limit(1024);
        QVERIFY_THROWS_EXCEPTION(EFileError, f.Save());
    }
    QCOMPARE(errors, QList<TKVErr>{feSaveFailed});
    QVERIFY(f.IsNew());
    QCOMPARE(KvTest::ReadBytes(name), old);
}

QTEST_GUILESS_MAIN(TestKavelinFiles)
#include "tst_kavelinfiles.moc"
