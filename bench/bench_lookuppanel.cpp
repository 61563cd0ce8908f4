// The quick-input panel of the budget sheet over an item library of 50,000
// rows, offscreen; every step ends with the panel painted into an image:
//   open          the item-name page opened on a row (0: no category, the
//                 whole library; 1: a category, filtered row by row)
//   type          one keystroke in the input box: a query code that only
//                 rows near the end of the library start with (0), or a
//                 text no query code starts with, so the names are searched too (1)
//   arrow         Down in the input box: the lookup moves, the text follows
//   keyword       a keyword chosen, then cleared: two filter passes

#include "DataModule_App.h"
#include "kvLookupPanel.h"
#include "kvYssDataSet.h"
#include "qxDBCtrls.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kItems = 50000;

const QStringList kCategories = {u"材料"_s,     u"拆除工程"_s, u"橱柜工程"_s, u"地板工程"_s,   u"电器工程"_s,
                                 u"吊顶工程"_s, u"门窗工程"_s, u"其他"_s,     u"砌粉工程"_s,   u"墙裙工程"_s,
                                 u"上下水工程"_s, u"油漆工程"_s, u"装修工程"_s};
const QStringList kWords = {u"实木"_s, u"复合"_s, u"石膏板"_s, u"铝扣板"_s, u"瓷砖"_s, u"乳胶漆"_s, u"开关"_s};

QString queryCode(int i)
{
    QString code;
    for (int n = i + 17576; n > 0 && code.size() < 5; n /= 26)
        code.append(QChar(u'a' + n % 26));
    return code;
}

struct Host {
    TDataModule_Data Data;
    TkvYssDataSet Budget;
    TqxDataSource Source{&Budget};
    TqxDBGrid Grid;
    QAction InputPanel;
    TkvLookupPanel* Panel;
    QImage Image{TkvLookupPanel::PanelWidth, TkvLookupPanel::PreferredHeight, QImage::Format_ARGB32_Premultiplied};
    QStringList LateCodes;

    Host()
    {
        Data.CDS_SYSItems.SetFieldDefs(TDataModule_Data::ItemFieldDefs());
        Data.CDS_SYSItems.CreateDataSet();
        for (int i = 0; i < kItems; ++i)
            Data.CDS_SYSItems.AppendRecord({QString(), QString(), kCategories[i % kCategories.size()],
                                            QString(kWords[i % kWords.size()] + (i % 5 == 0 ? u"安装"_s : u"项目"_s) +
                                                    QString::number(i)),
                                            u"平方米"_s, double((i * 37) % 100000) / 100.0, QVariant(),
                                            i % 3 == 0 ? u"人工费"_s : QString(), queryCode(i)});
        Data.CDS_SYSItems.MergeChangeLog();
        Data.CDS_SYSItems.SetIndexFieldNames(u"项目类别;项目名称"_s);
        for (int i = kItems - 50; i < kItems; ++i)
            LateCodes << queryCode(i);
        Data.CDS_SYSItemCate.SetFieldDefs(TDataModule_Data::ItemCateFieldDefs());
        Data.CDS_SYSItemCate.CreateDataSet();
        Data.CDS_MeasureUnit.SetFieldDefs(TDataModule_Data::MeasureUnitFieldDefs());
        Data.CDS_MeasureUnit.CreateDataSet();
        Data.CDS_Memos.SetFieldDefs(TDataModule_Data::MemoFieldDefs());
        Data.CDS_Memos.CreateDataSet();
        Data.CDS_Words.SetFieldDefs(TDataModule_Data::WordFieldDefs());
        Data.CDS_Words.CreateDataSet();
        for (const QString& w : {u"安装"_s, u"修理"_s, u"砌"_s})
            Data.CDS_Words.AppendRecord({QString(), w});

        Budget.SetFieldDefs(TkvYssDataSet::BudgetFieldDefs());
        Budget.CreateDataSet();
        Budget.SetGroupField(u"施工地点"_s);
        Budget.AddGroup(u"厨房"_s);
        Budget.AppendItem(Budget.FindGroup(u"厨房"_s));

        InputPanel.setCheckable(true);
        InputPanel.setChecked(true);
        Grid.resize(900, 640);
        for (const QString& f : {u"序号"_s, u"施工地点"_s, u"项目类别"_s, u"项目名称"_s, u"单位"_s, u"单价"_s,
                                 u"数量"_s, u"金额"_s, u"备注"_s})
            Grid.AddColumn(f);
        Grid.SetDataSource(&Source);
        Panel = new TkvLookupPanel(Grid, Budget, Data, InputPanel);
        Grid.show();
        QApplication::processEvents();
        Grid.SetSelectedIndex(3);
    }

    void SetCategory(const QString& kind)
    {
        Budget.Edit();
        Budget.FieldByName(u"项目类别"_s)->SetAsString(kind);
        Budget.Post();
    }

    void Open()
    {
        Panel->HideLookup();
        Panel->ShowLookup(u"项目名称"_s);
    }

    void Paint()
    {
        Image.fill(Qt::white);
        Panel->render(&Image);
    }
};

std::unique_ptr<Host> gHost;

Host& host()
{
    if (!gHost)
        gHost = std::make_unique<Host>();
    return *gHost;
}

void BM_LookupOpen(benchmark::State& state)
{
    Host& h = host();
    h.SetCategory(state.range(0) ? u"电器工程"_s : QString());
    for (auto _ : state) {
        h.Open();
        h.Paint();
    }
    state.counters["offered"] = h.Panel->CDS_LookUp.RecordCount();
    h.SetCategory(QString());
}
BENCHMARK(BM_LookupOpen)->Arg(0)->Arg(1)->ArgName("category")->Unit(benchmark::kMillisecond);

void BM_LookupType(benchmark::State& state)
{
    Host& h = host();
    h.Open();
    QLineEdit* input = h.Panel->Edit_SelectInput;
    int i = 0;
    for (auto _ : state) {
        // The last character of a code typed onto the ones before it.
        const QString code = state.range(0) ? u"卫生间"_s + QString::number(i % 10) : h.LateCodes[i % h.LateCodes.size()];
        state.PauseTiming();
        input->setText(code.chopped(1));
        state.ResumeTiming();
        QTest::keyClick(input, code.back().toLatin1());
        h.Paint();
        ++i;
    }
}
BENCHMARK(BM_LookupType)->Arg(0)->Arg(1)->ArgName("names")->Unit(benchmark::kMillisecond);

void BM_LookupArrow(benchmark::State& state)
{
    Host& h = host();
    h.Open();
    QLineEdit* input = h.Panel->Edit_SelectInput;
    int i = 0;
    for (auto _ : state) {
        QTest::keyClick(input, ++i % 200 < 100 ? Qt::Key_Down : Qt::Key_Up);
        h.Paint();
    }
}
BENCHMARK(BM_LookupArrow)->Unit(benchmark::kMillisecond);

void BM_LookupKeyword(benchmark::State& state)
{
    Host& h = host();
    h.Open();
    QComboBox* box = h.Panel->ComboBox_LookUpKey;
    for (auto _ : state) {
        box->setEditText(u"安装"_s);
        h.Paint();
        box->setEditText(QString());
        h.Paint();
    }
    state.SetItemsProcessed(state.iterations() * 2); // per keyword change: the time over items/s
}
BENCHMARK(BM_LookupKeyword)->Unit(benchmark::kMillisecond);

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
