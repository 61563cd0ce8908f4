// kvtool report FILE --out FILE.pdf [--page 封面|工程信息|预算书|取费表]
//                    [--view 施工地点|项目类别|无] [--password TEXT] [--app FOLDER]
// The reports of a project as the preview page prepares them, written to a
// PDF without a display, with the templates and company values of the
// installation kvtool belongs to (or the one --app names).

#include "AppClasses.h"
#include "KvtoolCommon.h"
#include "kvProject.h"
#include "kvReport.h"
#include "kvReportProject.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace Kvtool {

namespace {

const QString kUsage = u"kvtool report FILE --out FILE.pdf [--page 封面|工程信息|预算书|取费表] "
                       u"[--view 施工地点|项目类别|无] [--password 密码] [--app 安装目录]"_s;

// The installation's App file and company values, read without touching
// them: a report run is no program start and leaves no crash marker behind.
bool readInstallation(const QString& folder, TAppGlobalInfo& config)
{
    config.WriteBackOnFree = false;
    config.AppPath = QDir::toNativeSeparators(QDir(folder).absolutePath()) + QDir::separator();
    config.AppFileName = config.AppPath + u"APP"_s;
    if (!FileSystem::FileExists(config.AppFileName))
        return false;
    const TqxIniFile app(config.AppFileName);
    config.Paths = app.ReadSectionValues(u"Paths"_s);
    config.Files = app.ReadSectionValues(u"Files"_s);
    // The installation is where kvtool was told, whatever folder it runs in.
    config.SetPath(u"App"_s, config.AppPath);
    const TqxIniFile setup(config.GetFileName(u"配置_参数"_s));
    config.Variants = setup.ReadSectionValues(u"Variant"_s);
    return true;
}

} // namespace

int RunReport(const QStringList& args)
{
    QString fileName, out, page, view, password, folder = QCoreApplication::applicationDirPath();
    bool viewGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == u"--out"_s && hasValue)
            out = args[++i];
        else if (a == u"--page"_s && hasValue)
            page = args[++i];
        else if (a == u"--view"_s && hasValue)
            view = args[++i], viewGiven = true;
        else if (a == u"--password"_s && hasValue)
            password = args[++i];
        else if (a == u"--app"_s && hasValue)
            folder = args[++i];
        else if (fileName.isEmpty() && !a.startsWith(u"--"_s))
            fileName = a;
        else
            return UsageError(kUsage);
    }
    const QStringList pages = {u"封面"_s, u"工程信息"_s, u"预算书"_s, u"取费表"_s};
    if (fileName.isEmpty() || out.isEmpty())
        return UsageError(kUsage);
    if (!page.isEmpty() && !pages.contains(page)) {
        Err(u"未知的报表“"_s + page + u"”：只能是 封面、工程信息、预算书 或 取费表。"_s);
        return Usage;
    }
    if (viewGiven && view != u"施工地点"_s && view != u"项目类别"_s && view != u"无"_s) {
        Err(u"未知的视图“"_s + view + u"”：只能是 施工地点、项目类别 或 无。"_s);
        return Usage;
    }

    TAppGlobalInfo config;
    if (!readInstallation(folder, config)) {
        Err(u"在 "_s + folder + u" 没有找到系统配置文件 APP，找不到报表模板。"_s);
        return Failed;
    }
    try {
        if (!FileSystem::FileExists(fileName)) {
            Err(u"工程文件 "_s + fileName + u" 不存在。"_s);
            return Failed;
        }
        kvProject project;
        if (!project.ReadFromFile(fileName)) {
            Err(u"文件 "_s + fileName + u" 是空文件，不是工程或模板文件。"_s);
            return Failed;
        }
        // What a protected project holds is printed only for its password.
        const QString protection = project.KVFile_Main.PassWord();
        if (!protection.isEmpty() && protection != password) {
            Err(u"工程 "_s + fileName + u" 有密码保护，密码不对。"_s);
            return Failed;
        }
        if (view == kvProject::ViewPlace || view == kvProject::ViewKind)
            project.SetView(view);
        TkvReportData data = ProjectReport::Data(project);
        ProjectReport::UseConfiguration(data, config);
        // 无 prints the ungrouped template over the rows in the saved view's order.
        const QString groupField = view == u"无"_s ? QString() : project.View();

        const TkvReportPage order[] = {TkvReportPage::Cover, TkvReportPage::ProjectInfo, TkvReportPage::Budget,
                                       TkvReportPage::Fees};
        TkvPreparedReport all;
        for (int i = 0; i < 4; ++i) {
            if (!page.isEmpty() && pages[i] != page)
                continue;
            const QString templateFile = config.GetFileName(ProjectReport::TemplateKey(order[i], groupField));
            if (!FileSystem::FileExists(templateFile)) {
                Err(u"报表模板 "_s + templateFile + u" 不存在！如有必要，请重新安装本软件！"_s);
                return Failed;
            }
            all.Append(TkvPreparedReport::Prepare(TkvReportTemplate::Load(templateFile), data));
        }
        all.SavePdf(out, QFileInfo(fileName).completeBaseName());
    } catch (const Exception& e) {
        Err(e.Message);
        return Failed;
    }
    return Ok;
}

} // namespace Kvtool
