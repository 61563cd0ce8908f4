// Kavelin: estimating software for interior-decoration firms.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_Flash.h"
#include "Win_Main.h"
#include "kvItemWindows.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxFunctions.h"
#include "qxNotices.h"
#include "qxPrompter.h"
#include "qxUiFunctions.h"

#include <QApplication>
#include <QPixmap>
#include <QProxyStyle>
#include <QTimer>

using namespace Qt::StringLiterals;
using FileSystem::NativePath;

namespace {

// Tooltips come at once; the main window keeps them up for five seconds.
class TKavelinStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// A failure that reaches the message loop ends only what the user was doing:
// its message is shown and the program goes on.
class TKavelinApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const Exception& e) {
            ShowExceptionMessage(e.Message);
        } catch (const std::exception& e) {
            ShowExceptionMessage(QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    FileSystem::IgnoreFileSizeSignal();
    TKavelinApplication app(argc, argv);
    InstallUiServices();
    QApplication::setStyle(new TKavelinStyle);

    AppGlobalInfo = new TAppGlobalInfo;
    try {
        if (!AppGlobalInfo->Initialize())
            return 1;
    } catch (const Exception& e) {
        ShowMessage(e.Message, u"致命错"_s, TMsgIcon::Error);
        return 1;
    }

    // The splash closes itself from its timer, which only ticks once the
    // message loop runs: it stays up for as long as start-up is busy.
    auto* flash = new TForm_Flash(QPixmap(NativePath(AppGlobalInfo->GetFileName(u"图片_启动画面"_s))));
    flash->ShowFlash(1, u"正在启动程序，请稍后..."_s);

    auto* data = new TDataModule_Data;
    data->DataModuleCreate(*AppGlobalInfo);
    // Every window that pastes from the item clipboard learns its count.
    data->OnClipboardCount = [](int count) { BroadcastMessage(MSG_CLIPBOARD_COUNT, 1, count); };

    int result = 0;
    {
        const TItemWindows items = CreateItemWindows(*AppGlobalInfo, *data);
        TForm_Main window(*AppGlobalInfo, *data, items);
        window.Start();
        window.OpenCommandLine(app.arguments());
        // The start-up benchmark ends the program once the window is painted.
        if (qEnvironmentVariableIsSet("KV_QUIT_AFTER_START"))
            QTimer::singleShot(0, &window, &QWidget::close);
        result = app.exec();
        // The project windows went when the main window closed; its
        // destruction writes the history file and the layout.
    }
    // The base data asks about the changed item library and saves its
    // tables; then the configuration is written and the exit marked orderly.
    data->DataModuleDestroy();
    delete data;
    FreeAppGlobalInfo();
    return result;
}
