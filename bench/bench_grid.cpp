// The data grid on an item library of 50,000 rows, offscreen, each paint
// rendered into an image the size of a large window (1000 x 700):
//   paint          the first screen of rows
//   page down      one screen further, then painted (the scrolling of a user holding Page Down)
//   jump           to a random row, then painted (dragging the scroll bar)
//   merged paint   the first screen with every 5th row a merged group header
//   edit           one cell posted through the grid's model, then painted
//   keystroke      the lookup panel's step: locate by query-code prefix, then painted
//   toggle all     the title cell's selection toggle over every row
//   filter         a filter switched on and off: two model resets with their repaint
// The same paint and page-down through a plain QTableView over the same model
// with Qt's own delegate show what the grid's drawing costs on top.

#include "qxDBCtrls.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 50000;

const QStringList kCategories = {u"材料"_s, u"拆除工程"_s, u"橱柜工程"_s, u"地板工程"_s, u"电器工程"_s,
                                 u"吊顶工程"_s, u"门窗工程"_s, u"其他"_s, u"油漆工程"_s, u"装修工程"_s};
const QStringList kUnits = {u"立方米"_s, u"吨"_s, u"公斤"_s, u"平方米"_s, u"个"_s, u"米"_s, u"桶"_s, u"项"_s};
const QStringList kWords = {u"实木"_s, u"复合"_s, u"石膏板"_s, u"铝扣板"_s, u"瓷砖"_s, u"乳胶漆"_s, u"不锈钢"_s};

QString queryCode(int i)
{
    QString code;
    for (int n = i + 17576; n > 0 && code.size() < 5; n /= 26)
        code.append(QChar(u'a' + n % 26));
    return code;
}

struct Library {
    TqxDataSet Table;
    TqxDataSource Source{&Table};
    TqxDBGrid Grid;
    QImage Image{1000, 700, QImage::Format_ARGB32_Premultiplied};

    Library()
    {
        Table.SetFieldDefs({{u"项目类别"_s, TqxFieldKind::String, 100},
                            {u"项目名称"_s, TqxFieldKind::String, 200},
                            {u"单位"_s, TqxFieldKind::String, 20},
                            {u"单价"_s, TqxFieldKind::Money},
                            {u"数量"_s, TqxFieldKind::Float},
                            {u"系统"_s, TqxFieldKind::Boolean},
                            {u"备注"_s, TqxFieldKind::String, 200},
                            {u"查询码"_s, TqxFieldKind::String, 50}});
        Table.CreateDataSet();
        for (int i = 0; i < kRows; ++i)
            Table.AppendRecord({kCategories[i % kCategories.size()],
                                QString(kWords[i % kWords.size()] + u"项目"_s + QString::number(i)),
                                kUnits[i % kUnits.size()], double((i * 37) % 100000) / 100.0, double(i % 50) / 4.0,
                                i % 2 == 0, i % 3 == 0 ? u"人工费,不含税"_s : QString(), queryCode(i)});
        Table.MergeChangeLog();
        Table.SetIndexFieldNames(u"查询码"_s);
        Table.First();
        Grid.resize(Image.size());
        Grid.SetDataSource(&Source);
        Grid.SetRowSelect(true);
        Grid.show();
        QApplication::processEvents();
    }

    void Paint()
    {
        Image.fill(Qt::white);
        Grid.render(&Image);
    }
};

// Made on first use, freed before the application goes.
std::unique_ptr<Library> gLibrary;

Library& library()
{
    if (!gLibrary)
        gLibrary = std::make_unique<Library>();
    return *gLibrary;
}

void resetView(Library& lib)
{
    lib.Grid.OnDrawGroupCell = nullptr;
    lib.Grid.SetGroups({});
    lib.Table.First();
    lib.Grid.verticalScrollBar()->setValue(0);
}

void BM_GridPaint(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    for (auto _ : state)
        lib.Paint();
}
BENCHMARK(BM_GridPaint)->Unit(benchmark::kMillisecond);

void BM_GridPageDown(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    QScrollBar* bar = lib.Grid.verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(bar->value() + bar->pageStep() < bar->maximum() ? bar->value() + bar->pageStep() : 0);
        lib.Paint();
    }
}
BENCHMARK(BM_GridPageDown)->Unit(benchmark::kMillisecond);

void BM_GridJump(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    QScrollBar* bar = lib.Grid.verticalScrollBar();
    QRandomGenerator random(7);
    for (auto _ : state) {
        bar->setValue(random.bounded(bar->maximum()));
        lib.Paint();
    }
}
BENCHMARK(BM_GridJump)->Unit(benchmark::kMillisecond);

void BM_GridMergedPaint(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    lib.Grid.SetGroups({u"1=项目类别,项目名称,单位,单价,数量;<Alignment>0</Alignment><Color>33023</Color>"_s});
    lib.Grid.OnDrawGroupCell = [](TqxDBGrid*, TqxColumn* column, QString& group, QString& text, TqxCellCanvas& c) {
        if (c.Row % 5 == 0 && column->Index() < 5) {
            group = u"1"_s;
            text = u"【分组】"_s;
        }
    };
    for (auto _ : state)
        lib.Paint();
    resetView(lib);
}
BENCHMARK(BM_GridMergedPaint)->Unit(benchmark::kMillisecond);

void BM_GridEditCell(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    TqxDataSetModel* model = lib.Grid.Model();
    int n = 0;
    for (auto _ : state) {
        model->setData(model->index(3, 4), QString::number(++n % 100), Qt::EditRole);
        lib.Paint();
    }
}
BENCHMARK(BM_GridEditCell)->Unit(benchmark::kMillisecond);

void BM_GridKeystroke(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    QRandomGenerator random(11);
    for (auto _ : state) {
        lib.Table.Locate(u"查询码"_s, queryCode(int(random.bounded(kRows))).left(3), loCaseInsensitive | loPartialKey);
        lib.Paint();
    }
}
BENCHMARK(BM_GridKeystroke)->Unit(benchmark::kMillisecond);

void BM_GridToggleAll(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    for (auto _ : state)
        lib.Grid.ToggleAllRows();
    lib.Grid.ClearSelectedRows();
}
BENCHMARK(BM_GridToggleAll)->Unit(benchmark::kMillisecond);

void BM_GridFilterOnOff(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    lib.Table.SetFilter(u"项目类别='材料'"_s);
    for (auto _ : state) {
        lib.Table.SetFiltered(true);
        lib.Paint();
        lib.Table.SetFiltered(false);
        lib.Paint();
    }
}
BENCHMARK(BM_GridFilterOnOff)->Unit(benchmark::kMillisecond);

// Qt's own table view and delegate over the same model.
void BM_PlainViewPaint(benchmark::State& state)
{
    Library& lib = library();
    resetView(lib);
    QTableView view;
    view.setModel(lib.Grid.Model());
    view.resize(lib.Image.size());
    view.show();
    QScrollBar* bar = view.verticalScrollBar();
    for (auto _ : state) {
        if (state.range(0))
            bar->setValue(bar->value() + bar->pageStep() < bar->maximum() ? bar->value() + bar->pageStep() : 0);
        lib.Image.fill(Qt::white);
        view.render(&lib.Image);
    }
}
BENCHMARK(BM_PlainViewPaint)->Arg(0)->Arg(1)->ArgName("pagedown")->Unit(benchmark::kMillisecond);

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
    gLibrary.reset();
    return 0;
}
