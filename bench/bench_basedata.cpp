// Opening the base data with an item library of 50,000 rows.

#include "AppClasses.h"
#include "DataModule_App.h"
#include "GbkText.h"
#include "qxFileSystem.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void BM_DataModuleCreate(benchmark::State& state)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(u"Data"_s));
    const QString app = u"[Software]\r\nSoftName=Kavelin\r\nVersion=1.0\r\n[Files]\r\n系统项目库=[数据]ItemsDB\r\n"
                        "系统项目类别库=[数据]ItemCateDB\r\n计量单位库=[数据]MeasureUnit\r\n工艺材料=[数据]MemoDB\r\n"
                        "单词库=[数据]WordsDb\r\n[Paths]\r\n数据=[App]Data\\\r\n"_s;
    FileSystem::WriteFileAtomic(dir.filePath(u"App"_s), Gbk::Encode(app));
    {
        TqxDataSet items;
        items.SetFieldDefs(TDataModule_Data::ItemFieldDefs());
        items.CreateDataSet();
        const QString kinds[] = {u"材料"_s, u"门窗工程"_s, u"电器工程"_s, u"油漆工程"_s, u"地板工程"_s};
        for (int i = 0; i < 50000; ++i)
            items.AppendRecord({QString(), QString(), kinds[i % 5], u"铝合金推拉窗第%1号"_s.arg(i * 7919 % 50000), u"平方米"_s,
                                100.0 + i % 300, QVariant(), u"人工费"_s, u"lhjtlc%1"_s.arg(i)});
        items.SaveToFile(dir.filePath(u"Data/ItemsDB"_s));
    }
    TAppGlobalInfo info;
    info.WriteBackOnFree = false;
    info.Initialize(dir.path(), {});
    for (auto _ : state) {
        TDataModule_Data data;
        data.DataModuleCreate(info);
        benchmark::DoNotOptimize(data.CDS_SYSItems.RecordCount());
    }
}
BENCHMARK(BM_DataModuleCreate)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
