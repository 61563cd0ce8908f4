#include "Win_KavelinDialog.h"

#include "qxNotices.h"

#include <QHideEvent>
#include <QShowEvent>

TForm_KavelinDialog::TForm_KavelinDialog(QWidget* parent) : TForm_CustomBasicDialog(parent) { Notify(dnCreated); }

void TForm_KavelinDialog::Notify(int code) { SendNotice(MSG_DIALOG_NOTIFY, HandleOf(this), code); }

void TForm_KavelinDialog::done(int result)
{
    Notify(dnClosed);
    TForm_CustomBasicDialog::done(result);
}

void TForm_KavelinDialog::showEvent(QShowEvent* event)
{
    TForm_CustomBasicDialog::showEvent(event);
    // Restoring from the task bar is not a new showing.
    if (!event->spontaneous())
        Notify(dnShown);
}

void TForm_KavelinDialog::hideEvent(QHideEvent* event)
{
    TForm_CustomBasicDialog::hideEvent(event);
    if (!event->spontaneous())
        Notify(dnHidden);
}
