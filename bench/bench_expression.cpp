// The fee formulas of the standard template, evaluated as the fee computation
// does: through Calculate with a variable callback, every formula parsed
// afresh. muparser runs the same formulas as the reference, parsed afresh each
// time and parsed once.

#include "qxExpression.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr double kDirectCost = 169424.2;

const std::array<QString, 4> kFormulas = {u"[工程直接费]"_s, u"[1]*0.17"_s, u"[1]*.03"_s, u"[1]+[2]+[3]"_s};
const std::array<std::string, 4> kMuFormulas = {"direct", "r1*0.17", "r1*.03", "r1+r2+r3"};

// The host side of the fee table: the budget total and the amounts of the
// rows computed so far.
struct FeeHost {
    std::array<double, 5> amounts{};

    void Attach(TqxExp& exp)
    {
        exp.Tag = 1;
        exp.OnGetValue = [this](TqxExp* sender, const QString& name, TqxVariant& value) {
            if (name == u"工程直接费"_s) {
                value = kDirectCost;
                return;
            }
            bool ok = false;
            const int row = name.toInt(&ok);
            if (sender->Tag == 1 && ok && row >= 1 && row < int(amounts.size()))
                value = amounts[size_t(row)];
        };
    }
};

void BM_FeeTable(benchmark::State& state)
{
    TqxExp exp;
    FeeHost host;
    host.Attach(exp);
    TqxVariant value;
    for (auto _ : state) {
        for (size_t i = 0; i < kFormulas.size(); ++i) {
            exp.Calculate(kFormulas[i], value);
            host.amounts[i + 1] = value.ToDouble();
        }
        benchmark::DoNotOptimize(host.amounts);
    }
    if (!exp.Succeeded || host.amounts[4] != kDirectCost + kDirectCost * 0.17 + kDirectCost * .03)
        state.SkipWithError("wrong fee amounts");
    state.SetItemsProcessed(state.iterations() * int64_t(kFormulas.size()));
}
BENCHMARK(BM_FeeTable);

void BM_Formula(benchmark::State& state)
{
    TqxExp exp;
    FeeHost host;
    host.amounts = {0, kDirectCost, kDirectCost * 0.17, kDirectCost * .03, 0};
    host.Attach(exp);
    const QString& formula = kFormulas[size_t(state.range(0))];
    state.SetLabel(formula.toStdString());
    TqxVariant value;
    for (auto _ : state) {
        exp.Calculate(formula, value);
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Formula)->DenseRange(0, 3);

struct MuFeeTable {
    std::array<double, 5> amounts{};
    double direct = kDirectCost;
    std::array<mu::Parser, 4> parsers;

    MuFeeTable()
    {
        for (mu::Parser& p : parsers) {
            p.DefineVar("direct", &direct);
            p.DefineVar("r1", &amounts[1]);
            p.DefineVar("r2", &amounts[2]);
            p.DefineVar("r3", &amounts[3]);
        }
    }
};

void BM_MuParserAfresh(benchmark::State& state)
{
    MuFeeTable t;
    for (auto _ : state) {
        for (size_t i = 0; i < kMuFormulas.size(); ++i) {
            t.parsers[i].SetExpr(kMuFormulas[i]);
            t.amounts[i + 1] = t.parsers[i].Eval();
        }
        benchmark::DoNotOptimize(t.amounts);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kMuFormulas.size()));
}
BENCHMARK(BM_MuParserAfresh);

void BM_MuParserParsedOnce(benchmark::State& state)
{
    MuFeeTable t;
    for (size_t i = 0; i < kMuFormulas.size(); ++i)
        t.parsers[i].SetExpr(kMuFormulas[i]);
    for (auto _ : state) {
        for (size_t i = 0; i < kMuFormulas.size(); ++i)
            t.amounts[i + 1] = t.parsers[i].Eval();
        benchmark::DoNotOptimize(t.amounts);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kMuFormulas.size()));
}
BENCHMARK(BM_MuParserParsedOnce);

} // namespace

BENCHMARK_MAIN();
