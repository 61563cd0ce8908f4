#include "qxDataSet.h"

#include "GbkText.h"
#include "qxErrors.h"
#include "qxFileSystem.h"
#include "qxPacket.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

// While it lives, the fields read the given row (or the edit buffer).
class TqxDataSet::ActiveRowScope {
public:
    ActiveRowScope(TqxDataSet& ds, TqxRecId rec, bool buffer)
        : FDs(ds), FOldRec(ds.FActiveOverride), FOldBuffer(ds.FOverrideBuffer)
    {
        ds.FActiveOverride = buffer ? -1 : rec;
        ds.FOverrideBuffer = buffer;
    }
    ~ActiveRowScope()
    {
        FDs.FActiveOverride = FOldRec;
        FDs.FOverrideBuffer = FOldBuffer;
    }
    ActiveRowScope(const ActiveRowScope&) = delete;
    ActiveRowScope& operator=(const ActiveRowScope&) = delete;

private:
    TqxDataSet& FDs;
    TqxRecId FOldRec;
    bool FOldBuffer;
};

TqxDataSet::TqxDataSet() = default;

TqxDataSet::~TqxDataSet()
{
    const std::vector<TqxDataSetObserver*> observers = FObservers;
    for (TqxDataSetObserver* o : observers)
        o->DataSetDestroyed();
    if (FStore)
        FStore->Detach(this);
}

template<typename F> void TqxDataSet::Tell(F call)
{
    if (FDisableCount > 0) {
        FPendingChange = true;
        return;
    }
    const std::vector<TqxDataSetObserver*> observers = FObservers;
    for (TqxDataSetObserver* o : observers)
        if (std::find(FObservers.begin(), FObservers.end(), o) != FObservers.end())
            call(o);
}

void TqxDataSet::AddObserver(TqxDataSetObserver* observer)
{
    if (std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end())
        FObservers.push_back(observer);
}

void TqxDataSet::RemoveObserver(TqxDataSetObserver* observer)
{
    std::erase(FObservers, observer);
}

void TqxDataSet::DisableControls()
{
    ++FDisableCount;
}

void TqxDataSet::EnableControls()
{
    if (FDisableCount == 0 || --FDisableCount > 0 || !FPendingChange)
        return;
    FPendingChange = false;
    Tell([](TqxDataSetObserver* o) { o->DataSetChanged(); });
}

// ---------------------------------------------------------------- structure

void TqxDataSet::CheckActive() const
{
    if (!Active())
        throw EKavelinErr(u"表没有打开，不能进行这个操作！"_s);
}

void TqxDataSet::SetFieldDefs(TqxFieldDefs defs)
{
    FFieldDefs = std::move(defs);
}

void TqxDataSet::AddFieldDef(const QString& name, TqxFieldKind kind, int size, bool required)
{
    FFieldDefs.push_back({name, kind, size, required});
}

void TqxDataSet::AttachStore(std::shared_ptr<TqxRowStore> store)
{
    FStore = std::move(store);
    FStore->Attach(this);
    FView.Bind(&FStore->Data());
    FState = TqxDataSetState::Browse;
    StoreReset(false);
}

void TqxDataSet::DetachStore()
{
    if (FStore)
        FStore->Detach(this);
}

void TqxDataSet::CreateDataSet()
{
    TqxPacket::CheckDefs(FFieldDefs);
    const TqxFieldDefs defs = FFieldDefs;
    if (!FStore) {
        AttachStore(std::make_shared<TqxRowStore>(defs));
        return;
    }
    // The rows are shared: clones of this table see the new one too.
    const bool wasActive = Active();
    FStore->Recreate(defs);
    if (!wasActive)
        AttachStore(FStore);
}

void TqxDataSet::Open()
{
    if (Active())
        return;
    if (!FStore) {
        CreateDataSet();
        return;
    }
    AttachStore(FStore);
}

void TqxDataSet::Close()
{
    if (!Active())
        return;
    DropEdit();
    DetachStore();
    FState = TqxDataSetState::Inactive;
    FPos = -1;
    FBof = FEof = true;
    Tell([](TqxDataSetObserver* o) { o->DataSetChanged(); });
}

