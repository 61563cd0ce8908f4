// A small host for looking at the project window as a user sees it, until the
// main window exists: projecthost STAGE_DIR PROJECT_FILE [PAGE]
// opens the project in an MDI area over a copy of the staged installation's
// configuration and shows the given page.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_Project.h"
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
    if (args.size() < 3)
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
    area.resize(1024, 720);
    area.show();
    try {
        TForm_Project* w = args[2] == u"-"_s ? TForm_Project::NewStandardProject(&area, info, data)
                                            : TForm_Project::OpenProject(&area, info, data, args[2]);
        if (w && args.size() > 3)
            w->ShowPage(args[3]);
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
    if (qEnvironmentVariableIsSet("KV_HOST_SECONDS"))
        QTimer::singleShot(qEnvironmentVariable("KV_HOST_SECONDS").toInt() * 1000, &app, &QApplication::quit);
    return app.exec();
}
