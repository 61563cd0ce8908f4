#pragma once
// What binds data-aware controls to a table: several grids and a navigator
// may share one data source, and rebinding it moves them all to another
// table at once. It forgets a table that is destroyed.

#include "qxDataSet.h"

#include <QObject>

class TqxDataSource : public QObject, private TqxDataSetObserver {
    Q_OBJECT
public:
    explicit TqxDataSource(QObject* parent = nullptr);
    explicit TqxDataSource(TqxDataSet* dataSet, QObject* parent = nullptr);
    ~TqxDataSource() override;

    TqxDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TqxDataSet* dataSet);
    // Whether typing into a control starts editing the row (otherwise only a
    // row already being edited or inserted takes input).
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool on) { FAutoEdit = on; }

    // Asks the controls to write what they are editing into the row, before
    // a command posts it or moves away.
    void UpdateRecord();

Q_SIGNALS:
    // Another table, or none.
    void DataSetAssigned();
    void UpdateRecordRequested();

private:
    void DataSetDestroyed() override;

    TqxDataSet* FDataSet = nullptr;
    bool FAutoEdit = true;
};
