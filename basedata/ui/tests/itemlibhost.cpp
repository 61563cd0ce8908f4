// A small host for looking at the item library window beside a project
// window, as a user sees them, until the main window holds them:
// itemlibhost STAGE_DIR [PROJECT_FILE|-] [CATEGORY/PATH]
// works over a copy of the staged installation's configuration; the tree is
// opened on the given category path ("项目类别/材料/砖").

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_ItemClipboard.h"
#include "Win_ItemTemplate.h"
#include "Win_Project.h"
#include "kvTreeView.h"
#include "qxErrors.h"
#include "qxUiFunctions.h"

#include <QApplication>
#include <QMdiArea>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    InstallUiServices();
    TAppGlobalInfo info;
    info.WriteBackOnFree = false;
    if (!info.Initialize(args[1], {}))
        return 1;
    TDataModule_Data data;
    data.DataModuleCreate(info);
    QMdiArea area;
    area.setWindowTitle(u"Kavelin"_s);
    area.setGeometry(0, 0, 1024, 720);
    area.show();
    try {
        if (args.size() > 2)
            args[2] == u"-"_s ? TForm_Project::NewStandardProject(&area, info, data)
                              : TForm_Project::OpenProject(&area, info, data, args[2]);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
    TForm_ItemTemp library(data, info, *info.DragInfo, &area);
    library.setGeometry(600, 120, 560, 400);
    library.show();
    if (args.size() > 3)
        if (QTreeWidgetItem* node = library.kvTreeView1->FindPath(args[3].split(u'/'))) {
            library.kvTreeView1->setCurrentItem(node);
            library.kvTreeView1->scrollToItem(node);
        }
    if (qEnvironmentVariableIsSet("KV_HOST_SECONDS"))
        QTimer::singleShot(qEnvironmentVariable("KV_HOST_SECONDS").toInt() * 1000, &app, &QApplication::quit);
    return app.exec();
}
