// The recently used projects: order, the limit, case-blind paths, the menu
// captions with missing files dropped, and the file in GBK with CR LF.

#include "kvHistoryList.h"

#include "GbkText.h"
#include "KvTestSupport.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addPutsOnTopAndDropsTheOldest();
    void addOfAKnownPathMovesItToTheTop_data();
    void addOfAKnownPathMovesItToTheTop();
    void menuCaptionsDropMissingFilesAndRenumber();
    void captionLeadsBackToItsPath();
    void fileRoundTripsAsGbkWithCrLf();
    void missingFileGivesAnEmptyList();
};

void TestHistory::addPutsOnTopAndDropsTheOldest()
{
    TkvHistoryList history;
    for (int i = 1; i <= 21; ++i)
        history.Add(u"工程%1"_s.arg(i), u"/p/%1.KVP"_s.arg(i));
    QCOMPARE(history.Count(), 20);
    QCOMPARE(history.Entries().Line(0), u"工程21=/p/21.KVP"_s);
    QCOMPARE(history.Entries().Line(19), u"工程2=/p/2.KVP"_s);
}

void TestHistory::addOfAKnownPathMovesItToTheTop_data()
{
    QTest::addColumn<QString>("again");
    QTest::newRow("same case") << u"/p/A.KVP"_s;
    QTest::newRow("other case") << u"/P/a.kvp"_s;
}

void TestHistory::addOfAKnownPathMovesItToTheTop()
{
    QFETCH(QString, again);
    TkvHistoryList history;
    history.Add(u"甲"_s, u"/p/A.KVP"_s);
    history.Add(u"乙"_s, u"/p/B.KVP"_s);
    history.Add(u"甲新"_s, again);
    QCOMPARE(history.Count(), 2);
    QCOMPARE(history.Entries().Line(0), u"甲新="_s + again);
    QCOMPARE(history.PathOf(1), u"/p/B.KVP"_s);

    history.Remove(u"/P/b.KVP"_s);
    QCOMPARE(history.Count(), 1);
}

void TestHistory::menuCaptionsDropMissingFilesAndRenumber()
{
    TkvHistoryList history;
    history.Add(u"丙"_s, u"/p/C.KVP"_s);
    history.Add(u"乙"_s, u"/p/gone.KVP"_s);
    history.Add(u"甲"_s, u"/p/A.KVP"_s);
    const QSet<QString> existing{u"/p/A.KVP"_s, u"/p/C.KVP"_s};
    const QStringList captions = history.MenuCaptions([&](const QString& p) { return existing.contains(p); });
    QCOMPARE(captions, QStringList({u"1. 甲 [/p/A.KVP]"_s, u"2. 丙 [/p/C.KVP]"_s}));
    QCOMPARE(history.Count(), 2);

    TkvHistoryList empty;
    QVERIFY(empty.MenuCaptions([](const QString&) { return true; }).isEmpty());
}

void TestHistory::captionLeadsBackToItsPath()
{
    TkvHistoryList history;
    history.Add(u"乙"_s, u"/p/B.KVP"_s);
    history.Add(u"甲. 一"_s, u"/p/A.KVP"_s);
    const QStringList captions = history.MenuCaptions([](const QString&) { return true; });
    QCOMPARE(history.PathOfCaption(captions.at(0)), u"/p/A.KVP"_s);
    QCOMPARE(history.PathOfCaption(captions.at(1)), u"/p/B.KVP"_s);
    QCOMPARE(history.PathOfCaption(u"9. 无 [/x]"_s), QString());
    QCOMPARE(history.PathOfCaption(u"<无>"_s), QString());
}

void TestHistory::fileRoundTripsAsGbkWithCrLf()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"HistoryFiles.lst"_s);
    TkvHistoryList history;
    history.Add(u"工程预算样本"_s, u"/安装/工程/预算示例.KVP"_s);
    history.Add(u"新房"_s, u"/安装/工程/新房=二期.KVP"_s);
    history.SaveToFile(file);
    QCOMPARE(KvTest::ReadBytes(file), Gbk::Encode(u"新房=/安装/工程/新房=二期.KVP\r\n工程预算样本=/安装/工程/预算示例.KVP\r\n"_s));

    TkvHistoryList loaded;
    loaded.LoadFromFile(file);
    QCOMPARE(loaded.Entries(), history.Entries());
    QCOMPARE(loaded.PathOf(0), u"/安装/工程/新房=二期.KVP"_s);
}

void TestHistory::missingFileGivesAnEmptyList()
{
    TkvHistoryList history;
    history.LoadFromFile(u"/nonexistent/HistoryFiles.lst"_s);
    QCOMPARE(history.Count(), 0);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
