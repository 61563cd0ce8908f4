#pragma once
// Small but real base-data table files for the backup and restore tests: a
// restore refuses anything that is not a packet of the expected table.

#include "DataModule_App.h"

#include <QByteArray>
#include <QString>

namespace KvTest {

// A packet of the table stored in file (ItemsDB, ItemCateDB, MemoDB,
// MeasureUnit, WordsDb) with one row whose first field holds tag.
inline QByteArray TablePacket(const QString& file, const QByteArray& tag)
{
    using D = TDataModule_Data;
    const TqxFieldDefs defs = file == QLatin1String("ItemsDB")      ? D::ItemFieldDefs()
                              : file == QLatin1String("ItemCateDB") ? D::ItemCateFieldDefs()
                              : file == QLatin1String("MemoDB")     ? D::MemoFieldDefs()
                              : file == QLatin1String("MeasureUnit") ? D::MeasureUnitFieldDefs()
                                                                     : D::WordFieldDefs();
    TqxDataSet t;
    t.SetFieldDefs(defs);
    t.CreateDataSet();
    t.Append();
    t.Fields(0)->SetAsString(QString::fromLatin1(tag));
    t.Post();
    return t.SaveToBytes();
}

} // namespace KvTest
