#pragma once
// Categories as item filters: each category names an item field, a value and
// a comparison, and a category further down the tree narrows the filters of
// all those above it.

#include <QList>
#include <QString>

class TqxDataSet;

enum TFilterMode : int { fmAll = 0, fmEquals = 1, fmContains = 2 };

// The record of one node of the category tree.
struct TItemCate {
    QString Name;   // 类别名称; "<顶级分类>" for the root
    QString Parent; // 父类别
    bool IsRoot = false;
    bool IsSystem = false;
    QString FilterValue;    // 过滤内容
    QString ConditionField; // 条件字段
    int FilterMode = fmAll; // 过滤模式

    // The record of the category table's current row.
    static TItemCate FromRow(const TqxDataSet& categories);
};

// Whether the item row passes the filters of a node and all its ancestors,
// given from the root down to the node. A category whose field the item table
// lacks (or names none) does not narrow; Latin letters compare without
// regard to case, everything else as it stands.
bool PassesCategoryFilter(const QList<const TItemCate*>& rootToNode, const TqxDataSet& items);
