// kvtool report on the shipped sample: the PDF read back with pdftotext must
// carry the firm, every group in order, every item, the subtotals and totals
// to the cent and the totals in capital numerals; bad input is refused with
// a message and a non-zero exit.

#include "GbkText.h"
#include "KavelinFiles.h"
#include "KvTestSupport.h"
#include "KvtoolRun.h"
#include "qxNumbers.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using KvTest::kvtool;
using KvTest::Run;

class TestKvtoolReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void sampleBudgetByPlace();
    void pages_data();
    void pages();
    void failures_data();
    void failures();
    void protectedProject();

private:
    QString pdfText(const QStringList& extraArgs, int* pages = nullptr);
    QString app() const { return FDir.filePath(u"stage"_s); }
    QString sample() const { return app() + u"/工程/预算示例.KVP"_s; }
    QTemporaryDir FDir;
};

namespace {

QString money(double v)
{
    QString s = FormatFixed(v, 2);
    for (qsizetype pos = s.indexOf(u'.') - 3; pos > 0; pos -= 3)
        s.insert(pos, u',');
    return s;
}

// pdftotext breaks widely spaced titles into lines and drops the blanks
// between Chinese characters and digits; texts are compared without blanks.
QString squeezed(QString text)
{
    text.removeIf([](QChar c) { return c.isSpace() || c == u'\u3000'; });
    return text;
}

} // namespace

void TestKvtoolReport::initTestCase()
{
    QVERIFY(FDir.isValid());
    KvTest::CopyTree(qEnvironmentVariable("KV_PRISTINE_STAGE_DIR"), app());
    // The firm's own values, as the settings dialog stores them.
    const QString setup = app() + u"/IniFiles/Setup.ini"_s;
    QString text = Gbk::Decode(KvTest::ReadBytes(setup));
    text.replace(u"单位名称=\r\n"_s, u"单位名称=杭州美家装饰工程有限公司\r\n"_s);
    text.replace(u"单位电话=\r\n"_s, u"单位电话=0571-85550000\r\n"_s);
    QVERIFY(KvTest::WriteBytes(setup, Gbk::Encode(text)));
}

QString TestKvtoolReport::pdfText(const QStringList& extraArgs, int* pages)
{
    const QString out = FDir.filePath(u"out.pdf"_s);
    QFile::remove(out);
    const Run r = kvtool(QStringList{u"report"_s, sample(), u"--out"_s, out, u"--app"_s, app()} + extraArgs);
    if (r.code != 0) {
        qWarning("%s", qPrintable(r.err));
        return QString();
    }
    QProcess p;
    p.start(u"pdftotext"_s, {out, u"-"_s});
    p.waitForFinished(60000);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    if (pages)
        *pages = int(text.count(u'\f'));
    return squeezed(text);
}

void TestKvtoolReport::sampleBudgetByPlace()
{
    int pages = 0;
    const QString text = pdfText({}, &pages); // all four reports, the saved view (施工地点)
    QVERIFY(!text.isEmpty());
    QVERIFY(pages >= 4);
    QVERIFY(text.contains(u"杭州美家装饰工程有限公司"_s));
    QVERIFY(text.contains(u"电话：0571-85550000"_s));
    QVERIFY(text.contains(u"工程预算样本"_s));
    QVERIFY(text.contains(u"三室两厅一卫"_s));                  // the information page
    QVERIFY(text.contains(u"老房翻新"_s));                      // its remarks
    QVERIFY(text.contains(u"第1页共"_s));

    // The groups in the sheet's order, each with its items and subtotal.
    const QStringList lines = QString::fromUtf8(KvTest::ReadBytes(qEnvironmentVariable("KV_SOURCE_DIR") +
                                                                  u"/data/sample_budget.tsv"_s))
                                  .split(u'\n', Qt::SkipEmptyParts);
    QMap<QString, double> totals;
    QMap<QString, int> counts;
    QStringList names;
    for (const QString& line : lines.mid(1)) {
        const QStringList f = line.split(u'\t');
        totals[f[0]] += f[4].toDouble() * f[5].toDouble();
        counts[f[0]] += 1;
        names.append(f[2]);
    }
    const QStringList order = {u"餐厅"_s, u"厨房"_s, u"客厅"_s, u"书房"_s, u"卫生间"_s, u"整体"_s, u"主卧室"_s};
    const QStringList numerals = {u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s, u"六"_s, u"七"_s};
    QCOMPARE(totals.size(), order.size());
    qsizetype at = 0;
    double grand = 0;
    for (int g = 0; g < order.size(); ++g) {
        const qsizetype head = text.indexOf(numerals[g] + u'、' + order[g], at);
        QVERIFY2(head > at, qPrintable(order[g]));
        const QString subtotal = order[g] + u"小计（%1项）"_s.arg(counts[order[g]]);
        const qsizetype foot = text.indexOf(subtotal, head);
        QVERIFY2(foot > head, qPrintable(subtotal));
        QVERIFY2(text.indexOf(money(totals[order[g]]), foot) > foot, qPrintable(money(totals[order[g]])));
        grand += totals[order[g]];
        at = foot;
    }
    QCOMPARE(counts[u"餐厅"_s], 9);
    QCOMPARE(money(totals[u"餐厅"_s]), u"6,297.60"_s);
    QCOMPARE(money(grand), u"169,424.20"_s);
    QVERIFY(text.indexOf(u"工程直接费合计"_s, at) > at);
    QVERIFY(text.indexOf(u"169,424.20"_s, at) > at);
    QVERIFY(text.contains(u"合计人民币（大写）：壹拾陆万玖仟肆佰贰拾肆元贰角整"_s));
    for (const QString& name : names)
        QVERIFY2(text.contains(squeezed(name)), qPrintable(name));

    // The fee table and its final total in capital numerals.
    QVERIFY(text.contains(u"28,802.11"_s));
    QVERIFY(text.contains(u"203,309.04"_s));
    QVERIFY(text.contains(u"人民币（大写）：贰拾万叁仟叁佰零玖元零肆分"_s));
}

