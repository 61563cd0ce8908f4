// kvtool budget FILE [--view 施工地点|项目类别]: the budget of a project or
// template regrouped as the project window shows it, its direct cost, and the
// fee table after the fee computation.

#include "KvtoolCommon.h"
#include "kvProject.h"
#include "qxErrors.h"
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

    kvProject doc;
    try {
        if (!doc.ReadFromFile(fileName)) {
            Err(u"文件 "_s + fileName + u" 是空文件，不是工程或模板文件。"_s);
            return Failed;
        }
        // A backup or an empty container has no budget: that is an error,
        // not a budget of zero.
        if (!doc.KVFile_Main.SectionData(u"预算书"_s))
            throw EKavelinErr(u"无法读取不存在的数据区[预算书]！"_s);
        if (viewGiven)
            doc.SetView(view);
        doc.ComputeFees();
    } catch (const Exception& e) {
        Err(e.Message);
        return Failed;
    }
    TkvYssDataSet& budget = doc.kvYssDS_Main;
    printTable(budget);
    Out(u"工程直接费\t"_s + MoneyToStr(budget.TotalAmount()));
    printTable(doc.kvQfbDS);
    return Ok;
}

} // namespace Kvtool
