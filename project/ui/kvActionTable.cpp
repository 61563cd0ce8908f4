#include "kvActionTable.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

using namespace Qt::StringLiterals;

QList<QAction*> CreateActions(QWidget* owner, const QList<TActionDef>& defs)
{
    QList<QAction*> out;
    for (const TActionDef& d : defs) {
        auto* a = new QAction(d.Caption, owner);
        a->setObjectName(d.Name);
        a->setShortcut(d.Shortcut);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setCheckable(d.Checkable);
        if (!d.IconText.isEmpty())
            a->setIconText(d.IconText);
        if (!d.Icon.isEmpty())
            a->setIcon(QIcon::fromTheme(d.Icon));
        if (d.Handler)
            QObject::connect(a, &QAction::triggered, owner, [h = d.Handler] { h(); });
        owner->addAction(a);
        out.append(a);
    }
    return out;
}

QAction* ActionOf(const QWidget* owner, const QString& name) { return owner->findChild<QAction*>(name); }

void FillToolBar(QToolBar* bar, const QWidget* owner, const QStringList& names)
{
    for (const QString& name : names) {
        if (name == u"-"_s)
            bar->addSeparator();
        else if (QAction* a = ActionOf(owner, name))
            bar->addAction(a);
    }
}

void FillMenu(QMenu* menu, const QWidget* owner, const QStringList& names)
{
    for (const QString& name : names) {
        if (name == u"-"_s)
            menu->addSeparator();
        else if (QAction* a = ActionOf(owner, name))
            menu->addAction(a);
    }
}
