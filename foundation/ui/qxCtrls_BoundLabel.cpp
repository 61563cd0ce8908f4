#include "qxCtrls_BoundLabel.h"

#include <QEvent>

TqxBoundLabel::TqxBoundLabel(QWidget* control) : QLabel(control->parentWidget()), FControl(control)
{
    setBuddy(control);
    setTextFormat(Qt::PlainText);
    setLayoutDirection(control->layoutDirection());
    control->installEventFilter(this);
    FControlVisible = ControlVisible();
    Place();
}

void TqxBoundLabel::SetPosition(TLabelPosition position)
{
    FPosition = position;
    Place();
}

void TqxBoundLabel::SetSpacing(int spacing)
{
    FSpacing = spacing;
    Place();
}

void TqxBoundLabel::SetCaption(const QString& text)
{
    setText(text);
    adjustSize();
    Place();
}

QPoint TqxBoundLabel::PlaceFor(const QRect& c, const QSize& label, TLabelPosition position, int spacing)
{
    switch (position) {
    case lpBelow:
        return {c.left(), c.top() + c.height() + spacing};
    case lpLeft:
        return {c.left() - label.width() - spacing, c.top() + (c.height() - label.height()) / 2};
    case lpRight:
        return {c.left() + c.width() + spacing, c.top() + (c.height() - label.height()) / 2};
    case lpAbove:
        break;
    }
    return {c.left(), c.top() - label.height() - spacing};
}

void TqxBoundLabel::Place()
{
    if (FControl)
        move(PlaceFor(FControl->geometry(), size(), FPosition, FSpacing));
}

bool TqxBoundLabel::ControlVisible() const
{
    return !(FControl->isHidden() && FControl->testAttribute(Qt::WA_WState_ExplicitShowHide));
}

// Follows changes of the control's own visibility only: when the window
// around them shows its children, a label the host hid stays hidden.
void TqxBoundLabel::FollowVisible()
{
    const bool visible = ControlVisible();
    if (visible == FControlVisible)
        return;
    FControlVisible = visible;
    // Without a parent the label would become a window of its own.
    setVisible(visible && parentWidget());
}

void TqxBoundLabel::FollowParent()
{
    // Like the control, the label is hidden by the move; showing the control shows it again.
    setParent(FControl->parentWidget());
    Place();
}

bool TqxBoundLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FControl) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            Place();
            break;
        case QEvent::ParentChange:
            FollowParent();
            break;
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            FollowVisible();
            break;
        case QEvent::EnabledChange:
            setEnabled(FControl->isEnabled());
            break;
        case QEvent::LayoutDirectionChange:
            setLayoutDirection(FControl->layoutDirection());
            break;
        default:
            break;
        }
    }
    return QLabel::eventFilter(watched, event);
}

void TqxBoundLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    Place();
}
