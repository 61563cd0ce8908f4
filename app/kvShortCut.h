#pragma once
// Menu shortcuts written as text, the way the tools file keeps them:
// "Shift+", "Ctrl+" and "Alt+" in this order, then the key's name ("Ctrl+B",
// "Shift+Ctrl+F5", "Alt+PgDn"). Qt's own portable text spells several keys
// differently ("Backspace", "PgDown", "Return", "Meta+"), and files written
// by other installations must read back, so the names come from one table
// here and nowhere else.

#include <QKeySequence>
#include <QString>

// The text of the first chord; empty for no shortcut or a key without a name.
QString ShortCutToText(const QKeySequence& shortcut);
QString ShortCutToText(QKeyCombination key);

// Modifier prefixes may come in any order and any letter case; a text whose
// key has no name here gives no shortcut (an empty sequence).
QKeySequence TextToShortCut(const QString& text);

// The name of a key without modifiers ("B", "F5", "PgUp"); empty when the
// key has none.
QString KeyName(Qt::Key key);
