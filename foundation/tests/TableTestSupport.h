#pragma once
// Small helpers the table tests share.

#include "qxDataSet.h"

#include <QStringList>

namespace KvTable {

using namespace Qt::StringLiterals;

// 项目名称 (text 8, required), 类别 (text 20), 数量 (integer), 单价 (money), 系统 (boolean)
inline TqxFieldDefs ItemDefs()
{
    return {{u"项目名称"_s, TqxFieldKind::String, 8, true},
            {u"类别"_s, TqxFieldKind::String, 20, false},
            {u"数量"_s, TqxFieldKind::Integer, 0, false},
            {u"单价"_s, TqxFieldKind::Money, 0, false},
            {u"系统"_s, TqxFieldKind::Boolean, 0, false}};
}

inline void Create(TqxDataSet& ds, const TqxFieldDefs& defs)
{
    ds.SetFieldDefs(defs);
    ds.CreateDataSet();
}

// Each row: values in field order; fields left out stay null.
inline void Fill(TqxDataSet& ds, const QList<QVariantList>& rows)
{
    for (const QVariantList& r : rows)
        ds.AppendRecord(r);
}

// One field of every row, in the cursor's order and filter, without moving it.
inline QStringList Column(TqxDataSet& ds, const QString& field)
{
    QStringList out;
    const int f = ds.FieldByName(field)->Index();
    for (int i = 0; i < ds.RecordCount(); ++i)
        out.append(ds.TextAt(ds.BookmarkAt(i), f));
    return out;
}

inline QString Current(TqxDataSet& ds, const QString& field = u"项目名称"_s)
{
    return ds.FieldByName(field)->AsString();
}

} // namespace KvTable
