#include "kvToolsMenu.h"

#include "kvExternalTools.h"

#include <QMenu>

void BuildToolsMenu(QMenu& menu, QAction& configTools, const TkvToolList& tools)
{
    menu.clear();
    menu.addAction(&configTools);
    menu.addSeparator();
    for (QAction* command : tools.Commands())
        menu.addAction(command);
}
