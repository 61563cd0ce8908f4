#include "qxCtrls_LabeledComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QStyleOptionFrame>

TqxLabeledComboBox::TqxLabeledComboBox(QWidget* parent) : QComboBox(parent), TqxFieldBehaviour(this, false)
{
    FLabel = new TqxBoundLabel(this);
    setEditable(true);
    // Enter confirms the text; it does not add it to the items.
    setInsertPolicy(NoInsert);
}

TqxLabeledComboBox::~TqxLabeledComboBox()
{
    delete FLabel;
    delete FSimpleList;
}

TLabelPosition TqxLabeledComboBox::LabelPosition() const { return FLabel ? FLabel->Position() : lpAbove; }

void TqxLabeledComboBox::SetLabelPosition(TLabelPosition position)
{
    if (FLabel)
        FLabel->SetPosition(position);
}

int TqxLabeledComboBox::LabelSpacing() const { return FLabel ? FLabel->Spacing() : 3; }

void TqxLabeledComboBox::SetLabelSpacing(int spacing)
{
    if (FLabel)
        FLabel->SetSpacing(spacing);
}

void TqxLabeledComboBox::SetFlat(bool flat)
{
    FFlat = flat;
    if (!flat)
        return;
    FBevels = {TBevelCut::Raised, TBevelCut::Raised, TBevelKind::Flat, true, true};
    setFrame(false);
    update();
}

void TqxLabeledComboBox::SetComboStyle(TComboBoxStyle style)
{
    FComboStyle = style;
    setEditable(style != csDropDownList);
    if (isEditable())
        setInsertPolicy(NoInsert);
    if (style != csSimple) {
        delete FSimpleList;
        return;
    }
    if (!FSimpleList) {
        // The open list lives beside the combo box, like its label, and shares its items.
        FSimpleList = new QListView(parentWidget());
        FSimpleList->setModel(model());
        FSimpleList->setFocusPolicy(Qt::NoFocus);
        FSimpleList->setEditTriggers(QAbstractItemView::NoEditTriggers);
        connect(FSimpleList.data(), &QListView::clicked, this, [this](const QModelIndex& index) {
            setCurrentIndex(index.row());
            setFocus(Qt::MouseFocusReason);
        });
        connect(this, &QComboBox::currentIndexChanged, FSimpleList.data(), [this](int row) {
            FSimpleList->setCurrentIndex(model()->index(row, modelColumn()));
        });
    }
    FollowVisibility();
    resizeEvent(nullptr);
}

void TqxLabeledComboBox::FollowVisibility()
{
    if (!FSimpleList)
        return;
    if (FSimpleList->parentWidget() != parentWidget())
        FSimpleList->setParent(parentWidget());
    FSimpleList->setVisible(parentWidget() && !isHidden());
    FSimpleList->setEnabled(isEnabled());
    PlaceSimpleList();
}

void TqxLabeledComboBox::SetSimpleListHeight(int height)
{
    FSimpleListHeight = height;
    PlaceSimpleList();
}

void TqxLabeledComboBox::PlaceSimpleList()
{
    if (FSimpleList)
        FSimpleList->setGeometry(x(), y() + height(), width(), FSimpleListHeight);
}

void TqxLabeledComboBox::showPopup()
{
    if (FComboStyle != csSimple)
        QComboBox::showPopup();
}

void TqxLabeledComboBox::keyPressEvent(QKeyEvent* event)
{
    if (RejectsKey(event)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
    MoveAfterKey(event);
}

void TqxLabeledComboBox::focusInEvent(QFocusEvent* event)
{
    SwapInFocusLook();
    QComboBox::focusInEvent(event);
}

void TqxLabeledComboBox::focusOutEvent(QFocusEvent* event)
{
    SwapOutFocusLook();
    QComboBox::focusOutEvent(event);
}

void TqxLabeledComboBox::enterEvent(QEnterEvent* event)
{
    QComboBox::enterEvent(event);
    TakeFocusOnMouseEnter();
}

void TqxLabeledComboBox::paintEvent(QPaintEvent* event)
{
    if (FComboStyle == csSimple) {
        // An edit line without the drop-down arrow: the list is always open.
        QPainter painter(this);
        QStyleOptionFrame option;
        option.initFrom(this);
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
        option.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
        return;
    }
    QComboBox::paintEvent(event);
    if (FBevels.Kind != TBevelKind::None) {
        QPainter painter(this);
        DrawBevelLook(painter, rect(), FBevels, palette());
    }
}

void TqxLabeledComboBox::resizeEvent(QResizeEvent* event)
{
    if (event)
        QComboBox::resizeEvent(event);
    if (FComboStyle == csSimple && lineEdit()) {
        const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        lineEdit()->setGeometry(rect().adjusted(frame + 1, frame, -frame - 1, -frame));
    }
    PlaceSimpleList();
}

void TqxLabeledComboBox::moveEvent(QMoveEvent* event)
{
    QComboBox::moveEvent(event);
    PlaceSimpleList();
}

bool TqxLabeledComboBox::event(QEvent* event)
{
    const bool result = QComboBox::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::ParentChange:
    case QEvent::EnabledChange:
        FollowVisibility();
        break;
    default:
        break;
    }
    return result;
}
