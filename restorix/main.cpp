// Restorix: backup and restore of Kavelin's base data.

#include "AppClasses.h"
#include "Win_Main.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxFunctions.h"
#include "qxPrompter.h"
#include "qxUiFunctions.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    FileSystem::IgnoreFileSizeSignal();
    QApplication app(argc, argv);
    InstallUiServices();

    // Restorix reads the configuration but never writes it back.
    AppGlobalInfo = new TAppGlobalInfo;
    AppGlobalInfo->WriteBackOnFree = false;
    try {
        if (!AppGlobalInfo->Initialize())
            return 1;
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"致命错"_s, TMsgIcon::Error);
        return 1;
    }
    const QString title = u"Kavelin 工具 - 数据维护"_s;

    int result = 0;
    {
        TForm_Main window(*AppGlobalInfo, title);
        window.show();
        result = app.exec();
    }
    FreeAppGlobalInfo();
    return result;
}
