// kvtool as a script sees it: output, messages and exit codes.

#include "KvtoolRun.h"
#include "KavelinFiles.h"
#include "KvTestSupport.h"

#include <QTest>

using namespace Qt::StringLiterals;
using KvTest::Run;
using KvTest::kvtool;

class TestKvtool : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void help();
    void kvfileList();
    void kvfileListFailures_data();
    void kvfileListFailures();

private:
    QTemporaryDir FDir;
};

void TestKvtool::help()
{
    const Run r = kvtool({u"--help"_s});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains(u"kvtool kvfile list FILE"_s));
    QCOMPARE(kvtool({u"nosuch"_s}).code, 2);
    QCOMPARE(kvtool({u"kvfile"_s, u"list"_s}).code, 2);
}

void TestKvtool::kvfileList()
{
    const QString name = FDir.filePath(u"工程预算样本.KVP"_s);
    TKVFile f;
    f.SaveSection(u"预算书"_s, QByteArray(9, 'x'));
    f.SetProjectName(u"工程预算样本"_s);
    f.WriteValue(u"视图"_s, u"施工地点"_s);
    f.SetPassWord(u"secret"_s); // listing never asks for it
    QVERIFY(f.SaveToFile(name));
    const Run r = kvtool({u"kvfile"_s, u"list"_s, name});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, u"<SECTION>预算书=9\n工程名称=工程预算样本\n视图=施工地点\n密码=secret\n"_s);
    QCOMPARE(r.err, QString());
}

void TestKvtool::kvfileListFailures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << u"空文件"_s;
    QTest::newRow("damaged") << QByteArray("\xff\x00\x00\x00x", 5) << u"已损坏"_s;
    QTest::newRow("missing") << QByteArray("-") << u"无法打开文件"_s;
}

void TestKvtool::kvfileListFailures()
{
    QFETCH(QByteArray, bytes);
    const QString name = FDir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    if (bytes != "-")
        QVERIFY(KvTest::WriteBytes(name, bytes));
    const Run r = kvtool({u"kvfile"_s, u"list"_s, name});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QString());
    QFETCH(QString, message);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestKvtool)
#include "tst_kvtool.moc"
