// kvtool where files and disks misbehave: devices named as files, values the
// table cannot hold, output that cannot be written, a size limit, a
// read-only table. Nothing may be lost or reported as done when it was not.

#include "KvTestSupport.h"
#include "KvtoolRun.h"
#include "qxDataSet.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;
using KvTest::kvtool;
using KvTest::Run;

class TestKvtoolSafety : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void nonRegularFilesRefused_data();
    void nonRegularFilesRefused();
    void lossyValuesWarned();
    void outputThatCannotBeWrittenFails();
    void sizeLimitedSaveSaysSo();
    void readOnlyTableKept();

private:
    // A small item table: 项目名称 (text 10), 单价 (money).
    QString Table();
    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = FDir->filePath(name);
        KvTest::WriteBytes(path, bytes);
        return path;
    }
    std::unique_ptr<QTemporaryDir> FDir;
};

void TestKvtoolSafety::init() { FDir = std::make_unique<QTemporaryDir>(); }

QString TestKvtoolSafety::Table()
{
    TqxDataSet t;
    t.SetFieldDefs({{u"项目名称"_s, TqxFieldKind::String, 10}, {u"单价"_s, TqxFieldKind::Money}});
    t.CreateDataSet();
    t.AppendRecord({u"木门"_s, 12.5});
    return Write(u"ItemsDB"_s, t.SaveToBytes());
}

void TestKvtoolSafety::nonRegularFilesRefused_data()
{
    // Each would read an endless device into memory until the machine gives out.
    QTest::addColumn<QStringList>("args");
    QTest::newRow("table dump") << QStringList{u"table"_s, u"dump"_s, u"/dev/zero"_s};
    QTest::newRow("kvfile list") << QStringList{u"kvfile"_s, u"list"_s, u"/dev/zero"_s};
    QTest::newRow("import --csv") << QStringList{u"table"_s, u"import"_s, u"TABLE"_s, u"--csv"_s, u"/dev/zero"_s};
    QTest::newRow("budget") << QStringList{u"budget"_s, u"/dev/zero"_s};
}

void TestKvtoolSafety::nonRegularFilesRefused()
{
    QFETCH(QStringList, args);
    if (!QFile::exists(u"/dev/zero"_s))
        QSKIP("no /dev/zero here");
    const QString table = Table();
    const QByteArray before = KvTest::ReadBytes(table);
    args.replaceInStrings(u"TABLE"_s, table);
    const Run r = kvtool(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(u"/dev/zero：它不是普通文件"_s), qPrintable(r.err));
    QCOMPARE(KvTest::ReadBytes(table), before);
}

void TestKvtoolSafety::lossyValuesWarned()
{
    // A character GBK has no code for and a zero byte that would end the text
    // on reading: each warned like a cut, and counted.
    const QString table = Table();
    const QByteArray csv = "项目名称,单价\n门\xF0\x9F\x9A\xAA,1\n"
                           "a" + QByteArray(1, '\0') + "b,2\n"
                           "窗,3\n";
    const Run r = kvtool({u"table"_s, u"import"_s, table, u"--csv"_s, Write(u"in.csv"_s, csv)});
    QCOMPARE(r.code, 0);
    const QString warned = u"注意：CSV 文件第 2 行：“项目名称”含有 GBK 编码无法表示的字符，已替换为“?”。\n"
                           "注意：CSV 文件第 3 行：“项目名称”含有空字符，其后的内容不会保存。\n"_s;
    QVERIFY2(r.err == warned, qPrintable(r.err));
    QVERIFY2(r.out.contains(u"追加 3 条记录。其中 2 个值未能原样保存"_s), qPrintable(r.out));
}

void TestKvtoolSafety::outputThatCannotBeWrittenFails()
{
    if (!QFile::exists(u"/dev/full"_s))
        QSKIP("no /dev/full here");
    QProcess p;
    p.setStandardOutputFile(u"/dev/full"_s);
    p.start(QStringLiteral(KVTOOL_PATH), {u"table"_s, u"dump"_s, Table(), u"--csv"_s});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(u"输出没有全部写入：磁盘空间不足或文件过大"_s), qPrintable(err));
}

void TestKvtoolSafety::sizeLimitedSaveSaysSo()
{
#ifdef Q_OS_UNIX
    // The program itself must ignore SIGXFSZ: the signal is set back to its
    // default here, as a shell starts programs, and the limit is far below
    // what the import writes.
    const QString table = Table();
    const QByteArray before = KvTest::ReadBytes(table);
    QByteArray csv = "项目名称,单价\n";
    for (int i = 0; i < 200; ++i)
        csv += "瓷砖" + QByteArray::number(i) + ",1\n";
    const QString csvName = Write(u"in.csv"_s, csv);
    QProcess p;
    p.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit lim{};
        getrlimit(RLIMIT_FSIZE, &lim);
        lim.rlim_cur = 1024;
        setrlimit(RLIMIT_FSIZE, &lim);
    });
    p.start(QStringLiteral(KVTOOL_PATH), {u"table"_s, u"import"_s, table, u"--csv"_s, csvName});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit); // not ended by the signal
    QCOMPARE(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(u"磁盘空间不足或文件过大"_s), qPrintable(err));
    QCOMPARE(KvTest::ReadBytes(table), before);
#else
    QSKIP("file-size limits are a Unix matter");
#endif
}

void TestKvtoolSafety::readOnlyTableKept()
{
    const QString table = Table();
    const QByteArray before = KvTest::ReadBytes(table);
    const auto mode = std::filesystem::perms(0444);
    std::filesystem::permissions(QFile::encodeName(table).toStdString(), mode);
    const Run r = kvtool({u"table"_s, u"import"_s, table, u"--csv"_s, Write(u"in.csv"_s, "项目名称\n新门\n")});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(u"文件是只读的"_s), qPrintable(r.err));
    QCOMPARE(KvTest::ReadBytes(table), before);
    QCOMPARE(std::filesystem::status(QFile::encodeName(table).toStdString()).permissions(), mode);
}

QTEST_GUILESS_MAIN(TestKvtoolSafety)
#include "tst_kvtool_safety.moc"
