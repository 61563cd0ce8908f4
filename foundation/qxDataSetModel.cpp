#include "qxDataSetModel.h"

#include "qxErrors.h"

using namespace Qt::StringLiterals;

TqxDataSetModel::TqxDataSetModel(TqxDataSet* dataSet, QObject* parent) : QAbstractTableModel(parent)
{
    SetDataSet(dataSet);
}

TqxDataSetModel::~TqxDataSetModel()
{
    if (FDataSet)
        FDataSet->RemoveObserver(this);
}

void TqxDataSetModel::SetDataSet(TqxDataSet* dataSet)
{
    if (FDataSet)
        FDataSet->RemoveObserver(this);
    FDataSet = dataSet;
    if (FDataSet)
        FDataSet->AddObserver(this);
    Reset();
}

void TqxDataSetModel::SetColumns(const QStringList& fieldNames)
{
    FColumnNames = fieldNames;
    Reset();
}

std::vector<int> TqxDataSetModel::ResolveColumns() const
{
    std::vector<int> fields;
    if (!FDataSet)
        return fields;
    if (FColumnNames.isEmpty()) {
        for (int i = 0; i < FDataSet->FieldCount(); ++i)
            fields.push_back(i);
        return fields;
    }
    // A named column whose field the table lacks stays, empty, so the grid's
    // columns and the model's keep one order.
    for (const QString& name : FColumnNames) {
        const TqxField* f = FDataSet->FindField(name);
        fields.push_back(f ? f->Index() : -1);
    }
    return fields;
}

std::vector<TqxBookmark> TqxDataSetModel::CursorRows(int& phantom) const
{
    std::vector<TqxBookmark> rows;
    phantom = -1;
    if (!FDataSet || !FDataSet->Active())
        return rows;
    const int count = FDataSet->RecordCount();
    rows.reserve(size_t(count) + 1);
    for (int i = 0; i < count; ++i)
        rows.push_back(FDataSet->BookmarkAt(i));
    phantom = FDataSet->InsertRow();
    if (phantom >= 0)
        rows.insert(rows.begin() + phantom, TqxBookmark());
    return rows;
}

void TqxDataSetModel::Reset()
{
    beginResetModel();
    FColumnFields = ResolveColumns();
    FRows = CursorRows(FPhantom);
    endResetModel();
}

int TqxDataSetModel::FieldOfColumn(int column) const
{
    return column >= 0 && column < int(FColumnFields.size()) ? FColumnFields[size_t(column)] : -1;
}

int TqxDataSetModel::ColumnOfField(const QString& fieldName) const
{
    const TqxField* f = FDataSet ? FDataSet->FindField(fieldName) : nullptr;
    if (!f)
        return -1;
    const auto it = std::find(FColumnFields.begin(), FColumnFields.end(), f->Index());
    return it != FColumnFields.end() ? int(it - FColumnFields.begin()) : -1;
}

TqxBookmark TqxDataSetModel::BookmarkAt(int row) const
{
    return row >= 0 && row < int(FRows.size()) ? FRows[size_t(row)] : TqxBookmark();
}

int TqxDataSetModel::RowOf(const TqxBookmark& bookmark) const
{
    if (bookmark.IsNull())
        return FPhantom;
    const int pos = FDataSet ? FDataSet->RowOf(bookmark) : -1;
    return pos >= 0 ? MirrorPos(pos) : -1;
}

int TqxDataSetModel::CurrentRow() const
{
    if (!FDataSet || !FDataSet->Active())
        return -1;
    if (FPhantom >= 0)
        return FPhantom;
    return FDataSet->RecNo() > 0 ? MirrorPos(FDataSet->RecNo() - 1) : -1;
}

void TqxDataSetModel::SetCurrentRow(int row)
{
    const TqxBookmark b = BookmarkAt(row);
    // While a row is being inserted the cursor still names the row it stands
    // on; choosing that row means leaving the new one.
    if (!FDataSet || b.IsNull() || (FPhantom < 0 && FDataSet->GetBookmark() == b))
        return;
    try {
        FDataSet->GotoBookmark(b);
    } catch (const Exception& e) {
        Q_EMIT errorOccurred(e.Message);
    }
}

int TqxDataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FRows.size());
}

int TqxDataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FColumnFields.size());
}

QVariant TqxDataSetModel::data(const QModelIndex& index, int role) const
{
    if (!FDataSet || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const TqxBookmark row = FRows[size_t(index.row())];
    const int field = FColumnFields[size_t(index.column())];
    if (field < 0)
        return role == Qt::DisplayRole || role == Qt::EditRole ? QVariant(QString()) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return FDataSet->DisplayTextAt(row, field);
    case Qt::EditRole:
        return FDataSet->TextAt(row, field);
    case ValueRole:
        return FDataSet->ValueAt(row, field);
    case Qt::TextAlignmentRole:
        if (FDataSet->Fields(field)->IsNumeric())
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TqxDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && FDataSet && section >= 0 &&
        section < int(FColumnFields.size())) {
        const int field = FColumnFields[size_t(section)];
        return field < 0 ? FColumnNames.value(section) : FDataSet->Fields(field)->DisplayLabel();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TqxDataSetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && FDataSet && !FReadOnly && FieldOfColumn(index.column()) >= 0 &&
        !FDataSet->Fields(FieldOfColumn(index.column()))->ReadOnly())
        f |= Qt::ItemIsEditable;
    return f;
}

