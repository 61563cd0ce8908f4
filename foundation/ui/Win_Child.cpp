#include "Win_Child.h"

#include "qxNotices.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QShowEvent>

TForm_Child::TForm_Child(QMdiArea* area) : QMdiSubWindow(nullptr)
{
    setAttribute(Qt::WA_DeleteOnClose);
    Notify(cnCreated);
    connect(this, &QMdiSubWindow::aboutToActivate, this, [this] { Notify(cnActivated); });
    // Explicitly hidden, so that the area does not show it before the derived
    // window is built.
    hide();
    setWindowState(Qt::WindowMaximized);
    if (area)
        area->addSubWindow(this);
}

void TForm_Child::Notify(int code) { SendNotice(MSG_CHILD_NOTIFY, HandleOf(this), code); }

void TForm_Child::showEvent(QShowEvent* event)
{
    // The area hides and shows maximised children as they take turns; only
    // the first showing is the window's.
    if (!FShown && !event->spontaneous()) {
        FShown = true;
        Notify(cnShown);
    }
    QMdiSubWindow::showEvent(event);
}

void TForm_Child::closeEvent(QCloseEvent* event)
{
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        Notify(cnClosing);
}
