// kvtool: the command-line companion of Kavelin. It reaches the same tables,
// containers and formulas as the program, for scripts and spreadsheets.

#include "KvtoolCommon.h"
#include "qxFileSystem.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Command {
    QString name;
    QString usage;
    int (*run)(const QStringList& args);
};

const Command kCommands[] = {
    {u"kvfile"_s, u"kvtool kvfile list FILE        项目、模板或备份文件的文件头"_s, Kvtool::RunKvfile},
    {u"calc"_s, u"kvtool calc EXPR [--var NAME=VALUE]...  计算取费公式，输出值的类型和值"_s, Kvtool::RunCalc},
    {u"table"_s, u"kvtool table dump FILE [--csv]  表文件的字段和记录\n  kvtool table import FILE --csv CSV  把 CSV 文件的记录追加到表文件"_s, Kvtool::RunTable},
    {u"budget"_s, u"kvtool budget FILE [--view 施工地点|项目类别]  分组后的预算书和计算后的取费表"_s, Kvtool::RunBudget},
    {u"report"_s, u"kvtool report FILE --out FILE.pdf [--page 封面|工程信息|预算书|取费表] [--view 施工地点|项目类别|无]\n"
                  u"                                把报表写成 PDF 文件"_s, Kvtool::RunReport},
};

int help()
{
    Kvtool::Out(u"kvtool：Kavelin 的命令行工具"_s);
    Kvtool::Out(QString());
    Kvtool::Out(u"用法："_s);
    for (const Command& c : kCommands)
        Kvtool::Out(u"  "_s + c.usage);
    Kvtool::Out(u"  kvtool --help                 显示本说明"_s);
    return Kvtool::Ok;
}

} // namespace

int main(int argc, char* argv[])
{
    FileSystem::IgnoreFileSizeSignal();
    // Reports lay out text, which takes the GUI library; they never need a display.
    const bool report = argc > 1 && std::strcmp(argv[1], "report") == 0;
    std::unique_ptr<QTemporaryDir> runtime; // the private folder a headless Qt wants, when the session has none
    if (report) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && (runtime = std::make_unique<QTemporaryDir>())->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    const std::unique_ptr<QCoreApplication> app(report ? new QGuiApplication(argc, argv)
                                                       : new QCoreApplication(argc, argv));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        help();
        return Kvtool::Usage;
    }
    const QString name = args.takeFirst();
    if (name == u"--help"_s || name == u"-h"_s || name == u"help"_s)
        return Kvtool::FinishOutput(help());
    for (const Command& c : kCommands)
        if (c.name == name)
            return Kvtool::FinishOutput(c.run(args));
    Kvtool::Err(u"未知的命令："_s + name + u"（kvtool --help 列出所有命令）"_s);
    return Kvtool::Usage;
}
