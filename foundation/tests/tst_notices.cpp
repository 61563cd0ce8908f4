// The notice hub: messages reach the notice target synchronously, answers
// come back, and without a target nothing happens.

#include "qxNotices.h"

#include <QTest>

class TRecorder : public QObject {
public:
    struct Notice {
        int msg;
        quintptr w;
        qintptr l;
    };
    QList<Notice> Received;
    qintptr Answer = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != TqxMessageEvent::EventType())
            return QObject::event(e);
        auto* m = static_cast<TqxMessageEvent*>(e);
        Received.append({m->Msg, m->WParam, m->LParam});
        m->Result = Answer;
        return true;
    }
};

class TestNotices : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void messageValues();
    void noticesReachTarget();
    void noTargetIsHarmless();
};

void TestNotices::messageValues()
{
    // Stored by peers and compared by receivers: the numbers must not move.
    QCOMPARE(MSG_CHILD_COMMAND, 2047);
    QCOMPARE(MSG_CHILD_NOTIFY, 2048);
    QCOMPARE(MSG_DIALOG_NOTIFY, 2051);
    QCOMPARE(MSG_CLIPBOARD_COUNT, 2052);
    QCOMPARE(int(ccSaveAsTemplate), 16);
    QCOMPARE(int(cnActivated), 512);
    QCOMPARE(int(cnCaptionChanged), 256);
    QCOMPARE(int(dnClosed), 128);
}

void TestNotices::noticesReachTarget()
{
    TRecorder target;
    target.Answer = 7;
    QObject child;
    SetNoticeTarget(&target);
    QCOMPARE(SendNotice(MSG_CHILD_NOTIFY, HandleOf(&child), cnCreated), qintptr(7));
    QCOMPARE(SendNotice(MSG_CHILD_NOTIFY, HandleOf(&child), cnShown), qintptr(7));
    QCOMPARE(target.Received.size(), 2);
    QCOMPARE(target.Received.at(0).msg, MSG_CHILD_NOTIFY);
    QCOMPARE(target.Received.at(0).w, HandleOf(&child));
    QCOMPARE(target.Received.at(0).l, qintptr(cnCreated));
    QCOMPARE(target.Received.at(1).l, qintptr(cnShown));

    // Direct messages go to their receiver only.
    TRecorder other;
    QCOMPARE(SendMessageTo(&other, MSG_CHILD_COMMAND, ccSave, 0), qintptr(0));
    QCOMPARE(other.Received.size(), 1);
    QCOMPARE(target.Received.size(), 2);
    SetNoticeTarget(nullptr);
}

void TestNotices::noTargetIsHarmless()
{
    SetNoticeTarget(nullptr);
    QCOMPARE(SendNotice(MSG_DIALOG_NOTIFY, 1, dnCreated), qintptr(0));
    {
        TRecorder target;
        SetNoticeTarget(&target);
    }
    // The main window is gone: its handle is forgotten, not used.
    QVERIFY(!NoticeTarget());
    QCOMPARE(SendNotice(MSG_CHILD_NOTIFY, 1, cnClosing), qintptr(0));
    QCOMPARE(SendMessageTo(nullptr, MSG_CHILD_COMMAND, ccClose, 0), qintptr(0));
}

QTEST_GUILESS_MAIN(TestNotices)
#include "tst_notices.moc"
