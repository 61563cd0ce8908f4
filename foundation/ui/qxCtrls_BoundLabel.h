#pragma once
// The caption label of a labelled edit or combo box. It lives beside its
// control in the control's parent, keeps its own size, and follows the
// control's place, parent, visibility, enabled state and reading direction.

#include <QLabel>
#include <QPointer>

enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };

class TqxBoundLabel : public QLabel {
    Q_OBJECT
public:
    explicit TqxBoundLabel(QWidget* control);

    QWidget* Control() const { return FControl; }
    TLabelPosition Position() const { return FPosition; }
    void SetPosition(TLabelPosition position);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int spacing);

    // Sets the text and sizes the label to it (the label sizes itself to its
    // caption, as it does on the dialogs this library was drawn for).
    void SetCaption(const QString& text);

    // The label's top-left corner for a control's geometry and a label size.
    static QPoint PlaceFor(const QRect& control, const QSize& label, TLabelPosition position, int spacing);
    void Place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FollowParent();
    void FollowVisible();
    bool ControlVisible() const;

    QPointer<QWidget> FControl;
    TLabelPosition FPosition = lpAbove;
    int FSpacing = 3;
    bool FControlVisible = true;
};
