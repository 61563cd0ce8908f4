#include "qxCtrls_FloatPanel.h"

TqxFloatPanel::TqxFloatPanel(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    QFrame::setVisible(false);
}

void TqxFloatPanel::setVisible(bool visible)
{
    const bool was = !isHidden();
    QFrame::setVisible(visible);
    if (visible == was)
        return;
    if (visible) {
        Q_EMIT OnShow();
        if (FEnableMouseCapture && isVisible())
            grabMouse();
    } else {
        if (mouseGrabber() == this)
            releaseMouse();
        Q_EMIT OnHide();
    }
}
