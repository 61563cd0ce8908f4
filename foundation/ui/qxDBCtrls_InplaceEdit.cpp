#include "qxDBCtrls_InplaceEdit.h"

#include <QToolButton>

using namespace Qt::StringLiterals;

const QColor TqxInplaceEdit::Background(231, 238, 217);

TqxInplaceEdit::TqxInplaceEdit(QWidget* parent) : QLineEdit(parent), FButton(new QToolButton(this))
{
    setObjectName(u"InplaceEdit"_s);
    setFrame(false);
    QPalette p = palette();
    p.setColor(QPalette::Base, Background);
    setPalette(p);
    setAutoFillBackground(true);

    FButton->setObjectName(u"EllipsisButton"_s);
    FButton->setText(u"..."_s);
    FButton->setCursor(Qt::ArrowCursor);
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->hide();
    connect(FButton, &QToolButton::clicked, this, &TqxInplaceEdit::ButtonClicked);
}

bool TqxInplaceEdit::ButtonVisible() const { return !FButton->isHidden(); }

void TqxInplaceEdit::SetButtonVisible(bool visible)
{
    FButton->setVisible(visible);
    PlaceButton();
}

void TqxInplaceEdit::PlaceButton()
{
    const int side = height();
    FButton->setGeometry(width() - side, 0, side, side);
    setTextMargins(0, 0, ButtonVisible() ? side : 0, 0);
}

void TqxInplaceEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceButton();
}
