#pragma once
// The fee table of a project: charges on top of the budget, each with a
// formula over the budget's direct cost ("[工程直接费]") and the amounts of
// earlier rows ("[1]"), numbered densely from 1.

#include "qxDataSet.h"

#include <unordered_map>

class TkvYssDataSet;
class TqxExp;
class TqxVariant;

class TkvQfbDataSet : public TqxDataSet {
public:
    TkvQfbDataSet();

    // The five fields, in their stored order.
    static TqxFieldDefs FeeFieldDefs();

    TqxExp* qxExp = nullptr; // the evaluator Compute uses; not owned

    int CurrentNo() const;
    void ShiftNo(int delta);
    void InsertRowNo(int no);
    void AppendRow();
    void InsertRow();
    void DeleteRow();
    double AmountOfRow(int no) const;
    // Evaluates every formula once, from row 1 down. Throws EKavelinErr
    // naming the row when a formula is rejected or its result is not a
    // number; the rows above keep their new amounts.
    void Compute();

    // The fee page's commands, without the window.
    void InsertCommand(); // on the first row it appends
    // Refused on row 1 (false): the caller tells the user "第一行不能够被删除！".
    bool DeleteCommand();
    // The computation as the user starts it: row references resolve only while it runs.
    void ComputeFees();

    // Fee templates: the fee table alone as a packet file.
    // Replaces the whole table, then computes; a packet without the fee
    // fields raises EFileError and changes nothing.
    void LoadTemplate(const QString& fileName);
    void SaveTemplate(const QString& fileName);

private:
    // While Compute runs: the amount of every row number (the first row of a
    // number, as a search finds it), kept current as the pass writes them.
    std::unordered_map<int, double> FAmounts;
    bool FComputing = false;
};

// The evaluator's variable callback of a project: "工程直接费" is the budget's
// total; while the fee computation runs (Tag 1), a row number is that row's
// amount; anything else stays null.
void FeeVariableValue(const TkvYssDataSet& budget, const TkvQfbDataSet& fees, TqxExp* sender, const QString& name,
                      TqxVariant& value);