bool TqxDataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!FDataSet || (role != Qt::EditRole && role != ValueRole) ||
        !checkIndex(index, CheckIndexOption::IndexIsValid) || FieldOfColumn(index.column()) < 0)
        return false;
    const TqxBookmark row = FRows[size_t(index.row())];
    TqxField* field = FDataSet->Fields(FieldOfColumn(index.column()));
    bool started = false;
    try {
        if (row.IsNull()) {
            if (FDataSet->State() != TqxDataSetState::Insert)
                return false;
        } else if (FDataSet->State() != TqxDataSetState::Edit || FDataSet->GetBookmark() != row) {
            if (FDataSet->GetBookmark() != row)
                FDataSet->GotoBookmark(row);
            FDataSet->Edit();
            started = true;
        }
        if (role == Qt::EditRole && value.typeId() == QMetaType::QString)
            field->SetAsString(value.toString());
        else
            field->SetAsVariant(value);
        if (started)
            FDataSet->Post();
        return true;
    } catch (const Exception& e) {
        if (started && FDataSet->State() == TqxDataSetState::Edit)
            FDataSet->Cancel();
        Q_EMIT errorOccurred(e.Message);
        return false;
    }
}

void TqxDataSetModel::EmitRowChanged(int row)
{
    if (row >= 0 && row < int(FRows.size()) && !FColumnFields.empty())
        Q_EMIT dataChanged(index(row, 0), index(row, int(FColumnFields.size()) - 1));
}

void TqxDataSetModel::DataSetRowInserted(int pos)
{
    // A new row at the place of the row being inserted goes before it: that
    // one is entered before the cursor's current row.
    const int m = FPhantom >= 0 && pos > FPhantom ? pos + 1 : pos;
    beginInsertRows(QModelIndex(), m, m);
    FRows.insert(FRows.begin() + m, FDataSet->BookmarkAt(pos));
    if (FPhantom >= 0 && m <= FPhantom)
        ++FPhantom;
    endInsertRows();
}

void TqxDataSetModel::DataSetRowRemoved(int pos)
{
    const int m = MirrorPos(pos);
    beginRemoveRows(QModelIndex(), m, m);
    FRows.erase(FRows.begin() + m);
    if (FPhantom > m)
        --FPhantom;
    endRemoveRows();
}

void TqxDataSetModel::DataSetRowMoved(int from, int to)
{
    const int source = MirrorPos(from);
    const int phantomAfterRemoval = FPhantom > source ? FPhantom - 1 : FPhantom;
    const int target = phantomAfterRemoval >= 0 && to > phantomAfterRemoval ? to + 1 : to;
    const int destination = target > source ? target + 1 : target;
    const bool moving = beginMoveRows(QModelIndex(), source, source, QModelIndex(), destination);
    const TqxBookmark b = FRows[size_t(source)];
    FRows.erase(FRows.begin() + source);
    FRows.insert(FRows.begin() + target, b);
    FPhantom = phantomAfterRemoval >= 0 && target <= phantomAfterRemoval ? phantomAfterRemoval + 1 : phantomAfterRemoval;
    if (moving)
        endMoveRows();
    EmitRowChanged(target);
}

void TqxDataSetModel::DataSetRowChanged(int pos)
{
    EmitRowChanged(MirrorPos(pos));
}

void TqxDataSetModel::DataSetFieldChanged(int field)
{
    const int row = CurrentRow();
    if (row < 0)
        return;
    for (size_t c = 0; c < FColumnFields.size(); ++c)
        if (FColumnFields[c] == field)
            Q_EMIT dataChanged(index(row, int(c)), index(row, int(c)));
}

void TqxDataSetModel::DataSetStateChanged()
{
    const int wanted = FDataSet->InsertRow();
    if (FPhantom >= 0 && wanted < 0) {
        beginRemoveRows(QModelIndex(), FPhantom, FPhantom);
        FRows.erase(FRows.begin() + FPhantom);
        FPhantom = -1;
        endRemoveRows();
    } else if (FPhantom < 0 && wanted >= 0) {
        beginInsertRows(QModelIndex(), wanted, wanted);
        FRows.insert(FRows.begin() + wanted, TqxBookmark());
        FPhantom = wanted;
        endInsertRows();
    } else {
        EmitRowChanged(CurrentRow()); // entering or leaving an edit shows other values
    }
    Q_EMIT currentRowChanged(CurrentRow());
}

void TqxDataSetModel::DataSetScrolled()
{
    Q_EMIT currentRowChanged(CurrentRow());
}

void TqxDataSetModel::DataSetOrderChanged()
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    int phantom = -1;
    std::vector<TqxBookmark> rows = CursorRows(phantom);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) {
        const TqxBookmark b = FRows[size_t(i.row())];
        int row = -1;
        if (b.IsNull()) {
            row = phantom;
        } else {
            const auto it = std::find(rows.begin(), rows.end(), b);
            row = it != rows.end() ? int(it - rows.begin()) : -1;
        }
        after.append(row >= 0 ? index(row, i.column()) : QModelIndex());
    }
    FRows = std::move(rows);
    FPhantom = phantom;
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT currentRowChanged(CurrentRow());
}

void TqxDataSetModel::DataSetChanged()
{
    int phantom = -1;
    std::vector<TqxBookmark> rows = CursorRows(phantom);
    if (rows == FRows && phantom == FPhantom && ResolveColumns() == FColumnFields) {
        // Same rows: only values may differ, so the views repaint without losing their state.
        if (!FRows.empty() && !FColumnFields.empty())
            Q_EMIT dataChanged(index(0, 0), index(int(FRows.size()) - 1, int(FColumnFields.size()) - 1));
    } else {
        beginResetModel();
        FColumnFields = ResolveColumns();
        FRows = std::move(rows);
        FPhantom = phantom;
        endResetModel();
    }
    Q_EMIT currentRowChanged(CurrentRow());
}

void TqxDataSetModel::DataSetDestroyed()
{
    beginResetModel();
    FDataSet = nullptr;
    FRows.clear();
    FColumnFields.clear();
    FPhantom = -1;
    endResetModel();
}
