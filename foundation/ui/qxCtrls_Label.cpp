#include "qxCtrls_Label.h"

#include "qxFunctions.h"

#include <QMouseEvent>

TqxLabel::TqxLabel(QWidget* parent) : TqxLabel(QString(), parent) {}

TqxLabel::TqxLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent), FStayFont(font())
{
    setTextFormat(Qt::PlainText);
}

void TqxLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (!isEnabled() || FLabelUsed == luStatic || FHovered)
        return;
    FHovered = true;
    FOwnFontSet = testAttribute(Qt::WA_SetFont);
    FOwnFont = font();
    setFont(FStayFont);
    setCursor(Qt::PointingHandCursor);
}

void TqxLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    if (!FHovered)
        return;
    FHovered = false;
    setFont(FOwnFontSet ? FOwnFont : QFont());
    unsetCursor();
}

void TqxLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    FPressed = event->button() == Qt::LeftButton;
}

void TqxLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    const bool click = FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FPressed = false;
    if (!click)
        return;
    Q_EMIT Clicked();
    const QString target = FUsedValue.isEmpty() ? text() : FUsedValue;
    if (FLabelUsed == luHttp)
        ShellOpen(target);
    else if (FLabelUsed == luEmail)
        SendMailTo(target);
}
