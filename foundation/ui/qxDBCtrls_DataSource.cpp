#include "qxDBCtrls_DataSource.h"

TqxDataSource::TqxDataSource(QObject* parent) : QObject(parent) {}

TqxDataSource::TqxDataSource(TqxDataSet* dataSet, QObject* parent) : QObject(parent)
{
    SetDataSet(dataSet);
}

TqxDataSource::~TqxDataSource()
{
    if (FDataSet)
        FDataSet->RemoveObserver(this);
}

void TqxDataSource::SetDataSet(TqxDataSet* dataSet)
{
    if (dataSet == FDataSet)
        return;
    if (FDataSet)
        FDataSet->RemoveObserver(this);
    FDataSet = dataSet;
    if (FDataSet)
        FDataSet->AddObserver(this);
    Q_EMIT DataSetAssigned();
}

void TqxDataSource::UpdateRecord()
{
    Q_EMIT UpdateRecordRequested();
}

void TqxDataSource::DataSetDestroyed()
{
    FDataSet = nullptr;
    Q_EMIT DataSetAssigned();
}
