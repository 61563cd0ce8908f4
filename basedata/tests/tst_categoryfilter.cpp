// Categories as filters over item rows: the chain from the root down.

#include "kvCategoryFilter.h"
#include "qxDataSet.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCategoryFilter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void chains_data();
    void chains();

private:
    TqxDataSet FItems;
};

void TestCategoryFilter::initTestCase()
{
    FItems.SetFieldDefs({{u"项目类别"_s, TqxFieldKind::String, 100}, {u"项目名称"_s, TqxFieldKind::String, 200}});
    FItems.CreateDataSet();
    FItems.AppendRecord({u"材料"_s, u"抛光地砖"_s});
    FItems.AppendRecord({u"材料"_s, u"细木工板"_s});
    FItems.AppendRecord({u"电器工程"_s, u"LED筒灯安装"_s});
    FItems.AppendRecord({u"拆除工程"_s, u"拆除旧地砖"_s});
}

void TestCategoryFilter::chains_data()
{
    // The shipped categories involved, as the tree would hold them.
    static const TItemCate root{u"<顶级分类>"_s, QString(), true, false, QString(), QString(), fmAll};
    static const TItemCate kinds{u"项目类别"_s, u"<顶级分类>"_s, false, true, QString(), QString(), fmAll};
    static const TItemCate material{u"材料"_s, u"项目类别"_s, false, false, u"材料"_s, u"项目类别"_s, fmEquals};
    static const TItemCate brick{u"砖"_s, u"材料"_s, false, false, u"砖"_s, u"项目名称"_s, fmContains};
    static const TItemCate other{u"其它"_s, u"<顶级分类>"_s, false, false, QString(), u"项目名称"_s, fmEquals};
    static const TItemCate led{u"led"_s, u"关键词"_s, false, false, u"led"_s, u"项目名称"_s, fmContains};
    static const TItemCate nofield{u"x"_s, u"x"_s, false, false, u"材料"_s, u"施工地点"_s, fmEquals};
    static const TItemCate oddMode{u"y"_s, u"y"_s, false, false, u"材料"_s, u"项目类别"_s, 7};

    QTest::addColumn<QList<const TItemCate*>>("chain");
    QTest::addColumn<QString>("passing"); // item rows that pass, by number
    QTest::newRow("root") << QList<const TItemCate*>{&root} << u"1234"_s;
    QTest::newRow("项目类别, no field") << QList<const TItemCate*>{&root, &kinds} << u"1234"_s;
    QTest::newRow("材料") << QList<const TItemCate*>{&root, &kinds, &material} << u"12"_s;
    QTest::newRow("砖 under 材料") << QList<const TItemCate*>{&root, &kinds, &material, &brick} << u"1"_s;
    QTest::newRow("砖 alone") << QList<const TItemCate*>{&root, &brick} << u"14"_s;
    QTest::newRow("其它 shows nothing") << QList<const TItemCate*>{&root, &other} << QString();
    QTest::newRow("Latin letters in any case") << QList<const TItemCate*>{&root, &led} << u"3"_s;
    QTest::newRow("field the items lack") << QList<const TItemCate*>{&root, &nofield} << u"1234"_s;
    QTest::newRow("unknown mode leaves it") << QList<const TItemCate*>{&root, &brick, &oddMode} << u"14"_s;
}

void TestCategoryFilter::chains()
{
    QFETCH(QList<const TItemCate*>, chain);
    QString passing;
    int row = 0;
    for (FItems.First(); !FItems.Eof(); FItems.Next()) {
        ++row;
        if (PassesCategoryFilter(chain, FItems))
            passing += QString::number(row);
    }
    QTEST(passing, "passing");
}

QTEST_GUILESS_MAIN(TestCategoryFilter)
#include "tst_categoryfilter.moc"
