#pragma once
// Small free functions several windows share.

#include <QString>
#include <functional>

// Cuts the head off a separated list. Found: returns the text before the
// separator and, with remove, drops it and the separator from text. Not found:
// returns the whole text and, with remove, empties it.
QString SplitHead(QString& text, const QString& separator, bool remove);

// Booleans of the configuration files: written "True"/"False"; read as true
// exactly for "true", "yes" or "是" (Latin letters in any case).
QString BoolToText(bool value);
bool TextToBool(const QString& text);

// Opens a web address or file with the desktop's handler; false on failure.
bool ShellOpen(const QString& target);
bool SendMailTo(const QString& address);

// Who actually opens a target. The widget layer installs the desktop
// services; tests install a recorder. nullptr restores the default.
using TShellOpener = std::function<bool(const QString& target)>;
void SetShellOpener(TShellOpener opener);

// Frees the global configuration object, which writes the configuration back.
void FreeAppGlobalInfo();
