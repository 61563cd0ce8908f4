// The capital-numeral total of a customer document, against the way banks
// and invoices write amounts.

#include "kvRmbText.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestRmbText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void capital_data();
    void capital();
};

void TestRmbText::capital_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << u"零元整"_s;
    QTest::newRow("below half a cent") << 0.004 << u"零元整"_s;
    QTest::newRow("fen only") << 0.05 << u"伍分"_s;
    QTest::newRow("jiao only") << 0.5 << u"伍角整"_s;
    QTest::newRow("half cent rounds up") << 0.005 << u"壹分"_s;
    QTest::newRow("ten") << 10.0 << u"壹拾元整"_s;
    QTest::newRow("jiao after yuan") << 100.5 << u"壹佰元伍角整"_s;
    QTest::newRow("zero inside") << 1001.0 << u"壹仟零壹元整"_s;
    QTest::newRow("zeros run") << 1000010.0 << u"壹佰万零壹拾元整"_s;
    QTest::newRow("empty wan section") << 100000001.0 << u"壹亿零壹元整"_s;
    QTest::newRow("wan after yi") << 100010000.0 << u"壹亿零壹万元整"_s;
    QTest::newRow("full thousands after empty section") << 100001000.0 << u"壹亿零壹仟元整"_s;
    QTest::newRow("yi and fen") << 100000000.07 << u"壹亿元零柒分"_s;
    QTest::newRow("every place") << 12345.67 << u"壹万贰仟叁佰肆拾伍元陆角柒分"_s;
    QTest::newRow("sample total") << 203309.04 << u"贰拾万叁仟叁佰零玖元零肆分"_s;
    QTest::newRow("negative") << -1234.56 << u"负壹仟贰佰叁拾肆元伍角陆分"_s;
    QTest::newRow("negative rounding to zero") << -0.001 << u"零元整"_s;
    QTest::newRow("wan yi") << 1e12 << u"壹万亿元整"_s;
}

void TestRmbText::capital()
{
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(RmbCapital(amount), text);
}

QTEST_GUILESS_MAIN(TestRmbText)
#include "tst_rmbtext.moc"
