#include "kvHotKey.h"

#include "kvShortCut.h"

#include <QKeyEvent>

using namespace Qt::StringLiterals;

TkvHotKey::TkvHotKey(QWidget* parent) : QLineEdit(parent)
{
    setPlaceholderText(u"无"_s);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void TkvHotKey::SetHotKey(const QKeySequence& key)
{
    const QString text = ShortCutToText(key);
    FHotKey = text.isEmpty() ? QKeySequence() : TextToShortCut(text);
    setText(text);
    Q_EMIT HotKeyChanged();
}

bool TkvHotKey::Acceptable(QKeyCombination key)
{
    const Qt::KeyboardModifiers mods = key.keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    return !KeyName(key.key()).isEmpty();
}

bool TkvHotKey::event(QEvent* event)
{
    // A chord the field takes must not first fire a menu command or jump to
    // the field whose label carries the letter ("工具标题(&T)" for Alt+T).
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (Acceptable(QKeyCombination(key->modifiers(), Qt::Key(key->key())))) {
            event->accept();
            return true;
        }
    }
    // Ctrl+Tab and Alt+Tab are chords to take, not moves to the next field.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TkvHotKey::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const auto key = Qt::Key(event->key());
    if (mods == Qt::NoModifier && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        SetHotKey({});
        event->accept();
        return;
    }
    const QKeyCombination chord(mods, key);
    if (Acceptable(chord)) {
        SetHotKey(QKeySequence(chord));
        event->accept();
        return;
    }
    // Enter and Esc on their own still reach the dialog's buttons.
    if (mods == Qt::NoModifier && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)) {
        event->ignore();
        return;
    }
    event->accept();
}
