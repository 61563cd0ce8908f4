#include "kvQfbDataSet.h"

#include "kvYssDataSet.h"
#include "qxErrors.h"
#include "qxExpression.h"
#include "qxFileSystem.h"
#include "qxNumbers.h"

#include <unordered_set>

using namespace Qt::StringLiterals;

namespace {

const QString fNo = u"序号"_s;
const QString fFormula = u"计算公式"_s;
const QString fAmount = u"金额"_s;

} // namespace

TkvQfbDataSet::TkvQfbDataSet()
{
    SetFieldDefs(FeeFieldDefs());
    CreateDataSet();
    SetIndexFieldNames(fNo);
}

TqxFieldDefs TkvQfbDataSet::FeeFieldDefs()
{
    using K = TqxFieldKind;
    return {{fNo, K::Integer}, {u"取费名称"_s, K::String, 100}, {fFormula, K::String, 100}, {fAmount, K::Money},
            {u"说明"_s, K::String, 200}};
}

int TkvQfbDataSet::CurrentNo() const { return FieldByName(fNo)->AsInteger(); }

void TkvQfbDataSet::ShiftNo(int delta)
{
    if (IsEmpty())
        return;
    Edit();
    FieldByName(fNo)->SetAsInteger(CurrentNo() + delta);
    Post();
}

void TkvQfbDataSet::InsertRowNo(int no)
{
    Insert();
    FieldByName(fNo)->SetAsInteger(no);
    Post();
}

void TkvQfbDataSet::AppendRow()
{
    if (IsEmpty()) {
        InsertRowNo(1);
        return;
    }
    Last();
    InsertRowNo(CurrentNo() + 1);
}

void TkvQfbDataSet::InsertRow()
{
    if (IsEmpty()) {
        InsertRowNo(1);
        return;
    }
    TqxControlsLock hold(*this);
    const int a = CurrentNo();
    // The rows to move are taken first: a renumbered row changes its place in
    // the order, and a walk that follows it could meet it again.
    std::vector<TqxBookmark> later;
    for (Last(); !IsEmpty() && CurrentNo() >= a; Prior()) {
        later.push_back(GetBookmark());
        if (RecNo() == 1)
            break;
    }
    for (const TqxBookmark& row : later) {
        GotoBookmark(row);
        ShiftNo(+1);
    }
    InsertRowNo(a);
}

void TkvQfbDataSet::DeleteRow()
{
    if (IsEmpty())
        return;
    TqxControlsLock hold(*this);
    const TqxBookmark row = GetBookmark();
    std::vector<TqxBookmark> later;
    for (Next(); !Eof(); Next())
        later.push_back(GetBookmark());
    for (const TqxBookmark& b : later) {
        GotoBookmark(b);
        ShiftNo(-1);
    }
    GotoBookmark(row);
    Delete();
}

double TkvQfbDataSet::AmountOfRow(int no) const
{
    if (FComputing) {
        const auto it = FAmounts.find(no);
        return it == FAmounts.end() ? 0 : it->second;
    }
    TqxDataSet look;
    look.CloneCursor(const_cast<TkvQfbDataSet&>(*this));
    if (!look.Locate(fNo, no))
        return 0;
    return look.FieldByName(fAmount)->AsFloat();
}

void TkvQfbDataSet::Compute()
{
    if (!qxExp)
        throw EKavelinErr(u"没有连接运算对象！"_s);
    TqxControlsLock hold(*this);
    TqxField* formula = FieldByName(fFormula);
    TqxField* amount = FieldByName(fAmount);
    // Formulas name rows by number, and a search per reference made a long
    // table quadratic: the amounts by number are kept aside for the pass.
    struct Computing {
        TkvQfbDataSet& fees;
        ~Computing()
        {
            fees.FComputing = false;
            fees.FAmounts.clear();
        }
    } computing{*this};
    FAmounts.clear();
    for (First(); !Eof(); Next())
        FAmounts.try_emplace(CurrentNo(), amount->AsFloat());
    FComputing = true;
    std::unordered_set<int> seen;
    for (First(); !Eof(); Next()) {
        const bool firstOfNo = seen.insert(CurrentNo()).second;
        const QString text = formula->AsString().trimmed();
        if (text.isEmpty())
            continue;
        // A rejected formula does not inherit the previous row's result:
        // the pass stops here and says which row and why.
        TqxVariant result = TqxVariant::Null();
        qxExp->Calculate(text, result);
        const int no = CurrentNo();
        if (!qxExp->Succeeded) {
            const QString why = qxExp->ErrorText.isEmpty() ? u"公式无法计算"_s : qxExp->ErrorText;
            throw EKavelinErr(u"取费表第 %1 行的计算公式“%2”有错：%3"_s.arg(no).arg(text, why));
        }
        double value = 0;
        try {
            value = result.ToDouble();
        } catch (const Exception& e) {
            throw EKavelinErr(u"取费表第 %1 行的计算结果不能转换为数值：%2"_s.arg(no).arg(e.Message));
        }
        Edit();
        amount->SetAsFloat(value);
        Post();
        if (firstOfNo)
            FAmounts[no] = amount->AsFloat();
    }
    First();
}

void TkvQfbDataSet::InsertCommand()
{
    if (!IsEmpty() && RecNo() == 1)
        AppendRow();
    else
        InsertRow();
}

bool TkvQfbDataSet::DeleteCommand()
{
    if (!IsEmpty() && CurrentNo() == 1)
        return false;
    DeleteRow();
    return true;
}

void TkvQfbDataSet::ComputeFees()
{
    if (!qxExp)
        throw EKavelinErr(u"没有连接运算对象！"_s);
    struct TagScope {
        TqxExp* exp;
        ~TagScope() { exp->Tag = 0; }
    } scope{qxExp};
    qxExp->Tag = 1;
    Compute();
}

void TkvQfbDataSet::LoadTemplate(const QString& fileName)
{
    // A packet of another table would replace the fee table with one that
    // cannot be numbered or computed: it is refused before anything changes.
    const QByteArray bytes = FileSystem::ReadFile(fileName);
    TqxDataSet probe;
    probe.LoadFromBytes(bytes, fileName);
    for (const TqxFieldDef& d : FeeFieldDefs())
        if (!probe.FindField(d.Name))
            throw EFileError(u"文件“"_s + fileName + u"”不是取费表模板：其中没有字段“"_s + d.Name + u"”。"_s);
    LoadFromBytes(bytes, fileName);
    SetIndexFieldNames(fNo);
    ComputeFees();
}

void TkvQfbDataSet::SaveTemplate(const QString& fileName) { SaveToFile(fileName); }

void FeeVariableValue(const TkvYssDataSet& budget, const TkvQfbDataSet& fees, TqxExp* sender, const QString& name,
                      TqxVariant& value)
{
    if (name == u"工程直接费"_s) {
        value = budget.TotalAmount();
        return;
    }
    if (!sender || sender->Tag != 1 || name.isEmpty())
        return;
    if (!std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return;
    bool inRange = false;
    const int no = name.toInt(&inRange);
    value = inRange ? fees.AmountOfRow(no) : 0.0;
}
