// kvstage: writes the staged installation from the seed data, laid out as the
// installer lays it out and in the installation's own encodings: GBK text with
// CR LF, table packets, container files, pictures. The build runs it.
//
//   kvstage --data SEED_FOLDER --out STAGE_FOLDER

#include "DataModule_App.h"
#include "GbkText.h"
#include "KavelinFiles.h"
#include "StageFiles.h"
#include "kvQfbDataSet.h"
#include "kvYssDataSet.h"
#include "qxErrors.h"
#include "qxExpression.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString gSeed;
QString gOut;

QString seed(const QString& name) { return gSeed + u'/' + name; }
QString out(const QString& name) { return gOut + u'/' + name; }

void writeTable(const QString& file, const TqxFieldDefs& defs, const QString& tsv)
{
    TqxDataSet table;
    table.SetFieldDefs(defs);
    table.CreateDataSet();
    Stage::AppendTsv(table, seed(tsv));
    Stage::Write(out(file), table.SaveToBytes());
}

void fillBudget(TkvYssDataSet& budget, const QString& tsv)
{
    // The row type goes in first, so that the amounts follow price and quantity.
    TqxDataSet items;
    items.SetFieldDefs(TkvYssDataSet::BudgetFieldDefs());
    items.CreateDataSet();
    Stage::AppendTsv(items, seed(tsv));
    for (items.First(); !items.Eof(); items.Next()) {
        budget.Append();
        budget.FieldByName(u"行类型"_s)->SetAsInteger(rtItem);
        for (int f = 0; f < items.FieldCount(); ++f)
            if (!items.Fields(f)->IsNull())
                budget.FieldByName(items.Fields(f)->FieldName())->SetAsVariant(items.Fields(f)->AsVariant());
        budget.Post();
    }
}

// A project or template: the budget grouped by place, the information list,
// the remarks and the fee table computed over the budget.
QByteArray project(const QString& budgetTsv, const QString& info, const QString& memo, const QString& projectName)
{
    TkvYssDataSet budget;
    if (!budgetTsv.isEmpty())
        fillBudget(budget, budgetTsv);
    budget.SetGroupField(u"施工地点"_s);

    TkvQfbDataSet fees;
    Stage::AppendTsv(fees, seed(u"standard_fees.tsv"_s));
    TqxExp exp;
    fees.qxExp = &exp;
    exp.OnGetValue = [&](TqxExp* sender, const QString& name, TqxVariant& value) {
        FeeVariableValue(budget, fees, sender, name, value);
    };
    fees.ComputeFees();

    TKVFile file;
    file.SaveSection(u"预算书"_s, budget.SaveToBytes());
    file.SaveSection(u"工程信息"_s, Stage::GbkText(seed(info)));
    file.SaveSection(u"备注"_s, memo.isEmpty() ? QByteArray() : Stage::GbkText(seed(memo)));
    file.SaveSection(u"取费表"_s, fees.SaveToBytes());
    if (!projectName.isEmpty())
        file.SetProjectName(projectName);
    file.WriteValue(u"录入板"_s, u"-1"_s);
    // A project started from the template opens in the category view.
    file.WriteValue(u"视图"_s, projectName.isEmpty() ? u"项目类别"_s : u"施工地点"_s);
    return file.ToBytes();
}

void stage()
{
    for (const QString& folder : {u"Data"_s, u"IniFiles/Grids"_s, u"Bin"_s, u"Picture"_s, u"Help"_s, u"工程"_s,
                                  u"备份"_s, u"模板"_s})
        QDir().mkpath(out(folder));

    Stage::Write(out(u"App"_s), Stage::GbkText(seed(u"App.ini"_s)));
    Stage::Write(out(u"IniFiles/Setup.ini"_s), Stage::GbkText(seed(u"Setup.ini"_s)));
    Stage::Write(out(u"IniFiles/ExternalProgram.lst"_s), Stage::GbkText(seed(u"ExternalProgram.lst"_s)));
    if (!QFile::exists(out(u"IniFiles/HistoryFiles.lst"_s)))
        Stage::Write(out(u"IniFiles/HistoryFiles.lst"_s), QByteArray());
    Stage::Write(out(u"Help/EveryDayTip"_s), Stage::GbkText(seed(u"tips.txt"_s)));
    Stage::Write(out(u"License.TXT"_s), Stage::GbkText(seed(u"License.txt"_s)));

    writeTable(u"Data/ItemsDB"_s, TDataModule_Data::ItemFieldDefs(), u"items.tsv"_s);
    writeTable(u"Data/ItemCateDB"_s, TDataModule_Data::ItemCateFieldDefs(), u"ItemCateDB.tsv"_s);
    writeTable(u"Data/MeasureUnit"_s, TDataModule_Data::MeasureUnitFieldDefs(), u"MeasureUnit.tsv"_s);
    writeTable(u"Data/MemoDB"_s, TDataModule_Data::MemoFieldDefs(), u"MemoDB.tsv"_s);
    writeTable(u"Data/WordsDb"_s, TDataModule_Data::WordFieldDefs(), u"WordsDb.tsv"_s);

    // The report templates, under the names the App file gives them.
    for (const QString& report : {u"PrintYss_NoGroup.frf"_s, u"PrintYss_Kind.frf"_s, u"PrintYss_Place.frf"_s,
                                  u"ProjectCover.frf"_s, u"ProjectInfo.frf"_s, u"ProjectQfb.frf"_s})
        Stage::Write(out(u"Data/"_s + report), Stage::GbkText(seed(report)));

    Stage::Write(out(u"Data/Standard.kvt"_s), project(QString(), u"standard_info.txt"_s, QString(), QString()));
    Stage::Write(out(u"工程/预算示例.KVP"_s),
                 project(u"sample_budget.tsv"_s, u"sample_info.txt"_s, u"sample_memo.txt"_s, u"工程预算样本"_s));

    Stage::Write(out(u"Picture/Flash.jpg"_s), Stage::ProductPicture());
    Stage::Write(out(u"Picture/Tag.ico"_s), Stage::TagIcon());
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--data"_s)
            gSeed = args[i + 1];
        else if (args[i] == u"--out"_s)
            gOut = args[i + 1];
    }
    if (gSeed.isEmpty() || gOut.isEmpty()) {
        std::fprintf(stderr, "usage: kvstage --data SEED_FOLDER --out STAGE_FOLDER\n");
        return 2;
    }
    try {
        stage();
    } catch (const Exception& e) {
        std::fprintf(stderr, "kvstage: %s\n", e.Message.toUtf8().constData());
        return 1;
    }
    return 0;
}
