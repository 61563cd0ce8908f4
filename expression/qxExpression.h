#pragma once
// The formula evaluator of the fee table. Every Calculate works afresh:
// tokenize, check the word sequence, ask the host for the variables,
// evaluate with an operand and an operator stack. Function calls evaluate
// their argument texts with a nested evaluator. Calculate never throws; the
// host learns the outcome from Succeeded and, for a rejected text, ErrorText
// and ErrorPos.

#include "qxBasicClasses.h"
#include "qxVariant.h"

#include <QString>
#include <functional>
#include <vector>

enum TqxWordKind : quint8 {
    wkUnknown = 0,
    wkOpenBracket = 1,
    wkCloseBracket = 2,
    wkVariable = 3,
    wkFunction = 4,
    wkString = 5,
    wkNumber = 6,
    wkArithmetic = 7,
    wkRelation = 8,
    wkLogic = 9,
};

// Data-type tags of words.
enum : quint8 { wdOther = 0, wdString = 1, wdNumber = 2 };

class TqxExpWord {
public:
    QString Text;
    quint8 Kind = wkUnknown;
    quint8 DataType = wdOther;
    TqxVariant Value = TqxVariant::Null(); // a variable's value
    QString VarName;                       // a variable's name as handed to OnGetValue
};

class TqxExp;
using TqxGetValue = std::function<void(TqxExp* Sender, const QString& VarName, TqxVariant& Value)>;
using TqxGetFunctionValue = std::function<void(TqxExp* Sender, const QString& FunctionName,
                                               TqxVariantList& ParamsList, TqxVariant& Value)>;

class TqxExp {
public:
    TqxExp() = default;
    TqxExp(const TqxExp&) = delete;
    TqxExp& operator=(const TqxExp&) = delete;

    // Evaluates text into Value. On failure Succeeded is false and Value
    // keeps what it held.
    void Calculate(const QString& text, TqxVariant& Value);

    // The passes of Calculate, in its order.
    void ClearWords() { Words.clear(); }
    bool ParseWords();
    bool CheckWords();
    void ResolveVariables();
    void CalcWords(TqxVariant& Value);
    void CalcFunction(int Index, TqxVariant& Value);

    int AddWord(const QString& Text, quint8 Kind, quint8 DataType);
    TqxExpWord& GetWord(int Index);

    QString Expression;
    std::vector<TqxExpWord> Words;
    QString ErrorText;
    int ErrorPos = -1;
    bool Succeeded = false;
    int Tag = 0; // the host's; the engine never reads it

    TqxGetValue OnGetValue;
    TqxGetFunctionValue OnGetFunctionValue;

    // Function calls nested deeper than this fail the formula instead of
    // exhausting the program's stack.
    static constexpr int MaxCallDepth = 200;

private:
    void ApplyTop(TqxStack& operands, TqxStack& operators);
    int TopKind(const TqxStack& operators);

    int FDepth = 0;
    bool FBusy = false;
    bool FReentered = false;
};

// The built-in functions: Name as written (trimmed, any letter case), the
// evaluated arguments, the result.
void CallBuiltin(const QString& Name, TqxVariantList& Params, TqxVariant& Value);
