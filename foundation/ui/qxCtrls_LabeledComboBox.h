#pragma once
// A combo box with its own caption label and the field behaviour of the
// labelled edit. In the simple style the item list stays open below the edit
// line instead of dropping down.

#include "qxCtrls_BoundLabel.h"
#include "qxCtrls_Field.h"

#include <QComboBox>
#include <QPointer>

#include <QListView>

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TqxLabeledComboBox : public QComboBox, public TqxFieldBehaviour {
    Q_OBJECT
public:
    explicit TqxLabeledComboBox(QWidget* parent = nullptr);
    ~TqxLabeledComboBox() override;

    // Null once the label has been destroyed.
    TqxBoundLabel* EditLabel() const { return FLabel; }
    TLabelPosition LabelPosition() const;
    void SetLabelPosition(TLabelPosition position);
    int LabelSpacing() const;
    void SetLabelSpacing(int spacing);

    // Only the first look: the combo box has no hot look.
    bool Flat() const { return FFlat; }
    void SetFlat(bool flat);

    TComboBoxStyle ComboStyle() const { return FComboStyle; }
    void SetComboStyle(TComboBoxStyle style);
    // The open list of the simple style (null in the other styles) and its height.
    QListView* SimpleList() const { return FSimpleList; }
    void SetSimpleListHeight(int height);

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;

private:
    void PlaceSimpleList();

    QPointer<TqxBoundLabel> FLabel;
    QPointer<QListView> FSimpleList;
    bool FFlat = false;
    TComboBoxStyle FComboStyle = csDropDown;
    int FSimpleListHeight = 120;
};
