#include "qxCtrls_LabeledEdit.h"

#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Masked edits show the character the dialog asks for ("*"), not the style's dot.
class TPasswordCharStyle final : public QProxyStyle {
public:
    explicit TPasswordCharStyle(QChar c) : FChar(c) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return FChar.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar FChar;
};

} // namespace

TqxLabeledEdit::TqxLabeledEdit(QWidget* parent) : QLineEdit(parent), TqxFieldBehaviour(this, true)
{
    FLabel = new TqxBoundLabel(this);
    FButton = new QToolButton(this);
    FButton->setObjectName(u"SubButton"_s);
    FButton->setText(u"..."_s);
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->setCursor(Qt::ArrowCursor);
    FButton->setVisible(false);
    PlaceButton();
}

TqxLabeledEdit::~TqxLabeledEdit() { delete FLabel; }

TLabelPosition TqxLabeledEdit::LabelPosition() const { return FLabel ? FLabel->Position() : lpAbove; }

void TqxLabeledEdit::SetLabelPosition(TLabelPosition position)
{
    if (FLabel)
        FLabel->SetPosition(position);
}

int TqxLabeledEdit::LabelSpacing() const { return FLabel ? FLabel->Spacing() : 3; }

void TqxLabeledEdit::SetLabelSpacing(int spacing)
{
    if (FLabel)
        FLabel->SetSpacing(spacing);
}

void TqxLabeledEdit::SetFlat(bool flat)
{
    FFlat = flat;
    // Switching back only records the flag: the flat bevels stay.
    if (!flat)
        return;
    FBevels = {TBevelCut::Space, TBevelCut::Lowered, TBevelKind::Flat, false};
    setFrame(false);
    UpdateTextMargins();
    update();
}

void TqxLabeledEdit::SetShowButton(bool show)
{
    FShowButton = show;
    if (FButton)
        FButton->setVisible(show);
    UpdateTextMargins();
}

void TqxLabeledEdit::UpdateTextMargins()
{
    // Room for the self-drawn bevels and for the button, so text never runs under it.
    const int side = FBevels.Kind == TBevelKind::None ? 0 : 2;
    const int button = FShowButton && FButton ? FButton->width() : 0;
    setTextMargins(side, side, side + button, side);
}

void TqxLabeledEdit::SetPasswordChar(QChar c)
{
    FPasswordChar = c;
    if (c.isNull()) {
        setEchoMode(Normal);
        return;
    }
    QStyle* old = FPasswordStyle;
    FPasswordStyle = new TPasswordCharStyle(c);
    FPasswordStyle->setParent(this);
    setStyle(FPasswordStyle);
    delete old;
    setEchoMode(Password);
}

void TqxLabeledEdit::PlaceButton()
{
    // Kept at the right end: a button left where the edit was first created
    // would sit in the middle of the text once the dialog sizes the edit.
    if (FButton) {
        FButton->setGeometry(width() - height(), 1, height() - 2, height() - 2);
        UpdateTextMargins();
    }
}

void TqxLabeledEdit::keyPressEvent(QKeyEvent* event)
{
    if (RejectsKey(event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    MoveAfterKey(event);
}

void TqxLabeledEdit::focusInEvent(QFocusEvent* event)
{
    HotLook();
    SwapInFocusLook();
    QLineEdit::focusInEvent(event);
}

void TqxLabeledEdit::focusOutEvent(QFocusEvent* event)
{
    SwapOutFocusLook();
    NormalLook();
    QLineEdit::focusOutEvent(event);
}

void TqxLabeledEdit::enterEvent(QEnterEvent* event)
{
    QLineEdit::enterEvent(event);
    if (isEnabled() && !hasFocus() && !TakeFocusOnMouseEnter())
        HotLook();
}

void TqxLabeledEdit::leaveEvent(QEvent* event)
{
    QLineEdit::leaveEvent(event);
    if (!hasFocus())
        NormalLook();
}

void TqxLabeledEdit::HotLook()
{
    if (FFlat && FBevels.Inner != TBevelCut::Raised) {
        FBevels.Inner = TBevelCut::Raised;
        update();
    }
}

void TqxLabeledEdit::NormalLook()
{
    if (FFlat && FBevels.Inner != TBevelCut::Space) {
        FBevels.Inner = TBevelCut::Space;
        update();
    }
}

void TqxLabeledEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (FBevels.Kind != TBevelKind::None) {
        QPainter painter(this);
        DrawBevelLook(painter, rect(), FBevels, palette());
    }
}

void TqxLabeledEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceButton();
}