void TqxDataSet::CloneCursor(TqxDataSet& source, bool keepSettings)
{
    source.CheckActive();
    if (&source == this)
        return;
    const TqxBookmark current = source.GetBookmark();
    DropEdit();
    DetachStore();
    FState = TqxDataSetState::Inactive;
    if (keepSettings) {
        FIndexFieldNames = source.FIndexFieldNames;
        FFilterText = source.FFilterText;
        FFiltered = source.FFiltered;
        FFilterOptions = source.FFilterOptions;
    } else {
        FIndexFieldNames.clear();
        FFilterText.clear();
        FFiltered = false;
        FFilterOptions = {};
    }
    FFilterExpr.reset();
    FAdoptOrderFrom = keepSettings ? &source.FView : nullptr;
    AttachStore(source.FStore);
    FAdoptOrderFrom = nullptr;
    if (keepSettings) {
        const int pos = RowOf(current);
        if (pos >= 0) {
            FPos = pos;
            FBof = FEof = false;
            Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
        }
    }
}

TqxField* TqxDataSet::FindField(const QString& name) const
{
    for (const auto& f : FFields)
        if (f->FieldName() == name)
            return f.get();
    for (const auto& f : FFields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TqxField* TqxDataSet::FieldByName(const QString& name) const
{
    TqxField* f = FindField(name);
    if (!f)
        throw EKavelinErr(u"字段“"_s + name + u"”不存在！"_s);
    return f;
}

std::vector<int> TqxDataSet::ParseFieldList(const QString& names, const QString& what) const
{
    std::vector<int> fields;
    for (const QString& part : names.split(u';', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        if (name.isEmpty())
            continue;
        const TqxField* f = FindField(name);
        if (!f)
            throw EKavelinErr(what + u"字段“"_s + name + u"”不存在！"_s);
        fields.push_back(f->Index());
    }
    return fields;
}

void TqxDataSet::SyncFields()
{
    const TqxFieldDefs& defs = FStore->Defs();
    std::vector<std::unique_ptr<TqxField>> fields;
    fields.reserve(defs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        auto it = std::find_if(FFields.begin(), FFields.end(), [&](const std::unique_ptr<TqxField>& f) {
            return f && f->FieldName().compare(defs[i].Name, Qt::CaseInsensitive) == 0;
        });
        if (it != FFields.end()) {
            (*it)->Rebind(int(i), defs[i]);
            fields.push_back(std::move(*it));
        } else {
            fields.push_back(std::make_unique<TqxField>(this, int(i), defs[i]));
        }
    }
    FFields = std::move(fields);
    FFieldDefs = defs;
    FNullRow.Reset(int(defs.size()));
    FBuffer.Reset(int(defs.size()));
}

// ---------------------------------------------------------------- store events

void TqxDataSet::StoreResetting()
{
    FResetKeep = Active() ? CurrentRec() : -1;
}

void TqxDataSet::StoreReset(bool sameRows)
{
    const TqxRecId keep = sameRows ? FResetKeep : -1;
    FResetKeep = -1;
    DropEdit();
    if (FFields.size() != FStore->Defs().size() || FFieldDefs != FStore->Defs())
        SyncFields();
    // A table reloaded with other fields may no longer have those of the index or filter.
    std::vector<int> key;
    try {
        key = ParseFieldList(FIndexFieldNames, QString());
    } catch (const EKavelinErr&) {
        FIndexFieldNames.clear();
    }
    FFilterExpr.reset();
    if (FFiltered && !FFilterText.trimmed().isEmpty()) {
        try {
            FFilterExpr = std::make_unique<TqxFilterExpr>(FFilterText, FFieldDefs, FFilterOptions);
        } catch (const EKavelinErr&) {
            FFiltered = false;
        }
    }
    if (FAdoptOrderFrom && FAdoptOrderFrom->Key() == key)
        FView.AdoptKey(*FAdoptOrderFrom);
    else
        FView.SetKey(std::move(key));
    try {
        ApplyFilter();
    } catch (...) {
        // Another cursor's reload is no place to report this one's failing
        // filter handler; the filter is off and shows every row.
    }
    ResetView(keep);
}

void TqxDataSet::ResetView(TqxRecId keep)
{
    const int pos = keep >= 0 ? FView.Find(keep) : -1;
    if (pos >= 0) {
        FPos = pos;
        FBof = FEof = false;
    } else {
        FPos = FView.Count() > 0 ? 0 : -1;
        FBof = true;
        FEof = FPos < 0;
    }
    Tell([](TqxDataSetObserver* o) { o->DataSetChanged(); });
}

void TqxDataSet::StoreRowInserted(TqxRecId rec, int orderPos)
{
    ApplyChange(FView.Inserted(rec, orderPos));
}

void TqxDataSet::StoreRowUpdating(TqxRecId rec, int)
{
    FView.Updating(rec);
}

void TqxDataSet::StoreRowUpdated(TqxRecId rec, int orderPos)
{
    ApplyChange(FView.Updated(rec, orderPos));
}

void TqxDataSet::StoreRowDeleted(TqxRecId rec, int orderPos)
{
    ApplyChange(FView.Deleted(rec, orderPos));
}

void TqxDataSet::ApplyChange(const TqxDataSetView::Change& change)
{
    using C = TqxDataSetView::Change;
    const int count = FView.Count();
    switch (change.Kind) {
    case C::None:
        return;
    case C::Inserted:
        if (FPos < 0) {
            FPos = 0;
            FBof = FEof = false;
        } else if (change.To <= FPos) {
            ++FPos;
        }
        Tell([&](TqxDataSetObserver* o) { o->DataSetRowInserted(change.To); });
        return;
    case C::Removed:
        if (change.From < FPos)
            --FPos;
        else if (FPos >= count)
            FPos = count - 1;
        if (count == 0)
            FBof = FEof = true;
        Tell([&](TqxDataSetObserver* o) { o->DataSetRowRemoved(change.From); });
        return;
    case C::Moved:
        if (change.From == FPos) {
            FPos = change.To;
        } else {
            int p = FPos;
            if (change.From < p)
                --p;
            if (change.To <= p)
                ++p;
            FPos = p;
        }
        Tell([&](TqxDataSetObserver* o) { o->DataSetRowMoved(change.From, change.To); });
        return;
    case C::Changed:
        Tell([&](TqxDataSetObserver* o) { o->DataSetRowChanged(change.From); });
        return;
    }
}

// ---------------------------------------------------------------- navigation

void TqxDataSet::First()
{
    CheckActive();
    CheckBrowseMode();
    DoBeforeScroll();
    FPos = FView.Count() > 0 ? 0 : -1;
    FBof = true;
    FEof = FPos < 0;
    Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
    DoAfterScroll();
}

void TqxDataSet::Last()
{
    CheckActive();
    CheckBrowseMode();
    DoBeforeScroll();
    FPos = FView.Count() - 1;
    FEof = true;
    FBof = FPos < 0;
    Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
    DoAfterScroll();
}

void TqxDataSet::Next()
{
    MoveBy(1);
}

void TqxDataSet::Prior()
{
    MoveBy(-1);
}

int TqxDataSet::MoveBy(int distance)
{
    CheckActive();
    CheckBrowseMode();
    if (distance == 0)
        return 0;
    DoBeforeScroll();
    const int count = FView.Count();
    if (count == 0) {
        FBof = FEof = true;
        return 0;
    }
    const qint64 wanted = qint64(FPos) + distance;
    int target;
    if (distance > 0) {
        FBof = false;
        FEof = wanted >= count;
        target = int(std::min<qint64>(wanted, count - 1));
    } else {
        FEof = false;
        FBof = wanted < 0;
        target = int(std::max<qint64>(wanted, 0));
    }
    const int moved = target - FPos;
    FPos = target;
    if (moved != 0) {
        Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
        DoAfterScroll();
    }
    return moved;
}

void TqxDataSet::SetRecNo(int value)
{
    CheckActive();
    CheckBrowseMode();
    if (value >= 1 && value <= RecordCount() && value != RecNo())
        MoveBy(value - RecNo());
}

// ---------------------------------------------------------------- editing

TqxRowView TqxDataSet::ActiveRow() const
{
    if (FOverrideBuffer)
        return FBuffer.View();
    if (FActiveOverride >= 0)
        return FStore->Data().Row(FActiveOverride);
    if (FState == TqxDataSetState::Edit || FState == TqxDataSetState::Insert)
        return FBuffer.View();
    if (FPos >= 0 && FState == TqxDataSetState::Browse)
        return FStore->Data().Row(FView.At(FPos));
    return FNullRow.View();
}

void TqxDataSet::BeginFieldWrite(const TqxField* field)
{
    if (FState != TqxDataSetState::Edit && FState != TqxDataSetState::Insert)
        throw EKavelinErr(u"表不在编辑状态，不能修改字段“"_s + field->FieldName() + u"”！"_s);
}

void TqxDataSet::EndFieldWrite(TqxField* field)
{
    FModified = true;
    if (field->OnChange)
        field->OnChange(field);
    const int index = field->Index();
    Tell([&](TqxDataSetObserver* o) { o->DataSetFieldChanged(index); });
}

void TqxDataSet::SetState(TqxDataSetState state)
{
    if (FState == state)
        return;
    FState = state;
    Tell([](TqxDataSetObserver* o) { o->DataSetStateChanged(); });
}

void TqxDataSet::DropEdit()
{
    if (FState != TqxDataSetState::Edit && FState != TqxDataSetState::Insert)
        return;
    FBuffer.Reset(FieldCount());
    FModified = false;
    FEditRow = {};
    FInsertBefore = {};
    SetState(TqxDataSetState::Browse);
}

void TqxDataSet::CheckBrowseMode()
{
    if (FState != TqxDataSetState::Edit && FState != TqxDataSetState::Insert)
        return;
    if (FModified)
        Post();
    else
        Cancel();
}

void TqxDataSet::BeginInsertAppend(bool append)
{
    CheckActive();
    CheckBrowseMode();
    DoBeforeInsert();
    DoBeforeScroll();
    FBuffer.Reset(FieldCount());
    FInsertAppend = append || FPos < 0;
    FInsertBefore = FInsertAppend ? TqxBookmark() : GetBookmark();
    FBof = false;
    FEof = append;
    SetState(TqxDataSetState::Insert);
    try {
        DoOnNewRecord();
    } catch (...) {
        DropEdit();
        throw;
    }
    // Values a new record starts with do not make it worth keeping.
    FModified = false;
    DoAfterInsert();
    DoAfterScroll();
}

void TqxDataSet::Append()
{
    BeginInsertAppend(true);
}

void TqxDataSet::Insert()
{
    BeginInsertAppend(false);
}

void TqxDataSet::Edit()
{
    CheckActive();
    if (FState == TqxDataSetState::Edit || FState == TqxDataSetState::Insert)
        return;
    if (IsEmpty()) {
        Insert();
        return;
    }
    DoBeforeEdit();
    const TqxRecId rec = CurrentRec();
    FBuffer.Assign(FStore->Data().Row(rec), FFieldDefs);
    FEditRow = FStore->Data().BookmarkOf(rec);
    FModified = false;
    SetState(TqxDataSetState::Edit);
    DoAfterEdit();
}

void TqxDataSet::CheckRequired() const
{
    const TqxRowView row = FBuffer.View();
    for (const auto& f : FFields) {
        const int i = f->Index();
        const bool empty = f->Kind() == TqxFieldKind::String ? row.Bytes(i).isEmpty() : row.IsNull(i);
        if (f->Required() && empty)
            throw EKavelinErr(u"字段“"_s + f->FieldName() + u"”必须有值，不能为空！"_s);
    }
}

void TqxDataSet::Post()
{
    CheckActive();
    if (FState != TqxDataSetState::Edit && FState != TqxDataSetState::Insert)
        return;
    DoBeforePost();
    if (FState != TqxDataSetState::Edit && FState != TqxDataSetState::Insert)
        return; // the handler cancelled
    CheckRequired();
    if (FState == TqxDataSetState::Insert) {
        const TqxRecId before = FInsertAppend ? -1 : FStore->Data().Resolve(FInsertBefore);
        const TqxRecord values = FBuffer;
        DropEdit();
        const TqxRecId rec = FStore->Insert(values.View(), before);
        const int pos = FView.Find(rec);
        if (pos >= 0) {
            FPos = pos;
            FBof = FEof = false;
        }
        Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
    } else {
        const TqxRecId rec = FStore->Data().Resolve(FEditRow);
        if (rec < 0)
            throw EKavelinErr(u"要保存的记录已经被删除！"_s);
        const TqxRecord values = FBuffer;
        DropEdit();
        FStore->Update(rec, values.View());
    }
    DoAfterPost();
}

void TqxDataSet::Cancel()
{
    CheckActive();
    if (FState != TqxDataSetState::Edit && FState != TqxDataSetState::Insert)
        return;
    DoBeforeCancel();
    const bool wasInsert = FState == TqxDataSetState::Insert;
    DropEdit();
    if (wasInsert) {
        FBof = FEof = FPos < 0;
        Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
    }
    DoAfterCancel();
    if (wasInsert)
        DoAfterScroll();
}

void TqxDataSet::Delete()
{
    CheckActive();
    if (FState == TqxDataSetState::Insert) {
        Cancel();
        return;
    }
    if (IsEmpty())
        throw EKavelinErr(u"表中没有记录，不能删除！"_s);
    DoBeforeDelete();
    DoBeforeScroll();
    const TqxRecId rec = CurrentRec();
    DropEdit();
    FStore->Delete(rec);
    FBof = FEof = FPos < 0;
    Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
    DoAfterDelete();
    DoAfterScroll();
}

void TqxDataSet::SetRecordValues(const QVariantList& values)
{
    const qsizetype n = std::min<qsizetype>(values.size(), FieldCount());
    for (qsizetype i = 0; i < n; ++i)
        Fields(int(i))->SetAsVariant(values[i]);
}

void TqxDataSet::AppendRecord(const QVariantList& values)
{
    Append();
    SetRecordValues(values);
    Post();
}

void TqxDataSet::InsertRecord(const QVariantList& values)
{
    Insert();
    SetRecordValues(values);
    Post();
}

void TqxDataSet::EmptyDataSet()
{
    CheckActive();
    DropEdit();
    FStore->Empty();
}

void TqxDataSet::MergeChangeLog()
{
    if (FStore)
        FStore->MergeChangeLog();
}

void TqxDataSet::CancelUpdates()
{
    CheckActive();
    Cancel();
    FStore->CancelUpdates();
}

// ---------------------------------------------------------------- order, search, filter

void TqxDataSet::SetIndexFieldNames(const QString& names)
{
    if (!Active()) {
        FIndexFieldNames = names;
        return;
    }
    CheckBrowseMode();
    std::vector<int> key = ParseFieldList(names, u"索引"_s);
    const TqxRecId keep = CurrentRec();
    FIndexFieldNames = names;
    FView.SetKey(std::move(key));
    FPos = keep >= 0 ? FView.Find(keep) : (FView.Count() > 0 ? 0 : -1);
    Tell([](TqxDataSetObserver* o) { o->DataSetOrderChanged(); });
}

bool TqxDataSet::Accepts(TqxRecId rec)
{
    if (FFilterExpr && !FFilterExpr->Matches(FStore->Data().Row(rec)))
        return false;
    if (!OnFilterRecord)
        return true;
    ActiveRowScope scope(*this, rec, false);
    bool accept = true;
    // A failing handler must not leave the rows half sorted in: the row is
    // left out, and re-applying the filter reports the failure.
    try {
        OnFilterRecord(this, accept);
    } catch (...) {
        if (!FFilterFailure)
            FFilterFailure = std::current_exception();
        return false;
    }
    return accept;
}

void TqxDataSet::ApplyFilter()
{
    FFilterFailure = nullptr;
    if (FFiltered && (FFilterExpr || OnFilterRecord))
        FView.SetAccept([this](TqxRecId rec) { return Accepts(rec); });
    else
        FView.SetAccept({});
    if (FFilterFailure) {
        const std::exception_ptr failure = FFilterFailure;
        FFilterFailure = nullptr;
        FFiltered = false;
        FFilterExpr.reset();
        FView.SetAccept({});
        ResetView(-1);
        std::rethrow_exception(failure);
    }
}

void TqxDataSet::SetFilter(const QString& text)
{
    if (!Active() || !FFiltered) {
        FFilterText = text;
        return;
    }
    CheckBrowseMode();
    std::unique_ptr<TqxFilterExpr> expr;
    if (!text.trimmed().isEmpty())
        expr = std::make_unique<TqxFilterExpr>(text, FFieldDefs, FFilterOptions);
    FFilterText = text;
    FFilterExpr = std::move(expr);
    ApplyFilter();
    ResetView(-1);
    DoAfterScroll();
}

void TqxDataSet::SetFiltered(bool value)
{
    if (value == FFiltered)
        return;
    if (!Active()) {
        FFiltered = value;
        return;
    }
    CheckBrowseMode();
    std::unique_ptr<TqxFilterExpr> expr;
    if (value && !FFilterText.trimmed().isEmpty())
        expr = std::make_unique<TqxFilterExpr>(FFilterText, FFieldDefs, FFilterOptions);
    FFiltered = value;
    FFilterExpr = std::move(expr);
    ApplyFilter();
    ResetView(-1);
    DoAfterScroll();
}

void TqxDataSet::SetFilterOptions(TqxFilterOptions value)
{
    if (value == FFilterOptions)
        return;
    if (!Active() || !FFiltered || FFilterText.trimmed().isEmpty()) {
        FFilterOptions = value;
        return;
    }
    CheckBrowseMode();
    auto expr = std::make_unique<TqxFilterExpr>(FFilterText, FFieldDefs, value);
    FFilterOptions = value;
    FFilterExpr = std::move(expr);
    ApplyFilter();
    ResetView(-1);
    DoAfterScroll();
}

int TqxDataSet::FindRow(const QString& keyFields, const QVariant& keyValues, TqxLocateOptions options)
{
    const std::vector<int> fields = ParseFieldList(keyFields, u"查找"_s);
    if (fields.empty())
        throw EKavelinErr(u"没有指定查找的字段！"_s);
    QVariantList values;
    if (keyValues.typeId() == QMetaType::QVariantList)
        values = keyValues.toList();
    else
        values.append(keyValues);
    if (values.size() != qsizetype(fields.size()))
        throw EKavelinErr(u"查找的字段数与值的个数不一致！"_s);

    const bool folded = options & loCaseInsensitive;
    const bool partial = options & loPartialKey;
    struct Key {
        int f;
        TqxFieldKind kind;
        bool isNull;
        bool asText; // compared as the field's text
        QByteArray bytes;
        QString text;
        double number;
    };
    std::vector<Key> keys;
    for (size_t i = 0; i < fields.size(); ++i) {
        const QVariant& v = values[qsizetype(i)];
        Key k{fields[i], FFieldDefs[size_t(fields[i])].Kind, !v.isValid() || v.isNull(), false, {}, {}, 0};
        if (k.kind == TqxFieldKind::String) {
            k.bytes = k.isNull ? QByteArray() : Gbk::Encode(v.toString());
            k.isNull = false; // null text is the empty text
        } else if (!k.isNull) {
            bool ok = false;
            // A boolean has no prefix: "partial" compares it as a boolean, so
            // the letter case of its text cannot make it miss.
            if ((partial && k.kind != TqxFieldKind::Boolean) || k.kind == TqxFieldKind::Date ||
                k.kind == TqxFieldKind::Time || k.kind == TqxFieldKind::DateTime) {
                k.asText = true;
                k.text = v.toString();
                ok = true;
            } else if (k.kind == TqxFieldKind::Boolean) {
                std::optional<bool> b = v.typeId() == QMetaType::Bool ? std::optional<bool>(v.toBool())
                                                                      : TqxField::ParseBool(v.toString());
                ok = b.has_value();
                k.number = b.value_or(false) ? 1 : 0;
            } else {
                k.number = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
            }
            if (!ok)
                return -1; // a value the field cannot hold matches no row
        }
        keys.push_back(std::move(k));
    }

    const TqxRowData& data = FStore->Data();
    const std::vector<TqxRecId>& rows = FView.Rows();
    for (size_t pos = 0; pos < rows.size(); ++pos) {
        const TqxRowView row = data.Row(rows[pos]);
        bool match = true;
        for (const Key& k : keys) {
            if (k.kind == TqxFieldKind::String) {
                match = partial ? qxCompare::StartsWith(row.Bytes(k.f), k.bytes, folded)
                                : qxCompare::Equal(row.Bytes(k.f), k.bytes, folded);
            } else if (k.isNull || row.IsNull(k.f)) {
                match = k.isNull && row.IsNull(k.f);
            } else if (k.asText) {
                ActiveRowScope scope(*this, rows[pos], false);
                const QString text = Fields(k.f)->AsString();
                const Qt::CaseSensitivity cs = folded ? Qt::CaseInsensitive : Qt::CaseSensitive;
                match = partial ? text.startsWith(k.text, cs) : text.compare(k.text, cs) == 0;
            } else {
                double v;
                switch (k.kind) {
                case TqxFieldKind::Float:
                case TqxFieldKind::Money:
                    v = row.Float(k.f);
                    break;
                case TqxFieldKind::Boolean:
                    v = row.Bool(k.f) ? 1 : 0;
                    break;
                default:
                    v = row.Int(k.f);
                    break;
                }
                match = v == k.number;
            }
            if (!match)
                break;
        }
        if (match)
            return int(pos);
    }
    return -1;
}

bool TqxDataSet::Locate(const QString& keyFields, const QVariant& keyValues, TqxLocateOptions options)
{
    CheckActive();
    CheckBrowseMode();
    const int pos = FindRow(keyFields, keyValues, options);
    if (pos < 0)
        return false;
    DoBeforeScroll();
    FPos = pos;
    FBof = FEof = false;
    Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
    DoAfterScroll();
    return true;
}

QVariant TqxDataSet::Lookup(const QString& keyFields, const QVariant& keyValues, const QString& resultFields)
{
    CheckActive();
    const std::vector<int> result = ParseFieldList(resultFields, u"结果"_s);
    const int pos = FindRow(keyFields, keyValues, {});
    if (pos < 0 || result.empty())
        return QVariant();
    const TqxBookmark row = BookmarkAt(pos);
    if (result.size() == 1)
        return ValueAt(row, result.front());
    QVariantList values;
    for (const int f : result)
        values.append(ValueAt(row, f));
    return values;
}

// ---------------------------------------------------------------- bookmarks

TqxBookmark TqxDataSet::GetBookmark() const
{
    const TqxRecId rec = Active() ? CurrentRec() : -1;
    return rec >= 0 ? FStore->Data().BookmarkOf(rec) : TqxBookmark();
}

int TqxDataSet::RowOf(const TqxBookmark& bookmark) const
{
    if (!Active() || bookmark.IsNull())
        return -1;
    const TqxRecId rec = FStore->Data().Resolve(bookmark);
    return rec >= 0 ? FView.Find(rec) : -1;
}

TqxBookmark TqxDataSet::BookmarkAt(int row) const
{
    if (!Active() || row < 0 || row >= FView.Count())
        return {};
    return FStore->Data().BookmarkOf(FView.At(row));
}

bool TqxDataSet::BookmarkValid(const TqxBookmark& bookmark) const
{
    return RowOf(bookmark) >= 0;
}

void TqxDataSet::GotoBookmark(const TqxBookmark& bookmark)
{
    CheckActive();
    CheckBrowseMode();
    const int pos = RowOf(bookmark);
    if (pos < 0)
        throw EKavelinErr(u"记录已经不存在！"_s);
    DoBeforeScroll();
    FPos = pos;
    FBof = FEof = false;
    Tell([](TqxDataSetObserver* o) { o->DataSetScrolled(); });
    DoAfterScroll();
}

int TqxDataSet::CompareBookmarks(const TqxBookmark& a, const TqxBookmark& b) const
{
    const int ra = RowOf(a);
    const int rb = RowOf(b);
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

// ---------------------------------------------------------------- rows seen by views

bool TqxDataSet::RowScope(const TqxBookmark& row, TqxRecId& rec, bool& buffer) const
{
    rec = -1;
    buffer = false;
    if (!Active())
        return false;
    if (row.IsNull()) {
        buffer = FState == TqxDataSetState::Insert;
        return buffer;
    }
    if (FState == TqxDataSetState::Edit && row == FEditRow) {
        buffer = true;
        return true;
    }
    rec = FStore->Data().Resolve(row);
    return rec >= 0;
}

QString TqxDataSet::DisplayTextAt(const TqxBookmark& row, int field)
{
    TqxRecId rec;
    bool buffer;
    if (field < 0 || field >= FieldCount() || !RowScope(row, rec, buffer))
        return QString();
    ActiveRowScope scope(*this, rec, buffer);
    return Fields(field)->DisplayText();
}

QString TqxDataSet::TextAt(const TqxBookmark& row, int field)
{
    TqxRecId rec;
    bool buffer;
    if (field < 0 || field >= FieldCount() || !RowScope(row, rec, buffer))
        return QString();
    ActiveRowScope scope(*this, rec, buffer);
    return Fields(field)->Text();
}

QVariant TqxDataSet::ValueAt(const TqxBookmark& row, int field)
{
    TqxRecId rec;
    bool buffer;
    if (field < 0 || field >= FieldCount() || !RowScope(row, rec, buffer))
        return QVariant();
    ActiveRowScope scope(*this, rec, buffer);
    return Fields(field)->AsVariant();
}

int TqxDataSet::InsertRow() const
{
    if (FState != TqxDataSetState::Insert)
        return -1;
    return FInsertAppend || FPos < 0 ? FView.Count() : FPos;
}

// ---------------------------------------------------------------- packets and files

void TqxDataSet::LoadFromBytes(const QByteArray& bytes, const QString& sourceName)
{
    TqxRowData data = TqxPacket::Read(bytes, sourceName.isEmpty() ? u"数据流"_s : sourceName);
    if (!FStore) {
        AttachStore(std::make_shared<TqxRowStore>(data.Defs()));
    } else if (!Active()) {
        AttachStore(FStore);
    }
    FStore->Replace(std::move(data));
}

QByteArray TqxDataSet::SaveToBytes() const
{
    CheckActive();
    return TqxPacket::Write(FStore->Data());
}

void TqxDataSet::LoadFromStream(QIODevice* stream)
{
    LoadFromBytes(stream ? stream->readAll() : QByteArray());
}

void TqxDataSet::SaveToStream(QIODevice* stream) const
{
    const QByteArray bytes = SaveToBytes();
    if (!stream || stream->write(bytes) != bytes.size())
        throw EFileError(u"写入表数据失败："_s + (stream ? stream->errorString() : QString()));
}

void TqxDataSet::LoadFromFile(const QString& fileName)
{
    LoadFromBytes(FileSystem::ReadFile(fileName), fileName);
}

void TqxDataSet::SaveToFile(const QString& fileName) const
{
    FileSystem::WriteFileAtomic(fileName, SaveToBytes());
}

bool TqxDataSet::OpenTableFile(const QString& fileName)
{
    Close();
    CreateDataSet();
    if (!FileSystem::FileExists(fileName))
        return false;
    LoadFromFile(fileName);
    return true;
}

void TqxDataSet::SaveTableFile(const QString& fileName)
{
    // Written first: a failed write leaves the changes counted, so they are
    // still offered for saving.
    SaveToFile(fileName);
    MergeChangeLog();
}
