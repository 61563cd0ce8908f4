#pragma once
// Small budgets built in code for the budget and fee tests.

#include "kvYssDataSet.h"

#include <QString>

namespace KvBudget {

using namespace Qt::StringLiterals;

struct Item {
    QString place;
    QString kind;
    QString name;
    double price;
    double quantity;
};

inline void AddItem(TkvYssDataSet& ds, const Item& it)
{
    ds.Append();
    ds.FieldByName(u"行类型"_s)->SetAsInteger(rtItem);
    ds.FieldByName(u"施工地点"_s)->SetAsString(it.place);
    ds.FieldByName(u"项目类别"_s)->SetAsString(it.kind);
    ds.FieldByName(u"项目名称"_s)->SetAsString(it.name);
    ds.FieldByName(u"单位"_s)->SetAsString(u"项"_s);
    ds.FieldByName(u"单价"_s)->SetAsFloat(it.price);
    ds.FieldByName(u"数量"_s)->SetAsFloat(it.quantity);
    ds.Post();
}

// Rows as they would come from a file: entered room by room, not in name order.
inline void FillSampleShape(TkvYssDataSet& ds)
{
    const QString order[] = {u"客厅"_s, u"餐厅"_s, u"主卧室"_s, u"书房"_s, u"厨房"_s, u"卫生间"_s, u"整体"_s};
    for (const QString& place : order) {
        if (place == u"餐厅"_s) {
            for (int i = 0; i < 8; ++i)
                AddItem(ds, {place, u"油漆工程"_s, u"项目%1"_s.arg(i), 350, 2});
            AddItem(ds, {place, u"地板工程"_s, u"地砖铺贴"_s, 697.6, 1}); // 8 × 700 + 697.6 = 6297.6
        } else {
            AddItem(ds, {place, u"电器工程"_s, u"开关安装"_s, 15, 4});
            AddItem(ds, {place, u"装修工程"_s, u"墙面乳胶漆"_s, 25, 40});
        }
    }
}

// The texts of a field over every row in the cursor's order.
inline QStringList Column(TkvYssDataSet& ds, const QString& field)
{
    QStringList out;
    const TqxBookmark keep = ds.GetBookmark();
    for (ds.First(); !ds.Eof(); ds.Next())
        out << ds.FieldByName(field)->AsString();
    if (ds.BookmarkValid(keep))
        ds.GotoBookmark(keep);
    return out;
}

} // namespace KvBudget
