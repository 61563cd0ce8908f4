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
    FBevels = {TBevelCut::Raised, TBevelCut::Raised, TBevelKind::Flat, true};
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
    if (isVisible())
        FSimpleList->show();
    else if (isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide))
        FSimpleList->hide();
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
    if (!FSimpleList)
        return;
    FSimpleList->setGeometry(x(), y() + height(), width(), FSimpleListHeight);
    // Without the arrow the edit line takes the whole box.
    if (lineEdit()) {
        const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        lineEdit()->setGeometry(rect().adjusted(frame + 1, frame, -frame - 1, -frame));
    }
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
    QComboBox::resizeEvent(event);
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
    if (!FSimpleList)
        return result;
    // The open list follows the combo box as its label does.
    switch (event->type()) {
    case QEvent::ParentChange:
        FSimpleList->setParent(parentWidget());
        PlaceSimpleList();
        break;
    case QEvent::ShowToParent:
        if (parentWidget())
            FSimpleList->show();
        break;
    case QEvent::HideToParent:
        FSimpleList->hide();
        break;
    case QEvent::EnabledChange:
        FSimpleList->setEnabled(isEnabled());
        break;
    case QEvent::FontChange:
    case QEvent::StyleChange:
        PlaceSimpleList();
        break;
    default:
        break;
    }
    return result;
}
