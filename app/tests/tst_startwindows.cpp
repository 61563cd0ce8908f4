// The small windows of start-up: the tip of the day, the splash and the
// about box.

#include "Win_About.h"
#include "Win_EveryDayTip.h"
#include "Win_Flash.h"

#include "GbkText.h"
#include "KvTestSupport.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestStartWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tipButtonsFollowTheIndex_data();
    void tipButtonsFollowTheIndex();
    void tipOutOfRangePicksAtRandom();
    void tipFileAndEmptyList();
    void tipShowsItselfFromTheTimerAndWritesTheFlag();
    void splashClosesOnlyFromItsTimerAfterTheLimit();
    void aboutClosesOnAClickOnThePicture();
};

namespace {
QStringList tips(int n)
{
    QStringList list;
    for (int i = 0; i < n; ++i)
        list << u"贴子%1"_s.arg(i);
    return list;
}
} // namespace

void TestStartWindows::tipButtonsFollowTheIndex_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("prior");
    QTest::addColumn<bool>("next");
    QTest::newRow("one tip") << 1 << 0 << false << false;
    QTest::newRow("first of three") << 3 << 0 << false << true;
    QTest::newRow("middle") << 3 << 1 << true << true;
    QTest::newRow("last") << 3 << 2 << true << false;
}

void TestStartWindows::tipButtonsFollowTheIndex()
{
    QFETCH(int, count);
    QFETCH(int, index);
    QFETCH(bool, prior);
    QFETCH(bool, next);
    bool autoShow = true;
    TForm_EveryDayTip tip(autoShow);
    tip.SetTips(tips(count));
    tip.SelectTip(index);
    QCOMPARE(tip.findChild<QPushButton*>(u"Button_Prior"_s)->isEnabled(), prior);
    QCOMPARE(tip.findChild<QPushButton*>(u"Button_Next"_s)->isEnabled(), next);
    QCOMPARE(tip.findChild<QPlainTextEdit*>()->toPlainText(), u"    贴子%1"_s.arg(index));
}

void TestStartWindows::tipOutOfRangePicksAtRandom()
{
    bool autoShow = true;
    int askedFor = 0;
    TForm_EveryDayTip tip(autoShow, nullptr, [&](int count) {
        askedFor = count;
        return count - 1;
    });
    tip.SetTips(tips(13));
    tip.SelectTip(-1);
    QCOMPARE(askedFor, 13);
    QCOMPARE(tip.TipIndex(), 12);
    QTest::mouseClick(tip.findChild<QPushButton*>(u"Button_Prior"_s), Qt::LeftButton);
    QCOMPARE(tip.TipIndex(), 11);

    // The clock pick covers the whole range, the last tip included.
    QSet<int> seen;
    for (int i = 0; i < 2000 && seen.size() < 3; ++i) {
        const int pick = TForm_EveryDayTip::ClockRandomPick(3);
        QVERIFY(pick >= 0 && pick < 3);
        seen.insert(pick);
        QTest::qWait(1);
    }
    QCOMPARE(seen.size(), 3);
}

void TestStartWindows::tipFileAndEmptyList()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"EveryDayTip"_s);
    QVERIFY(KvTest::WriteBytes(file, Gbk::Encode(u"第一条\r\n第二条\r\n"_s)));
    bool autoShow = true;
    TForm_EveryDayTip tip(autoShow);
    tip.LoadFromFile(file);
    QCOMPARE(tip.Tips(), QStringList({u"第一条"_s, u"第二条"_s}));

    TForm_EveryDayTip none(autoShow);
    none.LoadFromFile(dir.filePath(u"missing"_s));
    none.SelectTip(-1);
    QCOMPARE(none.findChild<QPlainTextEdit*>()->toPlainText(), u"没有可以显示的贴子！"_s);
    QVERIFY(!none.findChild<QPushButton*>(u"Button_Prior"_s)->isEnabled());
    QVERIFY(!none.findChild<QPushButton*>(u"Button_Next"_s)->isEnabled());
}

void TestStartWindows::tipShowsItselfFromTheTimerAndWritesTheFlag()
{
    bool autoShow = true;
    QPointer<TForm_EveryDayTip> tip = new TForm_EveryDayTip(autoShow);
    QVERIFY(tip->ShowTimer().isActive());
    QCOMPARE(tip->ShowTimer().interval(), 3000);
    QVERIFY(!tip->isVisible());
    tip->ShowTimer().setInterval(10);
    tip->ShowTimer().start();
    QTRY_VERIFY(tip->isVisible());
    QVERIFY(!tip->ShowTimer().isActive());

    tip->findChild<QCheckBox*>()->setChecked(false);
    QTest::mouseClick(tip->findChild<QPushButton*>(u"Button_Close"_s), Qt::LeftButton);
    QCOMPARE(autoShow, false);
    QTRY_VERIFY(tip.isNull());
}

void TestStartWindows::splashClosesOnlyFromItsTimerAfterTheLimit()
{
    qint64 now = 100000;
    QPointer<TForm_Flash> flash = new TForm_Flash(QPixmap(), [&] { return now; });
    flash->ShowFlash(1, u"正在启动程序，请稍后..."_s);
    QVERIFY(flash->isVisible());
    QCOMPARE(flash->StatusText(), u"正在启动程序，请稍后..."_s);
    QVERIFY(flash->FlashTimer().isActive());

    // Busy start-up: however much time passes, nothing closes it without a tick.
    now += 5000;
    QCoreApplication::sendPostedEvents();
    QVERIFY(flash->isVisible());

    now = 100000 + 1999;
    flash->Tick();
    QVERIFY(flash->isVisible());
    now = 100000 + 2000;
    flash->Tick();
    QTRY_VERIFY(flash.isNull());

    TForm_Flash forever(QPixmap(), [&] { return now; });
    forever.ShowFlash(0, u"x"_s);
    QVERIFY(!forever.FlashTimer().isActive());
}

void TestStartWindows::aboutClosesOnAClickOnThePicture()
{
    QPixmap picture(440, 318);
    picture.fill(Qt::white);
    TForm_About about(picture, u"Kavelin (1.0)"_s);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(200, 150));
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(TestStartWindows)
#include "tst_startwindows.moc"
