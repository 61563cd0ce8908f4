#pragma once
// The private messages by which the windows of a program talk to each other,
// and the notice target that receives the life notices of child windows and
// dialogs. A message is a TqxMessageEvent delivered synchronously with
// QCoreApplication::sendEvent; a receiver answers it in event() by setting
// Result. Everything runs on the user-interface thread.

#include <QEvent>
#include <QtGlobal>

class QObject;

// The main window orders the active project window (WParam: TChildCommand, LParam 0).
constexpr int MSG_CHILD_COMMAND = 0x7FF;
// A project window reports its life (WParam: its handle, LParam: TChildNotify).
constexpr int MSG_CHILD_NOTIFY = 0x800;
// A dialog reports its life (WParam: its handle, LParam: TDialogNotify).
constexpr int MSG_DIALOG_NOTIFY = 0x803;
// The item clipboard's count, to every window (WParam 1, LParam: the count).
constexpr int MSG_CLIPBOARD_COUNT = 0x804;

enum TChildCommand : int {
    ccClose = 0,
    ccSave = 1,
    ccSaveAs = 2,
    ccSaveAsTemplate = 16,
};

// Every notice carries exactly one of these codes.
enum TChildNotify : int {
    cnModified = 1,
    cnClosing = 2,
    cnCreated = 4,
    cnShown = 8,
    cnNotModified = 32,
    cnOpened = 64,
    cnDestroying = 128,
    cnCaptionChanged = 256,
    cnActivated = 512,
};

enum TDialogNotify : int {
    dnCreated = 4,
    dnShown = 8,
    dnHidden = 16,
    dnClosed = 128,
};

// A window's handle as the messages carry it: the identity of the window
// object. Receivers compare it with HandleOf() of the windows they know.
using THandle = quintptr;
THandle HandleOf(const QObject* window);

class TqxMessageEvent final : public QEvent {
public:
    TqxMessageEvent(int msg, quintptr wParam, qintptr lParam);
    static QEvent::Type EventType();

    const int Msg;
    const quintptr WParam;
    const qintptr LParam;
    qintptr Result = 0;
};

// Sends a message to one receiver and returns its answer; 0 when there is
// no receiver or it does not answer.
qintptr SendMessageTo(QObject* receiver, int msg, quintptr wParam, qintptr lParam);

// The notice target: the main window, once it exists. It is forgotten when
// the object is destroyed.
QObject* NoticeTarget();
void SetNoticeTarget(QObject* target);

// Sends to the notice target; with none it does nothing and returns 0.
qintptr SendNotice(int msg, quintptr wParam, qintptr lParam);
