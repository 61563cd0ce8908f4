#pragma once
// The Tools menu: the command that configures the tools, a separator, then
// one entry per tool command in list order.

class QAction;
class QMenu;
class TkvToolList;

void BuildToolsMenu(QMenu& menu, QAction& configTools, const TkvToolList& tools);
