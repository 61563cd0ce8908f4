// The report engine: templates read or refused, pages laid out so that no row
// is cut and table heads repeat, values found in the right order, and the
// budget copied out of a project without disturbing its table.

#include "kvReport.h"
#include "kvReportProject.h"
#include "kvYssDataSet.h"
#include "kvQfbDataSet.h"
#include "qxErrors.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusedTemplates_data();
    void refusedTemplates();
    void tablePagination();
    void groupBands();
    void groupHeadKeepsWithItsFirstRow();
    void namedValues_data();
    void namedValues();
    void conditionalLines();
    void budgetRowsLeaveTheTableAlone();
    void pdfFile();

};

namespace {

using Op = TkvPreparedReport::Op;

QStringList texts(const TkvPreparedReport& r, int page)
{
    QStringList out;
    for (const Op& op : r.PageAt(page).Ops)
        if (op.What == Op::DrawText)
            out.append(op.Text);
    return out;
}

TkvReportRows budgetRows(int groups, int perGroup)
{
    TkvReportRows rows;
    rows.Fields = {u"序号"_s, u"项目名称"_s, u"组号"_s, u"施工地点"_s, u"单价"_s, u"数量"_s};
    for (int g = 1; g <= groups; ++g)
        for (int i = 1; i <= perGroup; ++i)
            rows.Rows.append({i, u"项目%1-%2"_s.arg(g).arg(i), g, u"地点%1"_s.arg(g), 10.5, double(i)});
    return rows;
}

const QString kBudgetTemplate = uR"(
page size=A4 margins=20,15,20,15
[header]
text size=9 right | {工程名称}
rule
[footer]
text size=9 center | 第 {页号} 页 共 {总页数} 页
[body]
text size=18 bold center | 预算书
table data=kvYssDS_Main group=组号 border=grid
columns | 8 center | 40 | 12 right | 12 right | 16 right
head bold center | 序号 | 项目名称 | 单价 | 数量 | 金额
grouphead bold | {施工地点}
row | {序号} | {项目名称} | {单价:money} | {数量:qty} | {单价:money}
groupfoot bold | <4>小计（{count} 项） | {sum.单价*数量:money}
total bold | <4>合计 | {sum.单价*数量:money}
total | 大写：{sum.单价*数量:rmb}
end
)"_s;

} // namespace

void TestReport::refusedTemplates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown directive") << u"text | a\nbox | b"_s << u"第 2 行有误：不认识的指令“box”"_s;
    QTest::newRow("table not ended") << u"table data=kvQfbDS\ncolumns | 1\nrow | a"_s << u"表格没有用 end 结束"_s;
    QTest::newRow("row before columns") << u"table\nrow | a\nend"_s << u"第 2 行有误：表格的行之前要先用 columns 定义列"_s;
    QTest::newRow("bad size") << u"text size=big | a"_s << u"“big”不是一个有效的数值"_s;
    QTest::newRow("bad colour") << u"text color=#zz | a"_s << u"“#zz”不是一个有效的颜色"_s;
    QTest::newRow("unknown section") << u"[side]"_s << u"不认识的段落“side”"_s;
    QTest::newRow("table in header") << u"[header]\ntable\nend"_s << u"不认识的指令“table”"_s;
    QTest::newRow("unpaired quote") << u"page font=\"Sans"_s << u"引号没有配对"_s;
    QTest::newRow("margins") << u"page margins=1,2,3"_s << u"页边距要写四个数"_s;
}

void TestReport::refusedTemplates()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        TkvReportTemplate::Parse(text, u"t.frf"_s);
        QFAIL("accepted");
    } catch (const EKavelinErr& e) {
        QVERIFY2(e.Message.contains(message), qPrintable(e.Message));
        QVERIFY(e.Message.contains(u"t.frf"_s));
    }
}

