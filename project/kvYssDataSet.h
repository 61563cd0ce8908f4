#pragma once
// The budget sheet: the work items of a project, grouped by construction
// place or by item category. Every group has a generated header row, its
// item rows and a generated subtotal row; switching the group field rebuilds
// all of them from the item rows.

#include "qxDataSet.h"

#include <QList>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class TkvYssDataSet;

enum TRowType : int { rtGroupHeader = 0, rtItem = 1, rtSubtotal = 9 };

class TGroupInfo {
public:
    TGroupInfo(TkvYssDataSet* dataSet, int groupNo, QString name)
        : DataSet(dataSet), GroupNo(groupNo), FGroupName(std::move(name))
    {
    }

    TkvYssDataSet* DataSet;
    int GroupNo;

    const QString& GroupName() const { return FGroupName; }
    // Renames the group and writes the name into the group field of all its rows.
    void SetGroupName(const QString& value);
    // Stores the group's item total and named-item count in its subtotal row.
    void UpdateSubtotal();
    // The sum of a field over the group's rows before its subtotal.
    double FieldSum(const QString& fieldName) const;

private:
    QString FGroupName;
};

using TYssNotifyEvent = std::function<void(TkvYssDataSet* Sender)>;
using TGroupChanging = std::function<void(TkvYssDataSet* Sender, const QString& OldGroup, const QString& NewGroup)>;

class TkvYssDataSet : public TqxDataSet {
public:
    static const QString GroupIndex; // "组号;行类型;序号"

    TkvYssDataSet();
    ~TkvYssDataSet() override;

    // The 14 fields of a budget, in their stored order.
    static TqxFieldDefs BudgetFieldDefs();

    const QString& GroupField() const { return FGroupField; }
    // Always regroups, even when the value is unchanged.
    void SetGroupField(const QString& value);

    // Replaces the rows with a packet; does not regroup. sourceName names the
    // packet in messages (the project file and its section).
    void LoadBudget(QIODevice* stream);
    void LoadBudget(const QByteArray& packet, const QString& sourceName = QString());

    TGroupInfo* AddGroup(const QString& name);
    TGroupInfo* FindGroup(const QString& name) const;
    TGroupInfo* FindGroupByNo(int no) const;
    TGroupInfo* CurrentGroup() const;
    int GroupCount() const { return int(FGroups.size()); }
    TGroupInfo* Groups(int index) const { return FGroups[size_t(index)].get(); }
    void DeleteGroup(const QString& name, bool deleteRows);
    void DeleteGroupRows(int groupNo);
    void ClearGroups();

    bool LocateHeader(int groupNo);
    bool LocateSubtotal(int groupNo);
    bool IsGroupHeader() const;

    void AppendItem(TGroupInfo* group);
    void InsertItem(TGroupInfo* group);
    // Deletes the rows, then renumbers and re-totals every group they were in.
    void DeleteRows(const QList<TqxBookmark>& bookmarks);
    void Regroup();
    double TotalAmount() const;
    // The end of a change: the current group's subtotal and the modified notice.
    void Changed();

    void SetGroupIndex() { SetIndexFieldNames(GroupIndex); }
    void ClearIndex() { SetIndexFieldNames(QString()); }

    bool Updating() const { return FUpdateCount > 0; }

    TYssNotifyEvent OnAfterYssModified;
    TGroupChanging OnGroupChanging;

protected:
    void DoAfterDelete() override;
    void DoAfterInsert() override;
    void DoAfterPost() override;
    void DoAfterScroll() override;
    void DoBeforePost() override;

private:
    friend class TGroupInfo;
    // Nested bulk operations: row events are held back and attached views
    // repaint once, when the outermost one ends.
    void Lock();
    void Unlock();
    class Locked;
    void Renumber(int groupNo);
    void ApplyAmountRule(TqxField* sender);
    void InstallFieldRules();

    std::vector<std::unique_ptr<TGroupInfo>> FGroups;
    QString FGroupField;
    int FUpdateCount = 0;
    int FControlLock = 0;
    bool FApplyingAmount = false;
};
