#include "kvShortCut.h"

using namespace Qt::StringLiterals;

namespace {

struct TKeyName {
    Qt::Key key;
    const char16_t* name;
};

// The first entry of a name is the key the text reads back as; Qt reports
// the keypad's Enter and Shift+Tab as keys of their own.
const TKeyName kNamedKeys[] = {
    {Qt::Key_Backspace, u"BkSp"}, {Qt::Key_Tab, u"Tab"},        {Qt::Key_Backtab, u"Tab"},
    {Qt::Key_Escape, u"Esc"},     {Qt::Key_Return, u"Enter"},   {Qt::Key_Enter, u"Enter"},
    {Qt::Key_Space, u"Space"},    {Qt::Key_PageUp, u"PgUp"},    {Qt::Key_PageDown, u"PgDn"},
    {Qt::Key_End, u"End"},        {Qt::Key_Home, u"Home"},      {Qt::Key_Left, u"Left"},
    {Qt::Key_Up, u"Up"},          {Qt::Key_Right, u"Right"},    {Qt::Key_Down, u"Down"},
    {Qt::Key_Insert, u"Ins"},     {Qt::Key_Delete, u"Del"},
};

struct TModifierName {
    Qt::KeyboardModifier modifier;
    QStringView prefix;
};

const TModifierName kModifiers[] = {
    {Qt::ShiftModifier, u"Shift+"},
    {Qt::ControlModifier, u"Ctrl+"},
    {Qt::AltModifier, u"Alt+"},
};

Qt::Key keyOfName(QStringView name)
{
    if (name.size() == 1) {
        const char16_t c = name.at(0).toUpper().unicode();
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            return Qt::Key(c); // Qt's letter and digit keys are their upper-case characters
    }
    if (name.size() >= 2 && (name.at(0) == u'F' || name.at(0) == u'f')) {
        bool ok = false;
        const int n = name.mid(1).toInt(&ok);
        // "F01" or "F+5" are not names of a key.
        if (ok && n >= 1 && n <= 12 && name.mid(1) == QString::number(n))
            return Qt::Key(Qt::Key_F1 + n - 1);
    }
    for (const TKeyName& k : kNamedKeys)
        if (name.compare(QStringView(k.name), Qt::CaseInsensitive) == 0)
            return k.key;
    return Qt::Key_unknown;
}

} // namespace

QString KeyName(Qt::Key key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return QString(QChar(char16_t(key)));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return u"F"_s + QString::number(key - Qt::Key_F1 + 1);
    for (const TKeyName& k : kNamedKeys)
        if (k.key == key)
            return QString::fromUtf16(k.name);
    return {};
}

QString ShortCutToText(QKeyCombination key)
{
    const QString name = KeyName(key.key());
    if (name.isEmpty())
        return {};
    QString text;
    for (const TModifierName& m : kModifiers)
        if (key.keyboardModifiers() & m.modifier)
            text += m.prefix;
    return text + name;
}

QString ShortCutToText(const QKeySequence& shortcut)
{
    return shortcut.isEmpty() ? QString() : ShortCutToText(shortcut[0]);
}

QKeySequence TextToShortCut(const QString& text)
{
    QStringView rest(text);
    Qt::KeyboardModifiers modifiers;
    for (bool found = true; found;) {
        found = false;
        for (const TModifierName& m : kModifiers) {
            if (rest.startsWith(m.prefix, Qt::CaseInsensitive)) {
                modifiers |= m.modifier;
                rest = rest.mid(m.prefix.size());
                found = true;
            }
        }
    }
    const Qt::Key key = keyOfName(rest);
    if (key == Qt::Key_unknown)
        return {};
    return QKeySequence(QKeyCombination(modifiers, key));
}
