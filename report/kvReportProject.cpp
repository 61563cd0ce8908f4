#include "kvReportProject.h"

#include "AppClasses.h"
#include "kvProject.h"
#include "kvQfbDataSet.h"
#include "kvYssDataSet.h"
#include "qxStrings.h"

using namespace Qt::StringLiterals;

namespace ProjectReport {

namespace {

const QStringList kBudgetFields = {u"序号"_s, u"项目名称"_s, u"组号"_s, u"项目类别"_s, u"施工地点"_s,
                                   u"单位"_s, u"单价"_s,     u"数量"_s, u"金额"_s,     u"备注"_s};
const QStringList kFeeFields = {u"序号"_s, u"取费名称"_s, u"计算公式"_s, u"金额"_s, u"说明"_s};

TkvReportRows copyRows(TqxDataSet& clone, const QStringList& names)
{
    TkvReportRows out;
    out.Fields = names;
    QList<TqxField*> fields;
    for (const QString& n : names)
        fields.append(clone.FindField(n));
    out.Rows.reserve(clone.RecordCount());
    for (clone.First(); !clone.Eof(); clone.Next()) {
        QVariantList row;
        row.reserve(fields.size());
        for (TqxField* f : fields)
            row.append(f && !f->IsNull() ? f->AsVariant() : QVariant());
        out.Rows.append(std::move(row));
    }
    return out;
}

} // namespace

QString TemplateKey(TkvReportPage page, const QString& groupField)
{
    switch (page) {
    case TkvReportPage::Cover:
        return u"封面"_s;
    case TkvReportPage::ProjectInfo:
        return u"工程信息"_s;
    case TkvReportPage::Fees:
        return u"取费表"_s;
    case TkvReportPage::Budget:
        break;
    }
    if (groupField == u"项目类别"_s)
        return u"按项目类别打印"_s;
    if (groupField == u"施工地点"_s)
        return u"按施工地点打印"_s;
    return u"无分组打印"_s;
}

TkvReportRows BudgetRows(TkvYssDataSet& budget)
{
    if (!budget.Active())
        return TkvReportRows{kBudgetFields, {}};
    TqxDataSet clone;
    clone.CloneCursor(budget, true);
    clone.SetFilter(u"项目名称<>"_s + u"''"_s + u" And "_s + u"行类型"_s + u"="_s + u"1"_s);
    clone.SetFiltered(true);
    return copyRows(clone, kBudgetFields);
}

TkvReportRows FeeRows(TkvQfbDataSet& fees)
{
    if (!fees.Active())
        return TkvReportRows{kFeeFields, {}};
    TqxDataSet clone;
    clone.CloneCursor(fees, true);
    return copyRows(clone, kFeeFields);
}

QList<std::pair<QString, QString>> InformationRows(const QStringList& lines)
{
    QList<std::pair<QString, QString>> out;
    for (const QString& line : lines)
        if (line.contains(u'='))
            out.append({TNameValueList::NameOf(line), TNameValueList::ValueOf(line)});
    return out;
}

TkvReportData Data(TkvYssDataSet& budget, TkvQfbDataSet& fees, const QStringList& informationLines,
                   const QString& remarks)
{
    TkvReportData d;
    d.Budget = BudgetRows(budget);
    d.Fees = FeeRows(fees);
    d.Information = InformationRows(informationLines);
    d.Remarks = remarks;
    return d;
}

TkvReportData Data(kvProject& project)
{
    QStringList remarks = project.Remarks;
    while (!remarks.isEmpty() && remarks.last().isEmpty())
        remarks.removeLast();
    return Data(project.kvYssDS_Main, project.kvQfbDS, project.ProjectInfo.Lines(), remarks.join(u'\n'));
}

void UseConfiguration(TkvReportData& data, const TAppGlobalInfo& config)
{
    data.Variant = [&config](const QString& name) { return config.GetVariantValue(name); };
    data.ExpandPath = [&config](const QString& path) { return config.ExpandMacros(path); };
}

} // namespace ProjectReport