void TestReport::tablePagination()
{
    TkvReportData data;
    data.Budget = budgetRows(4, 60);
    // A remark long enough to wrap over several lines in its cell.
    data.Budget.Rows[100][1] = QString(u"很长的项目名称"_s).repeated(30);
    data.Information = {{u"工程名称"_s, u"样本工程"_s}};
    const TkvPreparedReport r = TkvPreparedReport::Prepare(TkvReportTemplate::Parse(kBudgetTemplate), data);
    QVERIFY(r.PageCount() >= 5);

    const double mmDots = TkvPreparedReport::DotsPerInch / 25.4;
    const double pageHeight = 297 * mmDots;
    int items = 0;
    for (int p = 0; p < r.PageCount(); ++p) {
        const QStringList t = texts(r, p);
        QVERIFY2(t.contains(u"第 %1 页 共 %2 页"_s.arg(p + 1).arg(r.PageCount())), qPrintable(t.join(u' ')));
        QVERIFY(t.contains(u"样本工程"_s));
        QVERIFY2(t.contains(u"项目名称"_s), "the table head repeats on every page");
        double footerTop = pageHeight;
        double lowestBody = 0;
        for (const Op& op : r.PageAt(p).Ops) {
            if (op.What != Op::DrawText)
                continue;
            if (op.Text.startsWith(u"第 "_s))
                footerTop = op.Rect.top();
            else if (op.Text != u"样本工程"_s)
                lowestBody = std::max(lowestBody, op.Rect.bottom());
            if (op.Text.startsWith(u"项目"_s) && op.Text != u"项目名称"_s)
                ++items;
        }
        QVERIFY2(lowestBody < footerTop, "no row runs into the footer");
        QVERIFY(footerTop < pageHeight - 15 * mmDots + 1);
    }
    QCOMPARE(items, 239); // and the one with the long name
    // The long name was broken into lines inside its own row.
    bool wrapped = false;
    for (int p = 0; p < r.PageCount(); ++p)
        for (const Op& op : r.PageAt(p).Ops)
            wrapped = wrapped || (op.What == Op::DrawText && op.Text.startsWith(u"很长"_s) && op.Text.count(u'\n') >= 2);
    QVERIFY(wrapped);
}

void TestReport::groupBands()
{
    TkvReportData data;
    data.Budget = budgetRows(3, 4);
    const TkvPreparedReport r = TkvPreparedReport::Prepare(TkvReportTemplate::Parse(kBudgetTemplate), data);
    QCOMPARE(r.PageCount(), 1);
    const QStringList t = texts(r, 0);
    // Each group: its head, four items, its subtotal of price × quantity.
    const qsizetype head2 = t.indexOf(u"地点2"_s);
    QVERIFY(head2 > 0);
    QCOMPARE(t.mid(head2 + 1, 1), QStringList{u"1"_s});
    QCOMPARE(t.count(u"小计（4 项）"_s), 3);
    QCOMPARE(t.count(u"105.00"_s), 3); // 10.5 × (1 + 2 + 3 + 4)
    QVERIFY(t.contains(u"315.00"_s));
    QVERIFY(t.contains(u"大写：叁佰壹拾伍元整"_s));
    QVERIFY(t.indexOf(u"地点1"_s) < t.indexOf(u"地点2"_s));
    QVERIFY(t.indexOf(u"地点2"_s) < t.indexOf(u"地点3"_s));
}

void TestReport::groupHeadKeepsWithItsFirstRow()
{
    // Groups of many sizes, so that some head falls on the last line of a page.
    TkvReportData data;
    data.Budget = budgetRows(0, 0);
    for (int g = 1; g <= 80; ++g)
        for (int i = 1; i <= (g * 7) % 13 + 1; ++i)
            data.Budget.Rows.append({i, u"项目%1-%2"_s.arg(g).arg(i), g, u"地点%1"_s.arg(g), 10.5, double(i)});
    const TkvPreparedReport r = TkvPreparedReport::Prepare(TkvReportTemplate::Parse(kBudgetTemplate), data);
    QVERIFY(r.PageCount() > 5);
    for (int p = 0; p < r.PageCount(); ++p) {
        QString last;
        for (const Op& op : r.PageAt(p).Ops)
            if (op.What == Op::DrawText && !op.Text.startsWith(u"第 "_s))
                last = op.Text;
        QVERIFY2(!last.startsWith(u"地点"_s), qPrintable(u"page %1 ends with %2"_s.arg(p + 1).arg(last)));
    }
}

void TestReport::namedValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("company value") << u"单位名称"_s << u"杭州美家装饰"_s;
    QTest::newRow("company value wins over information") << u"地址"_s << u"公司地址"_s;
    QTest::newRow("information entry") << u"客户姓名"_s << u"张先生"_s;
    QTest::newRow("information, any letter case") << u"qq"_s << u"12345"_s;
    QTest::newRow("remarks") << u"备注"_s << u"第一行\n第二行"_s;
    QTest::newRow("unknown") << u"没有"_s << QString();
}

