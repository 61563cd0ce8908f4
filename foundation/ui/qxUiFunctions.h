#pragma once
// Window-level helpers of the widget library.

#include <QList>
#include <QString>
#include <QtGlobal>

class QWidget;

// The application's forms in the order they were created: every top-level
// window (hidden ones too, menus and tool tips excepted) and every MDI child.
QList<QWidget*> ApplicationForms();

// Sends a message (a TqxMessageEvent) to every form, one after another, and
// returns the last form's answer; 0 when there is no form.
qintptr BroadcastMessage(int msg, quintptr wParam, qintptr lParam);

// What a program installs at start: the real dialogs as the prompter, the
// desktop's handler behind ShellOpen, and Qt's own texts in Chinese.
void InstallUiServices();

// An error that ends what the user was doing, shown as the application shows
// any failure: a message box with the program's name and the error icon.
void ShowExceptionMessage(const QString& message);
