// kvtool budget FILE [--view 施工地点|项目类别]: the budget of a project or
// template regrouped as the project window shows it, its direct cost, and the
// fee table after the fee computation.

#include "KavelinFiles.h"
#include "KvtoolCommon.h"
#include "kvQfbDataSet.h"
#include "kvYssDataSet.h"
#include "qxErrors.h"
#include "qxExpression.h"
#include "qxNumbers.h"

using namespace Qt::StringLiterals;

namespace Kvtool {

namespace {

const QString kUsage = u"kvtool budget FILE [--view 施工地点|项目类别]"_s;
const QString kPlace = u"施工地点"_s;
const QString kKind = u"项目类别"_s;

void printTable(TqxDataSet& t)
{
    QStringList names;
    for (int i = 0; i < t.FieldCount(); ++i)
        names.append(t.Fields(i)->FieldName());
    Out(names.join(u'\t'));
    for (t.First(); !t.Eof(); t.Next()) {
        QStringList values;
        for (int i = 0; i < t.FieldCount(); ++i)
            values.append(FieldText(t.Fields(i)).replace(u'\t', u' '));
        Out(values.join(u'\t'));
    }
}

} // namespace

int RunBudget(const QStringList& args)
{
    QString fileName;
    QString view;
    bool viewGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--view"_s && i + 1 < args.size()) {
            view = args[++i];
            viewGiven = true;
        } else if (fileName.isEmpty() && !args[i].startsWith(u"--"_s)) {
            fileName = args[i];
        } else {
            return UsageError(kUsage);
        }
    }
    if (fileName.isEmpty() || (viewGiven && view != kPlace && view != kKind))
        return UsageError(kUsage);

    TKVFile file;
    bool empty = false;
    file.OnError = [&](TKVFile*, TKVErr err) { empty = empty || err == feUnknownFormat; };
    TkvYssDataSet budget;
    TkvQfbDataSet fees;
    TqxExp exp;
    fees.qxExp = &exp;
    exp.OnGetValue = [&](TqxExp* sender, const QString& name, TqxVariant& value) {
        FeeVariableValue(budget, fees, sender, name, value);
    };
    try {
        if (!file.LoadFromFile(fileName) || empty) {
            Err(u"文件 "_s + fileName + u" 是空文件，不是工程或模板文件。"_s);
            return Failed;
        }
        // A backup or an empty container has no budget: that is an error,
        // not a budget of zero.
        const auto budgetPacket = file.SectionData(u"预算书"_s);
        if (!budgetPacket)
            throw EKavelinErr(u"无法读取不存在的数据区[预算书]！"_s);
        budget.LoadBudget(*budgetPacket, fileName + u" [预算书]"_s);
        if (!viewGiven)
            view = file.ReadValue(u"视图"_s) == kPlace ? kPlace : kKind; // a missing view shows categories
        budget.SetGroupField(view);
        if (const auto packet = file.SectionData(u"取费表"_s); packet && !packet->isEmpty()) {
            fees.LoadFromBytes(*packet, fileName + u" [取费表]"_s);
            fees.SetIndexFieldNames(u"序号"_s);
        }
        fees.ComputeFees();
    } catch (const Exception& e) {
        Err(e.Message);
        return Failed;
    }
    printTable(budget);
    Out(u"工程直接费\t"_s + MoneyToStr(budget.TotalAmount()));
    printTable(fees);
    return Ok;
}

} // namespace Kvtool
