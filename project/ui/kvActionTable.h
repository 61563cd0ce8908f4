#pragma once
// Actions declared as data: a window lists its actions in one table and
// builds its tool bars and menus from lists of names ("-" a separator).

#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QToolBar;
class QWidget;

struct TActionDef {
    QString Name;     // the objectName
    QString Caption;
    QKeySequence Shortcut;
    std::function<void()> Handler;
    QString Icon;     // a freedesktop icon name
    QString IconText; // a shorter tool-bar text; the caption when empty
    bool Checkable = false;
};

// The actions are children of owner, so findChild finds them by name.
QList<QAction*> CreateActions(QWidget* owner, const QList<TActionDef>& defs);
QAction* ActionOf(const QWidget* owner, const QString& name);
void FillToolBar(QToolBar* bar, const QWidget* owner, const QStringList& names);
void FillMenu(QMenu* menu, const QWidget* owner, const QStringList& names);
