#pragma once
// What the labelled edit and the labelled combo box share: moving between the
// fields of a dialog with Enter and the arrow keys, filtering typed
// characters, the focus look and the flat bevels.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

class QKeyEvent;
class QPainter;
class QRect;
class QWidget;

// Gives the focus to the next (or previous) control of the control's parent
// in tab order that can take it and is a tab stop, wrapping at either end.
// False when no other control qualifies.
bool SelectNextField(QWidget* control, bool forward);

enum class TBevelCut { None, Lowered, Raised, Space };
enum class TBevelKind { None, Tile, Soft, Flat };

// The frame of a flat control. With Kind None the control keeps the style's
// frame; otherwise the control draws these bevels itself.
struct TBevelLook {
    TBevelCut Inner = TBevelCut::Raised;
    TBevelCut Outer = TBevelCut::Lowered;
    TBevelKind Kind = TBevelKind::None;
    bool Border = true;
};

// Draws the outer and inner bevel inside rect (one pixel each).
void DrawBevelLook(QPainter& painter, const QRect& rect, const TBevelLook& look, const QPalette& palette);

class TqxFieldBehaviour {
public:
    virtual ~TqxFieldBehaviour() = default;

    QColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(const QColor& color) { FFocusColor = color; }
    QFont FocusFont() const { return FFocusFont; }
    void SetFocusFont(const QFont& font) { FFocusFont = font; }
    bool FocusChangeFont() const { return FFocusChangeFont; }
    void SetFocusChangeFont(bool on) { FFocusChangeFont = on; }
    bool KeyEnterToNext() const { return FKeyEnterToNext; }
    void SetKeyEnterToNext(bool on) { FKeyEnterToNext = on; }
    bool KeyDownToNext() const { return FKeyDownToNext; }
    void SetKeyDownToNext(bool on) { FKeyDownToNext = on; }
    bool KeyUpToPrior() const { return FKeyUpToPrior; }
    void SetKeyUpToPrior(bool on) { FKeyUpToPrior = on; }
    QString MaskChars() const { return FMaskChars; }
    void SetMaskChars(const QString& chars) { FMaskChars = chars; }
    bool CheckInput() const { return FCheckInput; }
    void SetCheckInput(bool on) { FCheckInput = on; }
    bool MouseGetFocus() const { return FMouseGetFocus; }
    void SetMouseGetFocus(bool on) { FMouseGetFocus = on; }

    const TBevelLook& Bevels() const { return FBevels; }

protected:
    // self is the control itself, fully constructed as a widget.
    TqxFieldBehaviour(QWidget* self, bool keyEnterToNext);

    // A printable ASCII character the mask does not allow. Control characters
    // and everything above ASCII (Chinese text) always pass.
    bool RejectsKey(const QKeyEvent* event) const;
    // After the control has handled a key: Enter, Down or Up may move on.
    // Returns true when the key was used that way.
    bool MoveAfterKey(QKeyEvent* event);

    void SwapInFocusLook();
    void SwapOutFocusLook();
    // The mouse entered: takes the focus when asked to; true when it did.
    bool TakeFocusOnMouseEnter();

    TBevelLook FBevels;

private:
    QWidget* FSelf;
    QColor FFocusColor;
    QFont FFocusFont;
    bool FFocusChangeFont = false;
    bool FKeyEnterToNext;
    bool FKeyDownToNext = false;
    bool FKeyUpToPrior = false;
    QString FMaskChars;
    bool FCheckInput = false;
    bool FMouseGetFocus = false;

    // The control's own look, kept while the focus look is in.
    bool FSwapped = false;
    QFont FOwnFont;
    bool FOwnFontSet = false;
    QPalette FOwnPalette;
    bool FOwnPaletteSet = false;
};
