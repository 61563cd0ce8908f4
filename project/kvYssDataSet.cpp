#include "kvYssDataSet.h"

#include "qxErrors.h"
#include "qxNumbers.h"

#include <QBuffer>
#include <QIODevice>
#include <map>

using namespace Qt::StringLiterals;

const QString TkvYssDataSet::GroupIndex = u"组号;行类型;序号"_s;

namespace {

const QString fNo = u"序号"_s;
const QString fType = u"行类型"_s;
const QString fName = u"项目名称"_s;
const QString fGroupNo = u"组号"_s;
const QString fPrice = u"单价"_s;
const QString fQuantity = u"数量"_s;
const QString fAmount = u"金额"_s;
const QString fPlace = u"施工地点"_s;
const QString fKind = u"项目类别"_s;
const QString kGroupKeys = u"组号;行类型"_s;

} // namespace

class TkvYssDataSet::Locked {
public:
    explicit Locked(TkvYssDataSet& ds) : FDs(ds) { FDs.Lock(); }
    ~Locked() { FDs.Unlock(); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    TkvYssDataSet& FDs;
};

TkvYssDataSet::TkvYssDataSet()
{
    SetFieldDefs(BudgetFieldDefs());
    CreateDataSet();
    InstallFieldRules();
}

TkvYssDataSet::~TkvYssDataSet() = default;

TqxFieldDefs TkvYssDataSet::BudgetFieldDefs()
{
    using K = TqxFieldKind;
    return {
        {fNo, K::Integer},       {fType, K::Integer},     {fName, K::String, 200}, {fGroupNo, K::Integer},
        {fKind, K::String, 100}, {fPlace, K::String, 100}, {u"单位"_s, K::String, 20}, {fPrice, K::Money},
        {fQuantity, K::Float},   {fAmount, K::Money},     {u"备注"_s, K::String, 200}, {u"市场价"_s, K::Money},
        {u"差价"_s, K::Money},   {u"项目编码"_s, K::String, 20},
    };
}

void TkvYssDataSet::InstallFieldRules()
{
    for (const QString& name : {fPrice, fQuantity})
        if (TqxField* f = FindField(name))
            f->OnChange = [this](TqxField* sender) { ApplyAmountRule(sender); };
}

// The amount of an item follows its price and quantity at once.
void TkvYssDataSet::ApplyAmountRule(TqxField*)
{
    TqxField* amount = FindField(fAmount);
    TqxField* type = FindField(fType);
    if (FApplyingAmount || !amount || !type || type->AsInteger() != rtItem)
        return;
    FApplyingAmount = true;
    const double quantity = RoundMoney(FieldByName(fQuantity)->AsFloat());
    amount->SetAsFloat(RoundMoney(quantity * FieldByName(fPrice)->AsFloat()));
    FApplyingAmount = false;
}

void TkvYssDataSet::Lock()
{
    ++FUpdateCount;
    if (FControlLock++ == 0)
        DisableControls();
}

void TkvYssDataSet::Unlock()
{
    --FUpdateCount;
    if (--FControlLock == 0)
        EnableControls();
}

void TkvYssDataSet::SetGroupField(const QString& value)
{
    if (OnGroupChanging)
        OnGroupChanging(this, FGroupField, value);
    FGroupField = value;
    Regroup();
}

void TkvYssDataSet::LoadBudget(QIODevice* stream)
{
    stream->seek(0);
    LoadBudget(stream->readAll());
}

void TkvYssDataSet::LoadBudget(const QByteArray& packet, const QString& sourceName)
{
    Locked lock(*this);
    EmptyDataSet();
    LoadFromBytes(packet, sourceName);
    Open();
    InstallFieldRules();
}

TGroupInfo* TkvYssDataSet::AddGroup(const QString& name)
{
    if (FindGroup(name))
        throw EKavelinErr(u"该组“"_s + name + u"”已存在！"_s);
    FGroups.push_back(std::make_unique<TGroupInfo>(this, GroupCount() + 1, name));
    TGroupInfo* group = FGroups.back().get();
    {
        Locked lock(*this);
        Append();
        FieldByName(fGroupNo)->SetAsInteger(group->GroupNo);
        FieldByName(fNo)->SetAsInteger(0);
        FieldByName(fName)->SetAsString(name);
        FieldByName(fType)->SetAsInteger(rtGroupHeader);
        Post();
        Append();
        FieldByName(fGroupNo)->SetAsInteger(group->GroupNo);
        FieldByName(fNo)->SetAsInteger(1);
        FieldByName(fName)->SetAsString(u"小计"_s);
        FieldByName(fType)->SetAsInteger(rtSubtotal);
        Post();
        LocateHeader(group->GroupNo);
    }
    Changed();
    return group;
}

TGroupInfo* TkvYssDataSet::FindGroup(const QString& name) const
{
    for (const auto& g : FGroups)
        if (g->GroupName().compare(name, Qt::CaseInsensitive) == 0)
            return g.get();
    return nullptr;
}

TGroupInfo* TkvYssDataSet::FindGroupByNo(int no) const
{
    for (const auto& g : FGroups)
        if (g->GroupNo == no)
            return g.get();
    return nullptr;
}

TGroupInfo* TkvYssDataSet::CurrentGroup() const
{
    if (!Active() || IsEmpty())
        return nullptr;
    const int no = FieldByName(fGroupNo)->AsInteger();
    return no > 0 ? FindGroupByNo(no) : nullptr;
}

void TkvYssDataSet::DeleteGroup(const QString& name, bool deleteRows)
{
    TGroupInfo* group = FindGroup(name);
    if (!group)
        return;
    {
        Locked lock(*this);
        if (deleteRows)
            DeleteGroupRows(group->GroupNo);
        std::erase_if(FGroups, [&](const auto& g) { return g.get() == group; });
    }
    Changed();
}

void TkvYssDataSet::DeleteGroupRows(int groupNo)
{
    if (!Active())
        return;
    {
        Locked lock(*this);
        if (Locate(fGroupNo, groupNo)) {
            TqxField* no = FieldByName(fGroupNo);
            while (!IsEmpty() && !Eof() && no->AsInteger() == groupNo && !no->IsNull())
                Delete();
        }
    }
    Changed();
}

void TkvYssDataSet::ClearGroups()
{
    Locked lock(*this);
    for (int i = GroupCount() - 1; i >= 0; --i)
        DeleteGroup(FGroups[size_t(i)]->GroupName(), false);
}

bool TkvYssDataSet::LocateHeader(int groupNo)
{
    return Active() && Locate(kGroupKeys, QVariantList{groupNo, int(rtGroupHeader)});
}

bool TkvYssDataSet::LocateSubtotal(int groupNo)
{
    return Active() && Locate(kGroupKeys, QVariantList{groupNo, int(rtSubtotal)});
}

bool TkvYssDataSet::IsGroupHeader() const
{
    return Active() && !IsEmpty() && !FieldByName(fType)->IsNull() && FieldByName(fType)->AsInteger() == rtGroupHeader;
}

void TkvYssDataSet::AppendItem(TGroupInfo* group)
{
    Locked lock(*this);
    if (group)
        LocateSubtotal(group->GroupNo);
    InsertItem(group);
}

void TkvYssDataSet::InsertItem(TGroupInfo* group)
{
    if (!group)
        return;
    Locked lock(*this);
    if (IsGroupHeader())
        Next();
    TqxField* no = FieldByName(fNo);
    const int a = no->AsInteger();
    LocateSubtotal(FieldByName(fGroupNo)->AsInteger());
    while (!IsEmpty() && !Bof() && no->AsInteger() >= a) {
        Edit();
        no->SetAsInteger(no->AsInteger() + 1);
        Post();
        Prior();
    }
    if (!IsEmpty())
        Next();
    Insert();
    FieldByName(fGroupNo)->SetAsInteger(group->GroupNo);
    FieldByName(fType)->SetAsInteger(rtItem);
    if (TqxField* g = FGroupField.isEmpty() ? nullptr : FindField(FGroupField))
        g->SetAsString(group->GroupName());
    no->SetAsInteger(a);
    Post();
}

void TkvYssDataSet::DeleteRows(const QList<TqxBookmark>& bookmarks)
{
    {
        Locked lock(*this);
        const int groupField = FieldByName(fGroupNo)->Index();
        std::vector<int> touched;
        for (const TqxBookmark& b : bookmarks)
            if (BookmarkValid(b))
                touched.push_back(ValueAt(b, groupField).toInt());
        for (qsizetype i = bookmarks.size() - 1; i >= 0; --i) {
            if (!BookmarkValid(bookmarks[i]))
                continue;
            GotoBookmark(bookmarks[i]);
            Delete();
        }
        // Every group that lost a row is renumbered and re-totalled, not only
        // the one the cursor ends in.
        if (TGroupInfo* current = CurrentGroup())
            touched.push_back(current->GroupNo);
        std::sort(touched.begin(), touched.end());
        touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
        for (int g : touched) {
            Renumber(g);
            if (TGroupInfo* group = FindGroupByNo(g))
                group->UpdateSubtotal();
        }
    }
    Changed();
}

// Numbers the rows of a group 0 (header), 1..n (items), n + 1 (subtotal),
// on a second cursor so that the user's stays where it is.
void TkvYssDataSet::Renumber(int groupNo)
{
    TqxDataSet walk;
    walk.CloneCursor(*this);
    walk.SetIndexFieldNames(GroupIndex);
    if (!walk.Locate(kGroupKeys, QVariantList{groupNo, int(rtGroupHeader)}))
        return;
    TqxField* group = walk.FieldByName(fGroupNo);
    TqxField* no = walk.FieldByName(fNo);
    for (int k = 0; !walk.Eof() && group->AsInteger() == groupNo; ++k, walk.Next()) {
        if (no->IsNull() || no->AsInteger() != k) {
            walk.Edit();
            no->SetAsInteger(k);
            walk.Post();
        }
    }
    MergeChangeLog();
}

void TkvYssDataSet::Regroup()
{
    Locked lock(*this);
    ClearGroups();

    // The generated rows go; the items stay.
    ClearIndex();
    TqxField* type = FieldByName(fType);
    First();
    while (!Eof()) {
        const int t = type->AsInteger();
        if (!type->IsNull() && (t == rtGroupHeader || t == rtSubtotal))
            Delete();
        else
            Next();
    }

    const bool byPlace = FGroupField == fPlace;
    const bool byKind = FGroupField == fKind;
    if (byPlace)
        SetIndexFieldNames(fPlace + u';' + fKind);
    else if (byKind)
        SetIndexFieldNames(fKind + u';' + fPlace);
    TqxField* keyField = FGroupField.isEmpty() ? nullptr : FindField(FGroupField);
    TqxField* no = FieldByName(fNo);
    TqxField* groupNo = FieldByName(fGroupNo);
    TqxField* price = FieldByName(fPrice);
    TqxField* quantity = FieldByName(fQuantity);
    TqxField* name = FieldByName(fName);

    struct Summary {
        QString key;
        int a, c, n;
        double t;
    };
    std::vector<Summary> summaries;
    First();
    Summary s{keyField ? keyField->AsString() : QString(), 1, 0, 0, 0.0};
    bool any = false;
    for (; !Eof(); Next()) {
        if (type->IsNull() || type->AsInteger() != rtItem)
            continue; // rows of other kinds keep out of the groups
        const QString key = keyField ? keyField->AsString() : QString();
        if (any && key != s.key) {
            summaries.push_back(s);
            s = {key, s.a + 1, 0, 0, 0.0};
        } else if (!any) {
            s.key = key;
        }
        any = true;
        s.t += RoundMoney(price->AsFloat()) * quantity->AsFloat();
        ++s.c;
        Edit();
        no->SetAsInteger(s.c);
        groupNo->SetAsInteger(s.a);
        Post();
        if (!name->AsString().isEmpty())
            ++s.n;
    }
    if (any)
        summaries.push_back(s);

    for (const Summary& sum : summaries) {
        FGroups.push_back(std::make_unique<TGroupInfo>(this, sum.a, sum.key));
        Append();
        name->SetAsString(sum.key);
        groupNo->SetAsInteger(sum.a);
        no->SetAsInteger(0);
        type->SetAsInteger(rtGroupHeader);
        Post();
        Append();
        groupNo->SetAsInteger(sum.a);
        quantity->SetAsFloat(sum.n);
        FieldByName(fAmount)->SetAsFloat(RoundDecimal(sum.t, 2));
        no->SetAsInteger(sum.c + 1);
        type->SetAsInteger(rtSubtotal);
        Post();
    }
    SetGroupIndex();
    First();
}

double TkvYssDataSet::TotalAmount() const
{
    // The sum of every group's item amounts: in group order a group's rows
    // before its subtotal are exactly its rows of a type below the subtotal's,
    // so one walk in stored order does what a walk per group would.
    if (!Active())
        return 0;
    TqxDataSet walk;
    walk.CloneCursor(const_cast<TkvYssDataSet&>(*this));
    TqxField* type = walk.FieldByName(fType);
    TqxField* group = walk.FieldByName(fGroupNo);
    TqxField* amount = walk.FieldByName(fAmount);
    std::map<int, double> sums;
    for (walk.First(); !walk.Eof(); walk.Next())
        if (type->AsInteger() < rtSubtotal && !amount->IsNull())
            sums[group->AsInteger()] += amount->AsFloat();
    double total = 0;
    for (const auto& g : FGroups)
        if (const auto it = sums.find(g->GroupNo); it != sums.end())
            total += it->second;
    return total;
}

void TkvYssDataSet::Changed()
{
    if (Updating())
        return;
    if (TGroupInfo* group = CurrentGroup())
        group->UpdateSubtotal();
    if (OnAfterYssModified)
        OnAfterYssModified(this);
}

void TkvYssDataSet::DoAfterDelete()
{
    if (Updating())
        return;
    TqxDataSet::DoAfterDelete();
    Changed();
}

void TkvYssDataSet::DoAfterInsert()
{
    if (!Updating())
        TqxDataSet::DoAfterInsert();
}

void TkvYssDataSet::DoAfterPost()
{
    // The budget keeps no undo history: a saved budget carries no change log.
    MergeChangeLog();
    if (Updating())
        return;
    TqxDataSet::DoAfterPost();
    Changed();
}

void TkvYssDataSet::DoAfterScroll()
{
    if (!Updating())
        TqxDataSet::DoAfterScroll();
}

void TkvYssDataSet::DoBeforePost()
{
    if (!Updating())
        TqxDataSet::DoBeforePost();
}

void TGroupInfo::SetGroupName(const QString& value)
{
    FGroupName = value;
    if (DataSet->GroupField().isEmpty() || !DataSet->Active())
        return;
    TqxDataSet walk;
    walk.CloneCursor(*DataSet);
    walk.SetIndexFieldNames(u"组号"_s);
    if (TqxField* field = walk.FindField(DataSet->GroupField())) {
        TqxField* group = walk.FieldByName(fGroupNo);
        if (walk.Locate(fGroupNo, GroupNo)) {
            while (!walk.Eof() && group->AsInteger() == GroupNo) {
                walk.Edit();
                field->SetAsString(value);
                walk.Post(); // the index on 组号 keeps the row where it was
                walk.Next();
            }
        }
    }
    DataSet->MergeChangeLog();
    DataSet->Changed();
}

void TGroupInfo::UpdateSubtotal()
{
    TkvYssDataSet::Locked lock(*DataSet);
    TqxDataSet walk;
    walk.CloneCursor(*DataSet, true);
    TqxField* type = walk.FieldByName(fType);
    TqxField* amount = walk.FieldByName(fAmount);
    TqxField* name = walk.FieldByName(fName);
    double total = 0;
    int count = 0;
    if (walk.Locate(kGroupKeys, QVariantList{GroupNo, int(rtGroupHeader)}))
        walk.Next();
    for (; !walk.Eof() && !(type->AsInteger() == rtSubtotal && !type->IsNull()); walk.Next()) {
        total += amount->AsFloat();
        if (!name->IsNull())
            ++count;
    }
    if (!walk.Locate(kGroupKeys, QVariantList{GroupNo, int(rtSubtotal)}))
        return;
    walk.Edit();
    amount->SetAsFloat(RoundMoney(total));
    walk.FieldByName(fQuantity)->SetAsFloat(count);
    walk.Post();
    DataSet->MergeChangeLog();
}

double TGroupInfo::FieldSum(const QString& fieldName) const
{
    TqxDataSet walk;
    walk.CloneCursor(*DataSet, true);
    TqxField* type = walk.FieldByName(fType);
    TqxField* field = walk.FieldByName(fieldName);
    double sum = 0;
    if (!walk.Locate(kGroupKeys, QVariantList{GroupNo, int(rtGroupHeader)}))
        return 0;
    for (; !walk.Eof() && !(type->AsInteger() == rtSubtotal && !type->IsNull()); walk.Next())
        sum += field->AsFloat();
    return sum;
}
