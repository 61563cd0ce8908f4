// The fee computation of a long fee table: every row adds one to the amount
// of the row before it ("[n-1]+1"), so each formula looks a row up by number.

#include "kvQfbDataSet.h"
#include "kvYssDataSet.h"
#include "qxExpression.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void BM_ComputeChainedFees(benchmark::State& state)
{
    const int rows = int(state.range(0));
    TkvYssDataSet budget;
    TkvQfbDataSet fees;
    TqxExp exp;
    fees.qxExp = &exp;
    exp.OnGetValue = [&](TqxExp* sender, const QString& name, TqxVariant& value) {
        FeeVariableValue(budget, fees, sender, name, value);
    };
    TqxField* formula = fees.FieldByName(u"计算公式"_s);
    for (int no = 1; no <= rows; ++no) {
        fees.AppendRow();
        fees.Edit();
        formula->SetAsString(no == 1 ? u"1"_s : u"[%1]+1"_s.arg(no - 1));
        fees.Post();
    }
    for (auto _ : state)
        fees.ComputeFees();
    fees.Last();
    if (fees.FieldByName(u"金额"_s)->AsFloat() != rows)
        state.SkipWithError("the last row does not hold the row count");
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_ComputeChainedFees)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
