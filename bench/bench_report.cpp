// The reports of a large project: 5,000 items in 60 rooms, with a remark on
// every fifth item. The budget report prepared for the preview (laid out and
// painted into the pictures the preview shows), and the four reports to PDF.

#include "kvQfbDataSet.h"
#include "kvReport.h"
#include "kvReportProject.h"
#include "kvYssDataSet.h"

#include <QGuiApplication>
#include <QPicture>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const QString kData = QStringLiteral(KV_SOURCE_DIR) + u"/data/"_s;

TkvReportTemplate shipped(const QString& name)
{
    QFile f(kData + name);
    f.open(QIODevice::ReadOnly);
    return TkvReportTemplate::Parse(QString::fromUtf8(f.readAll()), name);
}

TkvReportData largeProject()
{
    TkvYssDataSet ds;
    TqxField* type = ds.FieldByName(u"行类型"_s);
    TqxField* place = ds.FieldByName(u"施工地点"_s);
    TqxField* kind = ds.FieldByName(u"项目类别"_s);
    TqxField* name = ds.FieldByName(u"项目名称"_s);
    TqxField* unit = ds.FieldByName(u"单位"_s);
    TqxField* price = ds.FieldByName(u"单价"_s);
    TqxField* quantity = ds.FieldByName(u"数量"_s);
    TqxField* memo = ds.FieldByName(u"备注"_s);
    for (int i = 0; i < 5000; ++i) {
        ds.Append();
        type->SetAsInteger(rtItem);
        place->SetAsString(u"房间%1"_s.arg(int((i * 7919) % 60), 2, 10, QChar(u'0')));
        kind->SetAsString(u"工程%1"_s.arg(i % 13));
        name->SetAsString(u"墙面乳胶漆第%1项"_s.arg(i));
        unit->SetAsString(u"平方米"_s);
        price->SetAsFloat(10 + i % 97);
        quantity->SetAsFloat(1.5 + i % 11);
        if (i % 5 == 0)
            memo->SetAsString(u"含基层处理，主材另计"_s);
        ds.Post();
    }
    ds.SetGroupField(u"施工地点"_s);
    TkvQfbDataSet fees;
    for (const auto& [n, amount] : {std::pair{u"工程定额直接费费用"_s, 1e6}, {u"税费"_s, 1.7e5}, {u"人工费"_s, 3e4},
                                    {u"总费用"_s, 1.2e6}}) {
        fees.AppendRow();
        fees.Edit();
        fees.FieldByName(u"取费名称"_s)->SetAsString(n);
        fees.FieldByName(u"金额"_s)->SetAsFloat(amount);
        fees.Post();
    }
    return ProjectReport::Data(ds, fees,
                               {u"工程名称=大宅"_s, u"客户姓名=张先生"_s, u"地址=文三路 88 号"_s, u"编制日期=2026-12-01"_s},
                               u"老房翻新"_s);
}

void BM_BudgetReportForPreview(benchmark::State& state)
{
    const TkvReportData data = largeProject();
    const TkvReportTemplate t = shipped(u"PrintYss_Place.frf"_s);
    int pages = 0;
    for (auto _ : state) {
        const TkvPreparedReport r = TkvPreparedReport::Prepare(t, data);
        // The preview records every page as a picture before it shows any.
        for (int p = 0; p < r.PageCount(); ++p) {
            QPicture picture;
            QPainter painter(&picture);
            r.PaintPage(painter, p, 1200);
        }
        pages = r.PageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_BudgetReportForPreview)->Unit(benchmark::kMillisecond);

void BM_BudgetLayoutOnly(benchmark::State& state)
{
    const TkvReportData data = largeProject();
    const TkvReportTemplate t = shipped(u"PrintYss_Place.frf"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(TkvPreparedReport::Prepare(t, data).PageCount());
}
BENCHMARK(BM_BudgetLayoutOnly)->Unit(benchmark::kMillisecond);

void BM_FourReportsToPdf(benchmark::State& state)
{
    const TkvReportData data = largeProject();
    const TkvReportTemplate templates[] = {shipped(u"ProjectCover.frf"_s), shipped(u"ProjectInfo.frf"_s),
                                           shipped(u"PrintYss_Place.frf"_s), shipped(u"ProjectQfb.frf"_s)};
    QTemporaryDir dir;
    const QString file = dir.filePath(u"four.pdf"_s);
    for (auto _ : state) {
        TkvPreparedReport all;
        for (const TkvReportTemplate& t : templates)
            all.Append(TkvPreparedReport::Prepare(t, data));
        all.SavePdf(file);
    }
    state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_FourReportsToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
