// The MDI child base: its life notices to the notice target, in order, and
// nothing at all without one.

#include "Win_Child.h"
#include "qxNotices.h"

#include <QMdiArea>
#include <QPointer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class TTarget : public QObject {
public:
    QList<QPair<quintptr, qintptr>> Received;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != TqxMessageEvent::EventType())
            return QObject::event(e);
        auto* m = static_cast<TqxMessageEvent*>(e);
        if (m->Msg == MSG_CHILD_NOTIFY)
            Received.append({m->WParam, m->LParam});
        return true;
    }
};

QList<qintptr> codesOf(const TTarget& t, const QObject* window)
{
    QList<qintptr> out;
    for (const auto& [w, l] : t.Received)
        if (w == HandleOf(window))
            out << l;
    return out;
}

} // namespace

class TestChild : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void notices();
    void noTarget();
};

void TestChild::notices()
{
    TTarget target;
    SetNoticeTarget(&target);
    QMdiArea area;
    area.resize(600, 400);
    area.show();

    auto* first = new TForm_Child(&area);
    QCOMPARE(codesOf(target, first), QList<qintptr>{cnCreated});
    first->Show();
    QVERIFY(first->isMaximized());
    QCOMPARE(codesOf(target, first), (QList<qintptr>{cnCreated, cnShown, cnActivated}));

    auto* second = new TForm_Child(&area);
    second->Show();
    QCOMPARE(codesOf(target, second), (QList<qintptr>{cnCreated, cnShown, cnActivated}));
    target.Received.clear();
    area.setActiveSubWindow(first);
    QCOMPARE(codesOf(target, first), QList<qintptr>{cnActivated});
    QVERIFY(codesOf(target, second).isEmpty());

    target.Received.clear();
    QPointer<TForm_Child> gone = first;
    QVERIFY(first->close());
    QCOMPARE(codesOf(target, gone.data()).first(), qintptr(cnClosing));
    QTRY_VERIFY(gone.isNull()); // freed on close
    SetNoticeTarget(nullptr);
}

void TestChild::noTarget()
{
    SetNoticeTarget(nullptr);
    QMdiArea area;
    area.show();
    QPointer<TForm_Child> child = new TForm_Child(&area);
    child->Show();
    QVERIFY(child->close());
    QTRY_VERIFY(child.isNull());
}

QTEST_MAIN(TestChild)
#include "tst_child.moc"
