#include "qxNotices.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

QPointer<QObject>& target()
{
    static QPointer<QObject> t;
    return t;
}

} // namespace

THandle HandleOf(const QObject* window) { return reinterpret_cast<THandle>(window); }

TqxMessageEvent::TqxMessageEvent(int msg, quintptr wParam, qintptr lParam)
    : QEvent(EventType()), Msg(msg), WParam(wParam), LParam(lParam)
{
}

QEvent::Type TqxMessageEvent::EventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

qintptr SendMessageTo(QObject* receiver, int msg, quintptr wParam, qintptr lParam)
{
    if (!receiver)
        return 0;
    TqxMessageEvent event(msg, wParam, lParam);
    QCoreApplication::sendEvent(receiver, &event);
    return event.Result;
}

QObject* NoticeTarget() { return target().data(); }

void SetNoticeTarget(QObject* t) { target() = t; }

qintptr SendNotice(int msg, quintptr wParam, qintptr lParam)
{
    return SendMessageTo(NoticeTarget(), msg, wParam, lParam);
}
