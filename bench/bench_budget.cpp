// The budget sheet at the size of a large project: 5,000 items in 60 groups.

#include "KavelinFiles.h"
#include "kvYssDataSet.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void fill(TkvYssDataSet& ds)
{
    TqxField* type = ds.FieldByName(u"行类型"_s);
    TqxField* place = ds.FieldByName(u"施工地点"_s);
    TqxField* kind = ds.FieldByName(u"项目类别"_s);
    TqxField* name = ds.FieldByName(u"项目名称"_s);
    TqxField* price = ds.FieldByName(u"单价"_s);
    TqxField* quantity = ds.FieldByName(u"数量"_s);
    for (int i = 0; i < 5000; ++i) {
        ds.Append();
        type->SetAsInteger(rtItem);
        place->SetAsString(u"房间%1"_s.arg(int((i * 7919) % 60), 2, 10, QChar(u'0')));
        kind->SetAsString(u"工程%1"_s.arg(i % 13));
        name->SetAsString(u"墙面乳胶漆第%1项"_s.arg(i));
        price->SetAsFloat(10 + i % 97);
        quantity->SetAsFloat(1.5 + i % 11);
        ds.Post();
    }
}

void BM_Regroup(benchmark::State& state)
{
    TkvYssDataSet ds;
    fill(ds);
    bool byPlace = true;
    for (auto _ : state) {
        ds.SetGroupField(byPlace ? u"施工地点"_s : u"项目类别"_s);
        byPlace = !byPlace;
    }
    state.counters["groups"] = ds.GroupCount();
}
BENCHMARK(BM_Regroup)->Unit(benchmark::kMillisecond);

void BM_QuantityEdit(benchmark::State& state)
{
    TkvYssDataSet ds;
    fill(ds);
    ds.SetGroupField(u"施工地点"_s);
    ds.Locate(u"组号;行类型;序号"_s, QVariantList{30, int(rtItem), 40});
    TqxField* quantity = ds.FieldByName(u"数量"_s);
    double q = 1;
    for (auto _ : state) {
        ds.Edit();
        quantity->SetAsFloat(q += 0.5); // the amount follows; the post re-totals the group
        ds.Post();
    }
}
BENCHMARK(BM_QuantityEdit)->Unit(benchmark::kMicrosecond);

void BM_TotalAmount(benchmark::State& state)
{
    TkvYssDataSet ds;
    fill(ds);
    ds.SetGroupField(u"施工地点"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(ds.TotalAmount());
}
BENCHMARK(BM_TotalAmount)->Unit(benchmark::kMicrosecond);

void BM_OpenProjectBudget(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"big.KVP"_s);
    {
        TkvYssDataSet ds;
        fill(ds);
        ds.SetGroupField(u"施工地点"_s);
        TKVFile file;
        file.SaveSection(u"预算书"_s, ds.SaveToBytes());
        file.WriteValue(u"视图"_s, u"施工地点"_s);
        file.SaveToFile(path);
    }
    for (auto _ : state) {
        TKVFile file;
        file.LoadFromFile(path);
        TkvYssDataSet ds;
        ds.LoadBudget(*file.SectionData(u"预算书"_s));
        ds.SetGroupField(file.ReadValue(u"视图"_s));
        benchmark::DoNotOptimize(ds.GroupCount());
    }
}
BENCHMARK(BM_OpenProjectBudget)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
