#pragma once
// The exceptions of the formula engine and the two containers it stands on:
// the argument list of a function call and the stack of the evaluation.

#include "qxErrors.h"
#include "qxVariant.h"

#include <QString>
#include <vector>

class EqxError : public Exception {
public:
    using Exception::Exception;
};

class EqxStackErr : public EqxError {
public:
    using EqxError::EqxError;
};

class EqxExpErr : public EqxError {
public:
    using EqxError::EqxError;
};

// Tags of stack entries; only the pusher sets them, nothing reads them back.
enum : quint8 { dtOther = 0, dtString = 1, dtNumber = 2, dtLogic = 3 };

struct TqxVar {
    QString Name;
    TqxVariant Value;
    quint8 DataType = dtOther;
};

// Named values addressed by position: the arguments of one function call,
// each named by its text in the formula.
class TqxVariantList {
public:
    int Add(const QString& Name, const TqxVariant& Value);
    int Count() const { return int(FItems.size()); }
    void GetItem(int Index, TqxVar& Item) const;
    TqxVar& Items(int Index);
    void Clear() { FItems.clear(); }

private:
    void CheckIndex(int Index) const;
    std::vector<TqxVar> FItems;
};

class TqxStack {
public:
    void Push(const QString& Name, const TqxVariant& Value, quint8 DataType);
    void Peek(TqxVar& Item) const;
    void Pop(TqxVariant& Value);
    int Count() const { return int(FItems.size()); }
    bool IsEmpty() const { return FItems.empty(); }
    void Clear() { FItems.clear(); }
    void Reserve(int n) { FItems.reserve(size_t(n)); }

private:
    void CheckNotEmpty() const;
    std::vector<TqxVar> FItems;
};
