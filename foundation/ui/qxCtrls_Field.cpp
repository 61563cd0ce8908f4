#include "qxCtrls_Field.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

namespace {

bool canTakeFocus(const QWidget* w, const QWidget* window)
{
    return w->isEnabled() && w->isVisibleTo(window) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

} // namespace

bool SelectNextField(QWidget* control, bool forward)
{
    QWidget* parent = control->parentWidget();
    if (!parent)
        return false;
    QWidget* window = control->window();

    // The parent's controls in tab order. Parts of compound controls (the
    // edit line of a combo or spin box) hand their focus to the control
    // itself and do not count on their own.
    QList<QWidget*> fields;
    QWidget* w = window->nextInFocusChain();
    for (int guard = 0; w && w != window && guard < 100000; ++guard, w = w->nextInFocusChain())
        if (parent->isAncestorOf(w) && w->window() == window && !w->focusProxy())
            fields.append(w);

    const int count = int(fields.size());
    if (count == 0)
        return false;
    int start = int(fields.indexOf(control));
    if (start < 0)
        start = forward ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        const int at = ((forward ? start + step : start - step) % count + count) % count;
        if (at == start)
            break;
        QWidget* candidate = fields.at(at);
        if (canTakeFocus(candidate, window)) {
            candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

void DrawBevelLook(QPainter& painter, const QRect& rect, const TBevelLook& look, const QPalette& palette)
{
    if (look.Kind == TBevelKind::None)
        return;
    auto bevel = [&](const QRect& r, TBevelCut cut) {
        if (cut != TBevelCut::Lowered && cut != TBevelCut::Raised)
            return;
        const QColor topLeft = palette.color(cut == TBevelCut::Raised ? QPalette::Light : QPalette::Dark);
        const QColor bottomRight = palette.color(cut == TBevelCut::Raised ? QPalette::Dark : QPalette::Light);
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    bevel(rect, look.Outer);
    bevel(rect.adjusted(1, 1, -1, -1), look.Inner);
    painter.restore();
}

TqxFieldBehaviour::TqxFieldBehaviour(QWidget* self, bool keyEnterToNext)
    : FSelf(self), FFocusColor(self->palette().color(QPalette::Base)), FFocusFont(self->font()),
      FKeyEnterToNext(keyEnterToNext)
{
}

bool TqxFieldBehaviour::RejectsKey(const QKeyEvent* event) const
{
    if (!FCheckInput || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    const QString text = event->text();
    if (text.size() != 1)
        return false;
    const char16_t c = text.at(0).unicode();
    return c >= 32 && c <= 126 && !FMaskChars.contains(text.at(0));
}

bool TqxFieldBehaviour::MoveAfterKey(QKeyEvent* event)
{
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((enter && FKeyEnterToNext) || (key == Qt::Key_Down && FKeyDownToNext)) {
        SelectNextField(FSelf, true);
    } else if (key == Qt::Key_Up && FKeyUpToPrior) {
        SelectNextField(FSelf, false);
    } else {
        return false;
    }
    // Used here, the key must not also press the dialog's default button.
    event->accept();
    return true;
}

void TqxFieldBehaviour::SwapInFocusLook()
{
    if (!FFocusChangeFont || FSwapped)
        return;
    FSwapped = true;
    FOwnFontSet = FSelf->testAttribute(Qt::WA_SetFont);
    FOwnFont = FSelf->font();
    FOwnPaletteSet = FSelf->testAttribute(Qt::WA_SetPalette);
    FOwnPalette = FSelf->palette();
    QPalette focused = FOwnPalette;
    focused.setColor(QPalette::Base, FFocusColor);
    FSelf->setFont(FFocusFont);
    FSelf->setPalette(focused);
}

void TqxFieldBehaviour::SwapOutFocusLook()
{
    if (!FSwapped)
        return;
    FSwapped = false;
    // A font or palette that was only inherited goes back to being inherited.
    FSelf->setFont(FOwnFontSet ? FOwnFont : QFont());
    FSelf->setPalette(FOwnPaletteSet ? FOwnPalette : QPalette());
}

bool TqxFieldBehaviour::TakeFocusOnMouseEnter()
{
    if (!FMouseGetFocus || !FSelf->isEnabled() || FSelf->hasFocus())
        return false;
    FSelf->setFocus(Qt::MouseFocusReason);
    return true;
}
