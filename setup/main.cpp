// Kavsetup: installs Kavelin and Restorix with their data, shortcuts and file
// types. Without arguments it is the wizard; with --unattended it installs
// without a window, for firms that set up many computers:
//
//   Kavsetup --unattended [--program DIR] [--project DIR] [--backup DIR] [--template DIR] [--no-run]

#include "Win_Main.h"
#include "kvInstallFiles.h"
#include "kvSetup.h"
#include "qxFileSystem.h"
#include "qxPrompter.h"
#include "qxUiFunctions.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

bool startInstalled(const QString& program)
{
    return QProcess::startDetached(program, {}, QFileInfo(program).path());
}

void say(const QString& text)
{
    std::fputs(QString(text + u'\n').toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

int unattended(const QStringList& args)
{
    QString program, project, backup, templ;
    bool run = true;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            // An empty folder would install wherever Kavsetup was started.
            if (i + 1 >= args.size() || args[i + 1].trimmed().isEmpty())
                return false;
            into = QDir::cleanPath(QDir::current().absoluteFilePath(args[++i]));
            return true;
        };
        bool ok = true;
        if (a == u"--unattended"_s)
            continue;
        if (a == u"--no-run"_s)
            run = false;
        else if (a == u"--program"_s)
            ok = value(program);
        else if (a == u"--project"_s)
            ok = value(project);
        else if (a == u"--backup"_s)
            ok = value(backup);
        else if (a == u"--template"_s)
            ok = value(templ);
        else
            ok = false;
        if (!ok) {
            std::fputs("usage: Kavsetup --unattended [--program DIR] [--project DIR] [--backup DIR] "
                       "[--template DIR] [--no-run]\n",
                       stderr);
            return 2;
        }
    }

    TkvSetup setup(TkvSetupEnvironment::FromSystem());
    setup.OnTarget = [](const QString& target) { say(target); };
    setup.OnStatus = [](const QString& status) { say(status); };
    auto failed = [&] {
        say(u"安装失败！"_s);
        say(u"失败原因："_s + setup.FailReason);
        setup.Close();
        return 1;
    };

    say(u"安装程序现在正在做准备..."_s);
    if (!setup.Prepare())
        return failed();
    if (program.isEmpty())
        program = setup.DefaultProgramFolder;
    const QString base = TkvMacroList::WithSeparator(QDir::toNativeSeparators(program));
    setup.SetFolders(program, project.isEmpty() ? base + u"工程"_s : project,
                     backup.isEmpty() ? base + u"备份"_s : backup, templ.isEmpty() ? base + u"模板"_s : templ);
    say(u"主程序安装目录: "_s + setup.Macros.Value(u"PROGRAM"_s));
    say(u"工程文件存放目录: "_s + setup.Macros.Value(u"PROJECT"_s));
    say(u"备份数据存放目录: "_s + setup.Macros.Value(u"BACKUP"_s));
    say(u"模板存放目录: "_s + setup.Macros.Value(u"TEMPLATE"_s));

    say(u"复制程序文件，请稍等片刻..."_s);
    if (!setup.CopyFiles())
        return failed();
    say(u"正在设置软件配置，请稍候..."_s);
    setup.Configure();
    if (setup.State == ssFailed)
        return failed();
    setup.Close();
    say(u"Kavelin 1.0 已成功安装！"_s);
    if (run && !startInstalled(setup.ProgramFile())) {
        say(u"不能启动 "_s + setup.ProgramFile());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    FileSystem::IgnoreFileSizeSignal();
    bool quiet = false;
    for (int i = 1; i < argc; ++i)
        quiet = quiet || qstrcmp(argv[i], "--unattended") == 0;

    std::unique_ptr<QCoreApplication> app;
    if (quiet)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(u"Kavelin 安装程序"_s);

    if (!RegisterInstallFiles()) {
        std::fputs("Kavsetup: the installation files are missing from this program\n", stderr);
        return 1;
    }
    if (quiet)
        return unattended(QCoreApplication::arguments());

    InstallUiServices();
    TkvSetup setup(TkvSetupEnvironment::FromSystem());
    int result = 0;
    {
        TForm_Main window(setup, Prompter());
        window.StartProgram = startInstalled;
        window.show();
        result = app->exec();
    }
    setup.Close();
    return result;
}
