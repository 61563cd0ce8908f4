#include "qxBasicClasses.h"

using namespace Qt::StringLiterals;

int TqxVariantList::Add(const QString& Name, const TqxVariant& Value)
{
    FItems.push_back(TqxVar{Name, Value, dtOther});
    return int(FItems.size()) - 1;
}

void TqxVariantList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EqxError(u"变量下标出界[%1]！"_s.arg(Index));
}

void TqxVariantList::GetItem(int Index, TqxVar& Item) const
{
    CheckIndex(Index);
    Item = FItems[size_t(Index)];
}

TqxVar& TqxVariantList::Items(int Index)
{
    CheckIndex(Index);
    return FItems[size_t(Index)];
}

void TqxStack::Push(const QString& Name, const TqxVariant& Value, quint8 DataType)
{
    FItems.push_back(TqxVar{Name, Value, DataType});
}

void TqxStack::CheckNotEmpty() const
{
    if (FItems.empty())
        throw EqxStackErr(u"栈已空"_s);
}

void TqxStack::Peek(TqxVar& Item) const
{
    CheckNotEmpty();
    Item = FItems.back();
}

void TqxStack::Pop(TqxVariant& Value)
{
    CheckNotEmpty();
    Value = std::move(FItems.back().Value);
    FItems.pop_back();
}
