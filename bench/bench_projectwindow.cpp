// The project window at the size of a large project (5,000 items in 60
// groups), offscreen: opening it with the budget page painted, one quantity
// edit with its repaint, and a view switch with its regrouping and repaint.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "KavelinFiles.h"
#include "Win_Project.h"
#include "Win_ProjectBudget.h"
#include "kvYssDataSet.h"
#include "qxDBCtrls_DBGrid.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

struct Host {
    QTemporaryDir Dir;
    TAppGlobalInfo Info;
    TDataModule_Data Data;
    QMdiArea Area;
    QString Project;

    Host()
    {
        QFile::copy(QStringLiteral(KV_PRISTINE_STAGE_DIR) + u"/App"_s, Dir.filePath(u"App"_s));
        Info.WriteBackOnFree = false;
        Info.Initialize(Dir.path(), {});
        Project = Dir.filePath(u"big.KVP"_s);
        TkvYssDataSet ds;
        TqxField* type = ds.FieldByName(u"行类型"_s);
        for (int i = 0; i < 5000; ++i) {
            ds.Append();
            type->SetAsInteger(rtItem);
            ds.FieldByName(u"施工地点"_s)->SetAsString(u"房间%1"_s.arg(int((i * 7919) % 60), 2, 10, QChar(u'0')));
            ds.FieldByName(u"项目类别"_s)->SetAsString(u"工程%1"_s.arg(i % 13));
            ds.FieldByName(u"项目名称"_s)->SetAsString(u"墙面乳胶漆第%1项"_s.arg(i));
            ds.FieldByName(u"单位"_s)->SetAsString(u"平方米"_s);
            ds.FieldByName(u"单价"_s)->SetAsFloat(10 + i % 97);
            ds.FieldByName(u"数量"_s)->SetAsFloat(1.5 + i % 11);
            ds.Post();
        }
        ds.SetGroupField(u"施工地点"_s);
        TKVFile file;
        file.SaveSection(u"预算书"_s, ds.SaveToBytes());
        file.SetProjectName(u"大工程"_s);
        file.WriteValue(u"视图"_s, u"施工地点"_s);
        file.SaveToFile(Project);
        Area.resize(1200, 800);
        Area.show();
        QApplication::processEvents();
    }

    TForm_Project* Open()
    {
        TForm_Project* w = TForm_Project::OpenProject(&Area, Info, Data, Project);
        w->ShowPage(u"预算书"_s);
        w->BudgetPage->qxDBGrid_Yss->viewport()->repaint();
        return w;
    }
};

std::unique_ptr<Host> gHost;

Host& host()
{
    if (!gHost)
        gHost = std::make_unique<Host>();
    return *gHost;
}

void BM_OpenProjectWindow(benchmark::State& state)
{
    Host& h = host();
    for (auto _ : state) {
        TForm_Project* w = h.Open();
        state.PauseTiming();
        delete w;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenProjectWindow)->Unit(benchmark::kMillisecond);

void BM_QuantityEditRepaint(benchmark::State& state)
{
    Host& h = host();
    TForm_Project* w = h.Open();
    TqxDBGrid* grid = w->BudgetPage->qxDBGrid_Yss;
    TkvYssDataSet& ds = w->BudgetPage->DataSet();
    ds.Locate(u"组号;行类型;序号"_s, QVariantList{1, int(rtItem), 3});
    const int row = grid->Model()->RowOf(ds.GetBookmark());
    const QModelIndex cell = grid->Model()->index(row, grid->FindColumn(u"数量"_s)->Index());
    double q = 1;
    for (auto _ : state) {
        grid->Model()->setData(cell, QString::number(q += 0.5)); // as the cell editor writes it
        grid->viewport()->repaint();
    }
    delete w;
}
BENCHMARK(BM_QuantityEditRepaint)->Unit(benchmark::kMillisecond);

void BM_ViewSwitchRepaint(benchmark::State& state)
{
    Host& h = host();
    TForm_Project* w = h.Open();
    QAction* place = w->findChild<QAction*>(u"View_Place"_s);
    QAction* kind = w->findChild<QAction*>(u"View_ItemKind"_s);
    bool byKind = true;
    for (auto _ : state) {
        (byKind ? kind : place)->trigger();
        byKind = !byKind;
        w->BudgetPage->qxDBGrid_Yss->viewport()->repaint();
    }
    delete w;
}
BENCHMARK(BM_ViewSwitchRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gHost.reset();
    return 0;
}
