// A small host for looking at the project window as a user sees it, until the
// main window exists: projecthost STAGE_DIR PROJECT_FILE [PAGE [FIELD]]
// opens the project in an MDI area over a copy of the staged installation's
// configuration and shows the given page, or pages in turn ("预算书,预览");
// with a FIELD of the budget (项目名称, 单位...) the lookup panel opens on that
// cell of a new row in the first group.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_Project.h"
#include "Win_ProjectBudget.h"
#include "kvLookupPanel.h"
#include "kvYssDataSet.h"
#include "qxDBCtrls_DBGrid.h"
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
        // "预算书,预览": the pages in turn, as a user clicks through them.
        for (const QString& page : args.size() > 3 && w ? args[3].split(u',') : QStringList())
            w->ShowPage(page);
        if (w && args.size() > 4) {
            TProjectBudgetPage* page = w->BudgetPage;
            TkvYssDataSet& ds = page->DataSet();
            ds.LocateHeader(1);
            page->NewRow();
            if (TqxColumn* column = page->qxDBGrid_Yss->FindColumn(args[4])) {
                page->qxDBGrid_Yss->setFocus();
                page->qxDBGrid_Yss->SetSelectedIndex(column->Index());
                page->qxDBGrid_Yss->SetEditorMode(true);
                page->qxFloatPanel_Selected->ShowLookup(args[4]);
            }
        }
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
    if (qEnvironmentVariableIsSet("KV_HOST_SECONDS"))
        QTimer::singleShot(qEnvironmentVariable("KV_HOST_SECONDS").toInt() * 1000, &app, &QApplication::quit);
    return app.exec();
}
