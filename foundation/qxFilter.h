#pragma once
// The filter expressions of the table store, in the form the windows write
// them: comparisons of a field with a quoted string (an embedded quote
// doubled), a number or '', joined by And and Or, with Not and parentheses.
// = and <> with a quoted string ending in "*" compare by prefix:
//   父类别='施工地点'    类别='项目名称' Or 类别=''    项目名称='ab*'
// Text compares as GBK bytes (empty text and null are the same); a number
// field that is null matches no comparison but = ''.

#include "qxRecord.h"

#include <QFlags>
#include <memory>

enum TqxFilterOption { foCaseInsensitive = 0x1, foNoPartialCompare = 0x2 };
Q_DECLARE_FLAGS(TqxFilterOptions, TqxFilterOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TqxFilterOptions)

class TqxFilterExpr {
public:
    // Throws EKavelinErr naming the place of the fault in text.
    TqxFilterExpr(const QString& text, const TqxFieldDefs& defs, TqxFilterOptions options);
    ~TqxFilterExpr();
    TqxFilterExpr(const TqxFilterExpr&) = delete;
    TqxFilterExpr& operator=(const TqxFilterExpr&) = delete;

    bool Matches(const TqxRowView& row) const;

    struct Node;

private:
    bool Eval(int node, const TqxRowView& row) const;

    std::vector<Node> FNodes;
    int FRoot = -1;
    bool FFolded = false;
};
