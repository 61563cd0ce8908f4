#include "kvTakeItem.h"

#include "DataModule_App.h"
#include "kvYssDataSet.h"

using namespace Qt::StringLiterals;

void TakeItem(TqxDataSet& source, TkvYssDataSet& budget)
{
    const QString kindField = u"项目类别"_s;
    if (budget.GroupField() != kindField) {
        TDataModule_Data::CopyItemFields(&source, &budget, u"项目名称;单价;备注;单位;项目类别"_s);
        return;
    }
    TDataModule_Data::CopyItemFields(&source, &budget, u"项目名称;单价;备注;单位"_s);
    // The category view groups by the category itself: the row takes its
    // group's name, whatever the item's own category, and stays where it is.
    // A row outside any group keeps what it had.
    if (const TGroupInfo* group = budget.CurrentGroup()) {
        budget.Edit();
        budget.FieldByName(kindField)->SetAsString(group->GroupName());
        budget.Post();
    }
}
