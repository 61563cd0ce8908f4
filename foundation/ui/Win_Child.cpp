#include "Win_Child.h"

#include "qxNotices.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QShowEvent>

using namespace Qt::StringLiterals;

TForm_Child::TForm_Child(QMdiArea* area) : QMdiSubWindow(nullptr)
{
    // A derived window names itself after this; the base name stays for bare children.
    setObjectName(u"TForm_Child"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    Notify(cnCreated);
    // The area activates a child before the child's show event arrives; the
    // showing is told first all the same.
    connect(this, &QMdiSubWindow::aboutToActivate, this, [this] {
        NoticeShown();
        Notify(cnActivated);
    });
    // Explicitly hidden, so that the area does not show it before the derived
    // window is built.
    hide();
    if (area)
        area->addSubWindow(this);
}

void TForm_Child::Show() { showMaximized(); }

void TForm_Child::Notify(int code) { SendNotice(MSG_CHILD_NOTIFY, HandleOf(this), code); }

void TForm_Child::NoticeShown()
{
    if (FShown)
        return;
    FShown = true;
    Notify(cnShown);
}

void TForm_Child::showEvent(QShowEvent* event)
{
    // The area hides and shows maximised children as they take turns; only
    // the first showing is the window's.
    if (!event->spontaneous())
        NoticeShown();
    QMdiSubWindow::showEvent(event);
}

void TForm_Child::closeEvent(QCloseEvent* event)
{
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        Notify(cnClosing);
}
