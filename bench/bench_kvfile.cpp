// Container load and save on a project the size of a large budget.

#include "KavelinFiles.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void fill(TKVFile& f)
{
    f.SaveSection(u"预算书"_s, QByteArray(1 << 20, 'b'));
    f.SaveSection(u"工程信息"_s, QByteArray(2048, 'i'));
    f.SaveSection(u"取费表"_s, QByteArray(4096, 'q'));
    f.SetProjectName(u"工程预算样本"_s);
}

void BM_ContainerSave(benchmark::State& state)
{
    QTemporaryDir dir;
    TKVFile f;
    fill(f);
    const QString name = dir.filePath(u"big.KVP"_s);
    for (auto _ : state)
        f.SaveToFile(name);
    state.SetBytesProcessed(state.iterations() * f.ToBytes().size());
}
BENCHMARK(BM_ContainerSave)->Unit(benchmark::kMillisecond);

void BM_ContainerLoad(benchmark::State& state)
{
    QTemporaryDir dir;
    TKVFile f;
    fill(f);
    const QString name = dir.filePath(u"big.KVP"_s);
    f.SaveToFile(name);
    TKVFile g;
    for (auto _ : state)
        g.LoadFromFile(name);
    state.SetBytesProcessed(state.iterations() * f.ToBytes().size());
}
BENCHMARK(BM_ContainerLoad)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
