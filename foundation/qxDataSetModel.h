#pragma once
// A Qt item model over one cursor, for the grids: rows in the cursor's order
// and filter, one column per field (or per chosen field), display text
// through the fields' get-text events, editing through the cursor. Edits,
// inserts, deletes and moves arrive as single-row model signals; the model
// keeps its own list of the rows' bookmarks, so it stays consistent while the
// cursor's controls are disabled and catches up once they are enabled again.
//
// While the cursor inserts, the new row shows where it will be entered.

#include "qxDataSet.h"

#include <QAbstractTableModel>
#include <QStringList>

class TqxDataSetModel : public QAbstractTableModel, private TqxDataSetObserver {
    Q_OBJECT
public:
    enum Roles { ValueRole = Qt::UserRole + 1 }; // the field's value as a variant, null included

    explicit TqxDataSetModel(TqxDataSet* dataSet = nullptr, QObject* parent = nullptr);
    ~TqxDataSetModel() override;

    TqxDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TqxDataSet* dataSet);
    // Field names shown as columns, in order; empty: every field.
    void SetColumns(const QStringList& fieldNames);
    int FieldOfColumn(int column) const;
    int ColumnOfField(const QString& fieldName) const;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }

    TqxBookmark BookmarkAt(int row) const; // null for the row being inserted
    int RowOf(const TqxBookmark& bookmark) const;
    int CurrentRow() const;
    void SetCurrentRow(int row); // moves the cursor; a failure is reported by errorOccurred

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Writes the field of that row; outside a pending edit of the row it is
    // edited and posted at once. A refused value is reported by errorOccurred.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

Q_SIGNALS:
    void currentRowChanged(int row);
    void errorOccurred(const QString& message);

private:
    void DataSetRowInserted(int pos) override;
    void DataSetRowRemoved(int pos) override;
    void DataSetRowMoved(int from, int to) override;
    void DataSetRowChanged(int pos) override;
    void DataSetFieldChanged(int field) override;
    void DataSetStateChanged() override;
    void DataSetScrolled() override;
    void DataSetOrderChanged() override;
    void DataSetChanged() override;
    void DataSetDestroyed() override;

    int MirrorPos(int viewPos) const { return FPhantom >= 0 && viewPos >= FPhantom ? viewPos + 1 : viewPos; }
    std::vector<TqxBookmark> CursorRows(int& phantom) const;
    std::vector<int> ResolveColumns() const;
    void Reset();
    void EmitRowChanged(int row);

    TqxDataSet* FDataSet = nullptr;
    QStringList FColumnNames;
    std::vector<int> FColumnFields;
    std::vector<TqxBookmark> FRows;
    int FPhantom = -1; // row of the record being inserted
    bool FReadOnly = false;
};
