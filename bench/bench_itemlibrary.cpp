// The item library window over a library of 50,000 items, offscreen:
// choosing a category, which rebuilds the window's filtered view of the
// library and repaints the item grid.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "Win_ItemTemplate.h"
#include "kvTreeView.h"
#include "qxDBCtrls_DBGrid.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void BM_ChooseCategory(benchmark::State& state)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(u"Data"_s));
    const QString stage = QStringLiteral(KV_PRISTINE_STAGE_DIR);
    QFile::copy(stage + u"/App"_s, dir.filePath(u"App"_s));
    for (const QString& f : {u"ItemCateDB"_s, u"MeasureUnit"_s, u"MemoDB"_s, u"WordsDb"_s})
        QFile::copy(stage + u"/Data/"_s + f, dir.filePath(u"Data/"_s + f));
    {
        TqxDataSet items;
        items.SetFieldDefs(TDataModule_Data::ItemFieldDefs());
        items.CreateDataSet();
        const QString kinds[] = {u"材料"_s, u"门窗工程"_s, u"电器工程"_s, u"油漆工程"_s, u"地板工程"_s};
        const QString names[] = {u"防滑地砖"_s, u"铝合金推拉窗"_s, u"石膏板吊顶"_s, u"乳胶漆"_s, u"实木地板"_s};
        for (int i = 0; i < 50000; ++i)
            items.AppendRecord({QString(), QString(), kinds[i % 5], QString(names[i * 7 % 5] + u"第%1号"_s.arg(i)), u"平方米"_s,
                                100.0 + i % 300, QVariant(), u"人工费"_s, u"x%1"_s.arg(i)});
        items.SaveToFile(dir.filePath(u"Data/ItemsDB"_s));
    }
    TAppGlobalInfo info;
    info.WriteBackOnFree = false;
    info.Initialize(dir.path(), {});
    TDataModule_Data data;
    data.DataModuleCreate(info);
    TForm_ItemTemp window(data, info, *info.DragInfo);
    window.resize(700, 500);
    window.show();
    QApplication::processEvents();
    TkvTreeView* tree = window.kvTreeView1;
    QTreeWidgetItem* nodes[] = {tree->FindPath({u"项目类别"_s, u"材料"_s}), tree->FindPath({u"项目类别"_s, u"材料"_s, u"砖"_s}),
                                tree->FindPath({u"项目类别"_s, u"门窗工程"_s}), tree->topLevelItem(0)};
    int n = 0;
    for (auto _ : state) {
        tree->setCurrentItem(nodes[n++ % 4]);
        window.qxDBGrid1->viewport()->repaint();
    }
    state.counters["shown"] = window.CDS_SYSItems.RecordCount();
}
BENCHMARK(BM_ChooseCategory)->Unit(benchmark::kMillisecond);

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
    return 0;
}
