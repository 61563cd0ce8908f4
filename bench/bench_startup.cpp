// Kavelin's start-up on the shipped data: the real program started as a
// process on a copy of the shipped files, ending as soon as its main
// window has been painted (KV_QUIT_AFTER_START), so the figure runs from
// process start to the painted window plus an orderly shut-down. The splash
// does not hold anything up: it closes from its own timer later.

#include "AppClasses.h"
#include "qxIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

struct Installation {
    QTemporaryDir Dir;

    Installation()
    {
        const QString from = QStringLiteral(KV_PRISTINE_STAGE_DIR);
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString to = Dir.path() + file.mid(from.size());
            QDir().mkpath(QFileInfo(to).path());
            QFile::copy(file, to);
        }
        QFile::copy(QStringLiteral(KV_STAGE_DIR) + u"/Kavelin"_s, Dir.filePath(u"Kavelin"_s));
        // An installed copy: the App file names its folder; the company has a
        // name, so no settings dialog waits for an answer.
        TqxIniFile app(Dir.filePath(u"App"_s));
        app.WriteString(u"Paths"_s, u"App"_s, Dir.path() + u'/');
        app.UpdateFile();
        TqxIniFile setup(Dir.filePath(u"IniFiles/Setup.ini"_s));
        setup.WriteString(u"Variant"_s, u"单位名称"_s, u"安居装饰"_s);
        setup.UpdateFile();
    }
};

void BM_StartToPaintedWindow(benchmark::State& state)
{
    Installation inst;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"KV_QUIT_AFTER_START"_s, u"1"_s);
    if (!env.contains(u"QT_QPA_PLATFORM"_s))
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(inst.Dir.path());
        p.start(inst.Dir.filePath(u"Kavelin"_s), {});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            state.SkipWithError("Kavelin did not start and end cleanly");
            break;
        }
    }
}
BENCHMARK(BM_StartToPaintedWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