void TestReport::namedValues()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    TkvReportData data;
    data.Information = {{u"客户姓名"_s, u"张先生"_s}, {u"地址"_s, u"客户地址"_s}, {u"QQ"_s, u"12345"_s}};
    data.Remarks = u"第一行\n第二行"_s;
    data.Variant = [](const QString& n) {
        if (n == u"单位名称"_s)
            return QVariant(u"杭州美家装饰"_s);
        if (n == u"地址"_s)
            return QVariant(u"公司地址"_s);
        return QVariant();
    };
    QCOMPARE(data.NamedValue(name).toString(), value);
    const TkvPreparedReport r =
        TkvPreparedReport::Prepare(TkvReportTemplate::Parse(u"text | ["_s + u"{"_s + name + u"}]"_s), data);
    QCOMPARE(texts(r, 0).join(u'\n'), u"["_s + value + u"]"_s);
}

void TestReport::conditionalLines()
{
    TkvReportData data;
    data.Information = {{u"电话"_s, u"0571-1"_s}, {u"传真"_s, QString()}};
    const auto t = TkvReportTemplate::Parse(u"text if=电话 | 电话：{电话}\ntext if=传真 | 传真：{传真}\n"
                                            u"table border=none\ncolumns | 1 | 1\nrow if=传真 | 传真 | {传真}\n"
                                            u"row | 电话 | {电话}\nend"_s);
    QCOMPARE(texts(TkvPreparedReport::Prepare(t, data), 0), (QStringList{u"电话：0571-1"_s, u"电话"_s, u"0571-1"_s}));
}

void TestReport::budgetRowsLeaveTheTableAlone()
{
    TkvYssDataSet budget;
    auto add = [&](const QString& place, const QString& name, double price) {
        budget.Append();
        budget.FieldByName(u"行类型"_s)->SetAsInteger(rtItem);
        budget.FieldByName(u"施工地点"_s)->SetAsString(place);
        if (!name.isEmpty())
            budget.FieldByName(u"项目名称"_s)->SetAsString(name);
        budget.FieldByName(u"单价"_s)->SetAsFloat(price);
        budget.FieldByName(u"数量"_s)->SetAsFloat(2);
        budget.Post();
    };
    add(u"客厅"_s, u"墙面乳胶漆"_s, 25);
    add(u"餐厅"_s, u"地砖铺贴"_s, 60);
    add(u"客厅"_s, QString(), 99); // nameless: never printed
    add(u"客厅"_s, u"吊顶"_s, 80);
    budget.SetGroupField(u"施工地点"_s);
    const int before = budget.RecordCount();
    QCOMPARE(before, 8); // two heads, four items, two subtotals

    const TkvReportRows rows = ProjectReport::BudgetRows(budget);
    QStringList names;
    for (const auto& row : rows.Rows)
        names.append(row[rows.FieldIndex(u"项目名称"_s)].toString());
    QCOMPARE(names, (QStringList{u"地砖铺贴"_s, u"墙面乳胶漆"_s, u"吊顶"_s})); // group order: 餐厅 before 客厅
    QCOMPARE(budget.RecordCount(), before);
    QVERIFY(!budget.Filtered());
    QCOMPARE(rows.Fields.size(), 10);

    QCOMPARE(ProjectReport::TemplateKey(TkvReportPage::Budget, u"施工地点"_s), u"按施工地点打印"_s);
    QCOMPARE(ProjectReport::TemplateKey(TkvReportPage::Budget, u"项目类别"_s), u"按项目类别打印"_s);
    QCOMPARE(ProjectReport::TemplateKey(TkvReportPage::Budget, QString()), u"无分组打印"_s);
}

void TestReport::pdfFile()
{
    QTemporaryDir dir;
    TkvReportData data;
    data.Budget = budgetRows(2, 3);
    const TkvPreparedReport r = TkvPreparedReport::Prepare(TkvReportTemplate::Parse(kBudgetTemplate), data);
    const QString file = dir.filePath(u"预算书.pdf"_s);
    r.SavePdf(file, u"预算书"_s);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5).startsWith("%PDF"));
    QVERIFY_THROWS_EXCEPTION(EFileError, r.SavePdf(dir.filePath(u"no/such/folder/x.pdf"_s)));
    QVERIFY(!QFile::exists(dir.filePath(u"no/such/folder/x.pdf"_s)));

    // The same pages paint on a picture.
    const QImage img = r.PageImage(0, 50);
    QCOMPARE(img.width(), int(210 / 25.4 * 50));
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            dark += qGray(img.pixel(x, y)) < 128;
    QVERIFY(dark > 200);
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