void TestKvtoolReport::pages_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("absent");
    QTest::newRow("cover") << QStringList{u"--page"_s, u"封面"_s} << u"预算书"_s << u"工程取费表"_s;
    QTest::newRow("information") << QStringList{u"--page"_s, u"工程信息"_s} << u"编制人"_s << u"装饰工程预算书"_s;
    QTest::newRow("fees") << QStringList{u"--page"_s, u"取费表"_s} << u"工程取费表"_s << u"一、餐厅"_s;
    QTest::newRow("budget by category") << QStringList{u"--page"_s, u"预算书"_s, u"--view"_s, u"项目类别"_s}
                                        << u"二、拆除工程"_s << u"二、材料"_s;
    QTest::newRow("budget by place") << QStringList{u"--page"_s, u"预算书"_s} << u"（按施工地点）"_s << u"取费表"_s;
    QTest::newRow("budget not grouped") << QStringList{u"--page"_s, u"预算书"_s, u"--view"_s, u"无"_s}
                                        << u"工程直接费合计（177项）"_s << u"小计"_s;
}

void TestKvtoolReport::pages()
{
    QFETCH(QStringList, args);
    QFETCH(QString, present);
    QFETCH(QString, absent);
    const QString text = pdfText(args);
    QVERIFY2(text.contains(present), qPrintable(text.left(400)));
    QVERIFY(!text.contains(absent));
}

void TestKvtoolReport::failures_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString dir = FDir.path();
    QTest::newRow("no output") << u"sample"_s << QStringList{} << 2 << u"用法："_s;
    QTest::newRow("unknown page") << u"sample"_s << QStringList{u"--out"_s, dir + u"/a.pdf"_s, u"--page"_s, u"报价"_s}
                                  << 2 << u"未知的报表“报价”"_s;
    QTest::newRow("unknown view") << u"sample"_s << QStringList{u"--out"_s, dir + u"/a.pdf"_s, u"--view"_s, u"房间"_s}
                                  << 2 << u"未知的视图“房间”"_s;
    QTest::newRow("missing project") << dir + u"/none.KVP"_s << QStringList{u"--out"_s, dir + u"/a.pdf"_s} << 1
                                     << u"不存在"_s;
    QTest::newRow("empty project") << u"empty"_s << QStringList{u"--out"_s, dir + u"/a.pdf"_s} << 1 << u"是空文件"_s;
    QTest::newRow("damaged project") << u"damaged"_s << QStringList{u"--out"_s, dir + u"/a.pdf"_s} << 1
                                     << u"超出了文件"_s;
    QTest::newRow("unwritable output") << u"sample"_s << QStringList{u"--out"_s, dir + u"/no/such/a.pdf"_s} << 1
                                       << u"不能写入文件"_s;
    QTest::newRow("no installation") << u"sample"_s
                                     << QStringList{u"--out"_s, dir + u"/a.pdf"_s, u"--app"_s, dir + u"/nowhere"_s}
                                     << 1 << u"没有找到系统配置文件"_s;
}

void TestKvtoolReport::failures()
{
    QFETCH(QString, project);
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    if (project == u"sample"_s) {
        project = sample();
    } else if (project == u"empty"_s || project == u"damaged"_s) {
        const QString file = FDir.filePath(project + u".KVP"_s);
        QVERIFY(KvTest::WriteBytes(file, project == u"empty"_s ? QByteArray() : QByteArray("\xff\xff\x00\x00junk", 8)));
        project = file;
    }
    if (!args.contains(u"--app"_s))
        args << u"--app"_s << app();
    const Run r = kvtool(QStringList{u"report"_s, project} + args);
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(FDir.filePath(u"a.pdf"_s)));
}

void TestKvtoolReport::protectedProject()
{
    const QString file = FDir.filePath(u"protected.KVP"_s);
    {
        TKVFile kv;
        QVERIFY(kv.LoadFromFile(sample()));
        kv.SetPassWord(u"8888"_s);
        QVERIFY(kv.SaveToFile(file));
    }
    const QString out = FDir.filePath(u"protected.pdf"_s);
    Run r = kvtool({u"report"_s, file, u"--out"_s, out, u"--app"_s, app()});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(u"有密码保护"_s), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
    r = kvtool({u"report"_s, file, u"--out"_s, out, u"--app"_s, app(), u"--password"_s, u"8888"_s});
    QCOMPARE(r.code, 0);
    QVERIFY(KvTest::ReadBytes(out).startsWith("%PDF"));
}

QTEST_GUILESS_MAIN(TestKvtoolReport)
#include "tst_kvtool_report.moc"
